#pragma once
#include "DeviceTraits.h"

namespace zern {

// The ZernBrel plug-in: the target chip on the Solbus, through the bus
// adapter on a serial port.
extern const DeviceTraits kZernBrelTraits;

}  // namespace zern
