#pragma once
// The start of a target on a fresh link: the target reset into the debug
// engine, let run from its reset vector to a breakpoint at the start of user
// code, and the breakpoints it had before set again. Each link takes the
// steps its own way.

#include <cstdint>

#include "BreakpointSlots.h"
#include "LinkMessages.h"

namespace zern {

class StartupSteps {
public:
    virtual ~StartupSteps() = default;

    // Holds the target in reset with its debug engine reset (not in debug mode).
    virtual bool holdTargetInReset() = 0;
    virtual bool resumeTarget() = 0;
    // Lets the target out of reset.
    virtual bool releaseTarget() = 0;
    virtual int setCodeBreakpoint(uint64_t address) = 0;
    virtual int clearCodeBreakpoint(uint64_t address) = 0;
    virtual int clearAllCodeBreakpoints() = 0;
    virtual bool pollStatus(bool& halted) = 0;
};

struct StartupPlan {
    // Where user code starts: the target halts there.
    uint64_t startAddress = 0;
    // How long the target may take to get there, and how often it is asked.
    int startupDelayMs = 5000;
    int pollMs = 500;
};

// kLinkDone, or kLinkFailure when a step fails. A target that never halts
// is reported and the start goes on; a breakpoint that cannot be set again
// is left out.
int startTarget(StartupSteps& steps, const StartupPlan& plan, const BreakpointSlots::Addresses& before,
                const LinkMessages& messages);

}  // namespace zern
