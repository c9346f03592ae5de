#pragma once
// The three exports of a device plug-in (DeviceExports.cpp, built into each
// plug-in by tolvane_device_plugin) create the shared device object with the
// traits the plug-in defines here.

#include "DeviceTraits.h"

namespace zern {

const DeviceTraits& pluginTraits();

}  // namespace zern
