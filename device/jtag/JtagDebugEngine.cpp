#include "JtagDriver.h"

// The debug engine's records are not driven yet: every operation that needs
// them reports a link failure, so the device answers 5.

namespace zern {

bool JtagDriver::readAllRegisters(std::array<int32_t, kRegisterCount>&)
{
    return false;
}

bool JtagDriver::writeOneRegister(int, int, int32_t)
{
    return false;
}

int JtagDriver::readInstructionPointer(int64_t&)
{
    return kLinkFailure;
}

int JtagDriver::readMemoryCached(uint64_t, size_t, uint8_t*)
{
    return kLinkFailure;
}

int JtagDriver::writeMemoryBlock(uint64_t, size_t, const uint8_t*)
{
    return kLinkFailure;
}

int JtagDriver::readCodeCached(uint64_t, size_t, uint8_t*)
{
    return kLinkFailure;
}

int JtagDriver::setCodeBreakpoint(uint64_t)
{
    return kLinkFailure;
}

int JtagDriver::clearCodeBreakpoint(uint64_t)
{
    return kLinkFailure;
}

int JtagDriver::clearAllCodeBreakpoints()
{
    return kLinkFailure;
}

bool JtagDriver::findBreakpoint(uint64_t)
{
    return false;
}

bool JtagDriver::setDataBreakpoint(int, uint32_t)
{
    return false;
}

bool JtagDriver::runTarget()
{
    return false;
}

bool JtagDriver::pollStatus(bool&)
{
    return false;
}

bool JtagDriver::breakTarget()
{
    return false;
}

bool JtagDriver::singleStep()
{
    return false;
}

}  // namespace zern
