#include <chrono>
#include <future>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>

#include "FakeTarget.h"
#include "QuorinAssembler.h"

namespace asmtest {
namespace {

using ::testing::ElementsAre;

constexpr int32_t kPrefix = 0x0B00;
constexpr int32_t kReturn = 0x8C0D;
constexpr int32_t callTo(unsigned target)
{
    return 0x3D00 | static_cast<int32_t>(target);
}
constexpr int32_t jumpTo(unsigned target)
{
    return 0x1100 | static_cast<int32_t>(target);
}

class Stepping : public ::testing::Test {
protected:
    Stepping()
    {
        CompilerSettings settings{0x1000, 0x800, "lib", nullptr, 20, "", &target_.runState};
        compiler_.Initialize(&target_, &settings);
        // main: 0x10 calls 0x20, then 0x11. 0x20: NOP, call 0x30, NOP, return. 0x30: NOP, return.
        target_.code = {{0x10, callTo(0x20)}, {0x21, callTo(0x30)}, {0x23, kReturn}, {0x31, kReturn}};
    }

    FakeTarget target_;
    asmplugin::QuorinAssembler compiler_;
};

TEST_F(Stepping, StepOverRunsPastACallAndItsPrefixWords)
{
    target_.code[0x100] = callTo(0x30);
    target_.pc = 0x100;
    EXPECT_EQ(compiler_.StepOver(), 0);
    EXPECT_THAT(target_.runToAddresses, ElementsAre(0x101u));

    target_.code[0x100] = kPrefix;
    target_.code[0x101] = callTo(0x30);
    target_.pc = 0x100;
    EXPECT_EQ(compiler_.StepOver(), 0);
    EXPECT_THAT(target_.runToAddresses, ElementsAre(0x101u, 0x102u));
    EXPECT_EQ(target_.pc, 0x102u);
    EXPECT_EQ(target_.instructionSteps.load(), 0);
}

TEST_F(Stepping, StepOverAndStepIntoOtherWordsTakeOneMachineStep)
{
    target_.pc = 0x20;
    EXPECT_EQ(compiler_.StepOver(), 0);
    EXPECT_EQ(target_.instructionSteps.load(), 1);
    EXPECT_EQ(target_.pc, 0x21u);
    EXPECT_EQ(compiler_.StepInto(), 0);
    EXPECT_EQ(target_.pc, 0x30u) << "step into enters the call";
    EXPECT_TRUE(target_.runToAddresses.empty());
}

TEST_F(Stepping, StepOutReturnsToTheCallersNextLine)
{
    target_.pc = 0x10;
    ASSERT_EQ(compiler_.StepInto(), 0);
    ASSERT_EQ(target_.pc, 0x20u);
    EXPECT_EQ(compiler_.StepOut(), 0);
    EXPECT_EQ(target_.pc, 0x11u);
    EXPECT_THAT(target_.runToAddresses, ElementsAre(0x22u)) << "the inner call is stepped over";
    EXPECT_EQ(target_.runState, 2);
}

TEST_F(Stepping, StepOutAtAReturnTakesExactlyOneStep)
{
    target_.stack = {0x11};
    target_.pc = 0x23;
    EXPECT_EQ(compiler_.StepOut(), 0);
    EXPECT_EQ(target_.instructionSteps.load(), 1);
    EXPECT_EQ(target_.pc, 0x11u);
}

TEST_F(Stepping, StepOutStopsAtABreakpointWithoutReturning)
{
    target_.stack = {0x11};
    target_.pc = 0x20;
    target_.breakpoints = {0x22};
    EXPECT_EQ(compiler_.StepOut(), 0);
    EXPECT_EQ(target_.pc, 0x22u);
    EXPECT_THAT(target_.stack, ElementsAre(0x11u));
}

TEST_F(Stepping, StopAndPauseFromAnotherThreadEndStepOut)
{
    for (const bool stop : {true, false}) {
        target_.code[0x40] = jumpTo(0x40);
        target_.pc = 0x40;
        auto stepping = std::async(std::launch::async, [this] { return compiler_.StepOut(); });
        while (target_.instructionSteps < 100)
            std::this_thread::yield();
        stop ? target_.Stop() : target_.Pause();
        ASSERT_EQ(stepping.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        EXPECT_EQ(stepping.get(), stop ? 1 : 0);
        target_.instructionSteps = 0;
    }
}

TEST_F(Stepping, DeviceFailuresEndTheStepWithFive)
{
    target_.pc = 0x20;
    target_.failProgramCounter = true;
    EXPECT_EQ(compiler_.StepOver(), 5);
    EXPECT_EQ(compiler_.StepOut(), 5);
    target_.failProgramCounter = false;
    target_.unreadable = {0x21};
    target_.code[0x20] = kPrefix;
    EXPECT_EQ(compiler_.StepOver(), 5);
    EXPECT_EQ(target_.instructionSteps.load(), 0);

    asmplugin::QuorinAssembler unbound;
    EXPECT_EQ(unbound.StepInto(), 5);
    EXPECT_EQ(unbound.StepOver(), 5);
    EXPECT_EQ(unbound.StepOut(), 5);
}

}  // namespace
}  // namespace asmtest
