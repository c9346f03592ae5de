#pragma once
// What the device binding needs from the main window that owns it.

#include <QList>
#include <QString>
#include <map>

class AbstractDevice;
class QAction;
class QMenu;
class QWidget;

class DeviceHost {
public:
    virtual ~DeviceHost() = default;

    // Window thread: one message line for the Messages window (shown first).
    virtual void addMessage(const QString& line) = 0;
    // Ends a debug run in progress (nothing when the debug state is idle) so
    // that the device can be freed.
    virtual void haltDebugRun() = 0;
    // The device object now in use (null once it is freed): everything else
    // that calls the device switches to it.
    virtual void deviceChanged(AbstractDevice* device) = 0;
    // Closes (undocking first) and forgets the tool window of this id, when open.
    virtual void closeToolWindow(int windowId) = 0;
    virtual void clearDebugWindows() = 0;
    // After a device menu entry ran: refresh the halted debug view.
    virtual void deviceMenuItemDone() = 0;
    // Owner of the device's dialogs.
    virtual QWidget* dialogOwner() = 0;
    // The main window's open dialog for one file ("Name|pattern|..." filter,
    // the first preselected); empty when cancelled.
    virtual QString chooseFileToOpen(const QString& filter, const QString& defaultExtension) = 0;
};

// The menus and actions the device decides about, all owned by the main window.
struct DeviceMenus {
    // Device menu: device radio items are kept above `deviceCommandsSeparator`;
    // the device's own entries go between `separatorA` and `separatorB`.
    QMenu* device = nullptr;
    QAction* deviceCommandsSeparator = nullptr;
    QAction* separatorA = nullptr;
    QAction* separatorB = nullptr;
    // Help menu: the device's help entries follow `helpContents` and come
    // before `helpAboutSeparator`.
    QMenu* help = nullptr;
    QAction* helpContents = nullptr;
    QAction* helpAboutSeparator = nullptr;
    // Compiler menu: compiler radio items come before `compilerSeparator`.
    QMenu* compiler = nullptr;
    QAction* compilerSeparator = nullptr;
    // Checked: low-level debugging.
    QAction* lowLevelDebug = nullptr;
    // Shown or hidden by the device's answer to HasFeature(id).
    std::map<int, QList<QAction*>> featureActions;
};
