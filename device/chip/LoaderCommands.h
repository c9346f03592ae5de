#pragma once
// The commands of the chip's ROM boot loader: the bytes the loader takes,
// whatever link carries them. Where the answers sit depends on the link.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "ChipCore.h"

namespace zern::chip::loader {

inline constexpr uint8_t kReady = '>';

// What the loader information tells.
struct LoaderInformation {
    uint16_t flags = 0;
    uint8_t codePageSize = 0;
    uint8_t dataPageSize = 0;
};

constexpr uint16_t kVariableLength = 0x0002;
constexpr uint16_t kShortPageRead = 0x0004;
constexpr uint16_t kFixedLength = 0x0200;
constexpr uint16_t kPageRead = 0x0400;
constexpr uint16_t kEraseLastBlock = 0x4000;

// Code or data: the low bit of the transfer commands.
enum class Target { Code, Data };

Bytes prompt();
Bytes quit();
Bytes masterErase();
Bytes unlock(const std::array<uint8_t, 32>& password);
Bytes status();
Bytes information();
Bytes extendedMode(bool on);
Bytes eraseLastBlock(uint32_t codeWords);

// How a transfer addresses the flash: 16-bit cores by byte below 0x10000,
// 16-bit cores in extended mode by word (the page counted in words), the
// 32-bit core by word with a 3-byte address.
enum class Form { Bytes16, Words16, Words32 };
// The form a write from this byte address takes.
Form formFor(Core core, uint64_t byteAddress);

// Headers of page transfers; a page write's bytes follow its header. nullopt
// when the address or the page size does not fit the header.
std::optional<Bytes> pageWriteHeader(Form form, Target target, uint64_t address, size_t pageBytes);
std::optional<Bytes> pageReadHeader(Form form, Target target, uint64_t address, size_t pageBytes);
// The older loaders' page read, 16-bit cores only, below 0x10000.
std::optional<Bytes> shortPageReadHeader(Target target, uint64_t byteAddress, uint8_t pageBytes);

// Header of a variable-length write of `dataBytes` bytes (whole words in the
// word forms); the data goes as a command of its own.
std::optional<Bytes> variableWriteHeader(Form form, Target target, uint64_t address, size_t dataBytes);
// The word forms write whole words: an odd count gets one erased byte more.
Bytes paddedToWords(std::span<const uint8_t> bytes);
// The word forms address whole words: a write that starts inside a word
// starts one byte earlier, with that byte written again as the flash holds it.
Bytes fromWordStart(uint8_t byteBefore, std::span<const uint8_t> data);

}  // namespace zern::chip::loader
