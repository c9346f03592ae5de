#include "MainFormHosts.h"

#include "DebugController.h"
#include "DebugFileDialog.h"
#include "DeviceBinding.h"
#include "EditorWindows.h"
#include "MessageBoxes.h"
#include "PrintService.h"
#include "ProjectSession.h"
#include "SaveFileDialog.h"
#include "TDialogDataFile.h"
#include "TDialogStimulusFile.h"
#include "TFormEditor.h"
#include "TFormMessages.h"
#include "TMainForm.h"

#include <QAction>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiSubWindow>

#include <algorithm>

#include <Qsci/qsciscintillabase.h>

// Device selection.

void MainDeviceHost::addMessage(const QString& line)
{
    form_.AddMessage(line);
}

void MainDeviceHost::haltDebugRun()
{
    form_.debugControl().HaltForDeviceChange();
}

void MainDeviceHost::deviceChanged(AbstractDevice* device)
{
    form_.debugControl().SetDevice(device);
}

void MainDeviceHost::closeToolWindow(int windowId)
{
    form_.closeToolWindow(windowId);
}

void MainDeviceHost::clearDebugWindows()
{
    form_.ClearDebugWindows();
}

void MainDeviceHost::deviceMenuItemDone()
{
    if (form_.debugControl().DebugState() == DebugController::kHalted)
        form_.debugControl().DebugStateChanged(DebugController::kHalted);
}

QWidget* MainDeviceHost::dialogOwner()
{
    return &form_;
}

// Build and debug control.

QAction* MainDebugHost::actionFor(DebugAction action) const
{
    const MainActions& a = form_.actions;
    switch (action) {
    case DebugAction::Run: return a.run;
    case DebugAction::StepInto: return a.stepInto;
    case DebugAction::StepOver: return a.stepOver;
    case DebugAction::StepOut: return a.stepOut;
    case DebugAction::RunToCursor: return a.runToCursor;
    case DebugAction::Pause: return a.pause;
    case DebugAction::Stop: return a.stop;
    case DebugAction::Make: return a.make;
    case DebugAction::BuildAll: return a.buildAll;
    case DebugAction::DeviceOptions: return a.deviceOptions;
    case DebugAction::HighLevelDebug: return a.highLevelDebug;
    case DebugAction::LowLevelDebug: return a.lowLevelDebug;
    case DebugAction::TraceExecution: return a.traceExecution;
    }
    return nullptr;
}

void MainDebugHost::setActionEnabled(DebugAction action, bool enabled)
{
    actionFor(action)->setEnabled(enabled);
}

void MainDebugHost::setActionChecked(DebugAction action, bool checked)
{
    actionFor(action)->setChecked(checked);
}

void MainDebugHost::pushCursor(DebugCursor cursor)
{
    QGuiApplication::setOverrideCursor(cursor == DebugCursor::Busy ? Qt::WaitCursor : Qt::ArrowCursor);
}

void MainDebugHost::popCursor()
{
    QGuiApplication::restoreOverrideCursor();
}

bool MainDebugHost::projectOpen() const
{
    return form_.projectSession().State() == kProjectOpen;
}

std::vector<std::string> MainDebugHost::projectFiles() const
{
    std::vector<std::string> files;
    if (TFormProject* project = form_.projectSession().Project())
        for (const QString& file : project->GetProjectFiles())
            files.push_back(file.toStdString());
    return files;
}

std::string MainDebugHost::projectPath() const
{
    TFormProject* project = form_.projectSession().Project();
    return project ? project->ProjectPath().toStdString() : std::string();
}

std::string MainDebugHost::programExtension() const
{
    return form_.extensions.program;
}

void MainDebugHost::clearMessages()
{
    form_.ClearMessages();
}

void MainDebugHost::addMessage(const std::string& line)
{
    form_.AddMessage(QString::fromStdString(line));
}

bool MainDebugHost::saveAllFiles(bool ask)
{
    return form_.SaveAllFiles(ask) != kSaveCancel;
}

void MainDebugHost::activateEditors()
{
    form_.editorWindows().ActivateEditors();
}

void MainDebugHost::setEditorsReadOnly(bool readOnly)
{
    form_.editorWindows().SetEditorsReadOnly(readOnly);
}

void MainDebugHost::clearExecutionLines()
{
    form_.editorWindows().ClearExecutionLines();
}

EditorOpening MainDebugHost::openEditor(const std::string& path)
{
    switch (form_.editorWindows().TryOpenEditor(QString::fromStdString(path))) {
    case EditorWindows::Opening::Opened: return EditorOpening::Opened;
    case EditorWindows::Opening::FileNotFound: return EditorOpening::FileNotFound;
    case EditorWindows::Opening::OtherFailure: break;
    }
    return EditorOpening::OtherFailure;
}

void MainDebugHost::setFrontExecutionLine(int line)
{
    form_.editorWindows().SetFrontExecutionLine(line);
}

std::optional<EditorPosition> MainDebugHost::frontEditorPosition() const
{
    TFormEditor* front = form_.editorWindows().FrontEditor();
    if (!front)
        return std::nullopt;
    return EditorPosition{front->FilePath().toStdString(), front->CurrentLine()};
}

void MainDebugHost::refreshDebugWindows()
{
    form_.RefreshToolWindows();
    for (TFormEditor* editor : form_.editorWindows().Editors())
        editor->update();
}

std::optional<std::string> MainDebugHost::chooseProgramFile(const std::string& filter,
                                                            const std::string& defaultExtension)
{
    QtDebugFileDialog dialog(&form_);
    dialog.setInitialFolder(form_.openDir);
    std::optional<std::string> chosen = dialog.openFile(filter, defaultExtension);
    if (chosen && !chosen->empty())
        form_.openDir = dialog.initialFolder();
    if (chosen && chosen->empty())
        return std::nullopt;
    return chosen;
}

bool MainDebugHost::askStimulusFile(std::string& file)
{
    TDialogStimulusFile& dialog = form_.stimulusDialog();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    file = dialog.StimulusFile().toStdString();
    return true;
}

bool MainDebugHost::askDataFile(std::string& file)
{
    TDialogDataFile& dialog = form_.dataDialog();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    file = dialog.DataFile().value_or(QString()).toStdString();
    return true;
}

// Project.

QMainWindow* MainProjectHost::mainWindow()
{
    return &form_;
}

AbstractDevice* MainProjectHost::device()
{
    return form_.deviceBinding().device();
}

QString MainProjectHost::deviceName()
{
    return form_.deviceBinding().deviceName();
}

void MainProjectHost::selectDeviceByName(const QString& name)
{
    form_.deviceBinding().SelectDeviceByName(name);
}

void MainProjectHost::selectCompilerByName(const QString& name)
{
    form_.deviceBinding().SelectCompilerByName(name);
}

void MainProjectHost::clearDebugWindows()
{
    form_.ClearDebugWindows();
}

void MainProjectHost::projectStateChanged(int state)
{
    TFormProject* project = form_.projectSession().Project();
    form_.UpdateProjectActions(state, project ? project->windowTitle() : QString());
}

QList<project::OpenedEditor> MainProjectHost::editorLayoutsForSaving()
{
    EditorWindows& editors = form_.editorWindows();
    QList<TFormEditor*> ordered = editors.Editors();
    if (TFormEditor* front = editors.FrontEditor()) {
        ordered.removeAll(front);
        ordered.prepend(front);
    }
    QList<project::OpenedEditor> layouts;
    for (TFormEditor* editor : ordered) {
        auto* window = qobject_cast<QMdiSubWindow*>(editor->parentWidget());
        if (editor->FilePath().isEmpty() || !window)
            continue;
        project::OpenedEditor layout;
        layout.path = editor->FilePath();
        if (window->isMinimized())
            layout.state = project::kEditorMinimised;
        else if (window->isMaximized())
            layout.state = project::kEditorZoomed;
        if (layout.state != project::kEditorNormal)
            window->showNormal();
        const QRect bounds = window->geometry();
        layout.left = bounds.left();
        layout.top = bounds.top();
        layout.width = bounds.width();
        layout.height = bounds.height();
        layouts << layout;
    }
    return layouts;
}

bool MainProjectHost::openEditorWithLayout(const QString& path, int state, const QRect& bounds)
{
    try {
        form_.editorWindows().OpenEditorWithLayout(path, state, bounds.left(), bounds.top(),
                                                   bounds.left() + bounds.width(), bounds.top() + bounds.height());
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void MainProjectHost::openEditor(const QString& path)
{
    form_.OpenFileAtLine(path, 0);
}

TDockableForm* MainProjectHost::toolWindow(int id)
{
    return form_.toolWindow(id);
}

void MainProjectHost::recreateToolWindow(int id, const QRect& rect, int placement)
{
    if (id != tolvane::kViewMessages)
        return;
    form_.closeToolWindow(id);
    form_.createMessagesWindow(rect, placement);
}

QList<project::BreakpointLine> MainProjectHost::breakpointLines()
{
    QList<project::BreakpointLine> lines;
    for (auto file = form_.breakpoints.cbegin(); file != form_.breakpoints.cend(); ++file) {
        QList<int> sorted(file.value().cbegin(), file.value().cend());
        std::sort(sorted.begin(), sorted.end());
        for (int line : sorted)
            lines << project::BreakpointLine{file.key(), line};
    }
    return lines;
}

void MainProjectHost::removeAllBreakpoints()
{
    const auto marked = form_.breakpoints;
    form_.breakpoints.clear();
    for (auto file = marked.cbegin(); file != marked.cend(); ++file)
        for (int line : file.value())
            form_.editorWindows().ToggleEditorBreakpoint(file.key(), line);
}

void MainProjectHost::addBreakpointFromProject(const QString& path, int line)
{
    QSet<int>& lines = form_.breakpoints[path];
    if (lines.contains(line))
        return;
    lines.insert(line);
    form_.editorWindows().ToggleEditorBreakpoint(path, line);
}

QString MainProjectHost::stimulusFile()
{
    return form_.stimulusDialog().StimulusFile();
}

void MainProjectHost::setStimulusFileChoice(const QString& path)
{
    form_.stimulusDialog().SetStimulusFile(path);
}

QString MainProjectHost::dataFile()
{
    return form_.dataDialog().DataFile().value_or(QString());
}

void MainProjectHost::setDataFileChoice(const QString& path)
{
    form_.dataDialog().SetDataFile(path);
}

void MainProjectHost::addFilesCommand()
{
    form_.addFilesToProject();
}

QString MainProjectHost::chooseProjectSaveFile(const ProjectSaveRequest& request)
{
    // The editors' save dialog: one initial folder for every save.
    SaveFileDialog& dialog = form_.saveDialog();
    SaveDialogRequest asked;
    asked.filter = request.filter.toStdString();
    asked.defaultExtension = request.defaultSuffix.toStdString();
    asked.fileName = request.fileName.toStdString();
    asked.initialDirectory = request.folder.isEmpty() ? dialog.initialDirectory : request.folder.toStdString();
    const std::optional<std::string> chosen = dialog.Execute(asked);
    if (!chosen)
        return QString();
    const QString path = QString::fromStdString(*chosen);
    dialog.initialDirectory = QFileInfo(path).absolutePath().toStdString();
    return path;
}

// Editor windows.

MainEditorHost::MainEditorHost(TMainForm& form) : form_(form), saveDialog_(std::make_unique<QtSaveFileDialog>()) {}

MainEditorHost::~MainEditorHost() = default;

int MainEditorHost::DebugState() const
{
    return form_.debugControl().DebugState();
}

int MainEditorHost::TabSize() const
{
    return form_.editing.tabSize;
}

bool MainEditorHost::UseTabs() const
{
    return form_.editing.useTabs;
}

void MainEditorHost::SetTabOptions(int tabSize, bool useTabs)
{
    form_.editing.tabSize = tabSize;
    form_.editing.useTabs = useTabs;
}

bool MainEditorHost::PrintLineNumbers() const
{
    return form_.editing.printLineNumbers;
}

void MainEditorHost::SetPrintLineNumbers(bool printLineNumbers)
{
    form_.editing.printLineNumbers = printLineNumbers;
}

QString MainEditorHost::SourceExtension() const
{
    return form_.sourceExtension();
}

void MainEditorHost::UpdateFileActions(int state)
{
    form_.UpdateFileActions(state);
}

void MainEditorHost::UpdateEditActions(TFormEditor* editor)
{
    if (!editor) {
        form_.UpdateEditActions(nullptr);
        return;
    }
    using S = QsciScintillaBase;
    EditCapabilities can;
    can.undo = editor->CanDo(S::SCI_UNDO);
    can.cut = editor->CanDo(S::SCI_CUT);
    can.copy = editor->CanDo(S::SCI_COPY);
    can.paste = editor->CanDo(S::SCI_PASTE);
    can.deleteSelection = editor->CanDo(S::SCI_CLEAR);
    can.selectAll = editor->CanDo(S::SCI_SELECTALL);
    form_.UpdateEditActions(&can);
}

void MainEditorHost::AddBreakpointAt(const QString& path, int line)
{
    form_.breakpoints[path].insert(line);
}

void MainEditorHost::RemoveBreakpointAt(const QString& path, int line)
{
    auto file = form_.breakpoints.find(path);
    if (file != form_.breakpoints.end())
        file.value().remove(line);
}

void MainEditorHost::SyncEditorBreakpoints(TFormEditor& editor)
{
    for (int line : form_.breakpoints.value(editor.FilePath()))
        editor.ToggleBreakpoint(line, false);
}

void MainEditorHost::AddMessage(const QString& text)
{
    form_.AddMessage(text);
}

SaveFileDialog& MainEditorHost::SaveDialog()
{
    // The main window's SaveDir is the folder every save dialog starts in; a
    // save since the last call moved it.
    if (saveDialog_->initialDirectory != handedOutFolder_)
        form_.saveDir = QString::fromStdString(saveDialog_->initialDirectory);
    saveDialog_->initialDirectory = handedOutFolder_ = form_.saveDir.toStdString();
    return *saveDialog_;
}

void MainEditorHost::ReplaceSaveDialog(std::unique_ptr<SaveFileDialog> dialog)
{
    dialog->initialDirectory = saveDialog_->initialDirectory;
    saveDialog_ = std::move(dialog);
}

PrintService& MainEditorHost::Printing()
{
    if (!printing_)
        printing_ = std::make_unique<QtPrintService>();
    return *printing_;
}
