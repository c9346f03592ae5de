#pragma once
// Test fixture: the target chip as its debug engine sees it. Shared by the
// adapter emulators: a register file of 16 modules x 32, data memory, code
// flash (erased to 0xFF, programming only clears bits), four code and two
// data breakpoint slots, and a deterministic run: each status poll of a
// running chip executes one instruction and halts on a code breakpoint.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace testing_support {

class ChipModel {
public:
    static constexpr int kInstructionPointerModule = 12;

    explicit ChipModel(bool core32 = false);

    bool core32() const { return core32_; }
    bool halted() const { return halted_; }
    bool neverHalts = false;

    int32_t reg(int module, int index) const { return registers_[static_cast<size_t>(module * 32 + index)]; }
    void setReg(int module, int index, int32_t value) { registers_[static_cast<size_t>(module * 32 + index)] = value; }
    uint32_t pc() const { return static_cast<uint32_t>(reg(kInstructionPointerModule, 0)); }

    std::vector<uint8_t> dataMemory;
    std::vector<uint8_t> codeFlash;
    std::array<std::optional<uint32_t>, 4> codeBreakpoints;
    std::array<std::optional<uint32_t>, 2> dataBreakpoints;
    // Register reads answer only after the right context password; none set means unlocked.
    std::optional<std::array<uint8_t, 32>> password;
    bool unlocked = true;

    // Reset: the program starts at 0 and runs; a breakpoint at 0 holds it there.
    void reset();
    void halt() { halted_ = true; }
    // Leaves the halt; the next poll executes at least one instruction.
    void go();
    void step();
    // A status poll: a running chip executes one instruction.
    bool poll();
    void programFlash(uint32_t byteAddress, uint8_t value);

private:
    bool atBreakpoint() const;

    bool core32_;
    std::array<int32_t, 512> registers_{};
    bool halted_ = false;
    bool justStarted_ = false;
};

}  // namespace testing_support
