#pragma once
// The main window's project commands: at most one project is open, held in
// its project window.

#include <QObject>
#include <QPointer>

#include "ProjectHost.h"
#include "TFormProject.h"

class ProjectSession : public QObject {
    Q_OBJECT
public:
    explicit ProjectSession(ProjectHost& host, QObject* parent = nullptr);

    TFormProject* Project() const { return project_; }
    int State() const { return project_ ? kProjectOpen : kNoProject; }

    // With an empty path a new untitled project, docked left. Boxes report a
    // missing file (path + " does not exist.") or an unreadable one.
    bool OpenProject(const QString& path);
    void NewProject() { OpenProject(QString()); }
    int SaveProject();
    int SaveProjectAs();
    // False when the user cancelled and the project stays open.
    bool CloseProject();
    void ShowProject();
    void AddFiles(const QStringList& paths);
    // The Remove File command's dialog.
    void RemoveFile();
    // The save question before the program ends: kSaveCancel refuses the exit.
    int QueryExit();

    // Dialog filters in the "Name (*.ext)|*.ext|..." form, and that form for Qt's file dialogs.
    static QString OpenProjectFilter(const QString& sourceExtension);
    static QString AddFilesFilter(const QString& sourceExtension);
    static QString QtFilter(const QString& filter);

private:
    ProjectHost& host_;
    QPointer<TFormProject> project_;
};
