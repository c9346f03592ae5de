#include "SolbusRlaPort.h"

#include <chrono>
#include <thread>

namespace zern {
namespace {

constexpr int kRlaBaud = 115200;

void pause(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace

std::unique_ptr<SolbusRlaPort> SolbusRlaPort::open(const std::string& portName, const LinkMessages& messages,
                                                   const LinkTiming& timing)
{
    std::unique_ptr<platform::SerialPort> port = platform::SerialPort::open(platform::serialDevicePath(portName));
    if (!port) {
        messages.line("Unable to open serial port.");
        return nullptr;
    }
    messages.line("Opened " + portName + ".");
    messages.line("Configuring port...");
    if (!port->configure(kRlaBaud)) {
        messages.line("Unable to configure the serial port.");
        return nullptr;
    }
    pause(timing.dtrResetWaitMs);
    if (!port->setDtr(false)) {
        messages.line("Unable to configure the serial port (2).");
        return nullptr;
    }
    port->setReadTimeout(timing.firstByteMs);
    messages.line("Waiting for Pelko to reboot.");
    pause(timing.rlaRebootWaitMs);
    // What the far end said while it rebooted is of no use.
    uint8_t buffer[50];
    for (long got = port->read(buffer, sizeof buffer); got != 0; got = port->read(buffer, sizeof buffer)) {
        if (got < 0) {
            messages.line("Device is not responding.");
            return nullptr;
        }
    }
    messages.line("Connected.");
    return std::unique_ptr<SolbusRlaPort>(new SolbusRlaPort(std::move(port)));
}

bool SolbusRlaPort::write(uint32_t, std::span<const uint8_t>)
{
    return true;
}

}  // namespace zern
