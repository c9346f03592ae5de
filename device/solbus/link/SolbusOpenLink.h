#pragma once
// Opens the Solbus link: the adapter on the named serial port, the bus at
// overdrive (or hyperdrive) speed and the chip's debug port selected.

#include <functional>
#include <string>

namespace zern {

// The port index, or -1 after "Unable to open Solbus port.". Every step
// reports on log as one line; a step that fails is reported and the
// opening goes on.
int OpenLink(const std::string& portName, bool hyperdrive, const std::function<void(const std::string&)>& log);

}  // namespace zern
