// The smallest device plug-in: every operation declines.
#include <new>

#include "DecliningDevice.h"

TOLVANE_PLUGIN_EXPORT int _GetDeviceVersion()
{
    return tolvane::kDeviceInterfaceVersion;
}

TOLVANE_PLUGIN_EXPORT AbstractDevice* _GetDeviceInstance()
{
    return new (std::nothrow) DecliningDevice;
}

TOLVANE_PLUGIN_EXPORT void _FreeDeviceInstance(AbstractDevice* device)
{
    delete device;
}
