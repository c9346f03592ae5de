#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "ChipState.h"

namespace zern::chipmodel {

// The chip's ROM boot loader behind the JTAG data register. Unlike the debug
// engine it works record by record: the first byte of a record is the command
// and the record's own length frames it. Answers go in the data bytes of the
// reply pairs: the prompt '>' in the last pair of a prompt record (one that
// starts with 0x00), the status in pair 3, the information in pairs 2 to 5,
// page data after the record's header.
class BootLoader {
public:
    explicit BootLoader(ChipState& chip) : chip_(chip) {}

    // The loader starts after a reset with the loader selected.
    void start();
    void stop() { active_ = false; }
    bool active() const { return active_; }

    // Appends two reply bytes per record byte; returns true when the record
    // told the loader to quit.
    bool shift(const std::vector<uint8_t>& record, std::vector<uint8_t>& reply);

    // For tests: records the loader took as configured commands (pre-erase,
    // post-erase, post-load), the passwords it was unlocked with, erases seen.
    std::vector<std::vector<uint8_t>> configuredCommands;
    std::vector<std::array<uint8_t, 32>> unlockPasswords;
    int masterErases = 0;
    int lastBlockErases = 0;

private:
    struct Transfer {
        bool code = true;
        uint64_t address = 0;  // bytes
        uint32_t bytes = 0;
        size_t header = 0;
    };

    std::optional<Transfer> decodeTransfer(const std::vector<uint8_t>& record) const;
    void fixedPageWrite(const std::vector<uint8_t>& record);
    void pageRead(const std::vector<uint8_t>& record, std::vector<uint8_t>& reply, size_t first);
    void shortPageRead(const std::vector<uint8_t>& record, std::vector<uint8_t>& reply, size_t first);
    void variableWriteData(const std::vector<uint8_t>& record);
    void queryAnswer(const std::vector<uint8_t>& record, std::vector<uint8_t>& reply, size_t first);
    uint8_t program(const Transfer& transfer, const uint8_t* data);
    uint64_t pageBytes() const;
    void refuse(const std::string& why);

    ChipState& chip_;
    bool active_ = false;
    bool extended_ = false;
    uint8_t status_ = 0;
    uint32_t busyPolls_ = 0;
    std::optional<Transfer> pendingWrite_;
    size_t queryAnswersSent_ = 0;
    bool answeringQuery_ = false;
};

}  // namespace zern::chipmodel
