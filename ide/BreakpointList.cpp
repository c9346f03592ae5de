#include "BreakpointList.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <utility>

#include "AbstractDevice.h"

namespace {

// A file that does not exist (yet) compares by its cleaned absolute path.
QString canonicalPath(const QString& path)
{
    const QFileInfo file(path);
    const QString canonical = file.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(file.absoluteFilePath()) : canonical;
}

}  // namespace

BreakpointList::BreakpointList(QObject* parent) : QAbstractTableModel(parent) {}

int BreakpointList::find(const QString& file, int line) const
{
    const QString wanted = canonicalPath(file);
    for (int row = 0; row < rows_.size(); ++row)
        if (rows_[row].line == line && canonical_[row] == wanted)
            return row;
    return -1;
}

bool BreakpointList::AddBreakpoint(const QString& file, int line)
{
    if (find(file, line) >= 0)
        return false;
    const int row = rows_.size();
    beginInsertRows({}, row, row);
    rows_.append({file, line});
    canonical_.append(canonicalPath(file));
    endInsertRows();
    emit breakpointChanged(file, line, true);
    return true;
}

int BreakpointList::RemoveBreakpoint(const QString& file, int line)
{
    const int row = find(file, line);
    if (row >= 0)
        dropRow(row, false);
    return row;
}

void BreakpointList::addMarkedBreakpoint(const QString& file, int line)
{
    AddBreakpoint(file, line);
    emit markerNeeded(file, line, true);
}

void BreakpointList::deleteRows(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto row = rows.crbegin(); row != rows.crend(); ++row)
        if (*row >= 0 && *row < rows_.size())
            dropRow(*row, true);
}

void BreakpointList::RemoveAllBreakpoints()
{
    while (!rows_.isEmpty())
        dropRow(rows_.size() - 1, true);
}

void BreakpointList::dropRow(int row, bool unmark)
{
    const SourceBreakpoint removed = rows_[row];
    if (unmark)
        emit markerNeeded(removed.file, removed.line, false);
    beginRemoveRows({}, row, row);
    rows_.removeAt(row);
    canonical_.removeAt(row);
    endRemoveRows();
    emit breakpointChanged(removed.file, removed.line, false);
}

void BreakpointList::moveLines(const QString& file, const std::function<int(int)>& lineAfter)
{
    struct Move {
        QString file;
        int from;
        int to;
    };
    const QString wanted = canonicalPath(file);
    QSet<int> taken;
    QList<int> gone;
    QList<Move> moves;
    for (int row = 0; row < rows_.size(); ++row) {
        if (canonical_[row] != wanted)
            continue;
        SourceBreakpoint& breakpoint = rows_[row];
        const int line = lineAfter(breakpoint.line);
        if (line <= 0 || taken.contains(line)) {
            gone << row;
            continue;
        }
        taken.insert(line);
        if (line != breakpoint.line) {
            moves.append({breakpoint.file, breakpoint.line, line});
            breakpoint.line = line;
            rowChanged(row);
        }
    }
    // Cleared first: a new line may be the old line of another row.
    for (const Move& move : std::as_const(moves))
        emit breakpointChanged(move.file, move.from, false);
    for (auto row = gone.crbegin(); row != gone.crend(); ++row)
        dropRow(*row, false);
    for (const Move& move : std::as_const(moves))
        emit breakpointChanged(move.file, move.to, true);
}

void BreakpointList::renameFile(const QString& from, const QString& to)
{
    // An untitled text has no rows to take along.
    const QString source = from.isEmpty() ? QString() : canonicalPath(from);
    const QString target = canonicalPath(to);
    if (source == target)
        return;
    for (int row = static_cast<int>(rows_.size()) - 1; row >= 0; --row)
        if (canonical_[row] == target)
            dropRow(row, true);
    for (int row = 0; row < rows_.size(); ++row) {
        if (canonical_[row] != source)
            continue;
        const SourceBreakpoint old = rows_[row];
        rows_[row].file = to;
        canonical_[row] = target;
        rowChanged(row);
        emit breakpointChanged(old.file, old.line, false);
        emit breakpointChanged(to, old.line, true);
    }
}

void BreakpointList::rowChanged(int row)
{
    emit dataChanged(index(row, LineColumn), index(row, FileColumn));
}

QList<int> BreakpointList::linesIn(const QString& file) const
{
    const QString wanted = canonicalPath(file);
    QList<int> lines;
    for (int row = 0; row < rows_.size(); ++row)
        if (canonical_[row] == wanted)
            lines << rows_[row].line;
    return lines;
}

void BreakpointList::ApplyBreakpoints(AbstractDevice& device) const
{
    device.ClearAllBreakpoints();
    for (const SourceBreakpoint& breakpoint : rows_) {
        unsigned address = 0;
        if (device.LineToAddress(QFile::encodeName(breakpoint.file).constData(), breakpoint.line, &address)
            == tolvane::kStatusDone)
            device.SetBreakpoint(address);
    }
}

int BreakpointList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int BreakpointList::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant BreakpointList::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size())
        return {};
    const SourceBreakpoint& row = rows_[index.row()];
    if (role == Qt::DisplayRole)
        return index.column() == LineColumn ? QString::number(row.line) : row.file;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter
                                   | (index.column() == LineColumn ? Qt::AlignHCenter : Qt::AlignLeft));
    return {};
}

QVariant BreakpointList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section == LineColumn ? QStringLiteral("Line") : QStringLiteral("File");
}
