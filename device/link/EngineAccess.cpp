#include "EngineAccess.h"

#include "ChipCore.h"
#include "LinkDriver.h"
#include "WordWrites.h"

namespace zern {
namespace {

constexpr int kCodeWindowModule = 8;
constexpr int kCodeWindowIndex = 8;
constexpr int32_t kUpperCode = 0x20;
constexpr uint64_t kUpperCodeStart = 0x10000;

// Where the code window starts in the data space.
uint64_t codeWindow(bool wideCore)
{
    return chip::dataSpaceBytes(wideCore ? chip::Core::Bits32 : chip::Core::Bits16);
}

}  // namespace

bool readCodePage(EngineAccess& engine, bool wideCore, uint64_t codeByteAddress, PageCache::Page& page)
{
    int64_t window = 0;
    if (!engine.readOneRegister(kCodeWindowModule, kCodeWindowIndex, window))
        return false;
    const bool upper = codeByteAddress >= kUpperCodeStart;
    const auto original = static_cast<int32_t>(window);
    const int32_t selected = upper ? original | kUpperCode : original & ~kUpperCode;
    const uint64_t offset = upper ? codeByteAddress - kUpperCodeStart : codeByteAddress;
    const bool read = engine.writeOneRegister(kCodeWindowModule, kCodeWindowIndex, selected)
                      && engine.readMemoryBlock(offset + codeWindow(wideCore), page.size(), page.data());
    const bool restored = engine.writeOneRegister(kCodeWindowModule, kCodeWindowIndex, original);
    return read && restored;
}

int writeDataMemory(EngineAccess& engine, bool wideCore, PageCache& dataPages, uint64_t byteAddress,
                    std::span<const uint8_t> data)
{
    dataPages.invalidate();
    if (data.empty())
        return kLinkDone;
    // From the code window up the data space shows flash, which the engine
    // cannot write: only the boot loader programs it.
    const uint64_t window = codeWindow(wideCore);
    if (byteAddress >= window || data.size() > window - byteAddress)
        return kLinkBadArgument;
    if (!engine.haltedOrHalt())
        return kLinkFailure;
    const int result = writeAsWords(
        byteAddress, data,
        [&engine](uint64_t even, uint8_t low, uint8_t high) { return engine.writeMemoryWord(even, low, high); },
        [&engine](uint64_t even, uint8_t(&word)[2]) { return engine.readMemoryCached(even, 2, word) == kLinkDone; });
    dataPages.invalidate();
    return result;
}

}  // namespace zern
