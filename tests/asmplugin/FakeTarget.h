#pragma once
// A device with a tiny target: code words, a program counter, a call stack,
// breakpoints and the run state that Run, Pause and Stop share with the
// compiler plug-in. Words: 0x3D00|t calls t, 0x0B00 is a prefix word,
// 0x8C0D returns, 0x1100|t jumps to t, anything else moves on by one.

#include <atomic>
#include <map>
#include <set>
#include <vector>

#include "DecliningDevice.h"

namespace asmtest {

class FakeTarget : public DecliningDevice {
public:
    std::map<unsigned, int32_t> code;
    std::set<unsigned> breakpoints;
    std::vector<unsigned> stack;
    std::vector<unsigned> runToAddresses;
    unsigned pc = 0;
    int runState = tolvane::kRunStateIdle;
    std::atomic<int> instructionSteps = 0;  // watched by the test thread
    bool failProgramCounter = false;
    std::set<unsigned> unreadable;

    int32_t wordAt(unsigned address) const
    {
        const auto found = code.find(address);
        return found == code.end() ? 0x3A00 : found->second;
    }

    int GetProgramCounter(int* value) override
    {
        if (failProgramCounter)
            return tolvane::kStatusFailed;
        *value = static_cast<int>(pc);
        return tolvane::kStatusDone;
    }

    int ReadCodeWords(uint64_t address, unsigned count, int32_t* words) override
    {
        if (count != 1 || address > 0xFFFFFFFFu || unreadable.count(static_cast<unsigned>(address)))
            return tolvane::kStatusFailed;
        words[0] = wordAt(static_cast<unsigned>(address));
        return tolvane::kStatusDone;
    }

    int StepInstruction() override
    {
        ++instructionSteps;
        execute();
        return tolvane::kRunHalted;
    }

    int RunToAddress(unsigned address) override
    {
        runToAddresses.push_back(address);
        state().store(tolvane::kRunStateRunning);
        do {
            execute();
            if (state().load() != tolvane::kRunStateRunning)
                return state().load();
        } while (pc != address && !breakpoints.count(pc));
        return tolvane::kRunHalted;
    }

    int IsBreakpointAtPC(bool* atBreakpoint) override
    {
        *atBreakpoint = breakpoints.count(pc) != 0;
        return tolvane::kStatusDone;
    }

    int Pause() override
    {
        state().store(tolvane::kRunStateHalted);
        return tolvane::kStatusDone;
    }

    int Stop() override
    {
        state().store(tolvane::kRunStateIdle);
        return tolvane::kStatusDone;
    }

private:
    std::atomic_ref<int> state() { return std::atomic_ref<int>(runState); }

    void execute()
    {
        unsigned at = pc;
        int32_t word = wordAt(at);
        while ((word & 0x0F00) == 0x0B00)
            word = wordAt(++at);
        if ((word & 0x7F00) == 0x3D00) {
            stack.push_back(at + 1);
            pc = static_cast<unsigned>(word & 0xFF);
        } else if ((word & 0x8F7F) == 0x8C0D && !stack.empty()) {
            pc = stack.back();
            stack.pop_back();
        } else if ((word & 0xFF00) == 0x1100) {
            pc = static_cast<unsigned>(word & 0xFF);
        } else {
            pc = at + 1;
        }
    }
};

}  // namespace asmtest
