// The per-context password table, the learnt password addresses and the
// search for the password that unlocks a context, on their own.

#include <gtest/gtest.h>
#include <numeric>
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
        uint64_t byteAddress;
    };
    const Case cases[] = {
        {0x100, 0, 0x200},
        {0x100, 0x10, 0x220},
        // Moved up when the answer plus the offset is odd, whatever the answer alone is.
        {0x101, 0, (0x101 + 0x7FFF) * 2},
        {0x101, 1, 0x204},
        {0x100, 1, (0x101 + 0x7FFF) * 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ContextPasswords::passwordAddress(c.answer, c.offset), c.byteAddress) << c.answer;
}

TEST(ContextPasswords, WrittenBytesOnAPasswordAreKept)
{
    std::vector<uint8_t> table(64, 0xFF);
    ContextPasswords passwords(table);
    passwords.learnAddresses({0x40, 0x80});
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
