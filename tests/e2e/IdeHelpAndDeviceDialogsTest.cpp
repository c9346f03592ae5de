// The IDE's Help menu and the ZernJTAG plug-in's dialogs as the IDE hosts
// them: the manual beside the program, the device's documents, and the
// plug-in's own dialogs and boxes over the main window.

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <filesystem>

#include "DeviceBinding.h"
#include "DeviceList.h"
#include "MainSettings.h"
#include "MessageBoxes.h"
#include "ModalSteps.h"
#include "Registry.h"
#include "TMainForm.h"
#include "TestFolders.h"
#include "WindowThreadWaits.h"

namespace {

using platform::RegistryKey;
using platform::RegistryRoot;

const char kOptionsKey[] = "\\Software\\Quorin Semiconductor\\Tolvane\\ZERNJTAGOptions\\";

QStringList captions(const QList<QAction*>& actions)
{
    QStringList texts;
    for (QAction* action : actions)
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text().remove(QLatin1Char('&')));
    return texts;
}

QAction* entryTitled(QMenu& menu, const QString& caption)
{
    for (QAction* action : menu.actions())
        if (action->text().remove(QLatin1Char('&')) == caption)
            return action;
    return nullptr;
}

class IdeHelpAndDeviceDialogs : public testing::Test {
protected:
    void SetUp() override { qputenv("TOLVANE_PROGRAM_DIR", TOLVANE_BIN_DIR); }
    void TearDown() override { qunsetenv("TOLVANE_PROGRAM_DIR"); }

    // Installs the plug-in library under a name and selects it at the next start.
    void installDevice(const QString& library)
    {
        auto devices = RegistryKey::open(RegistryRoot::CurrentUser, devices::kDevicesKey, true);
        ASSERT_TRUE(devices && devices->writeString("ZernJTAG", library.toStdString()));
        ASSERT_TRUE(
            RegistryKey::open(RegistryRoot::CurrentUser, kSettingsKey, true)->writeString("Device", "ZernJTAG"));
    }
    void writeFile(const QString& path, const QByteArray& text)
    {
        std::filesystem::create_directories(std::filesystem::path(path.toStdString()).parent_path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    ScopedTestFolders folders;
    DesktopRecorder desktop;
    platform::RecordingMessageBoxes boxes;
    platform::ScopedMessageBoxes scopedBoxes{boxes};
};

TEST_F(IdeHelpAndDeviceDialogs, HelpContentsOpensTheManualBesideTheProgram)
{
    TMainForm form;
    form.show();
    settle();
    form.actions.helpContents->trigger();
    EXPECT_EQ(desktop.opened, QStringList{QStringLiteral(TOLVANE_BIN_DIR "/Tolvane.html")});
    EXPECT_TRUE(boxes.boxes.empty());

    qputenv("TOLVANE_PROGRAM_DIR", folders.file("nowhere").toLocal8Bit());
    desktop.opened.clear();
    form.actions.helpContents->trigger();
    EXPECT_TRUE(desktop.opened.isEmpty());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, folders.file("nowhere").toStdString() + "/Tolvane.html does not exist.");
}

TEST_F(IdeHelpAndDeviceDialogs, EveryLinkOfTheManualLeadsToASection)
{
    QFile manual(QStringLiteral(TOLVANE_BIN_DIR "/Tolvane.html"));
    ASSERT_TRUE(manual.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(manual.readAll());
    QStringList targets;
    for (const auto& match : QRegularExpression(QStringLiteral("id=\"([^\"]+)\"")).globalMatch(text))
        targets << match.captured(1);
    int links = 0;
    for (const auto& match : QRegularExpression(QStringLiteral("href=\"#([^\"]+)\"")).globalMatch(text)) {
        ++links;
        EXPECT_TRUE(targets.contains(match.captured(1))) << match.captured(1).toStdString();
    }
    EXPECT_GT(links, 10);
}

TEST_F(IdeHelpAndDeviceDialogs, TheHelpMenuListsTheDevicesDocumentsAndOpensThem)
{
    const QString plugin = folders.file("plugin/libZernJTAG.so");
    writeFile(folders.file("plugin/Docs/zernug.pdf"), "guide");
    writeFile(folders.file("plugin/Docs/ZERN00AB_UG.pdf"), "supplement");
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZERNJTAG_PATH), plugin));
    writeFile(folders.file("chip.cfg"), "[DEVICE]\nAB\n");
    RegistryKey::open(RegistryRoot::CurrentUser, kOptionsKey, true)
        ->writeString("ConfigFile", folders.file("chip.cfg").toStdString());
    installDevice(plugin);

    TMainForm form;
    form.show();
    settle();
    ASSERT_NE(form.deviceBinding().device(), nullptr);
    emit form.menus.help->aboutToShow();
    EXPECT_EQ(captions(form.menus.help->actions()),
              (QStringList{"Contents", "ZERN Family User's Guide", "ZERN Family User's Guide: ZERN00AB Supplement", "-",
                           "About..."}));
    QAction* supplement = entryTitled(*form.menus.help, "ZERN Family User's Guide: ZERN00AB Supplement");
    ASSERT_NE(supplement, nullptr);
    supplement->trigger();
    EXPECT_EQ(desktop.opened, QStringList{folders.file("plugin/Docs/ZERN00AB_UG.pdf")});
}

TEST_F(IdeHelpAndDeviceDialogs, DeviceOptionsShowThePluginsDialogOverTheMainWindow)
{
    installDevice(QStringLiteral(ZERNJTAG_PATH));
    TMainForm form;
    form.show();
    settle();
    AbstractDevice* device = form.deviceBinding().device();
    ASSERT_NE(device, nullptr);

    QString boxText;
    bool ownedByMainWindow = false;
    onNextDialog<QDialog>([&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Options");
        ownedByMainWindow = dialog.parentWidget() == &form;
        // The plug-in's own box, a dialog of the host's application.
        onNextDialog<QMessageBox>([&](QMessageBox& box) {
            boxText = box.text();
            box.accept();
        });
        typeInto(dialog.findChild<QLineEdit*>("EditClockRate"), QStringLiteral("201"));
        press(dialog.findChild<QPushButton*>("ButtonOK"));
        EXPECT_TRUE(dialog.isVisible());
        typeInto(dialog.findChild<QLineEdit*>("EditClockRate"), QStringLiteral("150"));
        typeInto(dialog.findChild<QComboBox*>("ComboBox"), QStringLiteral("/dev/ttyUSB5"));
        // Enter in a field presses the default button, OK.
        QTest::keyClick(dialog.findChild<QLineEdit*>("EditClockRate"), Qt::Key_Return);
    });
    form.actions.deviceOptions->trigger();
    EXPECT_TRUE(ownedByMainWindow);
    EXPECT_EQ(boxText, "JTAG Clock Rate must be between 1 and 200 kHz.");
    EXPECT_EQ(RegistryKey::open(RegistryRoot::CurrentUser, kOptionsKey, false)->readString("SerialPort"),
              "/dev/ttyUSB5");
    int count = 0;
    char** lines = nullptr;
    device->GetProjectOptions(&count, &lines, "");
    EXPECT_EQ(QStringList(lines, lines + count).filter(QStringLiteral("JTAG Clock = ")),
              QStringList{"JTAG Clock = 150"});
}

TEST_F(IdeHelpAndDeviceDialogs, TheDeviceMenuOffersThePluginsToolsWhichOpenOverTheMainWindow)
{
    installDevice(QStringLiteral(ZERNJTAG_PATH));
    TMainForm form;
    form.show();
    form.activateWindow();
    settle();
    emit form.menus.device->aboutToShow();
    QAction* debugLog = entryTitled(*form.menus.device, "JTAG Debug Log");
    ASSERT_NE(debugLog, nullptr);
    EXPECT_NE(entryTitled(*form.menus.device, "Set Data Breakpoint"), nullptr);

    QString caption;
    QString button;
    onNextDialog<QDialog>([&](QDialog& dialog) {
        caption = dialog.windowTitle();
        button = dialog.findChild<QPushButton*>("ButtonOK")->text();
        press(dialog.findChild<QPushButton*>("ButtonCancel"));
    });
    debugLog->trigger();
    EXPECT_EQ(caption, "Debug Log");
    EXPECT_EQ(button, "Start");
}

}  // namespace
