#pragma once
// A main window stand-in for the project window: records what the project
// asks of it and creates plain tool windows for the window lines.
#include <QMainWindow>
#include <map>
#include <memory>

#include "ProjectHost.h"
#include "TDockableForm.h"

class RecordingProjectHost : public ProjectHost {
public:
    QMainWindow window;
    AbstractDevice* currentDevice = nullptr;
    QString currentDeviceName;
    QStringList log;
    QList<int> states;
    QList<project::OpenedEditor> editors;
    QList<project::BreakpointLine> breakpoints;
    std::map<int, TDockableForm*> tools;
    QString stimulus;
    QString data = QStringLiteral("unset");
    QStringList saveAnswers;  // paths the save dialog returns, in turn
    QStringList openedEditors;

    QMainWindow* mainWindow() override { return &window; }
    AbstractDevice* device() override { return currentDevice; }
    QString deviceName() override { return currentDeviceName; }
    void selectDeviceByName(const QString& name) override { log << "device " + name; }
    void selectCompilerByName(const QString& name) override { log << "compiler " + name; }
    void clearDebugWindows() override { log << "clear"; }
    void projectStateChanged(int state) override { states << state; }
    QList<project::OpenedEditor> editorLayoutsForSaving() override { return editors; }
    bool openEditorWithLayout(const QString& path, int state, const QRect& bounds) override
    {
        editors.append({path, bounds.left(), bounds.top(), bounds.width(), bounds.height(), state});
        return true;
    }
    void openEditor(const QString& path) override { openedEditors << path; }
    TDockableForm* toolWindow(int id) override
    {
        const auto found = tools.find(id);
        return found == tools.end() ? nullptr : found->second;
    }
    void recreateToolWindow(int id, const QRect& rect, int placement) override
    {
        log << QStringLiteral("window %1 at %2,%3 %4x%5 code %6")
                   .arg(id)
                   .arg(rect.left())
                   .arg(rect.top())
                   .arg(rect.width())
                   .arg(rect.height())
                   .arg(placement);
        delete toolWindow(id);
        tools[id] = new TDockableForm(&window, false, rect, placement, QString::number(id));
    }
    QList<project::BreakpointLine> breakpointLines() override { return breakpoints; }
    void removeAllBreakpoints() override
    {
        log << "remove breakpoints";
        breakpoints.clear();
    }
    void addBreakpointFromProject(const QString& path, int line) override { breakpoints.append({path, line}); }
    QString stimulusFile() override { return stimulus; }
    void setStimulusFileChoice(const QString& path) override { stimulus = path; }
    QString dataFile() override { return data == "unset" ? QString() : data; }
    void setDataFileChoice(const QString& path) override { data = path; }
    void addFilesCommand() override { log << "add files"; }
    QString chooseProjectSaveFile(const ProjectSaveRequest& request) override
    {
        log << "save dialog " + request.fileName;
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
};
