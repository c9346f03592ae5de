// The RLA port: program data written in framed chunks to a second serial
// port instead of through the boot loader.

#include <chrono>
#include <thread>

#include "JtagDriver.h"

namespace zern {
namespace {

constexpr int kBaudRate = 115200;
constexpr size_t kMaxChunk = 512;

std::vector<uint8_t> frame(bool write, uint32_t address, size_t count)
{
    return {'M',
            'Q',
            static_cast<uint8_t>(write ? 1 : 0),
            static_cast<uint8_t>(address >> 16),
            static_cast<uint8_t>(address >> 8),
            static_cast<uint8_t>(address),
            static_cast<uint8_t>(count >> 8),
            static_cast<uint8_t>(count)};
}

}  // namespace

bool JtagDriver::openRlaPort()
{
    if (rlaPort_)
        return true;
    auto port = platform::SerialPort::open(platform::serialDevicePath(config_.rlaPortName));
    if (!port) {
        messages_.line("Unable to open serial port.");
        return false;
    }
    messages_.line("Opened " + config_.rlaPortName + ".");
    messages_.line("Configuring port...");
    if (!port->configure(kBaudRate)) {
        messages_.line("Unable to configure the serial port.");
        return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(timing_.dtrResetWaitMs));
    if (!port->setDtr(false)) {
        messages_.line("Unable to configure the serial port (2).");
        return false;
    }
    port->setReadTimeout(timing_.firstByteMs);
    port->setWriteTimeout(timing_.writeTimeoutMs);
    messages_.line("Waiting for Pelko to reboot.");
    std::this_thread::sleep_for(std::chrono::milliseconds(timing_.rlaRebootWaitMs));
    auto rla = std::make_unique<BoardPort>(std::move(port), trafficLog_, messages_, timing_.drainQuietMs);
    rla->drain();
    messages_.line("Connected.");
    rlaPort_ = std::move(rla);
    return true;
}

bool JtagDriver::rlaReadMemory(uint32_t address, uint8_t* buffer, size_t count)
{
    for (size_t done = 0; done < count;) {
        const size_t chunk = std::min(kMaxChunk, count - done);
        const auto request = frame(false, static_cast<uint32_t>(address + done), chunk);
        if (!rlaPort_->write(request)
            || !rlaPort_->read(buffer + done, chunk, std::chrono::milliseconds(timing_.rlaReadDeadlineMs)))
            return false;
        done += chunk;
    }
    return true;
}

bool JtagDriver::rlaWriteMemory(uint32_t address, const uint8_t* data, size_t count)
{
    constexpr uint32_t kControlAddress = 0xC00006;
    for (size_t done = 0; done < count;) {
        const size_t chunk = std::min(kMaxChunk, count - done);
        auto request = frame(true, static_cast<uint32_t>(address + done), chunk);
        request.insert(request.end(), data + done, data + done + chunk);
        uint8_t acknowledge = 0;
        if (!rlaPort_->write(request) || !rlaReadMemory(kControlAddress, &acknowledge, 1))
            return false;
        done += chunk;
    }
    return true;
}

}  // namespace zern
