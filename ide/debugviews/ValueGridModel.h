#pragma once
// The grid of the Registers, Variables and Watches windows: one row per
// named value with the value in decimal, hexadecimal and binary and its
// address. The value columns are edited in place; the name and the address
// are not. What a row holds and how an edit is written is the window's own.

#include <QString>

#include "EditableGridModel.h"
#include "GridValues.h"

class ValueGridModel : public EditableGridModel {
    Q_OBJECT
public:
    // The column kinds, in the order of their columns after a reset.
    enum Kind { Name = 0, Decimal, Hexadecimal, Binary, Address, KindCount };

    // The title of the name column: "Register", "Variable".
    explicit ValueGridModel(QString nameTitle, QObject* parent = nullptr);

    static bool isValueKind(int kind);
    static gridvalues::Radix radixOf(int kind);

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

protected:
    // The cell's text; called only for rows within rowCount.
    virtual QString cellText(int row, Kind kind) const = 0;
    // Whether the row's value columns take an edit.
    virtual bool rowEditable(int) const { return true; }
    // Every cell shows anew.
    void allChanged();

private:
    QString nameTitle_;
};
