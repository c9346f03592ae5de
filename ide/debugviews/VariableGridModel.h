#pragma once
// The grid the Variables and Watches windows share: one row per variable
// with its name, its value in decimal, hexadecimal and binary, and its
// address. Each row knows the index of the device variable it shows (-1 for
// a watch the device does not report, which shows "N/A"). A value typed into
// a value column is read by the column's radix and written to that variable.

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "ValueGridModel.h"

class AbstractDevice;
class DebugViewHost;

struct DeviceVariable {
    QString name;
    uint32_t value = 0;
    int bits = 0;
    int address = 0;
    bool isSigned = false;
};

// How many variables the device reports, bounded so that a wild count
// cannot make the windows read for ever.
int variableCount(AbstractDevice& device);
// The device's variable at the index; none when the device does not describe it.
std::optional<DeviceVariable> readVariable(AbstractDevice& device, int index);
// The value in a value column: masked to the variable's width (all 32 bits
// above 31); decimal sign-extended from the width for a signed variable;
// hexadecimal in the width's digits; binary without leading zeros.
QString variableValueText(const DeviceVariable& variable, ValueGridModel::Kind kind);

class VariableGridModel : public ValueGridModel {
    Q_OBJECT
public:
    explicit VariableGridModel(DebugViewHost& host, QObject* parent = nullptr);

    // One row per device variable, row i for variable i; rows that were
    // there keep what they show until they are filled again.
    void setDeviceRows(int count);
    // A watch: a row of the name at the end, its variable not yet known.
    void appendWatch(const QString& name);
    void removeWatch(int row);

    // The row shows the variable, the device's variable at the index.
    void showVariable(int row, const DeviceVariable& variable, int deviceIndex);
    // Every row's variable unknown again, before the rows are matched anew.
    void forgetDeviceIndices();
    // A row whose variable stayed unknown shows "N/A" in its value and address columns.
    void showUnknownAsNotAvailable();
    // The first row of exactly this name (case counts), or none.
    std::optional<int> findRow(const QString& name) const;
    int deviceIndex(int row) const { return rows_.at(static_cast<size_t>(row)).deviceIndex; }
    QString rowName(int row) const { return rows_.at(static_cast<size_t>(row)).name; }
    // The view shows what the rows hold now.
    void showChanges() { allChanged(); }

    int rowCount(const QModelIndex& parent = {}) const override;

protected:
    QString cellText(int row, Kind kind) const override;
    std::optional<QString> commitEdit(const QModelIndex& index, const QString& text) override;

private:
    struct Row {
        QString name;
        int deviceIndex = -1;
        std::optional<DeviceVariable> variable;
        bool notAvailable = false;
    };

    DebugViewHost& host_;
    std::vector<Row> rows_;
};
