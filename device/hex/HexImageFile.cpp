#include "HexImageFile.h"

#include <filesystem>
#include <fstream>
#include <new>

#include "IntelHexReader.h"

namespace zern::hex {

HexImageFile readHexImageFile(const std::string& path, HexImageKind kind, uint32_t imageBytes)
{
    HexImageFile result;
    std::ifstream in;
    std::error_code ignored;
    if (!std::filesystem::is_directory(path, ignored))
        in.open(path, std::ios::binary);
    if (!in.is_open()) {
        result.status = HexFileStatus::CannotOpen;
        result.message = kind == HexImageKind::Program ? "Cannot open program file." : "Cannot open data file.";
        return result;
    }
    std::vector<uint8_t> image;
    try {
        image.assign(imageBytes, kind == HexImageKind::Program ? 0xFF : 0x00);
    } catch (const std::bad_alloc&) {
        result.message = "Not enough memory for an image of " + std::to_string(imageBytes) + " bytes.";
        return result;
    }
    const HexReadResult read = readIntelHex(in, std::filesystem::path(path).filename().string(), image);
    if (!read.ok) {
        result.message = read.error;
        return result;
    }
    result.status = HexFileStatus::Loaded;
    result.bytes = std::move(image);
    result.size = read.highest + 1;
    return result;
}

}  // namespace zern::hex
