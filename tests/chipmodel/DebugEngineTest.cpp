#include <gtest/gtest.h>
#include <random>

#include "ChipModel.h"
#include "Wire.h"

using namespace zern::chipmodel;
using namespace zern::chipmodel::test;

namespace {

ChipSettings core16()
{
    ChipSettings settings;
    settings.instructionsPerPoll = 16;
    return settings;
}

ChipSettings core32()
{
    ChipSettings settings = core16();
    settings.core = CoreKind::Core32;
    return settings;
}

void halt(ChipModel& chip)
{
    feedWire(chip, kEntryWithBreak);
}

TEST(DebugEngine, EntryWithBreakHaltsAndStatusSaysSo)
{
    ChipModel chip(core16());
    const std::vector<uint8_t> reply = feedWire(chip, kEntryWithBreak);
    EXPECT_EQ(reply.size(), 14u);
    EXPECT_TRUE(chip.halted());
    EXPECT_EQ(feedWire(chip, kStatus)[0], 1);
    EXPECT_EQ(feedWire(chip, "10" + repeat("00", 16))[30], 1);
}

TEST(DebugEngine, StatusPollsRunTheProgramUntilABreakpoint)
{
    ChipModel chip(core16());
    EXPECT_EQ(feedWire(chip, kDebugEntry).size(), 12u);
    EXPECT_EQ(feedWire(chip, "05 15 30 00 11 80").size(), 10u);
    EXPECT_EQ(chip.codeBreakpoints()[0], 0x30u);
    for (uint32_t poll = 1; poll <= 3; ++poll) {
        EXPECT_EQ(feedWire(chip, kStatus)[0], 0) << poll;
        EXPECT_EQ(chip.programCounter(), 16 * poll);
    }
    EXPECT_EQ(feedWire(chip, kStatus)[0], 1);
    EXPECT_EQ(chip.programCounter(), 0x30u);
    EXPECT_EQ(feedWire(chip, kStatus)[0], 1);

    feedWire(chip, "01 26");
    EXPECT_EQ(chip.programCounter(), 0x31u);
    feedWire(chip, "01 27");
    EXPECT_EQ(feedWire(chip, kStatus)[0], 0);
    EXPECT_EQ(chip.programCounter(), 0x41u);
}

TEST(DebugEngine, GoLeavesTheBreakpointItStandsOn)
{
    ChipModel chip(core16());
    feedWire(chip, kDebugEntry + " 05 15 10 00 11 80");
    EXPECT_EQ(feedWire(chip, kStatus)[0], 0);
    EXPECT_EQ(feedWire(chip, kStatus)[0], 1);
    EXPECT_EQ(chip.programCounter(), 0x10u);
    feedWire(chip, "01 27");
    EXPECT_EQ(feedWire(chip, kStatus)[0], 0);
    EXPECT_EQ(chip.programCounter(), 0x20u);
}

TEST(DebugEngine, ResetRunsFromTheResetVectorToTheUserCodeBreakpoint)
{
    ChipSettings settings = core16();
    settings.resetVector = 0x0008;
    ChipModel chip(settings);
    feedWire(chip, "00 05");
    EXPECT_TRUE(chip.inReset());
    feedWire(chip, kDebugReset + " " + kDebugEntry);
    EXPECT_EQ(feedWire(chip, kStatus)[0], 0);
    feedWire(chip, "05 15 40 00 11 80 00 04");
    EXPECT_FALSE(chip.inReset());
    int polls = 0;
    while (feedWire(chip, kStatus)[0] != 1 && polls < 10)
        ++polls;
    EXPECT_EQ(polls, 3);
    EXPECT_EQ(chip.programCounter(), 0x40u);
}

TEST(DebugEngine, RegistersOfTheSixteenBitCore)
{
    ChipModel chip(core16());
    halt(chip);
    EXPECT_EQ(feedWire(chip, "05 24 08 00 34 12").size(), 10u);
    EXPECT_EQ(chip.registerValue(8, 0), 0x1234);
    const std::vector<uint8_t> reply = feedWire(chip, "06 29 08 00 20 20 20");
    ASSERT_EQ(reply.size(), 12u);
    EXPECT_EQ(reply[9], 0x34);
    EXPECT_EQ(reply[11], 0x12);

    feedWire(chip, "05 24 1D 01 78 56");
    EXPECT_EQ(chip.registerValue(13, 17), 0x5678);
    chip.setRegister(13, 1, 0x0FEE);
    const std::vector<uint8_t> stack = feedWire(chip, "06 29 1D 00 20 20 20");
    EXPECT_EQ(stack[9], 0xEE);
    EXPECT_EQ(stack[11], 0x0F);
}

TEST(DebugEngine, RegistersOfTheThirtyTwoBitCoreCarryTransferStatus)
{
    ChipModel chip(core32());
    halt(chip);
    EXPECT_EQ(feedWire(chip, "07 24 1D 00 EF BE AD DE").size(), 14u);
    EXPECT_EQ(static_cast<uint32_t>(chip.registerValue(13, 1)), 0xDEADBEEFu);
    const std::vector<uint8_t> reply = feedWire(chip, "08 29 1D 00 20 20 20 20 20");
    ASSERT_EQ(reply.size(), 16u);
    EXPECT_EQ((std::vector<uint8_t>{reply[9], reply[11], reply[13], reply[15]}), hex("EF BE AD DE"));
    EXPECT_EQ((std::vector<uint8_t>{reply[8], reply[10], reply[12], reply[14]}), hex("03 03 03 03"));

    FaultPlan faults;
    faults.transferStatus = 0x02;
    chip.setFaults(faults);
    EXPECT_EQ(feedWire(chip, "08 29 1D 00 20 20 20 20 20")[8], 0x02);
}

TEST(DebugEngine, BlockReadStreamsAcrossRecords)
{
    ChipModel chip(core16());
    halt(chip);
    std::vector<uint8_t> page(256);
    for (int i = 0; i < 256; ++i)
        page[i] = static_cast<uint8_t>(i);
    chip.setData(0x200, page);

    EXPECT_EQ(feedWire(chip, "06 22 00 01 80 00 20").size(), 12u);
    std::vector<uint8_t> read;
    for (const int words : {127, 1}) {
        char length[4];
        std::snprintf(length, sizeof length, "%02X", 2 * words);
        const std::vector<uint8_t> reply = feedWire(chip, length + repeat("20", 2 * words));
        ASSERT_EQ(reply.size(), 4u * words);
        for (size_t i = 1; i < reply.size(); i += 2)
            read.push_back(reply[i]);
    }
    EXPECT_EQ(read, page);
    EXPECT_EQ(feedWire(chip, kStatus)[0], 1);
}

TEST(DebugEngine, CodeIsReadThroughTheDataSpaceWindow)
{
    ChipModel chip(core16());
    halt(chip);
    chip.setCode(0x0100, hex("11 22"));
    chip.setCode(0x10100, hex("33 44"));
    EXPECT_EQ(feedWire(chip, "06 22 80 80 01 00 20 02 20 20"), hex("03 00 03 00 03 00 03 00 03 00 03 00 03 11 03 22"));
    chip.setRegister(8, 8, 0x20);
    EXPECT_EQ(feedWire(chip, "06 22 80 80 01 00 20 02 20 20")[15], 0x44);

    ChipModel wide(core32());
    halt(wide);
    wide.setCode(0x0100, hex("55 66"));
    const std::vector<uint8_t> reply = feedWire(wide, "0A 22 80 00 80 00 01 00 20 20 20");
    EXPECT_EQ(reply[17], 0x55);
    EXPECT_EQ(reply[19], 0x66);
}

TEST(DebugEngine, MemoryWritesOfBothCores)
{
    ChipModel chip(core16());
    halt(chip);
    EXPECT_EQ(feedWire(chip, "05 25 10 00 CD AB").size(), 10u);
    EXPECT_EQ(chip.data(0x20, 2), hex("CD AB"));

    ChipModel wide(core32());
    halt(wide);
    EXPECT_EQ(feedWire(wide, "07 25 10 00 01 00 CD AB").size(), 14u);
    EXPECT_EQ(wide.data(0x20020, 2), hex("CD AB"));
}

TEST(DebugEngine, BreakpointSlotsAreSetAndFreed)
{
    ChipModel chip(core16());
    halt(chip);
    feedWire(chip, "05 15 00 01 11 80 05 16 00 02 11 80 05 17 00 03 11 80 05 18 00 04 11 80");
    EXPECT_EQ(chip.codeBreakpoints(), (std::array<std::optional<uint32_t>, 4>{0x100, 0x200, 0x300, 0x400}));
    EXPECT_EQ(feedWire(chip, "03 17 FF FF").size(), 6u);
    EXPECT_EQ(chip.codeBreakpoints()[2], std::nullopt);
    EXPECT_EQ(feedWire(chip, kStatus)[0], 1);

    ChipModel wide(core32());
    halt(wide);
    EXPECT_EQ(feedWire(wide, "06 15 56 34 12 11 80").size(), 12u);
    EXPECT_EQ(wide.codeBreakpoints()[0], 0x123456u);
    EXPECT_EQ(feedWire(wide, "04 15 FF FF FF").size(), 8u);
    EXPECT_EQ(wide.codeBreakpoints()[0], std::nullopt);

    EXPECT_EQ(feedWire(wide, "07 19 78 56 34 12 11 80 07 1A 02 00 00 00 11 80").size(), 28u);
    EXPECT_EQ(wide.dataBreakpoints(), (std::array<std::optional<uint32_t>, 2>{0x12345678, 0x2}));
}

TEST(DebugEngine, RegisterDumpOfTheSixteenBitCore)
{
    ChipSettings settings = core16();
    settings.dumpRegisterCount = 64;
    ChipModel chip(settings);
    halt(chip);
    chip.setRegister(0, 0, 0x1111);
    chip.setRegister(1, 31, 0x2233);
    chip.setRegister(8, 0, 0x5A);
    chip.setRegister(8, 15, 0x7E);
    chip.setRegister(9, 1, 0xBEEF);
    chip.setProgramCounter(0x0123);
    chip.setRegister(14, 7, 0x4455);
    chip.setRegister(15, 7, 0x7788);

    const std::vector<uint8_t> head = feedWire(chip, "03 21 20 20");
    ASSERT_EQ(head.size(), 6u);
    EXPECT_EQ(head[5], 64);
    const std::vector<uint8_t> module0 = feedWire(chip, "40" + repeat("20", 64));
    EXPECT_EQ(module0[1], 0x11);
    EXPECT_EQ(module0[3], 0x11);
    const std::vector<uint8_t> module1 = feedWire(chip, "40" + repeat("20", 64));
    EXPECT_EQ(module1[4 * 31 + 1], 0x33);
    EXPECT_EQ(module1[4 * 31 + 3], 0x22);

    const std::vector<uint8_t> special = feedWire(chip, "40" + repeat("20", 64));
    ASSERT_EQ(special.size(), 128u);
    auto d = [&](int j) { return special[2 * j + 1]; };
    EXPECT_EQ(d(0), 0x5A);
    EXPECT_EQ(d(8), 0x7E);
    EXPECT_EQ(d(12), 0xEF);
    EXPECT_EQ(d(13), 0xBE);
    EXPECT_EQ(d(42), 0x23);
    EXPECT_EQ(d(43), 0x01);
    EXPECT_EQ(d(58), 0x55);
    EXPECT_EQ(d(59), 0x44);
    EXPECT_EQ(d(62), 0x88);
    EXPECT_EQ(d(63), 0x77);
    EXPECT_EQ(feedWire(chip, kStatus)[0], 1);
}

TEST(DebugEngine, RegisterDumpOfTheThirtyTwoBitCore)
{
    ChipSettings settings = core32();
    settings.dumpRegisterCount = 32;
    ChipModel chip(settings);
    halt(chip);
    chip.setRegister(0, 31, 0x01020304);
    chip.setRegister(8, 4, 0xA1B2);
    chip.setRegister(9, 15, 0x0A0B0C0D);
    chip.setProgramCounter(0x123456);
    chip.setRegister(15, 13, 0x55667788);

    const std::vector<uint8_t> head = feedWire(chip, "04 21 20 20 20");
    ASSERT_EQ(head.size(), 8u);
    EXPECT_EQ(head[7], 32);
    const std::vector<uint8_t> module0 = feedWire(chip, "80" + repeat("20", 128));
    EXPECT_EQ(
        (std::vector<uint8_t>{module0[8 * 31 + 1], module0[8 * 31 + 3], module0[8 * 31 + 5], module0[8 * 31 + 7]}),
        hex("04 03 02 01"));
    const std::vector<uint8_t> special = feedWire(chip, "6C" + repeat("20", 108));
    ASSERT_EQ(special.size(), 216u);
    auto d = [&](int j) { return special[2 * j + 1]; };
    EXPECT_EQ((std::vector<uint8_t>{d(2), d(3)}), hex("B2 A1"));
    EXPECT_EQ((std::vector<uint8_t>{d(76), d(77), d(78), d(79)}), hex("0D 0C 0B 0A"));
    EXPECT_EQ((std::vector<uint8_t>{d(80), d(81), d(82), d(83)}), hex("56 34 12 00"));
    EXPECT_EQ((std::vector<uint8_t>{d(104), d(105), d(106), d(107)}), hex("88 77 66 55"));
}

// The return-address fix-up of the 32-bit core, with its records padded with
// 0x20 to the length they announce.
TEST(DebugEngine, ReturnAddressFixUpRecordsInTheirPaddedForm)
{
    ChipModel chip(core32());
    halt(chip);
    chip.setData(0x7840, hex("5A 00"));
    chip.setData(0x1000, hex("78 56 34 12"));
    chip.setRegister(13, 1, 0x1000);

    const std::vector<uint8_t> saved = feedWire(chip, "0B 22 20 3C 00 00 01 00 00 00 20 20");
    ASSERT_EQ(saved.size(), 22u);
    EXPECT_EQ(saved[17], 0x5A);
    EXPECT_EQ(saved[20], 1);

    const std::vector<uint8_t> stored = feedWire(chip, "09 25 1A 3C 00 00 5A 00 20 20");
    EXPECT_EQ(stored[16], 1);
    EXPECT_EQ(chip.data(0x7834, 2), hex("5A 00"));

    const std::vector<uint8_t> stack = feedWire(chip, "09 29 1D 00 20 20 20 20 20 20");
    EXPECT_EQ((std::vector<uint8_t>{stack[9], stack[11], stack[13], stack[15]}), hex("00 10 00 00"));
    EXPECT_EQ(stack[16], 1);

    const std::vector<uint8_t> ret = feedWire(chip, "0D 22 00 08 00 00 02 00 20 20 20 20 20 20");
    ASSERT_EQ(ret.size(), 26u);
    EXPECT_EQ((std::vector<uint8_t>{ret[17], ret[19], ret[21], ret[23]}), hex("78 56 34 12"));
    EXPECT_EQ(ret[24], 1);

    const std::vector<uint8_t> sp = feedWire(chip, "09 24 1D 00 FC 0F 00 00 20 20");
    EXPECT_EQ(sp[16], 1);
    EXPECT_EQ(chip.registerValue(13, 1), 0x0FFC);

    const std::vector<uint8_t> pushed = feedWire(chip, "10 25 FE 07 00 00 11 22 25 FF 07 00 00 33 44 20 20");
    ASSERT_EQ(pushed.size(), 32u);
    EXPECT_EQ(pushed[30], 1);
    EXPECT_EQ(chip.data(0x0FFC, 4), hex("11 22 33 44"));
    EXPECT_EQ(feedWire(chip, kStatus), hex("01 00"));
    EXPECT_TRUE(chip.protocolErrors().empty());
}

TEST(DebugEngine, WrongPasswordLeavesRegistersReadingFillers)
{
    ChipSettings settings = core16();
    settings.contexts = {{0x1000, 0}};
    ChipModel chip(settings);
    halt(chip);
    chip.setCode(0x1000, countingBytes(32, 0xC0));
    chip.setRegister(8, 0, 0x0102);

    const std::string readM8 = "06 29 08 00 20 20 20";
    EXPECT_EQ(feedWire(chip, readM8)[9], 0x20);
    EXPECT_EQ(feedWire(chip, "21 28" + repeat("00", 32)).size(), 66u);
    EXPECT_EQ(feedWire(chip, readM8)[11], 0x20);
    feedWire(chip, "21 28" + countingHex(32, 0xC0));
    const std::vector<uint8_t> reply = feedWire(chip, readM8);
    EXPECT_EQ(reply[9], 0x02);
    EXPECT_EQ(reply[11], 0x01);

    ChipSettings wideSettings = core32();
    wideSettings.contexts = settings.contexts;
    ChipModel wide(wideSettings);
    halt(wide);
    wide.setRegister(8, 0, 0x0102);
    EXPECT_EQ(feedWire(wide, "08 29 08 00 20 20 20 20 20")[9], 0x02);
}

TEST(DebugEngine, FaultsOfTheTarget)
{
    ChipModel chip(core16());
    FaultPlan faults;
    faults.neverHalts = true;
    chip.setFaults(faults);
    feedWire(chip, kDebugEntry + " 05 15 08 00 11 80 01 1F");
    for (int poll = 0; poll < 4; ++poll)
        EXPECT_EQ(feedWire(chip, kStatus)[0], 0);
    EXPECT_FALSE(chip.halted());

    faults = {};
    faults.haltStatus = 0x03;
    chip.setFaults(faults);
    EXPECT_EQ(feedWire(chip, kStatus)[0], 0x03);
}

TEST(DebugEngine, UnknownCommandsAreNoted)
{
    ChipModel chip(core16());
    halt(chip);
    feedWire(chip, "01 77");
    ASSERT_EQ(chip.protocolErrors().size(), 1u);
    EXPECT_EQ(chip.protocolErrors()[0], "unknown debug engine command 0x77");
}

// Whatever a faulty driver sends, the chip answers two bytes per byte and
// never falls over (the sanitizer build runs this too).
TEST(ChipModel, SurvivesArbitraryRecords)
{
    for (const bool inLoader : {false, true}) {
        for (const CoreKind kind : {CoreKind::Core16, CoreKind::Core32}) {
            ChipSettings settings;
            settings.core = kind;
            settings.contexts = {{0x100, 0x80}};
            ChipModel chip(settings);
            if (inLoader)
                feedWire(chip, "00 05 " + kLoaderEntry);
            std::mt19937 random(7);
            for (int i = 0; i < 20000; ++i) {
                if (!inLoader && random() % 8 == 0) {
                    chip.boardOperation(static_cast<uint8_t>(random() % 0x14));
                    continue;
                }
                std::vector<uint8_t> record(1 + random() % 40);
                for (uint8_t& b : record)
                    b = static_cast<uint8_t>(random() % 4 == 0 ? random() : random() % 0x30);
                if (inLoader && record[0] == 0x01)
                    record[0] = 0x00;
                ASSERT_EQ(chip.exchange(record).size(), 2 * record.size());
            }
            EXPECT_EQ(chip.loaderActive(), inLoader);
        }
    }
}

}  // namespace
