// The device object with the real QuorinAssembler, macro stand-in and
// ZernAsm: builds, the address/line map and message location through the
// device, then loading and source-level debugging on a target.

#include <chrono>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

#include "BindingFixture.h"
#include "ChipBoardEmulator.h"
#include "ModelTarget.h"
#include "ZernJtagTraits.h"

namespace devicecompiler {
namespace {

using device_tests::MessageRecorder;

// Main program, then a routine in the second file.
const char kFirstSource[] =
    "        NOP\n"
    "        CALL work\n"
    "        NOP\n"
    "        NOP\n";
const char kSecondSource[] =
    "; second file\n"
    "work:   NOP\n"
    "        NOP\n"
    "        RET\n";

class DeviceEndToEnd : public BindingFixture {
protected:
    void SetUp() override
    {
        BindingFixture::SetUp();
        fs::create_directories(ide());
        fs::create_symlink(fs::path(TOLVANE_BIN_DIR) / "Compilers", ide() / "Compilers");
        first_ = writeProject("a.asm", kFirstSource);
        second_ = writeProject("b.asm", kSecondSource);
    }

    std::string writeProject(const std::string& name, const std::string& text)
    {
        fs::create_directories(folder_ / "proj");
        return writeFile("proj/" + name, text);
    }
    void selectAssembler(zern::ZernDevice& device)
    {
        char** names = nullptr;
        int count = 0;
        device.GetCompilerList(&names, &count);
        device.SelectCompiler("Quorin Assembler");
        ASSERT_STREQ(device.GetCompilerName(), "Quorin Assembler");
    }
    int build(zern::ZernDevice& device)
    {
        const char* files[] = {first_.c_str(), second_.c_str()};
        return device.Build(files, 2, true, (folder_ / "proj" / "demo.prj").c_str());
    }
    std::string reported()
    {
        std::string text;
        for (const std::string& chunk : MessageRecorder::take())
            text += chunk;
        return text;
    }
    // The address the listing gives the line that holds this text.
    unsigned listedAddress(const std::string& text, int digits = 4)
    {
        std::ifstream listing(folder_ / "proj" / "demo.lst");
        for (std::string line; std::getline(listing, line);)
            if (line.find(text) != std::string::npos && line.size() > 10u + digits)
                return static_cast<unsigned>(std::stoul(line.substr(10, static_cast<size_t>(digits)), nullptr, 16));
        ADD_FAILURE() << "no listing line with " << text;
        return 0;
    }
    std::pair<std::string, int> lineOf(zern::ZernDevice& device, unsigned address)
    {
        char* file = nullptr;
        int line = 0;
        EXPECT_EQ(device.AddressToLine(address, &file, &line), tolvane::kStatusDone);
        return {file ? file : "", line};
    }
    unsigned addressOf(zern::ZernDevice& device, const std::string& file, int line)
    {
        unsigned address = 0;
        EXPECT_EQ(device.LineToAddress(file.c_str(), line, &address), tolvane::kStatusDone);
        return address;
    }
    unsigned programCounter(zern::ZernDevice& device)
    {
        int pc = -1;
        EXPECT_EQ(device.GetProgramCounter(&pc), tolvane::kStatusDone);
        return static_cast<unsigned>(pc);
    }
    int load(zern::ZernDevice& device)
    {
        char* program = nullptr;
        EXPECT_EQ(device.GetProgramFile(&program), tolvane::kStatusDone);
        return device.LoadProgram(std::string(program).c_str());
    }

    std::string first_;
    std::string second_;
};

class ModelEndToEnd : public DeviceEndToEnd {
protected:
    void SetUp() override
    {
        DeviceEndToEnd::SetUp();
        modelTarget = &target_;
    }
    void TearDown() override
    {
        DeviceEndToEnd::TearDown();
        modelTarget = nullptr;
    }
    ModelTarget target_;
};

TEST_F(ModelEndToEnd, TwoFileProjectMapsLinesAsTheListingDoes)
{
    zern::ZernDevice& device = makeDevice("[PROCESSOR_FAMILY]\n20\n", kModelTraits);
    selectAssembler(device);
    ASSERT_EQ(build(device), tolvane::kStatusDone) << reported();
    const unsigned work = listedAddress("work:");
    EXPECT_EQ(work, 4u);
    EXPECT_EQ(addressOf(device, second_, 2), work);
    EXPECT_EQ(lineOf(device, work), std::make_pair(second_, 2));
    EXPECT_EQ(addressOf(device, first_, 2), listedAddress("CALL work"));
}

TEST_F(ModelEndToEnd, SyntaxErrorIsLocatedThroughTheDevice)
{
    writeProject("b.asm", "; second file\n NOP\n NOP\n NOP\n NOP\n NOP\n @@@\n");
    zern::ZernDevice& device = makeDevice("[PROCESSOR_FAMILY]\n20\n", kModelTraits);
    selectAssembler(device);
    EXPECT_EQ(build(device), tolvane::kStatusFailed);
    std::istringstream output(reported());
    for (std::string text; std::getline(output, text);) {
        if (text.find(": Line ") == std::string::npos)
            continue;
        char* file = nullptr;
        int line = 0;
        ASSERT_EQ(device.LocateMessage(text.c_str(), &file, &line), tolvane::kStatusDone) << text;
        EXPECT_EQ(std::string(file), second_);
        EXPECT_EQ(line, 7);
        return;
    }
    ADD_FAILURE() << "no located error";
}

TEST_F(ModelEndToEnd, WideFamilyMapsSixDigitAddresses)
{
    writeProject("a.asm", "        NOP\n");
    writeProject("b.asm", "; second file\n        ORG 10000h\nwide:   NOP\n");
    zern::ZernDevice& device = makeDevice("[PROCESSOR_FAMILY]\n30\n", kModelTraits);
    selectAssembler(device);
    ASSERT_EQ(build(device), tolvane::kStatusDone) << reported();
    EXPECT_EQ(listedAddress("wide:", 6), 0x10000u);
    EXPECT_EQ(addressOf(device, second_, 3), 0x10000u);
    EXPECT_EQ(lineOf(device, 0x10000), std::make_pair(second_, 3));
}

// The model target also counts single steps and shows its return stack.
TEST_F(ModelEndToEnd, StepOverRunsThroughTheCallAndStepOutReturnsToTheCaller)
{
    zern::ZernDevice& device = makeDevice("[PROCESSOR_FAMILY]\n20\n", kModelTraits);
    selectAssembler(device);
    ASSERT_EQ(build(device), tolvane::kStatusDone) << reported();
    ASSERT_EQ(load(device), tolvane::kStatusDone);
    target_.pc = 0;
    ASSERT_EQ(device.SetBreakpoint(addressOf(device, first_, 2)), tolvane::kStatusDone);
    ASSERT_EQ(device.Run(), tolvane::kRunHalted);
    EXPECT_EQ(lineOf(device, programCounter(device)), std::make_pair(first_, 2));

    EXPECT_EQ(device.StepOver(), tolvane::kRunHalted);
    EXPECT_EQ(lineOf(device, programCounter(device)), std::make_pair(first_, 3));
    EXPECT_TRUE(target_.stack.empty());
    EXPECT_EQ(target_.singleSteps, 0);

    target_.pc = addressOf(device, first_, 2);
    EXPECT_EQ(device.StepInto(), tolvane::kRunHalted);
    EXPECT_EQ(lineOf(device, programCounter(device)), std::make_pair(second_, 2));
    EXPECT_EQ(device.StepOut(), tolvane::kRunHalted);
    EXPECT_EQ(lineOf(device, programCounter(device)), std::make_pair(first_, 3));
    EXPECT_TRUE(target_.stack.empty());
}

// A configuration read after a build, as accepting the device's options or a
// project's "Config File = " line makes one, keeps the map of that build.
TEST_F(ModelEndToEnd, TheMapOfTheLastBuildOutlivesAConfigurationRead)
{
    const std::string other =
        writeFile("other.cfg", "[PROCESSOR_FAMILY]\n20\n[MEMORY BANKS]\n1\nRom, x, 0, 0, 16, 0x2000, rom\n");
    zern::ZernDevice& device = makeDevice("[PROCESSOR_FAMILY]\n20\n", kModelTraits);
    selectAssembler(device);
    ASSERT_EQ(build(device), tolvane::kStatusDone) << reported();
    const unsigned work = listedAddress("work:");
    // The same file again, then one with another ROM size.
    for (const std::string& configFile : {device.configFilePath(), other}) {
        device.SetProjectOption(("Config File = " + configFile).c_str(), "");
        EXPECT_EQ(addressOf(device, second_, 2), work) << configFile;
        EXPECT_EQ(lineOf(device, work), std::make_pair(second_, 2)) << configFile;
    }
}

// Where a Stop from the other thread lands: as a link call begins.
struct EarlyStop {
    const char* operation;
    std::function<int()> call;
    const char* landsAt;
    bool linkClosed;
};

// A Stop that arrives before a run or step gets going is kept: the operation
// ends with 1 where it stands, and a later Run runs.
TEST_F(ModelEndToEnd, AStopThatComesFirstEndsTheRunOrStepBeforeItGoesOn)
{
    writeProject("b.asm", "; second file\nwork:   CALL leaf\n        NOP\n        RET\nleaf:   NOP\n        RET\n");
    zern::ZernDevice& device = makeDevice("[PROCESSOR_FAMILY]\n20\n", kModelTraits);
    selectAssembler(device);
    ASSERT_EQ(build(device), tolvane::kStatusDone) << reported();
    ASSERT_EQ(load(device), tolvane::kStatusDone);
    const unsigned work = addressOf(device, second_, 2);
    const unsigned back = addressOf(device, first_, 3);
    const unsigned end = addressOf(device, first_, 4);
    ASSERT_EQ(device.SetBreakpoint(end), tolvane::kStatusDone);

    const auto stepOut = [&] { return device.StepOut(); };
    const EarlyStop cases[] = {
        {"StepOut", stepOut, "start", true},
        {"StepOut", stepOut, "read pc", false},
        {"StepOut", stepOut, "set breakpoint", false},
        {"StepOver", [&] { return device.StepOver(); }, "start", true},
        {"Run", [&] { return device.Run(); }, "start", true},
        {"RunToAddress", [&] { return device.RunToAddress(back); }, "set breakpoint", false},
    };
    for (const EarlyStop& when : cases) {
        const std::string name = std::string(when.operation) + " with a Stop at " + when.landsAt;
        target_.pc = work;
        target_.stack = {back};
        if (when.linkClosed)
            device.closeLink();
        bool stopped = false;
        target_.onLinkCall = [&](const std::string& operation) {
            if (operation == when.landsAt && !std::exchange(stopped, true)) {
                EXPECT_EQ(device.Stop(), tolvane::kStatusDone) << name;
            }
        };
        const int result = when.call();
        target_.onLinkCall = nullptr;
        EXPECT_TRUE(stopped) << name;
        EXPECT_EQ(result, tolvane::kRunStopped) << name;
        EXPECT_EQ(target_.pc, work) << name;
        target_.pc = work;
        target_.stack = {back};
        EXPECT_EQ(device.Run(), tolvane::kRunHalted) << name;
        EXPECT_EQ(target_.pc, end) << name;
    }
}

// A Stop while the worker's first run opens the link waits for that link
// instead of opening the port a second time.
TEST_F(ModelEndToEnd, TwoThreadsThatFindTheLinkClosedOpenItOnce)
{
    zern::ZernDevice& device = makeDevice("[PROCESSOR_FAMILY]\n20\n", kModelTraits);
    std::future<int> stop;
    std::atomic<bool> first{true};
    target_.onLinkCall = [&](const std::string& operation) {
        if (operation != "connect" || !first.exchange(false))
            return;
        stop = std::async(std::launch::async, [&] { return device.Stop(); });
        // Time enough for the Stop to open a link of its own if nothing holds it back.
        for (int waited = 0; waited < 100 && target_.connects < 2; ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    };
    EXPECT_EQ(device.Pause(), tolvane::kStatusDone);
    ASSERT_TRUE(stop.valid());
    EXPECT_EQ(stop.get(), tolvane::kStatusDone);
    target_.onLinkCall = nullptr;
    EXPECT_EQ(target_.connects, 1);
}

class BoardEndToEnd : public DeviceEndToEnd {
protected:
    void SetUp() override
    {
        DeviceEndToEnd::SetUp();
        setOption("SerialPort", board_.devicePath());
    }
    zern::ZernDevice& boardDevice()
    {
        zern::ZernDevice& device = makeDevice(
            "[PROCESSOR_FAMILY]\n20\n[EXPECTED ERASE TIME]\n5\n[STARTUP DELAY]\n200\n"
            "[MEMORY BANKS]\n2\nCode, x, 0, 0x10000, 16, 0x800, code\n"
            "Data, x, 0, 0, 16, 0x100, data\n",
            zern::kZernJtagTraits);
        selectAssembler(device);
        return device;
    }
    // A step out that is still going after 300 ms, then ended from this thread.
    static void expectStopToEndAStepOut(zern::ZernDevice& device)
    {
        auto stepOut = std::async(std::launch::async, [&] { return device.StepOut(); });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const bool stillStepping = stepOut.wait_for(std::chrono::milliseconds(0)) == std::future_status::timeout;
        EXPECT_TRUE(stillStepping);
        for (int tries = 0; tries < 50 && stepOut.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready;
             ++tries)
            EXPECT_EQ(device.Stop(), tolvane::kStatusDone);
        EXPECT_EQ(stepOut.get(), tolvane::kRunStopped);
    }
    // Builds, loads and runs to the breakpoint on the CALL line of the first file.
    void haltAtTheCall(zern::ZernDevice& device)
    {
        ASSERT_EQ(build(device), tolvane::kStatusDone) << reported();
        ASSERT_EQ(load(device), tolvane::kStatusDone) << reported();
        const unsigned call = addressOf(device, first_, 2);
        ASSERT_EQ(device.SetBreakpoint(call), tolvane::kStatusDone);
        ASSERT_EQ(device.Run(), tolvane::kRunHalted);
        ASSERT_EQ(programCounter(device), call);
    }

    testing_support::ChipBoardEmulator board_;
};

TEST_F(BoardEndToEnd, BuiltProgramHaltsAtABreakpointSetByLine)
{
    zern::ZernDevice& device = boardDevice();
    ASSERT_EQ(build(device), tolvane::kStatusDone) << reported();
    ASSERT_EQ(load(device), tolvane::kStatusDone) << reported();
    EXPECT_EQ(board_.chip().code(2, 2), (std::vector<uint8_t>{0x02, 0x3D}));

    ASSERT_EQ(device.SetBreakpoint(addressOf(device, second_, 3)), tolvane::kStatusDone);
    ASSERT_EQ(device.Run(), tolvane::kRunHalted);
    EXPECT_EQ(lineOf(device, programCounter(device)), std::make_pair(second_, 3));
}

TEST_F(BoardEndToEnd, StepOverACallRunsToTheNextLine)
{
    zern::ZernDevice& device = boardDevice();
    haltAtTheCall(device);
    EXPECT_EQ(device.StepOver(), tolvane::kRunHalted);
    EXPECT_EQ(lineOf(device, programCounter(device)), std::make_pair(first_, 3));
    // The run to the next line took its own breakpoint away again.
    const auto slots = board_.chip().codeBreakpoints();
    EXPECT_EQ(std::count_if(slots.begin(), slots.end(), [](const auto& slot) { return slot.has_value(); }), 1);
}

TEST_F(BoardEndToEnd, StopEndsAStepOut)
{
    zern::ZernDevice& device = boardDevice();
    ASSERT_EQ(build(device), tolvane::kStatusDone) << reported();
    ASSERT_EQ(load(device), tolvane::kStatusDone) << reported();
    // Erased flash beyond the program holds no return: the step out goes on until stopped.
    ASSERT_EQ(device.RunToAddress(addressOf(device, second_, 4) + 1), tolvane::kRunHalted);
    expectStopToEndAStepOut(device);
}

TEST_F(BoardEndToEnd, StepIntoEntersTheRoutineAndStepOutReturnsToTheCallersNextLine)
{
    zern::ZernDevice& device = boardDevice();
    haltAtTheCall(device);
    EXPECT_EQ(device.StepInto(), tolvane::kRunHalted);
    EXPECT_EQ(lineOf(device, programCounter(device)), std::make_pair(second_, 2));
    EXPECT_EQ(device.StepOut(), tolvane::kRunHalted);
    EXPECT_EQ(lineOf(device, programCounter(device)), std::make_pair(first_, 3));

    // Once more, leaving from the routine's second line this time.
    ASSERT_EQ(device.RunToAddress(addressOf(device, first_, 2)), tolvane::kRunHalted);
    EXPECT_EQ(device.StepInto(), tolvane::kRunHalted);
    EXPECT_EQ(device.StepOver(), tolvane::kRunHalted);
    EXPECT_EQ(lineOf(device, programCounter(device)), std::make_pair(second_, 3));
    EXPECT_EQ(device.StepOut(), tolvane::kRunHalted);
    EXPECT_EQ(lineOf(device, programCounter(device)), std::make_pair(first_, 3));
}

TEST_F(BoardEndToEnd, StepOverACallHaltsAtABreakpointInsideTheRoutine)
{
    zern::ZernDevice& device = boardDevice();
    haltAtTheCall(device);
    ASSERT_EQ(device.SetBreakpoint(addressOf(device, second_, 3)), tolvane::kStatusDone);
    EXPECT_EQ(device.StepOver(), tolvane::kRunHalted);
    EXPECT_EQ(lineOf(device, programCounter(device)), std::make_pair(second_, 3));
    bool atBreakpoint = false;
    EXPECT_EQ(device.IsBreakpointAtPC(&atBreakpoint), tolvane::kStatusDone);
    EXPECT_TRUE(atBreakpoint);
}

TEST_F(BoardEndToEnd, StopEndsAStepOutOfARoutineThatNeverReturns)
{
    writeProject("b.asm", "; second file\nwork:   NOP\nspin:   JUMP spin\n        RET\n");
    zern::ZernDevice& device = boardDevice();
    haltAtTheCall(device);
    ASSERT_EQ(device.StepInto(), tolvane::kRunHalted);
    expectStopToEndAStepOut(device);
    EXPECT_EQ(lineOf(device, board_.chip().programCounter()), std::make_pair(second_, 3));
}

TEST_F(BoardEndToEnd, DataSegmentLandsInDataMemory)
{
    writeProject("b.asm",
                 "; second file\n        SEGMENT DATA\ntable:  DB 11h, 22h, 33h, 44h, 55h\n"
                 "        SEGMENT CODE\nwork:   NOP\n        RET\n");
    zern::ZernDevice& device = boardDevice();
    ASSERT_EQ(build(device), tolvane::kStatusDone) << reported();
    ASSERT_TRUE(fs::exists(folder_ / "proj" / "demo_d.hex"));
    ASSERT_EQ(load(device), tolvane::kStatusDone) << reported();
    EXPECT_EQ(board_.chip().data(0, 5), (std::vector<uint8_t>{0x11, 0x22, 0x33, 0x44, 0x55}));
    int32_t words[2] = {};
    ASSERT_EQ(device.ReadMemory(1, 0, 2, words), tolvane::kStatusDone);
    EXPECT_EQ(words[0], 0x2211);
    EXPECT_EQ(words[1], 0x4433);
    // The code still runs through the routine placed after the data.
    ASSERT_EQ(device.SetBreakpoint(addressOf(device, second_, 5)), tolvane::kStatusDone);
    ASSERT_EQ(device.Run(), tolvane::kRunHalted);
    EXPECT_EQ(lineOf(device, programCounter(device)), std::make_pair(second_, 5));
}

}  // namespace
}  // namespace devicecompiler
