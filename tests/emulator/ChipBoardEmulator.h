#pragma once
// Test fixture: the adapter board with the chip's debug engine behind it.
// The engine decodes each record from the command byte that opens it and
// answers one status/data pair per byte: the status is 1 while the chip is
// halted, the data comes from what the last command put out (register dump,
// block read, register read).

#include <deque>
#include <optional>
#include <mutex>
#include <optional>
#include <utility>

#include "BoardEmulator.h"
#include "ChipModel.h"

namespace testing_support {

// The chip's boot loader as its information record describes it.
struct LoaderSettings {
    // Bit 1 variable-length writes, bit 9 fixed-length pages, bit 10 page reads.
    uint16_t flags = 0x0200 | 0x0400;
    // Bytes per code page (16-bit cores), half of it on the 32-bit core.
    uint8_t codePageUnit = 64;
    uint8_t dataPageUnit = 32;
    // Prompts answered busy after a master erase.
    int eraseBusyPrompts = 2;
    // A loader that never shows its prompt.
    bool silentPrompt = false;
    // Status of every loader operation (0 good).
    uint8_t status = 0;
    // The query record that asks where the context password lies, and the
    // word address it answers.
    std::optional<uint8_t> passwordQuery;
    uint16_t passwordWordAddress = 0;
};

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

    void setLoader(const LoaderSettings& settings)
    {
        std::lock_guard lock(chipMutex_);
        loader_ = settings;
    }
    bool inLoader()
    {
        std::lock_guard lock(chipMutex_);
        return inLoader_;
    }
    int erases()
    {
        std::lock_guard lock(chipMutex_);
        return erases_;
    }

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

    std::vector<uint8_t> loaderRecord(const std::vector<uint8_t>& record);
    void programBytes(uint64_t byteAddress, const uint8_t* data, size_t count, bool code);

    LoaderSettings loader_;
    bool loaderArmed_ = false;
    uint8_t lastSingleByte_ = 0;
    bool inLoader_ = false;
    bool extendedMode_ = false;
    bool answerPasswordAddress_ = false;
    int busyPrompts_ = 0;
    int erases_ = 0;
    // A variable-length write waits for its data record.
    std::optional<std::pair<uint64_t, bool>> pendingWrite_;

    std::mutex chipMutex_;
    ChipModel chip_;
    std::deque<uint8_t> out_;
    std::deque<uint8_t> afterRecord_;
};

}  // namespace testing_support
