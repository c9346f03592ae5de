#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "LoaderCommands.h"
#include "WireRecord.h"

// The boot loader's commands framed as the adapter board takes them, the
// board's sequences around the loader, and where the answers sit.
namespace zern::records::loader {

using chip::loader::kEraseLastBlock;
using chip::loader::kFixedLength;
using chip::loader::kPageRead;
using chip::loader::kShortPageRead;
using chip::loader::kVariableLength;
using chip::loader::LoaderInformation;
using chip::loader::Target;

WireRecord loaderEntry();  // select the loader and restart into it
WireRecord testModeOn();   // test-mode bits to 0x01
WireRecord testModeOff();  // test-mode bits to 0x00

WireRecord prompt();             // '>' in reply byte 1
WireRecord promptBeforeWrite();  // '>' in reply byte 3
WireRecord postWritePrompt();    // '>' in reply byte 9
// The prompt sits in the data byte of the record's last pair.
bool promptSeen(std::span<const uint8_t> reply);

WireRecord status();           // status in reply byte 7, 0 good
WireRecord statusAfterPage();  // the six-byte form, status also in reply byte 7
uint8_t statusByte(std::span<const uint8_t> reply);
WireRecord information();

// Information in the data bytes of pairs 2 (flags low), 3 (high), 4 and 5 (page sizes).
LoaderInformation loaderInformation(std::span<const uint8_t> reply);

std::array<WireRecord, 2> masterEraseStart();
WireRecord eraseLastBlock(uint32_t codeWords);
WireRecord unlock(const std::array<uint8_t, 32>& password);
WireRecord extendedMode(bool on);

// Page records: nullopt when the page is empty, does not fit the record's
// length byte, or the address does not fit the record.
// 16-bit, byte address below 0x10000, P bytes.
std::optional<WireRecord> fixedPage16(Target target, uint64_t byteAddress, std::span<const uint8_t> page);
std::optional<WireRecord> pageRead16(Target target, uint64_t byteAddress, uint8_t pageBytes);
std::optional<WireRecord> shortPageRead16(Target target, uint64_t byteAddress, uint8_t pageBytes);
// 16-bit extended: word address, P / 2 words.
std::optional<WireRecord> fixedPage16Extended(Target target, uint64_t wordAddress, std::span<const uint8_t> page);
std::optional<WireRecord> pageRead16Extended(Target target, uint64_t wordAddress, uint8_t pageBytes);
// 32-bit: 3-byte word address, P / 2 words.
std::optional<WireRecord> fixedPage32(Target target, uint64_t wordAddress, std::span<const uint8_t> page);
std::optional<WireRecord> pageRead32(Target target, uint64_t wordAddress, uint8_t pageBytes);

// Where the page data of each page read starts in its reply (pair index):
// the 16-bit page reads answer from the first pair on, the short form and
// the 32-bit form after their headers.
size_t pageReadDataPair(Core core, bool shortForm);
std::vector<uint8_t> pageReadData(std::span<const uint8_t> reply, size_t firstPair, uint8_t pageBytes);

// A variable-length write: a header record, then the data record; nullopt when
// the bytes are empty or too many, or the address does not fit the record.
// Forms that count words pad an odd byte count with one 0xFF so the last byte
// is written.
struct VariableWrite {
    WireRecord header;
    WireRecord data;
};
std::optional<VariableWrite> variableWrite16(Target target, uint64_t byteAddress, std::span<const uint8_t> bytes);
std::optional<VariableWrite> variableWrite16Extended(Target target, uint64_t wordAddress,
                                                     std::span<const uint8_t> bytes);
std::optional<VariableWrite> variableWrite32(Target target, uint64_t wordAddress, std::span<const uint8_t> bytes);

// Password-address query: the configured context-switch bytes and a trailing 0;
// then one answer record of `answerBytes` zeros per context, read little endian.
std::optional<WireRecord> passwordAddressQuery(std::span<const uint8_t> contextSwitchBytes);
std::optional<WireRecord> passwordAddressAnswer(uint8_t answerBytes);
uint64_t passwordAddressValue(std::span<const uint8_t> reply);

}  // namespace zern::records::loader
