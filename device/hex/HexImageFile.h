#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zern::hex {

// The two images a program load fills: code is erased flash (0xFF), data is
// cleared memory (0x00).
enum class HexImageKind { Program, Data };

enum class HexFileStatus { Loaded, CannotOpen, Invalid };

// Far more than the text of the largest image a configuration allows.
inline constexpr uint64_t kMaxHexFileBytes = 256 * 1024 * 1024;

struct HexImageFile {
    HexFileStatus status = HexFileStatus::Invalid;
    // "Cannot open program file." / "Cannot open data file." when the file
    // does not exist, the same naming the file and why when it is no regular
    // file or larger than kMaxHexFileBytes, the reader's message naming file
    // and line when it is invalid (or when no image of that size can be had,
    // or a program file holds no data); empty once loaded.
    std::string message;
    // The whole image, as large as asked for.
    std::vector<uint8_t> bytes;
    // Highest index written plus one: the part of the image a load sends
    // (0 for a data file without records).
    uint32_t size = 0;
};

// Reads the HEX file at `path` into an image of `imageBytes` bytes. The image is
// returned only when the whole file is valid, so a bad file reaches no target;
// a program file without a single data record is refused too.
HexImageFile readHexImageFile(const std::string& path, HexImageKind kind, uint32_t imageBytes);

}  // namespace zern::hex
