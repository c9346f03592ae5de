#include "BrelDialogHooks.h"

#include <cstring>

#include "BrelDialogs.h"
#include "SolbusDriver.h"
#include "ZernDevice.h"

namespace zern {

bool showBrelOptions(ZernDevice& device, void* ownerWindow)
{
    if (!zernbrel::dialogsAvailable()) {
        device.report("The Options dialog can only be shown inside the IDE.");
        return false;
    }
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
    if (std::strcmp(caption, "Solbus Tool") != 0)
        return;
    if (!zernbrel::dialogsAvailable()) {
        device.report("The Solbus Tool can only be shown inside the IDE.");
        return;
    }
    const auto* driver = dynamic_cast<const SolbusDriver*>(device.link());
    zernbrel::runToolDialog(driver ? driver->port() : -1);
}

}  // namespace zern
