#pragma once
// What a debug window may use of the IDE: the device, the debug state, the
// breakpoint list, opening a file at a line or showing it as the execution
// line, watching a variable, and telling the other windows that an edit
// changed the target. Debug windows get this, never the main
// window; tests implement it with a fake.

#include <QString>

class AbstractDevice;
class BreakpointList;

class DebugViewHost {
public:
    virtual ~DebugViewHost() = default;

    // The selected device while its target may be read: from the first halt
    // of a debug run until the run ends. Null otherwise, and the windows then
    // show "Data is not accessible.": outside a run the board may not be
    // connected, and asking would connect to it.
    virtual AbstractDevice* device() const = 0;
    // 1 idle (no debug run), 0 halted, 2 running.
    virtual int debugState() const = 0;
    // The device's address width in bits, as it gave it when selected.
    virtual int addressBits() const = 0;
    virtual BreakpointList& breakpoints() = 0;
    // Opens the file in an editor window with the line selected; reports a
    // file that cannot be opened itself.
    virtual void openFileAtLine(const QString& path, int line) = 0;
    // Opens the file and marks the line as the execution line, clearing the
    // mark in every other editor; reports a missing file itself.
    virtual void showSourceLine(const QString& path, int line) = 0;
    // Shows the Watches window, making it when needed, and adds a watch of the name.
    virtual void addWatch(const QString& name) = 0;
    // An edit or a chosen trace entry changed the target: the device refreshes,
    // then every refreshed window and editor.
    virtual void refreshDebugWindows() = 0;
};
