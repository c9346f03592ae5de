#include "DebugFileDialog.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

QStringList qtNameFilters(const std::string& filter)
{
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype index = 0; index + 1 < parts.size(); index += 2) {
        QString description = parts[index].trimmed();
        const qsizetype bracket = description.lastIndexOf(QLatin1String(" ("));
        if (bracket >= 0 && description.endsWith(QLatin1Char(')')))
            description.truncate(bracket);
        QStringList patterns = parts[index + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        filters << description + QLatin1String(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

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
    if (!initialFolder_.isEmpty())
        dialog.setDirectory(initialFolder_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = dialog.selectedFiles().first();
    initialFolder_ = QFileInfo(chosen).absolutePath();
    return QFile::encodeName(chosen).toStdString();
}
