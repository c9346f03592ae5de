#pragma once
// The configured command lists (pre-erase, post-erase, post-load): each
// record goes to the boot loader, whose status follows, and one line per
// record names its bytes and the status.

#include <cstdint>
#include <functional>

#include "DeviceConfig.h"
#include "LinkMessages.h"
#include "TargetState.h"

namespace zern {

class CommandListRunner {
public:
    // Sends one record and reads the loader's status after it; false on a link failure.
    using Send = std::function<bool(const CommandRecord& record, uint8_t& status)>;

    CommandListRunner(const LinkMessages& messages, Send send) : messages_(messages), send_(std::move(send)) {}

    // "<title>xx, xx, ...Status: xx" per record; false at the first link failure.
    bool run(const CommandList& list, const char* title) const;
    // The post-load list, then the configured delay between its two lines.
    // The records are the boot loader's, also after a load that wrote
    // nothing: a list with records first enters it, unless the target is in it.
    bool runPostLoad(const CommandList& list, int delayMs, TargetState state,
                     const std::function<bool()>& enterLoader) const;

private:
    const LinkMessages& messages_;
    Send send_;
};

}  // namespace zern
