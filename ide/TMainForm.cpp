#include "TMainForm.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QToolBar>

#include "AbstractDevice.h"
#include "ApplicationEnd.h"
#include "DebugController.h"
#include "DeviceBinding.h"
#include "DialogBorder.h"
#include "DockSites.h"
#include "EditorWindows.h"
#include "HelpWindow.h"
#include "MainFormHosts.h"
#include "MdiArrangement.h"
#include "MessageBoxes.h"
#include "ProgramFolder.h"
#include "ProjectSession.h"
#include "QtDesktopDocuments.h"
#include "Registry.h"
#include "SearchCommands.h"
#include "ToolWindows.h"

namespace {

const QRect kDesignBounds(40, 40, 1024, 720);

QMenu* addMenu(QMenuBar* bar, const char* title, const QList<QAction*>& entries)
{
    QMenu* menu = bar->addMenu(QString::fromLatin1(title));
    for (QAction* entry : entries)
        if (entry)
            menu->addAction(entry);
        else
            menu->addSeparator();
    return menu;
}

QToolBar* addNamedToolBar(QMainWindow& window, const char* name, const QList<QAction*>& entries)
{
    QToolBar* bar = window.addToolBar(QString::fromLatin1(name));
    bar->setObjectName(QString::fromLatin1(name));
    bar->addActions(entries);
    return bar;
}

QString withCaption(const char* verb, const QString& caption)
{
    return caption.isEmpty() ? QString::fromLatin1(verb) : QString::fromLatin1(verb) + QLatin1Char(' ') + caption;
}

SavedWindowState savedState(const QWidget& window)
{
    if (window.isMinimized())
        return SavedWindowState::Minimized;
    if (window.isMaximized())
        return SavedWindowState::Maximized;
    return SavedWindowState::Normal;
}

}  // namespace

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent), actions(createMainActions(this)), mdiArea_(new QMdiArea(this))
{
    setWindowTitle(QStringLiteral("Tolvane"));
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);
    setGeometry(kDesignBounds);

    createMenus();
    createToolBars();
    connectWindowActions();
    gateDeviceActions();
    reportUnreadableSettings();
    createParts();
    // The device list first: on a first start its copy creates the settings
    // key, and a key without a Device value selects the first device.
    const bool devicesListed = binding_->LoadDeviceList();
    applyStartSettings();
    editors_->ApplyEditorFont(editing.font);
    connectFileActions();
    connectEditActions();
    connectProjectActions();
    connectDebugActions();
    connectDeviceActions();
    if (devicesListed)
        selectStartDevice();
    else
        platform::endApplication();
}

TMainForm::~TMainForm()
{
    // The worker ends before the device goes; the windows that call back into
    // the parts go while those still exist.
    debug_->Shutdown();
    delete mdiArea_;
    qDeleteAll(findChildren<QDockWidget*>(Qt::FindDirectChildrenOnly));
    delete binding_;
    debug_->SetDevice(nullptr);
}

void TMainForm::createMenus()
{
    const MainActions& a = actions;
    QMenuBar* bar = menuBar();
    constexpr QAction* separator = nullptr;

    menus.file =
        addMenu(bar, "&File",
                {a.newFile, a.openFile, a.saveFile, a.saveFileAs, a.closeFile, separator, a.print, separator, a.exit});
    menus.project = addMenu(bar, "&Project",
                            {a.newProject, a.openProject, a.saveProject, a.saveProjectAs, a.closeProject, separator,
                             a.addFiles, a.removeFile, separator, a.make, a.buildAll});
    menus.edit = addMenu(
        bar, "&Edit",
        {a.undo, separator, a.cut, a.copy, a.paste, a.deleteSelection, a.selectAll, separator, a.find, a.findNext,
         a.replace, a.findInFiles, separator, a.goToLine, separator, a.tabOptions, a.convertTabs, a.editorFont});
    menus.debug = addMenu(bar, "&Debug",
                          {a.toggleBreakpoint, separator, a.run, a.pause, a.stop, separator, a.stepInto, a.stepOver,
                           a.stepOut, a.runToCursor, separator, a.traceExecution});
    menus.traceSeparator = menus.debug->addSeparator();
    menus.debug->addActions({a.highLevelDebug, a.lowLevelDebug});
    menus.debug->addSeparator();
    menus.debug->addActions({a.make, a.buildAll});

    menus.device = bar->addMenu(QStringLiteral("De&vice"));
    menus.deviceListEnd = menus.device->addSeparator();
    menus.device->addActions({a.loadProgram, a.verifyProgram, a.setStimulusFile, a.setDataFile, a.deviceOptions});
    menus.deviceItemsStart = menus.device->addSeparator();
    menus.deviceItemsEnd = menus.device->addSeparator();
    menus.device->addActions({a.installDevice, a.removeDevice});

    menus.compiler = bar->addMenu(QStringLiteral("&Compiler"));
    menus.compilerListEnd = menus.compiler->addSeparator();
    menus.compiler->addAction(a.compilerOptions);
    // Shown once the selected device offers compilers.
    menus.compiler->menuAction()->setVisible(false);

    menus.window = bar->addMenu(QStringLiteral("&Window"));
    menus.show = menus.window->addMenu(QStringLiteral("Show"));
    menus.show->addActions({a.showBreakpoints, a.showCallStack, a.showFindInFiles, a.showMemory, a.showMessages,
                            a.showProject, a.showRegisters, a.showStatistics, a.showTrace, a.showVariables,
                            a.showWatches});
    menus.window->addActions({a.cascade, a.tileHorizontally, a.tileVertically, a.arrange, a.minimizeAll});
    menus.window->addSeparator();
    menus.window->addAction(a.refreshAll);

    menus.help = bar->addMenu(QStringLiteral("&Help"));
    menus.help->addAction(a.helpContents);
    menus.helpItemsEnd = menus.help->addSeparator();
    menus.help->addAction(a.about);
}

void TMainForm::createToolBars()
{
    const MainActions& a = actions;
    toolBars.file = addNamedToolBar(*this, "File", {a.newFile, a.openFile, a.saveFile});
    toolBars.edit = addNamedToolBar(*this, "Edit", {a.cut, a.copy, a.paste});
    toolBars.debug = addNamedToolBar(
        *this, "Debug", {a.toggleBreakpoint, a.run, a.pause, a.stop, a.stepInto, a.stepOver, a.stepOut, a.runToCursor});
    toolBars.compile = addNamedToolBar(*this, "Compile", {a.make, a.buildAll});
}

void TMainForm::connectWindowActions()
{
    const MainActions& a = actions;
    connect(a.exit, &QAction::triggered, this, &TMainForm::ExitApplication);
    connect(a.editorFont, &QAction::triggered, this, &TMainForm::chooseEditorFont);
    connect(a.openFile, &QAction::triggered, this, &TMainForm::chooseFilesToOpen);
    connect(a.cascade, &QAction::triggered, mdiArea_, &QMdiArea::cascadeSubWindows);
    connect(a.tileHorizontally, &QAction::triggered, this, [this] { tileHorizontally(*mdiArea_); });
    connect(a.tileVertically, &QAction::triggered, this, [this] { tileVertically(*mdiArea_); });
    connect(a.arrange, &QAction::triggered, this, [this] { arrangeMinimized(*mdiArea_); });
    connect(a.minimizeAll, &QAction::triggered, this, [this] { minimizeAll(*mdiArea_); });
    connect(a.helpContents, &QAction::triggered, this, &TMainForm::openHelpContents);
    connect(menus.show, &QMenu::aboutToShow, this, &TMainForm::listEditorWindows);
}

void TMainForm::gateDeviceActions()
{
    const MainActions& a = actions;
    deviceActions_ = new QActionGroup(this);
    deviceActions_->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    for (QAction* action :
         {a.make, a.buildAll, a.run, a.stepInto, a.stepOver, a.stepOut, a.runToCursor, a.pause, a.stop,
          a.traceExecution, a.loadProgram, a.verifyProgram, a.setStimulusFile, a.setDataFile, a.deviceOptions})
        deviceActions_->addAction(action);
    // An action of a disabled group stays disabled whatever its own state
    // says, and takes that state back when the group is enabled again.
    deviceActions_->setEnabled(false);
}

void TMainForm::enableDeviceActions(bool deviceSelected)
{
    deviceActions_->setEnabled(deviceSelected);
}

void TMainForm::reportUnreadableSettings()
{
    using platform::RegistryRoot;
    if (const auto problem = platform::registryFileProblem(RegistryRoot::CurrentUser))
        platform::showError("Unable to read the settings file " + platform::registryFile(RegistryRoot::CurrentUser)
                            + " (" + *problem + ").\r\nDefault settings are used, and that file is left as it is.");
}

void TMainForm::applyStartSettings()
{
    startSettings = readStartSettings();
    const StartSettings& s = startSettings;
    if (!s.keyExists)
        return;
    if (!s.tooLong.empty()) {
        std::string names;
        for (const std::string& name : s.tooLong)
            names += (names.empty() ? "" : ", ") + name;
        platform::showError("These settings are longer than " + std::to_string(kMaxSettingLength)
                            + " characters and are not used: " + names + ".");
    }
    if (s.alwaysAllowRun)
        actions.run->setEnabled(*s.alwaysAllowRun);
    editing.font = s.font;
    editing.printLineNumbers = s.printLineNumbers;
    editing.tabSize = s.tabSize;
    editing.useTabs = s.useTabs;
    saveDir = QString::fromStdString(s.saveDir);
    openDir = QString::fromStdString(s.openDir);
    if (s.bounds)
        setGeometry(s.bounds->left, s.bounds->top, s.bounds->width, s.bounds->height);
    if (s.state == SavedWindowState::Minimized)
        setWindowState(Qt::WindowMinimized);
    else if (s.state == SavedWindowState::Maximized)
        setWindowState(Qt::WindowMaximized);
}

void TMainForm::dockToolWindow(QDockWidget* window, Qt::DockWidgetArea site)
{
    dockIntoSite(*this, *window, site, std::nullopt);
    window->show();
    window->raise();
}

void TMainForm::UpdateFileActions(int state)
{
    const MainActions& a = actions;
    const QList<QAction*> fileActions{a.saveFile, a.saveFileAs, a.closeFile, a.toggleBreakpoint, a.goToLine,
                                      a.find,     a.findNext,   a.replace,   a.convertTabs,      a.print};
    if (state == kProjectOpen) {
        QMdiSubWindow* front = mdiArea_->currentSubWindow();
        const QString caption = front ? front->windowTitle() : QString();
        a.saveFile->setText(withCaption("Save", caption));
        a.closeFile->setText(withCaption("Close", caption));
        for (QAction* action : fileActions)
            action->setEnabled(true);
    } else if (mdiArea_->subWindowList().size() == 1) {
        a.saveFile->setText(QStringLiteral("Save"));
        a.closeFile->setText(QStringLiteral("Close"));
        for (QAction* action : fileActions)
            action->setEnabled(false);
    }
}

void TMainForm::UpdateEditActions(const EditCapabilities* editor)
{
    const EditCapabilities none;
    const EditCapabilities& can = editor ? *editor : none;
    actions.undo->setEnabled(can.undo);
    actions.cut->setEnabled(can.cut);
    actions.copy->setEnabled(can.copy);
    actions.paste->setEnabled(can.paste);
    actions.deleteSelection->setEnabled(can.deleteSelection);
    actions.selectAll->setEnabled(can.selectAll);
}

void TMainForm::UpdateProjectActions(int state, const QString& projectCaption)
{
    const MainActions& a = actions;
    const bool open = state == kProjectOpen;
    a.saveProject->setText(open ? withCaption("Save", projectCaption) : QStringLiteral("Save"));
    a.closeProject->setText(open ? withCaption("Close", projectCaption) : QStringLiteral("Close"));
    for (QAction* action : {a.saveProject, a.saveProjectAs, a.closeProject, a.showProject, a.addFiles, a.removeFile})
        action->setEnabled(open);
    debug_->projectOpenChanged(open);
}

void TMainForm::ExitApplication()
{
    close();
}

bool TMainForm::readyToExit()
{
    if (querySaveProject && querySaveProject() == kSaveCancel)
        return false;
    return SaveAllFiles(true) == kSaveGoOn;
}

int TMainForm::SaveAllFiles(bool ask)
{
    if (!saveEditorWindow)
        return kSaveGoOn;
    for (QMdiSubWindow* editor : mdiArea_->subWindowList(QMdiArea::CreationOrder))
        if (saveEditorWindow(editor, ask) == kSaveCancel)
            return kSaveCancel;
    return kSaveGoOn;
}

bool TMainForm::SaveSettings()
{
    // Takes in the folder of the last save.
    saveDialog();
    ClosingSettings settings;
    settings.saveDir = saveDir.toStdString();
    settings.openDir = openDir.toStdString();
    settings.device = binding_->deviceName().toStdString();
    if (binding_->device())
        settings.compiler = binding_->deviceCompilerName().toStdString();
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    settings.bounds = {normal.top(), normal.left(), normal.height(), normal.width()};
    settings.state = savedState(*this);
    const bool written = writeClosingSettings(settings);
    // The column switches of the open debug windows.
    toolWindows_->saveAtClose();
    return written;
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (!readyToExit()) {
        event->ignore();
        return;
    }
    // Its question was answered: ending closes a floating project window
    // without asking again.
    if (TFormProject* project = session_->Project())
        project->SetAskOnClose(false);
    SaveSettings();
    event->accept();
    // Floating tool windows must not keep the program alive.
    QCoreApplication::quit();
}

void TMainForm::bringToFront()
{
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void TMainForm::listEditorWindows()
{
    qDeleteAll(editorWindowEntries_);
    editorWindowEntries_.clear();
    const QList<QMdiSubWindow*> editors = mdiArea_->subWindowList(QMdiArea::CreationOrder);
    if (editors.isEmpty())
        return;
    editorWindowEntries_ << menus.show->addSeparator();
    int number = 0;
    for (QMdiSubWindow* editor : editors) {
        ++number;
        const QString prefix = number < 10 ? QStringLiteral("&%1 ").arg(number) : QStringLiteral("%1 ").arg(number);
        QAction* entry = menus.show->addAction(prefix + editor->windowTitle());
        entry->setCheckable(true);
        entry->setChecked(editor == mdiArea_->activeSubWindow());
        connect(entry, &QAction::triggered, this, [this, window = QPointer<QMdiSubWindow>(editor)] {
            if (window)
                mdiArea_->setActiveSubWindow(window);
        });
        editorWindowEntries_ << entry;
    }
}

void TMainForm::openHelpContents()
{
    // The manual ships beside the program as a web page, for the desktop's
    // browser; without one it shows in the IDE's own help window.
    const QString helpFile = QString::fromStdString(platform::programFolder()) + QStringLiteral("Tolvane.html");
    if (!QFileInfo(helpFile).isFile()) {
        platform::showError(helpFile.toStdString() + " does not exist.");
        return;
    }
    if (platform::openWithQtDesktop(QFile::encodeName(helpFile).toStdString()) == platform::DesktopOpen::Opened)
        return;
    auto* window = findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window)
        window = new HelpWindow(this);
    if (!window->showPage(helpFile))
        platform::showError("Unable to open help file.\r\n\r\n" + helpFile.toStdString());
}

void TMainForm::chooseEditorFont()
{
    // The family the editors really show: a named font this machine lacks
    // would leave the dialog at some other family, which OK would then take.
    QFont shown = editing.font.ToQFont();
    shown.setFamily(QFontInfo(shown).family());
    QFontDialog dialog(shown, this);
    platform::giveDialogBorder(dialog, platform::DialogSizing::Sizable);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QFont font = dialog.selectedFont();
    const int keptSize = editing.font.size;
    editing.font = EditorFont::FromQFont(font, editing.font.charset);
    // A font sized in pixels has no point size.
    if (editing.font.size <= 0)
        editing.font.size = keptSize;
    const auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, kSettingsKey, true);
    const bool written =
        key && key->writeString("FontName", editing.font.name) && key->writeBool("FontBold", editing.font.bold)
        && key->writeBool("FontItalic", editing.font.italic) && key->writeInteger("FontSize", editing.font.size)
        && key->writeInteger("FontCharset", editing.font.charset);
    if (!written)
        platform::showError("Unable to save the editor font.");
    emit editorFontChanged(editing.font);
}

QString TMainForm::openFileFilter() const
{
    return ProjectSession::QtFilter(ProjectSession::OpenProjectFilter(sourceExtension()));
}

QString TMainForm::dialogFolder(const QString& kept) const
{
    if (!kept.isEmpty())
        return kept;
    const TFormProject* project = session_->Project();
    if (project && !project->ProjectPath().isEmpty())
        return QFileInfo(project->ProjectPath()).absolutePath();
    return QDir::homePath();
}

QStringList TMainForm::askFilesToOpen(const QString& filter, bool several, int shownFilter,
                                      const QString& defaultExtension)
{
    QFileDialog dialog(this);
    dialog.setFileMode(several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setNameFilters(ProjectSession::QtFilter(filter).split(QStringLiteral(";;")));
    dialog.selectNameFilter(dialog.nameFilters().value(shownFilter));
    dialog.setDefaultSuffix(defaultExtension);
    dialog.setDirectory(dialogFolder(openDir));
    platform::giveDialogBorder(dialog, platform::DialogSizing::Sizable);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    openDir = QFileInfo(dialog.selectedFiles().first()).absolutePath();
    return dialog.selectedFiles();
}

void TMainForm::chooseFilesToOpen()
{
    // Source files are shown first.
    openFiles(askFilesToOpen(ProjectSession::OpenProjectFilter(sourceExtension()), true, 1, sourceExtension()));
}

void TMainForm::openFiles(const QStringList& paths)
{
    const QString project = QString::fromStdString(extensions.project);
    for (const QString& path : paths)
        openFileAs(path, QFileInfo(path).suffix().compare(project, Qt::CaseInsensitive) == 0);
}

void TMainForm::openFileAs(const QString& path, bool asProject)
{
    const auto& open = asProject ? openProject : openEditor;
    if (open && open(path) == OpenOutcome::FileNotFound)
        platform::showError(path.toStdString() + " does not exist.");
}
