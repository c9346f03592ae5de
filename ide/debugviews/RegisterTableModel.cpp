#include "RegisterTableModel.h"

#include "AbstractDevice.h"
#include "DebugViewHost.h"
#include "GridValues.h"

namespace {

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

RegisterTableModel::RegisterTableModel(DebugViewHost& host, QObject* parent)
    : ValueGridModel(QStringLiteral("Register"), parent), host_(host)
{}

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
    allChanged();
}

int RegisterTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QString RegisterTableModel::cellText(int index, Kind kind) const
{
    const Row& row = rows_[static_cast<size_t>(index)];
    if (!row.described)
        return QString();
    if (kind == Name)
        return row.name;
    if (kind == Address)
        return gridvalues::addressText(row.address, host_.addressBits());
    return gridvalues::valueText(row.value, row.widthBits, radixOf(kind));
}

std::optional<QString> RegisterTableModel::commitEdit(const QModelIndex& index, const QString& text)
{
    const Row& row = rows_[static_cast<size_t>(index.row())];
    const std::optional<uint64_t> value = gridvalues::parseValue(text, row.widthBits, radixOf(index.column()));
    if (!value)
        return text + QStringLiteral(" is not a valid value.");
    AbstractDevice* device = host_.device();
    if (!device || device->SetRegister(index.row(), *value) != tolvane::kStatusDone)
        return QStringLiteral("An error occured while trying to set the register's value.");
    host_.refreshDebugWindows();
    return std::nullopt;
}
