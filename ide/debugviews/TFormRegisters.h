#pragma once
// The Registers window: the target's registers with their values in
// decimal, hexadecimal and binary and their addresses, filtered by register
// group when the device has groups. The popup switches the value and address
// columns on and off; columns can be dragged into another order (the name
// stays first); a value typed in place is written to the target.

#include <array>

#include "DebugWindow.h"
#include "RegisterTableModel.h"
#include "ViewSwitches.h"

class QAction;
class QComboBox;
class QMenu;
class QTableView;
class QWidget;

class TFormRegisters : public DebugWindow {
    Q_OBJECT
public:
    TFormRegisters(QMainWindow* owner, DebugViewHost& host, std::optional<QRect> rect, int placement);

    void RefreshView() override;
    void ResetView() override;
    // The column switches, as RegistersShowHex and so on.
    void saveAtClose() override;

    // The popup's checks: Decimal, Hexadecimal, Binary, Address.
    ViewSwitches switches() const;
    // Flips the column's switch as the popup entry does.
    void MenuItemClicked(RegisterTableModel::Kind kind);
    // The grid column each kind is shown in; kinds at or past the column
    // count are hidden.
    int columnOf(RegisterTableModel::Kind kind) const { return positions_[kind]; }
    int visibleColumns() const { return columnCount_; }

    QTableView* grid() const { return grid_; }
    QComboBox* groupCombo() const { return groups_; }
    RegisterTableModel& model() { return model_; }
    QAction* switchAction(RegisterTableModel::Kind kind) const { return switches_[kind]; }

private:
    void applyPositions();
    void StringGridColumnMoved();
    void applyGroupFilter();
    void restoreSwitches();
    void fitColumns();

    RegisterTableModel model_;
    QWidget* top_;
    QComboBox* groups_;
    QTableView* grid_;
    QMenu* popup_;
    std::array<QAction*, RegisterTableModel::KindCount> switches_{};
    std::array<int, RegisterTableModel::KindCount> positions_{0, 1, 2, 3, 4};
    int columnCount_ = RegisterTableModel::Address;
    bool rebuild_ = false;
    bool placingColumns_ = false;
};
