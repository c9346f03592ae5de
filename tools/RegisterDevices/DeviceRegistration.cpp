#include "DeviceRegistration.h"

#include <filesystem>

#include "ProductKey.h"

namespace registration {
namespace {

using platform::RegistryKey;
using platform::RegistryRoot;

constexpr char kDevicesKey[] = TOLVANE_PRODUCT_KEY "\\Devices";

std::string nameOfLibrary(const std::string& library)
{
    std::string name = std::filesystem::path(library).filename().string();
    if (name.starts_with("lib"))
        name.erase(0, 3);
    if (name.ends_with(".so"))
        name.erase(name.size() - 3);
    return name;
}

}  // namespace

std::optional<DeviceEntry> parseDeviceEntry(const std::string& argument)
{
    DeviceEntry entry;
    if (const auto equals = argument.find('='); equals != std::string::npos) {
        entry.name = argument.substr(0, equals);
        entry.library = argument.substr(equals + 1);
    } else {
        entry.library = argument;
        entry.name = nameOfLibrary(argument);
    }
    if (entry.name.empty() || entry.library.empty())
        return std::nullopt;
    // The IDE loads the library by this path from whatever folder it starts in.
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(entry.library, error);
    if (error)
        return std::nullopt;
    entry.library = absolute.lexically_normal().string();
    return entry;
}

bool anyDeviceListExists()
{
    return RegistryKey::exists(RegistryRoot::CurrentUser, kDevicesKey)
           || RegistryKey::exists(RegistryRoot::LocalMachine, kDevicesKey);
}

bool registerDevices(RegistryRoot root, const std::vector<DeviceEntry>& entries, std::string& error)
{
    const auto list = RegistryKey::open(root, kDevicesKey, true);
    if (!list) {
        error = "Unable to open the device list in " + platform::registryFile(root) + ".";
        return false;
    }
    for (const DeviceEntry& entry : entries) {
        if (!list->writeString(entry.name, entry.library)) {
            error = "Unable to write the device " + entry.name + " to " + platform::registryFile(root) + ".";
            return false;
        }
    }
    return true;
}

}  // namespace registration
