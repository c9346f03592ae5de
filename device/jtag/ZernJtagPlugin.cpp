// The ZernJTAG plug-in: the shared device object with the adapter board's traits.

#include "DeviceExports.h"
#include "ZernJtagTraits.h"

const zern::DeviceTraits& zern::pluginTraits()
{
    return kZernJtagTraits;
}
