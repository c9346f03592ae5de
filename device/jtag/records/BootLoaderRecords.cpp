#include "BootLoaderRecords.h"

#include <algorithm>

namespace zern::records::loader {
namespace {

namespace commands = chip::loader;
using Form = commands::Form;
using Bytes = std::vector<uint8_t>;

constexpr uint8_t kZero = 0x00;
constexpr uint8_t kFiller = 0x20;
constexpr size_t kMaxRecord = 255;

// A loader command answered after `zeros` zero bytes.
WireRecord zeroPadded(const Bytes& command, size_t zeros)
{
    return *commandRecord(command, zeros, kZero);
}

std::optional<WireRecord> withPayload(const std::optional<Bytes>& header, std::span<const uint8_t> payload)
{
    if (!header || header->size() + payload.size() > kMaxRecord)
        return std::nullopt;
    Bytes body = *header;
    body.insert(body.end(), payload.begin(), payload.end());
    return chipRecord(body);
}

std::optional<WireRecord> withFillers(const std::optional<Bytes>& header, size_t fillers)
{
    if (!header)
        return std::nullopt;
    return commandRecord(*header, fillers, kFiller);
}

std::optional<VariableWrite> variable(const std::optional<Bytes>& header, std::span<const uint8_t> data)
{
    if (!header || data.empty() || data.size() > kMaxRecord)
        return std::nullopt;
    return VariableWrite{chipRecord(*header), chipRecord(data)};
}

}  // namespace

WireRecord loaderEntry()
{
    return {{0x00, 0x01, 0x00, 0x03, 0x01, 0x04, 0x00, 0x02, 0x01, 0x01, 0x00,
             0x06, 0x00, 0x04, 0x00, 0x01, 0x01, 0x02, 0x00, 0x02, 0x00, 0x08},
            14};
}

WireRecord testModeOn()
{
    return {{0x00, 0x01, 0x00, 0x03, 0x01, 0x06, 0x00, 0x02, 0x00, 0x13, 0x01, 0x01, 0x00, 0x04}, 9};
}

WireRecord testModeOff()
{
    return {{0x00, 0x01, 0x00, 0x03, 0x01, 0x06, 0x00, 0x02, 0x00, 0x13, 0x01, 0x00, 0x00, 0x05}, 9};
}

WireRecord prompt()
{
    return chipRecord(commands::prompt());
}

WireRecord promptBeforeWrite()
{
    return zeroPadded(commands::prompt(), 1);
}

WireRecord postWritePrompt()
{
    return zeroPadded(commands::prompt(), 4);
}

bool promptSeen(std::span<const uint8_t> reply)
{
    return reply.size() >= 2 && reply.back() == commands::kReady;
}

WireRecord status()
{
    return zeroPadded(commands::status(), 3);
}

WireRecord statusAfterPage()
{
    return zeroPadded(commands::status(), 4);
}

uint8_t statusByte(std::span<const uint8_t> reply)
{
    return pairData(reply, 3);
}

WireRecord information()
{
    return zeroPadded(commands::information(), 5);
}

LoaderInformation loaderInformation(std::span<const uint8_t> reply)
{
    return {static_cast<uint16_t>(littleEndianData(reply, 2, 2)), pairData(reply, 4), pairData(reply, 5)};
}

std::array<WireRecord, 2> masterEraseStart()
{
    return {chipRecord(commands::masterErase()), chipRecord(commands::prompt())};
}

WireRecord eraseLastBlock(uint32_t codeWords)
{
    return chipRecord(commands::eraseLastBlock(codeWords));
}

WireRecord unlock(const std::array<uint8_t, 32>& password)
{
    return chipRecord(commands::unlock(password));
}

WireRecord extendedMode(bool on)
{
    return zeroPadded(commands::extendedMode(on), 1);
}

std::optional<WireRecord> fixedPage16(Target target, uint64_t byteAddress, std::span<const uint8_t> page)
{
    return withPayload(commands::pageWriteHeader(Form::Bytes16, target, byteAddress, page.size()), page);
}

std::optional<WireRecord> pageRead16(Target target, uint64_t byteAddress, uint8_t pageBytes)
{
    return withFillers(commands::pageReadHeader(Form::Bytes16, target, byteAddress, pageBytes), pageBytes);
}

std::optional<WireRecord> shortPageRead16(Target target, uint64_t byteAddress, uint8_t pageBytes)
{
    return withFillers(commands::shortPageReadHeader(target, byteAddress, pageBytes), pageBytes + 3u);
}

std::optional<WireRecord> fixedPage16Extended(Target target, uint64_t wordAddress, std::span<const uint8_t> page)
{
    return withPayload(commands::pageWriteHeader(Form::Words16, target, wordAddress, page.size()), page);
}

std::optional<WireRecord> pageRead16Extended(Target target, uint64_t wordAddress, uint8_t pageBytes)
{
    return withFillers(commands::pageReadHeader(Form::Words16, target, wordAddress, pageBytes), pageBytes);
}

std::optional<WireRecord> fixedPage32(Target target, uint64_t wordAddress, std::span<const uint8_t> page)
{
    return withPayload(commands::pageWriteHeader(Form::Words32, target, wordAddress, page.size()), page);
}

std::optional<WireRecord> pageRead32(Target target, uint64_t wordAddress, uint8_t pageBytes)
{
    return withFillers(commands::pageReadHeader(Form::Words32, target, wordAddress, pageBytes), pageBytes);
}

size_t pageReadDataPair(Core core, bool shortForm)
{
    // The short form answers one byte after its 5-byte header, the 32-bit
    // form after its 6-byte header.
    if (shortForm)
        return 6;
    return core == Core::Bits32 ? 6 : 0;
}

std::vector<uint8_t> pageReadData(std::span<const uint8_t> reply, size_t firstPair, uint8_t pageBytes)
{
    std::vector<uint8_t> data;
    data.reserve(pageBytes);
    for (size_t i = 0; i < pageBytes; ++i)
        data.push_back(pairData(reply, firstPair + i));
    return data;
}

std::optional<VariableWrite> variableWrite16(Target target, uint64_t byteAddress, std::span<const uint8_t> bytes)
{
    return variable(commands::variableWriteHeader(Form::Bytes16, target, byteAddress, bytes.size()), bytes);
}

std::optional<VariableWrite> variableWrite16Extended(Target target, uint64_t wordAddress,
                                                     std::span<const uint8_t> bytes)
{
    const Bytes words = commands::paddedToWords(bytes);
    return variable(commands::variableWriteHeader(Form::Words16, target, wordAddress, words.size()), words);
}

std::optional<VariableWrite> variableWrite32(Target target, uint64_t wordAddress, std::span<const uint8_t> bytes)
{
    const Bytes words = commands::paddedToWords(bytes);
    return variable(commands::variableWriteHeader(Form::Words32, target, wordAddress, words.size()), words);
}

std::optional<WireRecord> passwordAddressQuery(std::span<const uint8_t> contextSwitchBytes)
{
    Bytes body(contextSwitchBytes.begin(), contextSwitchBytes.end());
    body.push_back(kZero);
    if (body.size() > kMaxRecord)
        return std::nullopt;
    return chipRecord(body);
}

std::optional<WireRecord> passwordAddressAnswer(uint8_t answerBytes)
{
    if (answerBytes == 0)
        return std::nullopt;
    return chipRecord(Bytes(answerBytes, kZero));
}

uint64_t passwordAddressValue(std::span<const uint8_t> reply)
{
    return littleEndianData(reply, 0, std::min<size_t>(reply.size() / 2, 8));
}

}  // namespace zern::records::loader
