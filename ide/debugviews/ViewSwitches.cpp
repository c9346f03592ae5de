#include "ViewSwitches.h"

#include "ProductKey.h"
#include "Registry.h"

StoredViewSwitches readViewSwitches(const std::string& prefix)
{
    StoredViewSwitches stored;
    const auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, tolvane::kSettingsKey, false);
    if (!key)
        return stored;
    stored.hex = key->readBool(prefix + "ShowHex");
    stored.decimal = key->readBool(prefix + "ShowDecimal");
    stored.binary = key->readBool(prefix + "ShowBinary");
    stored.address = key->readBool(prefix + "ShowAddress");
    return stored;
}

bool writeViewSwitches(const std::string& prefix, const ViewSwitches& switches)
{
    const auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, tolvane::kSettingsKey, true);
    return key && key->writeBool(prefix + "ShowHex", switches.hex)
           && key->writeBool(prefix + "ShowDecimal", switches.decimal)
           && key->writeBool(prefix + "ShowBinary", switches.binary)
           && key->writeBool(prefix + "ShowAddress", switches.address);
}
