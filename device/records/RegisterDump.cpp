#include "RegisterDump.h"

#include <algorithm>
#include <vector>

namespace zern::records::dump {
namespace {

struct Placement {
    int offset;  // in the special block
    int width;   // bytes, little endian
    int module;
    int index;
};

constexpr Placement kSixteenBit[] = {
    {0, 1, 8, 0},   {1, 1, 8, 1},   {2, 1, 8, 4},   {3, 1, 8, 5},   {4, 1, 8, 6},   {5, 1, 8, 8},   {6, 1, 8, 11},
    {7, 1, 8, 14},  {8, 1, 8, 15},  {42, 2, 12, 0}, {46, 2, 13, 2}, {48, 2, 13, 6}, {50, 2, 13, 7}, {52, 2, 14, 3},
    {54, 2, 14, 4}, {56, 2, 14, 5}, {58, 2, 14, 7}, {60, 2, 15, 3}, {62, 2, 15, 7},
};
constexpr int kSixteenBitModule9 = 10;  // 16 words from here

constexpr Placement kThirtyTwoBit[] = {
    {0, 1, 8, 0},   {1, 1, 8, 1},   {2, 2, 8, 4},   {4, 1, 8, 5},    {6, 2, 8, 8},     {8, 2, 8, 9},
    {10, 2, 8, 10}, {12, 2, 8, 14}, {14, 1, 8, 15}, {80, 4, 12, 0},  {84, 4, 13, 1},   {88, 2, 13, 6},
    {90, 2, 13, 7}, {92, 4, 14, 0}, {96, 4, 14, 3}, {100, 4, 15, 3}, {104, 4, 15, 13},
};
constexpr int kThirtyTwoBitModule9 = 16;  // 16 double words from here

// Family 68 keeps these registers in module 5: {module 5 index, module, index}.
constexpr int kBankedCopies[][3] = {
    {31, 8, 2}, {28, 8, 8}, {29, 8, 9}, {30, 8, 10}, {26, 8, 12}, {27, 8, 13}, {25, 15, 11},
};

int32_t& reg(RegisterFile& registers, int module, int index)
{
    return registers[module * kRegistersPerModule + index];
}

int32_t littleEndian(const std::vector<uint8_t>& bytes, size_t offset, int width)
{
    uint32_t value = 0;
    for (int i = width; i-- > 0;)
        value = value << 8 | bytes[offset + i];
    return static_cast<int32_t>(value);
}

void deriveFromC(RegisterFile& registers)
{
    const auto b = static_cast<uint16_t>(reg(registers, 14, 3));
    const auto c = static_cast<uint16_t>(reg(registers, 14, 5));
    const auto e = static_cast<uint16_t>(reg(registers, 14, 7));
    reg(registers, 14, 6) = c & 0xFF;
    reg(registers, 14, 8) = static_cast<uint16_t>(c << 8 | c >> 8);
    reg(registers, 14, 9) = c >> 8;
    reg(registers, 14, 10) = static_cast<uint16_t>(static_cast<int8_t>(c & 0xFF));
    reg(registers, 14, 11) = e + b;
}

}  // namespace

void decodeRegisterChunk(Core core, std::span<const uint8_t> reply, int module, RegisterFile& registers)
{
    const std::vector<uint8_t> data = dataBytes(reply);
    const int width = core == Core::Bits32 ? 4 : 2;
    const int count = std::min<int>(kRegistersPerChunk, static_cast<int>(data.size()) / width);
    for (int i = 0; i < count; ++i)
        reg(registers, module, i) = littleEndian(data, static_cast<size_t>(i * width), width);
}

void decodeSpecialRegisters(Core core, std::span<const uint8_t> reply, RegisterFile& registers)
{
    const std::vector<uint8_t> data = dataBytes(reply);
    const bool wide = core == Core::Bits32;
    if (data.size() < (wide ? 108u : 64u))
        return;
    for (const Placement& p :
         wide ? std::span<const Placement>(kThirtyTwoBit) : std::span<const Placement>(kSixteenBit))
        reg(registers, p.module, p.index) = littleEndian(data, static_cast<size_t>(p.offset), p.width);
    const int module9 = wide ? kThirtyTwoBitModule9 : kSixteenBitModule9;
    const int width = wide ? 4 : 2;
    for (int i = 0; i < 16; ++i)
        reg(registers, 9, i) = littleEndian(data, static_cast<size_t>(module9 + i * width), width);
    if (!wide)
        deriveFromC(registers);
}

void finishSixteenBitDump(int32_t family, uint32_t stackPointer, int32_t stackDepth, RegisterFile& registers)
{
    const int32_t s = stackPointer == 0 ? stackDepth : static_cast<int32_t>(stackPointer);
    if (family != kFamilyWithBankedRegisters) {
        reg(registers, 13, 1) = s - 1;
        return;
    }
    reg(registers, 13, 1) = s + 1;
    for (const auto& copy : kBankedCopies)
        reg(registers, copy[1], copy[2]) = reg(registers, 5, copy[0]);
}

}  // namespace zern::records::dump
