#include "RegisterTableModel.h"

#include <QApplication>
#include <QPalette>

#include "AbstractDevice.h"
#include "DebugViewHost.h"
#include "DebugWindow.h"
#include "RegisterValues.h"

namespace {

using registers::Radix;

const char* const kHeadings[] = {"Register", "Dec", "Hex", "Bin", "Addr"};

Radix radixOf(int kind)
{
    switch (kind) {
    case RegisterTableModel::Decimal:
        return Radix::Decimal;
    case RegisterTableModel::Binary:
        return Radix::Binary;
    default:
        break;
    }
    return Radix::Hexadecimal;
}

bool isValueKind(int kind)
{
    return kind == RegisterTableModel::Decimal || kind == RegisterTableModel::Hexadecimal
           || kind == RegisterTableModel::Binary;
}

// The mask text read as a hexadecimal number, as "%x" reads it.
uint32_t groupMaskOf(const QString& text)
{
    QString digits = text.trimmed();
    if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        digits = digits.mid(2);
    int end = 0;
    while (end < digits.size() && end < 8 && QStringLiteral("0123456789abcdefABCDEF").contains(digits[end]))
        ++end;
    return digits.left(end).toUInt(nullptr, 16);
}

QStringList copied(char** texts, int count)
{
    QStringList list;
    for (int i = 0; texts && i < count; ++i)
        list << QString::fromLocal8Bit(texts[i] ? texts[i] : "");
    return list;
}

}  // namespace

RegisterTableModel::RegisterTableModel(DebugViewHost& host, QObject* parent) : EditableGridModel(parent), host_(host) {}

int RegisterTableModel::readTable(QStringList* groupNames, QStringList* maskTexts)
{
    AbstractDevice* device = host_.device();
    if (!device)
        return 0;
    int groupCount = 0;
    char** groups = nullptr;
    int count = 0;
    char** masks = nullptr;
    device->GetRegisterTable(&groupCount, &groups, &count, &masks);
    count = std::clamp(count, 0, tolvane::kRegisterTableSize);
    if (groupNames)
        *groupNames = copied(groups, std::max(groupCount, 0));
    if (maskTexts)
        *maskTexts = copied(masks, count);
    return count;
}

bool RegisterTableModel::readRegister(int index, Row& row, bool withAddress)
{
    AbstractDevice* device = host_.device();
    char* name = nullptr;
    uint64_t value = 0;
    int width = 0;
    int address = 0;
    if (!device || device->GetRegister(index, &name, &value, &width, &address) != tolvane::kStatusDone)
        return false;
    row.name = QString::fromLocal8Bit(name ? name : "");
    row.value = value;
    row.widthBits = width;
    if (withAddress)
        row.address = address;
    row.described = true;
    return true;
}

bool RegisterTableModel::rebuild()
{
    beginResetModel();
    QStringList masks;
    const int count = readTable(&groupNames_, &masks);
    const bool grouped = !groupNames_.isEmpty();
    rows_.assign(static_cast<size_t>(count), Row{});
    bool complete = count > 0;
    for (int index = 0; index < count; ++index) {
        Row& row = rows_[static_cast<size_t>(index)];
        row.groupMask = grouped ? groupMaskOf(masks.value(index)) : 0;
        if ((!grouped || row.groupMask != 0) && !readRegister(index, row, true))
            complete = false;
    }
    endResetModel();
    return complete;
}

void RegisterTableModel::refresh()
{
    const int count = std::min(readTable(nullptr, nullptr), static_cast<int>(rows_.size()));
    for (int index = 0; index < count; ++index)
        readRegister(index, rows_[static_cast<size_t>(index)], false);
    if (!rows_.empty())
        emit dataChanged(this->index(0, 0), this->index(rowCount() - 1, KindCount - 1));
}

int RegisterTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RegisterTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : KindCount;
}

QVariant RegisterTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row& row = rows_[static_cast<size_t>(index.row())];
    const int kind = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (!row.described)
            return QString();
        if (kind == Name)
            return row.name;
        if (kind == Address)
            return registers::addressText(row.address, host_.addressBits());
        return registers::valueText(row.value, row.widthBits, radixOf(kind));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter | (kind == Name ? Qt::AlignLeft : Qt::AlignHCenter));
    case Qt::FontRole:
        if (kind != Name)
            return DebugWindow::gridFont();
        return {};
    case Qt::BackgroundRole:
        if (kind == Name)
            return QApplication::palette().button();
        return {};
    default:
        return {};
    }
}

QVariant RegisterTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < KindCount)
        return QString::fromLatin1(kHeadings[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags RegisterTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && isValueKind(index.column()) && rows_[static_cast<size_t>(index.row())].described)
        flags |= Qt::ItemIsEditable;
    return flags;
}

std::optional<QString> RegisterTableModel::commitEdit(const QModelIndex& index, const QString& text)
{
    const Row& row = rows_[static_cast<size_t>(index.row())];
    const std::optional<uint64_t> value = registers::parseValue(text, row.widthBits, radixOf(index.column()));
    if (!value)
        return text + QStringLiteral(" is not a valid value.");
    AbstractDevice* device = host_.device();
    if (!device || device->SetRegister(index.row(), *value) != tolvane::kStatusDone)
        return QStringLiteral("An error occured while trying to set the register's value.");
    host_.refreshDebugWindows();
    return std::nullopt;
}
