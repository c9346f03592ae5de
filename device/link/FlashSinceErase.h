#pragma once
// What the code flash holds as far as a link knows it without reading it:
// nothing before the link erases the flash; after a master erase every byte
// is erased (0xFF) except those the link has written since. A loader that
// cannot read a page back completes a page from this.

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

namespace zern {

class FlashSinceErase {
public:
    // The flash of `flashBytes` bytes was erased: it reads 0xFF until written.
    void erased(uint64_t flashBytes);
    // Nothing is known any more, as before the first erase.
    void forget();
    // The bytes as the flash holds them; none when they are not known.
    std::optional<std::vector<uint8_t>> read(uint64_t byteAddress, size_t count) const;
    // The flash now holds these bytes. Beyond the flash nothing is kept, and
    // nothing is known from then on.
    void wrote(uint64_t byteAddress, std::span<const uint8_t> bytes);

private:
    static constexpr size_t kBlockBytes = 256;
    using Block = std::array<uint8_t, kBlockBytes>;

    bool known_ = false;
    uint64_t flashBytes_ = 0;
    // Only blocks written since the erase; at most the flash itself.
    std::map<uint64_t, Block> written_;
};

}  // namespace zern
