#include "JtagOptions.h"

#include <algorithm>

#include "ConfigNumbers.h"
#include "Registry.h"
#include "SerialPort.h"
#include "ZernDevice.h"

namespace zern {
namespace {

constexpr int32_t kLowestClock = 1;
constexpr int32_t kHighestClock = 200;
constexpr const char* kComPorts[] = {"COM1", "COM2", "COM3", "COM4"};

}  // namespace

std::optional<int32_t> optionsClock(const std::string& text)
{
    int32_t kHz = 0;
    if (!parseConfigInt(text, kHz) || kHz < kLowestClock || kHz > kHighestClock)
        return std::nullopt;
    return kHz;
}

bool storablePortName(const std::string& name)
{
    return name.starts_with("COM") || (name.starts_with("/dev/") && name.size() > 5);
}

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

std::optional<std::string> storedSerialPort(const ZernDevice& device)
{
    const auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, device.optionsKeyPath(), false);
    return key ? key->readString("SerialPort") : std::nullopt;
}

bool storeSerialPort(const ZernDevice& device, const std::string& port)
{
    if (!storablePortName(port))
        return true;
    const auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, device.optionsKeyPath(), true);
    return key && key->writeString("SerialPort", port);
}

void applyOptions(ZernDevice& device, const std::string& configFile, int32_t clockKHz)
{
    device.closeLink();
    device.useConfigFile(configFile);
    device.setJtagClock(clockKHz);
}

}  // namespace zern
