#include "SaveFileDialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QStringList>

#include "DialogBorder.h"
#include "FileFilters.h"

std::string QtFilterFrom(const std::string& filter)
{
    return qtNameFilters(filter).join(QLatin1String(";;")).toStdString();
}

std::optional<std::string> QtSaveFileDialog::Execute(const SaveDialogRequest& request)
{
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The question about an existing file is the caller's.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = QString::fromStdString(QtFilterFrom(request.filter)).split(QLatin1String(";;"));
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    if (!request.initialDirectory.empty())
        dialog.setDirectory(QString::fromStdString(request.initialDirectory));
    if (!request.fileName.empty())
        dialog.selectFile(QString::fromStdString(request.fileName));
    platform::giveDialogBorder(dialog, platform::DialogSizing::Sizable);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().first()).toStdString();
}

std::optional<std::string> RecordingSaveFileDialog::Execute(const SaveDialogRequest& request)
{
    requests.push_back(request);
    if (answers.empty())
        return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
}
