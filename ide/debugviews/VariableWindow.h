#pragma once
// What the Variables and Watches windows share: the value grid over the
// device's variables, its column switches (kept in the settings under the
// window's prefix), the popup with the switches, and the refresh under the
// view check. Each window fills the rows its own way and adds its entries
// to the popup.

#include <optional>

#include "DebugWindow.h"
#include "ValueColumns.h"
#include "VariableGridModel.h"

class QMenu;
class QTableView;

class VariableWindow : public DebugWindow {
    Q_OBJECT
public:
    void RefreshView() override;
    void ResetView() override;
    // The column switches, as <prefix>ShowHex and so on.
    void saveAtClose() override;

    QTableView* grid() const { return grid_; }
    QMenu* popup() const { return popup_; }
    VariableGridModel& model() { return model_; }
    ValueColumns& columns() { return *columns_; }

protected:
    VariableWindow(QMainWindow* owner, DebugViewHost& host, int viewId, const QString& caption,
                   const char* settingsPrefix);

    // Reads the device's variables into the rows, under the hourglass.
    virtual void fillRows(AbstractDevice& device) = 0;
    // The row of the grid's current cell; none without one.
    std::optional<int> selectedRow() const;

private:
    VariableGridModel model_;
    QTableView* grid_;
    QMenu* popup_;
    ValueColumns* columns_;
};
