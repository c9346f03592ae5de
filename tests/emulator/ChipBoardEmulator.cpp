#include "ChipBoardEmulator.h"

#include <algorithm>

namespace testing_support {
namespace {

constexpr uint8_t kFiller = 0x20;
constexpr uint8_t kBreak = 0x1F;
constexpr uint8_t kDump = 0x21;
constexpr uint8_t kBlockRead = 0x22;
constexpr uint8_t kRegisterWrite = 0x24;
constexpr uint8_t kMemoryWrite = 0x25;
constexpr uint8_t kStep = 0x26;
constexpr uint8_t kGo = 0x27;
constexpr uint8_t kPassword = 0x28;
constexpr uint8_t kRegisterRead = 0x29;
constexpr uint8_t kResetOperation = 0x04;
constexpr uint8_t kHoldResetOperation = 0x05;
constexpr uint8_t kEnterOperation = 0x08;
constexpr uint8_t kLoaderSelect = 0x01;
constexpr uint8_t kTapSelect = 0x04;
constexpr uint8_t kPromptCharacter = '>';

// Where a register lands in the bytes after the register chunks of a dump.
struct DumpField {
    int at;
    int module;
    int index;
    int bytes;
};

const DumpField kDump16[] = {
    {0, 8, 0, 1},   {1, 8, 1, 1},   {2, 8, 4, 1},   {3, 8, 5, 1},   {4, 8, 6, 1},   {5, 8, 8, 1},
    {6, 8, 11, 1},  {7, 8, 14, 1},  {8, 8, 15, 1},  {42, 12, 0, 2}, {46, 13, 2, 2}, {48, 13, 6, 2},
    {50, 13, 7, 2}, {52, 14, 3, 2}, {54, 14, 4, 2}, {56, 14, 5, 2}, {58, 14, 7, 2}, {60, 15, 3, 2},
    {62, 15, 7, 2},
};

const DumpField kDump32[] = {
    {0, 8, 0, 1},   {1, 8, 1, 1},   {2, 8, 4, 2},   {4, 8, 5, 1},   {6, 8, 8, 2},    {8, 8, 9, 2},
    {10, 8, 10, 2}, {12, 8, 14, 2}, {14, 8, 15, 1}, {80, 12, 0, 4}, {84, 13, 1, 4},  {88, 13, 6, 2},
    {90, 13, 7, 2}, {92, 14, 0, 4}, {96, 14, 3, 4}, {100, 15, 3, 4}, {104, 15, 13, 4},
};

}  // namespace

uint64_t ChipBoardEmulator::littleEndian(const std::vector<uint8_t>& bytes, size_t from, size_t count) const
{
    uint64_t value = 0;
    for (size_t i = 0; i < count && from + i < bytes.size(); ++i)
        value |= static_cast<uint64_t>(bytes[from + i]) << (8 * i);
    return value;
}

size_t ChipBoardEmulator::parameterBytes(uint8_t command) const
{
    const size_t a = addressBytes();
    switch (command) {
    case kRegisterRead:
        return 2;
    case kRegisterWrite:
        return 2 + (chip_.core32() ? 4 : 2);
    case kMemoryWrite:
        return a + 2;
    case kBlockRead:
        return a + 2;
    case kPassword:
        return 32;
    case 0x19:
    case 0x1A:
        return 6;
    default:
        if (command >= 0x15 && command <= 0x18)
            return (chip_.core32() ? 3 : 2) + 2;
        return 0;
    }
}

uint8_t ChipBoardEmulator::answerBoardOperation(uint8_t operation)
{
    std::lock_guard lock(chipMutex_);
    if (operation == kResetOperation)
        chip_.reset();
    if (operation == kHoldResetOperation)
        inLoader_ = false;
    if (operation == kEnterOperation && loaderArmed_) {
        loaderArmed_ = false;
        inLoader_ = true;
        extendedMode_ = false;
        pendingWrite_.reset();
    }
    return 0x00;
}

std::vector<uint8_t> ChipBoardEmulator::answerRecord(const std::vector<uint8_t>& record)
{
    std::lock_guard lock(chipMutex_);
    if (inLoader_)
        return loaderRecord(record);
    const uint8_t first = record[0];
    if (record.size() == 1) {
        // The loader is selected by a 01 after the 04 that picks the chip's TAP.
        const bool selectsLoader = first == kLoaderSelect && lastSingleByte_ == kTapSelect;
        lastSingleByte_ = first;
        if (selectsLoader) {
            loaderArmed_ = true;
            return {0x00, first};
        }
    }
    size_t parameters = 0;
    if (first != kFiller && first != 0x00) {
        out_.clear();
        command(record);
        parameters = 1 + parameterBytes(first);
    }
    if (first == kFiller && out_.empty() && record.size() == 1)
        chip_.poll();
    std::vector<uint8_t> answer;
    const uint8_t status = chip_.halted() ? 1 : 0;
    for (size_t i = 0; i < record.size(); ++i) {
        uint8_t data = 0x00;
        if (i >= parameters && record[i] == kFiller && !out_.empty()) {
            data = out_.front();
            out_.pop_front();
        }
        answer.push_back(status);
        answer.push_back(data);
    }
    if (!afterRecord_.empty()) {
        out_ = afterRecord_;
        afterRecord_.clear();
    }
    return answer;
}

void ChipBoardEmulator::queueValue(int32_t value)
{
    out_.push_back(0x00);
    for (size_t i = 0; i < (chip_.core32() ? 4u : 2u); ++i)
        out_.push_back(chip_.unlocked ? static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)) : kFiller);
}

void ChipBoardEmulator::command(const std::vector<uint8_t>& record)
{
    const size_t a = addressBytes();
    switch (record[0]) {
    case kBreak:
        chip_.halt();
        return;
    case kStep:
        chip_.step();
        return;
    case kGo:
        chip_.go();
        return;
    case kPassword: {
        if (!chip_.password) {
            chip_.unlocked = true;
            return;
        }
        chip_.unlocked = std::equal(chip_.password->begin(), chip_.password->end(), record.begin() + 1);
        return;
    }
    case kRegisterRead: {
        const int module = record[1] & 0x0F;
        const int index = (record[1] >> 4) + 16 * record[2];
        queueValue(chip_.reg(module, index));
        return;
    }
    case kRegisterWrite: {
        const int module = record[1] & 0x0F;
        const int index = (record[1] >> 4) + 16 * record[2];
        chip_.setReg(module, index, static_cast<int32_t>(littleEndian(record, 3, chip_.core32() ? 4 : 2)));
        return;
    }
    case kMemoryWrite: {
        const uint64_t byteAddress = littleEndian(record, 1, a) * 2;
        if (byteAddress + 1 < chip_.dataMemory.size()) {
            chip_.dataMemory[byteAddress] = record[1 + a];
            chip_.dataMemory[byteAddress + 1] = record[2 + a];
        }
        return;
    }
    case kBlockRead: {
        const uint64_t wordAddress = littleEndian(record, 1, a);
        const size_t words = littleEndian(record, 1 + a, 2);
        queueBlock(wordAddress, words);
        return;
    }
    case kDump:
        queueDump();
        return;
    default:
        if (record[0] >= 0x15 && record[0] <= 0x18) {
            const uint32_t address = static_cast<uint32_t>(littleEndian(record, 1, chip_.core32() ? 3 : 2));
            const bool clear = address == (chip_.core32() ? 0xFFFFFFu : 0xFFFFu);
            chip_.codeBreakpoints[record[0] - 0x15] = clear ? std::nullopt : std::optional<uint32_t>(address);
        } else if (record[0] == 0x19 || record[0] == 0x1A) {
            chip_.dataBreakpoints[record[0] - 0x19] = static_cast<uint32_t>(littleEndian(record, 1, 4));
        }
        return;
    }
}

void ChipBoardEmulator::programBytes(uint64_t byteAddress, const uint8_t* data, size_t count, bool code)
{
    for (size_t i = 0; i < count; ++i) {
        if (code)
            chip_.programFlash(static_cast<uint32_t>(byteAddress + i), data[i]);
        else if (byteAddress + i < chip_.dataMemory.size())
            chip_.dataMemory[byteAddress + i] = data[i];
    }
}

std::vector<uint8_t> ChipBoardEmulator::loaderRecord(const std::vector<uint8_t>& record)
{
    std::vector<uint8_t> data(record.size(), 0x00);
    const bool wide = chip_.core32();
    const auto address = [&](size_t from, size_t count) { return littleEndian(record, from, count); };
    if (pendingWrite_) {
        programBytes(pendingWrite_->first, record.data(), record.size(), pendingWrite_->second);
        pendingWrite_.reset();
    } else if (answerPasswordAddress_) {
        answerPasswordAddress_ = false;
        for (size_t i = 0; i < data.size() && i < 2; ++i)
            data[i] = static_cast<uint8_t>(loader_.passwordWordAddress >> (8 * i));
    } else if (loader_.passwordQuery && record[0] == *loader_.passwordQuery) {
        answerPasswordAddress_ = true;
    } else {
        const uint8_t command = record[0];
        const bool code = (command & 1) == 0;
        switch (command) {
        case 0x00: {
            const uint8_t answer = busyPrompts_ > 0 || loader_.silentPrompt ? 0x00 : kPromptCharacter;
            if (busyPrompts_ > 0)
                --busyPrompts_;
            std::fill(data.begin(), data.end(), answer);
            break;
        }
        case kLoaderSelect:
            inLoader_ = false;
            break;
        case 0x02:
            std::fill(chip_.codeFlash.begin(), chip_.codeFlash.end(), 0xFF);
            busyPrompts_ = loader_.eraseBusyPrompts;
            ++erases_;
            break;
        case 0x04:
            if (data.size() > 3)
                data[3] = loader_.status;
            break;
        case 0x05:
            if (data.size() > 5) {
                data[2] = static_cast<uint8_t>(loader_.flags);
                data[3] = static_cast<uint8_t>(loader_.flags >> 8);
                data[4] = loader_.codePageUnit;
                data[5] = loader_.dataPageUnit;
            }
            break;
        case 0x0A:
            extendedMode_ = record.size() > 1 && record[1] == 1;
            break;
        case 0x90:
        case 0x91: {
            // Fixed-length page: count, address, then the page.
            if (wide) {
                const size_t bytes = 2 * size_t{record[1]};
                programBytes(address(3, 3) * 2, record.data() + 6, std::min(bytes, record.size() - 6), code);
            } else if (extendedMode_) {
                const size_t bytes = 2 * size_t{record[1]};
                programBytes(address(2, 2) * 2, record.data() + 4, std::min(bytes, record.size() - 4), code);
            } else {
                programBytes(address(2, 2), record.data() + 4, std::min<size_t>(record[1], record.size() - 4), code);
            }
            break;
        }
        case 0xA0:
        case 0xA1: {
            const size_t header = wide ? 6 : 4;
            const uint64_t start = wide ? address(3, 3) * 2 : extendedMode_ ? address(2, 2) * 2 : address(2, 2);
            for (size_t i = header; i < record.size(); ++i) {
                const uint64_t at = start + i - header;
                data[i] = code ? (at < chip_.codeFlash.size() ? chip_.codeFlash[at] : 0xFF)
                               : (at < chip_.dataMemory.size() ? chip_.dataMemory[at] : 0x00);
            }
            break;
        }
        case 0x10:
        case 0x11:
            if (wide)
                pendingWrite_ = std::make_pair(address(3, 3) * 2, code);
            else if (extendedMode_)
                pendingWrite_ = std::make_pair(address(2, 2) * 2, code);
            else
                pendingWrite_ = std::make_pair(address(2, 2), code);
            break;
        default:
            break;
        }
    }
    std::vector<uint8_t> answer;
    for (uint8_t byte : data) {
        answer.push_back(0x00);
        answer.push_back(byte);
    }
    return answer;
}

uint8_t ChipBoardEmulator::memoryByte(uint64_t byteAddress) const
{
    const uint64_t codeBase = chip_.core32() ? 0x1000000 : 0x10000;
    if (byteAddress >= codeBase) {
        const bool highWindow = (chip_.reg(8, 8) & 0x20) != 0;
        const uint64_t offset = byteAddress - codeBase + (highWindow ? 0x10000 : 0);
        return offset < chip_.codeFlash.size() ? chip_.codeFlash[offset] : 0xFF;
    }
    return byteAddress < chip_.dataMemory.size() ? chip_.dataMemory[byteAddress] : 0x00;
}

void ChipBoardEmulator::queueBlock(uint64_t wordAddress, size_t words)
{
    for (size_t i = 0; i < 2 * words; ++i)
        afterRecord_.push_back(memoryByte(wordAddress * 2 + i));
}

void ChipBoardEmulator::queueDump()
{
    const auto bytesOf = [this](int32_t value, int count) {
        for (int i = 0; i < count; ++i)
            out_.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
    };
    const bool wide = chip_.core32();
    const int width = wide ? 4 : 2;
    out_.insert(out_.end(), wide ? 2 : 1, 0x00);
    out_.push_back(static_cast<uint8_t>(kDumpedRegisters));
    for (int i = 0; i < kDumpedRegisters; ++i)
        bytesOf(chip_.reg(i / 32, i % 32), width);
    // The special registers that follow, laid out as the dump tables give them.
    std::vector<DumpField> fields(wide ? std::begin(kDump32) : std::begin(kDump16),
                                  wide ? std::end(kDump32) : std::end(kDump16));
    for (int i = 0; i < 16; ++i)
        fields.push_back({wide ? 16 + 4 * i : 10 + 2 * i, 9, i, width});
    std::vector<uint8_t> d(wide ? 108 : 64, 0);
    for (const DumpField& field : fields)
        for (int i = 0; i < field.bytes; ++i)
            d[static_cast<size_t>(field.at + i)] =
                static_cast<uint8_t>(static_cast<uint32_t>(chip_.reg(field.module, field.index)) >> (8 * i));
    out_.insert(out_.end(), d.begin(), d.end());
}

}  // namespace testing_support
