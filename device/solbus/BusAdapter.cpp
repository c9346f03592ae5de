#include "BusAdapter.h"

#include <algorithm>

#include "AdapterLink.h"
#include "LinkErrors.h"
#include "SerialPorts.h"
#include "SolbusTiming.h"

namespace solbus {
namespace detail {
namespace {

std::array<AdapterState, kPortCount>& states()
{
    static std::array<AdapterState, kPortCount> table;
    return table;
}

}  // namespace

bool checkPort(int port)
{
    if (serialPortIsOpen(port))
        return true;
    PushLinkError(kErrorPortIndex);
    return false;
}

AdapterState& stateOf(int port)
{
    return states()[port];
}

void forgetState(int port)
{
    if (port >= 0 && port < kPortCount)
        states()[port] = AdapterState{};
}

void forgetAllStates()
{
    states().fill(AdapterState{});
}

void enterCommandMode(std::vector<uint8_t>& frame, AdapterState& state)
{
    if (state.mode != kCommandMode)
        frame.push_back(kToCommandMode);
    state.mode = kCommandMode;
}

void enterDataMode(std::vector<uint8_t>& frame, AdapterState& state)
{
    if (state.mode == kCommandMode)
        frame.push_back(kToDataMode);
    state.mode = kDataMode;
}

void appendData(std::vector<uint8_t>& frame, uint8_t byte)
{
    frame.push_back(byte);
    if (byte == kToCommandMode)
        frame.push_back(byte);
}

bool transfer(int port, const std::vector<uint8_t>& frame, uint8_t* reply, int replyCount, bool purgeFirst)
{
    if (purgeFirst)
        SerialPurge(port);
    if (!SerialWrite(port, static_cast<int>(frame.size()), frame.data())) {
        PushLinkError(kErrorWriteFailed);
        BusDetectAdapter(port);
        return false;
    }
    if (replyCount > 0 && SerialRead(port, replyCount, reply) < replyCount) {
        PushLinkError(kErrorReadFailed);
        BusDetectAdapter(port);
        return false;
    }
    return true;
}

bool commandTransfer(int port, const std::vector<uint8_t>& commands, uint8_t* reply, int replyCount)
{
    std::vector<uint8_t> frame;
    enterCommandMode(frame, stateOf(port));
    for (uint8_t command : commands)
        frame.push_back(command);
    return transfer(port, frame, reply, replyCount, false);
}

bool touchByte(int port, uint8_t byte, uint8_t& readBack)
{
    BusSetLevel(port, kLevelNormal);
    std::vector<uint8_t> frame;
    enterDataMode(frame, stateOf(port));
    appendData(frame, byte);
    readBack = 0;
    return transfer(port, frame, &readBack, 1, true);
}

}  // namespace detail

using namespace detail;

namespace {

int speedResult(int speedCode)
{
    switch (speedCode) {
    case kSpeedOverdrive:
        return 1;
    case kSpeedHyperdrive:
        return 16;
    default:
        return 0;
    }
}

}  // namespace

int BusDetectAdapter(int port)
{
    if (!checkPort(port))
        return 0;
    AdapterState& state = stateOf(port);
    state.mode = kCommandMode;
    state.baud = kBaud9600;
    state.speed = kSpeedStandard;

    const SolbusTiming& timing = solbusTiming();
    SerialSetBaud(port, state.baud);
    SerialSendBreak(port);
    SerialSleep(timing.afterBreakMs);
    SerialPurge(port);
    if (!SerialWrite(port, 1, &kTimingByte)) {
        PushLinkError(kErrorWriteFailed);
        return 0;
    }
    SerialSleep(timing.afterTimingByteMs);
    // Three configuration parameters, a read of the baud parameter and one
    // bit on the bus.
    const uint8_t setup[] = {0x17, 0x45, 0x5B, kReadBaudParameter,
                             static_cast<uint8_t>(kBitOperation | kBitOne | state.baud)};
    SerialPurge(port);
    if (!SerialWrite(port, sizeof setup, setup)) {
        PushLinkError(kErrorWriteFailed);
        return 0;
    }
    uint8_t reply[sizeof setup] = {};
    if (SerialRead(port, sizeof reply, reply) < static_cast<int>(sizeof reply)) {
        PushLinkError(kErrorReadFailed);
        return 0;
    }
    const bool baudReply = (reply[3] & 0xF1) == 0 && (reply[3] & 0x0E) == state.baud;
    const bool bitReply = (reply[4] & 0xF0) == 0x90 && (reply[4] & 0x0C) == state.baud;
    if (!baudReply || !bitReply) {
        PushLinkError(kErrorBadResponse);
        return 0;
    }
    return 1;
}

int BusSetAdapterSpeed(int port, int baudCode)
{
    if (!checkPort(port))
        return kBaud9600;
    AdapterState& state = stateOf(port);
    if (state.baud == baudCode)
        return state.baud;
    if (!commandTransfer(port, {static_cast<uint8_t>(kSetBaud | baudCode)}, nullptr, 0))
        return state.baud;
    const SolbusTiming& timing = solbusTiming();
    SerialSleep(timing.baudSwitchMs);
    SerialSetBaud(port, baudCode);
    state.baud = baudCode;
    SerialSleep(timing.baudSwitchMs);
    uint8_t reply = 0;
    if (!transfer(port, {kReadBaudParameter}, &reply, 1, false))
        return state.baud;
    if (((reply ^ baudCode) & 0x0E) != 0) {
        PushLinkError(kErrorWrongBaud);
        BusDetectAdapter(port);
    }
    return state.baud;
}

int BusSetSpeed(int port, int speed)
{
    if (!checkPort(port))
        return 0;
    AdapterState& state = stateOf(port);
    const int wanted = speed == 1 ? kSpeedOverdrive : speed == 16 ? kSpeedHyperdrive : kSpeedStandard;
    if (state.speed == wanted)
        return speedResult(state.speed);
    // Standard speed runs at 9600 baud, overdrive and hyperdrive at 115200.
    const int baud = wanted == kSpeedStandard ? kBaud9600 : kBaud115200;
    if (BusSetAdapterSpeed(port, baud) == baud) {
        state.speed = wanted;
        commandTransfer(port, {static_cast<uint8_t>(kSetSpeed | wanted)}, nullptr, 0);
    }
    return speedResult(state.speed);
}

int BusReset(int port)
{
    if (!checkPort(port))
        return 0;
    BusSetLevel(port, kLevelNormal);
    AdapterState& state = stateOf(port);
    uint8_t reply = 0;
    if (!commandTransfer(port, {static_cast<uint8_t>(kBusReset | state.speed)}, &reply, 1))
        return 0;
    // 1 presence, 2 alarming presence; 0 is a shorted bus, 3 no device.
    const int presence = reply & 3;
    if (presence == 1 || presence == 2) {
        state.programVoltage = (reply >> 5) & 1;
        state.revision = reply & 0x1C;
        return 1;
    }
    PushLinkError(kErrorResetFailed);
    BusDetectAdapter(port);
    return 0;
}

int BusTouchByte(int port, int byte)
{
    if (!checkPort(port))
        return 0;
    uint8_t readBack = 0;
    touchByte(port, static_cast<uint8_t>(byte), readBack);
    return readBack;
}

int BusWriteByte(int port, int byte)
{
    if (!checkPort(port))
        return 0;
    // A failed transfer reads back 0, which must not pass for a written 0.
    uint8_t readBack = 0;
    return touchByte(port, static_cast<uint8_t>(byte), readBack) && readBack == static_cast<uint8_t>(byte) ? 1 : 0;
}

int BusReadByte(int port)
{
    return BusTouchByte(port, 0xFF);
}

int BusBlock(int port, bool resetFirst, uint8_t* bytes, int count)
{
    if (!checkPort(port))
        return 0;
    if (count < 0 || count > kMaxBlock) {
        PushLinkError(kErrorBlockTooLarge);
        return 0;
    }
    if (resetFirst && !BusReset(port)) {
        PushLinkError(kErrorNoDevices);
        return 0;
    }
    std::vector<uint8_t> frame;
    frame.reserve(2 * static_cast<size_t>(count) + 1);
    enterDataMode(frame, stateOf(port));
    for (int i = 0; i < count; ++i)
        appendData(frame, bytes[i]);
    std::array<uint8_t, kMaxBlock> reply{};
    if (!transfer(port, frame, reply.data(), count, true))
        return 0;
    std::copy_n(reply.data(), count, bytes);
    return 1;
}

int BusSetLevel(int port, int level)
{
    if (!checkPort(port))
        return kLevelNormal;
    AdapterState& state = stateOf(port);
    if (level == state.level)
        return state.level;
    std::vector<uint8_t> commands;
    int replyCount = 1;
    switch (level) {
    case kLevelNormal:
        commands = {kStopPulse, kPullUpPulse, kStopPulse};
        replyCount = 2;
        break;
    case kLevelStrongPullUp:
        commands = {kPullUpUntilStopped, kPullUpPulse};
        break;
    case kLevelProgram:
        if (!state.programVoltage)
            return state.level;
        commands = {kProgramUntilStopped, kProgramPulse};
        break;
    default:
        return state.level;
    }
    uint8_t reply[2] = {};
    if (!commandTransfer(port, commands, reply, replyCount))
        return state.level;
    const bool done = level == kLevelNormal ? reply[0] >= 0xE0 && reply[1] >= 0xE0 : (reply[0] & 0x81) == 0;
    if (!done) {
        BusDetectAdapter(port);
        return state.level;
    }
    state.level = level;
    return state.level;
}

AdapterState adapterState(int port)
{
    return port >= 0 && port < kPortCount ? stateOf(port) : AdapterState{};
}

}  // namespace solbus
