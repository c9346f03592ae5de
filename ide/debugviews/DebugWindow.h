#pragma once
// The base of the debug windows: a tool window that reads one view of the
// device through the debug view host, behind "Data is not accessible." while
// the device does not offer it and catching up when it is next seen.

#include <QFont>

#include "TDockableForm.h"

class AbstractDevice;
class DebugViewHost;

class DebugWindow : public TDockableForm {
    Q_OBJECT
public:
    DebugWindow(QMainWindow* owner, DebugViewHost& host, int viewId, const QString& caption);

    // Writes what the window keeps in the settings; the program is ending.
    virtual void SaveAtClose() {}

    // The grids' value font.
    static QFont GridFont();

protected:
    // IsViewEnabled, then the refresh-pending rule: true when the window is
    // to read the device now.
    bool BeginViewRefresh();
    DebugViewHost& Host() const { return host_; }
    AbstractDevice* Device() const;

private:
    DebugViewHost& host_;
    int viewId_;
};
