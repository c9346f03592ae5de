#pragma once
// Reads a device configuration file (".cfg": bracketed section keywords, one
// value line each) into DeviceConfig.

#include <functional>
#include <istream>
#include <string>

#include "DeviceConfig.h"

namespace zern {

struct ConfigMessages {
    // Where problems are reported; may be empty.
    std::function<void(const std::string&)> report;
    // Parse warnings and the missing-file message are given only once the
    // plug-in knows its library path.
    bool libraryPathKnown = false;
};

// The sections one plug-in reads beyond those every plug-in reads; a
// section the plug-in does not read is an unknown bracketed line to it.
struct ConfigDialect {
    bool eraseLastPage = true;  // "[ERASE LAST PAGE]"
    bool userCodeStart = true;  // "[USER CODE START]"
    bool hyperdrive = false;    // "[HYPERDRIVE]"
    bool debugTrace = false;    // "[DEBUG]"
};

// Clears what the previous file defined (registers, command lists, the
// AACCE flag), then applies every line of the text. Sections the text lacks
// keep their values.
void parseDeviceConfig(std::istream& text, DeviceConfig& config, const ConfigMessages& messages,
                       const ConfigDialect& dialect = {});

// The whole read: a relative path is taken from the library's folder (when
// known), a missing or unreadable file is reported and changes nothing, and
// the path read is stored as ConfigFile under the options key of the current user.
// Returns whether the file was read.
bool readDeviceConfigFile(const std::string& configPath, const std::string& libraryPath,
                          const std::string& optionsKeyPath, DeviceConfig& config, const ConfigMessages& messages,
                          const ConfigDialect& dialect = {});

}  // namespace zern
