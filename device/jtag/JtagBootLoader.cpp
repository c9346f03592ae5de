// The chip's ROM boot loader behind the adapter board: entering it, erasing
// the flash with the configured command records, writing program pages in
// its fixed-length or variable-length form, and the post-load commands.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "JtagDriver.h"

namespace zern {
namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kResetTarget = {0x00, 0x05};
const Bytes kLoaderEntry = {0x00, 0x01, 0x00, 0x03, 0x01, 0x04, 0x00, 0x02, 0x01, 0x01, 0x00,
                            0x06, 0x00, 0x04, 0x00, 0x01, 0x01, 0x02, 0x00, 0x02, 0x00, 0x08};
const Bytes kTestModeOn = {0x00, 0x01, 0x00, 0x03, 0x01, 0x06, 0x00, 0x02, 0x00, 0x13, 0x01, 0x01, 0x00, 0x04};
const Bytes kTestModeOff = {0x00, 0x01, 0x00, 0x03, 0x01, 0x06, 0x00, 0x02, 0x00, 0x13, 0x01, 0x00, 0x00, 0x05};
const Bytes kPrompt = {0x01, 0x00};
const Bytes kWritePrompt = {0x02, 0x00, 0x00};
const Bytes kPostWritePrompt = {0x05, 0x00, 0x00, 0x00, 0x00, 0x00};
const Bytes kStatus = {0x04, 0x04, 0x00, 0x00, 0x00};
const Bytes kStatusLong = {0x05, 0x04, 0x00, 0x00, 0x00, 0x00};
const Bytes kInformation = {0x06, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00};
const Bytes kMasterErase = {0x01, 0x02};
const Bytes kExtendedOn = {0x03, 0x0A, 0x01, 0x00};
const Bytes kExtendedOff = {0x03, 0x0A, 0x00, 0x00};

constexpr uint8_t kPromptCharacter = '>';
constexpr uint16_t kVariableLengthFlag = 0x0002;
constexpr uint16_t kFixedLengthFlag = 0x0200;
constexpr uint16_t kLongPageReadFlag = 0x0400;
constexpr uint16_t kShortPageReadFlag = 0x0004;
constexpr uint16_t kEraseLastBlockFlag = 0x4000;
constexpr uint8_t kCodeWrite = 0x90;
constexpr uint8_t kCodeRead = 0xA0;
constexpr uint8_t kVariableCodeWrite = 0x10;
constexpr size_t kMaxRecordBytes = 255;
// The ZNC work-around waits for the loader's prompt at most this often.
constexpr int kMaxPromptRepeats = 100;

std::string formatted(const char* format, int value)
{
    char text[160];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void appendLittleEndian(Bytes& bytes, uint64_t value, int count)
{
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

void JtagDriver::resetPasswords()
{
    std::fill(config_.loaderPasswords.begin(), config_.loaderPasswords.end(), kErasedByte);
}

bool JtagDriver::loaderPrompt(const Bytes& record, size_t replyBytes, size_t promptAt, int tries)
{
    Bytes reply;
    for (int attempt = 0; attempt < tries; ++attempt) {
        if (!exchange(record, replyBytes, reply))
            return false;
        if (reply[promptAt] == kPromptCharacter)
            return true;
    }
    return false;
}

bool JtagDriver::loaderStatus(uint8_t& statusByte, bool longForm, uint8_t* detail)
{
    Bytes reply;
    if (!exchange(longForm ? kStatusLong : kStatus, longForm ? 10 : 8, reply))
        return false;
    statusByte = reply[7];
    if (detail)
        *detail = reply[5];
    return true;
}

void JtagDriver::zncPromptAfterFailure()
{
    Bytes reply;
    for (int tries = 0; tries < kMaxPromptRepeats; ++tries)
        if (!exchange(kPrompt, 2, reply) || (reply[0] == 0x03 && reply[1] == kPromptCharacter))
            return;
}

bool JtagDriver::loaderInformation(bool code)
{
    Bytes reply;
    if (!exchange(kInformation, 12, reply))
        return false;
    loaderFlags_ = static_cast<uint16_t>(reply[5] | (reply[7] << 8));
    const size_t pageUnit = code ? reply[9] : reply[11];
    const size_t header = is32Bit() ? 6 : 4;
    if (loaderFlags_ & kVariableLengthFlag) {
        loaderFixedLength_ = false;
        return true;
    }
    if (loaderFlags_ & kFixedLengthFlag) {
        loaderFixedLength_ = true;
        pageSize_ = is32Bit() ? 2 * reply[9] : pageUnit;
        // The page and its record header must fit the record's length byte.
        if (pageSize_ > 0 && pageSize_ + header <= kMaxRecordBytes)
            return true;
    }
    reportLinkError("Unable to determine if loader supports fixed or variable length loading.");
    return false;
}

bool JtagDriver::enterLoader(bool sendPasswords)
{
    std::lock_guard lock(mutex_);
    if (rlaMode())
        return true;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!exchange(kResetTarget, 1) || resetDebugState() != kLinkDone)
            return false;
        if (config_.testModeFlag) {
            logLine("Setting TDB bits to 0x01");
            if (!exchange(kTestModeOn, 9))
                return false;
            logLine("Done.");
            state_ = TargetState::TestMode;
            if (!resumeTarget()) {
                logLine("Unable to enter IC-Debug after setting test mode.");
                return false;
            }
            char line[80];
            std::snprintf(line, sizeof line, "Writing M%d[%d] = 0x%02x", config_.testModeValues[0],
                          config_.testModeValues[1], config_.testModeValues[2]);
            logLine(line);
            if (!writeOneRegister(config_.testModeValues[0], config_.testModeValues[1], config_.testModeValues[2])) {
                logLine("Unable to write register.");
                return false;
            }
            logLine("Setting TDB bits to 0x00");
            if (!exchange(kTestModeOff, 9))
                return false;
            logLine("Done.");
        }
        if (!exchange(kLoaderEntry, 14))
            return false;
        logLine("Entering Loader");
        if (loaderPrompt(kPrompt, 2, 1, 5)) {
            logLine("Prompt received.");
            state_ = TargetState::Loader;
            if (sendPasswords && !is32Bit()) {
                const int contexts = static_cast<int>(config_.loaderPasswords.size() / kPasswordBytes);
                for (int context = 0; context < contexts; ++context) {
                    Bytes unlock = {0x21, 0x03};
                    for (int i = 0; i < kPasswordBytes; ++i)
                        unlock.push_back(passwordByte(context, i));
                    Bytes reply;
                    if (!exchange(unlock, 66, reply))
                        return false;
                }
            }
            return loaderInformation(true);
        }
        reportLinkError("No prompt received when activating the boot loader.");
    }
    return false;
}

bool JtagDriver::runCommandList(const CommandList& list, const char* title)
{
    for (const CommandRecord& record : list) {
        std::string line = title;
        for (uint8_t byte : record)
            line += formatted("%02x, ", byte);
        Bytes framed(record.size() + 1);
        framed[0] = static_cast<uint8_t>(record.size());
        std::copy(record.begin(), record.end(), framed.begin() + 1);
        uint8_t statusByte = 0;
        if (!exchange(framed, 2 * record.size()) || !loaderStatus(statusByte))
            return false;
        logLine(line + formatted("Status: %02x", statusByte));
    }
    return true;
}

bool JtagDriver::eraseFlash()
{
    std::lock_guard lock(mutex_);
    invalidateCaches();
    if (resetDebugState() != kLinkDone)
        return false;
    if (rlaMode()) {
        resetPasswords();
        return true;
    }
    if (state_ != TargetState::Loader && !enterLoader(false))
        return false;
    if (!loaderPrompt(kPrompt, 2, 1, 5)) {
        reportLinkError("No prompt received from the boot loader.");
        return false;
    }
    if (!runCommandList(config_.preEraseCommands, "Pre-Erase Command: "))
        return false;
    logLine("Erasing...");
    if (!exchange(kMasterErase, 2))
        return false;
    const int previousTimeout = port_->readTimeout();
    port_->setReadTimeout(std::max(1, config_.expectedEraseTime) * timing_.eraseTimeoutUnitMs);
    // The erase ends with the prompt; its status tells whether it worked.
    loaderPrompt(kPrompt, 2, 1, 10);
    port_->setReadTimeout(timing_.afterEraseFirstByteMs);
    resetPasswords();
    uint8_t statusByte = 0;
    const bool statusRead = loaderStatus(statusByte);
    port_->setReadTimeout(previousTimeout);
    if (!statusRead)
        return false;
    if (statusByte != 0) {
        logLine(formatted("Bad status code received (0x%02x) from the boot loader after master erase.", statusByte));
        return false;
    }
    if (config_.eraseLastPage && (loaderFlags_ & kEraseLastBlockFlag)) {
        logLine("Erasing last block of flash.");
        const uint32_t last = static_cast<uint32_t>(config_.codeSize - 1);
        if (!exchange({0x05, 0xE0, 0x00, static_cast<uint8_t>(last >> 8), static_cast<uint8_t>(last >> 16), 0x00}, 10))
            return false;
    }
    return runCommandList(config_.postEraseCommands, "Post-Erase Command: ");
}

int JtagDriver::writeProgramBlock(uint64_t byteAddress, size_t count, const uint8_t* data)
{
    std::lock_guard lock(mutex_);
    codePages_.clear();
    if (count == 0 || count > kMaxRecordBytes)
        return kLinkBadArgument;
    if (rlaMode()) {
        if (erasePending_) {
            if (!eraseFlash())
                return kLinkFailure;
            erasePending_ = false;
        }
        return loaderWrite(byteAddress, count, data, true);
    }
    if (state_ != TargetState::Loader && !enterLoader(false))
        return kLinkFailure;
    if (erasePending_) {
        if (!eraseFlash())
            return kLinkFailure;
        erasePending_ = false;
    }
    if (!loaderPrompt(kWritePrompt, 4, 3, 5)) {
        reportLinkError("No prompt received from the boot loader when trying to write code.");
        return kLinkFailure;
    }
    return loaderWrite(byteAddress, count, data, true);
}

bool JtagDriver::readLoaderPage(uint64_t pageAddress, bool code, bool extended, Bytes& page)
{
    const size_t p = pageSize_;
    page.assign(p, kErasedByte);
    Bytes record;
    size_t replyBytes = 0;
    size_t dataFrom = 0;
    const uint8_t command = static_cast<uint8_t>(kCodeRead + (code ? 0 : 1));
    if (is32Bit()) {
        record = {static_cast<uint8_t>(p + 6), command, static_cast<uint8_t>(p / 2), 0x00};
        appendLittleEndian(record, pageAddress / 2, 3);
        replyBytes = 2 * p + 12;
        dataFrom = 6;
    } else if (extended || (loaderFlags_ & kLongPageReadFlag)) {
        record = {static_cast<uint8_t>(p + 4), command, static_cast<uint8_t>(extended ? p / 2 : p)};
        appendLittleEndian(record, extended ? pageAddress / 2 : pageAddress, 2);
        replyBytes = 2 * p + 8;
        // The page follows the four header bytes.
        dataFrom = 4;
    } else if (loaderFlags_ & kShortPageReadFlag) {
        record = {static_cast<uint8_t>(p + 8), static_cast<uint8_t>(code ? 0x20 : 0x21), 0x01};
        appendLittleEndian(record, pageAddress, 2);
        record.push_back(static_cast<uint8_t>(p));
        record.insert(record.end(), 3, 0x00);
        replyBytes = 2 * p + 16;
        dataFrom = 6;
    } else {
        return true;
    }
    record.insert(record.end(), record[0] + 1 - record.size(), 0x00);
    Bytes reply;
    if (!exchange(record, replyBytes, reply))
        return false;
    for (size_t i = 0; i < p; ++i)
        page[i] = reply[2 * (dataFrom + i) + 1];
    if (is32Bit() || extended)
        return true;
    uint8_t statusByte = 0;
    return loaderStatus(statusByte, true);
}

bool JtagDriver::writeFixedPages(uint64_t byteAddress, size_t count, const uint8_t* data, bool code, bool extended)
{
    const size_t p = pageSize_;
    size_t done = 0;
    while (done < count) {
        const uint64_t address = byteAddress + done;
        const uint64_t pageAddress = address - address % p;
        const size_t offset = static_cast<size_t>(address - pageAddress);
        Bytes page(p, kErasedByte);
        if (offset != 0 && !readLoaderPage(pageAddress, code, extended, page))
            return false;
        const size_t taken = std::min(p - offset, count - done);
        std::copy(data + done, data + done + taken, page.begin() + static_cast<long>(offset));
        done += taken;
        if ((extended || is32Bit()) && std::all_of(page.begin(), page.end(), [](uint8_t b) { return b == kErasedByte; }))
            continue;
        const uint8_t command = static_cast<uint8_t>(kCodeWrite + (code ? 0 : 1));
        Bytes record;
        if (is32Bit()) {
            record = {static_cast<uint8_t>(p + 6), command, static_cast<uint8_t>(p / 2), 0x00};
            appendLittleEndian(record, pageAddress / 2, 3);
        } else if (extended) {
            record = {static_cast<uint8_t>(p + 4), command, static_cast<uint8_t>(p / 2)};
            appendLittleEndian(record, pageAddress / 2, 2);
        } else {
            record = {static_cast<uint8_t>(p + 4), command, static_cast<uint8_t>(p)};
            appendLittleEndian(record, pageAddress, 2);
        }
        record.insert(record.end(), page.begin(), page.end());
        if (!exchange(record, 2 * (record.size() - 1)))
            return false;
        uint8_t statusByte = 0;
        uint8_t detail = 0;
        if (!loaderStatus(statusByte, !extended && !is32Bit(), &detail))
            return false;
        // The extended loaders flag some statuses as harmless in the byte before.
        constexpr uint8_t kHarmless = 0x06;
        if (statusByte != 0 && (is32Bit() || extended) && (detail & kHarmless) == kHarmless)
            continue;
        if (statusByte != 0) {
            if (is32Bit()) {
                if (config_.zncWorkaround)
                    zncPromptAfterFailure();
                char text[128];
                std::snprintf(text, sizeof text,
                              "Bad status code received (0x%02x%02x) from the boot loader during a fixed length "
                              "operation.",
                              detail, statusByte);
                reportLinkError(text);
            } else if (extended) {
                reportLinkError(formatted("Bad status code received (0x%02x) from the boot loader during a fixed "
                                          "length operation (2).",
                                          statusByte));
            } else {
                logLine(formatted("Bad status code received (0x%02x) from the boot loader during a fixed length "
                                  "operation (1).",
                                  statusByte));
                trafficLog_.note("Fixed Length Load Failed\n");
            }
            return false;
        }
    }
    return true;
}

bool JtagDriver::writeVariable(uint64_t byteAddress, size_t count, const uint8_t* data, bool code, bool extended)
{
    Bytes payload(data, data + count);
    // Word-count records cannot name half a word: the last byte is padded.
    if ((extended || is32Bit()) && payload.size() % 2 != 0)
        payload.push_back(kErasedByte);
    if (payload.size() > kMaxRecordBytes)
        return false;
    const uint8_t command = static_cast<uint8_t>(kVariableCodeWrite + (code ? 0 : 1));
    Bytes header;
    if (is32Bit()) {
        header = {0x06, command};
        appendLittleEndian(header, payload.size() / 2, 2);
        appendLittleEndian(header, byteAddress / 2, 3);
    } else if (extended) {
        header = {0x04, command, static_cast<uint8_t>(payload.size() / 2)};
        appendLittleEndian(header, byteAddress / 2, 2);
    } else {
        header = {0x04, command, static_cast<uint8_t>(payload.size())};
        appendLittleEndian(header, byteAddress, 2);
    }
    Bytes record = {static_cast<uint8_t>(payload.size())};
    record.insert(record.end(), payload.begin(), payload.end());
    uint8_t statusByte = 0;
    if (!exchange(header, 2 * (header.size() - 1)) || !exchange(record, 2 * payload.size())
        || !loaderStatus(statusByte))
        return false;
    if (statusByte != 0) {
        logLine(formatted(is32Bit() || extended
                              ? "Bad status code received (0x%02x) from the boot loader during a variable length "
                                "operation. (1)"
                              : "Bad status code received (0x%02x) from the boot loader during a variable length "
                                "operation.",
                          statusByte));
        return false;
    }
    return true;
}

int JtagDriver::loaderWriteExtended(uint64_t byteAddress, size_t count, const uint8_t* data, bool code)
{
    if (!exchange(kExtendedOn, 6))
        return kLinkFailure;
    const bool written = loaderFixedLength_ ? writeFixedPages(byteAddress, count, data, code, !is32Bit())
                                            : writeVariable(byteAddress, count, data, code, !is32Bit());
    if (!exchange(kExtendedOff, 6) || !written)
        return kLinkFailure;
    return kLinkDone;
}

bool JtagDriver::queryPasswordAddresses()
{
    const int contexts = static_cast<int>(config_.loaderPasswords.size() / kPasswordBytes);
    const int answerBytes = config_.contextParameters[0];
    const auto failed = [this] {
        reportLinkError("Bad status code received from the boot loader during F6 loader command.");
        return false;
    };
    if (answerBytes < 1 || answerBytes > 8)
        return failed();
    const size_t count = static_cast<size_t>(config_.contextSwitchByteCount);
    Bytes query(count + 2, 0x00);
    query[0] = static_cast<uint8_t>(count + 1);
    std::copy(config_.contextSwitchBytes.begin(), config_.contextSwitchBytes.begin() + static_cast<long>(count),
              query.begin() + 1);
    if (!exchange(query, 2 * (count + 1)))
        return false;
    passwordAddresses_.assign(static_cast<size_t>(contexts), 0);
    for (int context = 0; context < contexts; ++context) {
        Bytes ask(static_cast<size_t>(answerBytes) + 1, 0x00);
        ask[0] = static_cast<uint8_t>(answerBytes);
        Bytes reply;
        if (!exchange(ask, 2 * static_cast<size_t>(answerBytes), reply))
            return false;
        uint64_t value = 0;
        for (int i = 0; i < answerBytes; ++i)
            value |= static_cast<uint64_t>(reply[static_cast<size_t>(2 * i + 1)]) << (8 * i);
        uint64_t address = value + static_cast<uint32_t>(config_.contextParameters[1]);
        if (value & 1)
            address += 0x7FFF;
        passwordAddresses_[static_cast<size_t>(context)] = address * 2;
    }
    uint8_t statusByte = 0;
    if (!loaderStatus(statusByte))
        return false;
    return statusByte == 0 || failed();
}

void JtagDriver::capturePasswords(uint64_t byteAddress, size_t count, const uint8_t* data)
{
    // The table may have been re-read with fewer contexts since the loader was asked.
    const size_t contexts =
        std::min(passwordAddresses_.size(), config_.loaderPasswords.size() / static_cast<size_t>(kPasswordBytes));
    for (size_t context = 0; context < contexts; ++context) {
        const uint64_t first = passwordAddresses_[context];
        for (size_t i = 0; i < count; ++i) {
            const uint64_t at = byteAddress + i;
            if (at >= first && at < first + kPasswordBytes)
                passwordByte(static_cast<int>(context), static_cast<int>(at - first)) = data[i];
        }
    }
}

int JtagDriver::loaderWrite(uint64_t byteAddress, size_t count, const uint8_t* data, bool code)
{
    std::lock_guard lock(mutex_);
    if (rlaMode()) {
        constexpr uint32_t kControlAddress = 0xC00006;
        constexpr uint32_t kProgramWindow = 0x600000;
        static const uint8_t kResetIce = 1;
        if (!openRlaPort())
            return kLinkFailure;
        if (!rlaWriteMemory(kControlAddress, &kResetIce, 1)) {
            logLine("Unable to reset ICE.");
            return kLinkFailure;
        }
        if (!rlaWriteMemory(static_cast<uint32_t>(byteAddress + kProgramWindow), data, count))
            return kLinkFailure;
        if (!is32Bit())
            capturePasswords(byteAddress, count, data);
        return kLinkDone;
    }
    if (!loaderInformation(code))
        return kLinkFailure;
    if (is32Bit() || byteAddress >= 0x10000) {
        if (loaderWriteExtended(byteAddress, count, data, code) != kLinkDone)
            return kLinkFailure;
    } else if (loaderFixedLength_) {
        trafficLog_.note("Fixed Length Load\n");
        if (!writeFixedPages(byteAddress, count, data, code, false))
            return kLinkFailure;
    } else if (!writeVariable(byteAddress, count, data, code, false)) {
        return kLinkFailure;
    }
    if (!loaderPrompt(kPostWritePrompt, 10, 9, 1)) {
        reportLinkError("No prompt received from the boot loader after writing to memory.");
        return kLinkFailure;
    }
    if (!is32Bit()) {
        if (config_.contextSwitchByteCount > 0 && !queryPasswordAddresses())
            return kLinkFailure;
        capturePasswords(byteAddress, count, data);
    }
    return kLinkDone;
}

bool JtagDriver::runPostLoadCommands()
{
    std::lock_guard lock(mutex_);
    if (!runCommandList(config_.postLoadCommands, "Post-Load Command: "))
        return false;
    logLine(formatted("Post-Load Delay: %d", config_.postLoadDelayMs));
    std::this_thread::sleep_for(std::chrono::milliseconds(std::max(0, config_.postLoadDelayMs)));
    logLine("Delay Complete");
    return true;
}

}  // namespace zern
