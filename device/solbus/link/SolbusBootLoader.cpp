// The chip's ROM boot loader through its debug port on the bus: entering
// it, erasing the flash with the configured command lists, writing program
// blocks as fixed-length pages or variable-length writes, keeping the
// context passwords in step, and the post-load commands.

#include <algorithm>
#include <cstdio>
#include <string>

#include "LoaderCommands.h"
#include "SolbusDriver.h"
#include "SolbusRlaPort.h"

namespace zern {
namespace {

namespace loader = chip::loader;
using loader::Form;
using loader::Target;

constexpr uint8_t kLoaderDone = 3;
constexpr int kLoaderTries = 100;
constexpr int kPromptReads = 5;
constexpr int kEntryAttempts = 2;
constexpr uint8_t kSelectPort = 0x3C;
constexpr uint8_t kHarmless = 0x06;
constexpr size_t kMaxProgramBlock = 255;
// The longest command one block carries: two bytes on the bus each.
constexpr size_t kMaxCommandBytes = 80;
constexpr char kUnknownLoader[] = "Unable to determine if loader supports fixed or variable length loading.";

std::string formatted(const char* format, int first, int second = 0)
{
    char text[160];
    std::snprintf(text, sizeof text, format, first, second);
    return text;
}

uint64_t headerAddress(Form form, uint64_t byteAddress)
{
    return form == Form::Bytes16 ? byteAddress : byteAddress / 2;
}

}  // namespace

bool SolbusDriver::loaderDone(const std::string& what)
{
    switch (transport_.waitStatus(kLoaderDone, kLoaderTries)) {
    case solbus::DebugTransport::StatusWait::Reached:
        return true;
    case solbus::DebugTransport::StatusWait::NotReached:
        messages_.line("The boot loader did not finish " + what + ".");
        return false;
    case solbus::DebugTransport::StatusWait::Failed:
        break;
    }
    return false;
}

bool SolbusDriver::loaderCommand(const Bytes& command, bool carriesPassword)
{
    return send(command, carriesPassword) && loaderDone(formatted("the command 0x%02x", command.front()));
}

bool SolbusDriver::loaderStatus(uint8_t& status, uint8_t* before)
{
    if (!send(loader::status()))
        return false;
    const std::optional<Bytes> data = transport_.replyData(2);
    if (!data)
        return false;
    status = (*data)[1];
    if (before)
        *before = (*data)[0];
    return true;
}

bool SolbusDriver::loaderPrompt()
{
    if (!send(loader::prompt()))
        return false;
    const std::optional<Bytes> data = transport_.replyData(1);
    return data && data->front() == loader::kReady;
}

bool SolbusDriver::learnLoaderMode()
{
    if (!send(loader::information()))
        return false;
    const std::optional<Bytes> data = transport_.replyData(4);
    if (!data)
        return false;
    // Variable-length in bit 1 of the flags' low byte, fixed-length in bit 1 of the high byte.
    if ((*data)[1] & 0x02) {
        loaderFixedLength_ = false;
        return true;
    }
    if ((*data)[2] & 0x02) {
        // A page size the commands cannot carry fails the first write.
        loaderFixedLength_ = true;
        pageBytes_ = is32Bit() ? 2 * size_t{(*data)[3]} : (*data)[3];
        return true;
    }
    // The mode learnt before stays.
    messages_.linkError(kUnknownLoader);
    return true;
}

bool SolbusDriver::enterLoader(bool sendPasswords)
{
    Lock lock(mutex_);
    if (rlaMode())
        return true;
    for (int attempt = 0; attempt < kEntryAttempts; ++attempt) {
        if (!transport_.resetBus() || !transport_.writeByte(kSelectPort) || !resetIntoLoader())
            return false;
        messages_.line("Entering Loader");
        const std::optional<bool> prompted = loaderAnnounced();
        if (!prompted)
            return false;
        if (*prompted) {
            messages_.line("Prompt received.");
            state_ = TargetState::Loader;
            return !sendPasswords || unlockLoader();
        }
        messages_.linkError("No prompt received when activating the boot loader.");
    }
    return false;
}

std::optional<bool> SolbusDriver::loaderAnnounced()
{
    for (int reads = 0; reads < kPromptReads; ++reads) {
        std::array<uint8_t, 2> pair{};
        if (!transport_.ReadDebugPairs(pair))
            return std::nullopt;
        if (pair[1] == loader::kReady)
            return true;
    }
    return false;
}

bool SolbusDriver::unlockLoader()
{
    if (is32Bit())
        return true;
    for (int context = 0; context < passwords_.count(); ++context)
        if (!loaderCommand(loader::unlock(passwords_.password(context)), true))
            return false;
    return true;
}

bool SolbusDriver::eraseFlash()
{
    Lock lock(mutex_);
    caches_.invalidateAll();
    if (!resetThroughControl())
        return false;
    if (rlaMode())
        return true;
    if (!enterLoader(false) || !commandLists_.run(config_.preEraseCommands, "Pre-Erase Command: "))
        return false;
    if (!send(loader::masterErase()) || !transport_.replyData(1))
        return false;
    messages_.line("Erasing...");
    // Whatever part of the flash the erase reached, no password survives it.
    passwords_.resetToErased();
    if (!loaderDone("the master erase"))
        return false;
    uint8_t status = 0;
    if (!loaderStatus(status))
        return false;
    if (status != 0) {
        messages_.line(formatted("Bad status code received (0x%02x) from the boot loader after master erase.", status));
        return false;
    }
    return commandLists_.run(config_.postEraseCommands, "Post-Erase Command: ") && learnLoaderMode();
}

int SolbusDriver::writeProgramBlock(uint64_t byteAddress, size_t count, const uint8_t* data)
{
    Lock lock(mutex_);
    caches_.code.invalidate();
    if (count == 0 || count > kMaxProgramBlock)
        return kLinkBadArgument;
    if (!rlaMode() && state_ != TargetState::Loader && !enterLoader(false))
        return kLinkFailure;
    // The first write erases the flash.
    if (erasePending_ && !eraseFlash())
        return kLinkFailure;
    erasePending_ = false;
    const std::span<const uint8_t> bytes(data, count);
    return rlaMode() ? rlaWrite(byteAddress, bytes) : loaderWrite(byteAddress, bytes);
}

bool SolbusDriver::fixedPageFits(Form form)
{
    const std::optional<Bytes> header = loader::pageWriteHeader(form, Target::Code, 0, pageBytes_);
    if (!header) {
        messages_.linkError(kUnknownLoader);
        return false;
    }
    if (header->size() + pageBytes_ > kMaxCommandBytes) {
        messages_.linkError(formatted("The boot loader's pages of %d bytes do not fit one command of %d bytes.",
                                      static_cast<int>(pageBytes_), static_cast<int>(kMaxCommandBytes)));
        return false;
    }
    return true;
}

bool SolbusDriver::writeFixedPages(uint64_t byteAddress, std::span<const uint8_t> data, Form form)
{
    const size_t p = pageBytes_;
    for (size_t done = 0; done < data.size();) {
        const uint64_t at = byteAddress + done;
        const uint64_t pageAddress = at - at % p;
        const size_t offset = static_cast<size_t>(at - pageAddress);
        Bytes page(p, kErasedByte);
        if (offset != 0) {
            // A page the write starts inside keeps the bytes before the write.
            const std::optional<Bytes> before = readLoaderBytes(form, pageAddress, p);
            if (!before)
                return false;
            page = *before;
        }
        const size_t taken = std::min(p - offset, data.size() - done);
        std::copy_n(data.begin() + static_cast<long>(done), taken, page.begin() + static_cast<long>(offset));
        done += taken;
        if (is32Bit() && std::all_of(page.begin(), page.end(), [](uint8_t b) { return b == kErasedByte; }))
            continue;
        std::optional<Bytes> command = loader::pageWriteHeader(form, Target::Code, headerAddress(form, pageAddress), p);
        if (!command)
            return false;
        command->insert(command->end(), page.begin(), page.end());
        uint8_t status = 0;
        uint8_t before = 0;
        if (!loaderCommand(*command) || !loaderStatus(status, &before))
            return false;
        if (status == 0 || (is32Bit() && (before & kHarmless) == kHarmless))
            continue;
        if (is32Bit())
            messages_.line(
                formatted("Bad status code received (0x%02x%02x) from the boot loader during a fixed "
                          "length operation.",
                          before, status));
        else
            messages_.line(formatted(form == Form::Words16
                                         ? "Bad status code received (0x%02x) from the boot loader during a fixed "
                                           "length operation (2)."
                                         : "Bad status code received (0x%02x) from the boot loader during a fixed "
                                           "length operation (1).",
                                     status));
        return false;
    }
    return true;
}

std::optional<SolbusDriver::Bytes> SolbusDriver::readLoaderBytes(Form form, uint64_t byteAddress, size_t count)
{
    const auto read = loader::pageReadHeader(form, Target::Code, headerAddress(form, byteAddress), count);
    return read && send(*read) ? transport_.replyData(count) : std::nullopt;
}

std::optional<SolbusDriver::Bytes> SolbusDriver::wholeWords(Form form, uint64_t& byteAddress,
                                                            std::span<const uint8_t> data)
{
    if (byteAddress % 2 == 0)
        return loader::paddedToWords(data);
    const std::optional<Bytes> word = readLoaderBytes(form, byteAddress - 1, 2);
    if (!word)
        return std::nullopt;
    --byteAddress;
    return loader::paddedToWords(loader::fromWordStart(word->front(), data));
}

bool SolbusDriver::writeVariable(uint64_t byteAddress, std::span<const uint8_t> data, Form form)
{
    // The word forms address and count whole words.
    const std::optional<Bytes> bytes =
        form != Form::Bytes16 ? wholeWords(form, byteAddress, data) : Bytes(data.begin(), data.end());
    if (!bytes)
        return false;
    const std::optional<Bytes> header =
        loader::variableWriteHeader(form, Target::Code, headerAddress(form, byteAddress), bytes->size());
    uint8_t status = 0;
    if (!header || !send(*header) || !loaderCommand(*bytes) || !loaderStatus(status))
        return false;
    if (status == 0)
        return true;
    messages_.line(formatted(
        "Bad status code (0x%02x) received from the boot loader during a variable length operation.", status));
    return false;
}

int SolbusDriver::loaderWrite(uint64_t byteAddress, std::span<const uint8_t> data)
{
    const Form form = loader::formFor(core(), byteAddress);
    // A page that cannot go as one command fails before anything is written.
    if (loaderFixedLength_ && !fixedPageFits(form))
        return kLinkFailure;
    if (form != Form::Bytes16 && !loaderCommand(loader::extendedMode(true)))
        return kLinkFailure;
    const bool written =
        loaderFixedLength_ ? writeFixedPages(byteAddress, data, form) : writeVariable(byteAddress, data, form);
    if (form == Form::Words16 && !send(loader::extendedMode(false)))
        return kLinkFailure;
    if (!written)
        return kLinkFailure;
    if (!loaderPrompt()) {
        messages_.linkError("No prompt received from the boot loader after writing to memory.");
        return kLinkFailure;
    }
    return keepPasswords(byteAddress, data) ? kLinkDone : kLinkFailure;
}

bool SolbusDriver::keepPasswords(uint64_t byteAddress, std::span<const uint8_t> data)
{
    // The 32-bit core has no password contexts.
    if (is32Bit())
        return true;
    if (config_.contextSwitchByteCount > 0 && !queryPasswordAddresses())
        return false;
    passwords_.capture(byteAddress, data);
    return true;
}

bool SolbusDriver::queryPasswordAddresses()
{
    const int answerBytes = config_.contextParameters[0];
    const auto badStatus = [this](uint8_t status) {
        messages_.line(
            formatted("Bad status code (0x%02x) received from the boot loader during F6 loader command.", status));
        return false;
    };
    if (!ContextPasswords::answerBytesUsable(answerBytes, messages_))
        return false;
    const Bytes query(config_.contextSwitchBytes.begin(),
                      config_.contextSwitchBytes.begin() + config_.contextSwitchByteCount);
    if (!send(query))
        return false;
    std::vector<uint64_t> answers;
    for (int context = 0; context < passwords_.count(); ++context) {
        const std::optional<Bytes> answer = transport_.replyData(static_cast<size_t>(answerBytes));
        if (!answer)
            return false;
        answers.push_back(chip::littleEndian(answer->data(), answerBytes));
    }
    uint8_t status = 0;
    if (!loaderStatus(status))
        return false;
    if (status != 0)
        return badStatus(status);
    return passwords_.learnAddressesFromAnswers(answers, config_.contextParameters[1], messages_);
}

int SolbusDriver::rlaWrite(uint64_t byteAddress, std::span<const uint8_t> data)
{
    constexpr uint32_t kControlAddress = 0xC00006;
    constexpr uint32_t kProgramWindow = 0x600000;
    static const uint8_t kResetIce = 1;
    static const uint8_t kReleaseIce = 2;
    if (!rlaPort_) {
        rlaPort_ = SolbusRlaPort::open(config_.rlaPortName, messages_, timing_);
        if (!rlaPort_)
            return kLinkFailure;
    }
    if (!rlaPort_->write(kControlAddress, std::span(&kResetIce, 1))) {
        messages_.line("Unable to reset ICE.");
        return kLinkFailure;
    }
    if (!rlaPort_->write(static_cast<uint32_t>(byteAddress + kProgramWindow), data)
        || !rlaPort_->write(kControlAddress, std::span(&kReleaseIce, 1)))
        return kLinkFailure;
    // Nothing tells where the passwords lie here: those already known are kept in step.
    if (!is32Bit())
        passwords_.capture(byteAddress, data);
    return kLinkDone;
}

bool SolbusDriver::runPostLoadCommands()
{
    Lock lock(mutex_);
    return commandLists_.runPostLoad(config_.postLoadCommands, config_.postLoadDelayMs, state_,
                                     [this] { return enterLoader(false); });
}

}  // namespace zern
