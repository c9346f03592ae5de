#pragma once

#include <array>
#include <cstdint>
#include <map>

namespace zern::chipmodel {

// Byte-addressed memory kept in 256-byte pages that exist only once written,
// so any 64-bit address is cheap; unwritten bytes read as the fill value.
class SparseMemory {
public:
    explicit SparseMemory(uint8_t fill) : fill_(fill) {}

    uint8_t read(uint64_t address) const;
    void write(uint64_t address, uint8_t value);
    // Back to the fill value everywhere (an erase of flash).
    void clear() { pages_.clear(); }
    // Fill value again for [address, address + count).
    void clear(uint64_t address, uint64_t count);

private:
    using Page = std::array<uint8_t, 256>;
    uint8_t fill_;
    std::map<uint64_t, Page> pages_;
};

}  // namespace zern::chipmodel
