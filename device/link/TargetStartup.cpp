#include "TargetStartup.h"

#include <chrono>
#include <thread>

#include "LinkDriver.h"

namespace zern {

int startTarget(StartupSteps& steps, const StartupPlan& plan, const BreakpointSlots::Addresses& before,
                const LinkMessages& messages)
{
    if (!steps.holdTargetInReset() || !steps.resumeTarget() || steps.clearAllCodeBreakpoints() != kLinkDone
        || steps.setCodeBreakpoint(plan.startAddress) != kLinkDone || !steps.releaseTarget())
        return kLinkFailure;
    bool halted = false;
    for (int waited = 0;; waited += plan.pollMs) {
        if (!steps.pollStatus(halted))
            return kLinkFailure;
        if (halted || waited >= plan.startupDelayMs)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(plan.pollMs));
    }
    if (!halted)
        messages.linkError("The ZERN did not enter debug mode after the reset.");
    if (steps.clearCodeBreakpoint(plan.startAddress) != kLinkDone)
        return kLinkFailure;
    for (const auto& address : before)
        if (address)
            steps.setCodeBreakpoint(*address);
    return kLinkDone;
}

}  // namespace zern
