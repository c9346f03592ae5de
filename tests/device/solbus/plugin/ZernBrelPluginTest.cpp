// ZernBrel end to end through its exports, as the IDE calls them, against
// the chip on the emulated Solbus: a program load, registers and memory,
// runs that halt, pause, stop and lose the link, and links that fail to open
// or to start.

#include <algorithm>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <thread>

#include "AbstractDevice.h"
#include "ChipSolbusEmulator.h"
#include "DynamicLibrary.h"
#include "ExportedSymbols.h"
#include "HexRecords.h"
#include "TestSupport.h"

namespace {

using device_tests::MessageRecorder;
using testing_support::programHex;
using Lines = std::vector<std::string>;

const std::string kBrelOptionsKey = "\\Software\\Quorin Semiconductor\\Tolvane\\ZERNBRELOptions\\";
const char kConfiguration[] =
    "[STARTUP DELAY]\n200\n"
    "[MEMORY BANKS]\n2\nCode, x, 0, 0x10000, 16, 0x800, code\nData, x, 0, 0, 16, 0x400, data\n"
    "[POST-LOAD COMMANDS]\n0x07, 0x01\n";
// Run polls every 100 ms: a stop is seen within one interval and the call in progress.
constexpr auto kWithinOnePoll = std::chrono::milliseconds(400);

bool contains(const Lines& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class ZernBrelPluginTest : public device_tests::TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        setBrelOption("ConfigFile", writeFile("chip.cfg", kConfiguration));
        setBrelOption("SerialPort", emulator_.devicePath());
        ASSERT_TRUE(library_.open(ZERNBREL_PATH)) << library_.lastError();
        device_ = library_.function<GetDeviceInstanceFn>(kGetDeviceInstanceExport)();
        ASSERT_NE(device_, nullptr);
        device_->SetMessageCallback(&MessageRecorder::callback);
    }
    void TearDown() override
    {
        library_.function<FreeDeviceInstanceFn>(kFreeDeviceInstanceExport)(device_);
        TempFolderTest::TearDown();
    }
    void setBrelOption(const std::string& name, const std::string& value) const
    {
        auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, kBrelOptionsKey, true);
        ASSERT_TRUE(key);
        key->writeString(name, value);
    }
    // Connected and started: halted at the start of user code.
    void connect()
    {
        ASSERT_EQ(device_->ClearAllBreakpoints(), tolvane::kStatusDone) << joined(MessageRecorder::take());
        MessageRecorder::take();
    }
    static std::string joined(const Lines& lines)
    {
        std::string text;
        for (const std::string& line : lines)
            text += line + "\n";
        return text;
    }
    std::future<int> runInBackground()
    {
        return std::async(std::launch::async, [this] { return device_->Run(); });
    }

    testing_support::ChipSolbusEmulator emulator_;
    platform::DynamicLibrary library_;
    AbstractDevice* device_ = nullptr;
};

TEST_F(ZernBrelPluginTest, ExportsTheDeviceFunctionsAndNamesItself)
{
    EXPECT_EQ(test_support::exportedSymbols(ZERNBREL_PATH),
              (std::set<std::string>{"_GetDeviceVersion", "_GetDeviceInstance", "_FreeDeviceInstance"}));
    EXPECT_EQ(library_.function<GetDeviceVersionFn>(kGetDeviceVersionExport)(), 14);
    EXPECT_STREQ(device_->GetVersionText(), "Version 1.1 (Build Date: Sep 24 2010)");
    char** captions = nullptr;
    int count = 0;
    ASSERT_EQ(device_->GetDeviceMenuItems(&captions, &count), tolvane::kStatusDone);
    ASSERT_EQ(count, 2);
    EXPECT_STREQ(captions[0], "Set Data Breakpoint");
    EXPECT_STREQ(captions[1], "Solbus Tool");

    // A console host has no windows for the dialogs: they say so and change nothing.
    EXPECT_FALSE(device_->ShowDeviceOptions(nullptr));
    device_->RunDeviceMenuItem("Set Data Breakpoint");
    device_->RunDeviceMenuItem("Solbus Tool");
    EXPECT_EQ(MessageRecorder::take(), (Lines{"The Options dialog can only be shown inside the IDE.",
                                              "The Data BP dialog can only be shown inside the IDE.",
                                              "The Solbus Tool dialog can only be shown inside the IDE."}));
}

TEST_F(ZernBrelPluginTest, AHexFileLoadsThroughTheBootLoaderAndReadsBackIdentical)
{
    std::vector<uint8_t> code(301);
    for (size_t i = 0; i < code.size(); ++i)
        code[i] = static_cast<uint8_t>(i * 7 + 1);
    // An erased chunk of 64 bytes is skipped.
    std::fill(code.begin() + 64, code.begin() + 128, 0xFF);
    const std::string path = writeFile("blink.hex", programHex(code));
    ASSERT_EQ(device_->LoadProgram(path.c_str()), tolvane::kStatusDone) << joined(MessageRecorder::take());
    const Lines lines = MessageRecorder::take();
    const Lines opening = {"Opening serial port...",
                           "Opened " + emulator_.devicePath() + ".",
                           "Checking hyperdrive configuration",
                           "Hyperdrive turned OFF.",
                           "Connected.",
                           "Program Size: 301 bytes",
                           "Loading 64 bytes @ 0x0000..."};
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 7), opening);
    EXPECT_FALSE(contains(lines, "Loading 64 bytes @ 0x0040..."));
    EXPECT_TRUE(contains(lines, "Loading 45 bytes @ 0x0100..."));
    EXPECT_TRUE(contains(lines, "Post-Load Command: 07, 01, Status: 00"));
    EXPECT_EQ(lines.back(), "Delay Complete");
    EXPECT_EQ(emulator_.chip().masterErases(), 1);
    EXPECT_FALSE(emulator_.chip().loaderActive());

    std::vector<int32_t> words(151);
    ASSERT_EQ(device_->ReadCodeWords(0, 151, words.data()), tolvane::kStatusDone);
    for (size_t i = 0; i < 150; ++i)
        ASSERT_EQ(words[i], code[2 * i] | code[2 * i + 1] << 8) << i;
    EXPECT_EQ(words[150], code[300] | 0xFF00);
}

TEST_F(ZernBrelPluginTest, RegistersAndMemoryAreWrittenAndReadBack)
{
    connect();
    ASSERT_EQ(device_->SetRegister(9 * 32 + 3, 0x4321), tolvane::kStatusDone);
    EXPECT_EQ(emulator_.chip().registerValue(9, 3), 0x4321);
    int groups = 0;
    char** groupNames = nullptr;
    int registerCount = 0;
    char** table = nullptr;
    ASSERT_EQ(device_->GetRegisterTable(&groups, &groupNames, &registerCount, &table), 1);
    char* name = nullptr;
    uint64_t value = 0;
    int width = 0;
    int address = 0;
    ASSERT_EQ(device_->GetRegister(9 * 32 + 3, &name, &value, &width, &address), tolvane::kStatusDone);
    EXPECT_EQ(value, 0x4321u);

    const int32_t written[] = {0x1122, 0x3344, 0x5566};
    ASSERT_EQ(device_->WriteMemory(1, 0x21, 3, written), tolvane::kStatusDone);
    EXPECT_EQ(emulator_.chip().data(0x42, 6), (std::vector<uint8_t>{0x22, 0x11, 0x44, 0x33, 0x66, 0x55}));
    int32_t read[3] = {};
    ASSERT_EQ(device_->ReadMemory(1, 0x21, 3, read), tolvane::kStatusDone);
    EXPECT_EQ(std::vector<int32_t>(read, read + 3), std::vector<int32_t>(written, written + 3));
    EXPECT_EQ(MessageRecorder::take(), Lines{});
}

TEST_F(ZernBrelPluginTest, ABreakpointHaltsARunAndPauseHaltsItToo)
{
    connect();
    const uint32_t start = emulator_.chip().programCounter();
    ASSERT_EQ(device_->SetBreakpoint(start + 0x300), tolvane::kStatusDone);
    EXPECT_EQ(device_->Run(), tolvane::kRunHalted);
    int pc = 0;
    ASSERT_EQ(device_->GetProgramCounter(&pc), tolvane::kStatusDone);
    EXPECT_EQ(static_cast<uint32_t>(pc), start + 0x300);
    bool atBreakpoint = false;
    ASSERT_EQ(device_->IsBreakpointAtPC(&atBreakpoint), tolvane::kStatusDone);
    EXPECT_TRUE(atBreakpoint);

    ASSERT_EQ(device_->ClearBreakpoint(start + 0x300), tolvane::kStatusDone);
    std::future<int> run = runInBackground();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    ASSERT_EQ(device_->Pause(), tolvane::kStatusDone);
    ASSERT_EQ(run.wait_for(kWithinOnePoll), std::future_status::ready);
    EXPECT_EQ(run.get(), tolvane::kRunHalted);
    EXPECT_TRUE(emulator_.chip().halted());
}

TEST_F(ZernBrelPluginTest, StopFromAnotherThreadEndsTheRunAlsoWhenTheBreakFails)
{
    connect();
    for (bool breakFails : {false, true}) {
        SCOPED_TRACE(breakFails);
        zern::chipmodel::FaultPlan faults;
        faults.neverHalts = breakFails;
        emulator_.chip().setFaults(faults);
        std::future<int> run = runInBackground();
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        const auto stopped = std::chrono::steady_clock::now();
        EXPECT_EQ(device_->Stop(), breakFails ? tolvane::kStatusFailed : tolvane::kStatusDone);
        ASSERT_EQ(run.wait_for(kWithinOnePoll), std::future_status::ready);
        EXPECT_EQ(run.get(), tolvane::kRunStopped);
        EXPECT_LT(std::chrono::steady_clock::now() - stopped, kWithinOnePoll);
        emulator_.chip().setFaults({});
        // A stop that did not get through is told.
        EXPECT_EQ(contains(MessageRecorder::take(), "Bad status received when trying to enter debug mode."),
                  breakFails);
    }
}

TEST_F(ZernBrelPluginTest, ALinkLostDuringARunEndsItWithALinkError)
{
    connect();
    std::future<int> run = runInBackground();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    emulator_.adapter().disconnect();
    ASSERT_EQ(run.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(run.get(), tolvane::kRunFailed);
    const Lines lines = MessageRecorder::take();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1].rfind("Error ", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2], "Please check all connections and try again.");
}

TEST_F(ZernBrelPluginTest, ALinkThatFailsToOpenOrToStartIsOpenedAgainByTheNextOperation)
{
    testing_support::AdapterFaults silent;
    silent.silent = true;
    emulator_.adapter().setFaults(silent);
    EXPECT_EQ(device_->ClearAllBreakpoints(), tolvane::kStatusFailed);
    EXPECT_EQ(MessageRecorder::take(), (Lines{"Opening serial port...", "Unable to open Solbus port."}));

    // The adapter answers, but the target never leaves the reset as it should.
    emulator_.adapter().setFaults({});
    zern::chipmodel::FaultPlan faults;
    faults.haltStatus = 5;
    emulator_.chip().setFaults(faults);
    EXPECT_EQ(device_->ClearAllBreakpoints(), tolvane::kStatusFailed);
    EXPECT_TRUE(contains(MessageRecorder::take(), "Bad status received when trying to enter background mode."));

    // The failed start let the link go: the next operation opens it afresh.
    emulator_.chip().setFaults({});
    EXPECT_EQ(device_->ClearAllBreakpoints(), tolvane::kStatusDone);
    EXPECT_EQ(MessageRecorder::take().front(), "Opening serial port...");
}

TEST_F(ZernBrelPluginTest, AProgramLoadDuringARunEndsTheRunFirst)
{
    connect();
    std::future<int> run = runInBackground();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    const std::string path = writeFile("small.hex", programHex({0x01, 0x3D}));
    EXPECT_EQ(device_->LoadProgram(path.c_str()), tolvane::kStatusDone);
    ASSERT_EQ(run.wait_for(std::chrono::seconds(0)), std::future_status::ready);
    EXPECT_EQ(run.get(), tolvane::kRunStopped);
    EXPECT_EQ(emulator_.chip().code(0, 2), (std::vector<uint8_t>{0x01, 0x3D}));
}

}  // namespace
