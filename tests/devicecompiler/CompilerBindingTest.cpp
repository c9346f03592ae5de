// The device object's compiler binding against fake compiler plug-ins.

#include <cstdio>
#include <gtest/gtest.h>

#include "BindingFixture.h"
#include "FakeCompilerScript.h"
#include "ModelTarget.h"

namespace devicecompiler {
namespace {

using device_tests::MessageRecorder;

class CompilerBindingTest : public BindingFixture {
protected:
    void SetUp() override
    {
        BindingFixture::SetUp();
        script_.install();
        modelTarget = &target_;
    }
    void TearDown() override
    {
        BindingFixture::TearDown();
        modelTarget = nullptr;
        unsetenv(kFakeCompilerScriptVariable);
    }

    zern::ZernDevice& deviceWith(const std::string& configText = "[PROCESSOR_FAMILY]\n20\n")
    {
        return makeDevice(configText, kModelTraits);
    }
    std::vector<std::string> listed(zern::ZernDevice& device)
    {
        char** names = nullptr;
        int count = -1;
        EXPECT_EQ(device.GetCompilerList(&names, &count), tolvane::kStatusDone);
        return std::vector<std::string>(names, names + count);
    }

    FakeCompilerScript script_;
    ModelTarget target_;
};

void expectNoCompilerAnswers(zern::ZernDevice& device)
{
    EXPECT_STREQ(device.GetSourceExtension(), "asm");
    const char* files[] = {"a.asm"};
    EXPECT_EQ(device.Build(files, 1, true, "p.prj"), tolvane::kStatusFailed);
    char** lines = nullptr;
    int count = -1;
    device.GetBuildMessages(&lines, &count);
    EXPECT_EQ(count, 0);
    char* file = nullptr;
    int line = 0;
    unsigned address = 0;
    EXPECT_EQ(device.LocateMessage("x.glb: Line 3", &file, &line), tolvane::kStatusFailed);
    EXPECT_EQ(device.AddressToLine(3, &file, &line), tolvane::kStatusFailed);
    EXPECT_EQ(device.LineToAddress("a.asm", 3, &address), tolvane::kStatusFailed);
    EXPECT_EQ(device.GetProgramFile(&file), tolvane::kStatusFailed);
    EXPECT_EQ(device.StepInto(), tolvane::kRunFailed);
    EXPECT_EQ(device.StepOver(), tolvane::kRunFailed);
    EXPECT_EQ(device.StepOut(), tolvane::kRunFailed);
    device.SetDebugLevel(tolvane::kDebugLevelHigh);
    device.SetProjectOption("BUILD SWITCHES: -x", "");
    device.GetProjectOptions(&count, &lines, "");
    EXPECT_EQ(count, 2);
}

TEST_F(CompilerBindingTest, NothingInstalledListsNothingAndSelectsNothing)
{
    zern::ZernDevice& device = deviceWith();
    EXPECT_TRUE(listed(device).empty());
    device.SelectCompiler("Quorin Assembler");
    EXPECT_STREQ(device.GetCompilerName(), "");
    expectNoCompilerAnswers(device);
    device.ShowCompilerOptions();
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].caption, "Error");
    EXPECT_EQ(boxes_.boxes[0].text, "No compiler has been selected");
    EXPECT_EQ(boxes_.boxes[0].icon, platform::BoxIcon::Error);
}

TEST_F(CompilerBindingTest, ListIsBuiltOnceInTableOrder)
{
    install(fakeCompilerPath("FakeCompiler"), kCCompilerLibrary);
    install(fakeCompilerPath("FakeCompiler"), kAssemblerLibrary);
    zern::ZernDevice& device = deviceWith();
    EXPECT_EQ(listed(device), (std::vector<std::string>{"Quorin Assembler", "Quorin Compiler"}));
    fs::remove(ide() / kCCompilerLibrary);
    EXPECT_EQ(listed(device), (std::vector<std::string>{"Quorin Assembler", "Quorin Compiler"}));
}

struct VersionCase {
    const char* variant;
    const char* text;
};

class VersionCheckTest : public CompilerBindingTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(VersionCheckTest, MismatchShowsItsBoxAndLeavesNoCompiler)
{
    const std::string library = fakeCompilerPath(GetParam().variant);
    install(library, kAssemblerLibrary);
    zern::ZernDevice& device = deviceWith();
    listed(device);
    device.SelectCompiler("Quorin Assembler");
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].caption, "Error! - Tolvane");
    EXPECT_EQ(boxes_.boxes[0].text, GetParam().text);
    EXPECT_EQ(boxes_.boxes[0].buttons, platform::BoxButtons::Ok);
    EXPECT_EQ(script_.created, 0);
    EXPECT_FALSE(libraryMapped(library));
    expectNoCompilerAnswers(device);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, VersionCheckTest,
    ::testing::Values(
        VersionCase{"FakeCompilerNoVersion", "Unable to select device.\r\nIncorrect compiler version (0 != 2)."},
        VersionCase{"FakeCompilerVersion3", "Unable to select compiler.\r\nIncorrect compiler version (3 != 2)."},
        VersionCase{"FakeCompilerNoDeviceVersion", "Unable to select device.\r\nIncorrect device version (0 != 14)."},
        VersionCase{"FakeCompilerDevice13", "Unable to select compiler.\r\nIncorrect device version (13 != 14)."}));

TEST_F(CompilerBindingTest, LibraryWithoutInstanceExportIsRefusedQuietly)
{
    const std::string library = fakeCompilerPath("FakeCompilerNoInstance");
    install(library, kAssemblerLibrary);
    zern::ZernDevice& device = deviceWith();
    device.SelectCompiler("Quorin Assembler");
    EXPECT_TRUE(boxes_.boxes.empty());
    EXPECT_FALSE(libraryMapped(library));
    EXPECT_STREQ(device.GetSourceExtension(), "asm");
}

TEST_F(CompilerBindingTest, SelectionInitializesWithTheDeviceValuesAndReselectionStartsAfresh)
{
    install(fakeCompilerPath("FakeCompiler"), kAssemblerLibrary);
    zern::ZernDevice& device = deviceWith(
        "[PROCESSOR_FAMILY]\n30\n[MEMORY BANKS]\n2\nCode, x, 0, 0, 16, 0x4000, code\n"
        "Rom, x, 0, 0, 16, 0x2000, rom\n");
    listed(device);
    device.SelectCompiler("Quorin Assembler");
    ASSERT_EQ(script_.initializations.size(), 1u);
    const FakeInitialization& first = script_.initializations[0];
    EXPECT_EQ(first.device, &device);
    EXPECT_EQ(first.romSize, 0x2000);
    EXPECT_EQ(first.codeSize, 0x4000);
    EXPECT_EQ(first.libraryPath, (folder_ / "libZernJTAG.so").string());
    EXPECT_EQ(first.messageCallback, &MessageRecorder::callback);
    EXPECT_EQ(first.processorFamily, 30);
    EXPECT_EQ(first.settingsKey, "\\Software\\Quorin Semiconductor\\TolvaneZERN7100");
    EXPECT_EQ(first.runState, device.runStateWord());
    EXPECT_STREQ(device.GetCompilerName(), "Quorin Assembler");
    EXPECT_STREQ(device.GetSourceExtension(), "fasm");

    device.SelectCompiler("Quorin Assembler");
    EXPECT_EQ(script_.created, 2);
    EXPECT_EQ(script_.freed, 1);
    EXPECT_EQ(script_.initializations.size(), 2u);

    // Reading the same configuration again tells the compiler nothing; a changed value reaches it.
    device.SetProjectOption(("Config File = " + device.configFilePath()).c_str(), "");
    EXPECT_EQ(script_.initializations.size(), 2u);
    writeFile("wide.cfg", "[PROCESSOR_FAMILY]\n10\n");
    device.SetProjectOption(("Config File = " + (folder_ / "wide.cfg").string()).c_str(), "");
    ASSERT_EQ(script_.initializations.size(), 3u);
    EXPECT_EQ(script_.initializations[2].processorFamily, 10);

    device.SelectCompiler("Something Else");
    EXPECT_EQ(script_.freed, 2);
    EXPECT_STREQ(device.GetSourceExtension(), "asm");
    device.SelectCompiler("Quorin Assembler");
    device_.reset();
    EXPECT_EQ(script_.freed, script_.created);
}

TEST_F(CompilerBindingTest, RecordFollowsTheLibraryActuallyLoaded)
{
    install(fakeCompilerPath("FakeCompiler"), kCCompilerLibrary);
    zern::ZernDevice& device = deviceWith("[ACCUMULATORS]\n8\n");
    EXPECT_EQ(listed(device), std::vector<std::string>{"Quorin Compiler"});
    // Installed after the list was made: the list keeps its one entry.
    install(fakeCompilerPath("FakeCompiler"), kAssemblerLibrary);
    device.SelectCompiler("Quorin Assembler");
    ASSERT_EQ(script_.initializations.size(), 1u);
    EXPECT_EQ(script_.initializations[0].settingsKey, "\\Software\\Quorin Semiconductor\\TolvaneZERN7100");
    EXPECT_STREQ(device.GetCompilerName(), "Quorin Assembler");

    script_.sixValueRecord = true;
    device.SelectCompiler("Quorin Compiler");
    ASSERT_EQ(script_.initializations.size(), 2u);
    const FakeInitialization& six = script_.initializations[1];
    EXPECT_EQ(six.libraryPath, (folder_ / "libZernJTAG.so").string());
    EXPECT_EQ(six.processorFamily, 20);
    EXPECT_EQ(six.accumulators, 8);
    EXPECT_EQ(six.runState, device.runStateWord());
    EXPECT_EQ(six.codeSize, 0x8000);
    EXPECT_EQ(six.dataSize, 0x800);
    EXPECT_STREQ(device.GetCompilerName(), "Quorin Compiler");
}

TEST_F(CompilerBindingTest, BuildSendsTheSwitchesFirstAndPassesMessagesInOrder)
{
    install(fakeCompilerPath("FakeCompiler"), kAssemblerLibrary);
    zern::ZernDevice& device = deviceWith("[BUILD SWITCHES]\n-acc=8\n");
    device.SelectCompiler("Quorin Assembler");
    script_.messages = {"first", "second", "third"};
    script_.buildResult = 5;
    const char* files[] = {"a.asm", "b.asm"};
    EXPECT_EQ(device.Build(files, 2, true, "demo.prj"), tolvane::kStatusFailed);
    EXPECT_EQ(script_.calls, (std::vector<std::string>{"ReadProjectLine BUILD SWITCHES: -acc=8",
                                                       "Build a.asm b.asm force demo.prj", "GetMessages"}));
    EXPECT_EQ(MessageRecorder::take(), script_.messages);
    EXPECT_EQ(target_.erasePendings, 0);

    // Without switches the line ends after its blank; an open link is told to erase.
    zern::ZernDevice& plain = deviceWith();
    plain.SelectCompiler("Quorin Assembler");
    ASSERT_TRUE(plain.EnsureConnected());
    const int pendingAfterConnect = target_.erasePendings;
    script_.calls.clear();
    script_.buildResult = 4;
    EXPECT_EQ(plain.Build(files, 1, false, "demo.prj"), tolvane::kStatusDone);
    EXPECT_EQ(script_.calls.at(0), "ReadProjectLine BUILD SWITCHES: ");
    EXPECT_EQ(target_.erasePendings, pendingAfterConnect + 1);
}

TEST_F(CompilerBindingTest, OperationsReachTheCompiler)
{
    install(fakeCompilerPath("FakeCompiler"), kAssemblerLibrary);
    zern::ZernDevice& device = deviceWith();
    device.SelectCompiler("Quorin Assembler");
    char* file = nullptr;
    int line = 0;
    unsigned address = 0;
    ASSERT_EQ(device.LocateMessage("demo.glb: Line 9", &file, &line), tolvane::kStatusDone);
    EXPECT_STREQ(file, "located.asm");
    EXPECT_EQ(line, 7);
    ASSERT_EQ(device.AddressToLine(4, &file, &line), tolvane::kStatusDone);
    EXPECT_EQ(line, 5);
    ASSERT_EQ(device.LineToAddress("a.asm", 6, &address), tolvane::kStatusDone);
    EXPECT_EQ(address, 12u);
    ASSERT_EQ(device.GetProgramFile(&file), tolvane::kStatusDone);
    EXPECT_STREQ(file, "program.hex");
    script_.calls.clear();
    device.SetDebugLevel(tolvane::kDebugLevelLow);
    device.SetProjectOption("COMPILER LINE", "");
    device.SetProjectOption("JTAG Clock = 100", "");
    device.ShowCompilerOptions();
    EXPECT_EQ(device.StepInto(), 0);
    EXPECT_EQ(device.StepOver(), 0);
    EXPECT_EQ(device.StepOut(), 1);
    EXPECT_EQ(script_.calls, (std::vector<std::string>{"SetDebugLevel 33", "ReadProjectLine COMPILER LINE",
                                                       "ShowOptions", "StepInto", "StepOver", "StepOut"}));
    EXPECT_TRUE(boxes_.boxes.empty());

    script_.projectOptions = {"OPTION A", "OPTION B"};
    char** lines = nullptr;
    int count = 0;
    device.GetProjectOptions(&count, &lines, "");
    ASSERT_EQ(count, 4);
    EXPECT_EQ(std::string(lines[0]).rfind("Config File = ", 0), 0u);
    EXPECT_STREQ(lines[1], "JTAG Clock = 100");
    EXPECT_STREQ(lines[2], "OPTION A");
    EXPECT_STREQ(lines[3], "OPTION B");
}

TEST_F(CompilerBindingTest, LoadWritesTheDataImageTheBuildNamed)
{
    install(fakeCompilerPath("FakeCompiler"), kAssemblerLibrary);
    zern::ZernDevice& device = deviceWith();
    device.SelectCompiler("Quorin Assembler");
    std::string data;
    for (int offset = 0; offset < 600; offset += 16) {
        char record[64];
        unsigned sum = 16 + (offset >> 8) + (offset & 0xFF);
        std::snprintf(record, sizeof record, ":10%04X00", offset);
        data += record;
        for (int i = 0; i < 16; ++i) {
            std::snprintf(record, sizeof record, "%02X", (offset + i) & 0xFF);
            data += record;
            sum += static_cast<unsigned>((offset + i) & 0xFF);
        }
        std::snprintf(record, sizeof record, "%02X\n", (0x100 - (sum & 0xFF)) & 0xFF);
        data += record;
    }
    data += ":00000001FF\n";
    const std::string program = writeFile("demo.hex", ":0400000001020304F2\n:00000001FF\n");

    script_.dataHexFile = (folder_ / "missing_d.hex").string();
    EXPECT_EQ(device.LoadProgram(program.c_str()), tolvane::kStatusFailed);
    EXPECT_EQ(MessageRecorder::take(), std::vector<std::string>{"Cannot open data file."});
    EXPECT_TRUE(target_.code.empty());

    script_.dataHexFile = writeFile("demo_d.hex", data);
    ASSERT_EQ(device.LoadProgram(program.c_str()), tolvane::kStatusDone);
    EXPECT_EQ(target_.memoryWrites, (std::vector<std::string>{"0+254:0", "254+254:254", "508+100:252"}));
    const auto messages = MessageRecorder::take();
    EXPECT_NE(std::find(messages.begin(), messages.end(), "Loading data:  254 bytes @ 0x00fe..."), messages.end());
    EXPECT_NE(std::find(messages.begin(), messages.end(), "Loading data:  100 bytes @ 0x01fc..."), messages.end());
    EXPECT_EQ(target_.word(0), 0x0201);
}

}  // namespace
}  // namespace devicecompiler
