#include "RlaEmulator.h"

#include <poll.h>
#include <unistd.h>

#include "PseudoTerminal.h"

namespace testing_support {

RlaEmulator::RlaEmulator(zern::chipmodel::ChipModel& chip) : port_(chip)
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

void RlaEmulator::serve()
{
    uint8_t buffer[1024];
    while (!stopping_) {
        pollfd wanted{master_, POLLIN, 0};
        if (poll(&wanted, 1, 10) <= 0 || !(wanted.revents & POLLIN))
            continue;
        const ssize_t got = ::read(master_, buffer, sizeof buffer);
        if (got <= 0)
            continue;
        const auto answer = port_.receive(std::span<const uint8_t>(buffer, static_cast<size_t>(got)));
        if (!answer.empty() && ::write(master_, answer.data(), answer.size()) < 0)
            return;
    }
}

}  // namespace testing_support
