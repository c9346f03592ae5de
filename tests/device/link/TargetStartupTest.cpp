// The start-up sequence over scripted link steps: its order, the wait for
// the halt at the start of user code, and the breakpoints set again.

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "LinkDriver.h"
#include "TargetStartup.h"
#include "TestSupport.h"

namespace {

using device_tests::MessageRecorder;

class ScriptedSteps final : public zern::StartupSteps {
public:
    std::vector<std::string> calls;
    int pollsUntilHalt = 2;
    std::string failing;

    bool holdTargetInReset() override { return step("hold"); }
    bool resumeTarget() override { return step("resume"); }
    bool releaseTarget() override { return step("release"); }
    int setCodeBreakpoint(uint64_t address) override { return code("set " + std::to_string(address)); }
    int clearCodeBreakpoint(uint64_t address) override { return code("clear " + std::to_string(address)); }
    int clearAllCodeBreakpoints() override { return code("clear all"); }
    bool pollStatus(bool& halted) override
    {
        halted = --pollsUntilHalt <= 0;
        return step("poll");
    }

private:
    bool step(const std::string& call)
    {
        calls.push_back(call);
        return call != failing;
    }
    int code(const std::string& call) { return step(call) ? zern::kLinkDone : zern::kLinkFailure; }
};

class TargetStartupTest : public ::testing::Test {
protected:
    void SetUp() override { MessageRecorder::take(); }
    int start(const zern::BreakpointSlots::Addresses& before = {})
    {
        return zern::startTarget(steps_, plan_, before, messages_);
    }

    ScriptedSteps steps_;
    zern::StartupPlan plan_{0x600, 10, 1};
    zern::LinkMessages messages_{&MessageRecorder::callback};
};

TEST_F(TargetStartupTest, RunsToTheStartAndSetsTheBreakpointsAgain)
{
    EXPECT_EQ(start({0x10, std::nullopt, 0x30, std::nullopt}), zern::kLinkDone);
    EXPECT_EQ(steps_.calls, (std::vector<std::string>{"hold", "resume", "clear all", "set 1536", "release", "poll",
                                                      "poll", "clear 1536", "set 16", "set 48"}));
    EXPECT_TRUE(MessageRecorder::take().empty());
}

TEST_F(TargetStartupTest, ATargetThatNeverHaltsIsReportedAndTheStartGoesOn)
{
    steps_.pollsUntilHalt = 1 << 20;
    EXPECT_EQ(start(), zern::kLinkDone);
    // Polls at 0, 1, ... 10 ms of the 10 ms start-up delay.
    EXPECT_EQ(std::count(steps_.calls.begin(), steps_.calls.end(), "poll"), 11);
    EXPECT_EQ(steps_.calls.back(), "clear 1536");
    EXPECT_EQ(MessageRecorder::take(),
              (std::vector<std::string>{"", "The ZERN did not enter debug mode after the reset.",
                                        "Please check all connections and try again."}));
}

TEST_F(TargetStartupTest, AFailedStepEndsTheStart)
{
    for (const char* step : {"hold", "resume", "clear all", "set 1536", "release", "poll", "clear 1536"}) {
        steps_ = ScriptedSteps{};
        steps_.failing = step;
        EXPECT_EQ(start({0x10}), zern::kLinkFailure) << step;
        EXPECT_EQ(steps_.calls.back(), step);
    }
}

TEST_F(TargetStartupTest, ABreakpointThatCannotBeSetAgainIsLeftOut)
{
    steps_.failing = "set 16";
    EXPECT_EQ(start({0x10, 0x20}), zern::kLinkDone);
    EXPECT_EQ(steps_.calls.back(), "set 32");
}

}  // namespace
