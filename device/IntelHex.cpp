#include "IntelHex.h"

#include <cctype>
#include <algorithm>
#include <utility>

namespace zern {
namespace {

enum RecordType : uint8_t {
    kData = 0,
    kEndOfFile = 1,
    kSegmentAddress = 2,
    kStartSegment = 3,
    kLinearAddress = 4,
    kStartLinear = 5,
};

constexpr size_t kMaxLineLength = 1023;

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

struct Record {
    uint8_t type = 0;
    uint32_t address = 0;
    std::vector<uint8_t> data;
};

// Empty when the record is well formed, else why not.
std::string parseRecord(const std::string& line, Record& record)
{
    if ((line.size() - 1) % 2 != 0 || line.size() < 11)
        return "record too short";
    std::vector<uint8_t> bytes;
    for (size_t i = 1; i + 1 < line.size(); i += 2) {
        const int high = hexValue(line[i]);
        const int low = hexValue(line[i + 1]);
        if (high < 0 || low < 0)
            return "not a hexadecimal digit";
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    const size_t count = bytes[0];
    if (bytes.size() != count + 5)
        return "record length does not match its count";
    uint8_t sum = 0;
    for (uint8_t byte : bytes)
        sum = static_cast<uint8_t>(sum + byte);
    if (sum != 0)
        return "checksum mismatch";
    record.address = static_cast<uint32_t>((bytes[1] << 8) | bytes[2]);
    record.type = bytes[3];
    record.data.assign(bytes.begin() + 4, bytes.end() - 1);
    if (record.type > kStartLinear)
        return "unknown record type";
    if ((record.type == kLinearAddress || record.type == kSegmentAddress) && count != 2)
        return "address record without two bytes";
    return {};
}

}  // namespace

HexReadResult readIntelHex(std::istream& text, std::vector<uint8_t>& image)
{
    HexReadResult result;
    std::vector<std::pair<size_t, uint8_t>> stores;
    uint64_t upper = 0;
    std::string line;
    int number = 0;
    const auto fail = [&](const std::string& problem) {
        result.ok = false;
        result.badLine = number;
        result.problem = problem;
        return result;
    };
    while (std::getline(text, line)) {
        ++number;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        if (line.size() <= 3 || line[0] != ':')
            continue;
        if (line.size() > kMaxLineLength)
            return fail("line too long");
        Record record;
        if (const std::string problem = parseRecord(line, record); !problem.empty())
            return fail(problem);
        switch (record.type) {
        case kLinearAddress:
            upper = static_cast<uint64_t>((record.data[0] << 8) | record.data[1]) << 16;
            break;
        case kSegmentAddress:
            upper = static_cast<uint64_t>((record.data[0] << 8) | record.data[1]) << 4;
            break;
        case kData:
            for (size_t j = 0; j < record.data.size(); ++j) {
                const uint64_t index = upper + record.address + j;
                if (index >= image.size())
                    return fail("address outside the memory image");
                stores.emplace_back(static_cast<size_t>(index), record.data[j]);
            }
            break;
        default:
            break;
        }
    }
    for (const auto& [index, value] : stores) {
        image[index] = value;
        result.highest = std::max(result.highest, index);
    }
    return result;
}

}  // namespace zern
