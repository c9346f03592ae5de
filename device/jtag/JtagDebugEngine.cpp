// The chip's debug engine behind the adapter board: halting, running,
// stepping, registers, memory, code and breakpoints, each as binary records.

#include <algorithm>
#include <cstdio>

#include "DebugEngineRecords.h"
#include "JtagDriver.h"
#include "RegisterDump.h"

namespace zern {
namespace {

using Bytes = std::vector<uint8_t>;
namespace engine = records::engine;
namespace dump = records::dump;
using records::WireRecord;

constexpr int kStatusTries = 6;
// Loops that repeat a record until the engine answers as hoped give up here.
constexpr int kMaxRepeats = 100;
constexpr int kFlagsModule = 8;
constexpr uint8_t kLocked = 0x20;

}  // namespace

// ---- Status ----------------------------------------------------------------------

bool JtagDriver::status(uint8_t& statusByte)
{
    Bytes reply;
    if (!exchange(engine::status(), reply))
        return false;
    statusByte = reply[0];
    return true;
}

bool JtagDriver::waitForLongStatus()
{
    Bytes reply;
    for (int tries = 0; tries < kMaxRepeats; ++tries) {
        if (!exchange(engine::longStatus(), reply))
            return false;
        if (engine::longStatusReady(reply))
            return true;
    }
    messages_.linkError("Device is not responding.");
    return false;
}

bool JtagDriver::readyToRead(const char* check)
{
    if (!config_.zncWorkaround)
        return true;
    messages_.linkError(check);
    return waitForLongStatus();
}

JtagDriver::Confirmation JtagDriver::confirmRead(const char* check)
{
    if (!config_.zncWorkaround)
        return Confirmation::Done;
    messages_.linkError(check);
    uint8_t statusByte = 0;
    if (!status(statusByte))
        return Confirmation::Failed;
    return statusByte == 1 ? Confirmation::Done : Confirmation::Again;
}

// ---- Target state --------------------------------------------------------------

int JtagDriver::resetDebugState()
{
    std::lock_guard lock(mutex_);
    caches_.invalidateAll();
    if (!exchange(engine::debugReset()))
        return kLinkFailure;
    state_ = TargetState::NotInDebug;
    return kLinkDone;
}

bool JtagDriver::enterHalted()
{
    state_ = TargetState::Halted;
    return selectContextPassword();
}

bool JtagDriver::haltedOrHalt()
{
    return state_ == TargetState::Halted || haltTarget();
}

bool JtagDriver::haltTarget()
{
    std::lock_guard lock(mutex_);
    if (state_ == TargetState::Loader) {
        if (!exchange(engine::loaderQuit()) || resetDebugState() != kLinkDone)
            return false;
    }
    if (state_ == TargetState::NotInDebug) {
        if (!exchange(engine::entryWithBreak()))
            return false;
    } else if (state_ == TargetState::Running) {
        if (!exchange(engine::breakRequest()))
            return false;
    }
    for (int tries = 0; tries < kStatusTries; ++tries) {
        uint8_t halted = 0;
        if (!status(halted))
            return false;
        if (halted == 1)
            return enterHalted();
    }
    messages_.line("Unable to pause the device.  It may be in STOP mode.");
    return false;
}

bool JtagDriver::resumeTarget()
{
    std::lock_guard lock(mutex_);
    caches_.invalidateAll();
    switch (state_) {
    case TargetState::Loader:
        if (!exchange(engine::loaderExit()))
            return false;
        // The exit sequence frames more reply bytes than are read above:
        // they must not shift the replies that follow.
        board_.drainLateReply();
        [[fallthrough]];
    case TargetState::NotInDebug:
        if (!exchange(engine::debugEngineEntry()))
            return false;
        break;
    case TargetState::Halted:
        if (!repeatStepCommands() || !exchange(engine::go()))
            return false;
        break;
    case TargetState::TestMode:
        if (!exchange(engine::testModeExit()))
            return false;
        break;
    case TargetState::Running:
        break;
    }
    uint8_t last = 0;
    for (int tries = 0; tries < kStatusTries; ++tries) {
        if (!status(last))
            return false;
        if (last == 0)
            break;
    }
    if (last == 1)
        return enterHalted();
    if (last != 0)
        messages_.line("Warning: Communication failed, device may be in STOP mode.");
    state_ = TargetState::Running;
    return true;
}

bool JtagDriver::runTarget()
{
    std::lock_guard lock(mutex_);
    caches_.invalidateAll();
    return resumeTarget();
}

bool JtagDriver::breakTarget()
{
    std::lock_guard lock(mutex_);
    breakRequested_ = true;
    return haltTarget();
}

bool JtagDriver::pollStatus(bool& halted)
{
    std::lock_guard lock(mutex_);
    switch (pollAnswer(state_)) {
    case PollAnswer::NotHalted:
        halted = false;
        return true;
    case PollAnswer::Halted:
        halted = true;
        return true;
    case PollAnswer::AskTarget:
        break;
    case PollAnswer::UnknownMode:
        messages_.linkError("TAP controller has entered an unknown mode.");
        return false;
    }
    uint8_t first = 0;
    if (!status(first))
        return false;
    halted = first == 1;
    if (!halted)
        return true;
    uint8_t second = 0;
    if (!status(second))
        return false;
    if (second == 1) {
        breakRequested_ = false;
        return enterHalted();
    }
    halted = false;
    if (!breakRequested_)
        return true;
    breakRequested_ = false;
    if (!exchange(engine::breakRequest()))
        return false;
    for (int tries = 0; tries < kStatusTries; ++tries) {
        uint8_t again = 0;
        if (!status(again))
            return false;
        if (again == 1) {
            halted = true;
            return enterHalted();
        }
    }
    return true;
}

bool JtagDriver::singleStep()
{
    std::lock_guard lock(mutex_);
    caches_.invalidateAll();
    if (!haltedOrHalt())
        return false;
    if (!repeatStepCommands() || !exchange(engine::step()))
        return false;
    caches_.invalidateAll();
    if (config_.debugReadCount != 0 && !refreshMailbox())
        return false;
    return selectContextPassword() && runAacceHandler();
}

bool JtagDriver::repeatStepCommands()
{
    const int repeats = mailboxHoldsInstructionPointer() ? config_.debugReadCount : config_.aacceFlag;
    for (int i = 0; i < repeats; ++i)
        if (!exchange(engine::step()))
            return false;
    return true;
}

bool JtagDriver::refreshMailbox()
{
    return readMemoryCached(static_cast<uint32_t>(config_.mailboxAddress), mailbox_.size(), mailbox_.data())
           == kLinkDone;
}

bool JtagDriver::mailboxHoldsInstructionPointer() const
{
    return config_.debugReadCount != 0 && mailbox_[0] == 'Z' && mailbox_[1] == 'Z';
}

bool JtagDriver::selectContextPassword()
{
    if (is32Bit())
        return runAacceHandler();
    using Answer = ContextPasswords::Answer;
    return passwords_.select(
        [this](const ContextPasswords::Password& password) {
            Bytes reply;
            if (!exchange(engine::contextPassword(password))
                || !exchange(engine::registerRead(core(), kFlagsModule, 0), reply))
                return Answer::Failed;
            // A locked context reads the fillers back.
            const bool locked = records::pairData(reply, 4) == kLocked && records::pairData(reply, 5) == kLocked;
            if (config_.debugReadCount != 0) {
                caches_.data.invalidate();
                if (!refreshMailbox())
                    return Answer::Failed;
            }
            return locked ? Answer::Refused : Answer::Accepted;
        },
        messages_);
}

bool JtagDriver::runAacceHandler()
{
    if (config_.aacceFlag == 0)
        return true;
    // Each step repeats from the long status until its record reports done.
    const auto step = [this](const WireRecord& record, Bytes& reply) {
        for (int tries = 0; tries < kMaxRepeats; ++tries) {
            if (!waitForLongStatus() || !exchange(record, reply))
                return false;
            if (engine::aacce::done(reply))
                return true;
        }
        messages_.linkError("Device is not responding.");
        return false;
    };
    Bytes reply;
    if (!step(engine::aacce::readSavedValue(), reply))
        return false;
    aacceSavedValue_ = records::pairData(reply, 8);
    if (!step(engine::aacce::storeSavedValue(aacceSavedValue_), reply)
        || !step(engine::aacce::readStackPointer(), reply))
        return false;
    uint32_t stack = static_cast<uint32_t>(records::littleEndianData(reply, 4, 4));
    if (!step(engine::aacce::readReturnAddress(stack), reply))
        return false;
    aacceReturnAddress_ = static_cast<int32_t>(static_cast<uint32_t>(records::littleEndianData(reply, 8, 4)));
    stack -= 4;
    return step(engine::aacce::writeStackPointer(stack), reply)
           && step(engine::aacce::pushValue(stack, static_cast<uint32_t>(config_.aacceValue)), reply);
}

// ---- Registers -----------------------------------------------------------------

bool JtagDriver::readOneRegister(int module, int index, int64_t& value)
{
    return readRegisterChecked(module, index, value, "Checking for proper status after reading register...");
}

bool JtagDriver::readRegisterChecked(int module, int index, int64_t& value, const char* check)
{
    std::lock_guard lock(mutex_);
    if (!haltedOrHalt())
        return false;
    const WireRecord record = engine::registerRead(core(), static_cast<uint8_t>(module), static_cast<uint8_t>(index));
    Bytes reply;
    for (int tries = 0; tries < kMaxRepeats; ++tries) {
        if (!exchange(record, reply))
            return false;
        value = engine::registerReadValue(core(), reply);
        if (!is32Bit() || !config_.zncWorkaround)
            return true;
        messages_.linkError(check);
        if (engine::registerReadStatusGood(reply))
            return true;
    }
    messages_.linkError("Device is not responding.");
    return false;
}

bool JtagDriver::writeOneRegister(int module, int index, int32_t value)
{
    std::lock_guard lock(mutex_);
    caches_.registers.invalidate();
    return exchange(engine::registerWrite(core(), static_cast<uint8_t>(module), static_cast<uint8_t>(index), value));
}

int JtagDriver::readInstructionPointer(int64_t& address)
{
    std::lock_guard lock(mutex_);
    if (!haltedOrHalt())
        return kLinkFailure;
    if (mailboxHoldsInstructionPointer()) {
        address = mailbox_[2] | (mailbox_[3] << 8);
        return kLinkDone;
    }
    if (is32Bit() && config_.aacceFlag != 0) {
        address = aacceReturnAddress_;
        return kLinkDone;
    }
    return readRegisterChecked(12, 0, address, "Checking for proper status after reading IP...") ? kLinkDone
                                                                                                 : kLinkFailure;
}

bool JtagDriver::readAllRegisters(std::array<int32_t, kRegisterCount>& values)
{
    std::lock_guard lock(mutex_);
    return caches_.registers.copyOut(values, [this] { return haltedOrHalt() && dumpRegisters(); });
}

bool JtagDriver::dumpRegisters()
{
    auto& registers = caches_.registers.values();
    const int perRegister = chip::registerBytes(core());
    for (int pass = 0; pass < kMaxRepeats; ++pass) {
        if (!readyToRead("Checking for proper status before reading registers..."))
            return false;
        Bytes reply;
        if (!exchange(engine::registerDumpHead(core()), reply))
            return false;
        const int count = engine::registerDumpCount(core(), reply);
        for (int first = 0, module = 0; first < count; first += dump::kRegistersPerChunk, ++module) {
            const int k = std::min(dump::kRegistersPerChunk, count - first);
            if (!exchange(records::fillerRecord(static_cast<uint8_t>(perRegister * k)), reply))
                return false;
            dump::decodeRegisterChunk(core(), reply, module, registers);
        }
        if (!exchange(records::fillerRecord(engine::specialRegisterBytes(core())), reply))
            return false;
        dump::decodeSpecialRegisters(core(), reply, registers);
        if (!is32Bit()) {
            if (mailboxHoldsInstructionPointer())
                registers[12 * 32] = mailbox_[2] | (mailbox_[3] << 8);
            int64_t stack = 0;
            if (!readOneRegister(13, 1, stack))
                return false;
            dump::finishSixteenBitDump(config_.processorFamily, static_cast<uint32_t>(stack), config_.stackDepth,
                                       registers);
            return true;
        }
        if (config_.aacceFlag != 0) {
            registers[8 * 32] = aacceSavedValue_;
            registers[12 * 32] = static_cast<int32_t>(aacceReturnAddress_ & 0xFFFF);
            registers[13 * 32 + 1] += 4;
        }
        const Confirmation confirmed = confirmRead("Checking for proper status after reading registers...");
        if (confirmed != Confirmation::Again)
            return confirmed == Confirmation::Done;
    }
    messages_.linkError("Device is not responding.");
    return false;
}

// ---- Memory and code -------------------------------------------------------------

bool JtagDriver::readMemoryBlock(uint64_t byteAddress, size_t count, uint8_t* buffer)
{
    std::lock_guard lock(mutex_);
    if (!PageCache::wholePage(byteAddress, count, messages_))
        return false;
    const auto setup = engine::blockReadSetup(core(), byteAddress / 2, static_cast<uint16_t>(count / 2));
    if (!setup || !haltedOrHalt())
        return false;
    for (int pass = 0; pass < kMaxRepeats; ++pass) {
        if (!readyToRead("Checking for proper status before reading data...") || !exchange(*setup))
            return false;
        size_t done = 0;
        for (size_t words = count / 2; words > 0;) {
            const size_t k = std::min<size_t>(127, words);
            Bytes reply;
            if (!exchange(records::fillerRecord(static_cast<uint8_t>(2 * k)), reply))
                return false;
            const Bytes data = records::dataBytes(reply);
            std::copy(data.begin(), data.end(), buffer + done);
            done += data.size();
            words -= k;
        }
        const Confirmation confirmed = confirmRead("Checking for proper status after reading data...");
        if (confirmed != Confirmation::Again)
            return confirmed == Confirmation::Done;
    }
    messages_.linkError("Device is not responding.");
    return false;
}

bool JtagDriver::readDataPage(uint64_t byteAddress, Page& page)
{
    return readMemoryBlock(byteAddress, page.size(), page.data());
}

bool JtagDriver::readCodeBlock(uint64_t byteAddress, Page& page)
{
    return readCodePage(*this, is32Bit(), byteAddress, page);
}

int JtagDriver::readMemoryCached(uint64_t byteAddress, size_t count, uint8_t* buffer)
{
    std::lock_guard lock(mutex_);
    return caches_.data.read(byteAddress, count, buffer,
                             [this](uint64_t address, Page& page) { return readDataPage(address, page); });
}

int JtagDriver::readCodeCached(uint64_t wordAddress, size_t byteCount, uint8_t* buffer)
{
    std::lock_guard lock(mutex_);
    return caches_.code.readWords(wordAddress, byteCount, buffer,
                                  [this](uint64_t address, Page& page) { return readCodeBlock(address, page); });
}

bool JtagDriver::writeMemoryWord(uint64_t byteAddress, uint8_t low, uint8_t high)
{
    const auto record = engine::memoryWrite(core(), byteAddress / 2, low, high);
    return record && exchange(*record);
}

int JtagDriver::writeMemoryBlock(uint64_t byteAddress, size_t count, const uint8_t* data)
{
    std::lock_guard lock(mutex_);
    return writeDataMemory(*this, is32Bit(), caches_.data, byteAddress, std::span(data, count));
}

// ---- Breakpoints ------------------------------------------------------------------

int JtagDriver::setCodeBreakpoint(uint64_t address)
{
    std::lock_guard lock(mutex_);
    if (!takesBreakpoints(state_) && !resumeTarget())
        return kLinkFailure;
    return breakpoints_.set(address, [this](int slot, uint64_t at) {
        const auto record = engine::setCodeBreakpoint(core(), slot, at);
        if (!record) {
            char line[96];
            std::snprintf(line, sizeof line,
                          "Unable to set a breakpoint at 0x%04llX: the address is beyond the debug engine's reach.",
                          static_cast<unsigned long long>(at));
            messages_.line(line);
            return kLinkBadArgument;
        }
        return exchange(*record) ? kLinkDone : kLinkFailure;
    });
}

int JtagDriver::clearCodeBreakpoint(uint64_t address)
{
    std::lock_guard lock(mutex_);
    return breakpoints_.clear(address,
                              [this](int slot) { return exchange(engine::clearCodeBreakpoint(core(), slot)); });
}

int JtagDriver::clearAllCodeBreakpoints()
{
    std::lock_guard lock(mutex_);
    return breakpoints_.clearAll([this](int slot) { return exchange(engine::clearCodeBreakpoint(core(), slot)); });
}

bool JtagDriver::findBreakpoint(uint64_t address)
{
    std::lock_guard lock(mutex_);
    return breakpoints_.holds(address);
}

bool JtagDriver::setDataBreakpoint(int which, uint32_t address)
{
    std::lock_guard lock(mutex_);
    return exchange(engine::setDataBreakpoint(which, address));
}

}  // namespace zern
