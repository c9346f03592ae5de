#pragma once
#include "DeviceTraits.h"

namespace zern {

// The ZernJTAG plug-in: the serial-to-JTAG adapter board on a serial port.
// Its options and tools refuse here; the GUI layer's traits show their dialogs.
extern const DeviceTraits kZernJtagTraits;

}  // namespace zern
