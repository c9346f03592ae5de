#include "VariableGridModel.h"

#include <algorithm>

#include "AbstractDevice.h"
#include "DebugViewHost.h"

namespace {

constexpr int kMostVariables = 65536;

uint32_t widthMask(int bits)
{
    if (bits > 31)
        return 0xFFFFFFFFu;
    return bits <= 0 ? 0 : (1u << bits) - 1;
}

QString decimalText(const DeviceVariable& variable)
{
    const uint32_t masked = variable.value & widthMask(variable.bits);
    if (!variable.isSigned)
        return QString::number(masked);
    const int bits = std::clamp(variable.bits, 1, 32);
    const bool negative = (masked >> (bits - 1)) & 1u;
    const int64_t value = negative ? static_cast<int64_t>(masked) - (int64_t{1} << bits) : masked;
    return QString::number(value);
}

}  // namespace

int variableCount(AbstractDevice& device)
{
    return std::clamp(device.GetVariableCount(), 0, kMostVariables);
}

std::optional<DeviceVariable> readVariable(AbstractDevice& device, int index)
{
    char* name = nullptr;
    DeviceVariable variable;
    if (device.GetVariable(index, &name, &variable.value, &variable.bits, &variable.address, &variable.isSigned)
        != tolvane::kStatusDone)
        return std::nullopt;
    variable.name = QString::fromLocal8Bit(name ? name : "");
    return variable;
}

QString variableValueText(const DeviceVariable& variable, ValueGridModel::Kind kind)
{
    if (kind == ValueGridModel::Decimal)
        return decimalText(variable);
    return gridvalues::valueText(variable.value & widthMask(variable.bits), std::clamp(variable.bits, 0, 32),
                                 ValueGridModel::radixOf(kind));
}

VariableGridModel::VariableGridModel(DebugViewHost& host, QObject* parent)
    : ValueGridModel(QStringLiteral("Variable"), parent), host_(host)
{}

void VariableGridModel::setDeviceRows(int count)
{
    count = std::max(count, 0);
    const int before = rowCount();
    if (count > before) {
        beginInsertRows({}, before, count - 1);
        rows_.resize(static_cast<size_t>(count));
        endInsertRows();
    } else if (count < before) {
        beginRemoveRows({}, count, before - 1);
        rows_.resize(static_cast<size_t>(count));
        endRemoveRows();
    }
    for (int row = 0; row < count; ++row)
        rows_[static_cast<size_t>(row)].deviceIndex = row;
}

void VariableGridModel::appendWatch(const QString& name)
{
    beginInsertRows({}, rowCount(), rowCount());
    Row row;
    row.name = name;
    rows_.push_back(std::move(row));
    endInsertRows();
}

void VariableGridModel::removeWatch(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void VariableGridModel::showVariable(int row, const DeviceVariable& variable, int deviceIndex)
{
    Row& shown = rows_.at(static_cast<size_t>(row));
    shown.name = variable.name;
    shown.deviceIndex = deviceIndex;
    shown.variable = variable;
    shown.notAvailable = false;
}

void VariableGridModel::forgetDeviceIndices()
{
    for (Row& row : rows_)
        row.deviceIndex = -1;
}

void VariableGridModel::showUnknownAsNotAvailable()
{
    for (Row& row : rows_)
        if (row.deviceIndex < 0)
            row.notAvailable = true;
}

std::optional<int> VariableGridModel::findRow(const QString& name) const
{
    const auto found = std::find_if(rows_.begin(), rows_.end(), [&](const Row& row) { return row.name == name; });
    if (found == rows_.end())
        return std::nullopt;
    return static_cast<int>(found - rows_.begin());
}

int VariableGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QString VariableGridModel::cellText(int index, Kind kind) const
{
    const Row& row = rows_[static_cast<size_t>(index)];
    if (kind == Name)
        return row.name;
    if (row.notAvailable)
        return QStringLiteral("N/A");
    if (!row.variable)
        return QString();
    if (kind == Address)
        return gridvalues::addressText(row.variable->address, host_.addressBits());
    return variableValueText(*row.variable, kind);
}

std::optional<QString> VariableGridModel::commitEdit(const QModelIndex& index, const QString& text)
{
    // A value wider than the variable's 32 bits would lose its high bits.
    const std::optional<uint64_t> value = gridvalues::parseValue(text, 32, radixOf(index.column()));
    if (!value) {
        const bool prefixed = index.column() == Hexadecimal && text.startsWith(QLatin1String("0x"));
        return (prefixed ? text.mid(2) : text) + QStringLiteral(" is not a valid value.");
    }
    const int variable = deviceIndex(index.row());
    if (variable < 0)
        return QStringLiteral("Cannot set the value of a variable that is not is scope.");
    AbstractDevice* device = host_.device();
    if (!device
        || device->SetVariable(variable, static_cast<int>(static_cast<uint32_t>(*value))) != tolvane::kStatusDone)
        return QStringLiteral("An error occured while trying to set the variable's value.");
    host_.refreshDebugWindows();
    return std::nullopt;
}
