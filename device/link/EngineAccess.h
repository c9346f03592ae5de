#pragma once
// The debug engine as every link reaches it, whatever carries its commands:
// the few operations the shared procedures below are built from, and those
// procedures. A link driver implements the operations its own way.

#include <cstddef>
#include <cstdint>
#include <span>

#include "PageCache.h"

namespace zern {

class EngineAccess {
public:
    virtual ~EngineAccess() = default;

    // Halts the target unless it is halted already; false when it does not halt.
    virtual bool haltedOrHalt() = 0;
    virtual bool readOneRegister(int module, int index, int64_t& value) = 0;
    virtual bool writeOneRegister(int module, int index, int32_t value) = 0;
    // One whole 256-byte page of the engine's data space.
    virtual bool readMemoryBlock(uint64_t byteAddress, size_t count, uint8_t* buffer) = 0;
    virtual int readMemoryCached(uint64_t byteAddress, size_t count, uint8_t* buffer) = 0;
    // One word of data memory at an even byte address.
    virtual bool writeMemoryWord(uint64_t evenAddress, uint8_t low, uint8_t high) = 0;
};

// A page of code, read through the code window of the engine's data space:
// bit 5 of register 8.8 selects the upper 64 KB of code, and the register is
// put back as it was.
bool readCodePage(EngineAccess& engine, bool wideCore, uint64_t codeByteAddress, PageCache::Page& page);

// Data memory written a word at a time, halted first: kLinkDone,
// kLinkBadArgument for bytes in or beyond the code window (flash, which only
// the boot loader writes), kLinkFailure.
// The data pages are stale before and after, so that reads see the new bytes.
int writeDataMemory(EngineAccess& engine, bool wideCore, PageCache& dataPages, uint64_t byteAddress,
                    std::span<const uint8_t> data);

}  // namespace zern
