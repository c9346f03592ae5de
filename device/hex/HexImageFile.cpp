#include "HexImageFile.h"

#include <filesystem>
#include <new>
#include <sstream>

#include "IntelHexReader.h"
#include "UserFile.h"

namespace zern::hex {

HexImageFile readHexImageFile(const std::string& path, HexImageKind kind, uint32_t imageBytes)
{
    HexImageFile result;
    platform::UserFileCheck check;
    auto text = platform::readUserFile(path, kMaxHexFileBytes, &check);
    if (!text) {
        result.status = HexFileStatus::CannotOpen;
        result.message = kind == HexImageKind::Program ? "Cannot open program file" : "Cannot open data file";
        if (check.state == platform::UserFileState::NotRegular || check.state == platform::UserFileState::TooLarge)
            result.message += " " + path + ": " + check.reason;
        result.message += '.';
        return result;
    }
    std::istringstream in(std::move(*text));
    std::vector<uint8_t> image;
    try {
        image.assign(imageBytes, kind == HexImageKind::Program ? 0xFF : 0x00);
    } catch (const std::bad_alloc&) {
        result.message = "Not enough memory for an image of " + std::to_string(imageBytes) + " bytes.";
        return result;
    }
    const std::string name = std::filesystem::path(path).filename().string();
    const HexReadResult read = readIntelHex(in, name, image);
    if (!read.ok) {
        result.message = read.error;
        return result;
    }
    // An empty file, or a source picked by mistake, would load as a program of one byte.
    if (kind == HexImageKind::Program && read.dataRecords == 0) {
        result.message = "Invalid Intel HEX file " + name + ": no data record.";
        return result;
    }
    result.status = HexFileStatus::Loaded;
    result.bytes = std::move(image);
    // A data file without records has nothing to send.
    result.size = read.dataRecords == 0 ? 0 : read.highest + 1;
    return result;
}

}  // namespace zern::hex
