// The page caches, the word-at-a-time memory write and the target states of
// the shared link core, each on its own.

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "LinkDriver.h"
#include "PageCache.h"
#include "TargetState.h"
#include "TestSupport.h"
#include "WordWrites.h"

namespace {

using device_tests::MessageRecorder;
using zern::PageCache;

// A target whose page N holds the byte N + offset everywhere; counts the page reads.
struct PagedTarget {
    std::vector<uint64_t> reads;
    bool fails = false;

    PageCache::PageReader reader()
    {
        return [this](uint64_t address, PageCache::Page& page) {
            reads.push_back(address);
            page.fill(static_cast<uint8_t>(address / 256 + 1));
            return !fails;
        };
    }
};

TEST(PageCache, ReadsEachPageOnceUntilInvalidated)
{
    PagedTarget target;
    PageCache cache;
    uint8_t bytes[4] = {};
    ASSERT_EQ(cache.read(0xFE, 4, bytes, target.reader()), zern::kLinkDone);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 4), (std::vector<uint8_t>{1, 1, 2, 2}));
    EXPECT_EQ(target.reads, (std::vector<uint64_t>{0, 0x100}));
    ASSERT_EQ(cache.read(0x1F0, 2, bytes, target.reader()), zern::kLinkDone);
    EXPECT_EQ(target.reads.size(), 2u);
    EXPECT_TRUE(cache.holds(0x1FF));
    cache.invalidate();
    EXPECT_FALSE(cache.holds(0x1FF));
    ASSERT_EQ(cache.read(0x1F0, 2, bytes, target.reader()), zern::kLinkDone);
    EXPECT_EQ(target.reads.size(), 3u);
}

TEST(PageCache, RefusalsAndFailuresKeepNothing)
{
    PagedTarget target;
    PageCache cache;
    uint8_t bytes[4] = {};
    EXPECT_EQ(cache.read(0x10, 0, bytes, target.reader()), zern::kLinkDone);
    EXPECT_EQ(cache.read(~0ull - 1, 4, bytes, target.reader()), zern::kLinkBadArgument);
    EXPECT_TRUE(target.reads.empty());
    target.fails = true;
    EXPECT_EQ(cache.read(0x300, 4, bytes, target.reader()), zern::kLinkFailure);
    EXPECT_FALSE(cache.holds(0x300));
}

TEST(PageCache, CodeIsReadByWordAddress)
{
    PagedTarget target;
    PageCache cache;
    uint8_t bytes[4] = {};
    ASSERT_EQ(cache.readWords(0x80, 4, bytes, target.reader()), zern::kLinkDone);
    EXPECT_EQ(target.reads, (std::vector<uint64_t>{0x100}));
    // The all-ones address is erased flash, without traffic.
    ASSERT_EQ(cache.readWords(~0ull, 4, bytes, target.reader()), zern::kLinkDone);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 4), (std::vector<uint8_t>(4, 0xFF)));
    EXPECT_EQ(cache.readWords(1ull << 63, 4, bytes, target.reader()), zern::kLinkBadArgument);
    EXPECT_EQ(target.reads.size(), 1u);
}

TEST(PageCache, BlockReadsTakeExactlyOneWholePage)
{
    struct Case {
        uint64_t address;
        size_t count;
        const char* message;  // empty: accepted
    };
    const Case cases[] = {
        {0x200, 256, ""},
        {0x80, 256, "Attempting to read a partial block of data. (1)"},
        {0x200, 128, "Attempting to read a partial block of data. (2)"},
        {0x201, 12, "Attempting to read a partial block of data. (1)"},
    };
    const zern::LinkMessages messages(&MessageRecorder::callback);
    for (const Case& c : cases) {
        MessageRecorder::take();
        const bool whole = std::string(c.message).empty();
        EXPECT_EQ(PageCache::wholePage(c.address, c.count, messages), whole) << c.address;
        const auto lines = MessageRecorder::take();
        if (whole)
            EXPECT_TRUE(lines.empty());
        else
            EXPECT_EQ(lines, (std::vector<std::string>{"", c.message, "Please check all connections and try again."}));
    }
}

TEST(TargetCaches, ARunMakesEverythingStale)
{
    PagedTarget target;
    zern::TargetCaches caches;
    uint8_t byte = 0;
    caches.code.read(0, 1, &byte, target.reader());
    caches.data.read(0, 1, &byte, target.reader());
    caches.registers.markValid();
    caches.invalidateAll();
    EXPECT_FALSE(caches.code.holds(0));
    EXPECT_FALSE(caches.data.holds(0));
    EXPECT_FALSE(caches.registers.valid());
}

// Word memory on the far side: what was read and written, as text.
struct WordMemory {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(16, 0);
    std::vector<std::string> traffic;
    int failWriteAt = -1;

    zern::WordWriter writer()
    {
        return [this](uint64_t even, uint8_t low, uint8_t high) {
            traffic.push_back("W" + std::to_string(even) + "=" + std::to_string(low) + "," + std::to_string(high));
            if (static_cast<int>(traffic.size()) - 1 == failWriteAt)
                return false;
            bytes[even] = low;
            bytes[even + 1] = high;
            return true;
        };
    }
    zern::WordReader reader()
    {
        return [this](uint64_t even, uint8_t(&word)[2]) {
            traffic.push_back("R" + std::to_string(even));
            word[0] = bytes[even];
            word[1] = bytes[even + 1];
            return true;
        };
    }
};

TEST(WordWrites, WholeWordsWhereTheyCanAndMergedLoneBytes)
{
    struct Case {
        const char* name;
        uint64_t address;
        std::vector<uint8_t> data;
        std::vector<std::string> traffic;
    };
    const std::vector<Case> cases = {
        {"one word", 4, {1, 2}, {"W4=1,2"}},
        {"odd start", 5, {1, 2, 3}, {"R4", "W4=44,1", "W6=2,3"}},
        {"even with a tail", 4, {1, 2, 3}, {"W4=1,2", "R6", "W6=3,77"}},
        {"lone odd byte", 7, {9}, {"R6", "W6=66,9"}},
        {"nothing", 4, {}, {}},
    };
    for (const Case& c : cases) {
        WordMemory memory;
        memory.bytes[4] = 44;
        memory.bytes[6] = 66;
        memory.bytes[7] = 77;
        EXPECT_EQ(zern::writeAsWords(c.address, c.data, memory.writer(), memory.reader()), zern::kLinkDone) << c.name;
        EXPECT_EQ(memory.traffic, c.traffic) << c.name;
    }
}

TEST(WordWrites, StopsAtTheFirstFailedWrite)
{
    WordMemory memory;
    memory.failWriteAt = 0;
    const std::vector<uint8_t> data = {1, 2, 3, 4};
    EXPECT_EQ(zern::writeAsWords(0, data, memory.writer(), memory.reader()), zern::kLinkFailure);
    EXPECT_EQ(memory.traffic.size(), 1u);
}

TEST(TargetState, PollsAndBreakpointsByState)
{
    using zern::PollAnswer;
    using zern::TargetState;
    struct Case {
        TargetState state;
        PollAnswer poll;
        bool breakpoints;
    };
    const Case cases[] = {
        {TargetState::NotInDebug, PollAnswer::NotHalted, false}, {TargetState::Loader, PollAnswer::Halted, false},
        {TargetState::Halted, PollAnswer::Halted, true},         {TargetState::Running, PollAnswer::AskTarget, true},
        {TargetState::TestMode, PollAnswer::UnknownMode, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(zern::pollAnswer(c.state), c.poll) << static_cast<int>(c.state);
        EXPECT_EQ(zern::takesBreakpoints(c.state), c.breakpoints) << static_cast<int>(c.state);
    }
}

}  // namespace
