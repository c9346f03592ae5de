#include "SparseMemory.h"

namespace zern::chipmodel {

uint8_t SparseMemory::read(uint64_t address) const
{
    const auto page = pages_.find(address >> 8);
    return page == pages_.end() ? fill_ : page->second[address & 0xFF];
}

void SparseMemory::write(uint64_t address, uint8_t value)
{
    auto [page, created] = pages_.try_emplace(address >> 8);
    if (created)
        page->second.fill(fill_);
    page->second[address & 0xFF] = value;
}

void SparseMemory::clear(uint64_t address, uint64_t count)
{
    for (uint64_t i = 0; i < count; ++i) {
        if (pages_.contains((address + i) >> 8))
            write(address + i, fill_);
    }
}

}  // namespace zern::chipmodel
