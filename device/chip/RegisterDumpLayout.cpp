#include "RegisterDumpLayout.h"

#include <algorithm>

namespace zern::chip::dump {
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

int32_t valueAt(std::span<const uint8_t> data, size_t offset, int width)
{
    return static_cast<int32_t>(static_cast<uint32_t>(littleEndian(data.data() + offset, width)));
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

void placeRegisterChunk(Core core, std::span<const uint8_t> data, int module, RegisterFile& registers)
{
    const int width = registerBytes(core);
    const int count = std::min<int>(kRegistersPerChunk, static_cast<int>(data.size()) / width);
    for (int i = 0; i < count; ++i)
        reg(registers, module, i) = valueAt(data, static_cast<size_t>(i * width), width);
}

size_t specialRegisterBytes(Core core)
{
    return core == Core::Bits32 ? 108 : 64;
}

void placeSpecialRegisters(Core core, std::span<const uint8_t> data, RegisterFile& registers)
{
    const bool wide = core == Core::Bits32;
    if (data.size() < specialRegisterBytes(core))
        return;
    for (const Placement& p :
         wide ? std::span<const Placement>(kThirtyTwoBit) : std::span<const Placement>(kSixteenBit))
        reg(registers, p.module, p.index) = valueAt(data, static_cast<size_t>(p.offset), p.width);
    const int module9 = wide ? kThirtyTwoBitModule9 : kSixteenBitModule9;
    const int width = registerBytes(core);
    for (int i = 0; i < 16; ++i)
        reg(registers, 9, i) = valueAt(data, static_cast<size_t>(module9 + i * width), width);
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

}  // namespace zern::chip::dump
