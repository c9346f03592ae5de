#include "ChipState.h"

#include <algorithm>

#include "Instruction.h"

namespace zern::chipmodel {
namespace {

constexpr uint64_t kCode16Window = 0x8000;
constexpr uint64_t kCode32Window = 0x800000;
constexpr size_t kReturnStackDepth = 16;

}  // namespace

uint32_t ChipState::programCounter() const
{
    const auto pc = static_cast<uint32_t>(reg(kPcModule, 0));
    return wide() ? pc & 0xFFFFFF : pc & 0xFFFF;
}

void ChipState::setProgramCounter(uint32_t pc)
{
    reg(kPcModule, 0) = static_cast<int32_t>(wide() ? pc & 0xFFFFFF : pc & 0xFFFF);
}

std::array<uint8_t, 32> ChipState::contextPassword(size_t context) const
{
    std::array<uint8_t, 32> password{};
    const uint64_t address = settings.contexts.at(context).passwordAddress;
    for (size_t i = 0; i < password.size(); ++i)
        password[i] = codeFlash.read(address + i);
    return password;
}

bool ChipState::locked() const
{
    if (wide() || currentContext >= settings.contexts.size())
        return false;
    return !presentedPassword || *presentedPassword != contextPassword(currentContext);
}

uint8_t ChipState::readDataSpace(uint64_t wordAddress, int byteInWord) const
{
    if (locked())
        return 0x20;
    const uint64_t window = wide() ? kCode32Window : kCode16Window;
    if (wordAddress < window)
        return dataMemory.read(wordAddress * 2 + byteInWord);
    uint64_t codeAddress = (wordAddress - window) * 2 + byteInWord;
    if (!wide() && (reg(kBankModule, kBankIndex) & kUpperCodeBank))
        codeAddress += 0x10000;
    return codeFlash.read(codeAddress);
}

void ChipState::writeDataSpace(uint64_t wordAddress, int byteInWord, uint8_t value)
{
    if (locked())
        return;
    if (wordAddress >= (wide() ? kCode32Window : kCode16Window)) {
        protocolErrors.push_back("memory write into code space");
        return;
    }
    dataMemory.write(wordAddress * 2 + byteInWord, value);
}

void ChipState::runForOnePoll()
{
    if (halted || inReset)
        return;
    for (uint32_t i = 0; i < settings.instructionsPerPoll; ++i) {
        const uint32_t pc = programCounter();
        const bool atBreakpoint = std::any_of(codeBreakpoints.begin(), codeBreakpoints.end(),
                                              [&](const std::optional<uint32_t>& slot) { return slot == pc; });
        if (atBreakpoint && !leavingBreakpoint && !faults.neverHalts) {
            halted = true;
            return;
        }
        leavingBreakpoint = false;
        executeInstruction();
    }
}

void ChipState::executeInstruction()
{
    const uint32_t pc = programCounter();
    const Instruction instruction = decodeInstruction(pc, [this](uint32_t wordAddress) {
        const uint64_t byteAddress = uint64_t{wordAddress} * 2;
        return static_cast<uint16_t>(codeFlash.read(byteAddress) | (codeFlash.read(byteAddress + 1) << 8));
    });
    switch (instruction.flow) {
    case Flow::Call:
        if (returnStack.size() == kReturnStackDepth)
            returnStack.pop_front();
        returnStack.push_back(pc + instruction.length);
        setProgramCounter(instruction.target);
        break;
    case Flow::Jump:
        setProgramCounter(instruction.target);
        break;
    case Flow::Return:
        if (returnStack.empty()) {
            setProgramCounter(pc + instruction.length);
        } else {
            setProgramCounter(returnStack.back());
            returnStack.pop_back();
        }
        break;
    case Flow::Next:
        setProgramCounter(pc + instruction.length);
        break;
    }
}

void ChipState::step()
{
    if (halted && !faults.neverHalts)
        executeInstruction();
}

void ChipState::startUserCode()
{
    inReset = false;
    halted = false;
    leavingBreakpoint = false;
    returnStack.clear();
    setProgramCounter(settings.resetVector);
}

}  // namespace zern::chipmodel
