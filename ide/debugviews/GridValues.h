#pragma once
// How the debug grids show a value of a given width in bits (a register, a
// variable, a trace entry's data word) and read back what the user typed.

#include <QString>
#include <cstdint>
#include <optional>

namespace gridvalues {

enum class Radix { Decimal, Hexadecimal, Binary };

// All 64 bits above a width of 63, else the width's low bits.
uint64_t widthMask(int widthBits);
// The value masked to the width, in the radix: decimal and binary without
// leading zeros, hexadecimal upper case in the width's digits (above 32 bits
// the high word's digits, then the low word in eight).
QString valueText(uint64_t value, int widthBits, Radix radix);
// "0x" and the address in (address bits + 3) / 4 hexadecimal digits.
QString addressText(int address, int addressBits);
// The digits of the radix (hexadecimal may start with "0x"); empty is 0.
// None for any other character, or for a value that does not fit the width.
std::optional<uint64_t> parseValue(const QString& text, int widthBits, Radix radix);

}  // namespace gridvalues
