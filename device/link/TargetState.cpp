#include "TargetState.h"

namespace zern {

PollAnswer pollAnswer(TargetState state)
{
    switch (state) {
    case TargetState::NotInDebug:
        return PollAnswer::NotHalted;
    case TargetState::Loader:
    case TargetState::Halted:
        return PollAnswer::Halted;
    case TargetState::Running:
        return PollAnswer::AskTarget;
    case TargetState::TestMode:
        break;
    }
    return PollAnswer::UnknownMode;
}

bool takesBreakpoints(TargetState state)
{
    return state == TargetState::Halted || state == TargetState::Running;
}

}  // namespace zern
