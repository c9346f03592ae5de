#pragma once

// Test helpers: hex strings as the protocol documents them, and the board's
// record framing, so a test can feed whole wire sequences to the chip.
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "ChipModel.h"

namespace zern::chipmodel::test {

inline std::vector<uint8_t> hex(const std::string& text)
{
    std::istringstream in(text);
    std::vector<uint8_t> bytes;
    std::string pair;
    while (in >> pair)
        bytes.push_back(static_cast<uint8_t>(std::stoul(pair, nullptr, 16)));
    return bytes;
}

inline std::string repeat(const std::string& pair, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += " " + pair;
    return text;
}

// `count` bytes counting up from `first` (wrapping at 0xFF), as hex text and as bytes.
inline std::string countingHex(int count, int first)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, " %02X", (first + i) & 0xFF);
        text += pair;
    }
    return text;
}

inline std::vector<uint8_t> countingBytes(int count, int first)
{
    std::vector<uint8_t> bytes;
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<uint8_t>(first + i));
    return bytes;
}

// Splits a write into records as the adapter board does and collects the replies.
inline std::vector<uint8_t> feedWire(ChipModel& chip, const std::vector<uint8_t>& wire)
{
    std::vector<uint8_t> reply;
    for (size_t i = 0; i < wire.size();) {
        const uint8_t length = wire[i++];
        if (length == 0) {
            reply.push_back(chip.boardOperation(wire.at(i++)));
            continue;
        }
        const std::vector<uint8_t> record(wire.begin() + static_cast<std::ptrdiff_t>(i),
                                          wire.begin() + static_cast<std::ptrdiff_t>(i + length));
        i += length;
        const std::vector<uint8_t> answer = chip.exchange(record);
        reply.insert(reply.end(), answer.begin(), answer.end());
    }
    return reply;
}

inline std::vector<uint8_t> feedWire(ChipModel& chip, const std::string& wireHex)
{
    return feedWire(chip, hex(wireHex));
}

// Sequences of the debug engine and the loader entry, as documented.
inline const std::string kDebugEntry = "00 01 00 03 01 04 00 02 01 00 00 01 01 02 00 08 00 02";
inline const std::string kEntryWithBreak = kDebugEntry + " 01 1F";
inline const std::string kDebugReset = "00 09 00 06 00 06 00 06 00 06 00 06 00 0A 00 06";
inline const std::string kLoaderEntry = "00 01 00 03 01 04 00 02 01 01 00 06 00 04 00 01 01 02 00 02 00 08";
inline const std::string kLoaderExit = "11 01 00 09 00 06 00 06 00 06 00 06 00 06 00 0A 00 06";
inline const std::string kStatus = "01 20";

}  // namespace zern::chipmodel::test
