#include "JtagDriver.h"

#include <cstdio>
#include <cstdlib>

#include "ConfigNumbers.h"
#include "DebugEngineRecords.h"
#include "MessageBoxes.h"

namespace zern {
namespace {

constexpr size_t kVersionReplyBytes = 8;
constexpr size_t kClockReplyBytes = 11;
constexpr size_t kResetReplyBytes = 3;
constexpr int kCompatibleBoardVersion = 1;
constexpr int kAdapterClockHz = 14740000;
constexpr uint8_t kResetTarget = 0x05;
constexpr uint8_t kReleaseTarget = 0x04;

}  // namespace

JtagDriver::JtagDriver(std::unique_ptr<platform::SerialPort> port, DeviceConfig& config, DeviceMessageCallback log,
                       const LinkTiming& timing, TrafficLog& trafficLog)
    : config_(config),
      timing_(timing),
      trafficLog_(trafficLog),
      messages_(log),
      board_(std::move(port), trafficLog, messages_, timing.drainQuietMs),
      passwords_(config.loaderPasswords),
      commandLists_(messages_, [this](const CommandRecord& record, uint8_t& statusByte) {
          return exchange(records::chipRecord(record)) && loaderStatus(statusByte);
      })
{
    board_.serial().setWriteTimeout(timing_.writeTimeoutMs);
    // One context with the erased-flash password until the configuration names more.
    passwords_.ensureOne();
}

JtagDriver::~JtagDriver()
{
    std::lock_guard lock(mutex_);
    if (initialised_) {
        static const uint8_t kEndSession[] = {0x00, 0x00};
        uint8_t answer = 0;
        // One read at the first-byte time-out at most (after an erase the
        // port waits longer): a board that stays silent must not hold up the
        // close for the whole transfer deadline.
        board_.serial().setReadTimeout(timing_.firstByteMs);
        if (board_.write(kEndSession) && board_.serial().read(&answer, 1) > 0)
            trafficLog_.log(TrafficDirection::Read, &answer, 1);
    }
    // The log belongs to the device object and runs until the user stops it:
    // a program load or new options reconnect, and their traffic is logged too.
}

std::chrono::milliseconds JtagDriver::transferDeadline() const
{
    return std::chrono::milliseconds(int64_t{config_.expectedEraseTime} * timing_.readDeadlineUnitMs);
}

bool JtagDriver::writeText(const std::string& text)
{
    return board_.write(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

bool JtagDriver::exchange(const records::WireRecord& record, Bytes& reply)
{
    // Password bytes never reach the traffic log.
    if (!board_.write(record.bytes, records::maskPasswordsForLog(record.bytes)))
        return false;
    reply.assign(record.replyBytes, 0);
    return board_.read(reply.data(), reply.size(), transferDeadline());
}

bool JtagDriver::exchange(const records::WireRecord& record)
{
    Bytes reply;
    return exchange(record, reply);
}

bool JtagDriver::checkBoardVersion()
{
    std::lock_guard lock(mutex_);
    uint8_t reply[kVersionReplyBytes + 1] = {};
    if (!writeText("Q\r") || !board_.read(reply, kVersionReplyBytes, transferDeadline()))
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

bool JtagDriver::erasePending() const
{
    std::lock_guard lock(mutex_);
    return erasePending_;
}

TargetState JtagDriver::targetState() const
{
    std::lock_guard lock(mutex_);
    return state_;
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
    messages_.line(line);
    uint8_t reply[kClockReplyBytes];
    if (!writeText(command) || !board_.read(reply, kClockReplyBytes, transferDeadline()))
        return kLinkFailure;
    if (!writeText("Z\r") || !board_.read(reply, kResetReplyBytes, transferDeadline()))
        return kLinkFailure;
    initialised_ = true;
    return kLinkDone;
}

int JtagDriver::initializeTarget()
{
    std::lock_guard lock(mutex_);
    caches_.invalidateAll();
    caches_.registers.values().fill(0);
    if (!initialised_ && startBoard() != kLinkDone)
        return kLinkFailure;
    // The breakpoints as they were: the start takes the slots for its own.
    const BreakpointSlots::Addresses before = breakpoints_.addresses();
    const StartupPlan plan{static_cast<uint32_t>(config_.userCodeStart), config_.startupDelayMs, timing_.startupPollMs};
    return startTarget(*this, plan, before, messages_);
}

bool JtagDriver::holdTargetInReset()
{
    return exchange(records::engine::boardOperation(kResetTarget)) && resetDebugState() == kLinkDone;
}

bool JtagDriver::releaseTarget()
{
    return exchange(records::engine::boardOperation(kReleaseTarget));
}

}  // namespace zern
