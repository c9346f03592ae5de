#include "BootLoaderRecords.h"

#include <algorithm>

namespace zern::records::loader {
namespace {

enum Command : uint8_t {
    kPrompt = 0x00,
    kMasterErase = 0x02,
    kUnlock = 0x03,
    kStatus = 0x04,
    kInformation = 0x05,
    kExtendedMode = 0x0A,
    kVariableWrite = 0x10,
    kShortPageReadCommand = 0x20,
    kFixedPage = 0x90,
    kPageReadCommand = 0xA0,
    kEraseLastBlockCommand = 0xE0,
};

constexpr uint8_t kFiller = 0x20;
constexpr uint8_t kReady = '>';
constexpr size_t kMaxRecord = 255;

uint8_t command(uint8_t code, Target target)
{
    return static_cast<uint8_t>(code | (target == Target::Data ? 1 : 0));
}

std::vector<uint8_t> paddedToWords(std::span<const uint8_t> bytes)
{
    std::vector<uint8_t> words(bytes.begin(), bytes.end());
    if (words.size() % 2 != 0)
        words.push_back(0xFF);
    return words;
}

std::optional<WireRecord> withPayload(std::vector<uint8_t> header, std::span<const uint8_t> payload)
{
    if (header.size() + payload.size() > kMaxRecord)
        return std::nullopt;
    header.insert(header.end(), payload.begin(), payload.end());
    return chipRecord(header);
}

std::optional<WireRecord> withFillers(std::vector<uint8_t> header, size_t fillers)
{
    if (header.size() + fillers > kMaxRecord)
        return std::nullopt;
    header.insert(header.end(), fillers, kFiller);
    return chipRecord(header);
}

bool evenPage(size_t bytes)
{
    return bytes != 0 && bytes % 2 == 0;
}

std::optional<VariableWrite> variable(std::vector<uint8_t> header, std::span<const uint8_t> data)
{
    if (data.empty() || data.size() > kMaxRecord)
        return std::nullopt;
    return VariableWrite{chipRecord(header), chipRecord(data)};
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
    return chipRecord({kPrompt});
}

WireRecord promptBeforeWrite()
{
    return chipRecord({kPrompt, 0x00});
}

WireRecord postWritePrompt()
{
    return chipRecord({kPrompt, 0x00, 0x00, 0x00, 0x00});
}

bool promptSeen(std::span<const uint8_t> reply)
{
    return reply.size() >= 2 && reply.back() == kReady;
}

WireRecord status()
{
    return chipRecord({kStatus, 0x00, 0x00, 0x00});
}

WireRecord statusAfterPage()
{
    return chipRecord({kStatus, 0x00, 0x00, 0x00, 0x00});
}

uint8_t statusByte(std::span<const uint8_t> reply)
{
    return pairData(reply, 3);
}

WireRecord information()
{
    return chipRecord({kInformation, 0x00, 0x00, 0x00, 0x00, 0x00});
}

LoaderInformation loaderInformation(std::span<const uint8_t> reply)
{
    return {static_cast<uint16_t>(littleEndianData(reply, 2, 2)), pairData(reply, 4), pairData(reply, 5)};
}

std::array<WireRecord, 2> masterEraseStart()
{
    return {chipRecord({kMasterErase}), chipRecord({kPrompt})};
}

WireRecord eraseLastBlock(uint32_t codeWords)
{
    const uint32_t last = codeWords - 1;
    return chipRecord(
        {kEraseLastBlockCommand, 0x00, static_cast<uint8_t>(last >> 8), static_cast<uint8_t>(last >> 16), 0x00});
}

WireRecord unlock(const std::array<uint8_t, 32>& password)
{
    std::vector<uint8_t> body{kUnlock};
    body.insert(body.end(), password.begin(), password.end());
    return chipRecord(body);
}

WireRecord extendedMode(bool on)
{
    return chipRecord({kExtendedMode, static_cast<uint8_t>(on ? 1 : 0), 0x00});
}

std::optional<WireRecord> fixedPage16(Target target, uint16_t byteAddress, std::span<const uint8_t> page)
{
    if (page.empty() || page.size() > 0xFF)
        return std::nullopt;
    std::vector<uint8_t> header{command(kFixedPage, target), static_cast<uint8_t>(page.size())};
    appendLittleEndian(header, byteAddress, 2);
    return withPayload(std::move(header), page);
}

std::optional<WireRecord> pageRead16(Target target, uint16_t byteAddress, uint8_t pageBytes)
{
    if (pageBytes == 0)
        return std::nullopt;
    std::vector<uint8_t> header{command(kPageReadCommand, target), pageBytes};
    appendLittleEndian(header, byteAddress, 2);
    return withFillers(std::move(header), pageBytes);
}

std::optional<WireRecord> shortPageRead16(Target target, uint16_t byteAddress, uint8_t pageBytes)
{
    if (pageBytes == 0)
        return std::nullopt;
    std::vector<uint8_t> header{command(kShortPageReadCommand, target), 0x01};
    appendLittleEndian(header, byteAddress, 2);
    header.push_back(pageBytes);
    return withFillers(std::move(header), pageBytes + 3u);
}

std::optional<WireRecord> fixedPage16Extended(Target target, uint64_t wordAddress, std::span<const uint8_t> page)
{
    if (!evenPage(page.size()) || wordAddress > 0xFFFF)
        return std::nullopt;
    std::vector<uint8_t> header{command(kFixedPage, target), static_cast<uint8_t>(page.size() / 2)};
    appendLittleEndian(header, wordAddress, 2);
    return withPayload(std::move(header), page);
}

std::optional<WireRecord> pageRead16Extended(Target target, uint64_t wordAddress, uint8_t pageBytes)
{
    if (!evenPage(pageBytes) || wordAddress > 0xFFFF)
        return std::nullopt;
    std::vector<uint8_t> header{command(kPageReadCommand, target), static_cast<uint8_t>(pageBytes / 2)};
    appendLittleEndian(header, wordAddress, 2);
    return withFillers(std::move(header), pageBytes);
}

std::optional<WireRecord> fixedPage32(Target target, uint64_t wordAddress, std::span<const uint8_t> page)
{
    if (!evenPage(page.size()) || page.size() / 2 > 0xFF || wordAddress > 0xFFFFFF)
        return std::nullopt;
    std::vector<uint8_t> header{command(kFixedPage, target), static_cast<uint8_t>(page.size() / 2), 0x00};
    appendLittleEndian(header, wordAddress, 3);
    return withPayload(std::move(header), page);
}

std::optional<WireRecord> pageRead32(Target target, uint64_t wordAddress, uint8_t pageBytes)
{
    if (!evenPage(pageBytes) || wordAddress > 0xFFFFFF)
        return std::nullopt;
    std::vector<uint8_t> header{command(kPageReadCommand, target), static_cast<uint8_t>(pageBytes / 2), 0x00};
    appendLittleEndian(header, wordAddress, 3);
    return withFillers(std::move(header), pageBytes);
}

size_t pageReadDataPair(Core core, bool shortForm)
{
    // The 16-bit page read answers after its 4-byte header (not from pair 0),
    // the short form one byte after its 5-byte header, the 32-bit form after
    // its 6-byte header.
    if (shortForm)
        return 6;
    return core == Core::Bits32 ? 6 : 4;
}

std::vector<uint8_t> pageReadData(std::span<const uint8_t> reply, size_t firstPair, uint8_t pageBytes)
{
    std::vector<uint8_t> data;
    data.reserve(pageBytes);
    for (size_t i = 0; i < pageBytes; ++i)
        data.push_back(pairData(reply, firstPair + i));
    return data;
}

std::optional<VariableWrite> variableWrite16(Target target, uint16_t byteAddress, std::span<const uint8_t> bytes)
{
    std::vector<uint8_t> header{command(kVariableWrite, target), static_cast<uint8_t>(bytes.size())};
    appendLittleEndian(header, byteAddress, 2);
    return variable(std::move(header), bytes);
}

std::optional<VariableWrite> variableWrite16Extended(Target target, uint64_t wordAddress,
                                                     std::span<const uint8_t> bytes)
{
    const std::vector<uint8_t> words = paddedToWords(bytes);
    if (wordAddress > 0xFFFF)
        return std::nullopt;
    std::vector<uint8_t> header{command(kVariableWrite, target), static_cast<uint8_t>(words.size() / 2)};
    appendLittleEndian(header, wordAddress, 2);
    return variable(std::move(header), words);
}

std::optional<VariableWrite> variableWrite32(Target target, uint64_t wordAddress, std::span<const uint8_t> bytes)
{
    const std::vector<uint8_t> words = paddedToWords(bytes);
    if (wordAddress > 0xFFFFFF)
        return std::nullopt;
    std::vector<uint8_t> header{command(kVariableWrite, target)};
    appendLittleEndian(header, words.size() / 2, 2);
    appendLittleEndian(header, wordAddress, 3);
    return variable(std::move(header), words);
}

std::optional<WireRecord> passwordAddressQuery(std::span<const uint8_t> contextSwitchBytes)
{
    std::vector<uint8_t> body(contextSwitchBytes.begin(), contextSwitchBytes.end());
    body.push_back(0x00);
    if (body.size() > kMaxRecord)
        return std::nullopt;
    return chipRecord(body);
}

std::optional<WireRecord> passwordAddressAnswer(uint8_t answerBytes)
{
    if (answerBytes == 0)
        return std::nullopt;
    return chipRecord(std::vector<uint8_t>(answerBytes, 0x00));
}

uint64_t passwordAddressValue(std::span<const uint8_t> reply)
{
    return littleEndianData(reply, 0, std::min<size_t>(reply.size() / 2, 8));
}

}  // namespace zern::records::loader
