#pragma once
// The base of the debug windows: a tool window that reads one view of the
// device through the debug view host, behind "Data is not accessible." while
// the device does not offer it and catching up when it is next seen.

#include <QFont>
#include <initializer_list>
#include <optional>
#include <utility>

#include "TDockableForm.h"

class AbstractDevice;
class DebugViewHost;
class EditableGridModel;
class QTableView;

class DebugWindow : public TDockableForm {
    Q_OBJECT
public:
    DebugWindow(QMainWindow* owner, DebugViewHost& host, int viewId, const QString& caption);

    // Writes what the window keeps in the settings; the program is ending.
    virtual void saveAtClose() {}

    // The grids' value font.
    static QFont gridFont();

protected:
    // IsViewEnabled, then the refresh-pending rule: true when the window is
    // to read the device now.
    bool beginViewRefresh();
    DebugViewHost& host() const { return host_; }
    // The window's controls, top to bottom, the last one taking the height left.
    void setContentStack(std::initializer_list<QWidget*> controls);
    // A grid over the model whose cells are edited in place, one at a time,
    // by typing or a double click; its popup is the window's own.
    static void setUpEditableGrid(QTableView& grid, EditableGridModel& model);
    AbstractDevice* currentDevice() const;

    struct SourceLine {
        QString file;
        int line = 0;
    };
    // The first and the last row of the grid in view; none while the grid is
    // empty or the window cannot be seen.
    std::optional<std::pair<int, int>> rowsInView(const QTableView& grid) const;
    // The source line of a code address as the device maps it; none when it does not.
    std::optional<SourceLine> sourceLineAt(unsigned address) const;

private:
    DebugViewHost& host_;
    int viewId_;
};
