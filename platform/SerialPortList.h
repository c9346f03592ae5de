#pragma once
// The serial ports present on this machine, by device path: USB serial
// adapters (/dev/ttyUSB*), USB modems (/dev/ttyACM*) and the built-in UARTs
// (/dev/ttyS*) that have hardware behind them.

#include <string>
#include <vector>

namespace platform {

// In name order, numbers compared as numbers. The folders are parameters so
// that a test can lay out its own.
std::vector<std::string> presentSerialPorts(const std::string& deviceFolder = "/dev",
                                            const std::string& ttyClassFolder = "/sys/class/tty");

}  // namespace platform
