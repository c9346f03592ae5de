#pragma once
// The table of up to 16 open serial ports, addressed everywhere by a port
// index. Results are 1/0 unless given; faults are pushed on the link-error
// ring. Every port-indexed operation checks that the index is 0..15 and the
// entry open, and pushes 115 otherwise.
//
// The table is process-wide and takes no lock: callers serialise the
// traffic of a port.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "SerialLine.h"

namespace solbus {

constexpr int kPortCount = 16;

// Baud codes shared with the adapter protocol.
constexpr int kBaud9600 = 0;
constexpr int kBaud19200 = 2;
constexpr int kBaud57600 = 4;
constexpr int kBaud115200 = 6;

// The rate a baud code selects; any code but 2, 4 and 6 selects 9600.
int baudRateOfCode(int code);

int SerialOpenPort(int index, const std::string& portName);
// The lowest free index, or -1 (code 115) when all are in use.
int SerialOpenFreePort(const std::string& portName);
// Drops DTR, purges and frees the entry; the index, or -1 when it was not open.
int SerialClosePort(int index);
void SerialPurge(int index);
int SerialWrite(int index, int count, const uint8_t* bytes);
// The number of bytes that arrived within count x 20 + 60 ms; no code when
// fewer came, the caller decides.
int SerialRead(int index, int count, uint8_t* buffer);
void SerialSendBreak(int index);
int SerialSetBaud(int index, int baudCode);
void SerialSleep(int milliseconds);
uint32_t SerialTickCount();

bool serialPortIsOpen(int index);
// The lock of one port index, for whoever runs whole exchanges on the port
// (the link driver, the Solbus Tool). It outlives every port opened there.
// Null for an index outside 0..15.
std::recursive_mutex* portLock(int index);
// Puts a line into a free entry as SerialOpenPort does with a real port;
// 0 with code 115 when the index is out of range or the entry is in use.
int attachSerialLine(int index, std::unique_ptr<SerialLine> line);
// Frees every entry, as at process start.
void closeAllSerialPorts();

}  // namespace solbus
