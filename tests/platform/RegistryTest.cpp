#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>

#include "HostileFiles.h"
#include "Registry.h"

namespace {

using platform::RegistryKey;
using platform::RegistryRoot;
namespace fs = std::filesystem;

const std::string kTolvane = "\\Software\\Quorin Semiconductor\\Tolvane";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.isValid());
        const std::string root = folder_.path().toStdString();
        setenv("XDG_CONFIG_HOME", (root + "/user").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (root + "/machine:/etc/xdg").c_str(), 1);
    }
    std::filesystem::path root() const { return folder_.path().toStdString(); }

    QTemporaryDir folder_;
};

TEST_F(RegistryTest, FilesFollowTheXdgFolders)
{
    EXPECT_EQ(platform::registryFile(RegistryRoot::CurrentUser), (root() / "user/Tolvane/registry.ini").string());
    EXPECT_EQ(platform::registryFile(RegistryRoot::LocalMachine), (root() / "machine/Tolvane/registry.ini").string());
}

TEST_F(RegistryTest, ValuesRoundTrip)
{
    {
        auto key = RegistryKey::open(RegistryRoot::CurrentUser, kTolvane + "\\", true);
        ASSERT_TRUE(key);
        EXPECT_TRUE(key->writeString("FontName", "Courier New"));
        EXPECT_TRUE(key->writeInteger("FontSize", -12));
        EXPECT_TRUE(key->writeBool("UseTabs", false));
        EXPECT_TRUE(key->writeString("Empty", ""));
    }
    auto key = RegistryKey::open(RegistryRoot::CurrentUser, kTolvane, false);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->readString("FontName"), "Courier New");
    EXPECT_EQ(key->readInteger("FontSize"), -12);
    EXPECT_EQ(key->readBool("UseTabs"), false);
    EXPECT_EQ(key->readString("Empty"), "");
    EXPECT_TRUE(key->hasValue("Empty"));
    EXPECT_FALSE(key->hasValue("Missing"));
    EXPECT_EQ(key->readString("Missing"), std::nullopt);
}

TEST_F(RegistryTest, MalformedNumbersReadAsMissing)
{
    auto key = RegistryKey::open(RegistryRoot::CurrentUser, kTolvane, true);
    ASSERT_TRUE(key);
    key->writeString("TabSize", "four");
    key->writeString("UseTabs", "maybe");
    key->writeString("Flag", "1");
    EXPECT_EQ(key->readInteger("TabSize"), std::nullopt);
    EXPECT_EQ(key->readBool("UseTabs"), std::nullopt);
    EXPECT_EQ(key->readBool("Flag"), true);
}

TEST_F(RegistryTest, OpeningWithoutCreatingWritesNothing)
{
    EXPECT_FALSE(RegistryKey::open(RegistryRoot::CurrentUser, kTolvane, false));
    EXPECT_FALSE(RegistryKey::exists(RegistryRoot::LocalMachine, kTolvane + "\\Devices"));
    EXPECT_FALSE(std::filesystem::exists(root() / "user"));
    EXPECT_FALSE(std::filesystem::exists(root() / "machine"));
}

TEST_F(RegistryTest, MissingKeyAndMissingValueAreToldApart)
{
    auto key = RegistryKey::open(RegistryRoot::CurrentUser, kTolvane + "\\Devices", true);
    ASSERT_TRUE(key);
    EXPECT_TRUE(key->valueNames().empty());
    EXPECT_TRUE(RegistryKey::exists(RegistryRoot::CurrentUser, kTolvane + "\\Devices"));
    EXPECT_FALSE(RegistryKey::exists(RegistryRoot::CurrentUser, kTolvane + "\\Other"));
    key->writeString("A", "x");
    key->deleteValue("A");
    EXPECT_TRUE(RegistryKey::exists(RegistryRoot::CurrentUser, kTolvane + "\\Devices"));
}

TEST_F(RegistryTest, SiblingKeyIsNotAChildKey)
{
    RegistryKey::open(RegistryRoot::CurrentUser, kTolvane + "ZernJTAG", true)->writeString("ConfigFile", "a.cfg");
    RegistryKey::open(RegistryRoot::CurrentUser, kTolvane + "\\ZernJTAG", true)->writeString("ConfigFile", "b.cfg");
    EXPECT_EQ(RegistryKey::open(RegistryRoot::CurrentUser, kTolvane + "ZernJTAG", false)->readString("ConfigFile"),
              "a.cfg");
    EXPECT_EQ(RegistryKey::open(RegistryRoot::CurrentUser, kTolvane + "\\ZernJTAG", false)->readString("ConfigFile"),
              "b.cfg");
    auto parent = RegistryKey::open(RegistryRoot::CurrentUser, kTolvane, false);
    EXPECT_EQ(parent->subkeyNames(), std::vector<std::string>{"ZernJTAG"});
}

TEST_F(RegistryTest, NamesWithSlashesAndPercentsRoundTrip)
{
    auto devices = RegistryKey::open(RegistryRoot::CurrentUser, kTolvane + "\\Devices", true);
    devices->writeString("Board A/B 100%", "/opt/lib/libA.so");
    devices->writeString("Plain", "/opt/lib/libP.so");
    auto again = RegistryKey::open(RegistryRoot::CurrentUser, kTolvane + "\\Devices", false);
    auto names = again->valueNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Board A/B 100%", "Plain"}));
    EXPECT_EQ(again->readString("Board A/B 100%"), "/opt/lib/libA.so");

    RegistryKey::open(RegistryRoot::CurrentUser, kTolvane + "Dev/One", true)->writeBool("LogReads", true);
    EXPECT_EQ(RegistryKey::open(RegistryRoot::CurrentUser, kTolvane + "Dev/One", false)->readBool("LogReads"), true);
    EXPECT_FALSE(RegistryKey::exists(RegistryRoot::CurrentUser, kTolvane + "Dev"));
}

TEST_F(RegistryTest, RootsAreSeparateAndKeysCanBeRemoved)
{
    RegistryKey::open(RegistryRoot::LocalMachine, kTolvane + "\\Devices", true)->writeString("ZernJTAG", "/x.so");
    EXPECT_FALSE(RegistryKey::exists(RegistryRoot::CurrentUser, kTolvane + "\\Devices"));
    EXPECT_TRUE(RegistryKey::remove(RegistryRoot::LocalMachine, kTolvane + "\\Devices"));
    EXPECT_FALSE(RegistryKey::exists(RegistryRoot::LocalMachine, kTolvane + "\\Devices"));
}

// The installer writes the machine-wide device list as plain INI text.
TEST_F(RegistryTest, ReadsTheDeviceListAsTheInstallerWritesIt)
{
    std::filesystem::create_directories(root() / "machine/Tolvane");
    std::ofstream(root() / "machine/Tolvane/registry.ini")
        << "[Software/Quorin%20Semiconductor/Tolvane/Devices]\nZernJTAG=/opt/tolvane/bin/libZernJTAG.so\n";
    auto devices = RegistryKey::open(RegistryRoot::LocalMachine, kTolvane + "\\Devices", false);
    ASSERT_TRUE(devices);
    EXPECT_EQ(devices->valueNames(), std::vector<std::string>{"ZernJTAG"});
    EXPECT_EQ(devices->readString("ZernJTAG"), "/opt/tolvane/bin/libZernJTAG.so");
}

// A user file that cannot be read as settings is named, read as empty and
// never written: what is written for the session goes elsewhere.
TEST_F(RegistryTest, AnUnreadableUserFileReadsAsEmptyAndIsLeftAsItIs)
{
    fs::path file;
    struct Case {
        const char* name;
        std::function<void()> make;
        std::string reason;
    };
    std::unique_ptr<test_support::GuardedFifo> fifo;
    // The start of a program file: a bracket that opens no section.
    const std::string garbage(
        "\x7f"
        "ELF\x02\x01\x01\n[\0\xff\xfe\n=\x01",
        15);
    const Case cases[] = {
        {"garbage", [&] { std::ofstream(file, std::ios::binary) << garbage; }, "not a settings file"},
        {"folder", [&] { fs::create_directory(file); }, "not a regular file"},
        {"link to /dev/zero", [&] { fs::create_symlink("/dev/zero", file); }, "not a regular file"},
        {"fifo", [&] { fifo = std::make_unique<test_support::GuardedFifo>(file.string()); }, "not a regular file"},
        {"huge", [&] { test_support::makeSparseFile(file.string(), 5 * 1024 * 1024); }, "larger than 4 MB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir home;
        setenv("XDG_CONFIG_HOME", (home.path() + "/user").toLocal8Bit().constData(), 1);
        file = fs::path(home.path().toStdString()) / "user/Tolvane/registry.ini";
        fs::create_directories(file.parent_path());
        c.make();
        const auto before = fs::symlink_status(file);
        const auto sizeBefore = fs::is_regular_file(before) ? fs::file_size(file) : 0;

        EXPECT_EQ(platform::registryFileProblem(RegistryRoot::CurrentUser), c.reason);
        EXPECT_FALSE(RegistryKey::open(RegistryRoot::CurrentUser, kTolvane, false));
        EXPECT_FALSE(RegistryKey::exists(RegistryRoot::CurrentUser, kTolvane + "\\Devices"));
        auto key = RegistryKey::open(RegistryRoot::CurrentUser, kTolvane + "\\", true);
        ASSERT_TRUE(key);
        EXPECT_TRUE(key->writeString("Device", "ZernJTAG"));
        EXPECT_EQ(key->readString("Device"), "ZernJTAG");
        key.reset();

        EXPECT_EQ(fs::symlink_status(file).type(), before.type());
        if (fs::is_regular_file(before)) {
            EXPECT_EQ(fs::file_size(file), sizeBefore);
        }
        if (c.name == std::string("garbage")) {
            std::ifstream in(file, std::ios::binary);
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), garbage);
        }
        fifo.reset();
    }
}

TEST_F(RegistryTest, AMissingOrReadableFileIsNoProblem)
{
    EXPECT_EQ(platform::registryFileProblem(RegistryRoot::CurrentUser), std::nullopt);
    RegistryKey::open(RegistryRoot::CurrentUser, kTolvane, true)->writeString("Device", "ZernJTAG");
    EXPECT_EQ(platform::registryFileProblem(RegistryRoot::CurrentUser), std::nullopt);
    EXPECT_EQ(RegistryKey::open(RegistryRoot::CurrentUser, kTolvane, false)->readString("Device"), "ZernJTAG");
}

}  // namespace
