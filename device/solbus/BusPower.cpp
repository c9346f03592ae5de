// Single bit slots, transfers with the strong pull-up after them, and the
// program pulse.
#include "AdapterLink.h"
#include "BusDevices.h"

namespace solbus {

using namespace detail;

namespace {

uint8_t bitCommand(const AdapterState& state, bool one)
{
    return static_cast<uint8_t>(kBitOperation | state.speed | (one ? kBitOne : 0));
}

// Eight bit slots, least significant bit first, with the strong pull-up after
// the last; the bits read, or -1 when the transfer failed.
int touchBytePower(int port, uint8_t byte)
{
    AdapterState& state = stateOf(port);
    std::vector<uint8_t> commands{kPullUpUntilStopped};
    for (int bit = 0; bit < 8; ++bit)
        commands.push_back(
            static_cast<uint8_t>(bitCommand(state, (byte >> bit) & 1) | (bit == 7 ? kPullUpAfterBit : 0)));
    uint8_t reply[9] = {};
    if (!commandTransfer(port, commands, reply, sizeof reply))
        return -1;
    if ((reply[0] & 0x81) == 0)
        state.level = kLevelStrongPullUp;
    int read = 0;
    for (int bit = 0; bit < 8; ++bit)
        read |= (reply[1 + bit] & 1) << bit;
    return read;
}

}  // namespace

int BusTouchBit(int port, int bit)
{
    if (!checkPort(port))
        return 0;
    BusSetLevel(port, kLevelNormal);
    uint8_t reply = 0;
    if (!commandTransfer(port, {bitCommand(stateOf(port), bit != 0)}, &reply, 1))
        return 0;
    return (reply & 0xE0) == 0x80 && (reply & 3) == 3 ? 1 : 0;
}

int BusWriteBytePower(int port, int byte)
{
    if (!checkPort(port))
        return 0;
    return touchBytePower(port, static_cast<uint8_t>(byte)) == static_cast<uint8_t>(byte) ? 1 : 0;
}

int BusReadBytePower(int port)
{
    if (!checkPort(port))
        return 0;
    const int read = touchBytePower(port, 0xFF);
    return read < 0 ? 0 : read;
}

int BusReadBitPower(int port, int expected)
{
    if (!checkPort(port))
        return 0;
    AdapterState& state = stateOf(port);
    uint8_t reply[2] = {};
    const uint8_t bitWithPullUp = static_cast<uint8_t>(bitCommand(state, true) | kPullUpAfterBit);
    if (!commandTransfer(port, {kPullUpUntilStopped, bitWithPullUp}, reply, sizeof reply))
        return 0;
    if ((reply[0] & 0x81) == 0)
        state.level = kLevelStrongPullUp;
    if ((reply[1] & 1) == (expected ? 1 : 0))
        return 1;
    BusSetLevel(port, kLevelNormal);
    return 0;
}

int BusProgramPulse(int port)
{
    if (!checkPort(port) || !stateOf(port).programVoltage)
        return 0;
    BusSetLevel(port, kLevelNormal);
    uint8_t reply[2] = {};
    if (!commandTransfer(port, {kProgramTimed, kProgramPulse}, reply, sizeof reply))
        return 0;
    return (reply[0] | 1) == kProgramTimed && reply[1] >= 0xFC ? 1 : 0;
}

int BusHasPowerDelivery(int)
{
    return 1;
}

int BusHasOverdrive(int)
{
    return 1;
}

int BusHasProgramPulse(int port)
{
    return adapterState(port).programVoltage;
}

}  // namespace solbus
