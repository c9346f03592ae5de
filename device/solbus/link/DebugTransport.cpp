#include "DebugTransport.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "AdapterLink.h"
#include "BusAdapter.h"
#include "LinkErrors.h"
#include "SerialPorts.h"
#include "SolbusTiming.h"

namespace solbus {
namespace {

constexpr uint8_t kDebugByte = 0x2D;
constexpr uint8_t kReadPair = 0x22;
constexpr uint8_t kReadControl = 0xE1;
constexpr uint8_t kWriteControl = 0xD2;
constexpr uint8_t kReadSlot = 0xFF;
// A status with this bit set: the port has no answer ready yet.
constexpr uint8_t kNotReady = 0x10;
// Status bits that mark a pair as carrying data.
constexpr uint8_t kDataBits = 0x03;
constexpr size_t kMaxCommandBytes = 512;
constexpr size_t kPasswordBytes = 32;
constexpr size_t kMaxGroups = 53;
constexpr size_t kGroupBytes = 3;
// Reads give up here: a bus stuck high answers "not ready" for ever.
constexpr int kMaxRounds = 100;

}  // namespace

bool DebugTransport::failed()
{
    if (onFailure_) {
        const int code = PopLinkError();
        char text[128];
        std::snprintf(text, sizeof text, "Error %d: %s", code, LinkErrorText(code));
        onFailure_(code == kErrorNone ? std::string("Device is not responding.") : std::string(text));
    }
    return false;
}

bool DebugTransport::exhausted()
{
    if (onFailure_)
        onFailure_("Device is not responding.");
    return false;
}

bool DebugTransport::sendByte(uint8_t byte)
{
    uint8_t readBack = 0;
    if (!detail::checkPort(port_) || !detail::touchByte(port_, byte, readBack))
        return false;
    if (readBack == byte)
        return true;
    PushLinkError(kErrorWriteByte);
    return false;
}

void DebugTransport::traceFrame(const char* heading, std::span<const uint8_t> sent, std::span<const uint8_t> readBack,
                                const std::vector<bool>& masked)
{
    if (!trace_)
        return;
    trace_->heading(heading);
    trace_->dump(sent, masked);
    trace_->text("\r\n");
    trace_->heading("           R: ");
    trace_->dump(readBack, masked);
    trace_->text("\r\n");
}

bool DebugTransport::SendDebugCommand(std::span<const uint8_t> command, bool carriesPassword)
{
    if (command.size() > kMaxCommandBytes) {
        PushLinkError(kErrorBlockTooLarge);
        return failed();
    }
    std::vector<uint8_t> frame;
    std::vector<bool> masked;
    for (size_t i = 0; i < command.size(); ++i) {
        frame.insert(frame.end(), {kDebugByte, command[i]});
        masked.insert(masked.end(), {false, carriesPassword && i >= 1 && i <= kPasswordBytes});
    }
    const std::vector<uint8_t> sent = frame;
    const bool done = BusBlock(port_, false, frame.data(), static_cast<int>(frame.size())) != 0;
    traceFrame("BREL Write: W: ", sent, frame, masked);
    return done || failed();
}

bool DebugTransport::ReadDebugReply(std::span<uint8_t> buffer)
{
    const size_t wanted = buffer.size() / 2;
    size_t stored = 0;
    for (int round = 0; round < kMaxRounds && stored < wanted; ++round) {
        const size_t groups = std::min(kMaxGroups, wanted - stored);
        std::vector<uint8_t> block;
        for (size_t group = 0; group < groups; ++group)
            block.insert(block.end(), {kReadPair, kReadSlot, kReadSlot});
        const std::vector<uint8_t> sent = block;
        const bool done = BusBlock(port_, false, block.data(), static_cast<int>(block.size())) != 0;
        traceFrame("Read Fill: W: ", sent, block);
        if (!done)
            return failed();
        for (size_t group = 0; group < groups; ++group) {
            const uint8_t status = block[group * kGroupBytes + 2];
            if (!(status & kDataBits))
                continue;
            buffer[2 * stored] = status & kDataBits;
            buffer[2 * stored + 1] = block[group * kGroupBytes + 1];
            ++stored;
        }
    }
    return stored == wanted || exhausted();
}

bool DebugTransport::ReadDebugPairs(std::span<uint8_t> buffer)
{
    if (trace_)
        trace_->heading("Brel Read:     ");
    bool done = true;
    for (size_t pair = 0; done && pair < buffer.size() / 2; ++pair) {
        for (int round = 0;; ++round) {
            if (round == kMaxRounds) {
                done = exhausted();
                break;
            }
            uint8_t data = 0;
            uint8_t status = 0;
            if (!sendByte(kReadPair) || !detail::touchByte(port_, kReadSlot, data)
                || !detail::touchByte(port_, kReadSlot, status)) {
                done = failed();
                break;
            }
            buffer[2 * pair] = status;
            buffer[2 * pair + 1] = data;
            if (trace_) {
                trace_->dump(buffer.subspan(2 * pair, 2));
                trace_->text("\r\n");
            }
            if (!(status & kNotReady))
                break;
        }
    }
    if (trace_)
        trace_->text("\r\n");
    return done;
}

bool DebugTransport::WaitDebugStatus(uint8_t expected, int tries)
{
    return waitStatus(expected, tries) == StatusWait::Reached;
}

DebugTransport::StatusWait DebugTransport::waitStatus(uint8_t expected, int tries)
{
    if (trace_)
        trace_->heading("Poll Status:  ");
    const auto finish = [this](StatusWait result) {
        if (trace_)
            trace_->text("\r\n");
        return result;
    };
    for (int attempt = 0; attempt < tries; ++attempt) {
        std::array<uint8_t, kGroupBytes> group = {kReadPair, kReadSlot, kReadSlot};
        const bool done = BusBlock(port_, false, group.data(), static_cast<int>(group.size())) != 0;
        if (trace_) {
            trace_->dump(group);
            trace_->text("\r\n");
        }
        if (!done) {
            failed();
            return finish(StatusWait::Failed);
        }
        if (group[2] == expected)
            return finish(StatusWait::Reached);
        SerialSleep(solbusTiming().debugStatusRetryMs);
    }
    return finish(StatusWait::NotReached);
}

bool DebugTransport::ReadControl(uint16_t& word)
{
    uint8_t low = 0;
    uint8_t high = 0;
    if (!sendByte(kReadControl) || !detail::touchByte(port_, kReadSlot, low)
        || !detail::touchByte(port_, kReadSlot, high))
        return failed();
    if (trace_) {
        trace_->heading("Read Ctl:     ");
        trace_->dump(std::array<uint8_t, 2>{low, high});
        trace_->text("\r\n");
    }
    // A port that does not drive the line reads as all ones.
    word = static_cast<uint16_t>((low == 0xFF ? 0 : low) | (high == 0xFF ? 0 : high) << 8);
    return true;
}

bool DebugTransport::WriteControl(uint8_t low, uint8_t high)
{
    std::array<uint8_t, 3> block = {kWriteControl, low, high};
    const std::array<uint8_t, 3> sent = block;
    const bool done = BusBlock(port_, false, block.data(), static_cast<int>(block.size())) != 0;
    if (trace_) {
        trace_->heading("Write Ctl: W: ");
        trace_->dump(sent);
        trace_->text("R: ");
        trace_->dump(block);
        trace_->text("\r\n");
    }
    return done || failed();
}

std::optional<std::vector<uint8_t>> DebugTransport::replyData(size_t pairs)
{
    std::vector<uint8_t> buffer(2 * pairs);
    if (!ReadDebugReply(buffer))
        return std::nullopt;
    std::vector<uint8_t> data;
    for (size_t pair = 0; pair < pairs; ++pair)
        data.push_back(buffer[2 * pair + 1]);
    return data;
}

std::optional<uint8_t> DebugTransport::pairStatus()
{
    std::array<uint8_t, 2> pair{};
    if (!ReadDebugPairs(pair))
        return std::nullopt;
    return pair[0];
}

bool DebugTransport::resetBus()
{
    if (trace_)
        trace_->heading("RESET\r\n");
    return BusReset(port_) != 0 || failed();
}

bool DebugTransport::writeByte(uint8_t byte)
{
    if (trace_) {
        trace_->heading("Write Byte: ");
        trace_->dump(std::span(&byte, 1));
        trace_->text("\r\n");
    }
    return sendByte(byte) || failed();
}

}  // namespace solbus
