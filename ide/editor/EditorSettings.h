#pragma once
// The IDE's registry key and the editor values kept there.

#include "ProductKey.h"

inline constexpr const char kTolvaneKey[] = TOLVANE_PRODUCT_KEY "\\";

// UseExternalEditor of the current user; false when missing.
bool ReadUseExternalEditor();
// Writes one bool value, creating the key when missing.
bool WriteSettingBool(const char* name, bool value);
bool WriteSettingInteger(const char* name, int value);
