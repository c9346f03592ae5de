#pragma once
// Finds and opens the adapter board: the USB dongle reset, the serial port,
// a board reset by DTR, and the board program's prompt.

#include <functional>
#include <memory>
#include <string>

#include "LinkTiming.h"
#include "SerialPort.h"

namespace zern {

// The open port with the board at its prompt, or null after reporting why
// (each step reports on log as one line).
std::unique_ptr<platform::SerialPort> openLink(const std::string& portName,
                                               const std::function<void(const std::string&)>& log,
                                               const LinkTiming& timing);

}  // namespace zern
