#include "ProjectSession.h"

#include <QFileInfo>
#include <QMainWindow>

#include "FileFilters.h"
#include "MessageBoxes.h"
#include "TDialogRemoveFiles.h"

ProjectSession::ProjectSession(ProjectHost& host, QObject* parent) : QObject(parent), host_(host) {}

namespace {
bool sameFile(const QString& a, const QString& b)
{
    const QString first = QFileInfo(a).canonicalFilePath();
    return !first.isEmpty() && first == QFileInfo(b).canonicalFilePath();
}
}  // namespace

bool ProjectSession::OpenProject(const QString& path)
{
    if (project_) {
        if (!path.isEmpty() && !project_->ProjectPath().isEmpty() && sameFile(path, project_->ProjectPath())) {
            project_->ShowInPage();
            return true;
        }
        if (project_->QuerySaveProject() == kSaveCancel)
            return false;
        project_->SetAskOnClose(false);
        project_->close();
        project_ = nullptr;
    }
    QString error;
    // A project file places its own window through its window lines.
    TFormProject* created =
        TFormProject::Create(host_, !path.isEmpty(), std::nullopt, TDockableForm::kDockLeft, path, &error);
    if (!created) {
        platform::showError(error == QLatin1String(kFileNotFound) ? path.toStdString() + " does not exist."
                                                                  : error.toStdString());
        return false;
    }
    project_ = created;
    connect(created, &TFormProject::ProjectClosed, this, [this, created] {
        if (project_ == created)
            project_ = nullptr;
    });
    return true;
}

int ProjectSession::SaveProject()
{
    return project_ ? project_->SaveProject() : kSaveGoOn;
}

int ProjectSession::SaveProjectAs()
{
    return project_ ? project_->SaveProjectAs() : kSaveGoOn;
}

bool ProjectSession::CloseProject()
{
    if (project_ && !project_->close())
        return false;
    project_ = nullptr;
    return true;
}

void ProjectSession::ShowProject()
{
    if (project_)
        project_->ShowInPage();
}

void ProjectSession::AddFiles(const QStringList& paths)
{
    if (project_)
        project_->AddFiles(paths);
}

void ProjectSession::RemoveFile()
{
    if (!project_)
        return;
    TDialogRemoveFiles dialog(QStringLiteral("files"), project_->GetProjectFiles(), host_.mainWindow());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QList<int> rows = dialog.SelectedIndices();
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        project_->RemoveRow(*row);
}

int ProjectSession::QueryExit()
{
    return project_ ? project_->QuerySaveProject() : kSaveGoOn;
}

QString ProjectSession::OpenProjectFilter(const QString& sourceExtension)
{
    return QStringLiteral("Project Files (*.prj)|*.prj|Source Files (*.") + sourceExtension + QStringLiteral(")|*.")
           + sourceExtension + QStringLiteral("|All Files (*.*)|*.*");
}

QString ProjectSession::AddFilesFilter(const QString& sourceExtension)
{
    return QStringLiteral("Source Files (*.") + sourceExtension + QStringLiteral(")|*.") + sourceExtension
           + QStringLiteral("|All Files (*.*)|*.*");
}

QString ProjectSession::QtFilter(const QString& filter)
{
    return qtNameFilters(filter.toStdString()).join(QStringLiteral(";;"));
}
