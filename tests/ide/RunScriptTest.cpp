// The run script's first-start step: a device list naming the device
// plug-ins built beside the IDE, written where the IDE's registry layer
// reads it, and only when no list exists yet.

#include <QDir>
#include <QMenu>
#include <QProcess>
#include <gtest/gtest.h>

#include "DeviceList.h"
#include "FakeDeviceScript.h"
#include "MainSettings.h"
#include "MessageBoxes.h"
#include "ProjectFile.h"
#include "Registry.h"
#include "TMainForm.h"
#include "TestFolders.h"

namespace {

using platform::RegistryKey;
using platform::RegistryRoot;

class RunScript : public testing::Test {
protected:
    void SetUp() override
    {
        RegistryKey::remove(RegistryRoot::LocalMachine, devices::kDevicesKey);
        // The plug-ins registered here are the fake, selected when settings exist.
        script.install();
    }

    // A build folder whose name needs quoting in an INI file.
    QString buildWith(const QStringList& plugIns)
    {
        const QString build = folders.file("build, \"quoted\" here");
        QDir(build).mkpath(QStringLiteral("bin"));
        // A build holds the registration tool that the script runs.
        QFile::copy(QStringLiteral(REGISTER_DEVICES), build + QStringLiteral("/bin/RegisterDevices"));
        for (const QString& name : plugIns)
            QFile::copy(QStringLiteral(FAKE_DEVICE), build + QStringLiteral("/bin/") + name);
        return build;
    }

    static void registerDevices(const QString& build)
    {
        QProcess script;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TOLVANE_BUILD_DIR"), build);
        environment.insert(QStringLiteral("TOLVANE_REGISTER_ONLY"), QStringLiteral("1"));
        script.setProcessEnvironment(environment);
        script.start(QStringLiteral("bash"), {QStringLiteral(TOLVANE_SOURCE_DIR "/scripts/run.sh")});
        ASSERT_TRUE(script.waitForFinished(10000));
        ASSERT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();
    }

    static std::unique_ptr<RegistryKey> settingsKey()
    {
        return RegistryKey::open(RegistryRoot::CurrentUser, kSettingsKey, true);
    }

    static QStringList deviceItems(const TMainForm& form)
    {
        QStringList items;
        for (QAction* action : form.menus.device->actions())
            if (action->isCheckable())
                items << action->text();
        return items;
    }

    ScopedTestFolders folders;
    FakeDeviceScript script;
    platform::RecordingMessageBoxes boxes;
    platform::ScopedMessageBoxes scopedBoxes{boxes};
};

TEST_F(RunScript, AFirstStartFindsTheBuiltPlugInsInItsDeviceList)
{
    settingsKey()->writeInteger("FontSize", 12);
    const QString build = buildWith({QStringLiteral("libZernJTAG.so")});
    registerDevices(build);

    const auto list = RegistryKey::open(RegistryRoot::CurrentUser, devices::kDevicesKey, false);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->valueNames(), std::vector<std::string>{"ZernJTAG"});
    EXPECT_EQ(list->readString("ZernJTAG"), (build + QStringLiteral("/bin/libZernJTAG.so")).toStdString());
    // The settings already there are kept.
    EXPECT_EQ(settingsKey()->readInteger("FontSize"), 12);

    TMainForm form;
    EXPECT_EQ(deviceItems(form), QStringList{"ZernJTAG"});
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(RunScript, WithoutPlugInsTheListIsEmptyButTheIdeStarts)
{
    registerDevices(buildWith({}));
    const auto list = RegistryKey::open(RegistryRoot::CurrentUser, devices::kDevicesKey, false);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->valueNames().empty());

    TMainForm form;
    EXPECT_TRUE(deviceItems(form).isEmpty());
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(RunScript, AnExistingListIsLeftAlone)
{
    RegistryKey::open(RegistryRoot::LocalMachine, devices::kDevicesKey, true)->writeString("Other", "/x/libOther.so");
    registerDevices(buildWith({QStringLiteral("libZernJTAG.so")}));
    EXPECT_FALSE(RegistryKey::exists(RegistryRoot::CurrentUser, devices::kDevicesKey));

    RegistryKey::open(RegistryRoot::CurrentUser, devices::kDevicesKey, true)->writeString("Mine", "/x/libMine.so");
    registerDevices(buildWith({QStringLiteral("libZernJTAG.so")}));
    const auto list = RegistryKey::open(RegistryRoot::CurrentUser, devices::kDevicesKey, false);
    EXPECT_EQ(list->valueNames(), std::vector<std::string>{"Mine"});
}

TEST(SampleProject, IsWhatTheProjectWriterWrites)
{
    const QString folder = QStringLiteral(TOLVANE_SOURCE_DIR "/samples/blink");
    QFile file(folder + QStringLiteral("/blink.prj"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    project::ProjectContents contents;
    contents.files = {folder + QStringLiteral("/blink.asm"), folder + QStringLiteral("/delay.asm")};
    contents.device = QStringLiteral("ZernJTAG");
    contents.opened = {{folder + QStringLiteral("/blink.asm"), 0, 0, 520, 360, project::kEditorNormal}};
    // The name the device lists the assembler by, so that opening selects it.
    contents.compiler = QStringLiteral("Quorin Assembler");
    contents.windows = {{21, 0, 0, 220, 500, 8}, {22, 0, 500, 800, 160, 11}};
    EXPECT_EQ(project::writeProjectText(contents, folder), file.readAll());
    EXPECT_TRUE(project::readProjectText(project::writeProjectText(contents, folder), folder).error.isEmpty());
    for (const QString& source : contents.files)
        EXPECT_TRUE(QFileInfo::exists(source)) << source.toStdString();
}

}  // namespace
