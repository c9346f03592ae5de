#include "JtagDriver.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "ConfigNumbers.h"
#include "MessageBoxes.h"

namespace zern {
namespace {

constexpr size_t kVersionReplyBytes = 8;
constexpr size_t kClockReplyBytes = 11;
constexpr size_t kResetReplyBytes = 3;
constexpr size_t kDrainChunk = 50;
// A line that never goes quiet is not drained for ever.
constexpr int kMaxDrainReads = 1000;
constexpr int kCompatibleBoardVersion = 1;
constexpr int kAdapterClockHz = 14740000;

}  // namespace

JtagDriver::JtagDriver(std::unique_ptr<platform::SerialPort> port, DeviceConfig& config, DeviceMessageCallback log,
                       const LinkTiming& timing, TrafficLog& trafficLog)
    : port_(std::move(port)), config_(config), log_(log), timing_(timing), trafficLog_(trafficLog)
{
    port_->setWriteTimeout(timing_.writeTimeoutMs);
    // One context with the erased-flash password until the configuration names more.
    if (config_.loaderPasswords.size() < static_cast<size_t>(kPasswordBytes))
        config_.loaderPasswords.assign(kPasswordBytes, kErasedByte);
}

JtagDriver::~JtagDriver()
{
    std::lock_guard lock(mutex_);
    if (initialised_) {
        static const uint8_t kEndSession[] = {0x00, 0x00};
        uint8_t answer = 0;
        // One read time-out at most: a board that stays silent must not hold
        // up the close for the whole transfer deadline.
        if (writeBytes(kEndSession, sizeof kEndSession) && port_->read(&answer, 1) > 0)
            trafficLog_.log(TrafficDirection::Read, &answer, 1);
    }
    trafficLog_.close();
}

void JtagDriver::logLine(const std::string& text) const
{
    if (log_)
        log_(text.c_str());
}

void JtagDriver::reportLinkError(const std::string& text) const
{
    if (!log_)
        return;
    log_("");
    log_(text.c_str());
    log_("Please check all connections and try again.");
}

bool JtagDriver::writeBytes(const uint8_t* data, size_t count)
{
    return writeTo(*port_, data, count);
}

bool JtagDriver::writeTo(platform::SerialPort& port, const uint8_t* data, size_t count)
{
    trafficLog_.log(TrafficDirection::Written, data, count);
    if (port.write(data, count))
        return true;
    reportLinkError("Unable to write the required number of bytes to the serial port.");
    return false;
}

bool JtagDriver::writeText(const std::string& text)
{
    return writeBytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

bool JtagDriver::readBytes(uint8_t* buffer, size_t count)
{
    return readFrom(*port_, buffer, count,
                    std::chrono::milliseconds(int64_t{config_.expectedEraseTime} * timing_.readDeadlineUnitMs));
}

bool JtagDriver::readFrom(platform::SerialPort& port, uint8_t* buffer, size_t count, std::chrono::milliseconds allowed)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + allowed;
    size_t done = 0;
    // At least one attempt, so that a deadline of zero still reads what is there.
    do {
        if (done == count)
            return true;
        const long got = port.read(buffer + done, count - done);
        if (got < 0) {
            reportLinkError("Unable to read from the serial port.");
            return false;
        }
        trafficLog_.log(TrafficDirection::Read, buffer + done, static_cast<size_t>(got));
        done += static_cast<size_t>(got);
    } while (Clock::now() < deadline);
    if (done == count)
        return true;
    reportLinkError("Unable to read all the required information from the serial port.");
    return false;
}

bool JtagDriver::drainSerialInput(platform::SerialPort& port)
{
    uint8_t scrap[kDrainChunk];
    for (int reads = 0; reads < kMaxDrainReads; ++reads) {
        const long got = port.read(scrap, sizeof scrap);
        if (got == 0)
            return true;
        if (got < 0)
            break;
    }
    logLine("Device is not responding.");
    return false;
}

bool JtagDriver::checkBoardVersion()
{
    std::lock_guard lock(mutex_);
    uint8_t reply[kVersionReplyBytes + 1] = {};
    if (!writeText("Q\r") || !readBytes(reply, kVersionReplyBytes))
        return false;
    // The version is the two characters after the echoed command.
    const char digits[3] = {static_cast<char>(reply[3]), static_cast<char>(reply[4]), 0};
    if (std::atoi(digits) == kCompatibleBoardVersion)
        return true;
    platform::messageBoxes().show("Error",
                                  "The Serial-To-JTAG board is not compatible with this version of the JTAG driver.",
                                  platform::BoxButtons::Ok, platform::BoxIcon::Error);
    return false;
}

void JtagDriver::setErasePending()
{
    std::lock_guard lock(mutex_);
    erasePending_ = true;
}

int JtagDriver::startBoard()
{
    const int kHz = config_.jtagClockKHz;
    if (!validJtagClock(kHz))
        return kLinkFailure;
    const int divisor = 0x10000 - kAdapterClockHz / (kHz * 1000);
    char command[16];
    std::snprintf(command, sizeof command, "V3%02X%02X\r", (divisor >> 8) & 0xFF, divisor & 0xFF);
    char line[64];
    std::snprintf(line, sizeof line, "Setting JTAG clock rate to %d kHz", kHz);
    logLine(line);
    uint8_t reply[kClockReplyBytes];
    if (!writeText(command) || !readBytes(reply, kClockReplyBytes))
        return kLinkFailure;
    if (!writeText("Z\r") || !readBytes(reply, kResetReplyBytes))
        return kLinkFailure;
    initialised_ = true;
    return kLinkDone;
}

}  // namespace zern
