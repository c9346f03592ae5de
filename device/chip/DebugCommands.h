#pragma once
// The commands of the chip's debug engine: the bytes the engine takes,
// whatever link carries them. The engine answers one status and one data
// byte per byte it takes; what a command reads starts kReplyLatency bytes
// after the command's last byte and is clocked out by filler bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "ChipCore.h"

namespace zern::chip::debug {

inline constexpr size_t kReplyLatency = 1;
inline constexpr uint8_t kFiller = 0x20;

enum Command : uint8_t {
    kFirstCodeBreakpoint = 0x15,
    kFirstDataBreakpoint = 0x19,
    kBreak = 0x1F,
    kStatus = 0x20,
    kRegisterDump = 0x21,
    kBlockRead = 0x22,
    kRegisterWrite = 0x24,
    kMemoryWrite = 0x25,
    kStep = 0x26,
    kGo = 0x27,
    kContextPassword = 0x28,
    kRegisterRead = 0x29,
};

using Password = std::array<uint8_t, 32>;

Bytes breakRequest();
// Its answer is 1 while the engine halts the core.
Bytes status();
Bytes step();
Bytes go();

// Registers are named by (index % 16) x 16 + module, then index / 16.
std::array<uint8_t, 2> registerName(uint8_t module, uint8_t index);
// Answered by registerBytes(core) bytes, least significant first.
Bytes registerRead(uint8_t module, uint8_t index);
// 16-bit cores: zero-extended; the 32-bit core: sign-extended.
int64_t registerValue(Core core, std::span<const uint8_t> answer);
Bytes registerWrite(Core core, uint8_t module, uint8_t index, int32_t value);

// Memory addresses are word addresses: nullopt when the address does not fit.
std::optional<Bytes> memoryWrite(Core core, uint64_t wordAddress, uint8_t low, uint8_t high);
// The engine then answers the words' bytes in address order.
std::optional<Bytes> blockRead(Core core, uint64_t wordAddress, uint16_t words);

// Register-file dump: the register count is the last of its first answer
// bytes; the registers follow, then the block of special registers.
Bytes registerDump();
size_t registerDumpCountBytes(Core core);

Bytes contextPassword(const Password& password);

// Hardware breakpoint slots 0..3; clearing writes the all-ones address.
std::optional<Bytes> setCodeBreakpoint(Core core, int slot, uint64_t address);
Bytes clearCodeBreakpoint(Core core, int slot);
// Data breakpoint 0 or 1 (the engine's 1 and 2).
Bytes setDataBreakpoint(int which, uint32_t address);

}  // namespace zern::chip::debug
