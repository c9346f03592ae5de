// The chip's debug engine behind the adapter board: halting, running,
// stepping, registers, memory, code and breakpoints, each as binary records.

#include <chrono>
#include <cstring>
#include <thread>

#include "JtagDriver.h"
#include "MessageBoxes.h"

namespace zern {
namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kDebugEntry = {0x00, 0x01, 0x00, 0x03, 0x01, 0x04, 0x00, 0x02, 0x01,
                           0x00, 0x00, 0x01, 0x01, 0x02, 0x00, 0x08, 0x00, 0x02};
constexpr size_t kDebugEntryReply = 12;
const Bytes kTestModeExit = {0x00, 0x01, 0x00, 0x03, 0x01, 0x02, 0x00, 0x08, 0x00, 0x02};
const Bytes kLoaderExit = {0x11, 0x01, 0x00, 0x09, 0x00, 0x06, 0x00, 0x06, 0x00,
                           0x06, 0x00, 0x06, 0x00, 0x06, 0x00, 0x0A, 0x00, 0x06};
const Bytes kLoaderQuit = {0x01, 0x01};
const Bytes kDebugReset = {0x00, 0x09, 0x00, 0x06, 0x00, 0x06, 0x00, 0x06,
                           0x00, 0x06, 0x00, 0x06, 0x00, 0x0A, 0x00, 0x06};
const Bytes kStatus = {0x01, 0x20};
const Bytes kBreak = {0x01, 0x1F};
const Bytes kStep = {0x01, 0x26};
const Bytes kGo = {0x01, 0x27};
const Bytes kResetTarget = {0x00, 0x05};
const Bytes kReleaseTarget = {0x00, 0x04};

constexpr int kStatusTries = 6;
// Loops that repeat a record until the engine answers as hoped give up here.
constexpr int kMaxRepeats = 100;
constexpr uint8_t kFiller = 0x20;
constexpr int kFlagsModule = 8;
constexpr int kCodeWindowRegister = 8;

Bytes withFillers(Bytes record, size_t fillers)
{
    record.insert(record.end(), fillers, kFiller);
    return record;
}

}  // namespace

// ---- Records -------------------------------------------------------------------

bool JtagDriver::exchange(const Bytes& bytes, size_t replyBytes, Bytes& reply, size_t maskFrom, size_t maskCount)
{
    if (maskCount > 0 && trafficLog_.isOpen()) {
        Bytes shown = bytes;
        for (size_t i = maskFrom; i < maskFrom + maskCount && i < shown.size(); ++i)
            shown[i] = '*';
        trafficLog_.log(TrafficDirection::Written, shown.data(), shown.size());
        if (!port_->write(bytes.data(), bytes.size())) {
            reportLinkError("Unable to write the required number of bytes to the serial port.");
            return false;
        }
    } else if (!writeBytes(bytes.data(), bytes.size())) {
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

bool JtagDriver::status(uint8_t& statusByte)
{
    Bytes reply;
    if (!exchange(kStatus, 2, reply))
        return false;
    statusByte = reply[0];
    return true;
}

bool JtagDriver::waitForLongStatus()
{
    Bytes longStatus(17, 0x00);
    longStatus[0] = 0x10;
    Bytes reply;
    for (int tries = 0; tries < kMaxRepeats; ++tries) {
        if (!exchange(longStatus, 32, reply))
            return false;
        if (reply[30] == 1)
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

JtagDriver::Bytes JtagDriver::registerName(int module, int index)
{
    return {static_cast<uint8_t>(((index * 16) + module) & 0xFF), static_cast<uint8_t>(index / 16)};
}

JtagDriver::Bytes JtagDriver::addressBytes(uint64_t wordAddress) const
{
    Bytes bytes;
    for (int i = 0; i < (is32Bit() ? 4 : 2); ++i)
        bytes.push_back(static_cast<uint8_t>(wordAddress >> (8 * i)));
    return bytes;
}

uint8_t& JtagDriver::passwordByte(int context, int offset)
{
    return config_.loaderPasswords[static_cast<size_t>(context) * kPasswordBytes + static_cast<size_t>(offset)];
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
    if (!exchange(kDebugReset, 8))
        return kLinkFailure;
    state_ = TargetState::NotInDebug;
    return kLinkDone;
}

bool JtagDriver::haltTarget()
{
    std::lock_guard lock(mutex_);
    if (state_ == TargetState::Loader) {
        if (!exchange(kLoaderQuit, 2) || resetDebugState() != kLinkDone)
            return false;
    }
    if (state_ == TargetState::NotInDebug) {
        Bytes entry = kDebugEntry;
        entry.insert(entry.end(), kBreak.begin(), kBreak.end());
        if (!exchange(entry, kDebugEntryReply + 2))
            return false;
    } else if (state_ == TargetState::Running) {
        if (!exchange(kBreak, 2))
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
        if (!exchange(kLoaderExit, 18))
            return false;
        // The exit sequence frames more reply bytes than are read above:
        // they must not shift the replies that follow.
        drainSerialInput(*port_);
        [[fallthrough]];
    case TargetState::NotInDebug:
        if (!exchange(kDebugEntry, kDebugEntryReply))
            return false;
        break;
    case TargetState::Halted:
        if (!repeatStepCommands() || !exchange(kGo, 2))
            return false;
        break;
    case TargetState::TestMode:
        if (!exchange(kTestModeExit, 6))
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
    if (!exchange(kBreak, 2))
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
    if (!repeatStepCommands() || !exchange(kStep, 2))
        return false;
    invalidateCaches();
    if (config_.debugReadCount != 0 && !refreshMailbox())
        return false;
    return selectContextPassword() && runAacceHandler();
}

bool JtagDriver::repeatStepCommands()
{
    int repeats = 0;
    if (mailboxHoldsInstructionPointer())
        repeats = config_.debugReadCount;
    else
        repeats = config_.aacceFlag;
    for (int i = 0; i < repeats; ++i)
        if (!exchange(kStep, 2))
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
        Bytes unlock = {0x21, 0x28};
        for (int i = 0; i < kPasswordBytes; ++i)
            unlock.push_back(passwordByte(context, i));
        Bytes reply;
        if (!exchange(unlock, 66, reply, 2, kPasswordBytes))
            return false;
        Bytes read = withFillers(Bytes{0x06, 0x29, 0x08, 0x00}, 3);
        if (!exchange(read, 12, reply))
            return false;
        matched = !(reply[9] == kFiller && reply[11] == kFiller);
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
    // Each step repeats from the long status until its own status byte is 1.
    // A record shorter than its length byte announces is padded with
    // fillers, so that the framing and the reply length agree.
    const auto step = [this](Bytes record, size_t replyBytes, size_t statusAt, Bytes& reply) {
        if (record.size() < size_t{record[0]} + 1)
            record.resize(size_t{record[0]} + 1, kFiller);
        for (int tries = 0; tries < kMaxRepeats; ++tries) {
            if (!waitForLongStatus() || !exchange(record, replyBytes, reply))
                return false;
            if (reply[statusAt] == 1)
                return true;
        }
        reportLinkError("Device is not responding.");
        return false;
    };
    const auto fourBytes = [](uint32_t value) {
        return Bytes{static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
                     static_cast<uint8_t>(value >> 24)};
    };
    const auto append = [](Bytes record, const Bytes& more) {
        record.insert(record.end(), more.begin(), more.end());
        return record;
    };
    Bytes reply;
    if (!step({0x0B, 0x22, 0x20, 0x3C, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x20, 0x20}, 22, 20, reply))
        return false;
    aacceSavedValue_ = reply[17];
    if (!step({0x09, 0x25, 0x1A, 0x3C, 0x00, 0x00, static_cast<uint8_t>(aacceSavedValue_),
               static_cast<uint8_t>(aacceSavedValue_ >> 8), 0x20, 0x20},
              18, 16, reply))
        return false;
    if (!step(withFillers(Bytes{0x09, 0x29, 0x1D, 0x00}, 6), 18, 16, reply))
        return false;
    uint32_t stack = reply[9] | (reply[11] << 8) | (reply[13] << 16) | (static_cast<uint32_t>(reply[15]) << 24);
    if (!step(append(append({0x0D, 0x22}, fourBytes(stack / 2)), {0x02, 0x00, 0x20, 0x20, 0x20, 0x20}), 26, 24,
              reply))
        return false;
    aacceReturnAddress_ = static_cast<int32_t>(reply[17] | (reply[19] << 8) | (reply[21] << 16)
                                               | (static_cast<uint32_t>(reply[23]) << 24));
    stack -= 4;
    if (!step(append({0x09, 0x24, 0x1D, 0x00}, fourBytes(stack)), 18, 16, reply))
        return false;
    const uint32_t value = static_cast<uint32_t>(config_.aacceValue);
    Bytes restore = append({0x10, 0x25}, fourBytes(stack / 2));
    restore = append(restore, {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), 0x25});
    restore = append(restore, fourBytes((stack + 2) / 2));
    restore = append(restore, {static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24), 0x20, 0x20});
    return step(restore, 32, 30, reply);
}

// ---- Registers -----------------------------------------------------------------

bool JtagDriver::readOneRegister(int module, int index, int64_t& value)
{
    std::lock_guard lock(mutex_);
    if (state_ != TargetState::Halted && !haltTarget())
        return false;
    Bytes record = {static_cast<uint8_t>(is32Bit() ? 0x08 : 0x06), 0x29};
    const Bytes name = registerName(module, index);
    record.insert(record.end(), name.begin(), name.end());
    record = withFillers(record, is32Bit() ? 5 : 3);
    Bytes reply;
    for (int tries = 0; tries < kMaxRepeats; ++tries) {
        if (!exchange(record, is32Bit() ? 16 : 12, reply))
            return false;
        if (!is32Bit()) {
            value = reply[9] | (reply[11] << 8);
            return true;
        }
        value = static_cast<int32_t>(reply[9] | (reply[11] << 8) | (reply[13] << 16)
                                     | (static_cast<uint32_t>(reply[15]) << 24));
        if (!config_.zncWorkaround)
            return true;
        reportLinkError("Checking for proper status after reading register...");
        if (reply[8] == 3 && reply[10] == 3 && reply[12] == 3 && reply[14] == 3)
            return true;
    }
    reportLinkError("Device is not responding.");
    return false;
}

bool JtagDriver::writeOneRegister(int module, int index, int32_t value)
{
    std::lock_guard lock(mutex_);
    registersStale_ = true;
    Bytes record = {static_cast<uint8_t>(is32Bit() ? 0x07 : 0x05), 0x24};
    const Bytes name = registerName(module, index);
    record.insert(record.end(), name.begin(), name.end());
    for (int i = 0; i < (is32Bit() ? 4 : 2); ++i)
        record.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
    return exchange(record, is32Bit() ? 14 : 10);
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
        if (!(is32Bit() ? dumpRegisters32() : dumpRegisters16()))
            return false;
        registersStale_ = false;
    }
    values = registers_;
    return true;
}

bool JtagDriver::dumpRegisters16()
{
    Bytes reply;
    if (!exchange(withFillers({0x03, 0x21}, 2), 6, reply))
        return false;
    const int count = reply[5];
    for (int first = 0, chunk = 0; first < count; first += 32, ++chunk) {
        const int k = std::min(32, count - first);
        if (!exchange(withFillers({static_cast<uint8_t>(2 * k)}, static_cast<size_t>(2 * k)),
                      static_cast<size_t>(4 * k), reply))
            return false;
        for (int i = 0; i < k; ++i)
            registers_[static_cast<size_t>(chunk * 32 + i)] = reply[4 * i + 1] | (reply[4 * i + 3] << 8);
    }
    if (!exchange(withFillers({0x40}, 64), 128, reply))
        return false;
    const auto d = [&](int j) { return static_cast<int32_t>(reply[static_cast<size_t>(2 * j + 1)]); };
    const auto word = [&](int j) { return d(j) | (d(j + 1) << 8); };
    const auto set = [&](int module, int index, int32_t value) {
        registers_[static_cast<size_t>(module * 32 + index)] = value;
    };
    const int flagsIndexes[] = {0, 1, 4, 5, 6, 8, 11, 14, 15};
    for (int i = 0; i < 9; ++i)
        set(kFlagsModule, flagsIndexes[i], d(i));
    for (int i = 0; i < 16; ++i)
        set(9, i, word(10 + 2 * i));
    set(12, 0, mailboxHoldsInstructionPointer() ? (mailbox_[2] | (mailbox_[3] << 8)) : word(42));
    set(13, 2, word(46));
    set(13, 6, word(48));
    set(13, 7, word(50));
    const int32_t b = word(52);
    const int32_t c = word(56);
    const int32_t e = word(58);
    set(14, 3, b);
    set(14, 4, word(54));
    set(14, 5, c);
    set(14, 6, c & 0xFF);
    set(14, 8, ((c & 0xFF) << 8) | ((c >> 8) & 0xFF));
    set(14, 9, (c >> 8) & 0xFF);
    set(14, 10, static_cast<int16_t>(static_cast<int8_t>(c & 0xFF)) & 0xFFFF);
    set(14, 7, e);
    set(14, 11, e + b);
    set(15, 3, word(60));
    set(15, 7, word(62));
    int64_t stack = 0;
    if (!readOneRegister(13, 1, stack))
        return false;
    if (stack == 0)
        stack = config_.stackDepth;
    if (config_.processorFamily == 68) {
        set(13, 1, static_cast<int32_t>(stack + 1));
        const int from[] = {31, 28, 29, 30, 26, 27, 25};
        const int toModule[] = {8, 8, 8, 8, 8, 8, 15};
        const int toIndex[] = {2, 8, 9, 10, 12, 13, 11};
        for (int i = 0; i < 7; ++i)
            set(toModule[i], toIndex[i], registers_[static_cast<size_t>(5 * 32 + from[i])]);
    } else {
        set(13, 1, static_cast<int32_t>(stack - 1));
    }
    return true;
}

bool JtagDriver::dumpRegisters32()
{
    for (int pass = 0; pass < kMaxRepeats; ++pass) {
        if (!readyToRead("Checking for proper status before reading registers..."))
            return false;
        Bytes reply;
        if (!exchange(withFillers({0x04, 0x21}, 3), 8, reply))
            return false;
        const int count = reply[7];
        for (int first = 0, chunk = 0; first < count; first += 32, ++chunk) {
            const int k = std::min(32, count - first);
            if (!exchange(withFillers({static_cast<uint8_t>(4 * k)}, static_cast<size_t>(4 * k)),
                          static_cast<size_t>(8 * k), reply))
                return false;
            for (int i = 0; i < k; ++i)
                registers_[static_cast<size_t>(chunk * 32 + i)] = static_cast<int32_t>(
                    reply[8 * i + 1] | (reply[8 * i + 3] << 8) | (reply[8 * i + 5] << 16)
                    | (static_cast<uint32_t>(reply[8 * i + 7]) << 24));
        }
        if (!exchange(withFillers({0x6C}, 108), 216, reply))
            return false;
        const auto d = [&](int j) { return static_cast<uint32_t>(reply[static_cast<size_t>(2 * j + 1)]); };
        const auto word = [&](int j) { return static_cast<int32_t>(d(j) | (d(j + 1) << 8)); };
        const auto dword = [&](int j) {
            return static_cast<int32_t>(d(j) | (d(j + 1) << 8) | (d(j + 2) << 16) | (d(j + 3) << 24));
        };
        const auto set = [&](int module, int index, int32_t value) {
            registers_[static_cast<size_t>(module * 32 + index)] = value;
        };
        set(8, 0, static_cast<int32_t>(d(0)));
        set(8, 1, static_cast<int32_t>(d(1)));
        set(8, 4, word(2));
        set(8, 5, static_cast<int32_t>(d(4)));
        set(8, 8, word(6));
        set(8, 9, word(8));
        set(8, 10, word(10));
        set(8, 14, word(12));
        set(8, 15, static_cast<int32_t>(d(14)));
        for (int i = 0; i < 16; ++i)
            set(9, i, dword(16 + 4 * i));
        set(12, 0, dword(80));
        set(13, 1, dword(84));
        set(13, 6, word(88));
        set(13, 7, word(90));
        set(14, 0, dword(92));
        set(14, 3, dword(96));
        set(15, 3, dword(100));
        set(15, 13, dword(104));
        if (config_.aacceFlag != 0) {
            set(8, 0, aacceSavedValue_);
            set(12, 0, static_cast<int32_t>(aacceReturnAddress_ & 0xFFFF));
            set(13, 1, registers_[13 * 32 + 1] + 4);
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
    const uint64_t wordAddress = byteAddress / 2;
    if (wordAddress > (is32Bit() ? 0xFFFFFFFFull : 0xFFFFull))
        return false;
    if (state_ != TargetState::Halted && !haltTarget())
        return false;
    for (int pass = 0; pass < kMaxRepeats; ++pass) {
        if (!readyToRead("Checking for proper status before reading data..."))
            return false;
        Bytes setup = {static_cast<uint8_t>(is32Bit() ? 0x08 : 0x06), 0x22};
        const Bytes address = addressBytes(wordAddress);
        setup.insert(setup.end(), address.begin(), address.end());
        setup.insert(setup.end(), {0x80, 0x00, kFiller});
        if (!exchange(setup, is32Bit() ? 16 : 12))
            return false;
        size_t done = 0;
        for (size_t words = count / 2; words > 0;) {
            const size_t k = std::min<size_t>(127, words);
            Bytes reply;
            if (!exchange(withFillers({static_cast<uint8_t>(2 * k)}, 2 * k), 4 * k, reply))
                return false;
            for (size_t i = 0; i < 2 * k; ++i)
                buffer[done++] = reply[2 * i + 1];
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
    Bytes record = {static_cast<uint8_t>(is32Bit() ? 0x07 : 0x05), 0x25};
    const Bytes address = addressBytes(byteAddress / 2);
    record.insert(record.end(), address.begin(), address.end());
    record.push_back(low);
    record.push_back(high);
    return exchange(record, is32Bit() ? 14 : 10);
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
        Bytes record = {static_cast<uint8_t>(is32Bit() ? 0x06 : 0x05), static_cast<uint8_t>(0x15 + slot)};
        for (int i = 0; i < (is32Bit() ? 3 : 2); ++i)
            record.push_back(static_cast<uint8_t>(address >> (8 * i)));
        record.insert(record.end(), {0x11, 0x80});
        if (!exchange(record, is32Bit() ? 12 : 10))
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
        Bytes record = {static_cast<uint8_t>(is32Bit() ? 0x04 : 0x03), static_cast<uint8_t>(0x15 + slot)};
        record.insert(record.end(), is32Bit() ? 3 : 2, 0xFF);
        if (!exchange(record, is32Bit() ? 8 : 6))
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
    Bytes record = {0x07, static_cast<uint8_t>(0x19 + which)};
    for (int i = 0; i < 4; ++i)
        record.push_back(static_cast<uint8_t>(address >> (8 * i)));
    record.insert(record.end(), {0x11, 0x80});
    return exchange(record, 14);
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
    if (!exchange(kResetTarget, 1) || resetDebugState() != kLinkDone || !resumeTarget()
        || clearAllCodeBreakpoints() != kLinkDone || setCodeBreakpoint(userStart) != kLinkDone
        || !exchange(kReleaseTarget, 1))
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
