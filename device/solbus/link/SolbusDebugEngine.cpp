// The chip's debug engine through its debug port on the bus: halting,
// running, polling, stepping, registers, memory, code and breakpoints.

#include <algorithm>

#include "DebugCommands.h"
#include "LoaderCommands.h"
#include "RegisterDumpLayout.h"
#include "SolbusDriver.h"

namespace zern {
namespace {

namespace debug = chip::debug;
namespace dump = chip::dump;

// The status a pair reads after a debug-engine command: halted or running.
constexpr uint8_t kEngineHalted = 1;
constexpr uint8_t kEngineRunning = 0;
constexpr int kHaltTries = 5;
constexpr int kDumpTries = 100;
constexpr int kResumeReads = 6;
constexpr int kFlagsModule = 8;
constexpr uint16_t kLocked = 0x2020;
constexpr uint8_t kMarkerSign = 0x5A;
constexpr size_t kBlockWords = 128;
constexpr size_t kMaxWordsPerRead = 127;

}  // namespace

// ---- Target state ----------------------------------------------------------------

bool SolbusDriver::leaveLoader()
{
    return loaderCommand(chip::loader::quit());
}

bool SolbusDriver::enterHalted()
{
    state_ = TargetState::Halted;
    return contextStep();
}

bool SolbusDriver::haltedOrHalt()
{
    return state_ == TargetState::Halted || haltTarget();
}

bool SolbusDriver::haltTarget()
{
    Lock lock(mutex_);
    bool sent = true;
    switch (state_) {
    case TargetState::Loader:
        sent = leaveLoader() && resetThroughControl() && requestHalt();
        break;
    case TargetState::NotInDebug:
        sent = requestHalt();
        break;
    default:
        break;
    }
    if (state_ != TargetState::Halted)
        sent = sent && clearResetGuard() && send(debug::breakRequest());
    // A failed transfer has been reported already.
    if (!sent)
        return false;
    if (transport_.WaitDebugStatus(kEngineHalted, kHaltTries))
        return enterHalted();
    messages_.line("Bad status received when trying to enter debug mode.");
    return false;
}

bool SolbusDriver::resumeTarget()
{
    Lock lock(mutex_);
    caches_.invalidateAll();
    switch (state_) {
    case TargetState::Loader:
        if (!leaveLoader() || !startThroughControl())
            return false;
        break;
    case TargetState::NotInDebug:
        if (!startThroughControl())
            return false;
        break;
    case TargetState::Halted:
        if (!contextRestore() || !send(debug::go()))
            return false;
        break;
    default:
        break;
    }
    for (int reads = 0; reads < kResumeReads; ++reads) {
        const std::optional<uint8_t> status = transport_.pairStatus();
        if (!status)
            return false;
        if (*status == kEngineHalted)
            return enterHalted();
        if (*status == kEngineRunning) {
            state_ = TargetState::Running;
            return true;
        }
    }
    messages_.line("Bad status received when trying to enter background mode.");
    return false;
}

bool SolbusDriver::runTarget()
{
    Lock lock(mutex_);
    caches_.invalidateAll();
    return resumeTarget();
}

bool SolbusDriver::breakTarget()
{
    return haltTarget();
}

bool SolbusDriver::pollStatus(bool& halted)
{
    Lock lock(mutex_);
    const PollAnswer answer = pollAnswer(state_);
    if (answer == PollAnswer::UnknownMode) {
        messages_.line("Solbus controller has entered an unknown mode.");
        return false;
    }
    // Only a running target is asked; the state answers for the others.
    if (answer != PollAnswer::AskTarget) {
        halted = answer == PollAnswer::Halted;
        return true;
    }
    if (!send(debug::status()))
        return false;
    const std::optional<uint8_t> status = transport_.pairStatus();
    if (!status)
        return false;
    halted = *status == kEngineHalted;
    return !halted || enterHalted();
}

bool SolbusDriver::singleStep()
{
    Lock lock(mutex_);
    caches_.invalidateAll();
    if (!haltedOrHalt() || !contextRestore() || !send(debug::step()))
        return false;
    caches_.invalidateAll();
    if (config_.debugReadCount != 0 && !refreshMarker())
        return false;
    return contextStep();
}

// ---- Context step and restore ------------------------------------------------------

bool SolbusDriver::refreshMarker()
{
    caches_.data.invalidate();
    return readMemoryCached(static_cast<uint32_t>(config_.mailboxAddress), marker_.size(), marker_.data()) == kLinkDone;
}

bool SolbusDriver::markerHoldsInstructionPointer() const
{
    return config_.debugReadCount != 0 && marker_[0] == kMarkerSign && marker_[1] == kMarkerSign;
}

bool SolbusDriver::contextStep()
{
    if (is32Bit())
        return true;
    using Answer = ContextPasswords::Answer;
    return passwords_.select(
        [this](const ContextPasswords::Password& password) {
            if (!send(debug::contextPassword(password), true) || !send(debug::registerRead(kFlagsModule, 0)))
                return Answer::Failed;
            const std::optional<Bytes> value = transport_.replyData(2);
            if (!value || (config_.debugReadCount != 0 && !refreshMarker()))
                return Answer::Failed;
            // A locked context reads the fillers back.
            return chip::littleEndian(value->data(), 2) == kLocked ? Answer::Refused : Answer::Accepted;
        },
        messages_);
}

bool SolbusDriver::contextRestore()
{
    const int repeats = markerHoldsInstructionPointer() ? config_.debugReadCount : config_.aacceFlag;
    for (int i = 0; i < repeats; ++i)
        if (!send(debug::step()))
            return false;
    return true;
}

// ---- Registers -----------------------------------------------------------------------

bool SolbusDriver::readOneRegister(int module, int index, int64_t& value)
{
    Lock lock(mutex_);
    if (!haltedOrHalt() || !send(debug::registerRead(static_cast<uint8_t>(module), static_cast<uint8_t>(index))))
        return false;
    const std::optional<Bytes> answer = transport_.replyData(static_cast<size_t>(chip::registerBytes(core())));
    if (!answer)
        return false;
    value = debug::registerValue(core(), *answer);
    return true;
}

bool SolbusDriver::writeOneRegister(int module, int index, int32_t value)
{
    Lock lock(mutex_);
    caches_.registers.invalidate();
    return send(debug::registerWrite(core(), static_cast<uint8_t>(module), static_cast<uint8_t>(index), value));
}

int SolbusDriver::readInstructionPointer(int64_t& address)
{
    Lock lock(mutex_);
    if (!haltedOrHalt())
        return kLinkFailure;
    if (markerHoldsInstructionPointer()) {
        address = marker_[2] | marker_[3] << 8;
        return kLinkDone;
    }
    // Nothing on this link saves an instruction pointer for the [AACCE
    // HANDLER], so the register stands. The 32-bit core's value comes back
    // with its top bit extended into the upper word.
    return readOneRegister(12, 0, address) ? kLinkDone : kLinkFailure;
}

bool SolbusDriver::readAllRegisters(std::array<int32_t, kRegisterCount>& values)
{
    Lock lock(mutex_);
    return caches_.registers.copyOut(values, [this] {
        if (!haltedOrHalt())
            return false;
        if (trace_)
            trace_->text("ReadAllRegisters\r\n");
        const bool dumped = dumpRegisters();
        if (trace_)
            trace_->text("End ReadAllRegisters\r\n");
        return dumped;
    });
}

bool SolbusDriver::dumpRegisters()
{
    auto& registers = caches_.registers.values();
    if (!send(debug::registerDump()))
        return false;
    std::optional<uint8_t> count;
    if (is32Bit()) {
        std::array<uint8_t, 2> pair{};
        if (transport_.ReadDebugPairs(pair))
            count = pair[1];
    } else if (const std::optional<Bytes> data = transport_.replyData(1)) {
        count = data->front();
    }
    if (!count)
        return false;
    const int width = chip::registerBytes(core());
    for (int first = 0, module = 0; first < *count; first += dump::kRegistersPerChunk, ++module) {
        const int inChunk = std::min(dump::kRegistersPerChunk, *count - first);
        const std::optional<Bytes> chunk = transport_.replyData(static_cast<size_t>(inChunk * width));
        if (!chunk)
            return false;
        dump::placeRegisterChunk(core(), *chunk, module, registers);
    }
    const std::optional<Bytes> tail = transport_.replyData(dump::specialRegisterBytes(core()));
    if (!tail)
        return false;
    dump::placeSpecialRegisters(core(), *tail, registers);
    if (is32Bit()) {
        // With the [AACCE HANDLER] the handler's value stands for the flags
        // and the stack pointer reads four lower.
        if (config_.aacceFlag != 0) {
            registers[8 * 32] = config_.aacceValue;
            registers[13 * 32 + 1] += 4;
        }
        return true;
    }
    int64_t stack = 0;
    if (!transport_.WaitDebugStatus(kEngineHalted, kDumpTries) || !readOneRegister(13, 1, stack))
        return false;
    registers[13 * 32 + 1] = (stack == 0 ? config_.stackDepth : static_cast<int32_t>(stack)) - 1;
    if (markerHoldsInstructionPointer())
        registers[12 * 32] = marker_[2] | marker_[3] << 8;
    return true;
}

// ---- Memory and code -------------------------------------------------------------------

bool SolbusDriver::readMemoryBlock(uint64_t byteAddress, size_t count, uint8_t* buffer)
{
    Lock lock(mutex_);
    if (!PageCache::wholePage(byteAddress, count, messages_))
        return false;
    const auto command = debug::blockRead(core(), byteAddress / 2, static_cast<uint16_t>(kBlockWords));
    if (!command || !haltedOrHalt() || !send(*command))
        return false;
    size_t done = 0;
    for (size_t words = kBlockWords; words > 0;) {
        const size_t now = std::min(kMaxWordsPerRead, words);
        const std::optional<Bytes> data = transport_.replyData(2 * now);
        if (!data)
            return false;
        std::copy(data->begin(), data->end(), buffer + done);
        done += data->size();
        words -= now;
    }
    return true;
}

bool SolbusDriver::readDataPage(uint64_t byteAddress, Page& page)
{
    return readMemoryBlock(byteAddress, page.size(), page.data());
}

bool SolbusDriver::readCodeBlock(uint64_t byteAddress, Page& page)
{
    return readCodePage(*this, is32Bit(), byteAddress, page);
}

int SolbusDriver::readMemoryCached(uint64_t byteAddress, size_t count, uint8_t* buffer)
{
    Lock lock(mutex_);
    return caches_.data.read(byteAddress, count, buffer,
                             [this](uint64_t address, Page& page) { return readDataPage(address, page); });
}

int SolbusDriver::readCodeCached(uint64_t wordAddress, size_t byteCount, uint8_t* buffer)
{
    Lock lock(mutex_);
    return caches_.code.readWords(wordAddress, byteCount, buffer,
                                  [this](uint64_t address, Page& page) { return readCodeBlock(address, page); });
}

bool SolbusDriver::writeMemoryWord(uint64_t byteAddress, uint8_t low, uint8_t high)
{
    const auto command = debug::memoryWrite(core(), byteAddress / 2, low, high);
    return command && send(*command);
}

int SolbusDriver::writeMemoryBlock(uint64_t byteAddress, size_t count, const uint8_t* data)
{
    Lock lock(mutex_);
    return writeDataMemory(*this, is32Bit(), caches_.data, byteAddress, std::span(data, count));
}

// ---- Breakpoints ------------------------------------------------------------------------

int SolbusDriver::setCodeBreakpoint(uint64_t address)
{
    Lock lock(mutex_);
    if (!takesBreakpoints(state_) && !resumeTarget())
        return kLinkFailure;
    return breakpoints_.set(address, [this](int slot, uint64_t at) {
        const auto command = debug::setCodeBreakpoint(core(), slot, at);
        if (!command)
            return kLinkBadArgument;
        return send(*command) ? kLinkDone : kLinkFailure;
    });
}

int SolbusDriver::clearCodeBreakpoint(uint64_t address)
{
    Lock lock(mutex_);
    if (!takesBreakpoints(state_) && !resumeTarget())
        return kLinkFailure;
    return breakpoints_.clear(address, [this](int slot) { return send(debug::clearCodeBreakpoint(core(), slot)); });
}

int SolbusDriver::clearAllCodeBreakpoints()
{
    Lock lock(mutex_);
    if (!takesBreakpoints(state_) && !resumeTarget())
        return kLinkFailure;
    return breakpoints_.clearAll([this](int slot) { return send(debug::clearCodeBreakpoint(core(), slot)); });
}

bool SolbusDriver::findBreakpoint(uint64_t address)
{
    Lock lock(mutex_);
    return breakpoints_.holds(address);
}

bool SolbusDriver::setDataBreakpoint(int which, uint32_t address)
{
    Lock lock(mutex_);
    return send(debug::setDataBreakpoint(which, address));
}

}  // namespace zern
