#pragma once
// Where the target stands as a link driver last saw it, and what follows
// from that for a status poll and for breakpoints.

#include <cstdint>

namespace zern {

enum class TargetState : uint8_t {
    NotInDebug = 0,  // after a reset of the debug engine
    Loader = 1,      // the ROM boot loader runs
    Halted = 2,      // halted in debug mode
    Running = 3,
    TestMode = 4,  // on the way into the loader with test mode set
};

// What a status poll answers from the state alone.
enum class PollAnswer {
    NotHalted,
    Halted,
    AskTarget,    // running: only the target can tell
    UnknownMode,  // the driver reports its unknown-mode failure
};

PollAnswer pollAnswer(TargetState state);

// Breakpoint records reach the engine only while it halts or runs the target.
bool takesBreakpoints(TargetState state);

}  // namespace zern
