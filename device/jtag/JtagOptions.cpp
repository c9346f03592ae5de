#include "JtagOptions.h"

#include "ConfigNumbers.h"
#include "Registry.h"
#include "ZernDevice.h"

namespace zern {
namespace {

constexpr int32_t kLowestClock = 1;
constexpr int32_t kHighestClock = 200;

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
