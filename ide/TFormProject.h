#pragma once
// The project window: the project's files in a two-column grid ("File",
// "Location") and the project file they are saved to.

#include <QStringList>

#include "ProjectHost.h"
#include "TDockableForm.h"

class QTableWidget;

class TFormProject : public TDockableForm {
    Q_OBJECT
public:
    // A new window; with a path, the project file is read into it. Null, with
    // the error text, when the file does not exist ("File Not Found.") or
    // cannot be read completely (what was read before the fault stays applied).
    static TFormProject* Create(ProjectHost& host, bool noPlacement, std::optional<QRect> rect, int placement,
                                const QString& path, QString* error);

    // kSaveGoOn, kSaveNotSaved or kSaveCancel.
    int QuerySaveProject();
    // kSaveGoOn when written, kSaveCancel when cancelled or the write failed.
    int SaveProject();
    int SaveProjectAs();
    int WriteProjectFile();
    // Empty when every line was read, else the fault's text.
    QString ReadProjectFile();

    void AddFiles(const QStringList& paths);
    // Rows count from 0 (the title row is the grid's header).
    void RemoveRow(int row);
    QStringList GetProjectFiles() const;

    void OpenSelectedFiles();
    void RemoveSelectedFiles();
    void SelectAllFiles();

    const QString& ProjectPath() const { return projectPath_; }
    void SetAskOnClose(bool ask) { askOnClose_ = ask; }
    QTableWidget* Grid() const { return grid_; }

signals:
    // The close request was accepted; the window goes away.
    void ProjectClosed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TFormProject(ProjectHost& host, std::optional<QRect> rect, int placement, const QString& path);
    void SetProjectPath(const QString& path);
    void AppendRow(const QString& path);
    void FitLocationColumn();
    project::ProjectContents CurrentContents();
    void Apply(const project::ProjectEntry& entry, bool* placed, bool* stimulusMet, bool* dataMet,
               bool* optionsReachedDevice);

    ProjectHost& host_;
    QTableWidget* grid_;
    QString projectPath_;
    bool askOnClose_ = false;
};
