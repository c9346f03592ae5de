#include "BrelDialogHooks.h"

#include <cstring>
#include <string>

#include "BrelDialogs.h"
#include "DeviceTraits.h"
#include "SolbusDriver.h"
#include "ZernDevice.h"

namespace zern {

namespace {

// A host without windows (a console program) gets a line instead of the dialog.
bool windowsFor(ZernDevice& device, const char* dialog)
{
    if (zernbrel::dialogsAvailable())
        return true;
    device.report(std::string("The ") + dialog + " dialog can only be shown inside the IDE.");
    return false;
}

}  // namespace

bool showBrelOptions(ZernDevice& device, void* ownerWindow)
{
    if (!windowsFor(device, "Options"))
        return false;
    const std::optional<std::string> configFile =
        zernbrel::runOptionsDialog(device.optionsKeyPath(), device.configFilePath(), ownerWindow);
    if (!configFile)
        return false;
    // A run in progress ends first; the next operation connects with the new settings.
    device.closeLink();
    device.useConfigFile(*configFile);
    return true;
}

void runBrelMenuItem(ZernDevice& device, const char* caption)
{
    if (std::strcmp(caption, kDataBreakpointCaption) == 0) {
        if (windowsFor(device, "Data BP"))
            zernbrel::runDataBreakpointDialog(device);
    } else if (std::strcmp(caption, kSolbusToolCaption) == 0) {
        if (!windowsFor(device, kSolbusToolCaption))
            return;
        const auto* driver = dynamic_cast<const SolbusDriver*>(device.link());
        zernbrel::runToolDialog(driver ? driver->port() : -1);
    }
}

}  // namespace zern
