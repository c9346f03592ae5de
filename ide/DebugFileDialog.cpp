#include "DebugFileDialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "DialogBorder.h"

std::optional<std::string> QtDebugFileDialog::openFile(const std::string& filter, const std::string& defaultExtension)
{
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QStringList filters = qtNameFilters(filter);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.first());
    dialog.setDefaultSuffix(QString::fromStdString(defaultExtension));
    dialog.setDirectory(initialFolder_.isEmpty() ? QDir::homePath() : initialFolder_);
    platform::giveDialogBorder(dialog, platform::DialogSizing::Sizable);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = dialog.selectedFiles().first();
    initialFolder_ = QFileInfo(chosen).absolutePath();
    return QFile::encodeName(chosen).toStdString();
}
