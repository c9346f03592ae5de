#pragma once
// Device-level operations on top of the adapter protocol: single bits and
// power delivery, the ROM search and device selection, and memory pages
// with CRC16 written through a scratchpad or as EPROM. Results are 1/0
// unless given; faults go on the link-error ring.
//
// "Select" is 0x55 and the port's current ROM number; page p starts at
// address p x 32, sent low byte first.

#include <cstdint>

namespace solbus {

int BusTouchBit(int port, int bit);
// Eight bit slots with the strong pull-up after the last one.
int BusWriteBytePower(int port, int byte);
int BusReadBytePower(int port);
int BusReadBitPower(int port, int expected);
int BusProgramPulse(int port);
int BusHasPowerDelivery(int port);
int BusHasOverdrive(int port);
int BusHasProgramPulse(int port);

int BusFirst(int port, bool resetFirst, bool alarmOnly);
int BusNext(int port, bool resetFirst, bool alarmOnly);
// Copies the 8-byte ROM number out (get) or in.
void BusSerialNumber(int port, uint8_t* buffer, bool get);
void BusFamilySearchSetup(int port, int family);
void BusSkipFamily(int port);
int BusAccess(int port);
int BusVerify(int port, bool alarmOnly);
int BusOverdriveAccess(int port);

// The packet's length (its data in buffer, up to 29 bytes), or -1.
int BusReadPacket(int port, bool select, int page, uint8_t* buffer);
int BusWritePacket(int port, int page, const uint8_t* data, int length, bool eprom, bool crc16);
// The byte read back after programming, or -1.
int BusProgramByte(int port, int byte, int address, int command, bool crc16, bool select);
int BusWriteScratchpad(int port, int page, const uint8_t* data, int length);
int BusCopyScratchpad(int port, int page, int length);

}  // namespace solbus
