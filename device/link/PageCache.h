#pragma once
// Whole 256-byte pages read from the target, so that reads of any size cost
// one transfer per page until the next change. A page not held is stale and
// is read whole when a read touches it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>

#include "DeviceConfig.h"
#include "LinkMessages.h"

namespace zern {

class PageCache {
public:
    static constexpr size_t kPageBytes = 256;
    using Page = std::array<uint8_t, kPageBytes>;
    // Reads the page at a byte address (a multiple of 256); false on a link failure.
    using PageReader = std::function<bool(uint64_t pageAddress, Page& page)>;

    // kLinkDone; kLinkBadArgument when the range runs past the last address;
    // kLinkFailure when a page cannot be read.
    int read(uint64_t byteAddress, size_t count, uint8_t* buffer, const PageReader& readPage);
    // Code is read by word address; the all-ones address reads as erased
    // flash without asking the target.
    int readWords(uint64_t wordAddress, size_t byteCount, uint8_t* buffer, const PageReader& readPage);
    void invalidate() { pages_.clear(); }
    bool holds(uint64_t byteAddress) const { return pages_.count(byteAddress / kPageBytes) != 0; }

    // A block read takes exactly one whole page; anything else is refused
    // with the link error that says which part is wrong.
    static bool wholePage(uint64_t byteAddress, size_t count, const LinkMessages& messages);

private:
    std::map<uint64_t, Page> pages_;
};

// The registers as the last dump found them, until something may change them.
class RegisterCache {
public:
    using Values = std::array<int32_t, kRegisterCount>;

    bool valid() const { return valid_; }
    void invalidate() { valid_ = false; }
    void markValid() { valid_ = true; }
    // Copies the registers out, filled by `dump` first while they are stale;
    // false when the dump fails.
    template <typename Dump>
    bool copyOut(Values& out, Dump&& dump)
    {
        if (!valid_ && !dump())
            return false;
        valid_ = true;
        out = values_;
        return true;
    }
    Values& values() { return values_; }
    const Values& values() const { return values_; }

private:
    Values values_{};
    bool valid_ = false;
};

// Both page caches and the registers: what a run, a step or a reset makes stale.
struct TargetCaches {
    PageCache code;
    PageCache data;
    RegisterCache registers;

    void invalidateAll()
    {
        code.invalidate();
        data.invalidate();
        registers.invalidate();
    }
};

}  // namespace zern
