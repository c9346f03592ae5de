// No exception crosses the device plug-in's boundary: slots fed absurd
// counts and sizes, and slots whose allocations fail, answer with their
// failure status (and say why), never with a throw into the host.

#include <functional>
#include <gtest/gtest.h>

#include "FailingAllocation.h"
#include "ModelTarget.h"
#include "PluginBoundary.h"
#include "TestSupport.h"
#include "ZernDevice.h"

namespace {

using boundary_tests::ScopedAllocationFailure;
using device_tests::MessageRecorder;
using tolvane::kStatusFailed;

constexpr unsigned kMillionWords = 1u << 20;
const std::string kOutOfMemory = "Not enough memory to complete the operation.";

struct SlotCase {
    const char* name;
    std::function<int(zern::ZernDevice&)> call;
    int failure;
};

class DeviceBoundaryTest : public device_tests::TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        devicecompiler::modelTarget = &target_;
    }
    void TearDown() override
    {
        devicecompiler::modelTarget = nullptr;
        TempFolderTest::TearDown();
    }
    std::unique_ptr<zern::ZernDevice> makeDevice(const std::string& configText)
    {
        setOption("ConfigFile", writeFile("chip.cfg", configText));
        auto device = std::make_unique<zern::ZernDevice>(devicecompiler::kModelTraits);
        device->SetMessageCallback(&MessageRecorder::callback);
        return device;
    }

    devicecompiler::ModelTarget target_;
    std::vector<int32_t> values_ = std::vector<int32_t>(kMillionWords);
};

TEST_F(DeviceBoundaryTest, AbsurdCountsAndSizesFail)
{
    // Bank 1 has words of a billion bits: no transfer of it fits.
    const std::string hexPath = writeFile("blink.hex", ":0400000001020304F2\r\n:00000001FF\r\n");
    auto device = makeDevice(
        "[MEMORY BANKS]\n3\nData, x, 0, 0, 16, 0x800, data\nHuge, x, 0, 0, 0x40000000, 4, rom\n"
        "Code, x, 0, 0, 16, 0x7FFFFFFF, code\n");
    ASSERT_TRUE(device->EnsureConnected());
    const SlotCase cases[] = {
        {"ReadMemory count", [&](auto& d) { return d.ReadMemory(0, 0, ~0u, values_.data()); }, kStatusFailed},
        {"WriteMemory count", [&](auto& d) { return d.WriteMemory(0, 0, ~0u, values_.data()); }, kStatusFailed},
        {"ReadCodeWords count", [&](auto& d) { return d.ReadCodeWords(0, ~0u, values_.data()); }, kStatusFailed},
        {"ReadMemory width", [&](auto& d) { return d.ReadMemory(1, 0, 4, values_.data()); }, kStatusFailed},
        {"WriteMemory width", [&](auto& d) { return d.WriteMemory(1, 0, 4, values_.data()); }, kStatusFailed},
        {"LoadProgram code size", [&](auto& d) { return d.LoadProgram(hexPath.c_str()); }, kStatusFailed},
    };
    for (const SlotCase& c : cases)
        EXPECT_EQ(c.call(*device), c.failure) << c.name;
    EXPECT_TRUE(device->linkOpen());
}

TEST_F(DeviceBoundaryTest, LargeTransfersThatCannotBeAllocatedFailAndSaySo)
{
    auto device = makeDevice("[MEMORY BANKS]\n1\nData, x, 0, 0, 16, 0x100000, data\n");
    ASSERT_TRUE(device->EnsureConnected());
    const SlotCase cases[] = {
        {"ReadMemory", [&](auto& d) { return d.ReadMemory(0, 0, kMillionWords, values_.data()); }, kStatusFailed},
        {"WriteMemory", [&](auto& d) { return d.WriteMemory(0, 0, kMillionWords, values_.data()); }, kStatusFailed},
        {"ReadCodeWords", [&](auto& d) { return d.ReadCodeWords(0, kMillionWords, values_.data()); }, kStatusFailed},
    };
    for (const SlotCase& c : cases) {
        MessageRecorder::take();
        int result = 0;
        {
            ScopedAllocationFailure failing(1 << 20);
            result = c.call(*device);
        }
        EXPECT_EQ(result, c.failure) << c.name;
        EXPECT_EQ(MessageRecorder::take(), std::vector<std::string>{kOutOfMemory}) << c.name;
    }
    // The device goes on working afterwards.
    EXPECT_EQ(device->ReadCodeWords(0, 4, values_.data()), tolvane::kStatusDone);
}

TEST_F(DeviceBoundaryTest, EverySlotFailsCleanlyWhenNoAllocationSucceeds)
{
    auto device = makeDevice("[REGISTER_GROUPS]\n1\nCore\n[MEMORY BANKS]\n1\nData, x, 0, 0, 16, 0x800, data\n");
    const std::string hexPath = writeFile("blink.hex", ":0400000001020304F2\r\n:00000001FF\r\n");
    const char* files[] = {"a.asm"};
    bool atBreakpoint = false;
    int pc = 0;
    const SlotCase cases[] = {
        {"GetRegisterTable",
         [](auto& d) {
             int groups = -1, count = -1;
             char** names = nullptr;
             char** table = nullptr;
             const int result = d.GetRegisterTable(&groups, &names, &count, &table);
             return names && table && groups == 0 && count == 0 ? result : -1;
         },
         0},
        {"SetRegister", [](auto& d) { return d.SetRegister(3, 1); }, kStatusFailed},
        {"GetMemoryBankCount", [](auto& d) { return d.GetMemoryBankCount(); }, 0},
        {"ReadMemory", [&](auto& d) { return d.ReadMemory(0, 0, 2, values_.data()); }, kStatusFailed},
        {"WriteMemory", [&](auto& d) { return d.WriteMemory(0, 0, 2, values_.data()); }, kStatusFailed},
        {"ReadCodeWords", [&](auto& d) { return d.ReadCodeWords(0, 2, values_.data()); }, kStatusFailed},
        {"GetProgramCounter", [&](auto& d) { return d.GetProgramCounter(&pc); }, kStatusFailed},
        {"ClearAllBreakpoints", [](auto& d) { return d.ClearAllBreakpoints(); }, kStatusFailed},
        {"SetBreakpoint", [](auto& d) { return d.SetBreakpoint(4); }, kStatusFailed},
        {"ClearBreakpoint", [](auto& d) { return d.ClearBreakpoint(4); }, kStatusFailed},
        {"IsBreakpointAtPC", [&](auto& d) { return d.IsBreakpointAtPC(&atBreakpoint); }, kStatusFailed},
        {"Run", [](auto& d) { return d.Run(); }, tolvane::kRunFailed},
        {"RunToAddress", [](auto& d) { return d.RunToAddress(4); }, tolvane::kRunFailed},
        {"StepInstruction", [](auto& d) { return d.StepInstruction(); }, tolvane::kRunFailed},
        {"Pause", [](auto& d) { return d.Pause(); }, kStatusFailed},
        {"Stop", [](auto& d) { return d.Stop(); }, kStatusFailed},
        {"Build", [&](auto& d) { return d.Build(files, 1, false, ""); }, kStatusFailed},
        {"LoadProgram", [&](auto& d) { return d.LoadProgram(hexPath.c_str()); }, kStatusFailed},
        {"GetCompilerList",
         [](auto& d) {
             char** names = nullptr;
             int count = -1;
             const int result = d.GetCompilerList(&names, &count);
             return names && count == 0 ? result : -1;
         },
         kStatusFailed},
        {"GetProjectOptions",
         [](auto& d) {
             char** lines = nullptr;
             int count = -1;
             d.GetProjectOptions(&count, &lines, "");
             return lines && count == 0 ? kStatusFailed : -1;
         },
         kStatusFailed},
        {"ShowDeviceOptions", [](auto& d) { return d.ShowDeviceOptions(nullptr) ? 1 : 0; }, 0},
    };
    for (const SlotCase& c : cases) {
        int result = 0;
        {
            ScopedAllocationFailure failing(0);
            result = c.call(*device);
        }
        EXPECT_EQ(result, c.failure) << c.name;
        EXPECT_FALSE(device->linkOpen()) << c.name;
    }
    // Slots without a result only must not throw.
    const std::string library = (folder_ / "libZernJTAG.so").string();
    {
        ScopedAllocationFailure failing(0);
        device->SetLibraryPath(library.c_str());
        device->SetRegistryName("ZernJTAG");
        device->SetProjectOption("Config File = other.cfg", "");
        device->SelectCompiler("Quorin Assembler");
        device->RunDeviceMenuItem("JTAG Debug Log");
    }
    EXPECT_TRUE(device->EnsureConnected());
}

TEST(PluginBoundary, GuardsTurnThrowsIntoTheFailureValueAndALine)
{
    std::vector<std::string> lines;
    const auto report = [&](const char* line) { lines.emplace_back(line); };
    EXPECT_EQ(tolvane::guardedReporting(5, report, []() -> int { throw std::bad_alloc(); }), 5);
    EXPECT_EQ(tolvane::guardedReporting(5, report, []() -> int { throw std::runtime_error("bad count"); }), 5);
    EXPECT_EQ(tolvane::guardedReporting(5, report, []() -> int { throw 7; }), 5);
    EXPECT_EQ(tolvane::guardedReporting(5, report, [] { return 4; }), 4);
    tolvane::guardedReporting(report, [] { throw std::length_error("vector"); });
    EXPECT_EQ(tolvane::guarded(false, []() -> bool { throw 1; }), false);
    EXPECT_EQ(lines, (std::vector<std::string>{kOutOfMemory, "Unable to complete the operation (bad count).",
                                               "Unable to complete the operation.",
                                               "Unable to complete the operation (vector)."}));
    // A report that throws in turn is dropped.
    const auto throwing = [](const char*) { throw std::bad_alloc(); };
    EXPECT_EQ(tolvane::guardedReporting(5, throwing, []() -> int { throw 1; }), 5);
}

}  // namespace
