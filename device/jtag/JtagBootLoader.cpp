// The chip's ROM boot loader behind the adapter board: entering it, erasing
// the flash with the configured command records, writing program pages in
// its fixed-length or variable-length form, and the post-load commands.

#include <algorithm>
#include <cstdio>

#include "BootLoaderRecords.h"
#include "JtagDriver.h"

namespace zern {
namespace {

using Bytes = std::vector<uint8_t>;
namespace loader = records::loader;
using records::WireRecord;
using Target = records::loader::Target;

constexpr uint8_t kPromptCharacter = '>';
constexpr size_t kMaxRecordBytes = 255;
// The ZNC work-around waits for the loader's prompt at most this often.
constexpr int kMaxPromptRepeats = 100;

std::string formatted(const char* format, int value)
{
    char text[160];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

Target targetOf(bool code)
{
    return code ? Target::Code : Target::Data;
}

}  // namespace

bool JtagDriver::loaderPrompt(const WireRecord& record, int tries)
{
    Bytes reply;
    for (int attempt = 0; attempt < tries; ++attempt) {
        if (!exchange(record, reply))
            return false;
        if (loader::promptSeen(reply))
            return true;
    }
    return false;
}

bool JtagDriver::loaderStatus(uint8_t& statusByte, bool longForm, uint8_t* detail)
{
    Bytes reply;
    if (!exchange(longForm ? loader::statusAfterPage() : loader::status(), reply))
        return false;
    statusByte = loader::statusByte(reply);
    if (detail)
        *detail = records::pairData(reply, 2);
    return true;
}

void JtagDriver::zncPromptAfterFailure()
{
    Bytes reply;
    for (int tries = 0; tries < kMaxPromptRepeats; ++tries)
        if (!exchange(loader::prompt(), reply) || (reply[0] == 0x03 && reply[1] == kPromptCharacter))
            return;
}

bool JtagDriver::loaderInformation(bool code)
{
    Bytes reply;
    if (!exchange(loader::information(), reply))
        return false;
    const loader::LoaderInformation information = loader::loaderInformation(reply);
    loaderFlags_ = information.flags;
    const size_t header = is32Bit() ? 6 : 4;
    if (loaderFlags_ & loader::kVariableLength) {
        loaderFixedLength_ = false;
        return true;
    }
    if (loaderFlags_ & loader::kFixedLength) {
        loaderFixedLength_ = true;
        pageSize_ = is32Bit() ? 2 * size_t{information.codePageSize}
                              : (code ? information.codePageSize : information.dataPageSize);
        // The page and its record header must fit the record's length byte.
        if (pageSize_ > 0 && pageSize_ + header <= kMaxRecordBytes)
            return true;
    }
    messages_.linkError("Unable to determine if loader supports fixed or variable length loading.");
    return false;
}

bool JtagDriver::enterLoader(bool sendPasswords)
{
    std::lock_guard lock(mutex_);
    if (rlaMode())
        return true;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!holdTargetInReset())
            return false;
        if (config_.testModeFlag) {
            messages_.line("Setting TDB bits to 0x01");
            if (!exchange(loader::testModeOn()))
                return false;
            messages_.line("Done.");
            state_ = TargetState::TestMode;
            if (!resumeTarget()) {
                messages_.line("Unable to enter IC-Debug after setting test mode.");
                return false;
            }
            char line[80];
            std::snprintf(line, sizeof line, "Writing M%d[%d] = 0x%02x", config_.testModeValues[0],
                          config_.testModeValues[1], config_.testModeValues[2]);
            messages_.line(line);
            if (!writeOneRegister(config_.testModeValues[0], config_.testModeValues[1], config_.testModeValues[2])) {
                messages_.line("Unable to write register.");
                return false;
            }
            messages_.line("Setting TDB bits to 0x00");
            if (!exchange(loader::testModeOff()))
                return false;
            messages_.line("Done.");
        }
        if (!exchange(loader::loaderEntry()))
            return false;
        messages_.line("Entering Loader");
        if (loaderPrompt(loader::prompt(), 5)) {
            messages_.line("Prompt received.");
            state_ = TargetState::Loader;
            if (sendPasswords && !is32Bit()) {
                for (int context = 0; context < passwords_.count(); ++context)
                    if (!exchange(loader::unlock(passwords_.password(context))))
                        return false;
            }
            return loaderInformation(true);
        }
        messages_.linkError("No prompt received when activating the boot loader.");
    }
    return false;
}

bool JtagDriver::eraseFlash()
{
    std::lock_guard lock(mutex_);
    caches_.invalidateAll();
    if (resetDebugState() != kLinkDone)
        return false;
    if (rlaMode()) {
        passwords_.resetToErased();
        return true;
    }
    // Whatever the erase leaves, nothing this link wrote before it is known any more.
    flash_.forget();
    if (state_ != TargetState::Loader && !enterLoader(false))
        return false;
    if (!loaderPrompt(loader::prompt(), 5)) {
        messages_.linkError("No prompt received from the boot loader.");
        return false;
    }
    if (!commandLists_.run(config_.preEraseCommands, "Pre-Erase Command: "))
        return false;
    messages_.line("Erasing...");
    for (const WireRecord& record : loader::masterEraseStart())
        if (!exchange(record))
            return false;
    platform::SerialPort& port = board_.serial();
    port.setReadTimeout(std::max(1, config_.expectedEraseTime) * timing_.eraseTimeoutUnitMs);
    // The erase ends with the prompt; its status tells whether it worked.
    // Prompt or not, the status and every read after it on this link wait
    // the after-erase time for their first byte.
    loaderPrompt(loader::prompt(), 10);
    port.setReadTimeout(timing_.afterEraseFirstByteMs);
    passwords_.resetToErased();
    uint8_t statusByte = 0;
    if (!loaderStatus(statusByte))
        return false;
    if (statusByte != 0) {
        messages_.line(
            formatted("Bad status code received (0x%02x) from the boot loader after master erase.", statusByte));
        return false;
    }
    if (config_.eraseLastPage && (loaderFlags_ & loader::kEraseLastBlock)) {
        messages_.line("Erasing last block of flash.");
        if (!exchange(loader::eraseLastBlock(static_cast<uint32_t>(config_.codeSize))))
            return false;
    }
    if (!commandLists_.run(config_.postEraseCommands, "Post-Erase Command: "))
        return false;
    flash_.erased(2 * static_cast<uint64_t>(std::max(0, config_.codeSize)));
    return true;
}

int JtagDriver::writeProgramBlock(uint64_t byteAddress, size_t count, const uint8_t* data)
{
    std::lock_guard lock(mutex_);
    caches_.code.invalidate();
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
    if (!loaderPrompt(loader::promptBeforeWrite(), 5)) {
        messages_.linkError("No prompt received from the boot loader when trying to write code.");
        return kLinkFailure;
    }
    return loaderWrite(byteAddress, count, data, true);
}

bool JtagDriver::shortPageRead(bool extended) const
{
    return !is32Bit() && !extended && !(loaderFlags_ & loader::kPageRead) && (loaderFlags_ & loader::kShortPageRead);
}

std::optional<WireRecord> JtagDriver::pageReadRecord(uint64_t byteAddress, uint8_t bytes, bool code,
                                                     bool extended) const
{
    const Target target = targetOf(code);
    if (is32Bit())
        return loader::pageRead32(target, byteAddress / 2, bytes);
    if (extended)
        return loader::pageRead16Extended(target, byteAddress / 2, bytes);
    if (loaderFlags_ & loader::kPageRead)
        return loader::pageRead16(target, byteAddress, bytes);
    if (shortPageRead(extended))
        return loader::shortPageRead16(target, byteAddress, bytes);
    return std::nullopt;
}

std::optional<WireRecord> JtagDriver::pageWriteRecord(uint64_t pageAddress, bool code, bool extended,
                                                      std::span<const uint8_t> page) const
{
    const Target target = targetOf(code);
    if (is32Bit())
        return loader::fixedPage32(target, pageAddress / 2, page);
    if (extended)
        return loader::fixedPage16Extended(target, pageAddress / 2, page);
    return loader::fixedPage16(target, pageAddress, page);
}

std::optional<loader::VariableWrite> JtagDriver::variableRecords(uint64_t byteAddress, std::span<const uint8_t> bytes,
                                                                 bool code, bool extended) const
{
    const Target target = targetOf(code);
    if (is32Bit())
        return loader::variableWrite32(target, byteAddress / 2, bytes);
    if (extended)
        return loader::variableWrite16Extended(target, byteAddress / 2, bytes);
    return loader::variableWrite16(target, byteAddress, bytes);
}

std::optional<std::string> JtagDriver::loaderWriteRefusal(uint64_t byteAddress, std::span<const uint8_t> data,
                                                          bool code, bool extended) const
{
    const bool words = is32Bit() || extended;
    if (!loaderFixedLength_) {
        // The word forms start with the whole word that holds the first byte.
        const bool insideWord = words && byteAddress % 2 != 0;
        const Bytes block =
            insideWord ? chip::loader::fromWordStart(kErasedByte, data) : Bytes(data.begin(), data.end());
        if (variableRecords(insideWord ? byteAddress - 1 : byteAddress, block, code, extended))
            return std::nullopt;
        if (words && chip::loader::paddedToWords(block).size() > kMaxRecordBytes)
            return std::string("the block padded to whole words does not fit one loader record");
        return std::string("the address is beyond the boot loader's reach");
    }
    const size_t p = pageSize_;
    const int pageBytes = static_cast<int>(p);
    if (words && p % 2 != 0)
        return formatted("the boot loader's page of %d bytes is no whole number of words", pageBytes);
    const uint64_t last = byteAddress + data.size() - 1;
    if (!pageWriteRecord(last - last % p, code, extended, Bytes(p, kErasedByte)))
        return std::string("the address is beyond the boot loader's reach");
    // The bytes before the write in its first page are kept: read back, or as
    // this link wrote them since its erase; never assumed erased.
    const uint64_t firstPage = byteAddress - byteAddress % p;
    if (byteAddress == firstPage || pageReadRecord(firstPage, static_cast<uint8_t>(p), code, extended))
        return std::nullopt;
    if (shortPageRead(extended))
        return formatted("the boot loader's page of %d bytes is too long for its short page read", pageBytes);
    if (code && flash_.read(firstPage, p))
        return std::nullopt;
    return std::string(
        "the boot loader cannot read back the page it starts in, and this link has not erased the flash to know "
        "its bytes");
}

bool JtagDriver::readLoaderPage(const std::optional<WireRecord>& record, uint8_t bytes, bool extended, Bytes& page)
{
    Bytes reply;
    if (!record || !exchange(*record, reply))
        return false;
    page = loader::pageReadData(reply, loader::pageReadDataPair(core(), shortPageRead(extended)), bytes);
    if (is32Bit() || extended)
        return true;
    uint8_t statusByte = 0;
    return loaderStatus(statusByte, true);
}

bool JtagDriver::pageBeforeWrite(uint64_t pageAddress, bool code, bool extended, Bytes& page)
{
    const auto bytes = static_cast<uint8_t>(pageSize_);
    if (const auto record = pageReadRecord(pageAddress, bytes, code, extended))
        return readLoaderPage(record, bytes, extended, page);
    auto known = flash_.read(pageAddress, pageSize_);
    if (!code || !known)
        return false;
    page = std::move(*known);
    return true;
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
        if (offset != 0 && !pageBeforeWrite(pageAddress, code, extended, page))
            return false;
        const size_t taken = std::min(p - offset, count - done);
        std::copy(data + done, data + done + taken, page.begin() + static_cast<long>(offset));
        done += taken;
        if ((extended || is32Bit())
            && std::all_of(page.begin(), page.end(), [](uint8_t b) { return b == kErasedByte; }))
            continue;
        const auto record = pageWriteRecord(pageAddress, code, extended, page);
        uint8_t statusByte = 0;
        uint8_t detail = 0;
        const bool answered = record && exchange(*record) && loaderStatus(statusByte, !extended && !is32Bit(), &detail);
        // The extended loaders flag some statuses as harmless in the byte before.
        constexpr uint8_t kHarmless = 0x06;
        const bool written =
            answered && (statusByte == 0 || ((is32Bit() || extended) && (detail & kHarmless) == kHarmless));
        keepWritten(code, written, pageAddress, page);
        if (!answered)
            return false;
        if (written)
            continue;
        if (is32Bit()) {
            if (config_.zncWorkaround)
                zncPromptAfterFailure();
            char text[128];
            std::snprintf(text, sizeof text,
                          "Bad status code received (0x%02x%02x) from the boot loader during a fixed length "
                          "operation.",
                          detail, statusByte);
            messages_.linkError(text);
        } else if (extended) {
            messages_.linkError(
                formatted("Bad status code received (0x%02x) from the boot loader during a fixed "
                          "length operation (2).",
                          statusByte));
        } else {
            messages_.line(
                formatted("Bad status code received (0x%02x) from the boot loader during a fixed length "
                          "operation (1).",
                          statusByte));
            trafficLog_.note("Fixed Length Load Failed\n");
        }
        return false;
    }
    return true;
}

bool JtagDriver::writeVariable(uint64_t byteAddress, size_t count, const uint8_t* data, bool code, bool extended)
{
    const bool words = is32Bit() || extended;
    Bytes block(data, data + count);
    if (words && byteAddress % 2 != 0) {
        constexpr uint8_t kWordBytes = 2;
        Bytes word;
        --byteAddress;
        if (!readLoaderPage(pageReadRecord(byteAddress, kWordBytes, code, extended), kWordBytes, extended, word))
            return false;
        block = chip::loader::fromWordStart(word.front(), block);
    }
    const auto write = variableRecords(byteAddress, block, code, extended);
    uint8_t statusByte = 0;
    const bool answered = write && exchange(write->header) && exchange(write->data) && loaderStatus(statusByte);
    // The word forms write an odd count with one erased byte more.
    keepWritten(code, answered && statusByte == 0, byteAddress, words ? chip::loader::paddedToWords(block) : block);
    if (!answered)
        return false;
    if (statusByte != 0) {
        messages_.line(formatted(
            is32Bit() || extended ? "Bad status code received (0x%02x) from the boot loader during a variable length "
                                    "operation. (1)"
                                  : "Bad status code received (0x%02x) from the boot loader during a variable length "
                                    "operation.",
            statusByte));
        return false;
    }
    return true;
}

void JtagDriver::keepWritten(bool code, bool written, uint64_t byteAddress, std::span<const uint8_t> bytes)
{
    if (!code)
        return;
    if (written)
        flash_.wrote(byteAddress, bytes);
    else
        flash_.forget();
}

int JtagDriver::loaderWriteExtended(uint64_t byteAddress, size_t count, const uint8_t* data, bool code)
{
    if (!exchange(loader::extendedMode(true)))
        return kLinkFailure;
    const bool written = loaderFixedLength_ ? writeFixedPages(byteAddress, count, data, code, !is32Bit())
                                            : writeVariable(byteAddress, count, data, code, !is32Bit());
    if (!exchange(loader::extendedMode(false)) || !written)
        return kLinkFailure;
    return kLinkDone;
}

bool JtagDriver::queryPasswordAddresses()
{
    const int contexts = passwords_.count();
    const int answerBytes = config_.contextParameters[0];
    const auto failed = [this] {
        messages_.linkError("Bad status code received from the boot loader during F6 loader command.");
        return false;
    };
    if (!ContextPasswords::answerBytesUsable(answerBytes, messages_))
        return false;
    const auto query = loader::passwordAddressQuery(std::span<const uint8_t>(
        config_.contextSwitchBytes.data(), static_cast<size_t>(config_.contextSwitchByteCount)));
    const auto ask = loader::passwordAddressAnswer(static_cast<uint8_t>(answerBytes));
    if (!query || !ask)
        return failed();
    if (!exchange(*query))
        return false;
    std::vector<uint64_t> answers;
    for (int context = 0; context < contexts; ++context) {
        Bytes reply;
        if (!exchange(*ask, reply))
            return false;
        answers.push_back(loader::passwordAddressValue(reply));
    }
    uint8_t statusByte = 0;
    if (!loaderStatus(statusByte))
        return false;
    if (statusByte != 0)
        return failed();
    return passwords_.learnAddressesFromAnswers(answers, config_.contextParameters[1], messages_);
}

void JtagDriver::capturePasswords(uint64_t byteAddress, size_t count, const uint8_t* data)
{
    passwords_.capture(byteAddress, std::span(data, count));
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
            messages_.line("Unable to reset ICE.");
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
    const bool extended = chip::loader::formFor(core(), byteAddress) == chip::loader::Form::Words16;
    if (const auto refusal = loaderWriteRefusal(byteAddress, std::span(data, count), code, extended)) {
        char line[200];
        std::snprintf(line, sizeof line, "Unable to write to 0x%04llX through the boot loader: %s.",
                      static_cast<unsigned long long>(byteAddress), refusal->c_str());
        messages_.line(line);
        return kLinkFailure;
    }
    if (is32Bit() || extended) {
        if (loaderWriteExtended(byteAddress, count, data, code) != kLinkDone)
            return kLinkFailure;
    } else if (loaderFixedLength_) {
        trafficLog_.note("Fixed Length Load\n");
        if (!writeFixedPages(byteAddress, count, data, code, false))
            return kLinkFailure;
    } else if (!writeVariable(byteAddress, count, data, code, false)) {
        return kLinkFailure;
    }
    if (!loaderPrompt(loader::postWritePrompt(), 1)) {
        messages_.linkError("No prompt received from the boot loader after writing to memory.");
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
    return commandLists_.runPostLoad(config_.postLoadCommands, config_.postLoadDelayMs, state_,
                                     [this] { return enterLoader(false); });
}

}  // namespace zern
