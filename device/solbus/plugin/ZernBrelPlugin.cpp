// The ZernBrel plug-in: the shared device object with the Solbus traits.

#include "DeviceExports.h"
#include "ZernBrelTraits.h"

const zern::DeviceTraits& zern::pluginTraits()
{
    return kZernBrelTraits;
}
