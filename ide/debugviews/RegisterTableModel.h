#pragma once
// The registers as the device describes them, one row each: name, the value
// in decimal, hexadecimal and binary, and the address. Filled from the device
// when the window is reset and after every stop; a value typed into one of
// the value columns is parsed by its radix and written with SetRegister.

#include <QStringList>
#include <cstdint>
#include <vector>

#include "ValueGridModel.h"

class DebugViewHost;

class RegisterTableModel : public ValueGridModel {
    Q_OBJECT
public:
    explicit RegisterTableModel(DebugViewHost& host, QObject* parent = nullptr);

    // Reads the register table and every register a group lists (every one
    // without groups). False when the list is to be rebuilt at the next
    // refresh: no registers, or one the device would not describe.
    bool rebuild();
    // Reads every register's name and value again (not its address).
    void refresh();

    const QStringList& groupNames() const { return groupNames_; }
    // Bit k set: the register is a member of group k.
    uint32_t groupMask(int row) const { return rows_.at(static_cast<size_t>(row)).groupMask; }

    int rowCount(const QModelIndex& parent = {}) const override;

protected:
    QString cellText(int row, Kind kind) const override;
    bool rowEditable(int row) const override { return rows_[static_cast<size_t>(row)].described; }
    std::optional<QString> commitEdit(const QModelIndex& index, const QString& text) override;

private:
    struct Row {
        QString name;
        uint64_t value = 0;
        int widthBits = 0;
        int address = 0;
        uint32_t groupMask = 0;
        bool described = false;
    };

    // GetRegisterTable's register count, within the interface's table size.
    int readTable(QStringList* groupNames, QStringList* maskTexts);
    bool readRegister(int index, Row& row, bool withAddress);

    DebugViewHost& host_;
    QStringList groupNames_;
    std::vector<Row> rows_;
};
