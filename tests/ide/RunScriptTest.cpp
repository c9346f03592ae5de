// The run script's first-start steps: a device list naming the device
// plug-ins built beside the IDE, written where the IDE's registry layer
// reads it, and only when no list exists yet; and the IDE started on a
// working copy of the sample project, so that using it changes no file of
// the checkout.

#include <QDir>
#include <QMenu>
#include <QProcess>
#include <gtest/gtest.h>
#include <map>

#include "DeviceList.h"
#include "FakeDeviceScript.h"
#include "MainSettings.h"
#include "MessageBoxes.h"
#include "ProjectFile.h"
#include "ProjectSession.h"
#include "Registry.h"
#include "TMainForm.h"
#include "TestFolders.h"
#include "WindowThreadWaits.h"

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
        // A build holds the registration tool that the script runs, and an
        // IDE that only notes what it was asked to open.
        QFile::copy(QStringLiteral(REGISTER_DEVICES), build + QStringLiteral("/bin/RegisterDevices"));
        QFile ide(build + QStringLiteral("/bin/Ostravel"));
        if (ide.open(QIODevice::WriteOnly))
            ide.write("#!/bin/sh\nprintf '%s' \"$1\" > \"$0.opened\"\n");
        ide.close();
        ide.setPermissions(ide.permissions() | QFileDevice::ExeOwner);
        for (const QString& name : plugIns)
            QFile::copy(QStringLiteral(FAKE_DEVICE), build + QStringLiteral("/bin/") + name);
        return build;
    }

    // Runs the script on a build made already; gives the file the IDE was started on.
    static QString runScript(const QString& build)
    {
        QProcess script;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TOLVANE_BUILD_DIR"), build);
        environment.insert(QStringLiteral("TOLVANE_SKIP_BUILD"), QStringLiteral("1"));
        script.setProcessEnvironment(environment);
        script.start(QStringLiteral("bash"), {QStringLiteral(TOLVANE_SOURCE_DIR "/scripts/run.sh")});
        EXPECT_TRUE(script.waitForFinished(10000));
        EXPECT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();
        return QString::fromLocal8Bit(fileContents(build + QStringLiteral("/bin/Ostravel.opened")));
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
    runScript(build);

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
    runScript(buildWith({}));
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
    runScript(buildWith({QStringLiteral("libZernJTAG.so")}));
    EXPECT_FALSE(RegistryKey::exists(RegistryRoot::CurrentUser, devices::kDevicesKey));

    RegistryKey::open(RegistryRoot::CurrentUser, devices::kDevicesKey, true)->writeString("Mine", "/x/libMine.so");
    runScript(buildWith({QStringLiteral("libZernJTAG.so")}));
    const auto list = RegistryKey::open(RegistryRoot::CurrentUser, devices::kDevicesKey, false);
    EXPECT_EQ(list->valueNames(), std::vector<std::string>{"Mine"});
}

TEST_F(RunScript, TheIdeOpensAWorkingCopyOfTheSampleThatKeepsTheUsersEdits)
{
    const QString sample = QStringLiteral(TOLVANE_SOURCE_DIR "/samples/blink");
    const QStringList names = QDir(sample).entryList(QDir::Files);
    std::map<QString, QByteArray> tracked;
    for (const QString& name : names)
        tracked[name] = fileContents(sample + QLatin1Char('/') + name);

    const QString build = buildWith({});
    const QString copy = build + QStringLiteral("/samples/blink");
    const QString project = runScript(build);
    ASSERT_EQ(project, copy + QStringLiteral("/blink.prj"));
    for (const QString& name : names)
        EXPECT_EQ(fileContents(copy + QLatin1Char('/') + name), tracked[name]) << name.toStdString();

    // The IDE saves the project it opened at exit, and the user changed a source.
    {
        TMainForm form;
        form.show();
        form.openFiles({project});
        settle();
        ASSERT_NE(form.projectSession().Project(), nullptr);
        boxes.answers.push_back(platform::BoxAnswer::Yes);
        EXPECT_TRUE(form.close());
        QApplication::closeAllWindows();
        settle();
    }
    QFile source(copy + QStringLiteral("/blink.asm"));
    ASSERT_TRUE(source.open(QIODevice::Append));
    source.write("; mine\n");
    source.close();
    const QByteArray saved = fileContents(project);
    EXPECT_NE(saved, tracked[QStringLiteral("blink.prj")]);

    // The next start opens the same copy as the user left it.
    EXPECT_EQ(runScript(build), project);
    EXPECT_EQ(fileContents(project), saved);
    EXPECT_TRUE(fileContents(copy + QStringLiteral("/blink.asm")).endsWith("; mine\n"));
    for (const QString& name : names)
        EXPECT_EQ(fileContents(sample + QLatin1Char('/') + name), tracked[name]) << name.toStdString();
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
