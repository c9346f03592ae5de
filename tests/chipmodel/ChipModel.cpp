#include "ChipModel.h"

namespace zern::chipmodel {
namespace {

enum BoardOperation : uint8_t {
    kSelectInstruction = 0x01,
    kShiftInstruction = 0x03,
    kReleaseReset = 0x04,
    kHoldReset = 0x05,
    kResetPort = 0x09,
};

void appendIdlePairs(size_t count, std::vector<uint8_t>& reply)
{
    reply.insert(reply.end(), 2 * count, 0);
}

std::vector<uint8_t> readRange(const SparseMemory& memory, uint64_t address, size_t count)
{
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = memory.read(address + i);
    return bytes;
}

void writeRange(SparseMemory& memory, uint64_t address, const std::vector<uint8_t>& bytes)
{
    for (size_t i = 0; i < bytes.size(); ++i)
        memory.write(address + i, bytes[i]);
}

}  // namespace

ChipModel::ChipModel(ChipSettings settings)
{
    chip_.settings = std::move(settings);
    chip_.startUserCode();
}

std::vector<uint8_t> ChipModel::exchange(const std::vector<uint8_t>& record)
{
    std::lock_guard lock(mutex_);
    std::vector<uint8_t> reply;
    if (record.empty())
        return reply;
    reply.reserve(2 * record.size());
    if (expectInstruction_) {
        expectInstruction_ = false;
        instruction_ = record[0];
        appendIdlePairs(record.size(), reply);
        return reply;
    }
    switch (instruction_) {
    case kMode:
        loaderSelected_ = record[0] == 1;
        appendIdlePairs(record.size(), reply);
        break;
    case kTestMode:
        testModeBits_ = record[0];
        appendIdlePairs(record.size(), reply);
        break;
    case kData:
        if (!loader_.active())
            engine_.shift(record, reply);
        else if (loader_.shift(record, reply))
            chip_.startUserCode();
        break;
    default:
        chip_.protocolErrors.push_back("record with no instruction selected");
        appendIdlePairs(record.size(), reply);
    }
    return reply;
}

uint8_t ChipModel::boardOperation(uint8_t operation)
{
    std::lock_guard lock(mutex_);
    switch (operation) {
    case kSelectInstruction:
    case kShiftInstruction:
        expectInstruction_ = true;
        break;
    case kResetPort:
        expectInstruction_ = false;
        instruction_ = kNone;
        engine_.reset();
        break;
    case kHoldReset:
        chip_.inReset = true;
        chip_.halted = false;
        loader_.stop();
        engine_.reset();
        break;
    case kReleaseReset:
        if (loaderSelected_) {
            chip_.inReset = false;
            chip_.halted = false;
            loader_.start();
        } else {
            loader_.stop();
            chip_.startUserCode();
        }
        break;
    default:
        break;
    }
    return 0;
}

void ChipModel::setFaults(const FaultPlan& faults)
{
    std::lock_guard lock(mutex_);
    chip_.faults = faults;
}

int32_t ChipModel::registerValue(int module, int index) const
{
    std::lock_guard lock(mutex_);
    return chip_.reg(module, index);
}

void ChipModel::setRegister(int module, int index, int32_t value)
{
    std::lock_guard lock(mutex_);
    chip_.reg(module, index) = value;
}

uint32_t ChipModel::programCounter() const
{
    std::lock_guard lock(mutex_);
    return chip_.programCounter();
}

void ChipModel::setProgramCounter(uint32_t pc)
{
    std::lock_guard lock(mutex_);
    chip_.setProgramCounter(pc);
}

bool ChipModel::halted() const
{
    std::lock_guard lock(mutex_);
    return chip_.halted;
}

void ChipModel::setHalted(bool halted)
{
    std::lock_guard lock(mutex_);
    chip_.halted = halted;
    chip_.leavingBreakpoint = false;
}

bool ChipModel::inReset() const
{
    std::lock_guard lock(mutex_);
    return chip_.inReset;
}

std::vector<uint8_t> ChipModel::code(uint64_t address, size_t count) const
{
    std::lock_guard lock(mutex_);
    return readRange(chip_.codeFlash, address, count);
}

void ChipModel::setCode(uint64_t address, const std::vector<uint8_t>& bytes)
{
    std::lock_guard lock(mutex_);
    writeRange(chip_.codeFlash, address, bytes);
}

std::vector<uint8_t> ChipModel::data(uint64_t address, size_t count) const
{
    std::lock_guard lock(mutex_);
    return readRange(chip_.dataMemory, address, count);
}

void ChipModel::setData(uint64_t address, const std::vector<uint8_t>& bytes)
{
    std::lock_guard lock(mutex_);
    writeRange(chip_.dataMemory, address, bytes);
}

std::array<std::optional<uint32_t>, 4> ChipModel::codeBreakpoints() const
{
    std::lock_guard lock(mutex_);
    return chip_.codeBreakpoints;
}

std::array<std::optional<uint32_t>, 2> ChipModel::dataBreakpoints() const
{
    std::lock_guard lock(mutex_);
    return chip_.dataBreakpoints;
}

void ChipModel::setCurrentContext(size_t context)
{
    std::lock_guard lock(mutex_);
    chip_.currentContext = context;
}

uint8_t ChipModel::testModeBits() const
{
    std::lock_guard lock(mutex_);
    return testModeBits_;
}

bool ChipModel::loaderActive() const
{
    std::lock_guard lock(mutex_);
    return loader_.active();
}

std::vector<std::vector<uint8_t>> ChipModel::configuredLoaderCommands() const
{
    std::lock_guard lock(mutex_);
    return loader_.configuredCommands;
}

std::vector<std::array<uint8_t, 32>> ChipModel::loaderUnlockPasswords() const
{
    std::lock_guard lock(mutex_);
    return loader_.unlockPasswords;
}

int ChipModel::masterErases() const
{
    std::lock_guard lock(mutex_);
    return loader_.masterErases;
}

int ChipModel::lastBlockErases() const
{
    std::lock_guard lock(mutex_);
    return loader_.lastBlockErases;
}

std::vector<std::string> ChipModel::protocolErrors() const
{
    std::lock_guard lock(mutex_);
    return chip_.protocolErrors;
}

}  // namespace zern::chipmodel
