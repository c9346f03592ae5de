#pragma once
// Test fixture: the adapter board with the chip's debug engine behind it.
// The engine decodes each record from the command byte that opens it and
// answers one status/data pair per byte: the status is 1 while the chip is
// halted, the data comes from what the last command put out (register dump,
// block read, register read).

#include <deque>
#include <mutex>

#include "BoardEmulator.h"
#include "ChipModel.h"

namespace testing_support {

class ChipBoardEmulator : public BoardEmulator {
public:
    explicit ChipBoardEmulator(bool core32 = false) : chip_(core32) {}
    ~ChipBoardEmulator() override { stop(); }

    // Runs f on the chip while the board answers nothing.
    template <typename Function>
    auto withChip(Function f)
    {
        std::lock_guard lock(chipMutex_);
        return f(chip_);
    }

    // Registers the 16-bit dump lists from the register file (modules 0 to 3).
    static constexpr int kDumpedRegisters = 128;

protected:
    std::vector<uint8_t> answerRecord(const std::vector<uint8_t>& record) override;
    uint8_t answerBoardOperation(uint8_t operation) override;

private:
    void command(const std::vector<uint8_t>& record);
    void queueDump();
    void queueBlock(uint64_t wordAddress, size_t words);
    void queueValue(int32_t value);
    uint8_t memoryByte(uint64_t byteAddress) const;
    // Bytes after the command byte that belong to the command, not fillers.
    size_t parameterBytes(uint8_t command) const;
    size_t addressBytes() const { return chip_.core32() ? 4 : 2; }
    uint64_t littleEndian(const std::vector<uint8_t>& bytes, size_t from, size_t count) const;

    std::mutex chipMutex_;
    ChipModel chip_;
    std::deque<uint8_t> out_;
    std::deque<uint8_t> afterRecord_;
};

}  // namespace testing_support
