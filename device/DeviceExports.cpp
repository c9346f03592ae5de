// The three exports of a device plug-in.

#include "DeviceExports.h"

#include "PluginBoundary.h"
#include "PluginExport.h"
#include "ZernDevice.h"

#ifdef TOLVANE_PLUGIN_GUI_BOXES
#include "QtDesktopDocuments.h"
#include "QtMessageBoxes.h"

// This library's boxes are dialogs on the host's window thread when the host
// runs a Qt application, and console lines otherwise; its documents open
// through the host's desktop.
static platform::DefaultQtMessageBoxes pluginBoxes;
static platform::DefaultQtDesktopDocuments pluginDocuments;
#endif

TOLVANE_PLUGIN_EXPORT int _GetDeviceVersion()
{
    return tolvane::kDeviceInterfaceVersion;
}

TOLVANE_PLUGIN_EXPORT AbstractDevice* _GetDeviceInstance()
{
    return tolvane::guarded<AbstractDevice*>(nullptr, [] { return new zern::ZernDevice(zern::pluginTraits()); });
}

TOLVANE_PLUGIN_EXPORT void _FreeDeviceInstance(AbstractDevice* device)
{
    delete device;
}
