#pragma once
// Memory the debug engine writes a word at a time: a run of bytes becomes
// whole words where it can, and a lone byte is merged with the other half
// of its word as the target holds it.

#include <cstdint>
#include <functional>
#include <span>

namespace zern {

// Writes the word at an even byte address; false on a link failure.
using WordWriter = std::function<bool(uint64_t evenAddress, uint8_t low, uint8_t high)>;
// Reads the two bytes of the word at an even byte address; false on a failure.
using WordReader = std::function<bool(uint64_t evenAddress, uint8_t (&word)[2])>;

// kLinkDone, or kLinkFailure at the first failed read or write.
int writeAsWords(uint64_t byteAddress, std::span<const uint8_t> data, const WordWriter& write, const WordReader& read);

}  // namespace zern
