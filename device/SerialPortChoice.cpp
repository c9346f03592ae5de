#include "SerialPortChoice.h"

#include <algorithm>

#include "SerialPort.h"

namespace zern {
namespace {

constexpr const char* kComPorts[] = {"COM1", "COM2", "COM3", "COM4"};

}  // namespace

PortChoice portChoice(const std::vector<std::string>& presentPorts, const std::optional<std::string>& storedPort)
{
    PortChoice choice;
    choice.items.assign(std::begin(kComPorts), std::end(kComPorts));
    for (const std::string& port : presentPorts) {
        const bool named = std::any_of(std::begin(kComPorts), std::end(kComPorts),
                                       [&](const char* com) { return platform::serialDevicePath(com) == port; });
        if (!named)
            choice.items.push_back(port);
    }
    if (!storedPort || storedPort->empty())
        return choice;
    const auto found = std::find(choice.items.begin(), choice.items.end(), *storedPort);
    choice.selected = static_cast<int>(found - choice.items.begin());
    if (found == choice.items.end())
        choice.items.push_back(*storedPort);
    return choice;
}

}  // namespace zern
