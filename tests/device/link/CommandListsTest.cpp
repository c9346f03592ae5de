// The configured command lists with their "Status:" lines, and the link's
// message forms, on their own.

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "CommandLists.h"
#include "TestSupport.h"

namespace {

using device_tests::MessageRecorder;
using zern::TargetState;

class CommandListsTest : public ::testing::Test {
protected:
    void SetUp() override { MessageRecorder::take(); }

    zern::CommandListRunner runner(int failAt = -1)
    {
        return zern::CommandListRunner(messages_, [this, failAt](const zern::CommandRecord& record, uint8_t& status) {
            sent_.push_back(record);
            status = static_cast<uint8_t>(0x40 + sent_.size());
            return static_cast<int>(sent_.size()) - 1 != failAt;
        });
    }
    // A driver's entry into the boot loader: it says so, and succeeds as told.
    std::function<bool()> entry(bool succeeds = true)
    {
        return [this, succeeds] {
            messages_.line("Entering Loader");
            return succeeds;
        };
    }

    zern::LinkMessages messages_{&MessageRecorder::callback};
    zern::CommandList sent_;
};

TEST_F(CommandListsTest, EachRecordGivesItsLineWithTheStatus)
{
    const zern::CommandList list = {{0x07, 0x01}, {0xAB}};
    EXPECT_TRUE(runner().run(list, "Pre-Erase Command: "));
    EXPECT_EQ(sent_, list);
    EXPECT_EQ(MessageRecorder::take(),
              (std::vector<std::string>{"Pre-Erase Command: 07, 01, Status: 41", "Pre-Erase Command: ab, Status: 42"}));
    EXPECT_TRUE(runner().run({}, "Post-Erase Command: "));
    EXPECT_TRUE(MessageRecorder::take().empty());
}

TEST_F(CommandListsTest, ALinkFailureEndsTheListWithoutItsLine)
{
    EXPECT_FALSE(runner(1).run({{0x01}, {0x02}, {0x03}}, "Post-Erase Command: "));
    EXPECT_EQ(sent_.size(), 2u);
    EXPECT_EQ(MessageRecorder::take(), (std::vector<std::string>{"Post-Erase Command: 01, Status: 41"}));
}

TEST_F(CommandListsTest, PostLoadListEndsWithItsDelay)
{
    EXPECT_TRUE(runner().runPostLoad({{0x07, 0x01}}, 5, TargetState::Loader, entry()));
    EXPECT_EQ(MessageRecorder::take(), (std::vector<std::string>{"Post-Load Command: 07, 01, Status: 41",
                                                                 "Post-Load Delay: 5", "Delay Complete"}));
    sent_.clear();
    EXPECT_FALSE(runner(0).runPostLoad({{0x07}}, 5, TargetState::Loader, entry()));
    EXPECT_TRUE(MessageRecorder::take().empty());
}

// The post-load records are the boot loader's: a list with records enters it
// first unless the target is in it, and a failed entry sends nothing.
TEST_F(CommandListsTest, PostLoadListEntersTheLoaderOnlyForRecords)
{
    const std::string command = "Post-Load Command: 07, Status: 41";
    const std::vector<std::string> delay = {"Post-Load Delay: 0", "Delay Complete"};
    const struct {
        const char* name;
        zern::CommandList list;
        TargetState state;
        bool entryWorks;
        bool ran;
        size_t sent;
        std::vector<std::string> lines;
    } cases[] = {
        {"halted", {{0x07}}, TargetState::Halted, true, true, 1, {"Entering Loader", command, delay[0], delay[1]}},
        {"in the loader", {{0x07}}, TargetState::Loader, true, true, 1, {command, delay[0], delay[1]}},
        {"no records", {}, TargetState::NotInDebug, false, true, 0, delay},
        {"entry fails", {{0x07}}, TargetState::Running, false, false, 0, {"Entering Loader"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sent_.clear();
        EXPECT_EQ(runner().runPostLoad(c.list, 0, c.state, entry(c.entryWorks)), c.ran);
        EXPECT_EQ(sent_.size(), c.sent);
        EXPECT_EQ(MessageRecorder::take(), c.lines);
    }
}

TEST(LinkMessages, LinkErrorsCarryTheAdviceAndNoCallbackDropsAll)
{
    MessageRecorder::take();
    const zern::LinkMessages messages(&MessageRecorder::callback);
    messages.line("Connected.");
    messages.linkError("Unable to read from the serial port.");
    EXPECT_EQ(MessageRecorder::take(),
              (std::vector<std::string>{"Connected.", "", "Unable to read from the serial port.",
                                        "Please check all connections and try again."}));
    const zern::LinkMessages silent(nullptr);
    silent.line("x");
    silent.linkError("y");
    EXPECT_TRUE(MessageRecorder::take().empty());
}

}  // namespace
