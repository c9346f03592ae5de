#include "DebugEngineRecords.h"

namespace zern::records::engine {
namespace {

enum Command : uint8_t {
    kFirstCodeBreakpoint = 0x15,
    kFirstDataBreakpoint = 0x19,
    kBreak = 0x1F,
    kFiller = 0x20,
    kRegisterDump = 0x21,
    kBlockRead = 0x22,
    kRegisterWrite = 0x24,
    kMemoryWrite = 0x25,
    kStep = 0x26,
    kGo = 0x27,
    kContextPassword = 0x28,
    kRegisterRead = 0x29,
};

constexpr uint8_t kTransferGood = 3;
constexpr uint8_t kBreakpointTail[] = {0x11, 0x80};
constexpr uint8_t kStackPointerName[] = {0x1D, 0x00};  // module 13 index 1

WireRecord sequence(std::initializer_list<uint8_t> bytes, uint32_t replyBytes)
{
    return {std::vector<uint8_t>(bytes), replyBytes};
}

int addressBytes(Core core)
{
    return core == Core::Bits32 ? 4 : 2;
}

bool fits(uint64_t value, int bytes)
{
    return bytes >= 8 || value >> (8 * bytes) == 0;
}

}  // namespace

WireRecord debugEngineEntry()
{
    return sequence(
        {0x00, 0x01, 0x00, 0x03, 0x01, 0x04, 0x00, 0x02, 0x01, 0x00, 0x00, 0x01, 0x01, 0x02, 0x00, 0x08, 0x00, 0x02},
        12);
}

WireRecord entryWithBreak()
{
    WireRecord record = debugEngineEntry();
    record.bytes.insert(record.bytes.end(), {0x01, kBreak});
    record.replyBytes += 2;
    return record;
}

WireRecord testModeExit()
{
    return sequence({0x00, 0x01, 0x00, 0x03, 0x01, 0x02, 0x00, 0x08, 0x00, 0x02}, 6);
}

WireRecord loaderExit()
{
    return sequence(
        {0x11, 0x01, 0x00, 0x09, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x0A, 0x00, 0x06},
        18);
}

WireRecord loaderQuit()
{
    return chipRecord({0x01});
}

WireRecord debugReset()
{
    return sequence({0x00, 0x09, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x0A, 0x00, 0x06},
                    8);
}

WireRecord boardOperation(uint8_t operation)
{
    return sequence({0x00, operation}, 1);
}

WireRecord status()
{
    return chipRecord({kFiller});
}

WireRecord longStatus()
{
    return chipRecord(std::vector<uint8_t>(16, 0x00));
}

WireRecord breakRequest()
{
    return chipRecord({kBreak});
}

WireRecord step()
{
    return chipRecord({kStep});
}

WireRecord go()
{
    return chipRecord({kGo});
}

bool statusHalted(std::span<const uint8_t> reply)
{
    return reply.size() >= 1 && reply[0] == 1;
}

bool longStatusReady(std::span<const uint8_t> reply)
{
    return reply.size() >= 31 && reply[30] == 1;
}

WireRecord registerRead(Core core, uint8_t module, uint8_t index)
{
    std::vector<uint8_t> body{kRegisterRead, static_cast<uint8_t>((index & 0x0F) << 4 | (module & 0x0F)),
                              static_cast<uint8_t>(index >> 4)};
    body.insert(body.end(), core == Core::Bits32 ? 5 : 3, kFiller);
    return chipRecord(body);
}

int64_t registerReadValue(Core core, std::span<const uint8_t> reply)
{
    if (core == Core::Bits32)
        return static_cast<int32_t>(littleEndianData(reply, 4, 4));
    return static_cast<int64_t>(littleEndianData(reply, 4, 2));
}

bool registerReadStatusGood(std::span<const uint8_t> reply)
{
    for (size_t pair = 4; pair < 8; ++pair) {
        if (pairStatus(reply, pair) != kTransferGood)
            return false;
    }
    return true;
}

WireRecord registerWrite(Core core, uint8_t module, uint8_t index, int32_t value)
{
    std::vector<uint8_t> body{kRegisterWrite, static_cast<uint8_t>((index & 0x0F) << 4 | (module & 0x0F)),
                              static_cast<uint8_t>(index >> 4)};
    appendLittleEndian(body, static_cast<uint32_t>(value), core == Core::Bits32 ? 4 : 2);
    return chipRecord(body);
}

std::optional<WireRecord> memoryWrite(Core core, uint64_t wordAddress, uint8_t low, uint8_t high)
{
    if (!fits(wordAddress, addressBytes(core)))
        return std::nullopt;
    std::vector<uint8_t> body{kMemoryWrite};
    appendLittleEndian(body, wordAddress, addressBytes(core));
    body.insert(body.end(), {low, high});
    return chipRecord(body);
}

std::optional<WireRecord> blockReadSetup(Core core, uint64_t wordAddress, uint16_t words)
{
    if (!fits(wordAddress, addressBytes(core)))
        return std::nullopt;
    std::vector<uint8_t> body{kBlockRead};
    appendLittleEndian(body, wordAddress, addressBytes(core));
    appendLittleEndian(body, words, 2);
    body.push_back(kFiller);
    return chipRecord(body);
}

WireRecord registerDumpHead(Core core)
{
    return core == Core::Bits32 ? chipRecord({kRegisterDump, kFiller, kFiller, kFiller})
                                : chipRecord({kRegisterDump, kFiller, kFiller});
}

uint8_t registerDumpCount(Core core, std::span<const uint8_t> reply)
{
    return pairData(reply, core == Core::Bits32 ? 3 : 2);
}

uint8_t specialRegisterBytes(Core core)
{
    return core == Core::Bits32 ? 108 : 64;
}

WireRecord contextPassword(const std::array<uint8_t, 32>& password)
{
    std::vector<uint8_t> body{kContextPassword};
    body.insert(body.end(), password.begin(), password.end());
    return chipRecord(body);
}

std::optional<WireRecord> setCodeBreakpoint(Core core, int slot, uint64_t address)
{
    const int bytes = core == Core::Bits32 ? 3 : 2;
    if (!fits(address, bytes))
        return std::nullopt;
    std::vector<uint8_t> body{static_cast<uint8_t>(kFirstCodeBreakpoint + slot)};
    appendLittleEndian(body, address, bytes);
    body.insert(body.end(), std::begin(kBreakpointTail), std::end(kBreakpointTail));
    return chipRecord(body);
}

WireRecord clearCodeBreakpoint(Core core, int slot)
{
    std::vector<uint8_t> body{static_cast<uint8_t>(kFirstCodeBreakpoint + slot)};
    body.insert(body.end(), core == Core::Bits32 ? 3 : 2, 0xFF);
    return chipRecord(body);
}

WireRecord setDataBreakpoint(int which, uint32_t address)
{
    std::vector<uint8_t> body{static_cast<uint8_t>(kFirstDataBreakpoint + which)};
    appendLittleEndian(body, address, 4);
    body.insert(body.end(), std::begin(kBreakpointTail), std::end(kBreakpointTail));
    return chipRecord(body);
}

namespace aacce {
namespace {

// Pads to the announced length so the board's framing and the reply agree.
WireRecord padded(std::vector<uint8_t> body, size_t announced)
{
    body.resize(announced, kFiller);
    return chipRecord(body);
}

}  // namespace

WireRecord readSavedValue()
{
    return chipRecord({kBlockRead, 0x20, 0x3C, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, kFiller, kFiller});
}

WireRecord storeSavedValue(int32_t saved)
{
    return chipRecord({kMemoryWrite, 0x1A, 0x3C, 0x00, 0x00, static_cast<uint8_t>(saved),
                       static_cast<uint8_t>(saved >> 8), kFiller, kFiller});
}

WireRecord readStackPointer()
{
    std::vector<uint8_t> body{kRegisterRead, kStackPointerName[0], kStackPointerName[1]};
    body.insert(body.end(), 6, kFiller);
    return chipRecord(body);
}

WireRecord readReturnAddress(uint32_t stackPointer)
{
    std::vector<uint8_t> body{kBlockRead};
    appendLittleEndian(body, stackPointer / 2, 4);
    body.insert(body.end(), {0x02, 0x00, kFiller, kFiller, kFiller, kFiller});
    return padded(std::move(body), 13);
}

WireRecord writeStackPointer(uint32_t stackPointer)
{
    std::vector<uint8_t> body{kRegisterWrite, kStackPointerName[0], kStackPointerName[1]};
    appendLittleEndian(body, stackPointer, 4);
    return padded(std::move(body), 9);
}

WireRecord pushValue(uint32_t stackPointer, uint32_t value)
{
    std::vector<uint8_t> body{kMemoryWrite};
    appendLittleEndian(body, stackPointer / 2, 4);
    appendLittleEndian(body, value & 0xFFFF, 2);
    body.push_back(kMemoryWrite);
    appendLittleEndian(body, (stackPointer + 2) / 2, 4);
    appendLittleEndian(body, value >> 16, 2);
    body.insert(body.end(), {kFiller, kFiller});
    return chipRecord(body);
}

bool done(std::span<const uint8_t> reply)
{
    return reply.size() >= 2 && reply[reply.size() - 2] == 1;
}

}  // namespace aacce
}  // namespace zern::records::engine
