#include "ContextPasswords.h"

#include <algorithm>

namespace zern {
namespace {

constexpr size_t kPasswordBytes = 32;
constexpr uint8_t kErased = 0xFF;

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

uint64_t ContextPasswords::passwordAddress(uint64_t answer, int32_t offset)
{
    uint64_t address = answer + static_cast<uint32_t>(offset);
    if (address & 1)
        address += 0x7FFF;
    return address * 2;
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
