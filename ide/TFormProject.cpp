#include "TFormProject.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QSaveFile>
#include <QScrollBar>
#include <QTableWidget>

#include "AbstractDevice.h"
#include "DeviceTexts.h"
#include "HourglassCursor.h"
#include "MessageBoxes.h"
#include "UserFile.h"

namespace {

const QString kUntitled = QStringLiteral("Untitled Project");

QString projectFilter()
{
    const QString ext = QString::fromLatin1(project::kProjectExtension);
    return QStringLiteral("Project Files (*.") + ext + QStringLiteral(")|*.") + ext
           + QStringLiteral("|All Files (*.*)|*.*");
}

platform::BoxAnswer ask(const QString& text, platform::BoxButtons buttons)
{
    return platform::messageBoxes().show(platform::kConfirmCaption, text.toStdString(), buttons,
                                         platform::BoxIcon::Question);
}

}  // namespace

TFormProject::TFormProject(ProjectHost& host, std::optional<QRect> rect, int placement, const QString& path)
    : TDockableForm(host.mainWindow(), true, rect, placement, kUntitled),
      host_(host),
      grid_(new QTableWidget(0, 2, this))
{
    setObjectName(QStringLiteral("Project"));
    SetFreeOnClose(true);
    grid_->setHorizontalHeaderLabels({QStringLiteral("File"), QStringLiteral("Location")});
    grid_->verticalHeader()->hide();
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setWordWrap(false);
    grid_->installEventFilter(this);
    // The grid's visible width, which the "Location" column fills, is known
    // only once the grid itself is laid out.
    grid_->viewport()->installEventFilter(this);
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    SetContent(grid_);

    auto* popup = new QMenu(this);
    popup->addAction(QStringLiteral("Open"), this, &TFormProject::OpenSelectedFiles);
    popup->addAction(QStringLiteral("Add Files..."), this, [this] { host_.addFilesCommand(); });
    popup->addAction(QStringLiteral("Remove"), this, &TFormProject::RemoveSelectedFiles);
    popup->addAction(QStringLiteral("Select All"), this, &TFormProject::SelectAllFiles);
    connect(grid_, &QWidget::customContextMenuRequested, this,
            [this, popup](const QPoint& at) { popup->popup(grid_->viewport()->mapToGlobal(at)); });
    connect(grid_, &QTableWidget::cellDoubleClicked, this, [this] { OpenSelectedFiles(); });
    connect(grid_->horizontalScrollBar(), &QScrollBar::valueChanged, this, &TFormProject::FitLocationColumn);
    SetProjectPath(path);
}

TFormProject* TFormProject::Create(ProjectHost& host, bool noPlacement, std::optional<QRect> rect, int placement,
                                   const QString& path, QString* error)
{
    if (!path.isEmpty() && !QFileInfo::exists(path)) {
        *error = QString::fromLatin1(kFileNotFound);
        return nullptr;
    }
    auto* form =
        new TFormProject(host, rect, placement, path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath());
    if (!noPlacement)
        form->Place(placement, rect);
    if (!path.isEmpty()) {
        *error = form->ReadProjectFile();
        if (!error->isEmpty()) {
            host.mainWindow()->removeDockWidget(form);
            delete form;
            return nullptr;
        }
    }
    host.projectStateChanged(kProjectOpen);
    form->askOnClose_ = true;
    return form;
}

void TFormProject::SetProjectPath(const QString& path)
{
    projectPath_ = path;
    setWindowTitle(path.isEmpty() ? kUntitled : path);
}

int TFormProject::QuerySaveProject()
{
    if (!askOnClose_)
        return kSaveGoOn;
    const QString name = projectPath_.isEmpty() ? windowTitle() : QFileInfo(projectPath_).fileName();
    switch (ask(QStringLiteral("Save changes to ") + name + QStringLiteral("?"), platform::BoxButtons::YesNoCancel)) {
    case platform::BoxAnswer::Yes:
        return SaveProject();
    case platform::BoxAnswer::No:
        return kSaveNotSaved;
    default:
        return kSaveCancel;
    }
}

int TFormProject::SaveProject()
{
    return projectPath_.isEmpty() ? SaveProjectAs() : WriteProjectFile();
}

int TFormProject::SaveProjectAs()
{
    const QFileInfo current(projectPath_);
    const ProjectSaveRequest request{projectFilter(), QString::fromLatin1(project::kProjectExtension),
                                     projectPath_.isEmpty() ? QString() : current.absolutePath(),
                                     projectPath_.isEmpty() ? windowTitle() : current.fileName()};
    for (;;) {
        const QString chosen = host_.chooseProjectSaveFile(request);
        if (chosen.isEmpty())
            return kSaveCancel;
        if (QFileInfo::exists(chosen)) {
            const auto answer = ask(QStringLiteral("File exists.  Overwrite?"), platform::BoxButtons::YesNoCancel);
            if (answer == platform::BoxAnswer::No)
                continue;
            if (answer != platform::BoxAnswer::Yes)
                return kSaveCancel;
        }
        SetProjectPath(QFileInfo(chosen).absoluteFilePath());
        host_.projectStateChanged(kProjectOpen);
        return SaveProject();
    }
}

project::ProjectContents TFormProject::CurrentContents()
{
    project::ProjectContents contents;
    contents.files = GetProjectFiles();
    AbstractDevice* device = host_.device();
    contents.device = device ? host_.deviceName() : QString();
    contents.stimulusFile = host_.stimulusFile();
    contents.dataFile = host_.dataFile();
    contents.opened = host_.editorLayoutsForSaving();
    if (device) {
        contents.compiler = copiedDeviceText(device->GetCompilerName());
        int count = 0;
        char** lines = nullptr;
        device->GetProjectOptions(&count, &lines, QFile::encodeName(projectPath_).constData());
        contents.deviceInformation = copiedDeviceTexts(lines, count);
    }
    for (int id : project::kWindowWriteOrder) {
        TDockableForm* window = id == tolvane::kViewProject ? this : host_.toolWindow(id);
        if (!window)
            continue;
        const QRect rect = window->PlacementRect();
        contents.windows.append({id, rect.left(), rect.top(), rect.width(), rect.height(), window->Placement()});
    }
    contents.breakpoints = host_.breakpointLines();
    return contents;
}

int TFormProject::WriteProjectFile()
{
    platform::HourglassCursor wait;
    const QByteArray text = project::writeProjectText(CurrentContents(), QFileInfo(projectPath_).absolutePath());
    QSaveFile file(projectPath_);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        platform::showError("Unable to save project " + projectPath_.toStdString() + ".\r\n"
                            + file.errorString().toStdString());
        return kSaveCancel;
    }
    return kSaveGoOn;
}

QString TFormProject::ReadProjectFile()
{
    platform::HourglassCursor wait;
    host_.removeAllBreakpoints();
    platform::UserFileCheck check;
    const auto text =
        platform::readUserFile(QFile::encodeName(projectPath_).toStdString(), project::kMaxProjectFileBytes, &check);
    if (!text)
        return QStringLiteral("Unable to read ") + projectPath_ + QStringLiteral(": ")
               + QString::fromStdString(check.reason) + QLatin1Char('.');
    const auto read =
        project::readProjectText(QByteArray::fromStdString(*text), QFileInfo(projectPath_).absolutePath());
    if (read.noSection)
        return QStringLiteral("Unable to read ") + projectPath_
               + QStringLiteral(": it holds no project section, so it is no project file.");
    bool placed = false, stimulusMet = false, dataMet = false, optionsReachedDevice = false;
    for (const project::ProjectEntry& entry : read.entries)
        Apply(entry, &placed, &stimulusMet, &dataMet, &optionsReachedDevice);
    if (!read.error.isEmpty())
        return read.error;
    if (!placed && isHidden())
        Place(kDockLeft, std::nullopt);
    if (!stimulusMet)
        host_.setStimulusFileChoice(QString());
    if (!dataMet)
        host_.setDataFileChoice(QString());
    if (optionsReachedDevice)
        host_.clearDebugWindows();
    return {};
}

void TFormProject::Apply(const project::ProjectEntry& entry, bool* placed, bool* stimulusMet, bool* dataMet,
                         bool* optionsReachedDevice)
{
    using namespace project;
    if (const auto* device = std::get_if<DeviceEntry>(&entry)) {
        host_.selectDeviceByName(device->name);
    } else if (const auto* file = std::get_if<FileEntry>(&entry)) {
        AppendRow(file->path);
    } else if (const auto* editor = std::get_if<OpenedEditor>(&entry)) {
        host_.openEditorWithLayout(editor->path, editor->state,
                                   QRect(editor->left, editor->top, editor->width, editor->height));
    } else if (const auto* window = std::get_if<ToolWindowLine>(&entry)) {
        const QRect rect(window->left, window->top, window->width ? window->width : 100,
                         window->height ? window->height : 100);
        if (window->id == tolvane::kViewProject) {
            Place(window->placement, rect);
            *placed = true;
        } else if (window->id > tolvane::kViewProject && window->id <= tolvane::kViewWatches) {
            host_.recreateToolWindow(window->id, rect, window->placement);
        }
    } else if (const auto* breakpoint = std::get_if<BreakpointLine>(&entry)) {
        host_.addBreakpointFromProject(breakpoint->path, breakpoint->line);
    } else if (const auto* stimulus = std::get_if<StimulusEntry>(&entry)) {
        *stimulusMet = true;
        host_.setStimulusFileChoice(stimulus->path);
        AbstractDevice* device = host_.device();
        if (device && device->SetStimulusFile(QFile::encodeName(stimulus->path).constData()) != tolvane::kStatusDone)
            platform::showError("Unable to set stimulus file!");
    } else if (const auto* data = std::get_if<DataFileEntry>(&entry)) {
        *dataMet = true;
        host_.setDataFileChoice(data->path);
    } else if (const auto* option = std::get_if<DeviceInformationEntry>(&entry)) {
        if (AbstractDevice* device = host_.device()) {
            device->SetProjectOption(option->line.toLocal8Bit().constData(),
                                     QFile::encodeName(projectPath_).constData());
            *optionsReachedDevice = true;
        }
    } else if (const auto* compiler = std::get_if<CompilerEntry>(&entry)) {
        if (host_.device())
            host_.selectCompilerByName(compiler->name);
    }
}

void TFormProject::AppendRow(const QString& path)
{
    const QFileInfo info(path);
    const int row = grid_->rowCount();
    grid_->insertRow(row);
    grid_->setItem(row, 0, new QTableWidgetItem(info.fileName()));
    grid_->setItem(row, 1, new QTableWidgetItem(info.absolutePath() + QLatin1Char('/')));
    FitLocationColumn();
}

void TFormProject::AddFiles(const QStringList& paths)
{
    QStringList existing = GetProjectFiles();
    for (const QString& path : paths) {
        const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
        if (existing.contains(absolute))
            continue;
        AppendRow(absolute);
        existing << absolute;
    }
}

void TFormProject::RemoveRow(int row)
{
    if (row >= 0 && row < grid_->rowCount())
        grid_->removeRow(row);
}

QStringList TFormProject::GetProjectFiles() const
{
    QStringList files;
    for (int row = 0; row < grid_->rowCount(); ++row)
        files << grid_->item(row, 1)->text() + grid_->item(row, 0)->text();
    return files;
}

namespace {
QList<int> selectedRows(const QTableWidget* grid)
{
    QList<int> rows;
    for (const QModelIndex& index : grid->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}
}  // namespace

void TFormProject::OpenSelectedFiles()
{
    const QStringList files = GetProjectFiles();
    for (int row : selectedRows(grid_))
        host_.openEditor(files[row]);
}

void TFormProject::RemoveSelectedFiles()
{
    const QList<int> rows = selectedRows(grid_);
    if (rows.isEmpty())
        return;
    if (ask(QStringLiteral("Remove file from project?"), platform::BoxButtons::YesNo) != platform::BoxAnswer::Yes)
        return;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        RemoveRow(*row);
}

void TFormProject::SelectAllFiles()
{
    grid_->selectAll();
}

void TFormProject::closeEvent(QCloseEvent* event)
{
    if (QuerySaveProject() == kSaveCancel) {
        event->ignore();
        return;
    }
    TDockableForm::closeEvent(event);
    emit ProjectClosed();
    host_.projectStateChanged(kNoProject);
}

void TFormProject::FitLocationColumn()
{
    const int left = grid_->columnViewportPosition(1);
    const int fit = grid_->viewport()->width() - left - 4;
    grid_->setColumnWidth(1, std::max(fit, grid_->horizontalHeader()->defaultSectionSize()));
}

bool TFormProject::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == grid_->viewport() && event->type() == QEvent::Resize)
        FitLocationColumn();
    if (watched == grid_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            OpenSelectedFiles();
            return true;
        }
        if (key->key() == Qt::Key_Insert) {
            host_.addFilesCommand();
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            RemoveSelectedFiles();
            return true;
        }
        if (key->matches(QKeySequence::SelectAll)) {
            SelectAllFiles();
            return true;
        }
    }
    return TDockableForm::eventFilter(watched, event);
}
