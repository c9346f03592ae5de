#include "DebugEngine.h"

#include <algorithm>
#include <cstdio>
#include <span>

namespace zern::chipmodel {
namespace {

enum Command : uint8_t {
    kIdle = 0x00,
    kFirstCodeBreakpoint = 0x15,
    kLastCodeBreakpoint = 0x18,
    kFirstDataBreakpoint = 0x19,
    kLastDataBreakpoint = 0x1A,
    kBreak = 0x1F,
    kStatus = 0x20,
    kRegisterDump = 0x21,
    kBlockRead = 0x22,
    kRegisterWrite = 0x24,
    kMemoryWrite = 0x25,
    kStep = 0x26,
    kGo = 0x27,
    kContextPassword = 0x28,
    kRegisterRead = 0x29,
};

constexpr uint8_t kLatency = 0x00;

// Where the register dump puts the registers outside modules 0..N/32: offset
// in the block of special registers, register, and width in bytes.
struct SpecialRegister {
    int offset;
    int module;
    int index;
    int width;
};

constexpr int kSpecial16Bytes = 64;
constexpr SpecialRegister kSpecial16[] = {
    {0, 8, 0, 1},   {1, 8, 1, 1},   {2, 8, 4, 1},   {3, 8, 5, 1},   {4, 8, 6, 1},   {5, 8, 8, 1},   {6, 8, 11, 1},
    {7, 8, 14, 1},  {8, 8, 15, 1},  {10, 9, 0, 2},  {12, 9, 1, 2},  {14, 9, 2, 2},  {16, 9, 3, 2},  {18, 9, 4, 2},
    {20, 9, 5, 2},  {22, 9, 6, 2},  {24, 9, 7, 2},  {26, 9, 8, 2},  {28, 9, 9, 2},  {30, 9, 10, 2}, {32, 9, 11, 2},
    {34, 9, 12, 2}, {36, 9, 13, 2}, {38, 9, 14, 2}, {40, 9, 15, 2}, {42, 12, 0, 2}, {46, 13, 2, 2}, {48, 13, 6, 2},
    {50, 13, 7, 2}, {52, 14, 3, 2}, {54, 14, 4, 2}, {56, 14, 5, 2}, {58, 14, 7, 2}, {60, 15, 3, 2}, {62, 15, 7, 2},
};

constexpr int kSpecial32Bytes = 108;
constexpr SpecialRegister kSpecial32[] = {
    {0, 8, 0, 1},   {1, 8, 1, 1},   {2, 8, 4, 2},   {4, 8, 5, 1},    {6, 8, 8, 2},     {8, 8, 9, 2},   {10, 8, 10, 2},
    {12, 8, 14, 2}, {14, 8, 15, 1}, {16, 9, 0, 4},  {20, 9, 1, 4},   {24, 9, 2, 4},    {28, 9, 3, 4},  {32, 9, 4, 4},
    {36, 9, 5, 4},  {40, 9, 6, 4},  {44, 9, 7, 4},  {48, 9, 8, 4},   {52, 9, 9, 4},    {56, 9, 10, 4}, {60, 9, 11, 4},
    {64, 9, 12, 4}, {68, 9, 13, 4}, {72, 9, 14, 4}, {76, 9, 15, 4},  {80, 12, 0, 4},   {84, 13, 1, 4}, {88, 13, 6, 2},
    {90, 13, 7, 2}, {92, 14, 0, 4}, {96, 14, 3, 4}, {100, 15, 3, 4}, {104, 15, 13, 4},
};

uint64_t littleEndian(std::span<const uint8_t> bytes)
{
    uint64_t value = 0;
    for (size_t i = bytes.size(); i-- > 0;)
        value = value << 8 | bytes[i];
    return value;
}

std::string hexByte(uint8_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

}  // namespace

void DebugEngine::reset()
{
    command_.reset();
    arguments_.clear();
    output_.clear();
}

void DebugEngine::shift(const std::vector<uint8_t>& bytes, std::vector<uint8_t>& reply)
{
    for (const uint8_t byte : bytes) {
        uint8_t status = chip_.transferStatus();
        uint8_t data = 0;
        if (!output_.empty()) {
            data = output_.front();
            output_.pop_front();
        } else if (command_) {
            arguments_.push_back(byte);
            if (argumentsComplete())
                execute();
        } else {
            startCommand(byte, status);
        }
        reply.push_back(status);
        reply.push_back(data);
    }
}

uint8_t DebugEngine::idleStatus() const
{
    return chip_.faults.haltStatus.value_or(chip_.halted && !chip_.inReset ? 1 : 0);
}

void DebugEngine::startCommand(uint8_t command, uint8_t& status)
{
    switch (command) {
    case kStatus:
        chip_.runForOnePoll();
        status = idleStatus();
        return;
    case kIdle:
        status = idleStatus();
        return;
    case kBreak:
        if (!chip_.inReset && !chip_.faults.neverHalts)
            chip_.halted = true;
        return;
    case kStep:
        chip_.step();
        return;
    case kGo:
        if (chip_.halted) {
            chip_.halted = false;
            chip_.leavingBreakpoint = true;
        }
        return;
    case kRegisterDump:
        queueRegisterDump();
        return;
    case kBlockRead:
    case kRegisterWrite:
    case kMemoryWrite:
    case kContextPassword:
    case kRegisterRead:
        break;
    default:
        if (command < kFirstCodeBreakpoint || command > kLastDataBreakpoint) {
            chip_.protocolErrors.push_back("unknown debug engine command " + hexByte(command));
            status = 0;
            return;
        }
    }
    command_ = command;
    arguments_.clear();
}

bool DebugEngine::argumentsComplete() const
{
    const size_t wordBytes = chip_.wide() ? 4 : 2;
    const size_t have = arguments_.size();
    switch (*command_) {
    case kBlockRead:
        return have == wordBytes + 2;
    case kRegisterWrite:
        return have == 2 + wordBytes;
    case kMemoryWrite:
        return have == wordBytes + 2;
    case kContextPassword:
        return have == 32;
    case kRegisterRead:
        return have == 2;
    case kFirstDataBreakpoint:
    case kLastDataBreakpoint:
        return have == 6;
    default: {
        // A code breakpoint: its address, then two more bytes unless it is the
        // all-ones address that frees the slot.
        const size_t addressBytes = chip_.wide() ? 3 : 2;
        if (have < addressBytes)
            return false;
        const bool freesSlot =
            std::all_of(arguments_.begin(), arguments_.begin() + addressBytes, [](uint8_t b) { return b == 0xFF; });
        return have == (freesSlot ? addressBytes : addressBytes + 2);
    }
    }
}

void DebugEngine::execute()
{
    const uint8_t command = *command_;
    command_.reset();
    const std::span<const uint8_t> args(arguments_);
    const size_t wordBytes = chip_.wide() ? 4 : 2;
    const int module = args[0] & 0x0F;
    const int index = (args[0] >> 4 | args[1] << 4) & 0x1F;
    switch (command) {
    case kBlockRead: {
        const uint64_t word = littleEndian(args.first(wordBytes));
        const uint64_t words = littleEndian(args.subspan(wordBytes, 2));
        output_.push_back(kLatency);
        for (uint64_t w = word; w < word + words; ++w) {
            output_.push_back(chip_.readDataSpace(w, 0));
            output_.push_back(chip_.readDataSpace(w, 1));
        }
        return;
    }
    case kRegisterWrite:
        if (!chip_.locked())
            chip_.reg(module, index) = static_cast<int32_t>(littleEndian(args.subspan(2)));
        return;
    case kMemoryWrite: {
        const uint64_t word = littleEndian(args.first(wordBytes));
        chip_.writeDataSpace(word, 0, args[wordBytes]);
        chip_.writeDataSpace(word, 1, args[wordBytes + 1]);
        return;
    }
    case kContextPassword:
        chip_.presentedPassword.emplace();
        std::copy(args.begin(), args.end(), chip_.presentedPassword->begin());
        return;
    case kRegisterRead:
        output_.push_back(kLatency);
        queueValue(static_cast<uint32_t>(chip_.reg(module, index)), static_cast<int>(wordBytes));
        return;
    case kFirstDataBreakpoint:
    case kLastDataBreakpoint:
        chip_.dataBreakpoints[command - kFirstDataBreakpoint] = static_cast<uint32_t>(littleEndian(args.first(4)));
        return;
    default: {
        auto& slot = chip_.codeBreakpoints[command - kFirstCodeBreakpoint];
        const size_t addressBytes = chip_.wide() ? 3 : 2;
        if (args.size() == addressBytes)
            slot.reset();
        else
            slot = static_cast<uint32_t>(littleEndian(args.first(addressBytes)));
        return;
    }
    }
}

void DebugEngine::queueValue(uint64_t value, int bytes)
{
    const bool locked = chip_.locked();
    for (int i = 0; i < bytes; ++i)
        output_.push_back(locked ? 0x20 : static_cast<uint8_t>(value >> (8 * i)));
}

void DebugEngine::queueRegisterDump()
{
    const bool wide = chip_.wide();
    const int registerBytes = wide ? 4 : 2;
    output_.push_back(kLatency);
    if (wide)
        output_.push_back(kLatency);
    const int count = chip_.settings.dumpRegisterCount;
    output_.push_back(static_cast<uint8_t>(count));
    for (int i = 0; i < count; ++i)
        queueValue(static_cast<uint32_t>(chip_.registers[i]), registerBytes);

    std::vector<uint8_t> special(wide ? kSpecial32Bytes : kSpecial16Bytes, 0);
    for (const SpecialRegister& r :
         wide ? std::span<const SpecialRegister>(kSpecial32) : std::span<const SpecialRegister>(kSpecial16)) {
        const auto value = static_cast<uint32_t>(chip_.reg(r.module, r.index));
        for (int i = 0; i < r.width; ++i)
            special[r.offset + i] = static_cast<uint8_t>(value >> (8 * i));
    }
    for (const uint8_t byte : special)
        queueValue(byte, 1);
}

}  // namespace zern::chipmodel
