#pragma once
// ZernJTAG's Options dialog and its two Device-menu tools. They need windows:
// without them (a console host, a build without the GUI layer) each says so
// in a box and does nothing.

namespace zern {

class ZernDevice;

inline constexpr char kDebugLogCaption[] = "JTAG Debug Log";

bool showOptionsWithoutWindows(ZernDevice& device, void* ownerWindow);
void runMenuItemWithoutWindows(ZernDevice& device, const char* caption);

}  // namespace zern
