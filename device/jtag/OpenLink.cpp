#include "OpenLink.h"

#include <chrono>
#include <thread>
#include <vector>

#include "DongleReset.h"

namespace zern {
namespace {

constexpr int kBaudRate = 115200;
constexpr size_t kPromptReadChunk = 230;
constexpr size_t kWakeUpZeros = 257;
// A board that keeps sending without ever showing its prompt counts as not
// responding, so that no search lasts for ever.
constexpr int kMaxReadsPerSearch = 100;

enum class ReadOutcome { Prompt, Other, Nothing };

// One read: did it end with the board's prompt, bring something else, or nothing (or fail)?
ReadOutcome readOnce(platform::SerialPort& port)
{
    uint8_t buffer[kPromptReadChunk];
    const long got = port.read(buffer, sizeof buffer);
    if (got <= 0)
        return ReadOutcome::Nothing;
    const uint8_t last = buffer[got - 1];
    return last == '>' || last == '#' ? ReadOutcome::Prompt : ReadOutcome::Other;
}

bool writeCarriageReturn(platform::SerialPort& port)
{
    static const uint8_t kReturn = '\r';
    return port.write(&kReturn, 1);
}

void pause(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace

std::unique_ptr<platform::SerialPort> openLink(const std::string& portName,
                                               const std::function<void(const std::string&)>& log,
                                               const LinkTiming& timing)
{
    resetUsbDongle(log);

    log("Opening serial port...");
    auto port = platform::SerialPort::open(platform::serialDevicePath(portName));
    if (!port) {
        log("Unable to open serial port.");
        return nullptr;
    }
    log("Opened " + portName + ".");
    // From here on, returning null closes the port.
    if (!port->configure(kBaudRate)) {
        log("Unable to configure the serial port.");
        return nullptr;
    }
    pause(timing.dtrResetWaitMs);
    if (!port->setDtr(false)) {
        log("Unable to reset the device.");
        return nullptr;
    }
    pause(timing.dtrResetWaitMs);

    if (!writeCarriageReturn(*port)) {
        log("Unable to write to serial port.");
        return nullptr;
    }
    port->setReadTimeout(timing.firstByteMs);

    bool wokenUp = false;
    for (int reads = 1;; ++reads) {
        const ReadOutcome outcome = readOnce(*port);
        if (outcome == ReadOutcome::Prompt)
            break;
        if (outcome == ReadOutcome::Other && reads % kMaxReadsPerSearch != 0)
            continue;
        if (wokenUp) {
            log("Device is not responding.");
            return nullptr;
        }
        // A board program waiting inside a binary record takes the zeros as
        // record lengths and comes back to its prompt at the carriage return.
        std::vector<uint8_t> wakeUp(kWakeUpZeros, 0x00);
        wakeUp.push_back('\r');
        if (!port->write(wakeUp.data(), wakeUp.size())) {
            log("Unable to write to serial port.");
            return nullptr;
        }
        wokenUp = true;
    }

    if (!writeCarriageReturn(*port)) {
        log("Unable to write to serial port.");
        return nullptr;
    }
    for (int reads = 1;; ++reads) {
        const ReadOutcome outcome = readOnce(*port);
        if (outcome == ReadOutcome::Prompt)
            break;
        if (outcome == ReadOutcome::Nothing || reads == kMaxReadsPerSearch) {
            log("JTAG program is not responding. (2)");
            return nullptr;
        }
    }
    for (int reads = 0; reads < kMaxReadsPerSearch && readOnce(*port) == ReadOutcome::Other; ++reads) {
    }
    log("Connected.");
    return port;
}

}  // namespace zern
