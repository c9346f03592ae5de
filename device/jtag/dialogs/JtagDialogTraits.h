#pragma once
// ZernJTAG with its dialogs: the Options dialog and the Device menu's Data BP
// and Debug Log tools, shown modally over the host's windows. In a host
// without a QApplication they refuse as the plain traits do.

#include "DeviceTraits.h"

namespace zern {

const DeviceTraits& zernJtagTraitsWithDialogs();

bool showJtagOptions(ZernDevice& device, void* ownerWindow);
void runJtagMenuItem(ZernDevice& device, const char* caption);

}  // namespace zern
