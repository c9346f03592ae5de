#include "FindResultsModel.h"

#include <QFile>

QString FindResultLine::text() const
{
    if (!find)
        return note;
    // Editor text is single-byte: one byte per character.
    return find->file + QStringLiteral(" (") + QString::number(find->line) + QStringLiteral("): ")
           + QString::fromLatin1(lineText);
}

QList<FindResultLine> resultLinesFor(findinfiles::FileHits&& file)
{
    const QString path = QFile::decodeName(QByteArray::fromStdString(file.path));
    if (!file.unreadable.empty())
        return {{std::nullopt,
                 {},
                 path + QStringLiteral(" could not be read: ") + QString::fromStdString(file.unreadable)
                     + QLatin1Char('.')}};
    QList<FindResultLine> lines;
    lines.reserve(static_cast<qsizetype>(file.hits.size()));
    for (findinfiles::FoundHit& hit : file.hits)
        lines.append({TFindObject{hit.line, path, hit.column, hit.length}, std::move(hit.lineText), {}});
    return lines;
}

int FindResultsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant FindResultsModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return {};
    return lineAt(index.row()).text();
}

void FindResultsModel::append(const QList<FindResultLine>& lines)
{
    if (lines.isEmpty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(lines.size()) - 1);
    lines_.insert(lines_.end(), lines.begin(), lines.end());
    endInsertRows();
}

void FindResultsModel::clear()
{
    beginResetModel();
    lines_.clear();
    endResetModel();
}
