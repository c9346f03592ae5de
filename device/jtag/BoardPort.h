#pragma once
// One serial line of the JTAG link (to the adapter board, or to the RLA
// port's far end): every byte through the traffic log, reads of an exact
// count within a deadline, and draining what the far end still sends. A
// reply that missed its deadline may still come: what is pending is drained
// before the next write, so that it cannot shift the replies after it.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "LinkMessages.h"
#include "SerialPort.h"
#include "TrafficLog.h"

namespace zern {

class BoardPort {
public:
    BoardPort(std::unique_ptr<platform::SerialPort> port, TrafficLog& log, const LinkMessages& messages)
        : port_(std::move(port)), log_(log), messages_(messages)
    {}

    platform::SerialPort& serial() { return *port_; }

    // Drains a late reply first; logs what is written (as `shown`, where the
    // log must not see the bytes themselves), then writes every byte;
    // reports a failure.
    bool write(std::span<const uint8_t> bytes, std::span<const uint8_t> shown);
    bool write(std::span<const uint8_t> bytes) { return write(bytes, bytes); }
    // Exactly count bytes within `allowed` (at least one attempt); reports why not.
    bool read(uint8_t* buffer, size_t count, std::chrono::milliseconds allowed);
    // Reads until the line is quiet; "Device is not responding." when it
    // fails or never goes quiet.
    bool drain();

private:
    std::unique_ptr<platform::SerialPort> port_;
    TrafficLog& log_;
    const LinkMessages& messages_;
    bool replyLate_ = false;
};

}  // namespace zern
