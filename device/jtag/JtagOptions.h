#pragma once
// The rules of ZernJTAG's Options dialog, apart from its widgets: the clock
// it accepts, the port it stores, and what OK does.

#include <cstdint>
#include <optional>
#include <string>

namespace zern {

class ZernDevice;

inline constexpr char kClockRangeMessage[] = "JTAG Clock Rate must be between 1 and 200 kHz.";

// The clock text as a number of kHz from 1 to 200; none otherwise.
std::optional<int32_t> optionsClock(const std::string& text);

// A port name the options keep: a "COM" name, or on this system a device path.
bool storablePortName(const std::string& name);

// The SerialPort value, read without creating the options key.
std::optional<std::string> storedSerialPort(const ZernDevice& device);
// Writes the port as SerialPort when it is storable (creating the key); false
// only when it could not be written.
bool storeSerialPort(const ZernDevice& device, const std::string& port);

// What OK does: drops the link, so that the next operation reconnects with
// the new settings, reads the configuration file and takes the clock.
void applyOptions(ZernDevice& device, const std::string& configFile, int32_t clockKHz);

}  // namespace zern
