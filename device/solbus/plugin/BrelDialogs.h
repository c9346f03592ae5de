#pragma once
// The plug-in's dialogs as the device hooks call them: Qt dialogs when the
// GUI layer is built, none otherwise.

#include <optional>
#include <string>

namespace zern {
class ZernDevice;
}

namespace zernbrel {

// Whether this process can show the plug-in's dialogs: a Qt application runs.
bool dialogsAvailable();
// The Options dialog over the owner window (when it is one of the host's),
// showing the configuration file; the file named when the user pressed OK.
std::optional<std::string> runOptionsDialog(const std::string& optionsKeyPath, const std::string& configFile,
                                            void* ownerWindow);
// The Solbus Tool on a port index (-1: no link), modal until closed.
void runToolDialog(int port);
// The data breakpoint every ZERN device plug-in offers, on the open link.
void runDataBreakpointDialog(zern::ZernDevice& device);

}  // namespace zernbrel
