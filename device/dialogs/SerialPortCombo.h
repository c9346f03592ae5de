#pragma once
// The port list of the plug-ins' Options dialogs: the same items in every
// ZERN device plug-in, with the stored port selected.

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QComboBox;

namespace zern {

// The serial ports present on this machine, by device path.
using PresentSerialPorts = std::function<std::vector<std::string>()>;
PresentSerialPorts machineSerialPorts();

// Replaces the combo box's items with the port choice and selects the stored port.
void fillSerialPortCombo(QComboBox& combo, const std::vector<std::string>& presentPorts,
                         const std::optional<std::string>& storedPort);

}  // namespace zern
