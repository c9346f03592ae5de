#include "BoardPort.h"

namespace zern {
namespace {

constexpr size_t kDrainChunk = 50;
// A line that never goes quiet is not drained for ever.
constexpr int kMaxDrainReads = 1000;

}  // namespace

bool BoardPort::write(std::span<const uint8_t> bytes, std::span<const uint8_t> shown)
{
    if (replyLate_) {
        replyLate_ = false;
        drainLateReply();
    }
    log_.log(TrafficDirection::Written, shown.data(), shown.size());
    if (port_->write(bytes.data(), bytes.size()))
        return true;
    messages_.linkError("Unable to write the required number of bytes to the serial port.");
    return false;
}

bool BoardPort::read(uint8_t* buffer, size_t count, std::chrono::milliseconds allowed)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + allowed;
    size_t done = 0;
    // At least one attempt, so that a deadline of zero still reads what is there.
    do {
        if (done == count)
            return true;
        const long got = port_->read(buffer + done, count - done);
        if (got < 0) {
            messages_.linkError("Unable to read from the serial port.");
            return false;
        }
        log_.log(TrafficDirection::Read, buffer + done, static_cast<size_t>(got));
        done += static_cast<size_t>(got);
    } while (Clock::now() < deadline);
    if (done == count)
        return true;
    replyLate_ = true;
    messages_.linkError("Unable to read all the required information from the serial port.");
    return false;
}

bool BoardPort::drainLateReply()
{
    const int readTimeout = port_->readTimeout();
    port_->setReadTimeout(quietMs_);
    const bool drained = drain();
    port_->setReadTimeout(readTimeout);
    return drained;
}

bool BoardPort::drain()
{
    uint8_t scrap[kDrainChunk];
    for (int reads = 0; reads < kMaxDrainReads; ++reads) {
        const long got = port_->read(scrap, sizeof scrap);
        if (got == 0)
            return true;
        if (got < 0)
            break;
    }
    messages_.line("Device is not responding.");
    return false;
}

}  // namespace zern
