#pragma once
// The number forms of the device configuration file and its project lines.

#include <cstdint>
#include <string>

namespace zern {

std::string trimmed(const std::string& text);

// The whole text as a decimal integer, or hexadecimal after "0x"; false when
// it is no number or does not fit 32 bits.
bool parseConfigInt(const std::string& text, int32_t& value);
// Base by prefix: "0x" hexadecimal, a leading 0 octal, else decimal; text
// that is no number gives 0. Values beyond 32 bits are clamped.
int32_t parseConfigNum(const std::string& text);
// Decimal digits up to the first other character; 0 when there are none.
int32_t parseConfigDec(const std::string& text);

// A clock the adapter's divisor can express (1 to 14740 kHz).
bool validJtagClock(int32_t kHz);

}  // namespace zern
