#pragma once
// Where the debug engine's register-file dump puts each register, in the
// dump's data bytes (whatever link carried them): the registers of modules
// 0, 1, ... in groups of 32, then a block of special registers.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "ChipCore.h"

namespace zern::chip::dump {

constexpr int kRegistersPerModule = 32;
using RegisterFile = std::array<int32_t, 16 * kRegistersPerModule>;  // module x 32 + index

// Most registers one group carries: group g fills module g from index 0.
constexpr int kRegistersPerChunk = 32;
// The registers of one group (2 or 4 data bytes each), into `module`.
void placeRegisterChunk(Core core, std::span<const uint8_t> data, int module, RegisterFile& registers);

// Data bytes of the block of special registers that ends the dump.
size_t specialRegisterBytes(Core core);
// The special registers, with the registers the 16-bit cores derive from
// them; a short block changes nothing.
void placeSpecialRegisters(Core core, std::span<const uint8_t> data, RegisterFile& registers);

// 16-bit cores: the stack pointer read after the dump (module 13 index 1; 0
// stands for the configured stack depth) and the family that keeps some
// registers in module 5.
constexpr int32_t kFamilyWithBankedRegisters = 68;
void finishSixteenBitDump(int32_t family, uint32_t stackPointer, int32_t stackDepth, RegisterFile& registers);

}  // namespace zern::chip::dump
