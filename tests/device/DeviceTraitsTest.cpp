// What a device plug-in's traits decide: the configuration dialect, the
// link log, and the options and menu hooks that reach the open link.

#include <gtest/gtest.h>
#include <sstream>

#include "ConfigReader.h"
#include "JtagOptions.h"
#include "MessageBoxes.h"
#include "ModelTarget.h"
#include "TestSupport.h"
#include "TrafficLog.h"
#include "ZernDevice.h"
#include "ZernJtagTraits.h"

namespace {

using device_tests::MessageRecorder;

const zern::ConfigDialect kSolbusDialect{
    .eraseLastPage = false, .userCodeStart = false, .hyperdrive = true, .debugTrace = true};

TEST(ConfigDialect, EachPluginReadsItsOwnSections)
{
    const std::string text =
        "[ERASE LAST PAGE]\n0\n[USER CODE START]\n0x600\n[HYPERDRIVE]\n1\n[DEBUG]\n2\n[STACK_DEPTH]\n9\n";
    struct Case {
        const char* name;
        zern::ConfigDialect dialect;
        int eraseLastPage;
        int userCodeStart;
        int hyperdrive;
        int debugTrace;
    };
    const Case cases[] = {
        {"ZernJTAG", zern::kZernJtagTraits.configDialect, 0, 0x600, 0, 0},
        {"Solbus", kSolbusDialect, 1, 0, 1, 2},
    };
    for (const Case& c : cases) {
        zern::DeviceConfig config;
        std::vector<std::string> messages;
        std::istringstream stream(text);
        zern::parseDeviceConfig(stream, config, {[&](const std::string& line) { messages.push_back(line); }, true},
                                c.dialect);
        EXPECT_EQ(config.eraseLastPage, c.eraseLastPage) << c.name;
        EXPECT_EQ(config.userCodeStart, c.userCodeStart) << c.name;
        EXPECT_EQ(config.hyperdrive, c.hyperdrive) << c.name;
        EXPECT_EQ(config.debugTrace, c.debugTrace) << c.name;
        // The sections after an unknown one are read as always.
        EXPECT_EQ(config.stackDepth, 9) << c.name;
        EXPECT_TRUE(messages.empty()) << c.name;
    }
}

TEST(ConfigDialect, ABadHyperdriveValueIsWarnedAbout)
{
    zern::DeviceConfig config;
    std::vector<std::string> messages;
    std::istringstream stream("[HYPERDRIVE]\nfast\n");
    zern::parseDeviceConfig(stream, config, {[&](const std::string& line) { messages.push_back(line); }, true},
                            kSolbusDialect);
    EXPECT_EQ(config.hyperdrive, 0);
    EXPECT_EQ(messages, (std::vector<std::string>{"Warning: Unable to parse configuration file (Line 2)"}));
}

// Hooks that note what they were given.
struct HookCalls {
    zern::ZernDevice* device = nullptr;
    zern::LinkDriver* link = nullptr;
    void* owner = nullptr;
    std::string caption;
};
HookCalls hookCalls;

class PathLog final : public zern::LinkLog {
public:
    bool open(const std::string& path) override { return path_ = path, true; }
    void close() override { path_.clear(); }
    bool isOpen() const override { return !path_.empty(); }

private:
    std::string path_;
};

bool acceptOptions(zern::ZernDevice& device, void* owner)
{
    hookCalls.device = &device;
    hookCalls.owner = owner;
    hookCalls.link = device.link();
    device.closeLink();
    return true;
}

void noteMenuItem(zern::ZernDevice& device, const char* caption)
{
    hookCalls.device = &device;
    hookCalls.link = device.link();
    hookCalls.caption = caption;
}

zern::DeviceTraits hookedTraits()
{
    zern::DeviceTraits traits = devicecompiler::kModelTraits;
    traits.makeLinkLog = [] { return std::unique_ptr<zern::LinkLog>(std::make_unique<PathLog>()); };
    traits.showOptions = acceptOptions;
    traits.runMenuItem = noteMenuItem;
    return traits;
}

class DeviceTraitsTest : public device_tests::TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        devicecompiler::modelTarget = &target_;
        hookCalls = {};
    }
    void TearDown() override
    {
        devicecompiler::modelTarget = nullptr;
        TempFolderTest::TearDown();
    }

    devicecompiler::ModelTarget target_;
};

TEST_F(DeviceTraitsTest, HooksReachTheDeviceAndItsOpenLink)
{
    const zern::DeviceTraits traits = hookedTraits();
    zern::ZernDevice device(traits);
    device.RunDeviceMenuItem("Solbus Tool");
    EXPECT_EQ(hookCalls.device, &device);
    EXPECT_EQ(hookCalls.link, nullptr);
    EXPECT_EQ(hookCalls.caption, "Solbus Tool");
    ASSERT_TRUE(device.EnsureConnected());
    device.RunDeviceMenuItem("Set Data Breakpoint");
    EXPECT_NE(hookCalls.link, nullptr);
    EXPECT_EQ(hookCalls.link, device.link());

    int owner = 0;
    EXPECT_TRUE(device.ShowDeviceOptions(&owner));
    EXPECT_EQ(hookCalls.owner, &owner);
    EXPECT_NE(hookCalls.link, nullptr);
    EXPECT_FALSE(device.linkOpen());
}

// The Options dialog's OK over an open link.
TEST_F(DeviceTraitsTest, OptionsOkDropsTheLinkReadsTheConfigurationThenTakesTheClock)
{
    zern::ZernDevice device(devicecompiler::kModelTraits);
    ASSERT_TRUE(device.EnsureConnected());
    const std::string config = writeFile("other.cfg", "[JTAG CLOCK]\n100\n[STACK_DEPTH]\n9\n");
    zern::applyOptions(device, config, 150);
    EXPECT_FALSE(device.linkOpen());
    EXPECT_EQ(device.configFilePath(), config);
    EXPECT_EQ(device.config().stackDepth, 9);
    EXPECT_EQ(device.config().jtagClockKHz, 150);
    EXPECT_EQ(option("ConfigFile"), config);
    ASSERT_TRUE(device.EnsureConnected());
}

TEST_F(DeviceTraitsTest, TheLinkLogIsTheTraitsOwn)
{
    const zern::DeviceTraits traits = hookedTraits();
    zern::ZernDevice hooked(traits);
    EXPECT_TRUE(hooked.trafficLog().open("trace.txt"));
    EXPECT_NE(dynamic_cast<PathLog*>(&hooked.trafficLog()), nullptr);

    zern::ZernDevice plain(devicecompiler::kModelTraits);
    EXPECT_FALSE(plain.trafficLog().open((folder_ / "log.txt").string()));
    EXPECT_FALSE(plain.trafficLog().isOpen());
}

// Without windows the options and tools say so and change nothing.
TEST_F(DeviceTraitsTest, ZernJtagWithoutWindowsRefusesItsDialogs)
{
    platform::RecordingMessageBoxes boxes;
    platform::ScopedMessageBoxes scoped(boxes);
    zern::ZernDevice device(zern::kZernJtagTraits);
    device.SetMessageCallback(&MessageRecorder::callback);
    EXPECT_NE(dynamic_cast<zern::TrafficLog*>(&device.trafficLog()), nullptr);
    EXPECT_FALSE(device.ShowDeviceOptions(nullptr));
    device.RunDeviceMenuItem("JTAG Debug Log");
    device.RunDeviceMenuItem("Set Data Breakpoint");
    device.RunDeviceMenuItem("jtag debug log");
    device.RunDeviceMenuItem(nullptr);
    EXPECT_FALSE(device.linkOpen());
    EXPECT_FALSE(device.trafficLog().isOpen());
    EXPECT_TRUE(MessageRecorder::take().empty());
    std::vector<std::string> texts;
    for (const auto& box : boxes.boxes)
        texts.push_back(box.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Unable to show the Options dialog: this program has no windows.",
                                               "Unable to show the Debug Log dialog: this program has no windows.",
                                               "Unable to show the Data BP dialog: this program has no windows."}));
}

}  // namespace
