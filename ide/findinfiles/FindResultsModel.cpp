#include "FindResultsModel.h"

#include <QFile>

#include "EditorText.h"

QString FindResultLine::text() const
{
    if (!find)
        return note;
    return find->file + QStringLiteral(" (") + QString::number(find->line) + QStringLiteral("): ")
           + EditorString(excerpt);
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
    lines.reserve(static_cast<qsizetype>(file.hits.size()) + 1);
    for (findinfiles::FoundHit& hit : file.hits)
        lines.append({TFindObject{hit.line, path, hit.column, hit.length}, std::move(hit.excerpt), {}});
    if (file.moreHits)
        lines.append(
            {std::nullopt,
             {},
             path + QStringLiteral(": more than %1 hits; only the first %1 are listed.").arg(file.hits.size())});
    return lines;
}

FindResultLine tooManyHitsLine(std::size_t maxHits)
{
    return {std::nullopt, {}, QStringLiteral("Search stopped at %1 hits; further hits are not listed.").arg(maxHits)};
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
