#pragma once
// ZernBrel's Options dialog and Device menu. Inside a Qt application they
// are dialogs shown modally over the host's windows; a host without one
// (a console program) gets a line that says no dialog can be shown.

namespace zern {

class ZernDevice;

inline constexpr char kSolbusToolCaption[] = "Solbus Tool";

// True when the user accepted the dialog: the link is dropped and the
// configuration file it names is read.
bool showBrelOptions(ZernDevice& device, void* ownerWindow);
// "Set Data Breakpoint" on the open link; "Solbus Tool": the tool dialog on
// the open link's port (none without a link).
void runBrelMenuItem(ZernDevice& device, const char* caption);

}  // namespace zern
