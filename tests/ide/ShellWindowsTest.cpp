// The IDE shell as a user meets it: the manual, the small dialogs and their
// borders, a floating tool window brought back by a project, and the settings
// file that installing and running leave.

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTextBrowser>
#include <functional>
#include <gtest/gtest.h>

#include "DebugFileDialog.h"
#include "DeviceBinding.h"
#include "DialogBorderCheck.h"
#include "FindReplaceDialog.h"
#include "HelpWindow.h"
#include "MessageBoxes.h"
#include "ModalSteps.h"
#include "PrintService.h"
#include "QtMessageBoxes.h"
#include "SaveFileDialog.h"
#include "TDialogAbout.h"
#include "TDialogAddDevice.h"
#include "TDialogAddWatch.h"
#include "TDialogDataFile.h"
#include "TDialogFindInFiles.h"
#include "TDialogGotoLine.h"
#include "TDialogRemoveFiles.h"
#include "TDialogStimulusFile.h"
#include "TDialogTabOptions.h"
#include "TDockableForm.h"
#include "TMainForm.h"
#include "TestFolders.h"
#include "TextPrompt.h"
#include "WindowThreadWaits.h"

namespace {

class ShellWindows : public testing::Test {
protected:
    void SetUp() override { qputenv("TOLVANE_PROGRAM_DIR", TOLVANE_BUILD_DIR "/bin"); }
    void TearDown() override { qunsetenv("TOLVANE_PROGRAM_DIR"); }

    static void activate(QWidget& window)
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QString makeFolder(const char* name) const
    {
        QDir().mkpath(folders.file(name));
        return folders.file(name);
    }

    ScopedTestFolders folders;
    platform::RecordingMessageBoxes boxes;
    platform::ScopedMessageBoxes scopedBoxes{boxes};
};

TEST_F(ShellWindows, HelpContentsShowsTheManualInAWindowOfItsOwnWhenTheDesktopHasNoBrowser)
{
    // The headless platform opens no web page, as a desktop without a browser.
    TMainForm form;
    activate(form);
    QTest::keyClick(&form, Qt::Key_F1);
    auto* help = form.findChild<HelpWindow*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), "Tolvane Help");
    EXPECT_TRUE(help->browser()->toPlainText().contains("Tolvane is a development environment for the ZERN family"));

    activate(form);
    QTest::keyClick(&form, Qt::Key_F1);
    EXPECT_EQ(form.findChildren<HelpWindow*>().size(), 1);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(boxes.boxes.empty());

    // A manual that is really missing is still reported.
    qputenv("TOLVANE_PROGRAM_DIR", folders.file("nowhere").toLocal8Bit() + '/');
    form.actions.helpContents->trigger();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, folders.file("nowhere").toStdString() + "/Tolvane.html does not exist.");
}

TEST_F(ShellWindows, AddDeviceBrowsesWithTheMainWindowsOpenDialogAndItsFolder)
{
    TMainForm form;
    activate(form);
    form.openDir = makeFolder("start");
    const QString library = makeFolder("plugins") + QStringLiteral("/libMine.so");
    QFile(library).open(QIODevice::WriteOnly);

    QString startedIn;
    QString filter;
    QString entered;
    onNextDialog<TDialogAddDevice>([&](TDialogAddDevice& dialog) {
        onNextDialog<QFileDialog>([&](QFileDialog& files) {
            startedIn = files.directory().absolutePath();
            filter = files.selectedNameFilter();
            // A path typed into another folder is taken apart by the dialog's
            // selection as its look-up comes in: the user goes there first.
            files.setDirectory(QFileInfo(library).absolutePath());
            typeFileName(files, QFileInfo(library).fileName());
        });
        for (auto* button : dialog.findChildren<QPushButton*>())
            if (button->text() == QLatin1String("..."))
                press(button);
        entered = dialog.DeviceFile();
        dialog.reject();
    });
    form.actions.installDevice->trigger();
    EXPECT_EQ(startedIn.toStdString(), folders.file("start").toStdString());
    EXPECT_EQ(filter.toStdString(), "Device Files (*.so)");
    EXPECT_EQ(entered.toStdString(), library.toStdString());
    EXPECT_EQ(form.openDir.toStdString(), folders.file("plugins").toStdString());

    // The next open dialog of the window starts where that one ended.
    EXPECT_EQ(folderOfNextFileDialog([&] { form.actions.openFile->trigger(); }).toStdString(),
              folders.file("plugins").toStdString());
}

TEST_F(ShellWindows, DialogsHaveADialogBorderWideEnoughForTheirCaption)
{
    TMainForm form;
    activate(form);
    struct Case {
        const char* caption;
        bool sizable;
        std::function<void()> show;
    };
    const auto exec = [&form](auto make) {
        return [&form, make] {
            auto dialog = make(&form);
            dialog->exec();
        };
    };
    const std::vector<Case> cases{
        {"Goto Line Number", false, exec([](QWidget* owner) { return std::make_unique<TDialogGotoLine>(owner); })},
        {"Tab Options", false, exec([](QWidget* owner) { return std::make_unique<TDialogTabOptions>(owner); })},
        {"About Tolvane", false,
         exec([&form](QWidget* owner) { return std::make_unique<TDialogAbout>(form.deviceBinding(), owner); })},
        {"Add Device", false, exec([](QWidget* owner) { return std::make_unique<TDialogAddDevice>(owner, nullptr); })},
        {"Data File Settings", false, exec([](QWidget* owner) { return std::make_unique<TDialogDataFile>(owner); })},
        {"Stimulus File Settings", false,
         exec([](QWidget* owner) { return std::make_unique<TDialogStimulusFile>(owner); })},
        {"Remove devices", true, exec([](QWidget* owner) {
             return std::make_unique<TDialogRemoveFiles>(QStringLiteral("devices"), QStringList{"A"}, owner);
         })},
        {"Error! - Tolvane", false,
         [] {
             platform::QtMessageBoxes qtBoxes;
             qtBoxes.show(platform::kErrorCaption, "x", platform::BoxButtons::Ok, platform::BoxIcon::Error);
         }},
        {"Confirm", false,
         [] {
             platform::QtMessageBoxes qtBoxes;
             qtBoxes.show(platform::kConfirmCaption, "Save changes to x?", platform::BoxButtons::YesNoCancel,
                          platform::BoxIcon::Question);
         }},
        {"Find", false, exec([](QWidget* owner) {
             return std::make_unique<FindReplaceDialog>(FindReplaceDialog::Mode::Find, owner);
         })},
        {"Replace", false, exec([](QWidget* owner) {
             return std::make_unique<FindReplaceDialog>(FindReplaceDialog::Mode::Replace, owner);
         })},
        {"Find In Files", false, exec([](QWidget* owner) { return std::make_unique<TDialogFindInFiles>(owner); })},
        {"Select a directory to search.", true, [&form] { TDialogFindInFiles(&form).ButtonBrowseClick(); }},
        {"Add Watch", false, exec([](QWidget* owner) { return std::make_unique<TDialogAddWatch>(owner); })},
        {"Go To Address", false,
         [&form] { QtTextPrompt(&form).ask("Go To Address", "Enter the target address:", "0x00"); }},
        // The platform's own dialogs keep the size the user gives them.
        {"Open", true, [&form] { form.actions.openFile->trigger(); }},
        {"Open", true, [&form] { QtDebugFileDialog(&form).openFile("Program Files (*.hex)|*.hex", "hex"); }},
        {"Save As", true,
         [] {
             QtSaveFileDialog().Execute({"Project Files (*.prj)|*.prj", 1, "prj", "x.prj", ""});
         }},
        {"Select Font", true, [&form] { form.actions.editorFont->trigger(); }},
        {"Print", true,
         [] {
             PrintChoice choice;
             QtPrintService().AskOptions(choice);
         }},
    };
    for (const Case& c : cases) {
        bool seen = false;
        onNextDialog<QDialog>([&](QDialog& dialog) {
            seen = true;
            EXPECT_EQ(dialog.windowTitle(), c.caption);
            expectDialogBorder(dialog, c.sizable);
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        c.show();
        EXPECT_TRUE(seen) << c.caption;
    }
}

TEST_F(ShellWindows, SetEditorFontStartsAtTheFontTheEditorsShow)
{
    TMainForm form;
    activate(form);
    // A name this machine has no font of, as the default "Courier New" may be.
    form.editing.font.name = "No Such Font Family";
    const QString shown = QFontInfo(form.editing.font.ToQFont()).family();
    QString offered;
    onNextDialog<QFontDialog>([&](QFontDialog& dialog) {
        offered = dialog.currentFont().family();
        dialog.accept();
    });
    form.actions.editorFont->trigger();
    EXPECT_EQ(offered.toStdString(), shown.toStdString());
    EXPECT_EQ(form.editing.font.name, shown.toStdString());
    EXPECT_EQ(form.editing.font.size, 10);
}

TEST_F(ShellWindows, AFloatingToolWindowComesBackOnScreenAndADoubleClickOnItsTitleDocksIt)
{
    QMainWindow owner;
    owner.resize(900, 600);
    activate(owner);
    TDockableForm window(&owner, true, std::nullopt, TDockableForm::kFloat, QStringLiteral("Registers"));
    // Headless windows get their title bar from the platform; a title of the
    // window's own takes the double-click as the title Qt draws under X11 does.
    auto* title = new QLabel(QStringLiteral("Registers"));
    window.setTitleBarWidget(title);
    // As a project brings it back: floating, where a larger screen once was.
    window.Place(TDockableForm::kFloat, QRect(5000, 4000, 300, 200));
    window.SetHomeSite(TDockableForm::kDockRight);
    settle();
    EXPECT_TRUE(owner.screen()->availableGeometry().contains(window.geometry()));
    EXPECT_EQ(window.geometry().size(), QSize(300, 200));
    EXPECT_EQ(window.Placement(), TDockableForm::kFloat);

    QTest::mouseDClick(title, Qt::LeftButton);
    settle();
    EXPECT_FALSE(window.isFloating());
    EXPECT_EQ(owner.dockWidgetArea(&window), Qt::RightDockWidgetArea);
    EXPECT_EQ(window.Placement(), TDockableForm::kDockRight);

    // Floated again, it docks back where it was.
    window.Place(TDockableForm::kFloat, QRect(10, 10, 300, 200));
    QTest::mouseDClick(title, Qt::LeftButton);
    settle();
    EXPECT_EQ(window.Placement(), TDockableForm::kDockRight);
}

// Every value the settings file may hold: the IDE's settings, the device
// list, the JTAG plug-in's options.
bool isNamedSetting(const QString& key)
{
    static const QStringList settings =
        QStringLiteral(
            "AllowMultipleInstances AlwaysAllowRun FontName FontBold FontItalic FontSize FontCharset "
            "PrintLineNums TabSize UseTabs SaveDir OpenDir Device Compiler Bounds State "
            "AutoSaveBeforeCompile UseExternalEditor Devices/ZernJTAG ZERNJTAGOptions/ConfigFile "
            "ZERNJTAGOptions/SerialPort")
            .split(QLatin1Char(' '));
    const QString product = QStringLiteral("Software/Quorin Semiconductor/Tolvane/");
    if (!key.startsWith(product))
        return false;
    return settings.contains(key.mid(product.size()));
}

TEST_F(ShellWindows, InstallingAndRunningWriteOnlyTheSettingsThatAreNamed)
{
    // The plug-in in a folder of its own, its default configuration beside it.
    const QString library = makeFolder("plugin") + QStringLiteral("/libZernJTAG.so");
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZERNJTAG_PATH), library));
    QFile config(folders.file("plugin/ZERN7100.cfg"));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write("[DEVICE]\nAB\n");
    config.close();
    ASSERT_EQ(QProcess::execute(QStringLiteral(REGISTER_DEVICES), {library}), 0);
    {
        TMainForm form;
        activate(form);
        ASSERT_NE(form.deviceBinding().device(), nullptr);
        form.close();
    }
    QSettings file(folders.registryFile(), QSettings::IniFormat);
    const QStringList keys = file.allKeys();
    EXPECT_TRUE(keys.contains("Software/Quorin Semiconductor/Tolvane/Devices/ZernJTAG"));
    EXPECT_TRUE(keys.contains("Software/Quorin Semiconductor/Tolvane/ZERNJTAGOptions/ConfigFile"));
    EXPECT_TRUE(keys.contains("Software/Quorin Semiconductor/Tolvane/Device"));
    for (const QString& key : keys)
        EXPECT_TRUE(isNamedSetting(key)) << key.toStdString();
}

}  // namespace
