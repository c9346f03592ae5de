#include "PageCache.h"

#include <cstring>

#include "LinkDriver.h"

namespace zern {

int PageCache::read(uint64_t byteAddress, size_t count, uint8_t* buffer, const PageReader& readPage)
{
    if (count == 0)
        return kLinkDone;
    if (byteAddress + count < byteAddress)
        return kLinkBadArgument;
    const uint64_t first = byteAddress / kPageBytes;
    const uint64_t last = (byteAddress + count - 1) / kPageBytes;
    for (uint64_t page = first; page <= last; ++page) {
        if (pages_.count(page))
            continue;
        Page data{};
        if (!readPage(page * kPageBytes, data))
            return kLinkFailure;
        pages_[page] = data;
    }
    for (size_t i = 0; i < count; ++i) {
        const uint64_t address = byteAddress + i;
        buffer[i] = pages_[address / kPageBytes][address % kPageBytes];
    }
    return kLinkDone;
}

int PageCache::readWords(uint64_t wordAddress, size_t byteCount, uint8_t* buffer, const PageReader& readPage)
{
    constexpr uint8_t kErased = 0xFF;
    if (wordAddress == ~0ull) {
        std::memset(buffer, kErased, byteCount);
        return kLinkDone;
    }
    if (wordAddress > (~0ull >> 1))
        return kLinkBadArgument;
    return read(wordAddress * 2, byteCount, buffer, readPage);
}

bool PageCache::wholePage(uint64_t byteAddress, size_t count, const LinkMessages& messages)
{
    if (byteAddress % kPageBytes != 0) {
        messages.linkError("Attempting to read a partial block of data. (1)");
        return false;
    }
    if (count != kPageBytes) {
        messages.linkError("Attempting to read a partial block of data. (2)");
        return false;
    }
    return true;
}

}  // namespace zern
