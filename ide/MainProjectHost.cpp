// The main window as the project window sees it.

#include <QFileInfo>
#include <QMdiSubWindow>

#include "BreakpointList.h"
#include "DeviceBinding.h"
#include "EditorFileError.h"
#include "EditorWindows.h"
#include "MainFormHosts.h"
#include "MessageBoxes.h"
#include "ProjectSession.h"
#include "SaveFileDialog.h"
#include "TDialogDataFile.h"
#include "TDialogStimulusFile.h"
#include "TFormEditor.h"
#include "TFormMessages.h"
#include "TMainForm.h"
#include "ToolWindows.h"

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
    } catch (const EditorFileError& error) {
        // A missing file is skipped silently; one that is refused is named.
        if (error.kind() != EditorFileError::Kind::NotFound)
            platform::showError(path.toStdString() + " could not be read: " + error.what());
        return false;
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
    return form_.toolWindows().openWindow(id);
}

void MainProjectHost::recreateToolWindow(int id, const QRect& rect, int placement)
{
    // The Messages window placed anew keeps what the device said while the
    // project chose it, such as a configuration file it could not find.
    const TFormMessages* before = id == tolvane::kViewMessages ? form_.messagesWindow() : nullptr;
    const QStringList kept = before ? before->Lines() : QStringList();
    auto* window = form_.toolWindows().create(id, rect, placement);
    if (auto* messages = qobject_cast<TFormMessages*>(window))
        for (const QString& line : kept)
            messages->AddMessage(line);
}

QList<project::BreakpointLine> MainProjectHost::breakpointLines()
{
    QList<project::BreakpointLine> lines;
    for (const SourceBreakpoint& breakpoint : form_.breakpointList().rows())
        lines << project::BreakpointLine{breakpoint.file, breakpoint.line};
    return lines;
}

void MainProjectHost::removeAllBreakpoints()
{
    form_.breakpointList().RemoveAllBreakpoints();
}

void MainProjectHost::addBreakpointFromProject(const QString& path, int line)
{
    form_.breakpointList().addMarkedBreakpoint(path, line);
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
