#pragma once
// The editor values kept in the IDE's registry key (tolvane::kSettingsKey).

#include "ProductKey.h"

// UseExternalEditor of the current user; false when missing.
bool ReadUseExternalEditor();
// Writes one bool value, creating the key when missing.
bool WriteSettingBool(const char* name, bool value);
bool WriteSettingInteger(const char* name, int value);
