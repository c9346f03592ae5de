#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace zern::chipmodel {

enum class CoreKind {
    Core16,  // the 16-bit cores: 2-byte registers and addresses
    Core32,  // the 32-bit core (processor family 30): 4-byte registers, 3- and 4-byte addresses
};

// One password context of the chip. Its password is the 32 bytes of code flash
// at `passwordAddress`, so an erase makes it 32 x 0xFF and a program load sets it.
struct PasswordContext {
    uint64_t passwordAddress = 0;  // byte address in code flash
    // What the loader answers for this context after the password-address query
    // (the 0xF6 command), little endian in the answer record's data bytes.
    uint32_t queryAnswer = 0;
};

// What the chip is; fixed for a test.
struct ChipSettings {
    CoreKind core = CoreKind::Core16;
    // Word address where user code starts after reset is released.
    uint32_t resetVector = 0;
    // Instructions run per status poll while the target runs (one word each).
    uint32_t instructionsPerPoll = 256;
    // Registers of modules 0.. streamed by the register-file dump (one byte on the wire).
    uint8_t dumpRegisterCount = 128;
    // Loader information: flags (bit 1 variable-length, bit 9 fixed-length,
    // 0x0400 page read, 0x0004 short page read, bit 14 erase last block) and the
    // code and data page sizes as the loader reports them (bytes on 16-bit
    // cores, words on the 32-bit core).
    uint16_t loaderFlags = 0x0200 | 0x0400 | 0x4000;
    uint8_t codePageSize = 64;
    uint8_t dataPageSize = 32;
    // Prompts answered "busy" after a master erase before the loader is ready again.
    uint32_t eraseBusyPolls = 3;
    // Code flash in bytes; loader writes beyond it fail with a status.
    uint64_t codeFlashBytes = 0x20000;
    std::vector<PasswordContext> contexts;  // empty: nothing is protected
};

// Deliberate misbehaviour, switchable at any time.
struct FaultPlan {
    bool neverHalts = false;                // break, breakpoints and steps are ignored
    std::optional<uint8_t> haltStatus;      // replaces the status byte of every status poll
    std::optional<uint8_t> transferStatus;  // replaces 0x03 on the pairs that carry command data
    std::optional<uint8_t> loaderStatus;    // replaces every loader status answer
    bool loaderWithoutPrompt = false;       // the loader never answers '>'
};

}  // namespace zern::chipmodel
