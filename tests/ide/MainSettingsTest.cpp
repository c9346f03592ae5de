#include <gtest/gtest.h>

#include "MainSettings.h"
#include "Registry.h"
#include "TestFolders.h"

namespace {

using platform::RegistryKey;
using platform::RegistryRoot;

std::unique_ptr<RegistryKey> settingsKey()
{
    return RegistryKey::open(RegistryRoot::CurrentUser, "\\Software\\Quorin Semiconductor\\Tolvane\\", true);
}

TEST(MainSettings, BoundsAreTopLeftHeightWidth)
{
    EXPECT_EQ(parseBounds("10:20:300:400"), (WindowBounds{10, 20, 300, 400}));
    EXPECT_EQ(parseBounds("-8:-8:1040:1928"), (WindowBounds{-8, -8, 1040, 1928}));
    EXPECT_EQ(formatBounds({10, 20, 300, 400}), "10:20:300:400");
}

TEST(MainSettings, MalformedBoundsAreRefused)
{
    for (const char* text : {"", "10:20:300", "10:20:300:400:5", "10:x:300:400", "10:20:300:", ":20:300:400",
                             "10:20:0:400", "10:20:300:-4", "10 :20:300:400", "99999999999:0:10:10", "0x10:0:10:10"})
        EXPECT_FALSE(parseBounds(text)) << text;
}

TEST(MainSettings, WithoutTheKeyEverythingKeepsItsDefaultAndNothingIsCreated)
{
    ScopedTestFolders folders;
    const StartSettings settings = readStartSettings();
    EXPECT_FALSE(settings.keyExists);
    EXPECT_EQ(settings.font.name, "Courier New");
    EXPECT_EQ(settings.font.size, 10);
    EXPECT_EQ(settings.font.charset, 1);
    EXPECT_EQ(settings.tabSize, 4);
    EXPECT_TRUE(settings.useTabs);
    EXPECT_FALSE(settings.alwaysAllowRun);
    EXPECT_FALSE(multipleInstancesAllowed());
    EXPECT_FALSE(QFile::exists(folders.registryFile()));
}

TEST(MainSettings, StoredValuesAreReadAndUnreadableOnesKeepTheirDefaults)
{
    ScopedTestFolders folders;
    auto key = settingsKey();
    key->writeString("FontName", "Liberation Mono");
    key->writeBool("FontBold", true);
    key->writeString("FontSize", "large");
    key->writeInteger("FontCharset", 0);
    key->writeString("TabSize", "-3");
    key->writeBool("UseTabs", false);
    key->writeBool("PrintLineNums", true);
    key->writeString("Device", "ZERN JTAG");
    key->writeString("Compiler", "Quorin Assembler");
    key->writeString("Bounds", "1:2:3");
    key->writeString("State", "zoomed");
    key->writeString("AlwaysAllowRun", "perhaps");
    key->writeBool("AllowMultipleInstances", true);

    const StartSettings settings = readStartSettings();
    EXPECT_TRUE(settings.keyExists);
    EXPECT_EQ(settings.font.name, "Liberation Mono");
    EXPECT_TRUE(settings.font.bold);
    EXPECT_FALSE(settings.font.italic);
    EXPECT_EQ(settings.font.size, 10);
    EXPECT_EQ(settings.font.charset, 0);
    EXPECT_EQ(settings.tabSize, 4);
    EXPECT_FALSE(settings.useTabs);
    EXPECT_TRUE(settings.printLineNumbers);
    EXPECT_EQ(settings.device, "ZERN JTAG");
    EXPECT_EQ(settings.compiler, "Quorin Assembler");
    EXPECT_FALSE(settings.bounds);
    EXPECT_EQ(settings.state, SavedWindowState::Normal);
    // Present but not a boolean: Run stays disabled.
    EXPECT_EQ(settings.alwaysAllowRun, std::optional<bool>(false));
    EXPECT_TRUE(multipleInstancesAllowed());
}

TEST(MainSettings, TextsLongerThanAnyNameKeepTheirDefaultsAndAreNamed)
{
    ScopedTestFolders folders;
    auto key = settingsKey();
    key->writeString("FontName", std::string(3 * 1024 * 1024, 'F'));
    key->writeString("SaveDir", std::string(kMaxSettingLength, 's'));
    key->writeString("OpenDir", std::string(kMaxSettingLength + 1, 'o'));
    key->writeString("Device", "ZernJTAG");

    const StartSettings settings = readStartSettings();
    EXPECT_EQ(settings.font.name, "Courier New");
    EXPECT_EQ(settings.saveDir, std::string(kMaxSettingLength, 's'));
    EXPECT_TRUE(settings.openDir.empty());
    EXPECT_EQ(settings.device, "ZernJTAG");
    EXPECT_EQ(settings.tooLong, (std::vector<std::string>{"FontName", "OpenDir"}));
}

TEST(MainSettings, ClosingSettingsWriteOnlyWhatExists)
{
    ScopedTestFolders folders;
    ClosingSettings closing;
    closing.saveDir = "/home/user/save";
    closing.openDir = "/home/user/open";
    closing.device = "ZERN JTAG";
    closing.bounds = {5, 6, 700, 800};
    closing.state = SavedWindowState::Maximized;
    ASSERT_TRUE(writeClosingSettings(closing));

    const auto key = settingsKey();
    EXPECT_EQ(key->readString("Bounds"), "5:6:700:800");
    EXPECT_EQ(key->readInteger("State"), 2);
    EXPECT_EQ(key->readString("Device"), "ZERN JTAG");
    EXPECT_FALSE(key->hasValue("Compiler"));
    // The debug windows write their own column switches.
    EXPECT_FALSE(key->hasValue("WatchesShowHex"));
    EXPECT_FALSE(key->hasValue("RegistersShowHex"));
    EXPECT_FALSE(key->hasValue("VariablesShowHex"));

    const StartSettings settings = readStartSettings();
    EXPECT_EQ(settings.saveDir, "/home/user/save");
    EXPECT_EQ(settings.openDir, "/home/user/open");
    EXPECT_EQ(settings.bounds, (WindowBounds{5, 6, 700, 800}));
    EXPECT_EQ(settings.state, SavedWindowState::Maximized);
}

}  // namespace
