// The three exports of the ZernJTAG device plug-in.

#include <new>

#include "PluginExport.h"
#include "ZernDevice.h"
#include "ZernJtagTraits.h"

#ifdef TOLVANE_PLUGIN_GUI_BOXES
#include "QtMessageBoxes.h"

// This library's boxes are dialogs on the host's window thread when the host
// runs a Qt application, and console lines otherwise.
static platform::DefaultQtMessageBoxes pluginBoxes;
#endif

TOLVANE_PLUGIN_EXPORT int _GetDeviceVersion()
{
    return tolvane::kDeviceInterfaceVersion;
}

TOLVANE_PLUGIN_EXPORT AbstractDevice* _GetDeviceInstance()
{
    try {
        return new zern::ZernDevice(zern::kZernJtagTraits);
    } catch (...) {
        return nullptr;
    }
}

TOLVANE_PLUGIN_EXPORT void _FreeDeviceInstance(AbstractDevice* device)
{
    delete device;
}
