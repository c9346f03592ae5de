#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "WireRecord.h"

// Where the register-file dump puts each register: the driver's side of the
// dump (the records themselves are in DebugEngineRecords.h).
namespace zern::records::dump {

constexpr int kRegistersPerModule = 32;
using RegisterFile = std::array<int32_t, 16 * kRegistersPerModule>;  // module x 32 + index

// Most registers one chunk record carries: chunk c fills module c from index 0.
constexpr int kRegistersPerChunk = 32;
// Registers in a chunk reply (2 or 4 data bytes each), into `module`.
void decodeRegisterChunk(Core core, std::span<const uint8_t> reply, int module, RegisterFile& registers);

// The block of special registers that ends the dump (64 or 108 data bytes),
// with the registers the 16-bit cores derive from it.
void decodeSpecialRegisters(Core core, std::span<const uint8_t> reply, RegisterFile& registers);

// 16-bit cores: the stack pointer read after the dump (module 13 index 1; 0
// stands for the configured stack depth) and the family that keeps some
// registers in module 5.
constexpr int32_t kFamilyWithBankedRegisters = 68;
void finishSixteenBitDump(int32_t family, uint32_t stackPointer, int32_t stackDepth, RegisterFile& registers);

}  // namespace zern::records::dump
