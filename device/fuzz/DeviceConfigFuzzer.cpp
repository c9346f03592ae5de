// libFuzzer target: any text through the device configuration reader.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "ConfigReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zern::DeviceConfig config;
    size_t reported = 0;
    zern::ConfigMessages messages{[&](const std::string& line) { reported += line.size(); }, true};
    std::istringstream text(std::string(reinterpret_cast<const char*>(data), size));
    zern::parseDeviceConfig(text, config, messages);
    // A second read over the first must hold as well, in the other plug-in's dialect.
    text.clear();
    text.seekg(0);
    zern::parseDeviceConfig(text, config, messages, zern::ConfigDialect{false, false, true, true});
    return 0;
}
