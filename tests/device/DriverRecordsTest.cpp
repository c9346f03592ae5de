// The JTAG driver's records on the wire, against the emulator: loader, memory and breakpoints.

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

#include "ChipBoardEmulator.h"
#include "JtagDriver.h"
#include "MessageBoxes.h"
#include "OpenLink.h"
#include "TestSupport.h"

namespace {

using device_tests::MessageRecorder;
using testing_support::ChipBoardEmulator;
using zern::chipmodel::ChipSettings;
using zern::chipmodel::FaultPlan;

// A 16-bit chip whose loader writes fixed-length pages and reads them back.
ChipSettings fixedPageChip()
{
    ChipSettings settings;
    settings.loaderFlags = 0x0600;
    settings.eraseBusyPolls = 2;
    return settings;
}

class DriverRecordsTest : public device_tests::TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        timing_ = device_tests::quickLinkTiming();
        config_.expectedEraseTime = 5;
        config_.startupDelayMs = 200;
        config_.codeSize = 0x800;
        connect(fixedPageChip());
    }
    void TearDown() override
    {
        driver_.reset();
        TempFolderTest::TearDown();
    }

    // A started driver on a board with this chip.
    void connect(const ChipSettings& settings)
    {
        driver_.reset();
        board_ = std::make_unique<ChipBoardEmulator>(settings);
        auto port = zern::openLink(
            board_->devicePath(), [](const std::string&) {}, timing_);
        ASSERT_TRUE(port);
        driver_ =
            std::make_unique<zern::JtagDriver>(std::move(port), config_, &MessageRecorder::callback, timing_, log_);
        ASSERT_EQ(driver_->initializeTarget(), zern::kLinkDone);
        board_->clearReceived();
        MessageRecorder::take();
    }
    void setFaults(void (*change)(FaultPlan&))
    {
        FaultPlan faults;
        change(faults);
        board_->chip().setFaults(faults);
    }

    std::unique_ptr<ChipBoardEmulator> board_;
    zern::DeviceConfig config_;
    zern::LinkTiming timing_;
    zern::TrafficLog log_;
    std::unique_ptr<zern::JtagDriver> driver_;
};

TEST_F(DriverRecordsTest, BlockSizesOutsideOneToTwoHundredFiftyFiveSendNothing)
{
    const std::vector<uint8_t> data(256, 0x12);
    EXPECT_EQ(driver_->writeProgramBlock(0, 0, data.data()), zern::kLinkBadArgument);
    EXPECT_EQ(driver_->writeProgramBlock(0, 256, data.data()), zern::kLinkBadArgument);
    EXPECT_TRUE(board_->receivedHex().empty());
}

TEST_F(DriverRecordsTest, EraseWithoutCommandRecordsSendsPromptEraseAndStatus)
{
    ASSERT_TRUE(driver_->enterLoader(false));
    board_->clearReceived();
    ASSERT_TRUE(driver_->eraseFlash());
    const std::string wire = board_->receivedHex();
    // Debug reset, then the loader entered again, its prompt, the master erase,
    // prompts while the flash is busy and the status.
    const std::string expectedTail = std::string("0100") + "0102" + "0100" "0100" "0100" + "0404000000";
    ASSERT_GE(wire.size(), expectedTail.size());
    EXPECT_EQ(wire.substr(wire.size() - expectedTail.size()), expectedTail);
    EXPECT_EQ(board_->chip().masterErases(), 1);
    const auto messages = MessageRecorder::take();
    EXPECT_NE(std::find(messages.begin(), messages.end(), "Erasing..."), messages.end());
}

// A write that starts inside a page reads the page back in the loader's
// form, or takes it as the link wrote it since its erase where the loader
// cannot read it, and writes it whole, the bytes before the write kept.
TEST_F(DriverRecordsTest, UnalignedWriteMergesIntoItsPage)
{
    struct Case {
        const char* name;
        uint16_t loaderFlags;
        uint64_t pageStart;
        const char* pageRead;   // the read record's head; none without a page read
        const char* pageWrite;  // the write record's head
    };
    const Case cases[] = {
        {"page read", 0x0600, 0x0000, "44A0400000", "4490400000"},
        {"short page read", 0x0204, 0x0000, "482001000040", "4490400000"},
        {"extended page read", 0x0600, 0x10000, "44A0200080", "4490200080"},
        {"no page read", 0x0200, 0x0000, "", "4490400000"},
    };
    for (const Case& c : cases) {
        ChipSettings settings = fixedPageChip();
        settings.loaderFlags = c.loaderFlags;
        connect(settings);
        const std::vector<uint8_t> first = {0xA1, 0xA2, 0xA3, 0xA4};
        ASSERT_EQ(driver_->writeProgramBlock(c.pageStart, first.size(), first.data()), zern::kLinkDone) << c.name;
        board_->clearReceived();
        std::vector<uint8_t> second(10);
        for (size_t i = 0; i < second.size(); ++i)
            second[i] = static_cast<uint8_t>(0x30 + i);
        ASSERT_EQ(driver_->writeProgramBlock(c.pageStart + 4, second.size(), second.data()), zern::kLinkDone) << c.name;
        const std::string wire = board_->receivedHex();
        // One page read of the 64-byte page (where the loader has one), one page write of it.
        if (*c.pageRead) {
            EXPECT_NE(wire.find(c.pageRead), std::string::npos) << c.name << ": " << wire;
            EXPECT_EQ(wire.find(c.pageRead), wire.rfind(c.pageRead)) << c.name;
        }
        const size_t write = wire.find(c.pageWrite);
        ASSERT_NE(write, std::string::npos) << c.name << ": " << wire;
        EXPECT_EQ(wire.substr(write + std::string(c.pageWrite).size(), 2 * 64),
                  "A1A2A3A430313233343536373839" + std::string(2 * 50, 'F'))
            << c.name;
        EXPECT_EQ(board_->chip().masterErases(), 1) << c.name;
        EXPECT_EQ(
            board_->chip().code(c.pageStart, 14),
            (std::vector<uint8_t>{0xA1, 0xA2, 0xA3, 0xA4, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39}))
            << c.name;
        EXPECT_TRUE(board_->chip().protocolErrors().empty()) << c.name;
    }
}

// A write the loader cannot take as asked sends nothing after the loader
// information and says why.
TEST_F(DriverRecordsTest, LoaderWritesThatCannotBeFramedAreRefusedWithAMessage)
{
    struct Case {
        const char* name;
        bool core32;
        uint16_t loaderFlags;
        uint8_t codePageSize;
        uint64_t address;
        size_t count;
        const char* message;
        // Whether this link erased the flash before the write.
        bool erased = true;
    };
    const Case cases[] = {
        {"odd page in words", false, 0x0600, 63, 0x10000, 2,
         "Unable to write to 0x10000 through the boot loader: the boot loader's page of 63 bytes is no whole number "
         "of words."},
        {"beyond the word form", false, 0x0600, 64, 0x20000, 2,
         "Unable to write to 0x20000 through the boot loader: the address is beyond the boot loader's reach."},
        {"across 0x10000 in bytes", false, 0x0600, 64, 0xFFF0, 32,
         "Unable to write to 0xFFF0 through the boot loader: the address is beyond the boot loader's reach."},
        {"variable beyond the word form", false, 0x0002, 64, 0x20000, 2,
         "Unable to write to 0x20000 through the boot loader: the address is beyond the boot loader's reach."},
        {"short page read too long", false, 0x0204, 248, 4, 2,
         "Unable to write to 0x0004 through the boot loader: the boot loader's page of 248 bytes is too long for "
         "its short page read."},
        {"no page read and no erase", false, 0x0200, 64, 4, 2,
         "Unable to write to 0x0004 through the boot loader: the boot loader cannot read back the page it starts "
         "in, and this link has not erased the flash to know its bytes.",
         false},
        {"beyond the 32-bit form", true, 0x0600, 32, 0x2000000, 2,
         "Unable to write to 0x2000000 through the boot loader: the address is beyond the boot loader's reach."},
        {"odd block padded past a record", true, 0x0002, 32, 0, 255,
         "Unable to write to 0x0000 through the boot loader: the block padded to whole words does not fit one "
         "loader record."},
        {"odd start widened past a record", true, 0x0002, 32, 1, 254,
         "Unable to write to 0x0001 through the boot loader: the block padded to whole words does not fit one "
         "loader record."},
    };
    const std::vector<uint8_t> data(255, 0x5A);
    for (const Case& c : cases) {
        config_.processorFamily = c.core32 ? 30 : 20;
        ChipSettings settings = testing_support::chipFor(c.core32);
        settings.loaderFlags = c.loaderFlags;
        settings.codePageSize = c.codePageSize;
        connect(settings);
        ASSERT_TRUE(driver_->enterLoader(false)) << c.name;
        if (c.erased) {
            ASSERT_TRUE(driver_->eraseFlash()) << c.name;
        }
        board_->clearReceived();
        MessageRecorder::take();
        EXPECT_EQ(driver_->loaderWrite(c.address, c.count, data.data(), true), zern::kLinkFailure) << c.name;
        EXPECT_EQ(board_->receivedHex(), "06050000000000") << c.name;
        EXPECT_EQ(MessageRecorder::take(), std::vector<std::string>{c.message}) << c.name;
    }
}

// The word forms address whole words: a write that starts inside a word
// reads that word back and writes it whole, so no byte lands one low.
TEST_F(DriverRecordsTest, AWordWriteThatStartsInsideAWordKeepsTheByteBeforeIt)
{
    struct Case {
        const char* name;
        bool core32;
        // Written first at 0x10040; the block under test follows at 0x10041.
        std::vector<uint8_t> before;
        std::string wire;
        std::vector<uint8_t> flash;
    };
    // Loader information and extended mode on; after the data, the status,
    // extended mode off and the post-write prompt.
    const std::string head =
        "06050000000000"
        "030A0100";
    const std::string tail =
        "0404000000"
        "030A0000"
        "050000000000";
    const Case cases[] = {
        // The word at word address 0x8020 read back (A0, one word), then written whole.
        {"16-bit, erased neighbour",
         false,
         {},
         head + "06A00120802020" + "0410022080" + "04FF112233" + tail,
         {0xFF, 0x11, 0x22, 0x33, 0xFF}},
        {"16-bit, written neighbour",
         false,
         {0xA5},
         head + "06A00120802020" + "0410022080" + "04A5112233" + tail,
         {0xA5, 0x11, 0x22, 0x33, 0xFF}},
        {"32-bit, written neighbour",
         true,
         {0xA5},
         head + "08A001002080002020" + "06100200208000" + "04A5112233" + tail,
         {0xA5, 0x11, 0x22, 0x33, 0xFF}},
    };
    const std::vector<uint8_t> three = {0x11, 0x22, 0x33};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        config_.processorFamily = c.core32 ? 30 : 20;
        ChipSettings settings = testing_support::chipFor(c.core32);
        settings.loaderFlags = 0x0002;
        connect(settings);
        ASSERT_TRUE(driver_->enterLoader(false));
        ASSERT_TRUE(driver_->eraseFlash());
        if (!c.before.empty()) {
            ASSERT_EQ(driver_->loaderWrite(0x10040, c.before.size(), c.before.data(), true), zern::kLinkDone);
        }
        board_->clearReceived();
        MessageRecorder::take();
        ASSERT_EQ(driver_->loaderWrite(0x10041, three.size(), three.data(), true), zern::kLinkDone);
        EXPECT_EQ(board_->receivedHex(), c.wire);
        EXPECT_EQ(board_->chip().code(0x10040, c.flash.size()), c.flash);
        EXPECT_TRUE(MessageRecorder::take().empty());
        EXPECT_TRUE(board_->chip().protocolErrors().empty());
    }
}

// What the driver tells of its state is read between operations, never in
// the middle of one that holds the link.
TEST_F(DriverRecordsTest, TheEraseStateIsReadOnceTheOperationOnTheLinkEnds)
{
    ChipSettings settings = fixedPageChip();
    settings.eraseBusyPolls = 1;
    settings.eraseBusyMs = 300;
    connect(settings);
    const std::vector<uint8_t> code = {1, 2, 3, 4};
    std::atomic<bool> written{false};
    std::thread writer([&] {
        EXPECT_EQ(driver_->writeProgramBlock(0, code.size(), code.data()), zern::kLinkDone);
        written = true;
    });
    // The erase has begun: the write holds the link until its block is written.
    while (board_->chip().masterErases() == 0 && !written)
        std::this_thread::yield();
    EXPECT_FALSE(driver_->erasePending());
    EXPECT_EQ(driver_->targetState(), zern::TargetState::Loader);
    EXPECT_EQ(board_->chip().code(0, 4), code);
    writer.join();
}

TEST_F(DriverRecordsTest, ABreakpointBeyondTheEnginesReachIsNamed)
{
    // The start of user code takes a breakpoint of two address bytes on a 16-bit core.
    config_.userCodeStart = 0x10000;
    EXPECT_EQ(driver_->initializeTarget(), zern::kLinkFailure);
    EXPECT_EQ(MessageRecorder::take(), std::vector<std::string>{"Unable to set a breakpoint at 0x10000: the address is "
                                                                "beyond the debug engine's reach."});
}

// Prompt or not, the erase leaves every later read waiting the after-erase
// time for its first byte.
TEST_F(DriverRecordsTest, ReadsAfterTheEraseKeepTheAfterEraseTimeOut)
{
    timing_.afterEraseFirstByteMs = 1500;
    connect(fixedPageChip());
    ASSERT_TRUE(driver_->enterLoader(false));
    ASSERT_TRUE(driver_->eraseFlash());
    testing_support::BoardFaults silence;
    silence.fromBinaryAnswer = board_->binaryAnswers();
    board_->setFaults(silence);
    const auto start = std::chrono::steady_clock::now();
    const uint8_t data[] = {1, 2};
    EXPECT_EQ(driver_->loaderWrite(0, sizeof data, data, true), zern::kLinkFailure);
    // The transfer deadline is 500 ms; the first read alone waits longer.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(timing_.afterEraseFirstByteMs));
}

TEST_F(DriverRecordsTest, ZncWorkaroundNamesTheInstructionPointerCheck)
{
    config_.processorFamily = 30;
    config_.zncWorkaround = 1;
    connect(testing_support::chipFor(true));
    int64_t address = -1;
    ASSERT_EQ(driver_->readInstructionPointer(address), zern::kLinkDone);
    EXPECT_EQ(MessageRecorder::take(), (std::vector<std::string>{"", "Checking for proper status after reading IP...",
                                                                 "Please check all connections and try again."}));
}

TEST_F(DriverRecordsTest, LoaderWithoutAPromptIsTriedTwice)
{
    setFaults([](FaultPlan& faults) { faults.loaderWithoutPrompt = true; });
    const std::vector<uint8_t> data = {1, 2};
    EXPECT_EQ(driver_->writeProgramBlock(0, data.size(), data.data()), zern::kLinkFailure);
    const auto messages = MessageRecorder::take();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "No prompt received when activating the boot loader."), 2);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "Entering Loader"), 2);
}

TEST_F(DriverRecordsTest, PageTooLargeForTheRecordIsRefused)
{
    ChipSettings settings = fixedPageChip();
    settings.codePageSize = 252;
    connect(settings);
    const std::vector<uint8_t> data = {1, 2};
    EXPECT_EQ(driver_->writeProgramBlock(0, data.size(), data.data()), zern::kLinkFailure);
    const auto messages = MessageRecorder::take();
    EXPECT_NE(std::find(messages.begin(), messages.end(),
                        "Unable to determine if loader supports fixed or variable length loading."),
              messages.end());
}

TEST_F(DriverRecordsTest, TestModeWritesItsRegisterBeforeTheLoader)
{
    config_.testModeFlag = 1;
    config_.testModeValues = {8, 3, 0x55};
    ASSERT_TRUE(driver_->enterLoader(false));
    const auto messages = MessageRecorder::take();
    const std::vector<std::string> expected = {"Setting TDB bits to 0x01", "Done.", "Writing M8[3] = 0x55",
                                               "Setting TDB bits to 0x00", "Done.", "Entering Loader",
                                               "Prompt received."};
    EXPECT_EQ(messages, expected);
    EXPECT_EQ(board_->chip().registerValue(8, 3), 0x55);
    EXPECT_NE(board_->receivedHex().find("0001000301060002001301010004"), std::string::npos);
    EXPECT_TRUE(board_->chip().loaderActive());
}

TEST_F(DriverRecordsTest, OddThreeByteWriteIsAByteThenAWord)
{
    board_->chip().setData(0x100, {0x77});
    const uint8_t data[] = {0xA1, 0xB2, 0xC3};
    ASSERT_EQ(driver_->writeMemoryBlock(0x101, 3, data), zern::kLinkDone);
    const std::string wire = board_->receivedHex();
    // The byte's word keeps its other half (read through the cache), then the word follows.
    const size_t byteWrite = wire.find(
        "05258000"
        "77A1");
    const size_t wordWrite = wire.find(
        "05258100"
        "B2C3");
    ASSERT_NE(byteWrite, std::string::npos) << wire;
    ASSERT_NE(wordWrite, std::string::npos) << wire;
    EXPECT_LT(byteWrite, wordWrite);
    EXPECT_EQ(board_->chip().data(0x100, 4), (std::vector<uint8_t>{0x77, 0xA1, 0xB2, 0xC3}));
}

TEST_F(DriverRecordsTest, NoMatchingContextPasswordWarnsAndGoesOn)
{
    // The context's password is flash that holds 0x11s; the driver only knows the erased fill.
    ChipSettings settings = fixedPageChip();
    settings.contexts = {zern::chipmodel::PasswordContext{0x40, 0x20}};
    connect(settings);
    board_->chip().setCode(0x40, std::vector<uint8_t>(32, 0x11));
    EXPECT_TRUE(driver_->singleStep());
    const auto messages = MessageRecorder::take();
    EXPECT_EQ(messages,
              (std::vector<std::string>{"The correct password for the current context could not be determined.",
                                        "All register and memory displays will be invalid."}));
}

TEST_F(DriverRecordsTest, DataBreakpointRecord)
{
    ASSERT_TRUE(driver_->setDataBreakpoint(1, 0x1234));
    EXPECT_EQ(board_->receivedHex(),
              "07"
              "1A"
              "34120000"
              "1180");
    EXPECT_EQ(board_->chip().dataBreakpoints()[1], 0x1234u);
}

TEST_F(DriverRecordsTest, BadLoaderStatusFailsTheWrite)
{
    setFaults([](FaultPlan& faults) { faults.loaderStatus = 0x42; });
    const std::vector<uint8_t> data = {1, 2};
    EXPECT_EQ(driver_->writeProgramBlock(0, data.size(), data.data()), zern::kLinkFailure);
    const auto messages = MessageRecorder::take();
    EXPECT_NE(std::find(messages.begin(), messages.end(),
                        "Bad status code received (0x42) from the boot loader after master erase."),
              messages.end());
}

// A reply that comes after its deadline is drained before the next record:
// it shifts none of the replies after it.
TEST_F(DriverRecordsTest, AnEraseLongerThanTheReadDeadlineShiftsNothing)
{
    // Transfers must be complete within 500 ms; the erase takes 700, so its
    // ready prompt misses the deadline. A late reply is drained until the
    // line has been quiet for 400 ms.
    ChipSettings settings = fixedPageChip();
    settings.eraseBusyPolls = 1;
    settings.eraseBusyMs = 700;
    timing_.drainQuietMs = 400;
    connect(settings);
    const std::vector<uint8_t> code = {0x11, 0x22, 0x33, 0x44};
    EXPECT_EQ(driver_->writeProgramBlock(0, code.size(), code.data()), zern::kLinkDone);
    const auto messages = MessageRecorder::take();
    EXPECT_NE(std::find(messages.begin(), messages.end(),
                        "Unable to read all the required information from the serial port."),
              messages.end());
    EXPECT_EQ(board_->chip().code(0, 4), code);
    // The debug engine's replies line up again after the load.
    ASSERT_EQ(driver_->initializeTarget(), zern::kLinkDone);
    uint8_t read[4] = {};
    ASSERT_EQ(driver_->readCodeCached(0, sizeof read, read), zern::kLinkDone);
    EXPECT_EQ(std::vector<uint8_t>(read, read + 4), code);
}

class AacceHandlerTest : public device_tests::TempFolderTest {};

TEST_F(AacceHandlerTest, RecordsAreFramedAtTheirAnnouncedLength)
{
    ChipBoardEmulator board(testing_support::chipFor(true));
    zern::DeviceConfig config;
    config.processorFamily = 30;
    config.expectedEraseTime = 5;
    config.startupDelayMs = 200;
    config.aacceFlag = 1;
    config.aacceValue = 0x1234;
    const zern::LinkTiming timing = device_tests::quickLinkTiming();
    zern::TrafficLog log;
    auto port = zern::openLink(
        board.devicePath(), [](const std::string&) {}, timing);
    ASSERT_TRUE(port);
    zern::JtagDriver driver(std::move(port), config, &MessageRecorder::callback, timing, log);
    ASSERT_EQ(driver.initializeTarget(), zern::kLinkDone);
    board.clearReceived();
    ASSERT_TRUE(driver.singleStep());
    const std::string wire = board.receivedHex();
    // Step 4 announces 13 bytes, step 5 nine: both arrive whole.
    // Each is followed by the long status (10) that opens the next step.
    const auto framed = [&](const std::string& head, const std::string& tail) {
        for (size_t at = wire.find(head); at != std::string::npos; at = wire.find(head, at + 1))
            if (wire.compare(at + head.size() + 8, tail.size(), tail) == 0)
                return true;
        return false;
    };
    EXPECT_TRUE(framed("0D22", "020020202020202010")) << wire;
    EXPECT_TRUE(framed("09241D00", "202010")) << wire;
}

}  // namespace
