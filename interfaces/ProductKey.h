#pragma once
// The product's registry key: every deliverable keeps its settings below it.
// A macro as well, so that keys below it can be spelled as one literal.

#define TOLVANE_PRODUCT_KEY "\\Software\\Quorin Semiconductor\\Tolvane"

namespace tolvane {

inline constexpr char kProductKey[] = TOLVANE_PRODUCT_KEY;
// The IDE keeps its own values in the product key itself.
inline constexpr char kSettingsKey[] = TOLVANE_PRODUCT_KEY "\\";

}  // namespace tolvane
