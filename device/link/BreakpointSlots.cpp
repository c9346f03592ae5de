#include "BreakpointSlots.h"

#include "LinkDriver.h"
#include "MessageBoxes.h"

namespace zern {

int BreakpointSlots::set(uint64_t address, const SetSlot& send)
{
    for (int slot = 0; slot < kSlots; ++slot) {
        auto& held = slots_[static_cast<size_t>(slot)];
        if (held)
            continue;
        const int sent = send(slot, address);
        if (sent == kLinkDone)
            held = address;
        return sent;
    }
    platform::messageBoxes().show("Breakpoint Limit",
                                  "Unable to add breakpoint!\n\nThe maximum number of breakpoints\nhas been reached.",
                                  platform::BoxButtons::Ok, platform::BoxIcon::Warning);
    return kLinkBadArgument;
}

int BreakpointSlots::clear(uint64_t address, const ClearSlot& send)
{
    for (int slot = 0; slot < kSlots; ++slot) {
        auto& held = slots_[static_cast<size_t>(slot)];
        if (held != address)
            continue;
        if (!send(slot))
            return kLinkFailure;
        held.reset();
        return kLinkDone;
    }
    return kLinkBadArgument;
}

int BreakpointSlots::clearAll(const ClearSlot& send)
{
    for (const auto& held : slots_)
        if (held && clear(*held, send) != kLinkDone)
            return kLinkFailure;
    return kLinkDone;
}

bool BreakpointSlots::holds(uint64_t address) const
{
    for (const auto& held : slots_)
        if (held == address)
            return true;
    return false;
}

}  // namespace zern
