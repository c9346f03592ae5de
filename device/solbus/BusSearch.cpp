// The ROM search through the adapter's search accelerator, and selecting
// the device whose ROM number the port holds.
#include <algorithm>

#include "AdapterLink.h"
#include "BusCrc.h"
#include "BusDevices.h"
#include "LinkErrors.h"

namespace solbus {

using namespace detail;

namespace {

constexpr uint8_t kMatchRom = 0x55;
constexpr uint8_t kOverdriveMatchRom = 0x69;
constexpr uint8_t kSearchRom = 0xF0;
constexpr uint8_t kAlarmSearch = 0xEC;
// A family whose ROM CRC is taken with 0x7F in place of its second byte.
constexpr uint8_t kSubstitutedFamily = 0x1C;

void clearSearch(AdapterState& state)
{
    state.lastDiscrepancy = 0;
    state.lastFamilyDiscrepancy = 0;
    state.lastDevice = false;
}

bool bitOf(const uint8_t* bytes, int n)
{
    return (bytes[n / 8] >> (n % 8)) & 1;
}

void setBit(uint8_t* bytes, int n, bool value)
{
    if (value)
        bytes[n / 8] |= static_cast<uint8_t>(1 << (n % 8));
    else
        bytes[n / 8] &= static_cast<uint8_t>(~(1 << (n % 8)));
}

bool romIsValid(const std::array<uint8_t, 8>& rom)
{
    uint8_t crc = 0;
    for (size_t i = 0; i < rom.size(); ++i)
        crc = crc8Update(crc, i == 1 && (rom[0] & 0x7F) == kSubstitutedFamily ? 0x7F : rom[i]);
    return crc == 0 && rom[0] != 0;
}

}  // namespace

int BusFirst(int port, bool resetFirst, bool alarmOnly)
{
    if (!checkPort(port))
        return 0;
    clearSearch(stateOf(port));
    return BusNext(port, resetFirst, alarmOnly);
}

int BusNext(int port, bool resetFirst, bool alarmOnly)
{
    if (!checkPort(port))
        return 0;
    AdapterState& state = stateOf(port);
    if (state.lastDevice) {
        clearSearch(state);
        return 0;
    }
    if (resetFirst && !BusReset(port)) {
        clearSearch(state);
        PushLinkError(kErrorNoDevices);
        return 0;
    }
    // Two bits of the path a ROM bit: the odd one is the direction to take
    // where devices disagree.
    uint8_t path[16] = {};
    for (int n = 0; n < 64; ++n) {
        const bool one = n < state.lastDiscrepancy - 1 ? bitOf(state.rom.data(), n) : n == state.lastDiscrepancy - 1;
        setBit(path, 2 * n + 1, one);
    }
    std::vector<uint8_t> frame;
    enterDataMode(frame, state);
    frame.push_back(alarmOnly ? kAlarmSearch : kSearchRom);
    enterCommandMode(frame, state);
    frame.push_back(static_cast<uint8_t>(kSearchAcceleratorOn | state.speed));
    enterDataMode(frame, state);
    for (uint8_t byte : path)
        appendData(frame, byte);
    enterCommandMode(frame, state);
    frame.push_back(static_cast<uint8_t>(kSearchAcceleratorOff | state.speed));

    uint8_t reply[17] = {};
    if (!transfer(port, frame, reply, sizeof reply, true)) {
        clearSearch(state);
        return 0;
    }
    const uint8_t* answer = reply + 1;
    std::array<uint8_t, 8> rom{};
    int lastZero = 0;
    int familyDiscrepancy = state.lastFamilyDiscrepancy;
    for (int n = 0; n < 64; ++n) {
        const bool bit = bitOf(answer, 2 * n + 1);
        setBit(rom.data(), n, bit);
        if (bitOf(answer, 2 * n) && !bit) {
            lastZero = n + 1;
            if (n < 8)
                familyDiscrepancy = n + 1;
        }
    }
    if (!romIsValid(rom) || state.lastDiscrepancy == 63) {
        clearSearch(state);
        PushLinkError(kErrorSearchFailed);
        return 0;
    }
    state.rom = rom;
    state.lastDiscrepancy = lastZero;
    state.lastFamilyDiscrepancy = familyDiscrepancy;
    state.lastDevice = lastZero == 0;
    return 1;
}

void BusSerialNumber(int port, uint8_t* buffer, bool get)
{
    if (!checkPort(port))
        return;
    std::array<uint8_t, 8>& rom = stateOf(port).rom;
    if (get)
        std::copy(rom.begin(), rom.end(), buffer);
    else
        std::copy_n(buffer, rom.size(), rom.begin());
}

void BusFamilySearchSetup(int port, int family)
{
    if (!checkPort(port))
        return;
    AdapterState& state = stateOf(port);
    state.rom.fill(0);
    state.rom[0] = static_cast<uint8_t>(family);
    state.lastDiscrepancy = 64;
    state.lastFamilyDiscrepancy = 0;
    state.lastDevice = false;
}

void BusSkipFamily(int port)
{
    if (!checkPort(port))
        return;
    AdapterState& state = stateOf(port);
    state.lastDiscrepancy = state.lastFamilyDiscrepancy;
    state.lastFamilyDiscrepancy = 0;
    state.lastDevice = state.lastDiscrepancy == 0;
}

int BusAccess(int port)
{
    if (!checkPort(port))
        return 0;
    if (!BusReset(port)) {
        PushLinkError(kErrorNoDevices);
        return 0;
    }
    const std::array<uint8_t, 8>& rom = stateOf(port).rom;
    uint8_t block[9] = {kMatchRom};
    std::copy(rom.begin(), rom.end(), block + 1);
    if (!BusBlock(port, false, block, sizeof block)) {
        PushLinkError(kErrorBlockFailed);
        return 0;
    }
    if (!std::equal(rom.begin(), rom.end(), block + 1))
        return 0;
    if (block[0] != kMatchRom) {
        PushLinkError(kErrorWriteVerify);
        return 0;
    }
    return 1;
}

int BusVerify(int port, bool alarmOnly)
{
    if (!checkPort(port))
        return 0;
    // Three bits a ROM bit: the device's bit and its complement read, then
    // the bit written at 3n+2.
    const std::array<uint8_t, 8>& rom = stateOf(port).rom;
    uint8_t block[25];
    block[0] = alarmOnly ? kAlarmSearch : kSearchRom;
    std::fill(block + 1, block + sizeof block, 0xFF);
    uint8_t* triplets = block + 1;
    for (int n = 0; n < 64; ++n)
        setBit(triplets, 3 * n + 2, bitOf(rom.data(), n));
    if (!BusBlock(port, true, block, sizeof block)) {
        PushLinkError(kErrorBlockFailed);
        return 0;
    }
    int good = 0;
    for (int n = 0; n < 64; ++n) {
        const bool first = bitOf(triplets, 3 * n);
        const bool second = bitOf(triplets, 3 * n + 1);
        if (first && second)
            return 0;
        if (first != second && first == bitOf(rom.data(), n))
            ++good;
    }
    return good > 7 ? 1 : 0;
}

int BusOverdriveAccess(int port)
{
    if (!checkPort(port))
        return 0;
    BusSetLevel(port, kLevelNormal);
    BusSetSpeed(port, 0);
    const auto fail = [port](int code) {
        PushLinkError(code);
        BusSetSpeed(port, 0);
        return 0;
    };
    if (!BusReset(port))
        return fail(kErrorNoDevices);
    if (!BusWriteByte(port, kOverdriveMatchRom))
        return fail(kErrorWriteByte);
    BusSetSpeed(port, 1);
    const std::array<uint8_t, 8> rom = stateOf(port).rom;
    std::array<uint8_t, 8> block = rom;
    if (!BusBlock(port, false, block.data(), static_cast<int>(block.size())))
        return fail(kErrorBlockFailed);
    if (block != rom)
        return fail(kErrorWriteVerify);
    return 1;
}

}  // namespace solbus
