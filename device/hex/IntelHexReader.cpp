#include "IntelHexReader.h"

#include <cstdio>
#include <optional>
#include <vector>

namespace zern::hex {
namespace {

enum RecordType : uint8_t {
    Data = 0x00,
    EndOfFile = 0x01,
    SegmentAddress = 0x02,
    StartSegmentAddress = 0x03,
    UpperAddress = 0x04,
    StartLinearAddress = 0x05,
};

// count, address high, address low, type, checksum
constexpr size_t kFrameBytes = 5;

std::optional<uint8_t> hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return static_cast<uint8_t>(c - '0');
    if (c >= 'A' && c <= 'F')
        return static_cast<uint8_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return static_cast<uint8_t>(c - 'a' + 10);
    return std::nullopt;
}

std::string hexByte(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

std::string_view withoutTrailingBlanks(std::string_view line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    return line;
}

// Decodes the digits after ':' into bytes; returns the reason when it can't.
std::string decodeRecord(std::string_view digits, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    for (size_t i = 0; i < digits.size(); ++i) {
        if (!hexDigit(digits[i]))
            return "character " + std::to_string(i + 2) + " is not a hexadecimal digit";
    }
    if (digits.size() % 2 != 0)
        return "the record has an odd number of digits";
    if (digits.size() < 2 * kFrameBytes)
        return "the record is too short";
    for (size_t i = 0; i < digits.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(*hexDigit(digits[i]) << 4 | *hexDigit(digits[i + 1])));
    const size_t count = bytes[0];
    if (bytes.size() != count + kFrameBytes)
        return "the record holds " + std::to_string(bytes.size() - kFrameBytes) + " data bytes but announces "
               + std::to_string(count);
    uint8_t sum = 0;
    for (size_t i = 0; i + 1 < bytes.size(); ++i)
        sum = static_cast<uint8_t>(sum + bytes[i]);
    const uint8_t expected = static_cast<uint8_t>(-sum);
    if (bytes.back() != expected)
        return "checksum mismatch (expected " + hexByte(expected) + ", found " + hexByte(bytes.back()) + ")";
    return {};
}

}  // namespace

HexReadResult readIntelHex(std::istream& in, std::string_view fileName, std::span<uint8_t> image)
{
    HexReadResult result;
    uint64_t upper = 0;
    size_t lineNumber = 0;
    std::string line;
    std::vector<uint8_t> bytes;
    auto fail = [&](const std::string& reason) {
        result.ok = false;
        result.error = "Invalid Intel HEX file " + std::string(fileName) + ", line " + std::to_string(lineNumber) + ": "
                       + reason + ".";
        return result;
    };

    while (std::getline(in, line)) {
        ++lineNumber;
        const std::string_view text = withoutTrailingBlanks(line);
        if (text.empty() || text.front() != ':')
            continue;
        if (std::string reason = decodeRecord(text.substr(1), bytes); !reason.empty())
            return fail(reason);

        const uint8_t count = bytes[0];
        const uint32_t address = static_cast<uint32_t>(bytes[1]) << 8 | bytes[2];
        const uint8_t type = bytes[3];
        const uint8_t* data = bytes.data() + 4;
        switch (type) {
        case Data:
            if (count == 0)
                break;
            if (upper + address + count > image.size())
                return fail("the " + std::to_string(count) + " data bytes at address "
                            + hexByte(static_cast<uint32_t>(upper + address)) + " lie outside the image of "
                            + std::to_string(image.size()) + " bytes");
            for (uint32_t j = 0; j < count; ++j)
                image[upper + address + j] = data[j];
            if (upper + address + count - 1 > result.highest)
                result.highest = static_cast<uint32_t>(upper + address + count - 1);
            ++result.dataRecords;
            break;
        case EndOfFile:
            if (count != 0)
                return fail("the end record carries data");
            break;
        case UpperAddress:
            if (count != 2)
                return fail("the extended address record needs exactly two data bytes");
            upper = static_cast<uint64_t>(data[0] << 8 | data[1]) << 16;
            break;
        case StartSegmentAddress:
        case StartLinearAddress:
            break;
        case SegmentAddress:
            return fail("segment address records are not supported");
        default:
            return fail("unknown record type " + hexByte(type));
        }
    }
    if (in.bad())
        return fail("the file could not be read");
    result.ok = true;
    return result;
}

}  // namespace zern::hex
