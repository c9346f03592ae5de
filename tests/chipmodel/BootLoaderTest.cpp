#include <gtest/gtest.h>

#include "ChipModel.h"
#include "Wire.h"

using namespace zern::chipmodel;
using namespace zern::chipmodel::test;

namespace {

constexpr uint8_t kPromptChar = '>';
const std::string kPrompt = "01 00";
const std::string kStatusRecord = "04 04 00 00 00";
const std::string kPostWritePrompt = "05 00 00 00 00 00";

void enterLoader(ChipModel& chip)
{
    const std::vector<uint8_t> reply = feedWire(chip, "00 05 " + kDebugReset + " " + kLoaderEntry);
    EXPECT_EQ(reply.size(), 1u + 8u + 14u);
    EXPECT_TRUE(chip.loaderActive());
}

ChipSettings core32()
{
    ChipSettings settings;
    settings.core = CoreKind::Core32;
    settings.codePageSize = 32;
    return settings;
}

uint8_t loaderStatus(ChipModel& chip)
{
    return feedWire(chip, kStatusRecord)[7];
}

TEST(BootLoader, PromptInformationAndStatus)
{
    ChipSettings settings;
    settings.loaderFlags = 0x4602;
    settings.codePageSize = 0x40;
    settings.dataPageSize = 0x20;
    ChipModel chip(settings);
    enterLoader(chip);
    EXPECT_EQ(feedWire(chip, kPrompt)[1], kPromptChar);
    EXPECT_EQ(feedWire(chip, "02 00 00")[3], kPromptChar);
    const std::vector<uint8_t> info = feedWire(chip, "06 05 00 00 00 00 00");
    ASSERT_EQ(info.size(), 12u);
    EXPECT_EQ((std::vector<uint8_t>{info[5], info[7], info[9], info[11]}), hex("02 46 40 20"));
    EXPECT_EQ(feedWire(chip, kStatusRecord).size(), 8u);
    EXPECT_EQ(loaderStatus(chip), 0);
    EXPECT_EQ(feedWire(chip, "05 04 00 00 00 00")[7], 0);
}

TEST(BootLoader, MasterEraseIsBusyForSomePromptsAndErasesEverything)
{
    ChipSettings settings;
    settings.eraseBusyPolls = 3;
    ChipModel chip(settings);
    enterLoader(chip);
    chip.setCode(0x0000, hex("00 12"));
    chip.setCode(0x1FFFE, hex("34"));
    EXPECT_EQ(feedWire(chip, "01 02").size(), 2u);
    for (int poll = 0; poll < 3; ++poll)
        EXPECT_NE(feedWire(chip, kPrompt)[1], kPromptChar) << poll;
    EXPECT_EQ(feedWire(chip, kPrompt)[1], kPromptChar);
    EXPECT_EQ(loaderStatus(chip), 0);
    EXPECT_EQ(chip.code(0, 2), hex("FF FF"));
    EXPECT_EQ(chip.code(0x1FFFE, 1), hex("FF"));
    EXPECT_EQ(chip.masterErases(), 1);
}

TEST(BootLoader, EraseLastBlockClearsTheLastTwoHundredFiftySixWords)
{
    ChipModel chip;
    enterLoader(chip);
    chip.setCode(0xFDFF, hex("00 00"));
    chip.setCode(0xFFFF, hex("00"));
    EXPECT_EQ(feedWire(chip, "05 E0 00 7F 00 00").size(), 10u);
    EXPECT_EQ(chip.code(0xFDFF, 2), hex("00 FF"));
    EXPECT_EQ(chip.code(0xFFFF, 1), hex("FF"));
    EXPECT_EQ(chip.lastBlockErases(), 1);
}

TEST(BootLoader, FixedLengthPagesOfTheSixteenBitCore)
{
    ChipModel chip;
    enterLoader(chip);
    EXPECT_EQ(feedWire(chip, "44 90 40 40 00" + countingHex(64, 0x10)).size(), 136u);
    EXPECT_EQ(loaderStatus(chip), 0);
    EXPECT_EQ(chip.code(0x40, 64), countingBytes(64, 0x10));
    EXPECT_EQ(feedWire(chip, kPostWritePrompt)[9], kPromptChar);

    // Flash only clears bits: 0x0F over 0xF0 leaves 0x00 and the loader says so.
    chip.setCode(0x80, hex("F0"));
    feedWire(chip, "44 90 40 80 00 0F" + repeat("FF", 63));
    EXPECT_EQ(chip.code(0x80, 2), hex("00 FF"));
    EXPECT_EQ(loaderStatus(chip), 0x02);

    feedWire(chip, "44 90 40 10 00" + repeat("00", 64));
    EXPECT_EQ(loaderStatus(chip), 0x01);
    EXPECT_EQ(chip.code(0x10, 1), hex("FF"));
    EXPECT_EQ(chip.protocolErrors().size(), 1u);
}

TEST(BootLoader, PageReadsPutTheDataAfterTheirHeader)
{
    ChipModel chip;
    enterLoader(chip);
    chip.setCode(0x40, countingBytes(64, 0x80));

    const std::vector<uint8_t> page = feedWire(chip, "44 A0 40 40 00" + repeat("20", 64));
    ASSERT_EQ(page.size(), 2u * 64 + 8);
    EXPECT_EQ((std::vector<uint8_t>{page[1], page[3], page[5], page[7]}), hex("00 00 00 00"));
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(page[9 + 2 * i], 0x80 + i) << i;

    const std::vector<uint8_t> shortForm = feedWire(chip, "48 20 01 40 00 40" + repeat("20", 67));
    ASSERT_EQ(shortForm.size(), 2u * 64 + 16);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(shortForm[13 + 2 * i], 0x80 + i) << i;
}

TEST(BootLoader, VariableLengthWritesOfTheSixteenBitCore)
{
    ChipSettings settings;
    settings.loaderFlags = 0x0002;
    ChipModel chip(settings);
    enterLoader(chip);
    EXPECT_EQ(feedWire(chip, "04 10 05 00 02").size(), 8u);
    EXPECT_EQ(feedWire(chip, "05 01 02 03 04 05").size(), 10u);
    EXPECT_EQ(loaderStatus(chip), 0);
    EXPECT_EQ(chip.code(0x200, 6), hex("01 02 03 04 05 FF"));

    feedWire(chip, "04 11 02 20 00 02 AA BB");
    EXPECT_EQ(chip.data(0x20, 2), hex("AA BB"));
}

TEST(BootLoader, ExtendedRecordsCountWordsSoOddDataNeedsPadding)
{
    ChipModel chip;
    enterLoader(chip);
    EXPECT_EQ(feedWire(chip, "03 0A 01 00").size(), 6u);
    feedWire(chip, "04 10 03 00 90 06 01 02 03 04 05 FF");
    EXPECT_EQ(loaderStatus(chip), 0);
    EXPECT_EQ(chip.code(0x12000, 6), hex("01 02 03 04 05 FF"));

    // Five bytes announced as two words: the loader takes four and refuses.
    feedWire(chip, "04 10 02 00 91 05 11 12 13 14 15");
    EXPECT_EQ(loaderStatus(chip), 0x01);
    EXPECT_EQ(chip.code(0x12200, 5), hex("FF FF FF FF FF"));

    feedWire(chip, "44 90 20 00 98" + countingHex(64, 0x40));
    EXPECT_EQ(loaderStatus(chip), 0);
    EXPECT_EQ(chip.code(0x13000, 64), countingBytes(64, 0x40));
    feedWire(chip, "03 0A 00 00");
    feedWire(chip, "44 90 40 00 01" + countingHex(64, 0x40));
    EXPECT_EQ(chip.code(0x100, 64), countingBytes(64, 0x40));
}

TEST(BootLoader, RecordsOfTheThirtyTwoBitCore)
{
    ChipModel chip(core32());
    enterLoader(chip);
    feedWire(chip, "03 0A 01 00");
    EXPECT_EQ(feedWire(chip, "46 90 20 00 00 08 00" + countingHex(64, 0x20)).size(), 140u);
    EXPECT_EQ(loaderStatus(chip), 0);
    EXPECT_EQ(chip.code(0x1000, 64), countingBytes(64, 0x20));

    const std::vector<uint8_t> page = feedWire(chip, "46 A0 20 00 00 08 00" + repeat("20", 64));
    ASSERT_EQ(page.size(), 140u);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(page[13 + 2 * i], 0x20 + i) << i;

    EXPECT_EQ(feedWire(chip, "06 10 02 00 00 09 00").size(), 12u);
    feedWire(chip, "04 AA BB CC DD");
    EXPECT_EQ(loaderStatus(chip), 0);
    EXPECT_EQ(chip.code(0x1200, 4), hex("AA BB CC DD"));
}

TEST(BootLoader, PasswordsAndConfiguredCommands)
{
    ChipSettings settings;
    settings.contexts = {{0x100, 0x1234}, {0x200, 0xAB}};
    ChipModel chip(settings);
    enterLoader(chip);
    EXPECT_EQ(feedWire(chip, "21 03" + countingHex(32, 0x60)).size(), 66u);
    ASSERT_EQ(chip.loaderUnlockPasswords().size(), 1u);
    EXPECT_EQ(chip.loaderUnlockPasswords()[0][31], 0x60 + 31);

    feedWire(chip, "03 C1 02 03");
    EXPECT_EQ(loaderStatus(chip), 0);
    EXPECT_EQ(chip.configuredLoaderCommands(), (std::vector<std::vector<uint8_t>>{hex("C1 02 03")}));

    EXPECT_EQ(feedWire(chip, "03 F6 01 00").size(), 6u);
    EXPECT_EQ(feedWire(chip, "02 00 00"), hex("03 34 03 12"));
    EXPECT_EQ(feedWire(chip, "02 00 00"), hex("03 AB 03 00"));
    EXPECT_EQ(loaderStatus(chip), 0);
}

TEST(BootLoader, ExitSequenceAsWrittenEndsTheLoaderAndStartsUserCode)
{
    ChipSettings settings;
    settings.resetVector = 0x100;
    settings.instructionsPerPoll = 4;
    ChipModel chip(settings);
    enterLoader(chip);
    EXPECT_EQ(feedWire(chip, kLoaderExit).size(), 34u);
    EXPECT_FALSE(chip.loaderActive());
    feedWire(chip, kDebugEntry);
    EXPECT_EQ(feedWire(chip, kStatus)[0], 0);
    EXPECT_EQ(chip.programCounter(), 0x104u);

    ChipModel quitting(settings);
    enterLoader(quitting);
    EXPECT_EQ(feedWire(quitting, "01 01").size(), 2u);
    EXPECT_FALSE(quitting.loaderActive());
}

TEST(BootLoader, FaultsOfTheLoader)
{
    ChipModel chip;
    enterLoader(chip);
    FaultPlan faults;
    faults.loaderStatus = 0x55;
    faults.loaderWithoutPrompt = true;
    chip.setFaults(faults);
    for (int poll = 0; poll < 5; ++poll)
        EXPECT_NE(feedWire(chip, kPrompt)[1], kPromptChar);
    EXPECT_NE(feedWire(chip, kPostWritePrompt)[9], kPromptChar);
    EXPECT_EQ(loaderStatus(chip), 0x55);
}

}  // namespace
