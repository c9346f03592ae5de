#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace zern::hex {

// One write of a program load: `count` bytes of the image from `offset`.
struct LoadChunk {
    uint32_t offset = 0;
    uint32_t count = 0;
    bool operator==(const LoadChunk&) const = default;
};

// Code goes in chunks of 128 bytes from offset 0 (the last one shorter); a
// chunk of erased bytes (all 0xFF) needs no write and is left out.
std::vector<LoadChunk> programChunks(std::span<const uint8_t> image, uint32_t size);

// Data goes in chunks of at most 254 bytes from offset 0.
std::vector<LoadChunk> dataChunks(uint32_t size);

}  // namespace zern::hex
