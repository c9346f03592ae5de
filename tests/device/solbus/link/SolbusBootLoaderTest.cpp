// The chip's boot loader through the link driver: loader entry with its
// retry, the erase with the configured command lists, fixed-length and
// variable-length writes in every form, pages the commands cannot carry,
// status failures, the context passwords and the RLA path.

#include "BoardEmulator.h"
#include "LinkTestSupport.h"
#include "PseudoTerminal.h"

namespace {

using namespace solbus_tests;
using zern::kLinkBadArgument;
using zern::kLinkDone;
using zern::kLinkFailure;
using zern::chipmodel::ChipSettings;
using zern::chipmodel::CoreKind;
using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

const std::string kLoaderDone = groupsRead(1);
const std::string kStatus = commandHex("04") + groupsRead(2);
const std::string kPrompt = commandHex("00") + groupsRead(1);
const std::string kExtendedOn = commandHex("0A01") + kLoaderDone;
const uint16_t kFixed = 0x0200 | 0x0400;
const uint16_t kVariable = 0x0002;
const std::string kLinkAdvice = "Please check all connections and try again.";

std::string hexOf(const Bytes& bytes)
{
    return testing_support::hexOf(bytes);
}

Bytes pattern(size_t count, uint8_t seed)
{
    Bytes bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(seed + 7 * i);
    return bytes;
}

ChipSettings loaderChip(CoreKind core, uint16_t flags, uint8_t page)
{
    ChipSettings settings;
    settings.core = core;
    // The 32-bit core's start halts at 0x600: its user code starts just before.
    settings.resetVector = core == CoreKind::Core32 ? 0x5F0 : 0;
    settings.loaderFlags = flags;
    settings.codePageSize = page;
    return settings;
}

class SolbusBootLoaderTest : public SolbusLinkTest {
protected:
    // A first block erases the flash; the traffic after it is the next write's own.
    void erased(ChipSettings settings)
    {
        start(std::move(settings));
        const Bytes first = {0x00, 0x00};
        ASSERT_EQ(driver_->writeProgramBlock(0x1000, first.size(), first.data()), kLinkDone) << lines();
        forget();
    }
    int write(uint64_t address, const Bytes& bytes)
    {
        return driver_->writeProgramBlock(address, bytes.size(), bytes.data());
    }
    // A write that went as it should: its wire bytes, the flash it left, and
    // nothing said or refused on the way.
    void expectCleanWrite(const std::string& wire, uint64_t at, const Bytes& flash)
    {
        EXPECT_EQ(traffic(), wire);
        EXPECT_EQ(chip().code(at, flash.size()), flash);
        EXPECT_EQ(lines(), "");
        EXPECT_TRUE(chip().protocolErrors().empty());
    }
};

TEST_F(SolbusBootLoaderTest, TheFirstWriteEntersTheLoaderAndErases)
{
    config_.preEraseCommands = {{0x07, 0x01}};
    config_.postEraseCommands = {{0x08}};
    start();
    const Bytes code = pattern(64, 0x10);
    ASSERT_EQ(write(0, code), kLinkDone);
    // Loader entry: bus reset, the select byte, bit 8 set through a reset,
    // then bits 0 and 3 let the chip out into the loader, whose prompt is read.
    const std::string entry = "E3C9" "E13C" "D20001" + kControlRead + "D24001" "D20001" "D20900" + kPairRead;
    EXPECT_EQ(traffic(), entry + kControlRead + "D24000" "D20000" + entry
                             // Pre-erase command, master erase (busy for three reads), post-erase command.
                             + commandHex("0701") + kLoaderDone + kStatus + commandHex("02") + groupsRead(1)
                             + repeatHex(kPairRead, 4) + kStatus + commandHex("08") + kLoaderDone + kStatus
                             // The loader's modes, then the page.
                             + commandHex("05") + groupsRead(4) + commandHex("90400000" + hexOf(code)) + kLoaderDone
                             + kStatus + kPrompt);
    EXPECT_EQ(MessageRecorder::take(),
              (Lines{"Entering Loader", "Prompt received.", "Entering Loader", "Prompt received.",
                     "Pre-Erase Command: 07, 01, Status: 00", "Erasing...", "Post-Erase Command: 08, Status: 00"}));
    EXPECT_EQ(chip().code(0, 64), code);
    EXPECT_EQ(chip().masterErases(), 1);
    EXPECT_EQ(chip().configuredLoaderCommands(), (std::vector<Bytes>{{0x07, 0x01}, {0x08}}));
    EXPECT_FALSE(driver_->erasePending());

    EXPECT_EQ(write(0, {}), kLinkBadArgument);
    EXPECT_EQ(write(0, Bytes(256, 0x00)), kLinkBadArgument);
}

TEST_F(SolbusBootLoaderTest, EachLoaderFormWritesTheBlockWhereItBelongs)
{
    struct Case {
        const char* name;
        CoreKind core;
        uint16_t flags;
        uint8_t page;
        uint64_t address;
        Bytes data;
        std::string wire;
        // Where the data lands and what reads back there (the erased bytes around it included).
        uint64_t checkAt;
        Bytes flash;
    };
    const Bytes five = {0x11, 0x22, 0x33, 0x44, 0x55};
    const Bytes ten = pattern(10, 0x30);
    const Bytes page64 = pattern(64, 0x60);
    Bytes merged(64, 0xFF);
    std::copy(ten.begin(), ten.end(), merged.begin() + 4);
    const Case cases[] = {
        // A fixed-length write that starts inside a page reads the page back and sends it whole.
        {"fixed, inside a page", CoreKind::Core16, kFixed, 64, 0x44, ten,
         commandHex("A0404000") + groupsRead(64) + commandHex("90404000" + hexOf(merged)) + kLoaderDone + kStatus
             + kPrompt,
         0x40, merged},
        {"variable", CoreKind::Core16, kVariable, 0, 0x40, five,
         commandHex("10054000") + commandHex(hexOf(five)) + kLoaderDone + kStatus + kPrompt, 0x40, five},
        // Above 64 KB the 16-bit core goes by words in extended mode; an odd
        // count gets one erased byte more.
        {"variable, extended",
         CoreKind::Core16,
         kVariable,
         0,
         0x10040,
         five,
         kExtendedOn + commandHex("10032080") + commandHex(hexOf(five) + "FF") + kLoaderDone + kStatus
             + commandHex("0A00") + kPrompt,
         0x10040,
         {0x11, 0x22, 0x33, 0x44, 0x55, 0xFF}},
        {"fixed, extended", CoreKind::Core16, kFixed, 64, 0x10040, page64,
         kExtendedOn + commandHex("90202080" + hexOf(page64)) + kLoaderDone + kStatus + commandHex("0A00") + kPrompt,
         0x10040, page64},
        {"variable, 32-bit",
         CoreKind::Core32,
         kVariable,
         0,
         0x40,
         five,
         kExtendedOn + commandHex("100300200000") + commandHex(hexOf(five) + "FF") + kLoaderDone + kStatus + kPrompt,
         0x40,
         {0x11, 0x22, 0x33, 0x44, 0x55, 0xFF}},
        // The 32-bit core counts its page in words.
        {"fixed, 32-bit", CoreKind::Core32, kFixed, 32, 0x40, page64,
         kExtendedOn + commandHex("902000200000" + hexOf(page64)) + kLoaderDone + kStatus + kPrompt, 0x40, page64},
        // Its erased pages are not sent at all.
        {"fixed, 32-bit, erased", CoreKind::Core32, kFixed, 32, 0x80, Bytes(64, 0xFF), kExtendedOn + kPrompt, 0x80,
         Bytes(64, 0xFF)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        erased(loaderChip(c.core, c.flags, c.page));
        ASSERT_EQ(write(c.address, c.data), kLinkDone) << lines();
        expectCleanWrite(c.wire, c.checkAt, c.flash);
        startOver();
    }
}

TEST_F(SolbusBootLoaderTest, AWordWriteThatStartsInsideAWordKeepsTheByteBeforeIt)
{
    struct Case {
        const char* name;
        CoreKind core;
        // Written first at 0x10040; the block under test follows at 0x10041.
        Bytes before;
        std::string wire;
        Bytes flash;
    };
    const Bytes three = {0x11, 0x22, 0x33};
    const Case cases[] = {
        // The word at 0x10040 read back (0xA0, one word at word 0x8020), then written whole again.
        {"16-bit, extended, erased neighbour",
         CoreKind::Core16,
         {},
         kExtendedOn + commandHex("A0012080") + groupsRead(2) + commandHex("10022080") + commandHex("FF112233")
             + kLoaderDone + kStatus + commandHex("0A00") + kPrompt,
         {0xFF, 0x11, 0x22, 0x33, 0xFF}},
        {"16-bit, extended, written neighbour",
         CoreKind::Core16,
         {0xA5},
         kExtendedOn + commandHex("A0012080") + groupsRead(2) + commandHex("10022080") + commandHex("A5112233")
             + kLoaderDone + kStatus + commandHex("0A00") + kPrompt,
         {0xA5, 0x11, 0x22, 0x33, 0xFF}},
        {"32-bit, written neighbour",
         CoreKind::Core32,
         {0xA5},
         kExtendedOn + commandHex("A00100208000") + groupsRead(2) + commandHex("100200208000") + commandHex("A5112233")
             + kLoaderDone + kStatus + kPrompt,
         {0xA5, 0x11, 0x22, 0x33, 0xFF}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        erased(loaderChip(c.core, kVariable, 0));
        if (!c.before.empty()) {
            ASSERT_EQ(write(0x10040, c.before), kLinkDone) << lines();
            forget();
        }
        ASSERT_EQ(write(0x10041, three), kLinkDone) << lines();
        expectCleanWrite(c.wire, 0x10040, c.flash);
        startOver();
    }
}

TEST_F(SolbusBootLoaderTest, PagesTheCommandsCannotCarryFailBeforeAnythingIsWritten)
{
    struct Case {
        uint8_t page;
        std::string message;
    };
    const Case cases[] = {
        {0, "Unable to determine if loader supports fixed or variable length loading."},
        // 128 bytes and the header overrun the 80 bytes one block carries.
        {128, "The boot loader's pages of 128 bytes do not fit one command of 80 bytes."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        start(loaderChip(CoreKind::Core16, kFixed, c.page));
        EXPECT_EQ(write(0x40, pattern(64, 1)), kLinkFailure);
        EXPECT_EQ(traffic().find(commandHex("90")), std::string::npos) << traffic();
        EXPECT_EQ(chip().code(0x40, 64), Bytes(64, 0xFF));
        const Lines lines = MessageRecorder::take();
        EXPECT_EQ(Lines(lines.end() - 3, lines.end()), (Lines{"", c.message, kLinkAdvice}));
        startOver();
    }
}

TEST_F(SolbusBootLoaderTest, ALoaderOfNeitherModeKeepsThePreviousOneAndStillErases)
{
    ChipSettings settings;
    settings.loaderFlags = 0;
    start(settings);
    ASSERT_TRUE(driver_->eraseFlash());
    EXPECT_EQ(MessageRecorder::take(),
              (Lines{"Entering Loader", "Prompt received.", "Erasing...", "",
                     "Unable to determine if loader supports fixed or variable length loading.", kLinkAdvice}));
    EXPECT_EQ(chip().masterErases(), 1);
}

TEST_F(SolbusBootLoaderTest, ALoaderThatNeverPromptsFailsBothAttempts)
{
    start();
    zern::chipmodel::FaultPlan faults;
    faults.loaderWithoutPrompt = true;
    chip().setFaults(faults);
    EXPECT_FALSE(driver_->enterLoader(false));
    EXPECT_EQ(MessageRecorder::take(),
              (Lines{"Entering Loader", "", "No prompt received when activating the boot loader.", kLinkAdvice,
                     "Entering Loader", "", "No prompt received when activating the boot loader.", kLinkAdvice}));
    EXPECT_EQ(write(0, {0x01}), kLinkFailure);
}

TEST_F(SolbusBootLoaderTest, ABadLoaderStatusEndsTheWriteWithTheMessageOfItsPath)
{
    struct Case {
        const char* name;
        CoreKind core;
        uint16_t flags;
        uint8_t page;
        uint64_t address;
        std::string message;
    };
    const Case cases[] = {
        {"fixed", CoreKind::Core16, kFixed, 64, 0x40,
         "Bad status code received (0x05) from the boot loader during a fixed length operation (1)."},
        {"fixed, extended", CoreKind::Core16, kFixed, 64, 0x10040,
         "Bad status code received (0x05) from the boot loader during a fixed length operation (2)."},
        {"fixed, 32-bit", CoreKind::Core32, kFixed, 32, 0x40,
         "Bad status code received (0x0005) from the boot loader during a fixed length operation."},
        {"variable", CoreKind::Core16, kVariable, 0, 0x40,
         "Bad status code (0x05) received from the boot loader during a variable length operation."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        erased(loaderChip(c.core, c.flags, c.page));
        zern::chipmodel::FaultPlan faults;
        faults.loaderStatus = 0x05;
        chip().setFaults(faults);
        EXPECT_EQ(write(c.address, pattern(64, 2)), kLinkFailure);
        EXPECT_EQ(MessageRecorder::take(), Lines{c.message});
        startOver();
    }

    // The erase checks its status too.
    start();
    zern::chipmodel::FaultPlan faults;
    faults.loaderStatus = 0x07;
    chip().setFaults(faults);
    EXPECT_EQ(write(0, {0x01}), kLinkFailure);
    const Lines lines = MessageRecorder::take();
    EXPECT_EQ(lines.back(), "Bad status code received (0x07) from the boot loader after master erase.");
    EXPECT_TRUE(driver_->erasePending());

    // An erase whose end the loader never reports fails too, and says so.
    ChipSettings slowErase;
    slowErase.eraseBusyPolls = 200;
    start(slowErase);
    EXPECT_FALSE(driver_->eraseFlash());
    EXPECT_EQ(MessageRecorder::take().back(), "The boot loader did not finish the master erase.");
}

TEST_F(SolbusBootLoaderTest, PasswordsFollowWhatIsWrittenAtTheirAddresses)
{
    // One context whose password the loader says lies at word 0x80.
    config_.contextSwitchByteCount = 1;
    config_.contextSwitchBytes[0] = 0xF6;
    config_.contextParameters = {2, 0};
    ChipSettings settings;
    settings.contexts = {{0x100, 0x80}};
    erased(settings);
    const Bytes block = pattern(64, 0x41);
    ASSERT_EQ(write(0x100, block), kLinkDone) << lines();
    EXPECT_EQ(traffic(), commandHex("90400001" + hexOf(block)) + kLoaderDone + kStatus + kPrompt + commandHex("F6")
                             + groupsRead(2) + kStatus);
    EXPECT_EQ(config_.loaderPasswords, Bytes(block.begin(), block.begin() + 32));

    // Back in the debug engine the captured password unlocks the context,
    // and entering the loader with passwords unlocks it too.
    ASSERT_EQ(driver_->initializeTarget(), kLinkDone);
    EXPECT_EQ(lines(), "");
    ASSERT_TRUE(driver_->enterLoader(true));
    const auto unlocked = chip().loaderUnlockPasswords();
    ASSERT_EQ(unlocked.size(), 1u);
    EXPECT_EQ(Bytes(unlocked[0].begin(), unlocked[0].end()), Bytes(block.begin(), block.begin() + 32));

    // A bad status after the query.
    zern::chipmodel::FaultPlan faults;
    faults.loaderStatus = 0x09;
    chip().setFaults(faults);
    EXPECT_EQ(write(0x200, pattern(64, 3)), kLinkFailure);
    EXPECT_EQ(MessageRecorder::take().back(),
              "Bad status code received (0x09) from the boot loader during a fixed "
              "length operation (1).");
}

TEST_F(SolbusBootLoaderTest, PostLoadCommandsReportTheirStatusAndTheDelay)
{
    config_.postLoadCommands = {{0x0C, 0x02}};
    config_.postLoadDelayMs = 5;
    erased({});
    ASSERT_TRUE(driver_->runPostLoadCommands());
    EXPECT_EQ(traffic(), commandHex("0C02") + kLoaderDone + kStatus);
    EXPECT_EQ(MessageRecorder::take(),
              (Lines{"Post-Load Command: 0c, 02, Status: 00", "Post-Load Delay: 5", "Delay Complete"}));

    // A loader that never reports the command done: the list ends with why.
    zern::chipmodel::FaultPlan faults;
    faults.loaderWithoutPrompt = true;
    chip().setFaults(faults);
    EXPECT_FALSE(driver_->runPostLoadCommands());
    EXPECT_EQ(MessageRecorder::take(), Lines{"The boot loader did not finish the command 0x0c."});
    chip().setFaults({});

    // After a load that wrote nothing the target is not in the loader: it is entered first.
    ASSERT_EQ(driver_->initializeTarget(), kLinkDone);
    forget();
    ASSERT_TRUE(driver_->runPostLoadCommands()) << lines();
    EXPECT_EQ(MessageRecorder::take(),
              (Lines{"Entering Loader", "Prompt received.", "Post-Load Command: 0c, 02, Status: 00",
                     "Post-Load Delay: 5", "Delay Complete"}));
    EXPECT_EQ(chip().configuredLoaderCommands().back(), (Bytes{0x0C, 0x02}));
}

TEST_F(SolbusBootLoaderTest, TheRlaPathNeitherEntersTheLoaderNorErases)
{
    const testing_support::PseudoTerminal rla = testing_support::openPseudoTerminal();
    config_.rlaPortFlag = 1;
    config_.rlaPortName = rla.slavePath;
    linkTiming_.dtrResetWaitMs = 1;
    linkTiming_.rlaRebootWaitMs = 1;
    linkTiming_.firstByteMs = 20;
    start();
    ASSERT_TRUE(driver_->enterLoader(false));
    EXPECT_EQ(traffic(), "");
    // The erase only resets the target through the control word.
    ASSERT_TRUE(driver_->eraseFlash());
    EXPECT_EQ(traffic(), kControlRead + "D24000" + "D20000");
    forget();
    ASSERT_EQ(write(0x40, pattern(8, 5)), kLinkDone);
    EXPECT_EQ(traffic(), kControlRead + "D24000" + "D20000");
    EXPECT_EQ(MessageRecorder::take(), (Lines{"Opened " + rla.slavePath + ".", "Configuring port...",
                                              "Waiting for Pelko to reboot.", "Connected."}));
    ::close(rla.master);
    ::close(rla.slave);

    driver_.reset();
    config_.rlaPortName = "/nonexistent/rla";
    start();
    EXPECT_EQ(write(0x40, pattern(8, 5)), kLinkFailure);
    EXPECT_EQ(MessageRecorder::take(), Lines{"Unable to open serial port."});
}

}  // namespace
