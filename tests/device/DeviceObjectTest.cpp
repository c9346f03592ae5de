// The device object's own rules, over a scripted link driver.

#include <atomic>
#include <cstring>
#include <gtest/gtest.h>
#include <thread>

#include "MessageBoxes.h"
#include "TestSupport.h"
#include "ZernDevice.h"

namespace {

using device_tests::MessageRecorder;

struct Script {
    std::vector<std::string> calls;
    std::array<int32_t, zern::kRegisterCount> registers{};
    int pollsUntilHalt = 1 << 30;
    bool breakWorks = true;
    bool connectWorks = true;
    int initializeResult = zern::kLinkDone;
    std::vector<uint64_t> breakpoints;
    int runState = -1;
    int* runStateWord = nullptr;
    std::atomic<int> runs{0};
};

Script* script = nullptr;

class FakeDriver final : public zern::LinkDriver {
public:
    int initializeTarget() override { return note("initialize"), script->initializeResult; }
    void setErasePending() override { note("erase pending"); }
    bool readAllRegisters(std::array<int32_t, zern::kRegisterCount>& values) override
    {
        note("read registers");
        values = script->registers;
        return true;
    }
    bool writeOneRegister(int module, int index, int32_t value) override
    {
        return note("write " + std::to_string(module) + "," + std::to_string(index) + "=" + std::to_string(value)),
               true;
    }
    int readInstructionPointer(int64_t& address) override
    {
        address = 0x1234;
        return zern::kLinkDone;
    }
    int readMemoryCached(uint64_t address, size_t count, uint8_t* buffer) override
    {
        note("read " + std::to_string(address) + "+" + std::to_string(count));
        for (size_t i = 0; i < count; ++i)
            buffer[i] = static_cast<uint8_t>(i + 1);
        return zern::kLinkDone;
    }
    int writeMemoryBlock(uint64_t address, size_t count, const uint8_t*) override
    {
        note("write " + std::to_string(address) + "+" + std::to_string(count));
        return zern::kLinkFailure;
    }
    int readCodeCached(uint64_t, size_t count, uint8_t* buffer) override
    {
        for (size_t i = 0; i < count; ++i)
            buffer[i] = static_cast<uint8_t>(0x10 + i);
        return zern::kLinkDone;
    }
    int setCodeBreakpoint(uint64_t address) override
    {
        note("set " + std::to_string(address));
        script->breakpoints.push_back(address);
        return zern::kLinkDone;
    }
    int clearCodeBreakpoint(uint64_t address) override
    {
        note("clear " + std::to_string(address));
        std::erase(script->breakpoints, address);
        return zern::kLinkDone;
    }
    int clearAllCodeBreakpoints() override { return zern::kLinkDone; }
    bool findBreakpoint(uint64_t address) override
    {
        return std::find(script->breakpoints.begin(), script->breakpoints.end(), address) != script->breakpoints.end();
    }
    bool setDataBreakpoint(int, uint32_t) override { return true; }
    bool runTarget() override
    {
        note("run");
        ++script->runs;
        return true;
    }
    bool pollStatus(bool& halted) override
    {
        halted = --script->pollsUntilHalt <= 0;
        return true;
    }
    bool breakTarget() override
    {
        // What the run state reads while the break is under way.
        script->runState = script->runStateWord ? std::atomic_ref<int>(*script->runStateWord).load() : -1;
        return note("break"), script->breakWorks;
    }
    bool singleStep() override { return note("step"), true; }
    int writeProgramBlock(uint64_t address, size_t count, const uint8_t*) override
    {
        note("program " + std::to_string(address) + "+" + std::to_string(count));
        return zern::kLinkDone;
    }
    bool runPostLoadCommands() override { return note("post-load"), true; }

private:
    static void note(const std::string& call) { script->calls.push_back(call); }
};

std::unique_ptr<zern::LinkDriver> connectFake(const zern::ConnectRequest&)
{
    script->calls.push_back("connect");
    if (!script->connectWorks)
        return nullptr;
    return std::make_unique<FakeDriver>();
}

const zern::DeviceTraits kFakeTraits = {"ZERNJTAGOptions", "Jan 01 2000", "Tool", false, 128, connectFake};
const zern::DeviceTraits kStrictStopTraits = {"ZERNJTAGOptions", "Jan 01 2000", "Tool", true, 128, connectFake};

class DeviceObjectTest : public device_tests::TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        script = &script_;
    }
    void TearDown() override
    {
        script = nullptr;
        TempFolderTest::TearDown();
    }
    std::unique_ptr<zern::ZernDevice> makeDevice(const std::string& configText,
                                                 const zern::DeviceTraits& traits = kFakeTraits)
    {
        setOption("ConfigFile", writeFile("chip.cfg", configText));
        auto device = std::make_unique<zern::ZernDevice>(traits);
        device->SetMessageCallback(&MessageRecorder::callback);
        zern::LinkTiming timing;
        timing.runPollMs = 1;
        device->setLinkTiming(timing);
        script_.runStateWord = device->runStateWord();
        return device;
    }
    std::string flagsName(zern::ZernDevice& device, int32_t value)
    {
        script_.registers[260] = value;
        int groups = 0, count = 0;
        char** names = nullptr;
        char** table = nullptr;
        EXPECT_EQ(device.GetRegisterTable(&groups, &names, &count, &table), 1);
        char* name = nullptr;
        uint64_t read = 0;
        int width = 0, address = 0;
        EXPECT_EQ(device.GetRegister(260, &name, &read, &width, &address), tolvane::kStatusDone);
        EXPECT_EQ(address, 4 * 16 + 8);
        return name;
    }

    Script script_;
};

TEST_F(DeviceObjectTest, FlagsRegisterNameShowsTheSetBits)
{
    auto device = makeDevice("[PROCESSOR_FAMILY]\n30\n");
    EXPECT_EQ(flagsName(*device, 0x3FF), "PSF (APZSL10OCE)");
    EXPECT_EQ(flagsName(*device, 0), "PSF (----------)");
    auto device16 = makeDevice("[PROCESSOR_FAMILY]\n20\n");
    EXPECT_EQ(flagsName(*device16, 0x05), "PSF (-----O-E)");
}

TEST_F(DeviceObjectTest, RegisterTableAndValues)
{
    auto device = makeDevice("[REGISTER_GROUPS]\n2\nCore\nIO\n[REGISTERS]\n1, 3, ACC, Acc, 16\n");
    script_.registers[35] = -2;
    int groups = 0, count = 0;
    char** names = nullptr;
    char** table = nullptr;
    ASSERT_EQ(device->GetRegisterTable(&groups, &names, &count, &table), 1);
    EXPECT_EQ(groups, 2);
    EXPECT_STREQ(names[1], "IO");
    EXPECT_EQ(count, 512);
    EXPECT_STREQ(table[35], "Acc");
    EXPECT_STREQ(table[0], "0");
    char* name = nullptr;
    uint64_t value = 0;
    int width = 0, address = 0;
    ASSERT_EQ(device->GetRegister(35, &name, &value, &width, &address), tolvane::kStatusDone);
    EXPECT_STREQ(name, "ACC");
    EXPECT_EQ(value, 0xFFFFFFFEu);
    EXPECT_EQ(width, 16);
    EXPECT_EQ(address, 3 * 16 + 1);
    EXPECT_EQ(device->GetRegister(512, &name, &value, &width, &address), tolvane::kStatusFailed);
    EXPECT_EQ(device->SetRegister(35, 0x1FFFF0005ull), tolvane::kStatusDone);
    EXPECT_EQ(script_.calls.back(), "write 1,3=-65531");
}

TEST_F(DeviceObjectTest, MemoryBanksAddressTheEngineAndRefuseBadBanks)
{
    auto device = makeDevice(
        "[MEMORY BANKS]\n3\nData, x, 0x20, 0x100, 16, 0x200, data\n"
        "Odd, x, 0x20, 0x200, 12, 16, data\nNone, x, 0, 0, 0, 16, data\n");
    EXPECT_EQ(device->GetMemoryBankCount(), 3);
    char* name = nullptr;
    int first = 0, words = 0, width = 0;
    ASSERT_EQ(device->GetMemoryBank(0, &name, &first, &words, &width), tolvane::kStatusDone);
    EXPECT_STREQ(name, "Data");
    EXPECT_EQ(first, 0x10);
    EXPECT_EQ(words, 0x200);
    EXPECT_EQ(width, 16);
    // Twelve bits a word take two bytes, word after word.
    ASSERT_EQ(device->GetMemoryBank(1, &name, &first, &words, &width), tolvane::kStatusDone);
    EXPECT_EQ(first, 0x10);
    EXPECT_EQ(width, 12);
    EXPECT_EQ(device->GetMemoryBank(2, &name, &first, &words, &width), tolvane::kStatusFailed);
    EXPECT_EQ(device->GetMemoryBank(3, &name, &first, &words, &width), tolvane::kStatusFailed);

    int32_t values[2] = {};
    script_.calls.clear();
    // Engine byte address: 0x18 x 2 + 0x100 - 0x20 = 0x110.
    ASSERT_EQ(device->ReadMemory(0, 0x18, 2, values), tolvane::kStatusDone);
    EXPECT_EQ(script_.calls, (std::vector<std::string>{"read 272+4"}));
    EXPECT_EQ(values[0], 0x0201);
    EXPECT_EQ(values[1], 0x0403);
    script_.calls.clear();
    // Engine byte address: 0x11 x 2 + 0x200 - 0x20 = 0x202.
    ASSERT_EQ(device->ReadMemory(1, 0x11, 2, values), tolvane::kStatusDone);
    EXPECT_EQ(values[1], 0x0403);
    EXPECT_EQ(device->WriteMemory(1, 0x12, 1, values), tolvane::kStatusFailed);
    EXPECT_EQ(script_.calls, (std::vector<std::string>{"read 514+4", "write 516+2"}));
    script_.calls.clear();
    EXPECT_EQ(device->ReadMemory(2, 0, 2, values), tolvane::kStatusFailed);
    EXPECT_EQ(device->ReadMemory(-1, 0, 2, values), tolvane::kStatusFailed);
    EXPECT_EQ(device->WriteMemory(5, 0, 2, values), tolvane::kStatusFailed);
    EXPECT_TRUE(script_.calls.empty());
    // A failed transfer is a failure, not a success with undefined values.
    EXPECT_EQ(device->WriteMemory(0, 0, 2, values), tolvane::kStatusFailed);
}

TEST_F(DeviceObjectTest, CodeWordsAreLittleEndianPairs)
{
    auto device = makeDevice("");
    int32_t words[2] = {};
    ASSERT_EQ(device->ReadCodeWords(0x40, 2, words), tolvane::kStatusDone);
    EXPECT_EQ(words[0], 0x1110);
    EXPECT_EQ(words[1], 0x1312);
}

TEST_F(DeviceObjectTest, RunEndsWithTheHaltPauseOrStop)
{
    auto device = makeDevice("");
    script_.pollsUntilHalt = 3;
    EXPECT_EQ(device->Run(), tolvane::kRunHalted);
    EXPECT_EQ(*device->runStateWord(), tolvane::kRunStateRunning);

    script_.pollsUntilHalt = 1 << 30;
    std::atomic<int> result{-1};
    std::thread worker([&] { result = device->Run(); });
    while (script_.runs < 2)
        std::this_thread::yield();
    EXPECT_EQ(device->Stop(), tolvane::kStatusDone);
    worker.join();
    EXPECT_EQ(result, tolvane::kRunStopped);
    // The stop is visible before the break goes out.
    EXPECT_EQ(script_.runState, tolvane::kRunStateIdle);

    result = -1;
    std::thread pausing([&] { result = device->Run(); });
    while (script_.runs < 3)
        std::this_thread::yield();
    EXPECT_EQ(device->Pause(), tolvane::kStatusDone);
    pausing.join();
    EXPECT_EQ(result, tolvane::kRunHalted);
}

TEST_F(DeviceObjectTest, StopAnswersByTheTraits)
{
    script_.breakWorks = false;
    auto device = makeDevice("");
    EXPECT_EQ(device->Stop(), tolvane::kStatusDone);
    EXPECT_EQ(device->Pause(), tolvane::kStatusFailed);
    auto strict = makeDevice("", kStrictStopTraits);
    EXPECT_EQ(strict->Stop(), tolvane::kStatusFailed);
}

TEST_F(DeviceObjectTest, RunToAddressUsesAnExistingBreakpointAsItIs)
{
    auto device = makeDevice("");
    script_.pollsUntilHalt = 1;
    EXPECT_EQ(device->RunToAddress(0x80), tolvane::kRunHalted);
    EXPECT_EQ(std::count(script_.calls.begin(), script_.calls.end(), "set 128"), 1);
    EXPECT_EQ(script_.calls.back(), "clear 128");
    script_.breakpoints = {0x90};
    script_.calls.clear();
    script_.pollsUntilHalt = 1;
    EXPECT_EQ(device->RunToAddress(0x90), tolvane::kRunHalted);
    EXPECT_EQ(script_.calls, (std::vector<std::string>{"run"}));
    bool atBreakpoint = true;
    EXPECT_EQ(device->IsBreakpointAtPC(&atBreakpoint), tolvane::kStatusDone);
    EXPECT_FALSE(atBreakpoint);
}

TEST_F(DeviceObjectTest, FailedConnectionIsTriedAgainByTheNextOperation)
{
    script_.connectWorks = false;
    auto device = makeDevice("");
    EXPECT_EQ(device->GetMemoryBankCount(), 0);
    EXPECT_EQ(device->Run(), tolvane::kRunFailed);
    EXPECT_EQ(std::count(script_.calls.begin(), script_.calls.end(), "connect"), 2);
    script_.connectWorks = true;
    script_.initializeResult = zern::kLinkFailure;
    EXPECT_EQ(device->ClearAllBreakpoints(), tolvane::kStatusFailed);
    EXPECT_FALSE(device->linkOpen());
    script_.initializeResult = zern::kLinkDone;
    EXPECT_EQ(device->ClearAllBreakpoints(), tolvane::kStatusDone);
    EXPECT_EQ(std::count(script_.calls.begin(), script_.calls.end(), "connect"), 4);
    EXPECT_TRUE(device->linkOpen());
}

TEST_F(DeviceObjectTest, ProjectOptionsCarryTheConfigurationAndClock)
{
    auto device = makeDevice("[JTAG CLOCK]\n150\n");
    int count = 0;
    char** lines = nullptr;
    device->GetProjectOptions(&count, &lines, "");
    ASSERT_EQ(count, 2);
    EXPECT_EQ(std::string(lines[0]), "Config File = " + (folder_ / "chip.cfg").string());
    EXPECT_STREQ(lines[1], "JTAG Clock = 150");
    device->SetProjectOption("JTAG Clock = 0x20", "");
    device->SetProjectOption("JTAG Clock = 0", "");
    device->SetProjectOption("JTAG Clock = 20000", "");
    device->SetProjectOption("JTAG Clock = fast", "");
    EXPECT_EQ(device->config().jtagClockKHz, 32);
    writeFile("other.cfg", "[ACCUMULATORS]\n7\n");
    device->SetProjectOption(("Config File = " + (folder_ / "other.cfg").string()).c_str(), "");
    EXPECT_EQ(device->config().accumulators, 7);
    EXPECT_EQ(device->config().jtagClockKHz, 32);
    EXPECT_EQ(option("ConfigFile"), (folder_ / "other.cfg").string());
}

TEST_F(DeviceObjectTest, FixedAnswersAndForwardingWithoutACompiler)
{
    platform::RecordingMessageBoxes boxes;
    platform::ScopedMessageBoxes guard(boxes);
    auto device = makeDevice("");
    EXPECT_STREQ(device->GetVersionText(), "Version 1.1 (Build Date: Jan 01 2000)");
    EXPECT_STREQ(device->GetSourceExtension(), "asm");
    EXPECT_EQ(device->GetAddressBits(), 16);
    for (int feature : {24, 25, 28, 34, 35})
        EXPECT_TRUE(device->HasFeature(feature)) << feature;
    for (int feature : {23, 26, 27, 29, 31, 36, 37, 38, 43})
        EXPECT_FALSE(device->HasFeature(feature)) << feature;
    EXPECT_TRUE(device->IsViewEnabled(26));
    EXPECT_FALSE(device->VerifyProgram("x.hex"));
    char** lines = nullptr;
    int count = -1;
    EXPECT_EQ(device->GetBuildMessages(&lines, &count), tolvane::kStatusFailed);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(device->Build(nullptr, 0, false, ""), tolvane::kStatusFailed);
    EXPECT_EQ(device->StepInto(), tolvane::kRunFailed);
    char** captions = nullptr;
    ASSERT_EQ(device->GetDeviceMenuItems(&captions, &count), tolvane::kStatusDone);
    ASSERT_EQ(count, 2);
    EXPECT_STREQ(captions[0], "Set Data Breakpoint");
    EXPECT_STREQ(captions[1], "Tool");
    device->ShowCompilerOptions();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Error");
    EXPECT_EQ(boxes.boxes[0].text, "No compiler has been selected");
}

TEST_F(DeviceObjectTest, RegistryNameFollowsTheProductWordDirectly)
{
    auto device = makeDevice("");
    device->SetRegistryName("ZernJTAG");
    EXPECT_EQ(device->settingsKey(), "\\Software\\Quorin Semiconductor\\TolvaneZernJTAG");
}

TEST_F(DeviceObjectTest, ConfigurationProblemsAreReportedOnceTheLibraryPathIsKnown)
{
    auto device = makeDevice("[ACCUMULATORS]\nabc\n");
    EXPECT_TRUE(MessageRecorder::take().empty());
    device->SetLibraryPath((folder_ / "libZernJTAG.so").c_str());
    EXPECT_EQ(MessageRecorder::take(),
              (std::vector<std::string>{"Warning: Unable to parse configuration file (Line 2)"}));
}

}  // namespace
