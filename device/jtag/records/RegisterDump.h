#pragma once

#include <cstdint>
#include <span>

#include "RegisterDumpLayout.h"
#include "WireRecord.h"

// The register-file dump as the adapter board returns it: the registers sit
// in the data bytes of the reply pairs, laid out as the chip dumps them.
namespace zern::records::dump {

using chip::dump::finishSixteenBitDump;
using chip::dump::kFamilyWithBankedRegisters;
using chip::dump::kRegistersPerChunk;
using chip::dump::kRegistersPerModule;
using chip::dump::RegisterFile;

// Registers in a chunk reply (2 or 4 data bytes each), into `module`.
void decodeRegisterChunk(Core core, std::span<const uint8_t> reply, int module, RegisterFile& registers);

// The block of special registers that ends the dump (64 or 108 data bytes),
// with the registers the 16-bit cores derive from it.
void decodeSpecialRegisters(Core core, std::span<const uint8_t> reply, RegisterFile& registers);

}  // namespace zern::records::dump
