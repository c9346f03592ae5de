// The main window's parts and the actions that reach them: device
// selection, project, editor windows, search and debug control.

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <Qsci/qsciscintillabase.h>

#include "AbstractDevice.h"
#include "BreakpointList.h"
#include "DebugController.h"
#include "DebugViews.h"
#include "DeviceBinding.h"
#include "EditorWindows.h"
#include "FindInFiles.h"
#include "MainFormHosts.h"
#include "ProjectSession.h"
#include "SaveFileDialog.h"
#include "SearchCommands.h"
#include "TDialogAbout.h"
#include "TDialogDataFile.h"
#include "TDialogStimulusFile.h"
#include "TFormEditor.h"
#include "TMainForm.h"
#include "ToolWindows.h"

void TMainForm::createParts()
{
    deviceHost_ = std::make_unique<MainDeviceHost>(*this);
    debugHost_ = std::make_unique<MainDebugHost>(*this);
    projectHost_ = std::make_unique<MainProjectHost>(*this);
    editorHost_ = std::make_unique<MainEditorHost>(*this);
    debugViewHost_ = std::make_unique<MainDebugViewHost>(*this);
    debug_ = std::make_unique<DebugController>(*debugHost_);

    DeviceMenus deviceMenus;
    deviceMenus.device = menus.device;
    deviceMenus.deviceCommandsSeparator = menus.deviceListEnd;
    deviceMenus.separatorA = menus.deviceItemsStart;
    deviceMenus.separatorB = menus.deviceItemsEnd;
    deviceMenus.help = menus.help;
    deviceMenus.helpContents = actions.helpContents;
    deviceMenus.helpAboutSeparator = menus.helpItemsEnd;
    deviceMenus.compiler = menus.compiler;
    deviceMenus.compilerSeparator = menus.compilerListEnd;
    deviceMenus.lowLevelDebug = actions.lowLevelDebug;
    const MainActions& a = actions;
    deviceMenus.featureActions = {
        {tolvane::kViewRegisters, {a.showRegisters}},
        {tolvane::kViewCallStack, {a.showCallStack}},
        {tolvane::kViewMemory, {a.showMemory}},
        {tolvane::kViewStatistics, {a.showStatistics}},
        {tolvane::kFeatureLoadProgram, {a.loadProgram}},
        {tolvane::kFeatureVerifyProgram, {a.verifyProgram}},
        {tolvane::kFeatureStimulusFile, {a.setStimulusFile}},
        {tolvane::kFeatureDataFile, {a.setDataFile}},
        {tolvane::kViewTrace, {a.showTrace, a.traceExecution, menus.traceSeparator}},
        {tolvane::kFeatureDeviceOptions, {a.deviceOptions, menus.deviceItemsStart}},
        {tolvane::kViewVariables, {a.showVariables}},
        {tolvane::kViewWatches, {a.showWatches}},
    };
    binding_ = new DeviceBinding(*deviceHost_, deviceMenus, this);

    session_ = new ProjectSession(*projectHost_, this);
    editors_ = new EditorWindows(*editorHost_, *mdiArea_);
    editors_->setParent(this);
    breakpoints_ = new BreakpointList(this);
    connectBreakpointList();
    createToolWindows();
    registerDebugViews(*toolWindows_, *debugViewHost_);
    registerFindInFiles(*toolWindows_, actions.findInFiles, *editors_, *editorHost_,
                        {[this]() -> std::optional<QStringList> {
                             if (TFormProject* project = session_->Project())
                                 return project->GetProjectFiles();
                             return std::nullopt;
                         },
                         [this] { return dialogFolder({}); }},
                        this);
    // The shared dialogs, in the order the program has always made them.
    search_ = std::make_unique<SearchCommands>(*editors_, *editorHost_, this);
    aboutDialog_ = new TDialogAbout(*binding_, this);
    dataDialog_ = new TDialogDataFile(this);
    stimulusDialog_ = new TDialogStimulusFile(this);

    openProject = [this](const QString& path) {
        if (!QFileInfo::exists(path))
            return OpenOutcome::FileNotFound;
        if (session_->OpenProject(path))
            showOpenedProjectCaption();
        return OpenOutcome::Opened;
    };
    openEditor = [this](const QString& path) {
        return editors_->TryOpenEditor(path) == EditorWindows::Opening::FileNotFound ? OpenOutcome::FileNotFound
                                                                                     : OpenOutcome::Opened;
    };
    querySaveProject = [this] { return session_->QueryExit(); };
    saveEditorWindow = [this](QMdiSubWindow* window, bool ask) {
        TFormEditor* editor = EditorWindows::EditorIn(window);
        return editor ? editors_->SaveEditor(*editor, ask) : kSaveGoOn;
    };
}

void TMainForm::selectStartDevice()
{
    if (!startSettings.keyExists)
        return;
    if (startSettings.device.empty())
        binding_->SelectFirstDevice();
    else
        binding_->SelectDeviceByName(QString::fromStdString(startSettings.device));
    binding_->SelectCompilerByName(QString::fromStdString(startSettings.compiler));
}

SaveFileDialog& TMainForm::saveDialog() const
{
    return editorHost_->saveDialog();
}

void TMainForm::replaceSaveDialog(std::unique_ptr<SaveFileDialog> dialog)
{
    editorHost_->ReplaceSaveDialog(std::move(dialog));
}

QString TMainForm::sourceExtension() const
{
    return binding_->sourceExtension();
}

void TMainForm::showOpenedProjectCaption()
{
    // The project window announces itself before the session holds it.
    UpdateProjectActions(kProjectOpen, session_->Project()->windowTitle());
}

void TMainForm::runOnFrontEditor(const std::function<void(TFormEditor&)>& command)
{
    if (TFormEditor* front = editors_->FrontEditor())
        command(*front);
}

void TMainForm::updateFrontEditActions()
{
    editorHost_->UpdateEditActions(editors_->FrontEditor());
}

void TMainForm::connectFileActions()
{
    const MainActions& a = actions;
    connect(a.newFile, &QAction::triggered, this, [this] { editors_->NewFile(); });
    connect(a.saveFile, &QAction::triggered, this, [this] { runOnFrontEditor([](TFormEditor& e) { e.Save(); }); });
    connect(a.saveFileAs, &QAction::triggered, this, [this] { runOnFrontEditor([](TFormEditor& e) { e.SaveAs(); }); });
    connect(a.closeFile, &QAction::triggered, this, [this] {
        if (QMdiSubWindow* front = mdiArea_->currentSubWindow())
            front->close();
    });
    connect(a.print, &QAction::triggered, this, [this] { runOnFrontEditor([](TFormEditor& e) { e.PrintFile(); }); });
}

void TMainForm::runEditCommand(QAction* action, unsigned int command, QKeyCombination key)
{
    // The window-wide shortcuts reach every widget of the window: a tool
    // window that has the focus gets the editing key itself, as if no
    // shortcut had taken it. The action steps aside meanwhile, or the key
    // would come back to it as its shortcut.
    QWidget* focus = QApplication::focusWidget();
    if (focus && focus->window() == this && !mdiArea_->isAncestorOf(focus)) {
        const bool enabled = action->isEnabled();
        action->setEnabled(false);
        QKeyEvent press(QEvent::KeyPress, key.key(), key.keyboardModifiers());
        QCoreApplication::sendEvent(focus, &press);
        QKeyEvent release(QEvent::KeyRelease, key.key(), key.keyboardModifiers());
        QCoreApplication::sendEvent(focus, &release);
        action->setEnabled(enabled);
        return;
    }
    runOnFrontEditor([command](TFormEditor& e) { e.Command(command); });
    updateFrontEditActions();
}

void TMainForm::connectEditActions()
{
    using S = QsciScintillaBase;
    const MainActions& a = actions;
    const struct {
        QAction* action;
        unsigned int command;
        QKeyCombination key;
    } commands[] = {
        {a.undo, S::SCI_UNDO, Qt::ControlModifier | Qt::Key_Z},
        {a.cut, S::SCI_CUT, Qt::ControlModifier | Qt::Key_X},
        {a.copy, S::SCI_COPY, Qt::ControlModifier | Qt::Key_C},
        {a.paste, S::SCI_PASTE, Qt::ControlModifier | Qt::Key_V},
        {a.deleteSelection, S::SCI_CLEAR, QKeyCombination(Qt::Key_Delete)},
        {a.selectAll, S::SCI_SELECTALL, Qt::ControlModifier | Qt::Key_A},
    };
    for (const auto& [action, command, key] : commands)
        connect(action, &QAction::triggered, this,
                [this, action = action, command = command, key = key] { runEditCommand(action, command, key); });
    SearchCommands* search = search_.get();
    connect(a.find, &QAction::triggered, search, &SearchCommands::ActionFindExecute);
    connect(a.findNext, &QAction::triggered, search, &SearchCommands::ActionFindNextExecute);
    connect(a.replace, &QAction::triggered, search, &SearchCommands::ActionReplaceExecute);
    connect(a.goToLine, &QAction::triggered, search, &SearchCommands::ActionGotoLineExecute);
    connect(a.tabOptions, &QAction::triggered, this, [this] { editors_->ActionTabOptionsExecute(this); });
    connect(a.convertTabs, &QAction::triggered, this,
            [this] { runOnFrontEditor([](TFormEditor& e) { e.ConvertTabsToSpaces(); }); });
    connect(a.toggleBreakpoint, &QAction::triggered, this,
            [this] { runOnFrontEditor([](TFormEditor& e) { e.ToggleBreakpoint(e.CurrentLine(), true); }); });
    connect(this, &TMainForm::editorFontChanged, editors_, &EditorWindows::ApplyEditorFont);
}

void TMainForm::connectProjectActions()
{
    const MainActions& a = actions;
    connect(a.newProject, &QAction::triggered, this, [this] {
        if (session_->OpenProject(QString()))
            showOpenedProjectCaption();
    });
    connect(a.openProject, &QAction::triggered, this, &TMainForm::chooseProjectToOpen);
    connect(a.saveProject, &QAction::triggered, this, [this] { session_->SaveProject(); });
    connect(a.saveProjectAs, &QAction::triggered, this, [this] { session_->SaveProjectAs(); });
    connect(a.closeProject, &QAction::triggered, this, [this] { session_->CloseProject(); });
    connect(a.showProject, &QAction::triggered, this, [this] { session_->ShowProject(); });
    connect(a.addFiles, &QAction::triggered, this, &TMainForm::addFilesToProject);
    connect(a.removeFile, &QAction::triggered, this, [this] { session_->RemoveFile(); });
}

void TMainForm::connectDebugActions()
{
    const MainActions& a = actions;
    DebugController& d = *debug_;
    connect(a.make, &QAction::triggered, this, [&d] { d.ActionMakeExecute(); });
    connect(a.buildAll, &QAction::triggered, this, [&d] { d.ActionBuildExecute(); });
    const std::pair<QAction*, DebugStart> starts[] = {
        {a.run, DebugStart::Run},         {a.stepInto, DebugStart::StepInto},       {a.stepOver, DebugStart::StepOver},
        {a.stepOut, DebugStart::StepOut}, {a.runToCursor, DebugStart::RunToCursor},
    };
    for (const auto& [action, start] : starts)
        connect(action, &QAction::triggered, this, [&d, start = start] { d.StartDebug(start); });
    connect(a.pause, &QAction::triggered, this, [&d] { d.ActionPauseExecute(); });
    connect(a.stop, &QAction::triggered, this, [&d] { d.ActionStopExecute(); });
    connect(a.highLevelDebug, &QAction::triggered, this, [&d] { d.ActionHighLevelDebugExecute(); });
    connect(a.lowLevelDebug, &QAction::triggered, this, [&d] { d.ActionLowLevelDebugExecute(); });
    connect(a.traceExecution, &QAction::triggered, this, [&d] { d.ActionTraceExecute(); });
    connect(a.loadProgram, &QAction::triggered, this, [&d] { d.ActionLoadFileExecute(); });
    connect(a.verifyProgram, &QAction::triggered, this, [&d] { d.ActionVerifyFileExecute(); });
    connect(a.setStimulusFile, &QAction::triggered, this, [&d] { d.ActionStimulusFileExecute(); });
    connect(a.setDataFile, &QAction::triggered, this, [&d] { d.ActionDataFileExecute(); });
    connect(a.refreshAll, &QAction::triggered, this, [&d] { d.ActionRefreshExecute(); });
}

void TMainForm::connectDeviceActions()
{
    const MainActions& a = actions;
    DeviceBinding* binding = binding_;
    connect(a.installDevice, &QAction::triggered, binding, &DeviceBinding::ActionInstallDeviceExecute);
    connect(a.removeDevice, &QAction::triggered, binding, &DeviceBinding::ActionRemoveDeviceExecute);
    connect(a.deviceOptions, &QAction::triggered, binding, &DeviceBinding::ActionDeviceOptionsExecute);
    connect(a.compilerOptions, &QAction::triggered, binding, &DeviceBinding::ActionCompilerOptionsExecute);
    connect(a.about, &QAction::triggered, aboutDialog_, &QDialog::exec);
}

void TMainForm::chooseProjectToOpen()
{
    const QString source = sourceExtension();
    const QStringList chosen =
        askFilesToOpen(ProjectSession::OpenProjectFilter(source), false, 0, QString::fromStdString(extensions.project));
    // A source file goes to an editor; any other is taken for a project, whatever its name.
    for (const QString& path : chosen)
        openFileAs(path, QFileInfo(path).suffix().compare(source, Qt::CaseInsensitive) != 0);
}

void TMainForm::addFilesToProject()
{
    const QStringList chosen =
        askFilesToOpen(ProjectSession::AddFilesFilter(sourceExtension()), true, 0, sourceExtension());
    if (!chosen.isEmpty())
        session_->AddFiles(chosen);
}
