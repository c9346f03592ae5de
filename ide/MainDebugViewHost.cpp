// The main window as the debug windows see it.

#include "DebugController.h"
#include "DebugViews.h"
#include "DeviceBinding.h"
#include "EditorWindows.h"
#include "MainFormHosts.h"
#include "TMainForm.h"

AbstractDevice* MainDebugViewHost::device() const
{
    return form_.debugControl().TargetReadable() ? form_.deviceBinding().device() : nullptr;
}

int MainDebugViewHost::debugState() const
{
    return form_.debugControl().DebugState();
}

int MainDebugViewHost::addressBits() const
{
    return form_.deviceBinding().addressBits();
}

BreakpointList& MainDebugViewHost::breakpoints()
{
    return form_.breakpointList();
}

void MainDebugViewHost::openFileAtLine(const QString& path, int line)
{
    form_.OpenFileAtLine(path, line);
}

void MainDebugViewHost::showSourceLine(const QString& path, int line)
{
    form_.editorWindows().ShowSourceLine(path, line);
}

void MainDebugViewHost::addWatch(const QString& name)
{
    AddWatch(form_.toolWindows(), name);
}

void MainDebugViewHost::refreshDebugWindows()
{
    form_.debugControl().RefreshDebugWindows();
}
