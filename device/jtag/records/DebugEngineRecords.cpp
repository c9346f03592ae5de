#include "DebugEngineRecords.h"

#include "DebugCommands.h"
#include "LoaderCommands.h"
#include "RegisterDumpLayout.h"

namespace zern::records::engine {
namespace {

namespace debug = chip::debug;
using debug::kFiller;

// Pairs before a command's answer: its own bytes, then the engine's latency.
size_t answerPair(const std::vector<uint8_t>& command)
{
    return command.size() + debug::kReplyLatency;
}

WireRecord sequence(std::initializer_list<uint8_t> bytes, uint32_t replyBytes)
{
    return {std::vector<uint8_t>(bytes), replyBytes};
}

// A command and the fillers that clock out its latency and `answerBytes`.
WireRecord answered(const std::vector<uint8_t>& command, size_t answerBytes)
{
    return *commandRecord(command, debug::kReplyLatency + answerBytes, kFiller);
}

std::optional<WireRecord> framed(const std::optional<std::vector<uint8_t>>& command)
{
    if (!command)
        return std::nullopt;
    return chipRecord(*command);
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
    const WireRecord request = breakRequest();
    record.bytes.insert(record.bytes.end(), request.bytes.begin(), request.bytes.end());
    record.replyBytes += request.replyBytes;
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
    return chipRecord(chip::loader::quit());
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
    return chipRecord(debug::status());
}

WireRecord longStatus()
{
    return chipRecord(std::vector<uint8_t>(16, 0x00));
}

WireRecord breakRequest()
{
    return chipRecord(debug::breakRequest());
}

WireRecord step()
{
    return chipRecord(debug::step());
}

WireRecord go()
{
    return chipRecord(debug::go());
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
    return answered(debug::registerRead(module, index), static_cast<size_t>(chip::registerBytes(core)));
}

int64_t registerReadValue(Core core, std::span<const uint8_t> reply)
{
    const std::vector<uint8_t> answer = dataBytes(reply, answerPair(debug::registerRead(0, 0)));
    return debug::registerValue(core, answer);
}

bool registerReadStatusGood(std::span<const uint8_t> reply)
{
    constexpr uint8_t kTransferGood = 3;
    const size_t first = answerPair(debug::registerRead(0, 0));
    for (size_t pair = first; pair < first + 4; ++pair) {
        if (pairStatus(reply, pair) != kTransferGood)
            return false;
    }
    return true;
}

WireRecord registerWrite(Core core, uint8_t module, uint8_t index, int32_t value)
{
    return chipRecord(debug::registerWrite(core, module, index, value));
}

std::optional<WireRecord> memoryWrite(Core core, uint64_t wordAddress, uint8_t low, uint8_t high)
{
    return framed(debug::memoryWrite(core, wordAddress, low, high));
}

std::optional<WireRecord> blockReadSetup(Core core, uint64_t wordAddress, uint16_t words)
{
    const auto command = debug::blockRead(core, wordAddress, words);
    if (!command)
        return std::nullopt;
    return answered(*command, 0);
}

WireRecord registerDumpHead(Core core)
{
    return answered(debug::registerDump(), debug::registerDumpCountBytes(core));
}

uint8_t registerDumpCount(Core core, std::span<const uint8_t> reply)
{
    return pairData(reply, answerPair(debug::registerDump()) + debug::registerDumpCountBytes(core) - 1);
}

uint8_t specialRegisterBytes(Core core)
{
    return static_cast<uint8_t>(chip::dump::specialRegisterBytes(core));
}

WireRecord contextPassword(const std::array<uint8_t, 32>& password)
{
    return chipRecord(debug::contextPassword(password));
}

std::optional<WireRecord> setCodeBreakpoint(Core core, int slot, uint64_t address)
{
    return framed(debug::setCodeBreakpoint(core, slot, address));
}

WireRecord clearCodeBreakpoint(Core core, int slot)
{
    return chipRecord(debug::clearCodeBreakpoint(core, slot));
}

WireRecord setDataBreakpoint(int which, uint32_t address)
{
    return chipRecord(debug::setDataBreakpoint(which, address));
}

namespace aacce {
namespace {

using debug::kBlockRead;
using debug::kMemoryWrite;
using debug::kRegisterRead;
using debug::kRegisterWrite;

constexpr uint8_t kStackPointerName[] = {0x1D, 0x00};  // module 13 index 1

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
