#include "QuorinAssembler.h"

namespace asmplugin {
namespace {

bool isPrefixWord(int32_t word)
{
    return (word & 0x0F00) == 0x0B00;
}

bool isCallWord(int32_t word)
{
    return (word & 0x7F00) == 0x3D00;
}

bool isReturnWord(int32_t word)
{
    return (word & 0x8F7F) == 0x8C0D;
}

}  // namespace

int QuorinAssembler::codeWordAtProgramCounter(unsigned& pc, int32_t& word)
{
    int counter = 0;
    if (!device_ || device_->GetProgramCounter(&counter) != tolvane::kStatusDone)
        return tolvane::kStatusFailed;
    pc = static_cast<unsigned>(counter);
    return device_->ReadCodeWords(pc, 1, &word);
}

int QuorinAssembler::StepInto()
{
    return device_ ? device_->StepInstruction() : tolvane::kRunFailed;
}

int QuorinAssembler::StepOver()
{
    unsigned pc = 0;
    int32_t word = 0;
    if (codeWordAtProgramCounter(pc, word) != tolvane::kStatusDone)
        return tolvane::kRunFailed;
    while (isPrefixWord(word)) {
        ++pc;
        if (device_->ReadCodeWords(pc, 1, &word) != tolvane::kStatusDone)
            return tolvane::kRunFailed;
    }
    if (isCallWord(word))
        return device_->RunToAddress(pc + 1);
    return StepInto();
}

int QuorinAssembler::StepOut()
{
    if (!runState_)
        return tolvane::kRunFailed;
    // A device that starts its runs itself has the state at running already;
    // a Pause or Stop that comes while the first word is read is kept, as
    // the state is made running only when it is still what it was.
    int before = runStateWord().load();
    unsigned pc = 0;
    int32_t word = 0;
    if (codeWordAtProgramCounter(pc, word) != tolvane::kStatusDone)
        return tolvane::kRunFailed;
    bool atReturn = isReturnWord(word);
    runStateWord().compare_exchange_strong(before, tolvane::kRunStateRunning);
    while (true) {
        const int state = runStateWord().load();
        if (atReturn || state != tolvane::kRunStateRunning)
            return state == tolvane::kRunStateRunning ? StepInto() : state;
        if (StepOver() == tolvane::kRunFailed)
            return tolvane::kRunFailed;
        bool atBreakpoint = false;
        if (device_->IsBreakpointAtPC(&atBreakpoint) != tolvane::kStatusDone)
            return tolvane::kRunFailed;
        if (atBreakpoint)
            return tolvane::kRunHalted;
        if (codeWordAtProgramCounter(pc, word) != tolvane::kStatusDone)
            return tolvane::kRunFailed;
        atReturn = isReturnWord(word);
    }
}

}  // namespace asmplugin
