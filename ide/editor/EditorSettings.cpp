#include "EditorSettings.h"

#include "Registry.h"

using platform::RegistryKey;
using platform::RegistryRoot;

bool ReadUseExternalEditor()
{
    const auto key = RegistryKey::open(RegistryRoot::CurrentUser, tolvane::kSettingsKey, false);
    return key && key->readBool("UseExternalEditor").value_or(false);
}

bool WriteSettingBool(const char* name, bool value)
{
    const auto key = RegistryKey::open(RegistryRoot::CurrentUser, tolvane::kSettingsKey, true);
    return key && key->writeBool(name, value);
}

bool WriteSettingInteger(const char* name, int value)
{
    const auto key = RegistryKey::open(RegistryRoot::CurrentUser, tolvane::kSettingsKey, true);
    return key && key->writeInteger(name, value);
}
