// The per-context password table, the learnt password addresses and the
// search for the password that unlocks a context, on their own.

#include <gtest/gtest.h>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "ContextPasswords.h"
#include "TestSupport.h"

namespace {

using device_tests::MessageRecorder;
using zern::ContextPasswords;
using Password = ContextPasswords::Password;

Password filled(uint8_t value)
{
    Password password;
    password.fill(value);
    return password;
}

TEST(ContextPasswords, TableWithOneErasedContextByDefault)
{
    std::vector<uint8_t> table;
    ContextPasswords passwords(table);
    passwords.ensureOne();
    EXPECT_EQ(passwords.count(), 1);
    EXPECT_EQ(passwords.password(0), filled(0xFF));

    table.assign(64, 0x11);
    passwords.ensureOne();
    EXPECT_EQ(passwords.count(), 2);
    EXPECT_EQ(passwords.password(1), filled(0x11));
    passwords.resetToErased();
    EXPECT_EQ(passwords.password(1), filled(0xFF));
}

TEST(ContextPasswords, AddressFromTheLoadersAnswer)
{
    struct Case {
        uint64_t answer;
        int32_t offset;
        std::optional<uint64_t> byteAddress;
    };
    const Case cases[] = {
        {0x100, 0, 0x200},
        {0x100, 0x10, 0x220},
        // Moved up when the answer plus the offset is odd, whatever the answer alone is.
        {0x101, 0, (0x101 + 0x7FFF) * 2},
        {0x101, 1, 0x204},
        {0x100, 1, (0x101 + 0x7FFF) * 2},
        // A negative offset counts down from the answer.
        {0x100, -2, 0x1FC},
        {0x103, -2, 0x10200},
        {0x2, -2, 0},
        // Below zero or beyond 64 bits there is no address.
        {0x1, -2, std::nullopt},
        {0x8000000000000000, 0, std::nullopt},
        {0x7FFFFFFFFFFFFFFF, 0, std::nullopt},
        {0x7FFFFFFFFFFFFFFE, 0, 0xFFFFFFFFFFFFFFFC},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ContextPasswords::passwordAddress(c.answer, c.offset), c.byteAddress) << c.answer << c.offset;
}

TEST(ContextPasswords, AnImpossibleConfigurationIsNamedAndKeepsNoAddress)
{
    const zern::LinkMessages messages(&MessageRecorder::callback);
    MessageRecorder::take();
    for (int answerBytes : {1, 8})
        EXPECT_TRUE(ContextPasswords::answerBytesUsable(answerBytes, messages));
    for (int answerBytes : {0, 9, -1})
        EXPECT_FALSE(ContextPasswords::answerBytesUsable(answerBytes, messages));
    EXPECT_EQ(
        MessageRecorder::take(),
        (std::vector<std::string>{"[HANDLE CONTEXT SWITCHES]: 0 bytes per address answer; 1 to 8 are possible.",
                                  "[HANDLE CONTEXT SWITCHES]: 9 bytes per address answer; 1 to 8 are possible.",
                                  "[HANDLE CONTEXT SWITCHES]: -1 bytes per address answer; 1 to 8 are possible."}));

    // Addresses learnt before are dropped too: a later write captures nothing.
    std::vector<uint8_t> table(64, 0xFF);
    ContextPasswords passwords(table);
    ASSERT_TRUE(passwords.learnAddressesFromAnswers({0x20, 0x1}, 0, messages));
    EXPECT_FALSE(passwords.learnAddressesFromAnswers({0x20, 0x1}, -2, messages));
    EXPECT_EQ(MessageRecorder::take(),
              std::vector<std::string>{"[HANDLE CONTEXT SWITCHES]: offset -2 with the loader's answer 0x1 for "
                                       "context 1 gives no flash address."});
    passwords.capture(0, std::vector<uint8_t>(0x10000, 0x00));
    EXPECT_EQ(passwords.password(0), filled(0xFF));
}

TEST(ContextPasswords, WrittenBytesOnAPasswordAreKept)
{
    std::vector<uint8_t> table(64, 0xFF);
    ContextPasswords passwords(table);
    const zern::LinkMessages messages(&MessageRecorder::callback);
    ASSERT_TRUE(passwords.learnAddressesFromAnswers({0x20, 0x40}, 0, messages));
    std::vector<uint8_t> written(48);
    std::iota(written.begin(), written.end(), uint8_t{1});
    // Bytes 0x30..0x5F: the last 32 - 16 bytes of context 0's password stay erased.
    passwords.capture(0x30, written);
    Password expected = filled(0xFF);
    for (size_t i = 0; i < 32; ++i)
        expected[i] = static_cast<uint8_t>(0x11 + i);
    EXPECT_EQ(passwords.password(0), expected);
    EXPECT_EQ(passwords.password(1), filled(0xFF));

    // A configuration read since then with one context only: the second address is passed over.
    table.assign(32, 0xFF);
    passwords.capture(0x80, written);
    EXPECT_EQ(passwords.count(), 1);
}

TEST(ContextPasswords, SearchStopsAtTheFirstAcceptedPassword)
{
    std::vector<uint8_t> table(96, 0xFF);
    std::fill(table.begin() + 32, table.end(), 0x22);
    ContextPasswords passwords(table);
    const zern::LinkMessages messages(&MessageRecorder::callback);
    MessageRecorder::take();

    std::vector<Password> presented;
    const auto acceptTwos = [&](const Password& password) {
        presented.push_back(password);
        return password == filled(0x22) ? ContextPasswords::Answer::Accepted : ContextPasswords::Answer::Refused;
    };
    EXPECT_TRUE(passwords.select(acceptTwos, messages));
    EXPECT_EQ(presented, (std::vector<Password>{filled(0xFF), filled(0x22)}));
    EXPECT_TRUE(MessageRecorder::take().empty());

    const auto refuse = [](const Password&) { return ContextPasswords::Answer::Refused; };
    EXPECT_TRUE(passwords.select(refuse, messages));
    EXPECT_EQ(MessageRecorder::take(),
              (std::vector<std::string>{"The correct password for the current context could not be determined.",
                                        "All register and memory displays will be invalid."}));

    const auto fail = [](const Password&) { return ContextPasswords::Answer::Failed; };
    EXPECT_FALSE(passwords.select(fail, messages));
    EXPECT_TRUE(MessageRecorder::take().empty());
}

}  // namespace
