#pragma once

#include <array>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ChipSettings.h"
#include "SparseMemory.h"

namespace zern::chipmodel {

constexpr int kModules = 16;
constexpr int kRegistersPerModule = 32;
// The instruction pointer is register module 12 index 0 (a word address).
constexpr int kPcModule = 12;
// Bit 5 of module 8 index 8 selects the upper 64 KB of code in the 16-bit data space.
constexpr int kBankModule = 8;
constexpr int kBankIndex = 8;
constexpr int32_t kUpperCodeBank = 0x20;
// Status byte of a pair that carried command data.
constexpr uint8_t kTransferOk = 0x03;

// Everything the debug engine and the boot loader of the chip act on.
struct ChipState {
    ChipSettings settings;
    FaultPlan faults;
    std::array<int32_t, kModules * kRegistersPerModule> registers{};
    SparseMemory codeFlash{0xFF};
    SparseMemory dataMemory{0x00};
    std::array<std::optional<uint32_t>, 4> codeBreakpoints;
    std::array<std::optional<uint32_t>, 2> dataBreakpoints;
    bool inReset = false;
    bool halted = false;
    // A go leaves the breakpoint it stands on before checking breakpoints again.
    bool leavingBreakpoint = false;
    // Return addresses of the calls executed; the oldest drops out when full.
    std::deque<uint32_t> returnStack;
    std::optional<std::array<uint8_t, 32>> presentedPassword;
    size_t currentContext = 0;
    // Records the model could not make sense of, for tests to look at.
    std::vector<std::string> protocolErrors;

    bool wide() const { return settings.core == CoreKind::Core32; }
    int32_t& reg(int module, int index) { return registers[module * kRegistersPerModule + index]; }
    int32_t reg(int module, int index) const { return registers[module * kRegistersPerModule + index]; }
    uint32_t programCounter() const;
    void setProgramCounter(uint32_t pc);

    std::array<uint8_t, 32> contextPassword(size_t context) const;
    // On 16-bit cores with contexts, registers and memory read as 0x20 and
    // ignore writes until the current context's password has been presented.
    bool locked() const;

    // The debug engine's data space by word address: data memory, with code
    // flash above 0x8000 words (16-bit, bank by bit 5 of M8[8]) or 0x800000 words (32-bit).
    uint8_t readDataSpace(uint64_t wordAddress, int byteInWord) const;
    void writeDataSpace(uint64_t wordAddress, int byteInWord, uint8_t value);

    // Execution: one status poll's worth of instructions, halting at a breakpoint.
    // Jumps, calls and returns change the flow (see Instruction.h); a return
    // with an empty stack and every other word move on to the next word.
    void runForOnePoll();
    void executeInstruction();
    void step();
    void startUserCode();
    uint8_t transferStatus() const { return faults.transferStatus.value_or(kTransferOk); }
};

}  // namespace zern::chipmodel
