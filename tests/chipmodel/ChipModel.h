#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "BootLoader.h"
#include "ChipSettings.h"
#include "ChipState.h"
#include "DebugEngine.h"

namespace zern::chipmodel {

// The target chip as the adapter board sees it: its JTAG port with the debug
// engine and the ROM boot loader behind it, its registers, data memory and
// code flash. A test fixture, shared by the emulators of the adapter boards.
//
// How a board emulator calls it, for every record it takes off the wire:
//   - length byte n >= 1: pass the n bytes that follow to exchange(); it returns
//     the 2 x n reply bytes (one status, data pair per byte) to send back.
//   - length byte 0: pass the next byte (the board operation, 0x01..0x13) to
//     boardOperation(); it returns the one reply byte (always 0x00).
// A write that holds several records is handled record by record, in order,
// and the replies are sent back concatenated. Board text commands ("Q\r",
// "V3...\r", "Z\r") stay with the board emulator: the chip never sees them.
// Every call is serialised by an internal mutex, so the emulator's thread may
// drive the chip while a test thread inspects or changes it.
//
// What the chip makes of the records:
//   - Board operations 0x01 and 0x03: the next record is an instruction.
//     0x09 resets the JTAG port (no instruction, half-sent command dropped).
//     0x05 holds the chip in reset; 0x04 releases it, and the chip then starts
//     the boot loader or user code (at the reset vector, running), whichever
//     the mode instruction last selected. Other operations change nothing.
//   - Instructions: 0x04 mode (next record: 0 debug engine, 1 boot loader),
//     0x06 test-mode bits (next record: the value), 0x02 data: every later
//     record goes to the boot loader while it runs, else to the debug engine.
//   - Debug engine: see DebugEngine.h. Boot loader: see BootLoader.h. A
//     loader record that starts with 0x01 (the quit, and the 17-byte record
//     of the loader exit sequence) ends the loader and starts user code.
// A new chip runs user code from the reset vector, out of reset, not halted.
// Execution is deterministic: the instruction pointer (register module 12
// index 0, a word address) selects the code word at twice its value in code
// flash (low byte first). JUMP, CALL and RET as the assembler encodes them
// change the flow, with a 16-deep return stack that a reset empties; every
// other word, erased 0xFFFF included, moves on by one (see Instruction.h).
// Each status poll (0x20) of a running chip runs
// ChipSettings::instructionsPerPoll instructions and halts before one that
// sits on a code breakpoint; a single step runs one.
class ChipModel {
public:
    explicit ChipModel(ChipSettings settings = {});

    std::vector<uint8_t> exchange(const std::vector<uint8_t>& record);
    uint8_t boardOperation(uint8_t operation);

    void setFaults(const FaultPlan& faults);

    // Inspection and set-up.
    int32_t registerValue(int module, int index) const;
    void setRegister(int module, int index, int32_t value);
    uint32_t programCounter() const;
    void setProgramCounter(uint32_t pc);
    bool halted() const;
    void setHalted(bool halted);
    bool inReset() const;
    std::vector<uint8_t> code(uint64_t address, size_t count) const;
    // Puts bytes into code flash as they are, bypassing programming rules.
    void setCode(uint64_t address, const std::vector<uint8_t>& bytes);
    std::vector<uint8_t> data(uint64_t address, size_t count) const;
    void setData(uint64_t address, const std::vector<uint8_t>& bytes);
    std::array<std::optional<uint32_t>, 4> codeBreakpoints() const;
    std::array<std::optional<uint32_t>, 2> dataBreakpoints() const;
    void setCurrentContext(size_t context);
    uint8_t testModeBits() const;
    bool loaderActive() const;
    std::vector<std::vector<uint8_t>> configuredLoaderCommands() const;
    std::vector<std::array<uint8_t, 32>> loaderUnlockPasswords() const;
    int masterErases() const;
    int lastBlockErases() const;
    // Records that made no sense to the chip (unknown commands, bad lengths).
    std::vector<std::string> protocolErrors() const;

private:
    enum Instruction : uint8_t { kNone = 0x00, kData = 0x02, kMode = 0x04, kTestMode = 0x06 };

    mutable std::mutex mutex_;
    ChipState chip_;
    DebugEngine engine_{chip_};
    BootLoader loader_{chip_};
    bool expectInstruction_ = false;
    uint8_t instruction_ = kNone;
    bool loaderSelected_ = false;
    uint8_t testModeBits_ = 0;
};

}  // namespace zern::chipmodel
