#pragma once
// Intel HEX text as the assembler writes it, for tests and benchmarks.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace testing_support {

inline std::string hexRecord(uint8_t type, uint16_t address, const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> bytes = {static_cast<uint8_t>(data.size()), static_cast<uint8_t>(address >> 8),
                                  static_cast<uint8_t>(address), type};
    bytes.insert(bytes.end(), data.begin(), data.end());
    uint8_t sum = 0;
    std::string line = ":";
    char pair[3];
    for (uint8_t byte : bytes) {
        sum = static_cast<uint8_t>(sum + byte);
        std::snprintf(pair, sizeof pair, "%02X", byte);
        line += pair;
    }
    std::snprintf(pair, sizeof pair, "%02X", static_cast<uint8_t>(-sum));
    return line + pair + "\r\n";
}

// A type 4 record, the bytes as 16-byte data records from address 0, the end record.
inline std::string programHex(const std::vector<uint8_t>& code)
{
    std::string text = hexRecord(4, 0, {0x00, 0x00});
    for (size_t at = 0; at < code.size(); at += 16) {
        const size_t count = std::min<size_t>(16, code.size() - at);
        text += hexRecord(
            0, static_cast<uint16_t>(at),
            std::vector<uint8_t>(code.begin() + static_cast<long>(at), code.begin() + static_cast<long>(at + count)));
    }
    return text + hexRecord(1, 0, {});
}

}  // namespace testing_support
