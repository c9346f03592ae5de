#pragma once
// Reads Intel HEX program and data files into byte images.

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace zern {

struct HexReadResult {
    bool ok = true;
    // The highest image index written (0 when none).
    size_t highest = 0;
    // Line number (from 1) and reason of the first bad record.
    int badLine = 0;
    std::string problem;
};

// Every record is checked before the image changes: the ':' start, hex
// digits, the length its count gives, the checksum, a known type, and data
// that lies inside the image. Lines that do not start with ':' are skipped.
HexReadResult readIntelHex(std::istream& text, std::vector<uint8_t>& image);

}  // namespace zern
