// Program loads end to end: an Intel HEX file in the form the assembler
// writes, through the device's LoadProgram, into the emulated chip's flash.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <optional>
#include <thread>

#include "ChipBoardEmulator.h"
#include "HexRecords.h"
#include "MessageBoxes.h"
#include "RlaEmulator.h"
#include "TestSupport.h"
#include "ZernDevice.h"
#include "ZernJtagTraits.h"

namespace {

using device_tests::MessageRecorder;
using testing_support::ChipBoardEmulator;
using testing_support::hexRecord;
using testing_support::programHex;

struct LoadCase {
    const char* name;
    bool core32;
    uint16_t loaderFlags;
};

zern::chipmodel::ChipSettings chipWith(bool core32, uint16_t loaderFlags)
{
    zern::chipmodel::ChipSettings settings = testing_support::chipFor(core32);
    settings.loaderFlags = loaderFlags;
    return settings;
}

class ProgramLoadTest : public device_tests::TempFolderTest, public ::testing::WithParamInterface<LoadCase> {
protected:
    ProgramLoadTest() : board_(chipWith(GetParam().core32, GetParam().loaderFlags)) {}

    void SetUp() override
    {
        TempFolderTest::SetUp();
        writeFile("chip.cfg", std::string("[PROCESSOR_FAMILY]\n") + (GetParam().core32 ? "30" : "20")
                                  + "\n[EXPECTED ERASE TIME]\n5\n[STARTUP DELAY]\n200\n"
                                    "[MEMORY BANKS]\n1\nCode, x, 0, 0x10000, 16, 0x800, code\n"
                                    "[POST-LOAD COMMANDS]\n0x07, 0x01\n");
        setOption("ConfigFile", (folder_ / "chip.cfg").string());
        setOption("SerialPort", board_.devicePath());
        device_ = std::make_unique<zern::ZernDevice>(zern::kZernJtagTraits);
        device_->SetMessageCallback(&MessageRecorder::callback);
        device_->setLinkTiming(device_tests::quickLinkTiming());
    }
    void TearDown() override
    {
        device_.reset();
        TempFolderTest::TearDown();
    }

    ChipBoardEmulator board_;
    platform::RecordingMessageBoxes boxes_;
    platform::ScopedMessageBoxes boxGuard_{boxes_};
    std::unique_ptr<zern::ZernDevice> device_;
};

TEST_P(ProgramLoadTest, HexFileLandsInFlashAndReadsBack)
{
    // An odd last chunk: word-count records pad it, and its last byte still lands.
    std::vector<uint8_t> code(301);
    for (size_t i = 0; i < code.size(); ++i)
        code[i] = static_cast<uint8_t>(i * 7 + 1);
    // A whole erased chunk in the middle is skipped.
    std::fill(code.begin() + 128, code.begin() + 256, 0xFF);
    const std::string path = writeFile("blink.hex", programHex(code));
    ASSERT_EQ(device_->LoadProgram(path.c_str()), tolvane::kStatusDone);
    const auto messages = MessageRecorder::take();
    const auto has = [&](const std::string& line) {
        return std::find(messages.begin(), messages.end(), line) != messages.end();
    };
    EXPECT_TRUE(has("Program Size: 301 bytes"));
    EXPECT_TRUE(has("Loading 128 bytes @ 0x0000..."));
    EXPECT_FALSE(has("Loading 128 bytes @ 0x0080..."));
    EXPECT_TRUE(has("Loading 45 bytes @ 0x0100..."));
    EXPECT_TRUE(has("Post-Load Command: 07, 01, Status: 00"));
    EXPECT_TRUE(has("Delay Complete"));
    EXPECT_EQ(board_.chip().masterErases(), 1);
    EXPECT_FALSE(board_.chip().loaderActive());
    const auto flash = board_.chip().code(0, code.size() + 1);
    EXPECT_TRUE(std::equal(code.begin(), code.end(), flash.begin()));
    EXPECT_EQ(flash[301], 0xFF);

    std::vector<int32_t> words(150);
    ASSERT_EQ(device_->ReadCodeWords(0, 150, words.data()), tolvane::kStatusDone);
    for (size_t i = 0; i < words.size(); ++i)
        ASSERT_EQ(words[i], code[2 * i] | (code[2 * i + 1] << 8)) << i;
}

// Context passwords belong to the 16-bit cores.
class ContextPasswordLoadTest : public ProgramLoadTest {};

TEST_P(ContextPasswordLoadTest, PasswordIsTakenFromTheWrittenImage)
{
    // The chip's password lies at byte 0x40 of the flash; the loader tells
    // where (word 0x20) when asked with 0xF6.
    zern::chipmodel::ChipSettings settings = chipWith(false, GetParam().loaderFlags);
    settings.contexts = {zern::chipmodel::PasswordContext{0x40, 0x20}};
    ChipBoardEmulator board(settings);
    setOption("SerialPort", board.devicePath());
    writeFile("chip.cfg",
              "[EXPECTED ERASE TIME]\n5\n[STARTUP DELAY]\n200\n"
              "[MEMORY BANKS]\n1\nCode, x, 0, 0x10000, 16, 0x800, code\n"
              "[HANDLE CONTEXT SWITCHES]\n1, 0xF6, 1, 2, 0\n");
    device_ = std::make_unique<zern::ZernDevice>(zern::kZernJtagTraits);
    device_->SetMessageCallback(&MessageRecorder::callback);
    device_->setLinkTiming(device_tests::quickLinkTiming());
    std::vector<uint8_t> code(128, 0x00);
    std::vector<uint8_t> password(32);
    for (size_t i = 0; i < password.size(); ++i)
        code[0x40 + i] = password[i] = static_cast<uint8_t>(0xC0 + i);
    const std::string path = writeFile("locked.hex", programHex(code));
    ASSERT_EQ(device_->LoadProgram(path.c_str()), tolvane::kStatusDone);
    EXPECT_EQ(device_->config().loaderPasswords, password);
    // Registers read again: the learnt password unlocked the chip.
    MessageRecorder::take();
    EXPECT_EQ(device_->SetRegister(5, 0x1234), tolvane::kStatusDone);
    EXPECT_EQ(board.chip().registerValue(0, 5), 0x1234);
    const auto messages = MessageRecorder::take();
    EXPECT_EQ(std::find(messages.begin(), messages.end(),
                        "The correct password for the current context could not be determined."),
              messages.end());
    device_.reset();
}

// A loader without a page read: the chunk that starts inside a page
// completes it with what the load wrote there since its erase.
class LoaderWithoutPageReadTest : public ProgramLoadTest {};

TEST_P(LoaderWithoutPageReadTest, APageWrittenInTwoChunksHoldsBoth)
{
    zern::chipmodel::ChipSettings settings = chipWith(false, GetParam().loaderFlags);
    // Page 1 holds bytes 96-191: its first third comes with the first chunk.
    settings.codePageSize = 96;
    ChipBoardEmulator board(settings);
    setOption("SerialPort", board.devicePath());
    std::vector<uint8_t> code(200);
    for (size_t i = 0; i < code.size(); ++i)
        code[i] = static_cast<uint8_t>(i + 1);
    const std::string path = writeFile("paged.hex", programHex(code));
    ASSERT_EQ(device_->LoadProgram(path.c_str()), tolvane::kStatusDone)
        << testing::PrintToString(MessageRecorder::take());
    device_.reset();
    EXPECT_EQ(board.chip().code(0, code.size()), code);
    EXPECT_TRUE(board.chip().protocolErrors().empty());
}

TEST_P(ProgramLoadTest, RlaPortTakesTheProgramInsteadOfTheLoader)
{
    testing_support::RlaEmulator rla(board_.chip());
    writeFile("chip.cfg", std::string("[PROCESSOR_FAMILY]\n") + (GetParam().core32 ? "30" : "20")
                              + "\n[EXPECTED ERASE TIME]\n5\n[STARTUP DELAY]\n200\n"
                                "[MEMORY BANKS]\n1\nCode, x, 0, 0x10000, 16, 0x800, code\n"
                                "[RLA PORT]\n" + rla.devicePath() + "\n");
    device_->SetProjectOption(("Config File = " + (folder_ / "chip.cfg").string()).c_str(), "");
    zern::LinkTiming timing = device_tests::quickLinkTiming();
    timing.rlaRebootWaitMs = 5;
    device_->setLinkTiming(timing);
    std::vector<uint8_t> code(600);
    for (size_t i = 0; i < code.size(); ++i)
        code[i] = static_cast<uint8_t>(i + 3);
    const std::string path = writeFile("rla.hex", programHex(code));
    ASSERT_EQ(device_->LoadProgram(path.c_str()), tolvane::kStatusDone);
    device_.reset();
    EXPECT_EQ(board_.chip().code(0, code.size()), code);
    EXPECT_EQ(rla.port().controlByte(0xC00006), 1);
    EXPECT_EQ(board_.chip().masterErases(), 0);
    const auto messages = MessageRecorder::take();
    EXPECT_NE(std::find(messages.begin(), messages.end(), "Waiting for Pelko to reboot."), messages.end());
    EXPECT_EQ(std::find(messages.begin(), messages.end(), "Entering Loader"), messages.end());
}

TEST_P(ProgramLoadTest, LoadDuringARunEndsTheRunFirst)
{
    // Without breakpoints the chip runs until the load ends the run.
    ASSERT_TRUE(device_->EnsureConnected());
    std::atomic<int> result{-1};
    std::thread worker([&] { result = device_->Run(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::string path = writeFile("blink.hex", programHex({1, 2, 3, 4}));
    EXPECT_EQ(device_->LoadProgram(path.c_str()), tolvane::kStatusDone);
    worker.join();
    EXPECT_EQ(result, tolvane::kRunStopped);
}

TEST_P(ProgramLoadTest, BadHexFileIsRefusedBeforeAnythingIsWritten)
{
    // The file is opened once the fresh link is up: its message comes last.
    const auto lastLine = [] {
        const auto lines = MessageRecorder::take();
        return lines.empty() ? std::string() : lines.back();
    };
    std::string text = programHex({1, 2, 3, 4});
    text[text.find(":04") + 10] = 'G';
    const std::string path = writeFile("bad.hex", text);
    EXPECT_EQ(device_->LoadProgram(path.c_str()), tolvane::kStatusFailed);
    EXPECT_EQ(lastLine(), "Invalid Intel HEX file bad.hex, line 2: character 11 is not a hexadecimal digit.");
    EXPECT_EQ(device_->LoadProgram((folder_ / "missing.hex").c_str()), tolvane::kStatusFailed);
    EXPECT_EQ(lastLine(), "Cannot open program file.");
    // Data beyond the 0x800-word code image.
    const std::string beyond = writeFile("beyond.hex", hexRecord(4, 0, {0x00, 0x01}) + hexRecord(0, 0, {1}));
    EXPECT_EQ(device_->LoadProgram(beyond.c_str()), tolvane::kStatusFailed);
    EXPECT_EQ(board_.chip().masterErases(), 0);
    EXPECT_FALSE(board_.chip().loaderActive());
}

TEST_P(ProgramLoadTest, LoaderWithoutAPageFormIsRefused)
{
    ChipBoardEmulator board(chipWith(GetParam().core32, 0));
    setOption("SerialPort", board.devicePath());
    const std::string path = writeFile("blink.hex", programHex({1, 2, 3, 4}));
    EXPECT_EQ(device_->LoadProgram(path.c_str()), tolvane::kStatusFailed);
    const auto messages = MessageRecorder::take();
    EXPECT_NE(std::find(messages.begin(), messages.end(),
                        "Unable to determine if loader supports fixed or variable length loading."),
              messages.end());
    device_.reset();
}

INSTANTIATE_TEST_SUITE_P(Loaders, ProgramLoadTest,
                         ::testing::Values(LoadCase{"Fixed16", false, 0x0600}, LoadCase{"Variable16", false, 0x0002},
                                           LoadCase{"Fixed32", true, 0x0600}, LoadCase{"Variable32", true, 0x0002}),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(NoPageRead16, LoaderWithoutPageReadTest, ::testing::Values(LoadCase{"Fixed16", false, 0x0200}),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Loaders16, ContextPasswordLoadTest,
                         ::testing::Values(LoadCase{"Fixed16", false, 0x0600}, LoadCase{"Variable16", false, 0x0002}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

using testing_support::BoardFaults;

// Every way the board can fail, from every few records of a program load on:
// the load ends with a failure and a message, never a hang or a crash.
class ProgramLoadFaultTest : public device_tests::TempFolderTest {
protected:
    int load(const std::optional<BoardFaults>& faults, size_t* answers = nullptr)
    {
        ChipBoardEmulator board;
        setOption("SerialPort", board.devicePath());
        zern::ZernDevice device(zern::kZernJtagTraits);
        device.SetMessageCallback(&MessageRecorder::callback);
        // Shorter still: many loads, most of them waiting for a failing board.
        zern::LinkTiming timing = device_tests::quickLinkTiming();
        timing.firstByteMs = timing.afterEraseFirstByteMs = 40;
        timing.readDeadlineUnitMs = 20;
        device.setLinkTiming(timing);
        if (faults)
            board.setFaults(*faults);
        const int result = device.LoadProgram(hexPath_.c_str());
        if (answers)
            *answers = board.binaryAnswers();
        return result;
    }

    void SetUp() override
    {
        TempFolderTest::SetUp();
        writeFile("chip.cfg",
                  "[EXPECTED ERASE TIME]\n5\n[STARTUP DELAY]\n20\n"
                  "[MEMORY BANKS]\n1\nCode, x, 0, 0x10000, 16, 0x800, code\n");
        setOption("ConfigFile", (folder_ / "chip.cfg").string());
        std::vector<uint8_t> code(100, 0x5A);
        hexPath_ = writeFile("small.hex", programHex(code));
    }

    std::string hexPath_;
    platform::RecordingMessageBoxes boxes_;
    platform::ScopedMessageBoxes boxGuard_{boxes_};
};

TEST_F(ProgramLoadFaultTest, EveryFaultAtEveryStageEndsCleanly)
{
    size_t answers = 0;
    ASSERT_EQ(load(std::nullopt, &answers), tolvane::kStatusDone);
    ASSERT_GT(answers, 20u);
    MessageRecorder::take();
    for (const auto mode : {BoardFaults::Mode::Silence, BoardFaults::Mode::ShortReply, BoardFaults::Mode::HangUp,
                            BoardFaults::Mode::Garbage}) {
        for (size_t from = 0; from < answers; from += 7) {
            BoardFaults faults;
            faults.fromBinaryAnswer = from;
            faults.mode = mode;
            const auto start = std::chrono::steady_clock::now();
            const int result = load(faults);
            const auto took = std::chrono::steady_clock::now() - start;
            const auto messages = MessageRecorder::take();
            EXPECT_LT(took, std::chrono::seconds(10)) << static_cast<int>(mode) << " at " << from;
            if (mode == BoardFaults::Mode::Garbage)
                continue;
            EXPECT_EQ(result, tolvane::kStatusFailed) << static_cast<int>(mode) << " at " << from;
            EXPECT_FALSE(messages.empty());
        }
    }
}

// A loader that falls silent after the master erase holds the load for the
// erase's prompt wait and one read at the after-erase time-out: draining the
// prompt's late reply costs only a quiet interval, not a second time-out.
TEST_F(ProgramLoadFaultTest, SilentLoaderAfterTheEraseHoldsTheLoadForOneAfterEraseTimeOut)
{
    zern::LinkTiming timing = device_tests::quickLinkTiming();
    timing.afterEraseFirstByteMs = 2000;
    const auto eraseDeadline = std::chrono::milliseconds(5 * timing.readDeadlineUnitMs);
    const auto afterErase = std::chrono::milliseconds(timing.afterEraseFirstByteMs);
    const auto timedLoad = [&](bool silent, int& result) {
        ChipBoardEmulator board;
        setOption("SerialPort", board.devicePath());
        zern::chipmodel::FaultPlan faults;
        faults.loaderSilentAfterErase = silent;
        board.chip().setFaults(faults);
        zern::ZernDevice device(zern::kZernJtagTraits);
        device.SetMessageCallback(&MessageRecorder::callback);
        device.setLinkTiming(timing);
        const auto start = std::chrono::steady_clock::now();
        result = device.LoadProgram(hexPath_.c_str());
        return std::chrono::steady_clock::now() - start;
    };
    int result = 0;
    const auto baseline = timedLoad(false, result);
    ASSERT_EQ(result, tolvane::kStatusDone);
    MessageRecorder::take();
    const auto took = timedLoad(true, result);
    EXPECT_EQ(result, tolvane::kStatusFailed);
    EXPECT_LT(took, baseline + eraseDeadline + afterErase + afterErase / 2);
    const auto messages = MessageRecorder::take();
    const auto erasing = std::find(messages.begin(), messages.end(), "Erasing...");
    ASSERT_NE(erasing, messages.end());
    const std::vector<std::string> afterErasing(erasing, messages.end());
    const std::vector<std::string> unreadReply = {"",
                                                  "Unable to read all the required information from the serial port.",
                                                  "Please check all connections and try again."};
    std::vector<std::string> expected = {"Erasing..."};
    expected.insert(expected.end(), unreadReply.begin(), unreadReply.end());
    expected.insert(expected.end(), unreadReply.begin(), unreadReply.end());
    EXPECT_EQ(afterErasing, expected);
}

}  // namespace
