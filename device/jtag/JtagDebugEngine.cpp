// The chip's debug engine behind the adapter board: halting, running,
// stepping, registers, memory, code and breakpoints, each as binary records.

#include <chrono>
#include <cstring>
#include <thread>

#include "DebugEngineRecords.h"
#include "JtagDriver.h"
#include "MessageBoxes.h"
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
constexpr int kCodeWindowRegister = 8;
constexpr uint8_t kResetTarget = 0x05;
constexpr uint8_t kReleaseTarget = 0x04;

}  // namespace

// ---- Records -------------------------------------------------------------------

bool JtagDriver::exchange(const Bytes& bytes, size_t replyBytes, Bytes& reply)
{
    // Password bytes never reach the traffic log.
    const Bytes shown = records::maskPasswordsForLog(bytes);
    trafficLog_.log(TrafficDirection::Written, shown.data(), shown.size());
    if (!port_->write(bytes.data(), bytes.size())) {
        reportLinkError("Unable to write the required number of bytes to the serial port.");
        return false;
    }
    reply.assign(replyBytes, 0);
    return readBytes(reply.data(), replyBytes);
}

bool JtagDriver::exchange(const Bytes& bytes, size_t replyBytes)
{
    Bytes reply;
    return exchange(bytes, replyBytes, reply);
}

bool JtagDriver::exchange(const records::WireRecord& record, Bytes& reply)
{
    return exchange(record.bytes, record.replyBytes, reply);
}

bool JtagDriver::exchange(const records::WireRecord& record)
{
    return exchange(record.bytes, record.replyBytes);
}

records::Core JtagDriver::core() const
{
    return is32Bit() ? records::Core::Bits32 : records::Core::Bits16;
}

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
    reportLinkError("Device is not responding.");
    return false;
}

bool JtagDriver::readyToRead(const char* check)
{
    if (!config_.zncWorkaround)
        return true;
    reportLinkError(check);
    return waitForLongStatus();
}

JtagDriver::Confirmation JtagDriver::confirmRead(const char* check)
{
    if (!config_.zncWorkaround)
        return Confirmation::Done;
    reportLinkError(check);
    uint8_t statusByte = 0;
    if (!status(statusByte))
        return Confirmation::Failed;
    return statusByte == 1 ? Confirmation::Done : Confirmation::Again;
}

uint8_t& JtagDriver::passwordByte(int context, int offset)
{
    return config_.loaderPasswords[static_cast<size_t>(context) * kPasswordBytes + static_cast<size_t>(offset)];
}

std::array<uint8_t, kPasswordBytes> JtagDriver::password(int context)
{
    std::array<uint8_t, kPasswordBytes> bytes{};
    for (int i = 0; i < kPasswordBytes; ++i)
        bytes[static_cast<size_t>(i)] = passwordByte(context, i);
    return bytes;
}

void JtagDriver::invalidateCaches()
{
    registersStale_ = true;
    codePages_.clear();
    dataPages_.clear();
}

// ---- Target state --------------------------------------------------------------

int JtagDriver::resetDebugState()
{
    std::lock_guard lock(mutex_);
    invalidateCaches();
    if (!exchange(engine::debugReset()))
        return kLinkFailure;
    state_ = TargetState::NotInDebug;
    return kLinkDone;
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
        if (halted == 1) {
            state_ = TargetState::Halted;
            return selectContextPassword();
        }
    }
    logLine("Unable to pause the device.  It may be in STOP mode.");
    return false;
}

bool JtagDriver::resumeTarget()
{
    std::lock_guard lock(mutex_);
    invalidateCaches();
    switch (state_) {
    case TargetState::Loader:
        if (!exchange(engine::loaderExit()))
            return false;
        // The exit sequence frames more reply bytes than are read above:
        // they must not shift the replies that follow.
        drainSerialInput(*port_);
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
    if (last == 1) {
        state_ = TargetState::Halted;
        return selectContextPassword();
    }
    if (last != 0)
        logLine("Warning: Communication failed, device may be in STOP mode.");
    state_ = TargetState::Running;
    return true;
}

bool JtagDriver::runTarget()
{
    std::lock_guard lock(mutex_);
    invalidateCaches();
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
    switch (state_) {
    case TargetState::NotInDebug:
        halted = false;
        return true;
    case TargetState::Loader:
    case TargetState::Halted:
        halted = true;
        return true;
    case TargetState::Running:
        break;
    case TargetState::TestMode:
        reportLinkError("TAP controller has entered an unknown mode.");
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
        state_ = TargetState::Halted;
        return selectContextPassword();
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
            state_ = TargetState::Halted;
            return selectContextPassword();
        }
    }
    return true;
}

bool JtagDriver::singleStep()
{
    std::lock_guard lock(mutex_);
    invalidateCaches();
    if (state_ != TargetState::Halted && !haltTarget())
        return false;
    if (!repeatStepCommands() || !exchange(engine::step()))
        return false;
    invalidateCaches();
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
    const int contexts = static_cast<int>(config_.loaderPasswords.size() / kPasswordBytes);
    bool matched = false;
    for (int context = 0; context < contexts && !matched; ++context) {
        Bytes reply;
        if (!exchange(engine::contextPassword(password(context)))
            || !exchange(engine::registerRead(core(), kFlagsModule, 0), reply))
            return false;
        // A locked context reads the fillers back.
        matched = !(records::pairData(reply, 4) == 0x20 && records::pairData(reply, 5) == 0x20);
        if (config_.debugReadCount != 0) {
            dataPages_.clear();
            if (!refreshMailbox())
                return false;
        }
    }
    if (!matched) {
        logLine("The correct password for the current context could not be determined.");
        logLine("All register and memory displays will be invalid.");
    }
    return true;
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
        reportLinkError("Device is not responding.");
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
    std::lock_guard lock(mutex_);
    if (state_ != TargetState::Halted && !haltTarget())
        return false;
    const WireRecord record = engine::registerRead(core(), static_cast<uint8_t>(module), static_cast<uint8_t>(index));
    Bytes reply;
    for (int tries = 0; tries < kMaxRepeats; ++tries) {
        if (!exchange(record, reply))
            return false;
        value = engine::registerReadValue(core(), reply);
        if (!is32Bit() || !config_.zncWorkaround)
            return true;
        reportLinkError("Checking for proper status after reading register...");
        if (engine::registerReadStatusGood(reply))
            return true;
    }
    reportLinkError("Device is not responding.");
    return false;
}

bool JtagDriver::writeOneRegister(int module, int index, int32_t value)
{
    std::lock_guard lock(mutex_);
    registersStale_ = true;
    return exchange(engine::registerWrite(core(), static_cast<uint8_t>(module), static_cast<uint8_t>(index), value));
}

int JtagDriver::readInstructionPointer(int64_t& address)
{
    std::lock_guard lock(mutex_);
    if (state_ != TargetState::Halted && !haltTarget())
        return kLinkFailure;
    if (mailboxHoldsInstructionPointer()) {
        address = mailbox_[2] | (mailbox_[3] << 8);
        return kLinkDone;
    }
    if (is32Bit() && config_.aacceFlag != 0) {
        address = aacceReturnAddress_;
        return kLinkDone;
    }
    return readOneRegister(12, 0, address) ? kLinkDone : kLinkFailure;
}

bool JtagDriver::readAllRegisters(std::array<int32_t, kRegisterCount>& values)
{
    std::lock_guard lock(mutex_);
    if (registersStale_) {
        if (state_ != TargetState::Halted && !haltTarget())
            return false;
        if (!dumpRegisters())
            return false;
        registersStale_ = false;
    }
    values = registers_;
    return true;
}

bool JtagDriver::dumpRegisters()
{
    const int perRegister = is32Bit() ? 4 : 2;
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
            dump::decodeRegisterChunk(core(), reply, module, registers_);
        }
        if (!exchange(records::fillerRecord(engine::specialRegisterBytes(core())), reply))
            return false;
        dump::decodeSpecialRegisters(core(), reply, registers_);
        if (!is32Bit()) {
            if (mailboxHoldsInstructionPointer())
                registers_[12 * 32] = mailbox_[2] | (mailbox_[3] << 8);
            int64_t stack = 0;
            if (!readOneRegister(13, 1, stack))
                return false;
            dump::finishSixteenBitDump(config_.processorFamily, static_cast<uint32_t>(stack), config_.stackDepth,
                                       registers_);
            return true;
        }
        if (config_.aacceFlag != 0) {
            registers_[8 * 32] = aacceSavedValue_;
            registers_[12 * 32] = static_cast<int32_t>(aacceReturnAddress_ & 0xFFFF);
            registers_[13 * 32 + 1] += 4;
        }
        const Confirmation confirmed = confirmRead("Checking for proper status after reading registers...");
        if (confirmed != Confirmation::Again)
            return confirmed == Confirmation::Done;
    }
    reportLinkError("Device is not responding.");
    return false;
}

// ---- Memory and code -------------------------------------------------------------

bool JtagDriver::readMemoryBlock(uint64_t byteAddress, size_t count, uint8_t* buffer)
{
    std::lock_guard lock(mutex_);
    if (byteAddress % 256 != 0) {
        reportLinkError("Attempting to read a partial block of data. (1)");
        return false;
    }
    if (count != 256) {
        reportLinkError("Attempting to read a partial block of data. (2)");
        return false;
    }
    const auto setup = engine::blockReadSetup(core(), byteAddress / 2, static_cast<uint16_t>(count / 2));
    if (!setup)
        return false;
    if (state_ != TargetState::Halted && !haltTarget())
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
    reportLinkError("Device is not responding.");
    return false;
}

bool JtagDriver::readCodeBlock(uint64_t byteAddress, Page& page)
{
    int64_t window = 0;
    if (!readOneRegister(kFlagsModule, kCodeWindowRegister, window))
        return false;
    uint64_t address = byteAddress;
    int32_t selected = static_cast<int32_t>(window) & ~0x20;
    if (address >= 0x10000) {
        selected = static_cast<int32_t>(window) | 0x20;
        address -= 0x10000;
    }
    const bool read = writeOneRegister(kFlagsModule, kCodeWindowRegister, selected)
                      && readMemoryBlock(address + (is32Bit() ? 0x1000000 : 0x10000), page.size(), page.data());
    const bool restored = writeOneRegister(kFlagsModule, kCodeWindowRegister, static_cast<int32_t>(window));
    return read && restored;
}

int JtagDriver::readCached(PageCache& cache, uint64_t byteAddress, size_t count, uint8_t* buffer, bool code)
{
    if (count == 0)
        return kLinkDone;
    if (byteAddress + count < byteAddress)
        return kLinkBadArgument;
    const uint64_t first = byteAddress / 256;
    const uint64_t last = (byteAddress + count - 1) / 256;
    for (uint64_t page = first; page <= last; ++page) {
        if (cache.count(page))
            continue;
        Page data{};
        if (!(code ? readCodeBlock(page * 256, data) : readMemoryBlock(page * 256, data.size(), data.data())))
            return kLinkFailure;
        cache[page] = data;
    }
    for (size_t i = 0; i < count; ++i) {
        const uint64_t address = byteAddress + i;
        buffer[i] = cache[address / 256][address % 256];
    }
    return kLinkDone;
}

int JtagDriver::readMemoryCached(uint64_t byteAddress, size_t count, uint8_t* buffer)
{
    std::lock_guard lock(mutex_);
    return readCached(dataPages_, byteAddress, count, buffer, false);
}

int JtagDriver::readCodeCached(uint64_t wordAddress, size_t byteCount, uint8_t* buffer)
{
    std::lock_guard lock(mutex_);
    if (wordAddress == ~0ull) {
        std::memset(buffer, 0xFF, byteCount);
        return kLinkDone;
    }
    if (wordAddress > (~0ull >> 1))
        return kLinkBadArgument;
    return readCached(codePages_, wordAddress * 2, byteCount, buffer, true);
}

bool JtagDriver::writeMemoryWord(uint64_t byteAddress, uint8_t low, uint8_t high)
{
    const auto record = engine::memoryWrite(core(), byteAddress / 2, low, high);
    return record && exchange(*record);
}

int JtagDriver::writeMemoryBlock(uint64_t byteAddress, size_t count, const uint8_t* data)
{
    std::lock_guard lock(mutex_);
    dataPages_.clear();
    if (count == 0)
        return kLinkDone;
    if ((byteAddress + count - 1) / 2 > (is32Bit() ? 0xFFFFFFFFull : 0xFFFFull))
        return kLinkBadArgument;
    if (state_ != TargetState::Halted && !haltTarget())
        return kLinkFailure;
    int result = kLinkDone;
    for (size_t i = 0; i < count && result == kLinkDone;) {
        const uint64_t address = byteAddress + i;
        if (address % 2 == 0 && count - i >= 2) {
            if (!writeMemoryWord(address, data[i], data[i + 1]))
                result = kLinkFailure;
            i += 2;
            continue;
        }
        // A single byte: the other half of its word keeps its value.
        uint8_t word[2];
        const uint64_t even = address & ~1ull;
        if (readCached(dataPages_, even, 2, word, false) != kLinkDone
            || !writeMemoryWord(even, address % 2 == 0 ? data[i] : word[0], address % 2 == 0 ? word[1] : data[i]))
            result = kLinkFailure;
        ++i;
    }
    // Reads after the write see the new bytes.
    dataPages_.clear();
    return result;
}

// ---- Breakpoints ------------------------------------------------------------------

int JtagDriver::setCodeBreakpoint(uint64_t address)
{
    std::lock_guard lock(mutex_);
    if (state_ != TargetState::Halted && state_ != TargetState::Running && !resumeTarget())
        return kLinkFailure;
    for (size_t slot = 0; slot < breakpointSlots_.size(); ++slot) {
        if (breakpointSlots_[slot])
            continue;
        const auto record = engine::setCodeBreakpoint(core(), static_cast<int>(slot), address);
        if (!record)
            return kLinkBadArgument;
        if (!exchange(*record))
            return kLinkFailure;
        breakpointSlots_[slot] = address;
        return kLinkDone;
    }
    platform::messageBoxes().show("Breakpoint Limit",
                                  "Unable to add breakpoint!\n\nThe maximum number of breakpoints\nhas been reached.",
                                  platform::BoxButtons::Ok, platform::BoxIcon::Warning);
    return kLinkBadArgument;
}

int JtagDriver::clearCodeBreakpoint(uint64_t address)
{
    std::lock_guard lock(mutex_);
    for (size_t slot = 0; slot < breakpointSlots_.size(); ++slot) {
        if (breakpointSlots_[slot] != address)
            continue;
        if (!exchange(engine::clearCodeBreakpoint(core(), static_cast<int>(slot))))
            return kLinkFailure;
        breakpointSlots_[slot].reset();
        return kLinkDone;
    }
    return kLinkBadArgument;
}

int JtagDriver::clearAllCodeBreakpoints()
{
    std::lock_guard lock(mutex_);
    for (const auto& slot : breakpointSlots_)
        if (slot && clearCodeBreakpoint(*slot) != kLinkDone)
            return kLinkFailure;
    return kLinkDone;
}

bool JtagDriver::findBreakpoint(uint64_t address)
{
    std::lock_guard lock(mutex_);
    for (const auto& slot : breakpointSlots_)
        if (slot == address)
            return true;
    return false;
}

bool JtagDriver::setDataBreakpoint(int which, uint32_t address)
{
    std::lock_guard lock(mutex_);
    return exchange(engine::setDataBreakpoint(which, address));
}

// ---- Start-up ---------------------------------------------------------------------

int JtagDriver::initializeTarget()
{
    std::lock_guard lock(mutex_);
    invalidateCaches();
    registers_.fill(0);
    const auto saved = breakpointSlots_;
    if (!initialised_ && startBoard() != kLinkDone)
        return kLinkFailure;
    const uint64_t userStart = static_cast<uint32_t>(config_.userCodeStart);
    if (!exchange(engine::boardOperation(kResetTarget)) || resetDebugState() != kLinkDone || !resumeTarget()
        || clearAllCodeBreakpoints() != kLinkDone || setCodeBreakpoint(userStart) != kLinkDone
        || !exchange(engine::boardOperation(kReleaseTarget)))
        return kLinkFailure;
    bool halted = false;
    for (int waited = 0;; waited += timing_.startupPollMs) {
        if (!pollStatus(halted))
            return kLinkFailure;
        if (halted || waited >= config_.startupDelayMs)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(timing_.startupPollMs));
    }
    if (!halted)
        reportLinkError("The ZERN did not enter debug mode after the reset.");
    if (clearCodeBreakpoint(userStart) != kLinkDone)
        return kLinkFailure;
    for (const auto& slot : saved)
        if (slot)
            setCodeBreakpoint(*slot);
    return kLinkDone;
}

}  // namespace zern
