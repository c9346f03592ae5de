#pragma once
// Pieces shared by the adapter operations: the per-port state, the mode
// bytes in front of a frame and one write-then-read exchange that recovers
// the adapter when it fails.

#include <cstdint>
#include <vector>

#include "BusAdapter.h"

namespace solbus::detail {

// Command bytes; the speed or baud code is OR-ed into the low bits where used.
constexpr uint8_t kToCommandMode = 0xE3;
constexpr uint8_t kToDataMode = 0xE1;
constexpr uint8_t kTimingByte = 0xC1;
constexpr uint8_t kBusReset = 0xC1;
constexpr uint8_t kReadBaudParameter = 0x0F;
constexpr uint8_t kSetBaud = 0x71;
constexpr uint8_t kSetSpeed = 0xA1;
constexpr uint8_t kSearchAcceleratorOn = 0xB1;
constexpr uint8_t kSearchAcceleratorOff = 0xA1;
constexpr uint8_t kBitOperation = 0x81;
constexpr uint8_t kBitOne = 0x10;
constexpr uint8_t kPullUpAfterBit = 0x02;
constexpr uint8_t kStopPulse = 0xF1;
constexpr uint8_t kPullUpPulse = 0xED;
constexpr uint8_t kProgramPulse = 0xFD;
constexpr uint8_t kPullUpUntilStopped = 0x3F;
constexpr uint8_t kProgramUntilStopped = 0x2F;
constexpr uint8_t kProgramTimed = 0x29;

// Checks the index and that the port is open; pushes 115 otherwise.
bool checkPort(int port);
// The state of a checked port.
AdapterState& stateOf(int port);
void forgetState(int port);
void forgetAllStates();

// Puts 0xE3 in front when the adapter is not in command mode.
void enterCommandMode(std::vector<uint8_t>& frame, AdapterState& state);
// Puts 0xE1 in front when the adapter is in command mode.
void enterDataMode(std::vector<uint8_t>& frame, AdapterState& state);
// A data byte 0xE3 goes twice so that the adapter does not switch modes.
void appendData(std::vector<uint8_t>& frame, uint8_t byte);

// Writes the frame and reads replyCount bytes. A failed write pushes 9, a
// short reply 10; either re-detects the adapter and gives false.
bool transfer(int port, const std::vector<uint8_t>& frame, uint8_t* reply, int replyCount, bool purgeFirst);
// Command bytes, with 0xE3 in front when needed, and their replies.
bool commandTransfer(int port, const std::vector<uint8_t>& commands, uint8_t* reply, int replyCount);
// A single data byte through the bus; false when the transfer failed.
bool touchByte(int port, uint8_t byte, uint8_t& readBack);

}  // namespace solbus::detail
