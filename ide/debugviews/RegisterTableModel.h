#pragma once
// The registers as the device describes them, one row each: name, the value
// in decimal, hexadecimal and binary, and the address. Filled from the device
// when the window is reset and after every stop; a value typed into one of
// the value columns is parsed by its radix and written with SetRegister.

#include <QStringList>
#include <cstdint>
#include <vector>

#include "EditableGridModel.h"

class DebugViewHost;

class RegisterTableModel : public EditableGridModel {
    Q_OBJECT
public:
    // The column kinds, in the order of the column switches' positions.
    enum Kind { Name = 0, Decimal, Hexadecimal, Binary, Address, KindCount };

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
    QString registerName(int row) const { return rows_.at(static_cast<size_t>(row)).name; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

protected:
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
