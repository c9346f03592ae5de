#pragma once
// One serial line of the JTAG link (to the adapter board, or to the RLA
// port's far end): every byte through the traffic log, reads of an exact
// count within a deadline, and draining what the far end still sends. A
// reply that missed its deadline may still come: what is pending is drained
// before the next write, so that it cannot shift the replies after it. That
// drain waits only a short quiet interval of its own, whatever the port's
// read time-out is (ten seconds after an erase).

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
    BoardPort(std::unique_ptr<platform::SerialPort> port, TrafficLog& log, const LinkMessages& messages, int quietMs)
        : port_(std::move(port)), log_(log), messages_(messages), quietMs_(quietMs)
    {}

    platform::SerialPort& serial() { return *port_; }

    // Drains a late reply first; logs what is written (as `shown`, where the
    // log must not see the bytes themselves), then writes every byte;
    // reports a failure.
    bool write(std::span<const uint8_t> bytes, std::span<const uint8_t> shown);
    bool write(std::span<const uint8_t> bytes) { return write(bytes, bytes); }
    // Exactly count bytes within `allowed` (at least one attempt); reports why not.
    bool read(uint8_t* buffer, size_t count, std::chrono::milliseconds allowed);
    // Reads until a read brings nothing, each read waiting the port's own
    // time-out; "Device is not responding." when it fails or never goes quiet.
    bool drain();
    // The same, each read waiting only the quiet interval: for the rest of a
    // reply that is known to be late or longer than what was read.
    bool drainLateReply();

private:
    std::unique_ptr<platform::SerialPort> port_;
    TrafficLog& log_;
    const LinkMessages& messages_;
    const int quietMs_;
    bool replyLate_ = false;
};

}  // namespace zern
