#pragma once
// The columns of a value grid (Registers, Variables, Watches): which of the
// decimal, hexadecimal, binary and address columns show and in which order,
// the name always first. The popup's four switches move a column behind the
// shown ones or out of sight; columns dragged by the user stay where they
// were put; the switches are kept in the settings under the window's prefix.

#include <QObject>
#include <array>
#include <string>

#include "ValueGridModel.h"
#include "ViewSwitches.h"

class QAction;
class QMenu;
class QTableView;

class ValueColumns : public QObject {
    Q_OBJECT
public:
    using Kind = ValueGridModel::Kind;

    // Adds the switches "Decimal", "Hexadecimal", "Binary" and "Address" to the popup.
    ValueColumns(QTableView& grid, QMenu& popup, std::string settingsPrefix);

    // Name, decimal, hexadecimal and binary shown in that order, the address hidden.
    void reset();
    // Each stored switch that differs is flipped, in the order hexadecimal,
    // decimal, binary, address.
    void restore();
    void save() const;
    ViewSwitches switches() const;

    // Flips the column's switch as its popup entry does.
    void MenuItemClicked(Kind kind);
    // The grid column each kind is shown in; kinds at or past the count of
    // shown columns are hidden.
    int columnOf(Kind kind) const { return positions_[kind]; }
    int visibleColumns() const { return columnCount_; }
    QAction* switchAction(Kind kind) const { return switches_[kind]; }

    // The name column as wide as the widest name; the value columns widen to
    // what they show, never narrow, so that they do not jump while stepping.
    void fit();

private:
    void applyPositions();
    void StringGridColumnMoved();

    QTableView& grid_;
    std::string settingsPrefix_;
    std::array<QAction*, ValueGridModel::KindCount> switches_{};
    std::array<int, ValueGridModel::KindCount> positions_{0, 1, 2, 3, 4};
    int columnCount_ = ValueGridModel::Address;
    bool placingColumns_ = false;
};
