// Both device plug-ins through their exports, as the IDE calls them, each
// over its own emulated adapter with the chip behind it: the order of a
// program load, an unusable code size, a data image beyond the data space,
// a missing configuration file, the context password the loader points at
// (or the configuration that points it nowhere) and the post-load commands
// after an erased image; and ZernBrel's trace file where no file can be
// written.

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <utility>

#include "AbstractDevice.h"
#include "BindingFixture.h"
#include "ChipBoardEmulator.h"
#include "ChipSolbusEmulator.h"
#include "DynamicLibrary.h"
#include "FakeCompilerScript.h"
#include "HexRecords.h"
#include "HostileFiles.h"
#include "TestSupport.h"

namespace {

using device_tests::MessageRecorder;
using testing_support::hexRecord;
using testing_support::programHex;
using Lines = std::vector<std::string>;

struct Plugin {
    const char* name;
    const char* library;
    const char* optionsKey;
    // What connecting says, up to the first line of the operation itself.
    Lines (*openingLines)(const std::string& port);
};

Lines jtagOpening(const std::string& port)
{
    return {"Looking for USB JTAG Dongle...", "Not found.", "Opening serial port...",
            "Opened " + port + ".",           "Connected.", "Setting JTAG clock rate to 200 kHz"};
}

Lines solbusOpening(const std::string& port)
{
    return {"Opening serial port...", "Opened " + port + ".", "Checking hyperdrive configuration",
            "Hyperdrive turned OFF.", "Connected."};
}

const Plugin kZernJtag = {"ZernJTAG", ZERNJTAG_PATH, "\\Software\\Quorin Semiconductor\\Tolvane\\ZERNJTAGOptions\\",
                          jtagOpening};
const Plugin kZernBrel = {"ZernBrel", ZERNBREL_PATH, "\\Software\\Quorin Semiconductor\\Tolvane\\ZERNBRELOptions\\",
                          solbusOpening};

const char kBanks[] =
    "[STARTUP DELAY]\n200\n[EXPECTED ERASE TIME]\n5\n"
    "[MEMORY BANKS]\n1\nCode, x, 0, 0x10000, 16, 0x800, code\n";

bool contains(const Lines& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class PluginLinks : public device_tests::TempFolderTest, public testing::WithParamInterface<const Plugin*> {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        ASSERT_TRUE(library_.open(plugin().library)) << library_.lastError();
    }
    void TearDown() override
    {
        if (device_)
            library_.function<FreeDeviceInstanceFn>(kFreeDeviceInstanceExport)(device_);
        unsetenv(kFakeCompilerScriptVariable);
        unsetenv("TOLVANE_PROGRAM_DIR");
        TempFolderTest::TearDown();
    }

    const Plugin& plugin() const { return *GetParam(); }
    void setPluginOption(const std::string& name, const std::string& value) const
    {
        auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, plugin().optionsKey, true);
        ASSERT_TRUE(key);
        key->writeString(name, value);
    }
    // The chip behind the plug-in's adapter, and the device object set up as
    // the IDE sets it up, reading the given configuration.
    void start(const std::string& configuration, zern::chipmodel::ChipSettings chip = {})
    {
        if (device_)
            library_.function<FreeDeviceInstanceFn>(kFreeDeviceInstanceExport)(std::exchange(device_, nullptr));
        // One emulator at a time: the adapter's side channel is the last one made.
        bus_.reset();
        board_.reset();
        if (&plugin() == &kZernBrel)
            bus_ = std::make_unique<testing_support::ChipSolbusEmulator>(std::move(chip));
        else
            board_ = std::make_unique<testing_support::ChipBoardEmulator>(std::move(chip));
        setPluginOption("ConfigFile", writeFile("chip.cfg", configuration));
        setPluginOption("SerialPort", port());
        device_ = library_.function<GetDeviceInstanceFn>(kGetDeviceInstanceExport)();
        ASSERT_NE(device_, nullptr);
        device_->SetMessageCallback(&MessageRecorder::callback);
        device_->SetRegistryName(plugin().name);
        device_->SetLibraryPath(plugin().library);
        MessageRecorder::take();
    }
    // A compiler plug-in beside the program, as the IDE installs one, whose
    // build names the data file; the device selects it.
    void selectCompilerNamingData(const std::string& dataPath)
    {
        const auto ide = folder_ / "ide";
        const auto assembler = ide / devicecompiler::kAssemblerLibrary;
        std::filesystem::create_directories(assembler.parent_path());
        std::filesystem::create_symlink(devicecompiler::fakeCompilerPath("FakeCompiler"), assembler);
        setenv("TOLVANE_PROGRAM_DIR", ide.c_str(), 1);
        compilerScript_.install();
        compilerScript_.dataHexFile = dataPath;
        device_->SelectCompiler("Quorin Assembler");
        ASSERT_STREQ(device_->GetCompilerName(), "Quorin Assembler");
    }
    std::string port() const { return bus_ ? bus_->devicePath() : board_->devicePath(); }
    zern::chipmodel::ChipModel& chip() { return bus_ ? bus_->chip() : board_->chip(); }

    platform::DynamicLibrary library_;
    AbstractDevice* device_ = nullptr;
    std::unique_ptr<testing_support::ChipBoardEmulator> board_;
    std::unique_ptr<testing_support::ChipSolbusEmulator> bus_;
    FakeCompilerScript compilerScript_;
};

TEST_P(PluginLinks, ALoadOpensItsFreshLinkBeforeTheProgramFile)
{
    start(kBanks);
    EXPECT_EQ(device_->LoadProgram((folder_ / "missing.hex").c_str()), tolvane::kStatusFailed);
    Lines expected = plugin().openingLines(port());
    expected.push_back("Cannot open program file.");
    EXPECT_EQ(MessageRecorder::take(), expected);
    EXPECT_EQ(chip().masterErases(), 0);
}

TEST_P(PluginLinks, AnUnusableCodeSizeIsNamedWhenALoadStarts)
{
    start(kBanks);
    const std::string program = writeFile("small.hex", programHex({1, 2, 3, 4}));
    for (const char* words : {"0", "-1", "0x1000001"}) {
        SCOPED_TRACE(words);
        const std::string configuration =
            writeFile("unusable.cfg", std::string("[STARTUP DELAY]\n200\n[MEMORY BANKS]\n1\nCode, x, 0, 0x10000, 16, ")
                                          + words + ", code\n");
        device_->SetProjectOption(("Config File = " + configuration).c_str(), "");
        EXPECT_EQ(device_->LoadProgram(program.c_str()), tolvane::kStatusFailed);
        const Lines lines = MessageRecorder::take();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), "The code bank size in the configuration file ("
                                    + std::to_string(std::stoi(words, nullptr, 0))
                                    + " words) is unusable: it must be 1 to 16777216 words.");
        EXPECT_EQ(std::count(lines.begin(), lines.end(), lines.back()), 1);
    }
    EXPECT_EQ(chip().masterErases(), 0);
}

TEST_P(PluginLinks, ADataImageBeyondTheDataSpaceIsNamedBeforeAnythingIsWritten)
{
    // 128 KB of data configured; a 16-bit core's data space ends at 64 KB.
    start(
        "[STARTUP DELAY]\n200\n[EXPECTED ERASE TIME]\n5\n"
        "[MEMORY BANKS]\n2\nCode, x, 0, 0x10000, 16, 0x800, code\nData, x, 0, 0, 8, 0x20000, data\n");
    selectCompilerNamingData(
        writeFile("big_d.hex", hexRecord(4, 0, {0x00, 0x01}) + hexRecord(0, 0, {0x5A}) + hexRecord(1, 0, {})));
    const std::string program = writeFile("small.hex", programHex({1, 2, 3, 4}));
    EXPECT_EQ(device_->LoadProgram(program.c_str()), tolvane::kStatusFailed);
    Lines expected = plugin().openingLines(port());
    expected.push_back("The data image of 65537 bytes does not fit the data space of 65536 bytes.");
    EXPECT_EQ(MessageRecorder::take(), expected);
    EXPECT_EQ(chip().masterErases(), 0);
}

TEST_P(PluginLinks, AnErasedImageStillRunsThePostLoadCommandsInTheLoader)
{
    start(std::string(kBanks) + "[POST-LOAD COMMANDS]\n0x07, 0x01\n");
    const std::string path = writeFile("erased.hex", programHex(std::vector<uint8_t>(100, 0xFF)));
    ASSERT_EQ(device_->LoadProgram(path.c_str()), tolvane::kStatusDone)
        << testing::PrintToString(MessageRecorder::take());
    const Lines lines = MessageRecorder::take();
    Lines expected = plugin().openingLines(port());
    expected.insert(expected.end(), {"Program Size: 100 bytes", "Entering Loader", "Prompt received.",
                                     "Post-Load Command: 07, 01, Status: 00", "Post-Load Delay: 0", "Delay Complete"});
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(chip().configuredLoaderCommands(), (std::vector<std::vector<uint8_t>>{{0x07, 0x01}}));
    EXPECT_EQ(chip().masterErases(), 0);
    EXPECT_FALSE(chip().loaderActive());

    // A loader that never shows its prompt takes no command: the load fails and says why.
    zern::chipmodel::FaultPlan faults;
    faults.loaderWithoutPrompt = true;
    chip().setFaults(faults);
    EXPECT_EQ(device_->LoadProgram(path.c_str()), tolvane::kStatusFailed);
    EXPECT_TRUE(contains(MessageRecorder::take(), "No prompt received when activating the boot loader."));
    EXPECT_EQ(chip().configuredLoaderCommands().size(), 1u);
}

TEST_P(PluginLinks, AMissingConfigurationFileIsToldOnceTheLibraryPathIsKnown)
{
    const std::string missing = (folder_ / "absent" / "ZERN7100.cfg").string();
    setPluginOption("ConfigFile", missing);
    const auto create = library_.function<GetDeviceInstanceFn>(kGetDeviceInstanceExport);
    const auto release = library_.function<FreeDeviceInstanceFn>(kFreeDeviceInstanceExport);
    for (bool callbackFirst : {true, false}) {
        SCOPED_TRACE(callbackFirst);
        AbstractDevice* device = create();
        ASSERT_NE(device, nullptr);
        EXPECT_TRUE(MessageRecorder::take().empty());
        // The IDE installs the callback first; a host that does it later still hears the line.
        if (callbackFirst)
            device->SetMessageCallback(&MessageRecorder::callback);
        device->SetRegistryName(plugin().name);
        device->SetLibraryPath(plugin().library);
        if (!callbackFirst)
            device->SetMessageCallback(&MessageRecorder::callback);
        EXPECT_EQ(MessageRecorder::take(), Lines{"Unable to find configuration file: " + missing});
        release(device);
    }
}

TEST_P(PluginLinks, TheContextPasswordLiesWhereTheAnswerPlusTheOffsetPoints)
{
    struct Row {
        const char* parameters;  // contexts, bytes per answer, offset
        uint32_t answer;
        uint64_t passwordAt;
        const char* refusal;
        int queries;
    };
    const Row rows[] = {
        // Word 0x101 + 1 is word 0x102, byte 0x204.
        {"1, 2, 1", 0x101, 0x204, nullptr, 1},
        // Word 0x100 - 2 is word 0xFE, byte 0x1FC.
        {"1, 2, -2", 0x100, 0x1FC, nullptr, 1},
        {"1, 2, -2", 0x1, 0x200,
         "[HANDLE CONTEXT SWITCHES]: offset -2 with the loader's answer 0x1 for context 0 gives no flash address.", 1},
        // The loader is not asked with an answer size it cannot give.
        {"1, 9, 0", 0x100, 0x200, "[HANDLE CONTEXT SWITCHES]: 9 bytes per address answer; 1 to 8 are possible.", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.parameters + std::string(" answer ") + std::to_string(row.answer));
        zern::chipmodel::ChipSettings chip;
        chip.contexts = {zern::chipmodel::PasswordContext{row.passwordAt, row.answer}};
        start(std::string(kBanks) + "[HANDLE CONTEXT SWITCHES]\n1, 0xF6, " + row.parameters + "\n", chip);
        std::vector<uint8_t> code(0x240, 0x00);
        for (size_t i = 0; i < 32; ++i)
            code[row.passwordAt + i] = static_cast<uint8_t>(0xC0 + i);
        const std::string path = writeFile("locked.hex", programHex(code));
        if (row.refusal) {
            EXPECT_EQ(device_->LoadProgram(path.c_str()), tolvane::kStatusFailed);
            const Lines lines = MessageRecorder::take();
            EXPECT_EQ(std::count(lines.begin(), lines.end(), row.refusal), 1) << testing::PrintToString(lines);
            EXPECT_EQ(this->chip().passwordAddressQueries(), row.queries);
            continue;
        }
        ASSERT_EQ(device_->LoadProgram(path.c_str()), tolvane::kStatusDone)
            << testing::PrintToString(MessageRecorder::take());
        MessageRecorder::take();
        // The password learnt from the image unlocks the chip: its registers are written.
        ASSERT_EQ(device_->SetRegister(5, 0x1234), tolvane::kStatusDone);
        EXPECT_EQ(this->chip().registerValue(0, 5), 0x1234);
        EXPECT_FALSE(
            contains(MessageRecorder::take(), "The correct password for the current context could not be determined."));
    }
}

INSTANTIATE_TEST_SUITE_P(BothPlugins, PluginLinks, testing::Values(&kZernJtag, &kZernBrel),
                         [](const testing::TestParamInfo<const Plugin*>& info) {
                             return std::string(info.param->name);
                         });

class BrelLinks : public PluginLinks {};

TEST_P(BrelLinks, ATraceFileThatIsAFifoIsRefusedAndTheLoadGoesOn)
{
    const std::string home = (folder_ / "home").string();
    std::filesystem::create_directory(home);
    const std::string trace = home + "/breldebug.txt";
    ASSERT_EQ(mkfifo(trace.c_str(), 0600), 0);
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", home.c_str(), 1);
    start(std::string(kBanks) + "[DEBUG]\n1\n");
    const std::string path = writeFile("small.hex", programHex({1, 2, 3, 4}));
    const int loaded = test_support::returnsWithin(std::chrono::seconds(60),
                                                   "The load still waits after a minute: the trace file blocks it.",
                                                   [&] { return device_->LoadProgram(path.c_str()); });
    setenv("HOME", savedHome.c_str(), 1);
    EXPECT_EQ(loaded, tolvane::kStatusDone);
    const Lines lines = MessageRecorder::take();
    const std::string refusal = "Unable to open trace file " + trace + ": not a regular file.";
    EXPECT_EQ(std::count(lines.begin(), lines.end(), refusal), 1);
    EXPECT_EQ(chip().code(0, 4), (std::vector<uint8_t>{1, 2, 3, 4}));
}

INSTANTIATE_TEST_SUITE_P(Solbus, BrelLinks, testing::Values(&kZernBrel),
                         [](const testing::TestParamInfo<const Plugin*>& info) {
                             return std::string(info.param->name);
                         });

}  // namespace
