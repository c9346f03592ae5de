#include "FlashSinceErase.h"

#include "DeviceConfig.h"

namespace zern {

void FlashSinceErase::erased(uint64_t flashBytes)
{
    written_.clear();
    known_ = true;
    flashBytes_ = flashBytes;
}

void FlashSinceErase::forget()
{
    written_.clear();
    known_ = false;
}

std::optional<std::vector<uint8_t>> FlashSinceErase::read(uint64_t byteAddress, size_t count) const
{
    if (!known_ || byteAddress > flashBytes_ || count > flashBytes_ - byteAddress)
        return std::nullopt;
    std::vector<uint8_t> bytes(count, kErasedByte);
    for (size_t i = 0; i < count; ++i) {
        const uint64_t address = byteAddress + i;
        const auto block = written_.find(address / kBlockBytes);
        if (block != written_.end())
            bytes[i] = block->second[address % kBlockBytes];
    }
    return bytes;
}

void FlashSinceErase::wrote(uint64_t byteAddress, std::span<const uint8_t> bytes)
{
    if (!known_)
        return;
    if (byteAddress > flashBytes_ || bytes.size() > flashBytes_ - byteAddress) {
        forget();
        return;
    }
    for (size_t i = 0; i < bytes.size(); ++i) {
        const uint64_t address = byteAddress + i;
        auto [block, added] = written_.try_emplace(address / kBlockBytes);
        if (added)
            block->second.fill(kErasedByte);
        block->second[address % kBlockBytes] = bytes[i];
    }
}

}  // namespace zern
