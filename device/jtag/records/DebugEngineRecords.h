#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "WireRecord.h"

// The debug engine's commands framed as the adapter board takes them, its
// own sequences of board operations, and the places in the replies where the
// answers sit.
namespace zern::records::engine {

// Fixed sequences (board operations and one-byte records sent as one write).
WireRecord debugEngineEntry();  // select the debug engine
WireRecord entryWithBreak();    // select it and ask for a halt
WireRecord testModeExit();
WireRecord loaderExit();  // sent as always: 17 bytes announced, 18 read, the rest drained
WireRecord loaderQuit();
WireRecord debugReset();
WireRecord boardOperation(uint8_t operation);  // {00 op}, one byte back
WireRecord status();
WireRecord longStatus();
WireRecord breakRequest();
WireRecord step();
WireRecord go();

bool statusHalted(std::span<const uint8_t> reply);     // reply byte 0 is 1
bool longStatusReady(std::span<const uint8_t> reply);  // reply byte 30 is 1

// Registers are named by (index % 16) x 16 + module, then index / 16.
WireRecord registerRead(Core core, uint8_t module, uint8_t index);
// 16-bit: zero-extended; 32-bit: sign-extended.
int64_t registerReadValue(Core core, std::span<const uint8_t> reply);
// 32-bit only: the four data pairs report 3 when the transfer went right.
bool registerReadStatusGood(std::span<const uint8_t> reply);
WireRecord registerWrite(Core core, uint8_t module, uint8_t index, int32_t value);

// Memory addresses are word addresses: 2 bytes on 16-bit cores, 4 on the 32-bit
// core. nullopt when the address does not fit.
std::optional<WireRecord> memoryWrite(Core core, uint64_t wordAddress, uint8_t low, uint8_t high);
// Set-up of a block read of `words` words; the data then comes in the data
// bytes of filler records, in address order.
std::optional<WireRecord> blockReadSetup(Core core, uint64_t wordAddress, uint16_t words);

// Register-file dump: head (its reply gives the register count), then the
// registers in filler records, then the block of special registers.
WireRecord registerDumpHead(Core core);
uint8_t registerDumpCount(Core core, std::span<const uint8_t> reply);
uint8_t specialRegisterBytes(Core core);  // 64 or 108

WireRecord contextPassword(const std::array<uint8_t, 32>& password);

// Hardware breakpoint slots 0..3; clearing writes the all-ones address.
std::optional<WireRecord> setCodeBreakpoint(Core core, int slot, uint64_t address);
WireRecord clearCodeBreakpoint(Core core, int slot);
// Data breakpoint 0 or 1 (the engine's 1 and 2).
WireRecord setDataBreakpoint(int which, uint32_t address);

// The return-address fix-up of the 32-bit core, padded with 0x20 to the
// length each record announces. Each answers 1 in the status of its last pair.
namespace aacce {
WireRecord readSavedValue();  // saved value: data of pair 8
WireRecord storeSavedValue(int32_t saved);
WireRecord readStackPointer();                        // stack pointer: pairs 4..7
WireRecord readReturnAddress(uint32_t stackPointer);  // return address: pairs 8..11
WireRecord writeStackPointer(uint32_t stackPointer);
WireRecord pushValue(uint32_t stackPointer, uint32_t value);
bool done(std::span<const uint8_t> reply);
}  // namespace aacce

}  // namespace zern::records::engine
