#include "TraceModel.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>

#include "AbstractDevice.h"
#include "DebugViewHost.h"
#include "DebugWindow.h"
#include "GridValues.h"

namespace {

const char* const kTitles[] = {"File/Event", "Line", "Address", "Data"};

}  // namespace

TraceModel::TraceModel(DebugViewHost& host, QObject* parent) : QAbstractTableModel(parent), host_(host) {}

bool TraceModel::refresh(int limit)
{
    AbstractDevice* device = host_.device();
    int entries = 0;
    int bits = 0;
    int current = 0;
    if (!device || device->GetTraceInfo(&entries, &bits, &current) != tolvane::kStatusDone)
        return false;
    entries = std::max(entries, 0);
    limit = std::max(limit, 0);
    const int shown = std::min(entries, limit);
    const bool sameRows = shown == rowCount();
    if (!sameRows)
        beginResetModel();
    first_ = entries - shown;
    current_ = current;
    dataBits_ = std::clamp(bits, 1, 64);
    slots_.assign(static_cast<size_t>(shown), Slot{});
    if (!sameRows)
        endResetModel();
    else if (shown > 0)
        emit dataChanged(index(0, 0), index(shown - 1, FieldCount - 1));
    return true;
}

void TraceModel::readRows(int firstRow, int lastRow)
{
    AbstractDevice* device = host_.device();
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, rowCount() - 1);
    int changedFrom = -1;
    int changedTo = -1;
    for (int row = firstRow; device && row <= lastRow; ++row) {
        Slot& slot = slots_[static_cast<size_t>(row)];
        if (slot.read)
            continue;
        slot.read = true;
        char* text = nullptr;
        Entry entry;
        if (device->GetTraceEntry(entryOfRow(row), &text, &entry.line, &entry.address, &entry.data)
            == tolvane::kStatusDone) {
            entry.text = QString::fromLocal8Bit(text ? text : "");
            slot.entry = std::move(entry);
        }
        changedFrom = changedFrom < 0 ? row : changedFrom;
        changedTo = row;
    }
    if (changedFrom >= 0)
        emit dataChanged(index(changedFrom, 0), index(changedTo, FieldCount - 1));
}

QString TraceModel::fieldText(const Entry& entry, int field) const
{
    switch (field) {
    case FileOrEvent:
        return entry.text;
    case Line:
        return entry.line == 0 ? QString() : QString::number(static_cast<uint32_t>(entry.line));
    case Address:
        return gridvalues::addressText(entry.address, host_.addressBits());
    default:
        break;
    }
    return QStringLiteral("0x") + gridvalues::valueText(entry.data, dataBits_, gridvalues::Radix::Hexadecimal);
}

QString TraceModel::dumpText()
{
    readRows(0, rowCount() - 1);
    const QString lineEnd = QStringLiteral("\r\n");
    QStringList titles;
    for (const char* title : kTitles)
        titles << QString::fromLatin1(title);
    QString text = titles.join(QLatin1Char(',')) + lineEnd;
    for (const Slot& slot : slots_) {
        if (slot.entry) {
            QStringList fields;
            for (int field = 0; field < FieldCount; ++field)
                fields << fieldText(*slot.entry, field);
            text += fields.join(QLatin1Char(','));
        }
        text += lineEnd;
    }
    return text;
}

int TraceModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(slots_.size());
}

int TraceModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : FieldCount;
}

QVariant TraceModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const bool current = entryOfRow(index.row()) == current_;
    switch (role) {
    case Qt::DisplayRole: {
        const Slot& slot = slots_[static_cast<size_t>(index.row())];
        return slot.entry ? fieldText(*slot.entry, index.column()) : QString();
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter
                                   | (index.column() == FileOrEvent ? Qt::AlignLeft : Qt::AlignHCenter));
    case Qt::FontRole:
        if (index.column() != FileOrEvent)
            return DebugWindow::gridFont();
        return {};
    case Qt::BackgroundRole:
        if (current)
            return QApplication::palette().highlight();
        return {};
    case Qt::ForegroundRole:
        if (current)
            return QApplication::palette().highlightedText();
        return {};
    default:
        return {};
    }
}

QVariant TraceModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < FieldCount)
        return QString::fromLatin1(kTitles[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}
