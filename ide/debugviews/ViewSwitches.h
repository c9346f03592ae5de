#pragma once
// The column switches of a debug grid as the settings keep them: the bool
// values <prefix>ShowHex, <prefix>ShowDecimal, <prefix>ShowBinary and
// <prefix>ShowAddress under "\Software\Quorin Semiconductor\Tolvane\".

#include <optional>
#include <string>

struct ViewSwitches {
    bool hex = true;
    bool decimal = true;
    bool binary = true;
    bool address = false;
};

// Each value only when it is there; the key is not created.
struct StoredViewSwitches {
    std::optional<bool> hex;
    std::optional<bool> decimal;
    std::optional<bool> binary;
    std::optional<bool> address;
};

StoredViewSwitches readViewSwitches(const std::string& prefix);
// Creates the key when needed; false when it cannot be written.
bool writeViewSwitches(const std::string& prefix, const ViewSwitches& switches);
