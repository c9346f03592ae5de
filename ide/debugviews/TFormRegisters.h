#pragma once
// The Registers window: the target's registers with their values in
// decimal, hexadecimal and binary and their addresses, filtered by register
// group when the device has groups. The popup switches the value and address
// columns on and off; columns can be dragged into another order (the name
// stays first); a value typed in place is written to the target.

#include "DebugWindow.h"
#include "RegisterTableModel.h"
#include "ValueColumns.h"

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

    QTableView* grid() const { return grid_; }
    QComboBox* groupCombo() const { return groups_; }
    RegisterTableModel& model() { return model_; }
    ValueColumns& columns() { return *columns_; }

private:
    void applyGroupFilter();

    RegisterTableModel model_;
    QWidget* top_;
    QComboBox* groups_;
    QTableView* grid_;
    QMenu* popup_;
    ValueColumns* columns_;
    bool rebuild_ = false;
};
