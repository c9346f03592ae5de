// The main window as the build and debug control sees it.

#include <QAction>
#include <QFile>
#include <QGuiApplication>

#include "AbstractDevice.h"
#include "BreakpointList.h"
#include "DebugController.h"
#include "EditorWindows.h"
#include "MainFormHosts.h"
#include "ProjectSession.h"
#include "TDialogDataFile.h"
#include "TDialogStimulusFile.h"
#include "TFormEditor.h"
#include "TMainForm.h"

QAction* MainDebugHost::actionFor(DebugAction action) const
{
    const MainActions& a = form_.actions;
    switch (action) {
    case DebugAction::Run:
        return a.run;
    case DebugAction::StepInto:
        return a.stepInto;
    case DebugAction::StepOver:
        return a.stepOver;
    case DebugAction::StepOut:
        return a.stepOut;
    case DebugAction::RunToCursor:
        return a.runToCursor;
    case DebugAction::Pause:
        return a.pause;
    case DebugAction::Stop:
        return a.stop;
    case DebugAction::Make:
        return a.make;
    case DebugAction::BuildAll:
        return a.buildAll;
    case DebugAction::DeviceOptions:
        return a.deviceOptions;
    case DebugAction::HighLevelDebug:
        return a.highLevelDebug;
    case DebugAction::LowLevelDebug:
        return a.lowLevelDebug;
    case DebugAction::TraceExecution:
        return a.traceExecution;
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
    case EditorWindows::Opening::Opened:
        return EditorOpening::Opened;
    case EditorWindows::Opening::FileNotFound:
        return EditorOpening::FileNotFound;
    case EditorWindows::Opening::OtherFailure:
        break;
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
    form_.RefreshDebugWindows();
}

void MainDebugHost::applyBreakpoints()
{
    if (AbstractDevice* device = form_.debugControl().Device())
        form_.breakpointList().ApplyBreakpoints(*device);
}

std::optional<std::string> MainDebugHost::chooseProgramFile(const std::string& filter,
                                                            const std::string& defaultExtension)
{
    const QString chosen =
        form_.askFilesToOpen(QString::fromStdString(filter), false, 0, QString::fromStdString(defaultExtension))
            .value(0);
    if (chosen.isEmpty())
        return std::nullopt;
    return QFile::encodeName(chosen).toStdString();
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
