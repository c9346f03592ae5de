#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "ChipModel.h"

namespace zern::chipmodel {

// The far end of the RLA port: a second serial line that takes framed memory
// writes and reads, with the chip's code memory mapped at 0x600000.
// Frames: 'M' 'Q', 1 (write) or 0 (read), a 24-bit address high byte first, a
// 16-bit length high byte first, then for a write the data. A read answers the
// bytes; a write answers nothing. Frames may arrive split over several writes.
// An RLA port emulator passes every byte it reads to receive() and sends back
// what it returns; one thread at a time.
class RlaPort {
public:
    static constexpr uint32_t kCodeWindow = 0x600000;

    explicit RlaPort(ChipModel& chip) : chip_(chip) {}

    std::vector<uint8_t> receive(std::span<const uint8_t> bytes);

    // Bytes written outside the code window (0xC00006 resets the in-circuit
    // emulator), for tests.
    uint8_t controlByte(uint32_t address) const;
    const std::vector<std::string>& protocolErrors() const { return protocolErrors_; }

private:
    static constexpr size_t kHeaderBytes = 8;

    void handleFrame(std::vector<uint8_t>& reply);

    ChipModel& chip_;
    std::vector<uint8_t> pending_;
    std::map<uint32_t, uint8_t> control_;
    std::vector<std::string> protocolErrors_;
};

}  // namespace zern::chipmodel
