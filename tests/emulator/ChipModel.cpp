#include "ChipModel.h"

namespace testing_support {

ChipModel::ChipModel(bool core32) : dataMemory(0x10000, 0x00), codeFlash(0x20000, 0xFF), core32_(core32) {}

void ChipModel::reset()
{
    setReg(kInstructionPointerModule, 0, 0);
    halted_ = false;
    justStarted_ = true;
}

void ChipModel::go()
{
    halted_ = false;
    justStarted_ = false;
}

void ChipModel::step()
{
    setReg(kInstructionPointerModule, 0, static_cast<int32_t>(pc() + 1));
}

bool ChipModel::atBreakpoint() const
{
    if (neverHalts)
        return false;
    for (const auto& slot : codeBreakpoints)
        if (slot == pc())
            return true;
    return false;
}

bool ChipModel::poll()
{
    if (halted_)
        return true;
    if (!justStarted_)
        step();
    justStarted_ = false;
    halted_ = atBreakpoint();
    return halted_;
}

void ChipModel::programFlash(uint32_t byteAddress, uint8_t value)
{
    if (byteAddress < codeFlash.size())
        codeFlash[byteAddress] &= value;
}

}  // namespace testing_support
