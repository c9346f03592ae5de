#include <QAction>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <gtest/gtest.h>
#include <memory>
#include <set>

#include "AbstractDevice.h"
#include "DeviceBinding.h"
#include "DeviceList.h"
#include "FakeDeviceScript.h"
#include "HostileFiles.h"
#include "MessageBoxes.h"
#include "Registry.h"
#include "TFormRegisters.h"
#include "TMainForm.h"
#include "TestFolders.h"
#include "ToolWindows.h"

namespace {

using platform::RegistryKey;
using platform::RegistryRoot;

std::unique_ptr<RegistryKey> settingsKey()
{
    return RegistryKey::open(RegistryRoot::CurrentUser, "\\Software\\Quorin Semiconductor\\Tolvane\\", true);
}

QString plain(QString text)
{
    return text.remove(QLatin1Char('&'));
}

// One line per entry: "-" for a separator, "caption" or "caption [shortcut]",
// "caption >" for a submenu.
QStringList entries(const QList<QAction*>& actions)
{
    QStringList lines;
    for (QAction* action : actions) {
        if (action->isSeparator()) {
            lines << QStringLiteral("-");
            continue;
        }
        QString line = plain(action->text());
        if (action->menu())
            line += QStringLiteral(" >");
        if (!action->shortcut().isEmpty())
            line += QStringLiteral(" [") + action->shortcut().toString(QKeySequence::PortableText) + QLatin1Char(']');
        lines << line;
    }
    return lines;
}

QMenu* menuTitled(const TMainForm& form, const char* title)
{
    for (QAction* top : form.menuBar()->actions())
        if (plain(top->text()) == QLatin1String(title))
            return top->menu();
    return nullptr;
}

QList<QAction*> allMenuActions(const QMenu& menu)
{
    QList<QAction*> all;
    for (QAction* action : menu.actions()) {
        if (action->menu())
            all += allMenuActions(*action->menu());
        else if (!action->isSeparator())
            all << action;
    }
    return all;
}

QMdiSubWindow* addEditorWindow(TMainForm& form, const char* caption)
{
    auto* editor = new QWidget;
    editor->setWindowTitle(QString::fromLatin1(caption));
    QMdiSubWindow* window = form.mdiArea()->addSubWindow(editor);
    window->show();
    form.mdiArea()->setActiveSubWindow(window);
    return window;
}

class MainWindow : public testing::Test {
protected:
    // The fake device plug-in, selected by the next main window.
    void installFakeDevice()
    {
        script.install();
        RegistryKey::open(RegistryRoot::CurrentUser, devices::kDevicesKey, true)->writeString("Fake", FAKE_DEVICE);
        settingsKey()->writeString("Device", "Fake");
    }

    ScopedTestFolders folders;
    FakeDeviceScript script;
};

TEST_F(MainWindow, MenusHoldEveryItemWithItsCaptionAndShortcut)
{
    TMainForm form;
    QStringList titles;
    for (QAction* top : form.menuBar()->actions())
        titles << plain(top->text());
    EXPECT_EQ(titles, QStringList({"File", "Project", "Edit", "Debug", "Device", "Compiler", "Window", "Help"}));

    const std::map<const char*, QStringList> expected{
        {"File",
         {"New File [Ctrl+N]", "Open File... [Ctrl+O]", "Save File [Ctrl+S]", "Save As...", "Close File", "-",
          "Print...", "-", "Exit"}},
        {"Project",
         {"New Project", "Open Project...", "Save Project", "Save Project As...", "Close Project", "-", "Add Files...",
          "Remove File", "-", "Make [F7]", "Build All"}},
        {"Edit",
         {"Undo [Ctrl+Z]", "-", "Cut [Ctrl+X]", "Copy [Ctrl+C]", "Paste [Ctrl+V]", "Delete", "Select All [Ctrl+A]", "-",
          "Find... [Ctrl+F]", "Find Next [F3]", "Replace... [Ctrl+H]", "Find In Files...", "-",
          "Go To Line... [Ctrl+G]", "-", "Tab Options...", "Convert Tabs To Spaces", "Set Editor Font..."}},
        {"Debug",
         {"Toggle Breakpoint", "-", "Run [F5]", "Pause", "Stop [Shift+F5]", "-", "Step Into [F11]", "Step Over [F10]",
          "Step Out [Shift+F11]", "Run To Cursor [Ctrl+F10]", "-", "Trace Execution", "-", "High-Level Debug",
          "Low-Level Debug", "-", "Make [F7]", "Build All"}},
        {"Device",
         {"-", "Load...", "Verify...", "Set Stimulus File...", "Set Data File...", "Options...", "-", "-",
          "Install New Device...", "Remove Device..."}},
        {"Compiler", {"-", "Options..."}},
        {"Window",
         {"Show >", "Cascade", "Tile Horizontally", "Tile Vertically", "Arrange", "Minimize All", "-",
          "Refresh All Windows [F9]"}},
        {"Help", {"Contents [F1]", "-", "About..."}},
    };
    for (const auto& [title, lines] : expected) {
        QMenu* menu = menuTitled(form, title);
        ASSERT_NE(menu, nullptr) << title;
        EXPECT_EQ(entries(menu->actions()), lines) << title;
    }
    EXPECT_EQ(entries(form.menus.show->actions()),
              QStringList({"Breakpoints", "Call Stack", "Find In Files", "Memory", "Messages", "Project", "Registers",
                           "Statistics", "Trace", "Variables", "Watches"}));
}

TEST_F(MainWindow, ToolBarsCarryTheirButtons)
{
    TMainForm form;
    std::map<QString, QStringList> bars;
    for (QToolBar* bar : form.findChildren<QToolBar*>())
        bars[bar->windowTitle()] = entries(bar->actions());
    EXPECT_EQ(bars[QStringLiteral("File")],
              QStringList({"New File [Ctrl+N]", "Open File... [Ctrl+O]", "Save File [Ctrl+S]"}));
    EXPECT_EQ(bars[QStringLiteral("Edit")], QStringList({"Cut [Ctrl+X]", "Copy [Ctrl+C]", "Paste [Ctrl+V]"}));
    EXPECT_EQ(bars[QStringLiteral("Debug")],
              QStringList({"Toggle Breakpoint", "Run [F5]", "Pause", "Stop [Shift+F5]", "Step Into [F11]",
                           "Step Over [F10]", "Step Out [Shift+F11]", "Run To Cursor [Ctrl+F10]"}));
    EXPECT_EQ(bars[QStringLiteral("Compile")], QStringList({"Make [F7]", "Build All"}));
    EXPECT_EQ(bars.size(), 4u);
}

// A button without an icon shows its caption instead, whatever the desktop's
// icon theme holds.
TEST_F(MainWindow, EveryToolButtonHasAnIcon)
{
    TMainForm form;
    for (QToolBar* bar : form.findChildren<QToolBar*>())
        for (QAction* action : bar->actions())
            EXPECT_FALSE(action->icon().pixmap(16, 16).isNull())
                << bar->windowTitle().toStdString() << ": " << action->text().toStdString();
}

TEST_F(MainWindow, InitiallyOnlyTheActionsThatNeedNoEditorProjectRunOrDeviceAreEnabled)
{
    TMainForm form;
    const std::set<QString> disabled{"File/Save File",
                                     "File/Save As...",
                                     "File/Close File",
                                     "File/Print...",
                                     "Edit/Undo",
                                     "Edit/Cut",
                                     "Edit/Copy",
                                     "Edit/Paste",
                                     "Edit/Delete",
                                     "Edit/Select All",
                                     "Edit/Find...",
                                     "Edit/Find Next",
                                     "Edit/Replace...",
                                     "Edit/Go To Line...",
                                     "Debug/Toggle Breakpoint",
                                     "Edit/Convert Tabs To Spaces",
                                     "Project/Save Project",
                                     "Project/Save Project As...",
                                     "Project/Close Project",
                                     "Project/Add Files...",
                                     "Project/Remove File",
                                     "Window/Project",
                                     "Project/Make",
                                     "Project/Build All",
                                     "Debug/Make",
                                     "Debug/Build All",
                                     "Debug/Run",
                                     "Debug/Pause",
                                     "Debug/Stop",
                                     "Debug/Step Into",
                                     "Debug/Step Over",
                                     "Debug/Step Out",
                                     "Debug/Run To Cursor",
                                     "Debug/Trace Execution",
                                     "Device/Load...",
                                     "Device/Verify...",
                                     "Device/Set Stimulus File...",
                                     "Device/Set Data File...",
                                     "Device/Options..."};
    std::set<QString> actual;
    int count = 0;
    for (QAction* top : form.menuBar()->actions())
        for (QAction* action : allMenuActions(*top->menu())) {
            ++count;
            if (!action->isEnabled())
                actual.insert(plain(top->text()) + QLatin1Char('/') + plain(action->text()));
        }
    EXPECT_EQ(actual, disabled);
    EXPECT_EQ(count, 9 - 2 + 11 - 2 + 18 - 4 + 18 - 5 + 10 - 3 + 2 - 1 + 8 - 2 + 11 + 3 - 1);
    EXPECT_TRUE(form.actions.highLevelDebug->isChecked());
    EXPECT_FALSE(form.actions.lowLevelDebug->isChecked());
    EXPECT_FALSE(form.actions.traceExecution->isChecked());
    form.actions.lowLevelDebug->trigger();
    EXPECT_FALSE(form.actions.highLevelDebug->isChecked());
}

TEST_F(MainWindow, AlwaysAllowRunEnablesRunAtStartAndAfterTheProjectCloses)
{
    installFakeDevice();
    {
        TMainForm form;
        form.UpdateProjectActions(kProjectOpen, QStringLiteral("blink"));
        EXPECT_TRUE(form.actions.run->isEnabled());
        form.UpdateProjectActions(kNoProject);
        EXPECT_FALSE(form.actions.run->isEnabled());
    }
    settingsKey()->writeBool("AlwaysAllowRun", true);
    TMainForm form;
    EXPECT_TRUE(form.actions.run->isEnabled());
    EXPECT_FALSE(form.actions.stepInto->isEnabled());
    form.UpdateProjectActions(kProjectOpen, QStringLiteral("blink"));
    form.UpdateProjectActions(kNoProject);
    EXPECT_TRUE(form.actions.run->isEnabled());
}

TEST_F(MainWindow, ProjectActionsFollowTheProjectAndItsCaption)
{
    installFakeDevice();
    TMainForm form;
    const MainActions& a = form.actions;
    const QList<QAction*> projectActions{a.saveProject, a.saveProjectAs, a.closeProject, a.showProject,
                                         a.addFiles,    a.removeFile,    a.make,         a.buildAll,
                                         a.run,         a.stepInto,      a.runToCursor};
    form.UpdateProjectActions(kProjectOpen, QStringLiteral("blink.prj"));
    EXPECT_EQ(a.saveProject->text(), "Save blink.prj");
    EXPECT_EQ(a.closeProject->text(), "Close blink.prj");
    for (QAction* action : projectActions)
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
    EXPECT_FALSE(a.stepOver->isEnabled());

    form.UpdateProjectActions(kNoProject);
    EXPECT_EQ(a.saveProject->text(), "Save");
    EXPECT_EQ(a.closeProject->text(), "Close");
    for (QAction* action : projectActions)
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
    EXPECT_TRUE(a.newProject->isEnabled());
    EXPECT_TRUE(a.openProject->isEnabled());
}

TEST_F(MainWindow, FileActionsFollowTheFrontEditorAndTheLastOneClosing)
{
    TMainForm form;
    const MainActions& a = form.actions;
    const QList<QAction*> fileActions{a.saveFile, a.saveFileAs, a.closeFile, a.toggleBreakpoint, a.goToLine,
                                      a.find,     a.findNext,   a.replace,   a.convertTabs,      a.print};
    QMdiSubWindow* first = addEditorWindow(form, "blink.asm");
    form.UpdateFileActions(kProjectOpen);
    QMdiSubWindow* second = addEditorWindow(form, "vectors.asm");
    form.UpdateFileActions(kProjectOpen);
    EXPECT_EQ(a.saveFile->text(), "Save vectors.asm");
    EXPECT_EQ(a.closeFile->text(), "Close vectors.asm");
    for (QAction* action : fileActions)
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();

    form.UpdateFileActions(kNoProject);
    EXPECT_EQ(a.saveFile->text(), "Save vectors.asm");
    EXPECT_TRUE(a.saveFile->isEnabled());
    delete second;
    form.UpdateFileActions(kNoProject);
    EXPECT_EQ(a.saveFile->text(), "Save");
    EXPECT_EQ(a.closeFile->text(), "Close");
    for (QAction* action : fileActions)
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
    delete first;
}

TEST_F(MainWindow, EditActionsFollowWhatTheFrontEditorCanDo)
{
    TMainForm form;
    EditCapabilities editor;
    editor.copy = true;
    editor.selectAll = true;
    form.UpdateEditActions(&editor);
    EXPECT_TRUE(form.actions.copy->isEnabled());
    EXPECT_TRUE(form.actions.selectAll->isEnabled());
    EXPECT_FALSE(form.actions.paste->isEnabled());
    EXPECT_FALSE(form.actions.undo->isEnabled());
    form.UpdateEditActions(nullptr);
    EXPECT_FALSE(form.actions.copy->isEnabled());
    EXPECT_FALSE(form.actions.selectAll->isEnabled());
}

TEST_F(MainWindow, SettingsWrittenAtCloseAreReadAtTheNextStart)
{
    {
        TMainForm form;
        form.show();
        form.setGeometry(120, 90, 800, 500);
        form.saveDir = QStringLiteral("/tmp/save here");
        form.openDir = QStringLiteral("/tmp/open");
        // An open debug window saves its column switches too.
        form.actions.showRegisters->trigger();
        auto* registers = form.toolWindows().openWindowAs<TFormRegisters>(tolvane::kViewRegisters);
        ASSERT_NE(registers, nullptr);
        registers->columns().MenuItemClicked(RegisterTableModel::Decimal);
        EXPECT_TRUE(form.close());
    }
    const auto key = settingsKey();
    EXPECT_EQ(key->readString("Bounds"), "90:120:500:800");
    EXPECT_EQ(key->readInteger("State"), 0);
    EXPECT_FALSE(key->hasValue("Compiler"));
    EXPECT_EQ(key->readBool("RegistersShowDecimal"), false);
    EXPECT_EQ(key->readBool("RegistersShowHex"), true);
    key->writeString("TabSize", "8");
    key->writeBool("UseTabs", false);
    key->writeInteger("FontSize", 12);

    TMainForm form;
    EXPECT_EQ(form.geometry(), QRect(120, 90, 800, 500));
    EXPECT_EQ(form.saveDir, "/tmp/save here");
    EXPECT_EQ(form.openDir, "/tmp/open");
    EXPECT_EQ(form.startSettings.device, "");
    EXPECT_EQ(form.editing.tabSize, 8);
    EXPECT_FALSE(form.editing.useTabs);
    EXPECT_EQ(form.editing.font.size, 12);
    EXPECT_EQ(form.editing.font.name, "Courier New");
}

TEST_F(MainWindow, SavedStateIsTakenWhenTheWindowIsShown)
{
    settingsKey()->writeInteger("State", 2);
    {
        TMainForm form;
        form.show();
        EXPECT_TRUE(form.isMaximized());
    }
    settingsKey()->writeInteger("State", 1);
    TMainForm form;
    form.show();
    EXPECT_TRUE(form.isMinimized());
    form.bringToFront();
    EXPECT_FALSE(form.isMinimized());
}

TEST_F(MainWindow, MalformedBoundsStillOpenTheWindowAtItsDesignBounds)
{
    const QRect design = TMainForm().geometry();
    for (const char* bounds : {"12:abc:300:400", "1:2:3", "10:10:-5:100", "::::"}) {
        settingsKey()->writeString("Bounds", bounds);
        settingsKey()->writeString("State", "x");
        TMainForm form;
        form.show();
        EXPECT_TRUE(form.isVisible()) << bounds;
        EXPECT_EQ(form.geometry(), design) << bounds;
        EXPECT_FALSE(form.isMinimized() || form.isMaximized()) << bounds;
    }
}

TEST_F(MainWindow, ACancelledProjectQuestionKeepsTheIdeOpenAndAsksNoEditor)
{
    TMainForm form;
    form.show();
    addEditorWindow(form, "blink.asm");
    std::vector<std::string> asked;
    form.querySaveProject = [&] {
        asked.push_back("project");
        return kSaveCancel;
    };
    form.saveEditorWindow = [&](QMdiSubWindow* editor, bool ask) {
        asked.push_back(editor->windowTitle().toStdString() + (ask ? " ask" : " save"));
        return kSaveGoOn;
    };
    form.ExitApplication();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(asked, std::vector<std::string>{"project"});
    EXPECT_FALSE(settingsKey()->hasValue("Bounds"));

    form.querySaveProject = [&] {
        asked.push_back("project");
        return kSaveGoOn;
    };
    form.ExitApplication();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(asked, (std::vector<std::string>{"project", "project", "blink.asm ask"}));
    EXPECT_TRUE(settingsKey()->hasValue("Bounds"));
}

TEST_F(MainWindow, SavingAllFilesStopsAtTheFirstRefusal)
{
    TMainForm form;
    addEditorWindow(form, "a.asm");
    addEditorWindow(form, "b.asm");
    addEditorWindow(form, "c.asm");
    std::vector<std::string> walked;
    form.saveEditorWindow = [&](QMdiSubWindow* editor, bool) {
        walked.push_back(editor->windowTitle().toStdString());
        return editor->windowTitle() == QLatin1String("b.asm") ? kSaveCancel : kSaveGoOn;
    };
    EXPECT_EQ(form.SaveAllFiles(false), kSaveCancel);
    EXPECT_EQ(walked, (std::vector<std::string>{"a.asm", "b.asm"}));
}

TEST_F(MainWindow, OpenedFilesGoToTheProjectReaderOrAnEditorAndMissingOnesAreReported)
{
    TMainForm form;
    EXPECT_EQ(form.openFileFilter(), "Project Files (*.prj);;Source Files (*.asm);;All Files (*)");
    QStringList projects;
    QStringList editors;
    form.openProject = [&](const QString& path) {
        projects << path;
        return OpenOutcome::Opened;
    };
    form.openEditor = [&](const QString& path) {
        editors << path;
        return path.contains(QLatin1String("gone")) ? OpenOutcome::FileNotFound : OpenOutcome::Opened;
    };
    platform::RecordingMessageBoxes boxes;
    platform::ScopedMessageBoxes scope(boxes);
    form.openFiles({"/p/blink.PRJ", "/p/gone.asm", "/p/main.asm", "/p/notes.prj.txt"});
    EXPECT_EQ(projects, QStringList({"/p/blink.PRJ"}));
    EXPECT_EQ(editors, QStringList({"/p/gone.asm", "/p/main.asm", "/p/notes.prj.txt"}));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Error! - Tolvane");
    EXPECT_EQ(boxes.boxes[0].text, "/p/gone.asm does not exist.");
}

TEST_F(MainWindow, ShowMenuListsTheEditorWindows)
{
    TMainForm form;
    form.show();
    QMdiSubWindow* first = addEditorWindow(form, "a.asm");
    addEditorWindow(form, "b.asm");
    for (int round = 0; round < 2; ++round) {
        emit form.menus.show->aboutToShow();
        const QStringList lines = entries(form.menus.show->actions());
        ASSERT_EQ(lines.size(), 14);
        EXPECT_EQ(lines.mid(11), QStringList({"-", "1 a.asm", "2 b.asm"}));
    }
    form.menus.show->actions()[12]->trigger();
    EXPECT_EQ(form.mdiArea()->activeSubWindow(), first);
}

TEST_F(MainWindow, TilingSharesTheAreaAmongTheOpenEditorWindows)
{
    TMainForm form;
    form.show();
    QMdiSubWindow* first = addEditorWindow(form, "a.asm");
    QMdiSubWindow* second = addEditorWindow(form, "b.asm");
    const QRect area = form.mdiArea()->viewport()->rect();

    form.actions.tileHorizontally->trigger();
    EXPECT_EQ(first->geometry(), QRect(0, 0, area.width(), area.height() / 2));
    EXPECT_EQ(second->geometry().top(), area.height() / 2);
    EXPECT_EQ(second->geometry().bottom(), area.bottom());

    form.actions.tileVertically->trigger();
    EXPECT_EQ(first->geometry(), QRect(0, 0, area.width() / 2, area.height()));
    EXPECT_EQ(second->geometry().right(), area.right());

    form.actions.minimizeAll->trigger();
    EXPECT_TRUE(first->isMinimized());
    EXPECT_TRUE(second->isMinimized());
}

TEST_F(MainWindow, ToolWindowsShareADockSiteAsPages)
{
    TMainForm form;
    form.show();
    auto* registers = new QDockWidget(QStringLiteral("Registers"), &form);
    auto* watches = new QDockWidget(QStringLiteral("Watches"), &form);
    auto* memory = new QDockWidget(QStringLiteral("Memory"), &form);
    form.dockToolWindow(registers, Qt::RightDockWidgetArea);
    form.dockToolWindow(watches, Qt::RightDockWidgetArea);
    form.dockToolWindow(memory, Qt::BottomDockWidgetArea);
    EXPECT_EQ(form.dockWidgetArea(watches), Qt::RightDockWidgetArea);
    EXPECT_EQ(form.tabifiedDockWidgets(registers), QList<QDockWidget*>{watches});
    EXPECT_EQ(form.dockWidgetArea(memory), Qt::BottomDockWidgetArea);
    EXPECT_TRUE(form.tabifiedDockWidgets(memory).isEmpty());
}

TEST_F(MainWindow, AFirstStartWithOnlyTheMachineWideListSelectsItsFirstDevice)
{
    script.install();
    script.compilers = {"Quorin Assembler"};
    RegistryKey::open(RegistryRoot::LocalMachine, devices::kDevicesKey, true)->writeString("ZernJTAG", FAKE_DEVICE);
    ASSERT_FALSE(QFile::exists(folders.registryFile()));
    platform::RecordingMessageBoxes boxes;
    platform::ScopedMessageBoxes scoped(boxes);

    TMainForm form;
    ASSERT_NE(form.deviceBinding().device(), nullptr);
    EXPECT_EQ(form.deviceBinding().deviceName(), "ZernJTAG");
    EXPECT_TRUE(form.menus.device->actions().first()->isChecked());
    EXPECT_TRUE(form.menus.compiler->menuAction()->isVisible());
    EXPECT_EQ(form.deviceBinding().compilerName(), "Quorin Assembler");
    EXPECT_TRUE(boxes.boxes.empty());
}

// A settings file that cannot be read is named once; the IDE starts as on a
// first start and writes its settings elsewhere, so the file stays as it is.
TEST_F(MainWindow, AnUnreadableSettingsFileIsNamedAndLeftAsItIs)
{
    script.install();
    const QByteArray garbage(
        "\x7f"
        "ELF\x02\x01\n[\xff\xfe\n",
        11);
    for (const bool asFifo : {false, true}) {
        SCOPED_TRACE(asFifo ? "fifo" : "garbage");
        ScopedTestFolders own;
        RegistryKey::open(RegistryRoot::LocalMachine, devices::kDevicesKey, true)->writeString("Fake", FAKE_DEVICE);
        const QString file = own.registryFile();
        QDir().mkpath(QFileInfo(file).path());
        std::unique_ptr<test_support::GuardedFifo> fifo;
        if (asFifo) {
            fifo = std::make_unique<test_support::GuardedFifo>(file.toStdString());
        } else {
            QFile out(file);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(garbage);
        }
        platform::RecordingMessageBoxes boxes;
        platform::ScopedMessageBoxes scoped(boxes);
        {
            TMainForm form;
            ASSERT_EQ(boxes.boxes.size(), 1u);
            EXPECT_EQ(boxes.boxes[0].text.rfind("Unable to read the settings file " + file.toStdString(), 0), 0u)
                << boxes.boxes[0].text;
            EXPECT_EQ(form.deviceBinding().deviceName(), "Fake");
            form.show();
            EXPECT_TRUE(form.close());
        }
        if (asFifo) {
            EXPECT_TRUE(QFileInfo(file).exists() && !QFileInfo(file).isFile());
        } else {
            QFile in(file);
            ASSERT_TRUE(in.open(QIODevice::ReadOnly));
            EXPECT_EQ(in.readAll(), garbage);
        }
    }
}

TEST_F(MainWindow, ASettingsTextLongerThanAnyNameIsNamedAndNotUsed)
{
    settingsKey()->writeString("FontName", std::string(kMaxSettingLength + 1, 'F'));
    platform::RecordingMessageBoxes boxes;
    platform::ScopedMessageBoxes scoped(boxes);
    TMainForm form;
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "These settings are longer than 4096 characters and are not used: FontName.");
    EXPECT_EQ(form.editing.font.name, "Courier New");
}

}  // namespace
