#pragma once
// The adapter board's framing: a record is a length byte and up to 255
// bytes for the chip, answered with one status and one data byte per byte.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <vector>

#include "ChipCore.h"

namespace zern::records {

using chip::appendLittleEndian;
using chip::Core;

// One write to the adapter board and the number of bytes it answers.
struct WireRecord {
    std::vector<uint8_t> bytes;
    uint32_t replyBytes = 0;
    bool operator==(const WireRecord&) const = default;
};

// A record for the chip: the length byte, then the bytes; one status and one
// data byte come back per byte. At most 255 bytes fit the length byte.
WireRecord chipRecord(std::span<const uint8_t> body);
WireRecord chipRecord(std::initializer_list<uint8_t> body);
// A command for the chip followed by `fillers` filler bytes that clock its
// answer out; nullopt when the whole does not fit the length byte.
std::optional<WireRecord> commandRecord(std::span<const uint8_t> command, size_t fillers, uint8_t filler);
// n filler bytes (0x20) that clock out what the chip has to say.
WireRecord fillerRecord(uint8_t count);

// Reply pairs: pair k is reply bytes 2k (status) and 2k + 1 (data).
uint8_t pairStatus(std::span<const uint8_t> reply, size_t pair);
uint8_t pairData(std::span<const uint8_t> reply, size_t pair);
// The data bytes of `count` pairs from `firstPair` on, taken little endian.
uint64_t littleEndianData(std::span<const uint8_t> reply, size_t firstPair, size_t count);
// The data bytes of every pair of a reply, in order.
std::vector<uint8_t> dataBytes(std::span<const uint8_t> reply);
// The data bytes of the pairs from `firstPair` on.
std::vector<uint8_t> dataBytes(std::span<const uint8_t> reply, size_t firstPair);

// A copy of a write for the traffic log with the 32 password bytes of every
// unlock {21 03 ...} and context-password {21 28 ...} record replaced by '*'.
// The write is walked record by record as the board frames it.
std::vector<uint8_t> maskPasswordsForLog(std::span<const uint8_t> written);

}  // namespace zern::records
