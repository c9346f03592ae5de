#include "WordWrites.h"

#include "LinkDriver.h"

namespace zern {

int writeAsWords(uint64_t byteAddress, std::span<const uint8_t> data, const WordWriter& write, const WordReader& read)
{
    for (size_t i = 0; i < data.size();) {
        const uint64_t address = byteAddress + i;
        if (address % 2 == 0 && data.size() - i >= 2) {
            if (!write(address, data[i], data[i + 1]))
                return kLinkFailure;
            i += 2;
            continue;
        }
        // A single byte: the other half of its word keeps its value.
        uint8_t word[2];
        const uint64_t even = address & ~1ull;
        if (!read(even, word)
            || !write(even, address % 2 == 0 ? data[i] : word[0], address % 2 == 0 ? word[1] : data[i]))
            return kLinkFailure;
        ++i;
    }
    return kLinkDone;
}

}  // namespace zern
