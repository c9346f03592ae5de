#include "RlaEmulator.h"

#include <poll.h>
#include <unistd.h>

#include "PseudoTerminal.h"

namespace testing_support {
namespace {
constexpr size_t kHeader = 8;
}

RlaEmulator::RlaEmulator()
{
    const PseudoTerminal terminal = openPseudoTerminal();
    master_ = terminal.master;
    slave_ = terminal.slave;
    slavePath_ = terminal.slavePath;
    thread_ = std::thread([this] { serve(); });
}

RlaEmulator::~RlaEmulator()
{
    stopping_ = true;
    thread_.join();
    ::close(master_);
    ::close(slave_);
}

uint8_t RlaEmulator::byteAt(uint32_t address) const
{
    std::lock_guard lock(mutex_);
    const auto found = memory_.find(address);
    return found == memory_.end() ? 0 : found->second;
}

size_t RlaEmulator::writes() const
{
    std::lock_guard lock(mutex_);
    return writes_;
}

void RlaEmulator::serve()
{
    uint8_t buffer[1024];
    while (!stopping_) {
        pollfd wanted{master_, POLLIN, 0};
        if (poll(&wanted, 1, 10) <= 0 || !(wanted.revents & POLLIN))
            continue;
        const ssize_t got = ::read(master_, buffer, sizeof buffer);
        for (ssize_t i = 0; i < got; ++i)
            take(buffer[i]);
    }
}

void RlaEmulator::take(uint8_t byte)
{
    request_.push_back(byte);
    if (request_.size() < kHeader)
        return;
    if (request_[0] != 'M' || request_[1] != 'Q') {
        request_.erase(request_.begin());
        return;
    }
    const bool write = request_[2] == 1;
    const uint32_t address = static_cast<uint32_t>((request_[3] << 16) | (request_[4] << 8) | request_[5]);
    const size_t length = static_cast<size_t>((request_[6] << 8) | request_[7]);
    if (write && request_.size() < kHeader + length)
        return;
    std::vector<uint8_t> answer;
    {
        std::lock_guard lock(mutex_);
        for (size_t i = 0; i < length; ++i) {
            const uint32_t at = static_cast<uint32_t>(address + i);
            if (write)
                memory_[at] = request_[kHeader + i];
            else
                answer.push_back(memory_.count(at) ? memory_[at] : 0);
        }
        if (write)
            ++writes_;
    }
    request_.clear();
    if (!answer.empty() && ::write(master_, answer.data(), answer.size()) < 0)
        return;
}

}  // namespace testing_support
