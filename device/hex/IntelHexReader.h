#pragma once

#include <cstdint>
#include <istream>
#include <span>
#include <string>
#include <string_view>

namespace zern::hex {

// Outcome of reading one Intel HEX stream into an image.
struct HexReadResult {
    bool ok = false;
    // On failure: names the file and the line, e.g.
    // "Invalid Intel HEX file prog.hex, line 3: checksum mismatch (expected 0xF7, found 0xF6)."
    std::string error;
    // Highest image index written (0 when nothing was written).
    uint32_t highest = 0;
    // Data records that carried bytes.
    size_t dataRecords = 0;
};

// Reads Intel HEX records into `image` (byte addresses: record address plus the
// upper address of the last type-04 record). Lines that do not begin with ':'
// are ignored (blank lines, comments); every line that does is a record and is
// checked as a whole: hexadecimal digits only, a length that matches the byte
// count, the checksum, a known record type, and data that fits in the image.
// The first bad record stops the reading and fails it; a caller must then not
// use the image, which may hold the records before it.
// Types: 00 data, 01 end of file, 04 upper 16 address bits; 03 and 05 carry a
// start address, which is not part of the image and is skipped. Type 02
// (segment addresses) is refused.
HexReadResult readIntelHex(std::istream& in, std::string_view fileName, std::span<uint8_t> image);

}  // namespace zern::hex
