#pragma once
// The target's four hardware code-breakpoint slots, as the driver set them.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace zern {

class BreakpointSlots {
public:
    static constexpr int kSlots = 4;
    using Addresses = std::array<std::optional<uint64_t>, kSlots>;
    // Sends a slot's set record: kLinkDone, kLinkBadArgument when the address
    // does not fit the record, kLinkFailure.
    using SetSlot = std::function<int(int slot, uint64_t address)>;
    // Sends a slot's clear record; false on a link failure.
    using ClearSlot = std::function<bool(int slot)>;

    // The first free slot takes the address (one already held takes another
    // slot). With every slot taken the "Breakpoint Limit" box shows and the
    // result is kLinkBadArgument.
    int set(uint64_t address, const SetSlot& send);
    // Frees the first slot that holds the address: kLinkDone,
    // kLinkBadArgument when none holds it, kLinkFailure.
    int clear(uint64_t address, const ClearSlot& send);
    // Frees every slot in use, in slot order.
    int clearAll(const ClearSlot& send);
    bool holds(uint64_t address) const;
    const Addresses& addresses() const { return slots_; }

private:
    Addresses slots_;
};

}  // namespace zern
