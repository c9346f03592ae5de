#pragma once
#include "DeviceTraits.h"

namespace zern {

// The ZernJTAG plug-in: the serial-to-JTAG adapter board on a serial port.
extern const DeviceTraits kZernJtagTraits;

}  // namespace zern
