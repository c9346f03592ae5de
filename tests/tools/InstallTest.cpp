// The device list as the install step and the run script leave it: the
// registry layer reads it back, and whatever else the file held survives.
// A command line that names no device writes no list.

#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>

#include "Registry.h"

namespace {

namespace fs = std::filesystem;
using platform::RegistryKey;
using platform::RegistryRoot;

const std::string kDevices = "\\Software\\Quorin Semiconductor\\Tolvane\\Devices";

class DeviceRegistration : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.isValid());
        setenv("XDG_CONFIG_HOME", (root() / "user").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (root() / "machine").c_str(), 1);
    }

    fs::path root() const { return folder_.path().toStdString(); }

    static int run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

    static std::vector<std::string> names(RegistryRoot root)
    {
        const auto list = RegistryKey::open(root, kDevices, false);
        return list ? list->valueNames() : std::vector<std::string>{};
    }

    QTemporaryDir folder_;
};

TEST_F(DeviceRegistration, TheInstallStepRunTwiceKeepsWhatTheMachineFileHeld)
{
    // A package build stages the machine folder below DESTDIR.
    const fs::path stage = root() / "stage";
    const fs::path machine = stage / fs::path(TOLVANE_MACHINE_CONFIG_DIR).relative_path();
    setenv("XDG_CONFIG_DIRS", machine.c_str(), 1);
    fs::create_directories(machine / "Tolvane");
    std::ofstream(machine / "Tolvane/registry.ini")
        << "[General]\nOwner=someone\n\n"
           "[Software/Quorin%20Semiconductor/Tolvane/Devices]\nOther=/opt/other/libOther.so\n";
    const std::string install =
        "DESTDIR=" + stage.string() + " cmake --install " TOLVANE_BUILD_DIR " --prefix /opt/tolvane";

    ASSERT_EQ(run(install), 0);
    ASSERT_EQ(run(install), 0);

    EXPECT_EQ(names(RegistryRoot::LocalMachine), (std::vector<std::string>{"Other", "ZernBrel", "ZernJTAG"}));
    const auto list = RegistryKey::open(RegistryRoot::LocalMachine, kDevices, false);
    EXPECT_EQ(list->readString("ZernJTAG"), "/opt/tolvane/bin/libZernJTAG.so");
    EXPECT_EQ(list->readString("ZernBrel"), "/opt/tolvane/bin/libZernBrel.so");
    EXPECT_EQ(list->readString("Other"), "/opt/other/libOther.so");
    std::ifstream file(machine / "Tolvane/registry.ini");
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(text.str().find("Owner=someone"), std::string::npos);
    EXPECT_TRUE(fs::exists(stage / "opt/tolvane/bin/RegisterDevices"));
}

TEST_F(DeviceRegistration, TheToolMergesNamesAndLeavesAnExistingListAloneWhenAsked)
{
    const std::string tool = REGISTER_DEVICES;
    ASSERT_EQ(run(tool + " /a/libFirst.so Second=/b/second.so"), 0);
    EXPECT_EQ(names(RegistryRoot::CurrentUser), (std::vector<std::string>{"First", "Second"}));
    ASSERT_EQ(run(tool + " First=/c/libFirst.so"), 0);
    EXPECT_EQ(RegistryKey::open(RegistryRoot::CurrentUser, kDevices, false)->readString("First"), "/c/libFirst.so");
    EXPECT_EQ(names(RegistryRoot::CurrentUser).size(), 2u);

    ASSERT_EQ(run(tool + " --if-no-list /d/libThird.so"), 0);
    EXPECT_EQ(names(RegistryRoot::CurrentUser).size(), 2u) << "a list exists: nothing is added";

    EXPECT_NE(run(tool + " =/e/libNoName.so"), 0);
    EXPECT_NE(run(tool + " Name="), 0);
    EXPECT_EQ(names(RegistryRoot::CurrentUser).size(), 2u);
}

TEST_F(DeviceRegistration, HelpAndWrongCommandLinesShowTheUsageAndWriteNoList)
{
    struct Row {
        const char* arguments;
        int exitCode;
        const char* stream;  // where the usage goes
        const char* says;    // what that stream says first
    };
    const Row rows[] = {
        {"--help", 0, "out", "Usage: RegisterDevices"},
        {"-h", 0, "out", "Usage: RegisterDevices"},
        {"/a/libFirst.so --help", 0, "out", "Usage: RegisterDevices"},
        {"--machine -h", 0, "out", "Usage: RegisterDevices"},
        {"", 2, "err", "Usage: RegisterDevices"},
        {"--bogus", 2, "err", "RegisterDevices: unknown option --bogus."},
        {"/a/libFirst.so -x", 2, "err", "RegisterDevices: unknown option -x."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments);
        const std::string command = std::string(REGISTER_DEVICES " ") + row.arguments + " >" + (root() / "out").string()
                                    + " 2>" + (root() / "err").string();
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), row.exitCode);
        std::stringstream text;
        text << std::ifstream(root() / row.stream).rdbuf();
        EXPECT_TRUE(text.str().starts_with(row.says)) << text.str();
        EXPECT_NE(text.str().find("Usage: RegisterDevices [--machine] [--if-no-list] ENTRY..."), std::string::npos);
        EXPECT_FALSE(RegistryKey::exists(RegistryRoot::CurrentUser, kDevices));
        EXPECT_FALSE(RegistryKey::exists(RegistryRoot::LocalMachine, kDevices));
    }

    // The run script's first start with no plug-in built still leaves an empty list.
    ASSERT_EQ(run(REGISTER_DEVICES " --if-no-list"), 0);
    EXPECT_TRUE(RegistryKey::exists(RegistryRoot::CurrentUser, kDevices));
    EXPECT_TRUE(names(RegistryRoot::CurrentUser).empty());
}

TEST_F(DeviceRegistration, RelativeLibraryPathsAreStoredFromTheFolderTheToolRanIn)
{
    // The IDE loads a device by this path, later and from any folder.
    const fs::path folder = root() / "work";
    fs::create_directories(folder / "bin");
    ASSERT_EQ(run("cd " + folder.string() + " && " REGISTER_DEVICES " bin/libFirst.so Second=./bin/../lib/two.so"), 0);
    const auto list = RegistryKey::open(RegistryRoot::CurrentUser, kDevices, false);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->readString("First"), (folder / "bin/libFirst.so").string());
    EXPECT_EQ(list->readString("Second"), (folder / "lib/two.so").string());
}

}  // namespace
