#pragma once
// Traffic with the target chip's debug port over the bus, on one open port
// index: command bytes each behind 0x2D in one block, reply pairs read with
// 0x22, status waits, and the port's control word. Written to the trace
// when one is given. Results are true when done; a failed transfer is told
// to the failure callback once, with the adapter layer's error text.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "SolbusTrace.h"

namespace solbus {

class DebugTransport {
public:
    using FailureReport = std::function<void(const std::string& text)>;
    enum class StatusWait { Reached, NotReached, Failed };

    explicit DebugTransport(int port, SolbusTrace* trace = nullptr, FailureReport onFailure = {})
        : port_(port), trace_(trace), onFailure_(std::move(onFailure))
    {}

    int port() const { return port_; }

    // Fails for more than 512 bytes and, through the 160-byte block, for
    // more than 80. A password command keeps its 32 password bytes out of
    // the trace.
    bool SendDebugCommand(std::span<const uint8_t> command, bool carriesPassword = false);
    // Fills the buffer with buffer.size() / 2 pairs (status and 3, data),
    // taking only the pairs that carry data; at most 100 rounds of reads.
    bool ReadDebugReply(std::span<uint8_t> buffer);
    // Fills the buffer with pairs (status, data) one read at a time, reading
    // a pair again while its status says not ready, at most 100 times.
    bool ReadDebugPairs(std::span<uint8_t> buffer);
    // Reads the status up to `tries` times until it is `expected`; false
    // when it never was or a read failed.
    bool WaitDebugStatus(uint8_t expected, int tries);
    // The same, telling a status that never came from a failed read (which
    // has been reported).
    StatusWait waitStatus(uint8_t expected, int tries);
    // A byte read as 0xFF counts as 0.
    bool ReadControl(uint16_t& word);
    bool WriteControl(uint8_t low, uint8_t high);

    // The data bytes of `pairs` reply pairs.
    std::optional<std::vector<uint8_t>> replyData(size_t pairs);
    // The status byte of one pair.
    std::optional<uint8_t> pairStatus();

    // The bus reset and the select byte in front of loader entry, traced.
    bool resetBus();
    bool writeByte(uint8_t byte);

private:
    bool failed();
    // One byte on the bus that must come back as it went; a byte the bus
    // changed is a failure of its own (the adapter reports none).
    bool sendByte(uint8_t byte);
    bool exhausted();
    void traceFrame(const char* heading, std::span<const uint8_t> sent, std::span<const uint8_t> readBack,
                    const std::vector<bool>& masked = {});

    int port_;
    SolbusTrace* trace_;
    FailureReport onFailure_;
};

}  // namespace solbus
