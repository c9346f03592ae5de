#pragma once
// The two kinds of core of the chip family, and the byte helpers every
// command of the chip is built with.

#include <cstdint>
#include <span>
#include <vector>

namespace zern::chip {

using Bytes = std::vector<uint8_t>;

enum class Core {
    Bits16,  // every processor family but 30
    Bits32,  // processor family 30
};

inline constexpr int32_t kWideCoreFamily = 30;

inline Core coreOf(int32_t processorFamily)
{
    return processorFamily == kWideCoreFamily ? Core::Bits32 : Core::Bits16;
}

// Bytes of a register value and of a memory word address.
inline int registerBytes(Core core)
{
    return core == Core::Bits32 ? 4 : 2;
}

inline int wordAddressBytes(Core core)
{
    return core == Core::Bits32 ? 4 : 2;
}

// The debug engine's data space: from 0x10000 (16-bit cores) or 0x1000000
// (the 32-bit core) on, its addresses show the code flash instead.
inline uint64_t dataSpaceBytes(Core core)
{
    return core == Core::Bits32 ? 0x1000000 : 0x10000;
}

// A command byte followed by its arguments.
Bytes commandWith(uint8_t command, std::span<const uint8_t> arguments);
void appendLittleEndian(Bytes& bytes, uint64_t value, int count);
// The value taken little endian from `count` bytes.
uint64_t littleEndian(const uint8_t* bytes, int count);
// Whether the value fits in `bytes` bytes.
bool fits(uint64_t value, int bytes);

}  // namespace zern::chip
