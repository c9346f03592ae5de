#include "WireRecord.h"

#include <algorithm>
#include <cassert>

namespace zern::records {

WireRecord chipRecord(std::span<const uint8_t> body)
{
    assert(!body.empty() && body.size() <= 255);
    WireRecord record;
    record.bytes.reserve(body.size() + 1);
    record.bytes.push_back(static_cast<uint8_t>(body.size()));
    record.bytes.insert(record.bytes.end(), body.begin(), body.end());
    record.replyBytes = static_cast<uint32_t>(2 * body.size());
    return record;
}

WireRecord chipRecord(std::initializer_list<uint8_t> body)
{
    return chipRecord(std::span<const uint8_t>(body.begin(), body.size()));
}

std::optional<WireRecord> commandRecord(std::span<const uint8_t> command, size_t fillers, uint8_t filler)
{
    if (command.empty() || command.size() + fillers > 255)
        return std::nullopt;
    std::vector<uint8_t> body(command.begin(), command.end());
    body.insert(body.end(), fillers, filler);
    return chipRecord(body);
}

WireRecord fillerRecord(uint8_t count)
{
    return chipRecord(std::vector<uint8_t>(count, 0x20));
}

uint8_t pairStatus(std::span<const uint8_t> reply, size_t pair)
{
    return reply[2 * pair];
}

uint8_t pairData(std::span<const uint8_t> reply, size_t pair)
{
    return reply[2 * pair + 1];
}

uint64_t littleEndianData(std::span<const uint8_t> reply, size_t firstPair, size_t count)
{
    uint64_t value = 0;
    for (size_t i = count; i-- > 0;)
        value = value << 8 | pairData(reply, firstPair + i);
    return value;
}

std::vector<uint8_t> dataBytes(std::span<const uint8_t> reply)
{
    return dataBytes(reply, 0);
}

std::vector<uint8_t> dataBytes(std::span<const uint8_t> reply, size_t firstPair)
{
    std::vector<uint8_t> data;
    data.reserve(reply.size() / 2);
    for (size_t i = 2 * firstPair + 1; i < reply.size(); i += 2)
        data.push_back(reply[i]);
    return data;
}

std::vector<uint8_t> maskPasswordsForLog(std::span<const uint8_t> written)
{
    constexpr uint8_t kPasswordRecordLength = 0x21;
    constexpr uint8_t kUnlock = 0x03;
    constexpr uint8_t kContextPassword = 0x28;
    std::vector<uint8_t> masked(written.begin(), written.end());
    for (size_t at = 0; at < masked.size();) {
        const uint8_t length = masked[at];
        if (length == 0) {
            at += 2;  // a board operation
            continue;
        }
        const bool password = length == kPasswordRecordLength && at + 1 < masked.size()
                              && (masked[at + 1] == kUnlock || masked[at + 1] == kContextPassword);
        if (password) {
            const size_t end = std::min(masked.size(), at + 1 + length);
            std::fill(masked.begin() + static_cast<std::ptrdiff_t>(at + 2),
                      masked.begin() + static_cast<std::ptrdiff_t>(end), static_cast<uint8_t>('*'));
        }
        at += 1 + length;
    }
    return masked;
}

}  // namespace zern::records
