#pragma once
// The protocol spoken to the Solbus adapter over the port table: detection,
// the adapter's serial baud rate, the bus speed, bus reset with presence,
// byte and block transfers and line levels. Plain functions over a port
// index, 1/0 results unless given, faults on the link-error ring. A failed
// transfer re-detects the adapter: 9600 baud, standard speed, command mode.

#include <array>
#include <cstdint>
#include <string>

namespace solbus {

constexpr int kCommandMode = 2;
constexpr int kDataMode = 0;

constexpr int kSpeedStandard = 4;
constexpr int kSpeedOverdrive = 8;
constexpr int kSpeedHyperdrive = 12;

constexpr int kLevelNormal = 0;
constexpr int kLevelStrongPullUp = 2;
constexpr int kLevelProgram = 4;

constexpr int kMaxBlock = 160;

// What the protocol keeps for one port index.
struct AdapterState {
    int mode = kCommandMode;
    int baud = 0;
    int speed = kSpeedStandard;
    int level = kLevelNormal;
    int programVoltage = 0;
    int revision = 0;
    // The current ROM number (byte 0 the family code, byte 7 its CRC8) and
    // where the ROM search stands.
    std::array<uint8_t, 8> rom{};
    int lastDiscrepancy = 0;
    int lastFamilyDiscrepancy = 0;
    bool lastDevice = false;
};

int BusDetectAdapter(int port);
// The baud code in force afterwards.
int BusSetAdapterSpeed(int port, int baudCode);
// speed 0 standard, 1 overdrive, 16 hyperdrive; the speed in force afterwards.
int BusSetSpeed(int port, int speed);
// 1 when a device answered with presence.
int BusReset(int port);
// The byte read back, 0 on failure.
int BusTouchByte(int port, int byte);
// 1 when the transfer worked and the byte read back equals the byte written.
int BusWriteByte(int port, int byte);
int BusReadByte(int port);
// Up to 160 bytes; the bytes read back replace the bytes sent.
int BusBlock(int port, bool resetFirst, uint8_t* bytes, int count);
// level 0 normal, 2 strong pull-up, 4 program voltage; the level in force afterwards.
int BusSetLevel(int port, int level);

// Open the port (the first free entry, or the given one) and detect the adapter there.
int BusOpenPort(const std::string& portName);
int BusOpenPortAt(int index, const std::string& portName);
void BusClosePort(int index);

// A copy of the state kept for a port (defaults for an index out of range).
AdapterState adapterState(int port);
// Forgets every port's state, closes every port and empties the error ring.
void resetSolbus();

}  // namespace solbus
