#pragma once
// What the project window needs from the main window that holds it.

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include "ProjectFile.h"

class AbstractDevice;
class QMainWindow;
class TDockableForm;

// Project state kept by the main window.
inline constexpr int kNoProject = 6;
inline constexpr int kProjectOpen = 7;

// Answers of the save questions.
inline constexpr int kSaveGoOn = 6;
inline constexpr int kSaveNotSaved = 7;
inline constexpr int kSaveCancel = 2;

// Why a project could not be opened when its file is missing.
inline constexpr char kFileNotFound[] = "File Not Found.";

struct ProjectSaveRequest {
    QString filter;  // in the "Name (*.ext)|*.ext|..." form
    QString defaultSuffix;
    QString folder;
    QString fileName;
};

class ProjectHost {
public:
    virtual ~ProjectHost() = default;

    virtual QMainWindow* mainWindow() = 0;
    // The selected device, or null.
    virtual AbstractDevice* device() = 0;
    virtual QString deviceName() = 0;
    virtual void selectDeviceByName(const QString& name) = 0;
    virtual void selectCompilerByName(const QString& name) = 0;
    virtual void clearDebugWindows() = 0;
    // UpdateProjectActions(kNoProject or kProjectOpen).
    virtual void projectStateChanged(int state) = 0;

    // Editor windows that have a file, front window first, each first set to
    // its normal state so that its normal bounds are given.
    virtual QList<project::OpenedEditor> editorLayoutsForSaving() = 0;
    // Shows the file's editor window with this layout, opening it when needed;
    // false when the file cannot be opened.
    virtual bool openEditorWithLayout(const QString& path, int state, const QRect& bounds) = 0;
    // Opens the file in an editor window (reports its own failures).
    virtual void openEditor(const QString& path) = 0;

    // The open tool window of this id (22-31), or null.
    virtual TDockableForm* toolWindow(int id) = 0;
    // Closes an open window of that id and creates a new one placed so.
    virtual void recreateToolWindow(int id, const QRect& rect, int placement) = 0;

    virtual QList<project::BreakpointLine> breakpointLines() = 0;
    virtual void removeAllBreakpoints() = 0;
    // Adds the breakpoint and marks it in an open editor of that file.
    virtual void addBreakpointFromProject(const QString& path, int line) = 0;

    // Empty: "Do not use a stimulus file." / "Do not use a data file.".
    virtual QString stimulusFile() = 0;
    virtual void setStimulusFileChoice(const QString& path) = 0;
    virtual QString dataFile() = 0;
    virtual void setDataFileChoice(const QString& path) = 0;

    // The main window's Add Files command.
    virtual void addFilesCommand() = 0;
    // The save dialog; empty when cancelled. The host keeps the chosen folder
    // as the dialog's next initial folder.
    virtual QString chooseProjectSaveFile(const ProjectSaveRequest& request) = 0;
};
