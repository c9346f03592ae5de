#pragma once
// The chip's per-context passwords: 32 bytes per context in the password
// table of the configuration, kept in step with what is written to the
// flash, and presented to the debug engine until one unlocks the context
// the target stopped in. Their values are never shown or logged.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "LinkMessages.h"

namespace zern {

class ContextPasswords {
public:
    using Password = std::array<uint8_t, 32>;
    enum class Answer { Accepted, Refused, Failed };
    // Presents one password to the engine and says whether it unlocked.
    using Present = std::function<Answer(const Password&)>;

    // The table is the configuration's, which a new configuration may resize.
    explicit ContextPasswords(std::vector<uint8_t>& table) : table_(table) {}

    // One context with the erased fill while the configuration names none.
    void ensureOne();
    int count() const;
    Password password(int context) const;
    // An erase makes every password the erased fill.
    void resetToErased();

    // The configuration's bytes per address answer are usable: 1 to 8.
    // Otherwise the configuration is named, since no loader is asked.
    static bool answerBytesUsable(int answerBytes, const LinkMessages& messages);
    // Where each context's password lies in the flash: the loader's answer
    // (a word address) plus the configured offset, moved up by 0x7FFF when
    // that sum is odd, as a byte address. None when the offset takes the sum
    // below zero or the byte address does not fit 64 bits.
    static std::optional<uint64_t> passwordAddress(uint64_t answer, int32_t offset);
    // Learns every context's address from the loader's answers. An answer
    // that gives no address is named as the configuration's fault, and no
    // address is kept, so no wrong password is ever captured.
    bool learnAddressesFromAnswers(const std::vector<uint64_t>& answers, int32_t offset, const LinkMessages& messages);
    // Keeps the written bytes that fall on a context's password.
    void capture(uint64_t byteAddress, std::span<const uint8_t> written);

    // Presents the contexts' passwords in order until one is accepted. True
    // unless a transfer failed; when none is accepted the two warning lines
    // go out and the displays are not to be trusted.
    bool select(const Present& present, const LinkMessages& messages) const;

private:
    std::vector<uint8_t>& table_;
    std::vector<uint64_t> addresses_;
};

}  // namespace zern
