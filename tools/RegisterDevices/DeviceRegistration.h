#pragma once
// What RegisterDevices does, apart from its command line: entries of the form
// "name=library" or a library path alone (named after its file, without
// "lib" and ".so"), merged into the device list of one registry root. A
// relative library path is taken from the current folder and stored absolute.

#include <optional>
#include <string>
#include <vector>

#include "Registry.h"

namespace registration {

struct DeviceEntry {
    std::string name;
    std::string library;
};

// Empty when the argument names no device (no name, or no library).
std::optional<DeviceEntry> parseDeviceEntry(const std::string& argument);

// True when the current user's or the machine-wide device list exists.
bool anyDeviceListExists();

// Creates the list when missing and writes each entry, keeping the others.
// False, with the reason in error, when the list cannot be written.
bool registerDevices(platform::RegistryRoot root, const std::vector<DeviceEntry>& entries, std::string& error);

}  // namespace registration
