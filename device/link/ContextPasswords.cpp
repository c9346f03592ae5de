#include "ContextPasswords.h"

#include <algorithm>
#include <cstdio>

namespace zern {
namespace {

constexpr size_t kPasswordBytes = 32;
constexpr uint8_t kErased = 0xFF;
constexpr char kSection[] = "[HANDLE CONTEXT SWITCHES]";

}  // namespace

void ContextPasswords::ensureOne()
{
    if (table_.size() < kPasswordBytes)
        table_.assign(kPasswordBytes, kErased);
}

int ContextPasswords::count() const
{
    return static_cast<int>(table_.size() / kPasswordBytes);
}

ContextPasswords::Password ContextPasswords::password(int context) const
{
    Password bytes{};
    const auto first = table_.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(context) * kPasswordBytes);
    std::copy(first, first + static_cast<std::ptrdiff_t>(kPasswordBytes), bytes.begin());
    return bytes;
}

void ContextPasswords::resetToErased()
{
    std::fill(table_.begin(), table_.end(), kErased);
}

bool ContextPasswords::answerBytesUsable(int answerBytes, const LinkMessages& messages)
{
    if (answerBytes >= 1 && answerBytes <= 8)
        return true;
    messages.line(std::string(kSection) + ": " + std::to_string(answerBytes)
                  + " bytes per address answer; 1 to 8 are possible.");
    return false;
}

std::optional<uint64_t> ContextPasswords::passwordAddress(uint64_t answer, int32_t offset)
{
    // Signed and wide enough for any answer, offset and carry.
    __int128 word = static_cast<__int128>(answer) + offset;
    if (word < 0)
        return std::nullopt;
    if (word & 1)
        word += 0x7FFF;
    const __int128 byteAddress = word * 2;
    if (byteAddress > static_cast<__int128>(UINT64_MAX))
        return std::nullopt;
    return static_cast<uint64_t>(byteAddress);
}

bool ContextPasswords::learnAddressesFromAnswers(const std::vector<uint64_t>& answers, int32_t offset,
                                                 const LinkMessages& messages)
{
    std::vector<uint64_t> byteAddresses;
    for (size_t context = 0; context < answers.size(); ++context) {
        const std::optional<uint64_t> address = passwordAddress(answers[context], offset);
        if (!address) {
            addresses_.clear();
            char line[200];
            std::snprintf(line, sizeof line,
                          "%s: offset %d with the loader's answer 0x%llX for context %zu gives no flash address.",
                          kSection, offset, static_cast<unsigned long long>(answers[context]), context);
            messages.line(line);
            return false;
        }
        byteAddresses.push_back(*address);
    }
    addresses_ = std::move(byteAddresses);
    return true;
}

void ContextPasswords::capture(uint64_t byteAddress, std::span<const uint8_t> written)
{
    // The table may have been re-read with fewer contexts since the loader was asked.
    const size_t contexts = std::min(addresses_.size(), static_cast<size_t>(count()));
    for (size_t context = 0; context < contexts; ++context) {
        const uint64_t first = addresses_[context];
        for (size_t i = 0; i < written.size(); ++i) {
            const uint64_t at = byteAddress + i;
            if (at >= first && at < first + kPasswordBytes)
                table_[context * kPasswordBytes + static_cast<size_t>(at - first)] = written[i];
        }
    }
}

bool ContextPasswords::select(const Present& present, const LinkMessages& messages) const
{
    bool accepted = false;
    for (int context = 0; context < count() && !accepted; ++context) {
        const Answer answer = present(password(context));
        if (answer == Answer::Failed)
            return false;
        accepted = answer == Answer::Accepted;
    }
    if (!accepted) {
        messages.line("The correct password for the current context could not be determined.");
        messages.line("All register and memory displays will be invalid.");
    }
    return true;
}

}  // namespace zern
