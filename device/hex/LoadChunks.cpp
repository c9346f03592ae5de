#include "LoadChunks.h"

#include <algorithm>

namespace zern::hex {
namespace {

constexpr uint32_t kProgramChunk = 128;
constexpr uint32_t kDataChunk = 254;

std::vector<LoadChunk> splitInto(uint32_t size, uint32_t chunk)
{
    std::vector<LoadChunk> chunks;
    for (uint32_t offset = 0; offset < size; offset += chunk)
        chunks.push_back({offset, std::min(chunk, size - offset)});
    return chunks;
}

}  // namespace

std::vector<LoadChunk> programChunks(std::span<const uint8_t> image, uint32_t size)
{
    std::vector<LoadChunk> chunks = splitInto(std::min<size_t>(size, image.size()), kProgramChunk);
    std::erase_if(chunks, [&](const LoadChunk& c) {
        const auto bytes = image.subspan(c.offset, c.count);
        return std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0xFF; });
    });
    return chunks;
}

std::vector<LoadChunk> dataChunks(uint32_t size)
{
    return splitInto(size, kDataChunk);
}

}  // namespace zern::hex
