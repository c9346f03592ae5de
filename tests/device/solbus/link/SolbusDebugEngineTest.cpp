// The chip's debug engine through the link driver: the start-up, halting,
// running and polling by state with their messages, the context step,
// registers, memory, code and breakpoints, on both cores.

#include <thread>

#include "LinkTestSupport.h"
#include "MessageBoxes.h"

namespace {

using namespace solbus_tests;
using zern::kLinkBadArgument;
using zern::kLinkDone;
using zern::kLinkFailure;
using zern::TargetState;
using zern::chipmodel::ChipSettings;
using zern::chipmodel::CoreKind;
using Lines = std::vector<std::string>;

ChipSettings chipFor(CoreKind core, uint32_t resetVector = 0)
{
    ChipSettings settings;
    settings.core = core;
    settings.resetVector = resetVector;
    return settings;
}

// The 16-bit core's context step with the one erased-flash password: the
// password, then flags register 8.0 read back (the engine's latency costs a
// second round of reads).
const std::string kContextStep16 =
    "2D28" + repeatHex("2DFF", 32) + commandHex("290800") + groupsRead(2) + groupsRead(1);

TEST_F(SolbusLinkTest, TheStartHaltsAtTheStartOfUserCodeOnEitherCore)
{
    struct Case {
        CoreKind core;
        uint32_t resetVector;
        std::string breakpoint;  // slot 0 set, and cleared
        std::string clear;
        std::string contextStep;
        uint32_t halt;
    };
    const Case cases[] = {
        {CoreKind::Core16, 0, "1500001180", "15FFFF", kContextStep16, 0},
        {CoreKind::Core32, 0x5F0, "150006001180", "15FFFFFF", "", 0x600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.halt);
        connect(chipFor(c.core, c.resetVector));
        ASSERT_EQ(driver_->initializeTarget(), kLinkDone) << lines();
        // Bit 8 set through a reset into state 0, the target let out of it
        // (status 0: it runs), the breakpoint, bit 8 cleared, one poll.
        EXPECT_EQ(traffic(), kControlRead + "D20001" + kControlRead + "D24001" + "D20001" + kControlRead + "D24001"
                                 + "D20801" + kPairRead + commandHex(c.breakpoint) + kControlRead + "D20800"
                                 + commandHex("20") + kPairRead + c.contextStep + commandHex(c.clear));
        EXPECT_TRUE(chip().halted());
        EXPECT_EQ(chip().programCounter(), c.halt);
        EXPECT_EQ(driver_->targetState(), TargetState::Halted);
        EXPECT_FALSE(chip().codeBreakpoints()[0]);
        EXPECT_EQ(lines(), "");
        startOver();
    }
}

TEST_F(SolbusLinkTest, TheStartTouchesNothingWhileAnotherOperationHoldsTheLink)
{
    start();
    std::array<uint8_t, 2> code{};
    ASSERT_EQ(driver_->readCodeCached(0, code.size(), code.data()), kLinkDone);
    forget();
    // This thread is inside an operation of its own when the start comes.
    std::unique_lock operation(*solbus::portLock(driver_->port()));
    std::thread starting([this] { driver_->initializeTarget(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    // Its read is still served from the cache: the start has not dropped it under the operation.
    ASSERT_EQ(driver_->readCodeCached(0, code.size(), code.data()), kLinkDone);
    EXPECT_EQ(traffic(), "");
    operation.unlock();
    starting.join();
}

TEST_F(SolbusLinkTest, TheStartKeepsTheBreakpointsAndGoesOnWhenTheTargetNeverHalts)
{
    start();
    ASSERT_EQ(driver_->setCodeBreakpoint(0x30), kLinkDone);
    ASSERT_EQ(driver_->initializeTarget(), kLinkDone);
    EXPECT_EQ(chip().codeBreakpoints()[0], 0x30u);
    EXPECT_TRUE(driver_->findBreakpoint(0x30));

    zern::chipmodel::FaultPlan faults;
    faults.neverHalts = true;
    chip().setFaults(faults);
    MessageRecorder::take();
    EXPECT_EQ(driver_->initializeTarget(), kLinkDone);
    EXPECT_EQ(MessageRecorder::take(), (Lines{"", "The ZERN did not enter debug mode after the reset.",
                                              "Please check all connections and try again."}));
    EXPECT_EQ(chip().codeBreakpoints()[0], 0x30u);
}

TEST_F(SolbusLinkTest, HaltGoesByTheTargetState)
{
    // Running: bit 8 cleared, the break, one status read.
    start();
    ASSERT_TRUE(driver_->runTarget());
    EXPECT_EQ(traffic(), commandHex("27") + kPairRead);
    EXPECT_EQ(driver_->targetState(), TargetState::Running);
    forget();
    ASSERT_TRUE(driver_->haltTarget());
    EXPECT_EQ(traffic(), kControlRead + "D20800" + commandHex("1F") + groupsRead(1) + kContextStep16);
    EXPECT_EQ(driver_->targetState(), TargetState::Halted);

    // Halted: only the status read, and the context step again.
    forget();
    ASSERT_TRUE(driver_->haltTarget());
    EXPECT_EQ(traffic(), groupsRead(1) + kContextStep16);

    // In the loader: the loader quit and its status, a reset, bits 0x09 set,
    // bit 8 cleared, the break.
    ASSERT_TRUE(driver_->enterLoader(false));
    forget();
    ASSERT_TRUE(driver_->haltTarget()) << lines();
    EXPECT_EQ(traffic(), commandHex("01") + groupsRead(1) + kControlRead + "D24000" + "D20000" + kControlRead + "D20900"
                             + kControlRead + "D20900" + commandHex("1F") + groupsRead(1) + kContextStep16);
    EXPECT_TRUE(chip().halted());
    EXPECT_EQ(lines(), "");

    // A target that never halts.
    ASSERT_TRUE(driver_->runTarget());
    zern::chipmodel::FaultPlan faults;
    faults.neverHalts = true;
    chip().setFaults(faults);
    forget();
    EXPECT_FALSE(driver_->haltTarget());
    EXPECT_EQ(traffic(), kControlRead + "D20900" + commandHex("1F") + groupsRead(5));
    EXPECT_EQ(MessageRecorder::take(), Lines{"Bad status received when trying to enter debug mode."});
}

TEST_F(SolbusLinkTest, ResumeAndPollGoByTheTargetState)
{
    // Before the start the target is not in debug mode: a poll asks nothing.
    connect();
    bool halted = true;
    ASSERT_TRUE(driver_->pollStatus(halted));
    EXPECT_FALSE(halted);
    EXPECT_EQ(traffic(), "");
    ASSERT_TRUE(driver_->resumeTarget());
    EXPECT_EQ(traffic(), kControlRead + "D24000" + "D20800" + kPairRead);
    EXPECT_EQ(driver_->targetState(), TargetState::Running);

    // Running: each poll asks the target; a breakpoint halts it.
    ASSERT_EQ(driver_->setCodeBreakpoint(chip().programCounter() + 3), kLinkDone);
    forget();
    ASSERT_TRUE(driver_->pollStatus(halted));
    EXPECT_TRUE(halted);
    EXPECT_EQ(traffic(), commandHex("20") + kPairRead + kContextStep16);
    EXPECT_EQ(driver_->targetState(), TargetState::Halted);
    forget();
    ASSERT_TRUE(driver_->pollStatus(halted));
    EXPECT_TRUE(halted);
    EXPECT_EQ(traffic(), "");

    // A status that is neither running nor halted.
    zern::chipmodel::FaultPlan faults;
    faults.haltStatus = 5;
    chip().setFaults(faults);
    forget();
    EXPECT_FALSE(driver_->resumeTarget());
    EXPECT_EQ(traffic(), commandHex("27") + repeatHex(kPairRead, 6));
    EXPECT_EQ(MessageRecorder::take(), Lines{"Bad status received when trying to enter background mode."});
}

TEST_F(SolbusLinkTest, TheContextStepLooksForThePasswordThatUnlocksTheContext)
{
    ChipSettings settings;
    settings.contexts = {{0x100, 0}};
    config_.loaderPasswords.assign(64, 0xFF);
    std::fill(config_.loaderPasswords.begin() + 32, config_.loaderPasswords.end(), 0x5A);
    connect(settings);
    // The context's password is no longer the erased flash: the second one fits.
    chip().setCode(0x100, std::vector<uint8_t>(32, 0x5A));
    chip().setRegister(8, 0, 0x0042);
    ASSERT_TRUE(driver_->haltTarget());
    const std::string firstTry = "2D28" + repeatHex("2DFF", 32) + commandHex("290800") + groupsRead(2) + groupsRead(1);
    const std::string secondTry = "2D28" + repeatHex("2D5A", 32) + commandHex("290800") + groupsRead(2) + groupsRead(1);
    EXPECT_EQ(traffic(), kControlRead + "D20900" + kControlRead + "D20900" + commandHex("1F") + groupsRead(1) + firstTry
                             + secondTry);
    EXPECT_EQ(lines(), "");

    // No password fits: the target still halts, with the two warnings.
    chip().setCode(0x100, std::vector<uint8_t>(32, 0x11));
    ASSERT_TRUE(driver_->haltTarget());
    EXPECT_EQ(driver_->targetState(), TargetState::Halted);
    EXPECT_EQ(MessageRecorder::take(), (Lines{"The correct password for the current context could not be determined.",
                                              "All register and memory displays will be invalid."}));
}

TEST_F(SolbusLinkTest, TheRegisterDumpFillsTheCacheOnEitherCore)
{
    struct Case {
        CoreKind core;
        int32_t stackPointerRead;
        uint8_t aacce;
        // Expected values by index module x 32 + register.
        std::vector<std::pair<int, int32_t>> expected;
    };
    const Case cases[] = {
        // 16-bit: 13.1 is the stack pointer read after the dump, less one;
        // 14.6 to 14.11 follow from 14.3, 14.5 and 14.7.
        {CoreKind::Core16,
         5,
         0,
         {{3, 0x1234},
          {8 * 32 + 4, 0x56},
          {9 * 32 + 15, 0x7788},
          {12 * 32, 0x0040},
          {13 * 32 + 1, 4},
          {14 * 32 + 5, 0xA1B2},
          {14 * 32 + 6, 0xB2},
          {14 * 32 + 8, 0xB2A1},
          {14 * 32 + 10, 0xFFB2},
          {14 * 32 + 11, 0x0105}}},
        // A stack pointer of 0 stands for the configured depth.
        {CoreKind::Core16, 0, 0, {{13 * 32 + 1, 15}}},
        // 32-bit: four bytes a register; with the [AACCE HANDLER] the flags
        // show its value and the stack pointer four more.
        {CoreKind::Core32,
         0,
         1,
         {{3, 0x12345678},
          {8 * 32, 0x77},
          {9 * 32 + 15, -2},
          {12 * 32, 0x00401000},
          {13 * 32 + 1, 0x2004},
          {15 * 32 + 13, 0x01020304}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.core));
        config_.aacceFlag = c.aacce;
        config_.aacceValue = 0x77;
        start(chipFor(c.core, c.core == CoreKind::Core32 ? 0x5F0 : 0));
        chip().setRegister(0, 3, c.core == CoreKind::Core32 ? 0x12345678 : 0x1234);
        chip().setRegister(8, 0, 0x21);
        chip().setRegister(8, 4, 0x56);
        chip().setRegister(9, 15, c.core == CoreKind::Core32 ? -2 : 0x7788);
        chip().setRegister(12, 0, c.core == CoreKind::Core32 ? 0x00401000 : 0x0040);
        chip().setRegister(13, 1, c.core == CoreKind::Core32 ? 0x2000 : c.stackPointerRead);
        chip().setRegister(14, 3, 0x0053);
        chip().setRegister(14, 5, 0xA1B2);
        chip().setRegister(14, 7, 0x00B2);
        chip().setRegister(15, 13, 0x01020304);
        std::array<int32_t, zern::kRegisterCount> registers{};
        ASSERT_TRUE(driver_->readAllRegisters(registers)) << lines();
        for (const auto& [index, value] : c.expected)
            EXPECT_EQ(registers[index], value) << "register " << index / 32 << "." << index % 32;

        // The cache answers until something changes the registers.
        forget();
        ASSERT_TRUE(driver_->readAllRegisters(registers));
        EXPECT_EQ(traffic(), "");
        ASSERT_TRUE(driver_->writeOneRegister(0, 3, 0x0BCD));
        EXPECT_EQ(traffic(), commandHex(c.core == CoreKind::Core32 ? "243000CD0B0000" : "243000CD0B"));
        ASSERT_TRUE(driver_->readAllRegisters(registers));
        EXPECT_EQ(registers[3], 0x0BCD);
        startOver();
    }
}

TEST_F(SolbusLinkTest, TheInstructionPointerOfTheWideCoreIsSignExtended)
{
    start(chipFor(CoreKind::Core32, 0x5F0));
    chip().setRegister(12, 0, static_cast<int32_t>(0x80001234));
    int64_t address = 0;
    ASSERT_EQ(driver_->readInstructionPointer(address), kLinkDone);
    EXPECT_EQ(static_cast<uint64_t>(address), 0xFFFFFFFF80001234ull);
    EXPECT_EQ(traffic(), commandHex("290C00") + groupsRead(4) + groupsRead(1));
}

TEST_F(SolbusLinkTest, TheMarkerStandsForTheInstructionPointerWhileItIsSigned)
{
    config_.debugReadCount = 1;
    config_.mailboxAddress = 0x40;
    connect();
    chip().setData(0x40, {0x5A, 0x5A, 0x34, 0x12});
    ASSERT_EQ(driver_->initializeTarget(), kLinkDone);
    int64_t address = 0;
    ASSERT_EQ(driver_->readInstructionPointer(address), kLinkDone);
    EXPECT_EQ(address, 0x1234);
    std::array<int32_t, zern::kRegisterCount> registers{};
    ASSERT_TRUE(driver_->readAllRegisters(registers));
    EXPECT_EQ(registers[12 * 32], 0x1234);

    // Before leaving the halt the marker's count of steps goes out.
    forget();
    ASSERT_TRUE(driver_->runTarget());
    EXPECT_EQ(traffic().rfind(commandHex("26") + commandHex("27"), 0), 0u) << traffic();
}

TEST_F(SolbusLinkTest, MemoryIsReadInWholePagesAndWritesAreSeenAtOnce)
{
    start();
    std::vector<uint8_t> page(256);
    EXPECT_FALSE(driver_->readMemoryBlock(0x80, 256, page.data()));
    EXPECT_FALSE(driver_->readMemoryBlock(0x100, 100, page.data()));
    EXPECT_EQ(traffic(), "");
    EXPECT_EQ(
        MessageRecorder::take(),
        (Lines{"", "Attempting to read a partial block of data. (1)", "Please check all connections and try again.", "",
               "Attempting to read a partial block of data. (2)", "Please check all connections and try again."}));

    chip().setData(0x100, {0x10, 0x11, 0x12, 0x13});
    uint8_t bytes[4] = {};
    ASSERT_EQ(driver_->readMemoryCached(0x100, 4, bytes), kLinkDone);
    // 128 words from word 0x80: 127 words, then the last one.
    EXPECT_EQ(traffic(),
              commandHex("2280008000") + groupsRead(53 * 4) + groupsRead(42) + groupsRead(2) + groupsRead(1));
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 4), (std::vector<uint8_t>{0x10, 0x11, 0x12, 0x13}));

    // An odd start merges with the byte before it; a read afterwards sees the new bytes.
    const uint8_t data[] = {0xA1, 0xB2, 0xC3};
    ASSERT_EQ(driver_->writeMemoryBlock(0x101, sizeof data, data), kLinkDone);
    ASSERT_EQ(driver_->readMemoryCached(0x100, 4, bytes), kLinkDone);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 4), (std::vector<uint8_t>{0x10, 0xA1, 0xB2, 0xC3}));
    EXPECT_EQ(chip().data(0x100, 4), (std::vector<uint8_t>{0x10, 0xA1, 0xB2, 0xC3}));
}

TEST_F(SolbusLinkTest, CodeIsReadThroughTheCodeWindow)
{
    start();
    chip().setCode(0x10200, {0x01, 0x3D, 0x02, 0x3E});
    chip().setRegister(8, 8, 0x0001);
    uint8_t bytes[4] = {};
    ASSERT_EQ(driver_->readCodeCached(0x8100, sizeof bytes, bytes), kLinkDone);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 4), (std::vector<uint8_t>{0x01, 0x3D, 0x02, 0x3E}));
    // The window register is back as it was.
    EXPECT_EQ(chip().registerValue(8, 8), 0x0001);
}

TEST_F(SolbusLinkTest, BreakpointsTakeTheFourSlotsAndStepsMoveOneWord)
{
    platform::RecordingMessageBoxes boxes;
    platform::ScopedMessageBoxes scoped(boxes);
    start();
    for (uint64_t address : {0x10, 0x20, 0x30, 0x40})
        ASSERT_EQ(driver_->setCodeBreakpoint(address), kLinkDone);
    EXPECT_EQ(driver_->setCodeBreakpoint(0x50), kLinkBadArgument);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Breakpoint Limit");
    EXPECT_EQ(chip().codeBreakpoints()[3], 0x40u);
    ASSERT_EQ(driver_->clearCodeBreakpoint(0x20), kLinkDone);
    EXPECT_FALSE(chip().codeBreakpoints()[1]);
    EXPECT_EQ(driver_->clearCodeBreakpoint(0x20), kLinkBadArgument);
    ASSERT_EQ(driver_->clearAllCodeBreakpoints(), kLinkDone);
    EXPECT_FALSE(chip().codeBreakpoints()[0]);

    ASSERT_TRUE(driver_->setDataBreakpoint(1, 0x1234));
    EXPECT_EQ(chip().dataBreakpoints()[1], 0x1234u);

    const uint32_t pc = chip().programCounter();
    forget();
    ASSERT_TRUE(driver_->singleStep());
    EXPECT_EQ(chip().programCounter(), pc + 1);
    EXPECT_EQ(traffic(), commandHex("26") + kContextStep16);
    EXPECT_EQ(driver_->readInstructionPointer(*std::make_unique<int64_t>()), kLinkDone);
}

TEST_F(SolbusLinkTest, AFailedTransferEndsTheOperationWithALinkError)
{
    start();
    ASSERT_TRUE(driver_->runTarget());
    emulator_->adapter().disconnect();
    bool halted = false;
    EXPECT_FALSE(driver_->pollStatus(halted));
    const Lines lines = MessageRecorder::take();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1].rfind("Error ", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2], "Please check all connections and try again.");
    EXPECT_EQ(driver_->readMemoryCached(0, 2, std::make_unique<uint8_t[]>(2).get()), kLinkFailure);
}

}  // namespace
