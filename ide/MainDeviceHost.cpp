// The main window as the device selection sees it.

#include "DebugController.h"
#include "MainFormHosts.h"
#include "TMainForm.h"
#include "ToolWindows.h"

void MainDeviceHost::addMessage(const QString& line)
{
    form_.AddMessage(line);
}

void MainDeviceHost::haltDebugRun()
{
    form_.debugControl().HaltForDeviceChange();
}

void MainDeviceHost::deviceChanged(AbstractDevice* device)
{
    form_.debugControl().SetDevice(device);
    form_.enableDeviceActions(device != nullptr);
}

void MainDeviceHost::closeToolWindow(int windowId)
{
    form_.toolWindows().close(windowId);
}

void MainDeviceHost::clearDebugWindows()
{
    form_.ClearDebugWindows();
}

void MainDeviceHost::deviceMenuItemDone()
{
    if (form_.debugControl().DebugState() == DebugController::kHalted)
        form_.debugControl().DebugStateChanged(DebugController::kHalted);
}

QWidget* MainDeviceHost::dialogOwner()
{
    return &form_;
}

QString MainDeviceHost::chooseFileToOpen(const QString& filter, const QString& defaultExtension)
{
    return form_.askFilesToOpen(filter, false, 0, defaultExtension).value(0);
}
