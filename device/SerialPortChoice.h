#pragma once
// The serial ports the plug-ins' Options dialogs offer: the four COM names,
// the ports present on this machine and the port the options hold.

#include <optional>
#include <string>
#include <vector>

namespace zern {

struct PortChoice {
    std::vector<std::string> items;
    int selected = 0;
};

// "COM1" to "COM4", then the present ports that none of them names already,
// then the stored port when it is none of these. The stored port is selected;
// the first item when none is stored.
PortChoice portChoice(const std::vector<std::string>& presentPorts, const std::optional<std::string>& storedPort);

}  // namespace zern
