#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "ChipState.h"

namespace zern::chipmodel {

// The chip's debug engine behind the JTAG data register. Bytes arrive one by
// one (a record is just a run of them); each gives a status and a data byte.
// A command byte starts a command, its arguments follow, and what it answers
// is clocked out by the bytes after it (0x20 fillers), one byte each, across
// record boundaries. Reads have one byte of latency before their data.
class DebugEngine {
public:
    explicit DebugEngine(ChipState& chip) : chip_(chip) {}

    // Appends two reply bytes (status, data) per byte of `bytes` to `reply`.
    void shift(const std::vector<uint8_t>& bytes, std::vector<uint8_t>& reply);
    // A TAP reset or a chip reset drops a half-sent command and unread output.
    void reset();

private:
    void startCommand(uint8_t command, uint8_t& status);
    bool argumentsComplete() const;
    void execute();
    void queueRegisterDump();
    void queueValue(uint64_t value, int bytes);
    uint8_t idleStatus() const;

    ChipState& chip_;
    std::optional<uint8_t> command_;
    std::vector<uint8_t> arguments_;
    std::deque<uint8_t> output_;
};

}  // namespace zern::chipmodel
