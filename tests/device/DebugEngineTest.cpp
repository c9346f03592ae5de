// The ZernJTAG device end to end against the board emulator with the chip
// model behind it: registers, memory, code, breakpoints and run control.

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

#include "ChipBoardEmulator.h"
#include "JtagDriver.h"
#include "MessageBoxes.h"
#include "TestSupport.h"
#include "ZernDevice.h"
#include "ZernJtagTraits.h"

namespace {

using device_tests::MessageRecorder;
using testing_support::ChipBoardEmulator;

int index(int module, int reg)
{
    return module * 32 + reg;
}

class DebugEngineTest : public device_tests::TempFolderTest, public ::testing::WithParamInterface<bool> {
protected:
    DebugEngineTest() : board_(testing_support::chipFor(GetParam())) {}

    void SetUp() override
    {
        TempFolderTest::SetUp();
        writeFile("chip.cfg", std::string("[PROCESSOR_FAMILY]\n") + (GetParam() ? "30" : "20")
                                  + "\n[EXPECTED ERASE TIME]\n5\n[STARTUP DELAY]\n200\n"
                                    "[MEMORY BANKS]\n2\nData, x, 0, 0, 16, 0x800, data\n"
                                    "Code, x, 0, "
                                  + (GetParam() ? "0x1000000" : "0x10000") + ", 16, 0x800, code\n");
        setOption("ConfigFile", (folder_ / "chip.cfg").string());
        setOption("SerialPort", board_.devicePath());
        device_ = std::make_unique<zern::ZernDevice>(zern::kZernJtagTraits);
        device_->SetMessageCallback(&MessageRecorder::callback);
        device_->setLinkTiming(device_tests::quickLinkTiming());
        ASSERT_TRUE(device_->EnsureConnected());
        MessageRecorder::take();
        board_.clearReceived();
    }
    void TearDown() override
    {
        device_.reset();
        TempFolderTest::TearDown();
    }

    uint64_t registerValue(int idx)
    {
        int groups = 0, count = 0;
        char** names = nullptr;
        char** table = nullptr;
        EXPECT_EQ(device_->GetRegisterTable(&groups, &names, &count, &table), 1);
        char* name = nullptr;
        uint64_t value = 0;
        int width = 0, address = 0;
        EXPECT_EQ(device_->GetRegister(idx, &name, &value, &width, &address), tolvane::kStatusDone);
        return value;
    }
    int programCounter()
    {
        int pc = -1;
        EXPECT_EQ(device_->GetProgramCounter(&pc), tolvane::kStatusDone);
        return pc;
    }
    void neverHalt()
    {
        zern::chipmodel::FaultPlan faults;
        faults.neverHalts = true;
        board_.chip().setFaults(faults);
    }
    size_t commandsSent(uint8_t lengthByte, uint8_t command) const
    {
        const auto bytes = board_.received();
        size_t found = 0;
        for (size_t i = 0; i + 1 < bytes.size(); ++i)
            if (bytes[i] == lengthByte && bytes[i + 1] == command)
                ++found;
        return found;
    }

    ChipBoardEmulator board_;
    platform::RecordingMessageBoxes boxes_;
    platform::ScopedMessageBoxes boxGuard_{boxes_};
    std::unique_ptr<zern::ZernDevice> device_;
};

TEST_P(DebugEngineTest, RegistersWrittenReadBack)
{
    EXPECT_EQ(device_->SetRegister(index(0, 5), 0x1234), tolvane::kStatusDone);
    EXPECT_EQ(device_->SetRegister(index(9, 3), 0xBEEF), tolvane::kStatusDone);
    EXPECT_EQ(board_.chip().registerValue(0, 5), 0x1234);
    EXPECT_EQ(registerValue(index(0, 5)), 0x1234u);
    EXPECT_EQ(registerValue(index(9, 3)), 0xBEEFu);
}

TEST_P(DebugEngineTest, RegisterDumpIsServedFromTheCacheUntilAChange)
{
    registerValue(0);
    registerValue(0);
    EXPECT_EQ(commandsSent(GetParam() ? 0x04 : 0x03, 0x21), 1u);
    device_->SetRegister(index(1, 1), 7);
    EXPECT_EQ(registerValue(index(1, 1)), 7u);
    EXPECT_EQ(commandsSent(GetParam() ? 0x04 : 0x03, 0x21), 2u);
}

TEST_P(DebugEngineTest, BreakpointHaltsTheRun)
{
    ASSERT_EQ(device_->SetBreakpoint(12), tolvane::kStatusDone);
    EXPECT_EQ(device_->Run(), tolvane::kRunHalted);
    EXPECT_EQ(programCounter(), 12);
    bool atBreakpoint = false;
    EXPECT_EQ(device_->IsBreakpointAtPC(&atBreakpoint), tolvane::kStatusDone);
    EXPECT_TRUE(atBreakpoint);
    EXPECT_EQ(device_->StepInstruction(), tolvane::kRunHalted);
    EXPECT_EQ(programCounter(), 13);
    EXPECT_EQ(device_->RunToAddress(20), tolvane::kRunHalted);
    EXPECT_EQ(programCounter(), 20);
    EXPECT_FALSE(board_.chip().codeBreakpoints()[1].has_value());
}

TEST_P(DebugEngineTest, StopFromAnotherThreadEndsTheRun)
{
    neverHalt();
    std::atomic<int> result{-1};
    std::thread worker([&] { result = device_->Run(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto asked = std::chrono::steady_clock::now();
    EXPECT_EQ(device_->Stop(), tolvane::kStatusDone);
    worker.join();
    EXPECT_EQ(result, tolvane::kRunStopped);
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(500));
}

TEST_P(DebugEngineTest, PauseHaltsTheRun)
{
    // Without breakpoints the chip runs until the pause.
    std::atomic<int> result{-1};
    std::thread worker([&] { result = device_->Run(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(device_->Pause(), tolvane::kStatusDone);
    worker.join();
    EXPECT_EQ(result, tolvane::kRunHalted);
    EXPECT_TRUE(board_.chip().halted());
}

TEST_P(DebugEngineTest, MemoryWritesReadBackThroughTheCache)
{
    const int32_t written[3] = {0x1122, 0x3344, 0x5566};
    ASSERT_EQ(device_->WriteMemory(0, 0x7F, 3, written), tolvane::kStatusDone);
    EXPECT_EQ(board_.chip().data(0xFE, 1)[0], 0x22);
    int32_t read[3] = {};
    ASSERT_EQ(device_->ReadMemory(0, 0x7F, 3, read), tolvane::kStatusDone);
    EXPECT_EQ(read[0], 0x1122);
    EXPECT_EQ(read[2], 0x5566);
    // The read spans two pages: each is read once, later reads come from the cache.
    EXPECT_EQ(commandsSent(GetParam() ? 0x08 : 0x06, 0x22), 2u);
    ASSERT_EQ(device_->ReadMemory(0, 0x80, 1, read), tolvane::kStatusDone);
    EXPECT_EQ(commandsSent(GetParam() ? 0x08 : 0x06, 0x22), 2u);
}

// The code bank shows the flash through the engine's code window. Only a
// program load writes flash: a write there fails and says why.
TEST_P(DebugEngineTest, CodeBankShowsFlashAndRefusesWrites)
{
    constexpr int kCodeBank = 1;
    board_.chip().setCode(0x10, {0x34, 0x12});
    int32_t word = 0;
    ASSERT_EQ(device_->ReadMemory(kCodeBank, 8, 1, &word), tolvane::kStatusDone);
    EXPECT_EQ(word, 0x1234);
    const int32_t typed = 0xABCD;
    EXPECT_EQ(device_->WriteMemory(kCodeBank, 8, 1, &typed), tolvane::kStatusFailed);
    EXPECT_EQ(MessageRecorder::take(),
              (std::vector<std::string>{"Unable to write Code at 0x0008: the debug engine cannot write there (code "
                                        "memory is written by a program load)."}));
    EXPECT_EQ(board_.chip().code(0x10, 2), (std::vector<uint8_t>{0x34, 0x12}));
    EXPECT_TRUE(board_.chip().protocolErrors().empty());
    ASSERT_EQ(device_->ReadMemory(kCodeBank, 8, 1, &word), tolvane::kStatusDone);
    EXPECT_EQ(word, 0x1234);
}

TEST_P(DebugEngineTest, CodeWordsComeFromFlash)
{
    board_.chip().setCode(0x40, {0x34, 0x12, 0x78, 0x56});
    int32_t words[2] = {};
    ASSERT_EQ(device_->ReadCodeWords(0x20, 2, words), tolvane::kStatusDone);
    EXPECT_EQ(words[0], 0x1234);
    EXPECT_EQ(words[1], 0x5678);
    // The all-ones address reads as erased flash without a record.
    board_.clearReceived();
    ASSERT_EQ(device_->ReadCodeWords(~0ull, 2, words), tolvane::kStatusDone);
    EXPECT_EQ(words[0], 0xFFFF);
    EXPECT_TRUE(board_.receivedHex().empty());
}

TEST_P(DebugEngineTest, FifthBreakpointIsRefused)
{
    for (unsigned address = 1; address <= 4; ++address)
        ASSERT_EQ(device_->SetBreakpoint(address), tolvane::kStatusDone);
    EXPECT_EQ(device_->SetBreakpoint(5), tolvane::kStatusFailed);
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].caption, "Breakpoint Limit");
    EXPECT_EQ(boxes_.boxes[0].text,
              "Unable to add breakpoint!\n\nThe maximum number of breakpoints\nhas been reached.");
    EXPECT_EQ(device_->ClearBreakpoint(9), tolvane::kStatusFailed);
    EXPECT_EQ(device_->ClearAllBreakpoints(), tolvane::kStatusDone);
    EXPECT_FALSE(board_.chip().codeBreakpoints()[0].has_value());
    EXPECT_FALSE(board_.chip().codeBreakpoints()[3].has_value());
}

TEST_P(DebugEngineTest, HangUpDuringARunFailsWithTheLinkError)
{
    neverHalt();
    std::atomic<int> result{-1};
    std::thread worker([&] { result = device_->Run(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    testing_support::BoardFaults faults;
    faults.hangUpAfter = 1;
    board_.setFaults(faults);
    worker.join();
    EXPECT_EQ(result, tolvane::kRunFailed);
    const auto messages = MessageRecorder::take();
    ASSERT_GE(messages.size(), 3u);
    EXPECT_EQ(messages[messages.size() - 2], "Unable to read from the serial port.");
    EXPECT_EQ(messages.back(), "Please check all connections and try again.");
}

TEST_P(DebugEngineTest, PasswordsNeverReachTheTrafficLog)
{
    ASSERT_TRUE(device_->trafficLog().open((folder_ / "log.txt").string()));
    EXPECT_EQ(device_->StepInstruction(), tolvane::kRunHalted);
    device_->trafficLog().close();
    std::ifstream file(folder_ / "log.txt");
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(text.str().find("W: 01 26 "), std::string::npos);
    if (!GetParam()) {
        EXPECT_NE(text.str().find("21 28 2a 2a"), std::string::npos);
        EXPECT_EQ(text.str().find("ff ff"), std::string::npos);
    }
}

// A program load or new options drop the link; the log the user started
// goes on with the new link's traffic until the user stops it.
TEST_P(DebugEngineTest, TheTrafficLogRunsAcrossAReconnect)
{
    ASSERT_TRUE(device_->trafficLog().open((folder_ / "log.txt").string()));
    device_->closeLink();
    EXPECT_TRUE(device_->trafficLog().isOpen());
    ASSERT_TRUE(device_->EnsureConnected());
    device_->trafficLog().close();
    std::ifstream file(folder_ / "log.txt");
    std::stringstream text;
    text << file.rdbuf();
    // The end of the old session, then the new board's version question.
    EXPECT_NE(text.str().find("W: 00 00 "), std::string::npos);
    EXPECT_NE(text.str().find("W: 51 0d "), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Cores, DebugEngineTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Core32" : "Core16"; });

}  // namespace
