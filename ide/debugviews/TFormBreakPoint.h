#pragma once
// The Breakpoints window: the view of the breakpoint list, one row per
// breakpoint ("Line", "File"). Remove (Del) takes the selected rows away,
// from the last up; Select All (Ctrl+A); a double click opens the file at
// the line. The device follows the list, not this window.

#include "DebugWindow.h"

class QAction;
class QMenu;
class QTableView;

class TFormBreakPoint : public DebugWindow {
    Q_OBJECT
public:
    TFormBreakPoint(QMainWindow* owner, DebugViewHost& host, std::optional<QRect> rect, int placement);

    void removeSelectedRows();
    void selectAllRows();
    void openRowAtLine();

    QTableView* grid() const { return grid_; }
    QAction* removeAction() const { return remove_; }

private:
    QTableView* grid_;
    QMenu* popup_;
    QAction* remove_;
};
