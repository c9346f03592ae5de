#include "SerialPortList.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace platform {
namespace {

constexpr std::array<std::string_view, 3> kPrefixes = {"ttyUSB", "ttyACM", "ttyS"};

struct PortName {
    size_t prefix;
    unsigned long number;
    std::string name;
};

// The prefix and number of a serial device name such as "ttyUSB0".
bool parsePortName(const std::string& name, PortName& port)
{
    for (size_t prefix = 0; prefix < kPrefixes.size(); ++prefix) {
        const std::string_view expected = kPrefixes[prefix];
        if (name.size() <= expected.size() || name.compare(0, expected.size(), expected) != 0)
            continue;
        const std::string digits = name.substr(expected.size());
        if (digits.size() > 6
            || !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); }))
            return false;
        port = {prefix, std::stoul(digits), name};
        return true;
    }
    return false;
}

// The kernel keeps a /dev/ttyS node for every possible UART; one without
// hardware reports the type 0.
bool uartPresent(const std::filesystem::path& ttyClassFolder, const std::string& name)
{
    std::ifstream type(ttyClassFolder / name / "type");
    int value = -1;
    return !(type >> value) || value != 0;
}

}  // namespace

std::vector<std::string> presentSerialPorts(const std::string& deviceFolder, const std::string& ttyClassFolder)
{
    std::vector<PortName> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(deviceFolder, error)) {
        PortName port;
        if (!parsePortName(entry.path().filename().string(), port))
            continue;
        if (kPrefixes[port.prefix] == "ttyS" && !uartPresent(ttyClassFolder, port.name))
            continue;
        found.push_back(std::move(port));
    }
    std::sort(found.begin(), found.end(), [](const PortName& a, const PortName& b) {
        return a.prefix != b.prefix ? a.prefix < b.prefix : a.number < b.number;
    });
    std::vector<std::string> paths;
    for (const PortName& port : found)
        paths.push_back((std::filesystem::path(deviceFolder) / port.name).string());
    return paths;
}

}  // namespace platform
