// The four hardware breakpoint slots and their limit box, on their own.

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "BreakpointSlots.h"
#include "LinkDriver.h"
#include "MessageBoxes.h"

namespace {

using zern::BreakpointSlots;

class BreakpointSlotsTest : public ::testing::Test {
protected:
    BreakpointSlots::SetSlot setter(int result = zern::kLinkDone)
    {
        return [this, result](int slot, uint64_t address) {
            sent.push_back("set " + std::to_string(slot) + "=" + std::to_string(address));
            return result;
        };
    }
    BreakpointSlots::ClearSlot clearer(bool works = true)
    {
        return [this, works](int slot) {
            sent.push_back("clear " + std::to_string(slot));
            return works;
        };
    }

    BreakpointSlots slots;
    std::vector<std::string> sent;
    platform::RecordingMessageBoxes boxes;
    platform::ScopedMessageBoxes guard{boxes};
};

TEST_F(BreakpointSlotsTest, FourSlotsThenTheLimitBox)
{
    for (uint64_t address : {0x10, 0x20, 0x10, 0x40})
        ASSERT_EQ(slots.set(address, setter()), zern::kLinkDone);
    EXPECT_EQ(sent, (std::vector<std::string>{"set 0=16", "set 1=32", "set 2=16", "set 3=64"}));
    sent.clear();
    EXPECT_EQ(slots.set(0x50, setter()), zern::kLinkBadArgument);
    EXPECT_TRUE(sent.empty());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Breakpoint Limit");
    EXPECT_EQ(boxes.boxes[0].text, "Unable to add breakpoint!\n\nThe maximum number of breakpoints\nhas been reached.");
    EXPECT_EQ(boxes.boxes[0].icon, platform::BoxIcon::Warning);
    EXPECT_FALSE(slots.holds(0x50));
    EXPECT_EQ(slots.addresses()[3], 0x40u);
}

TEST_F(BreakpointSlotsTest, ARefusedOrFailedSetLeavesTheSlotFree)
{
    EXPECT_EQ(slots.set(0x10000, setter(zern::kLinkBadArgument)), zern::kLinkBadArgument);
    EXPECT_EQ(slots.set(0x10, setter(zern::kLinkFailure)), zern::kLinkFailure);
    EXPECT_EQ(slots.addresses(), BreakpointSlots::Addresses{});
    ASSERT_EQ(slots.set(0x20, setter()), zern::kLinkDone);
    EXPECT_EQ(sent.back(), "set 0=32");
}

TEST_F(BreakpointSlotsTest, ClearingFreesTheFirstSlotThatHoldsTheAddress)
{
    for (uint64_t address : {0x10, 0x20, 0x10})
        slots.set(address, setter());
    sent.clear();
    EXPECT_EQ(slots.clear(0x10, clearer()), zern::kLinkDone);
    EXPECT_EQ(sent, (std::vector<std::string>{"clear 0"}));
    EXPECT_TRUE(slots.holds(0x10));
    EXPECT_EQ(slots.clear(0x99, clearer()), zern::kLinkBadArgument);
    EXPECT_EQ(slots.clear(0x20, clearer(false)), zern::kLinkFailure);
    EXPECT_TRUE(slots.holds(0x20));
    // A freed slot is the first one a new breakpoint takes.
    slots.set(0x30, setter());
    EXPECT_EQ(sent.back(), "set 0=48");
}

TEST_F(BreakpointSlotsTest, ClearAllFreesTheSlotsInUseInOrder)
{
    for (uint64_t address : {0x10, 0x20, 0x30})
        slots.set(address, setter());
    slots.clear(0x20, clearer());
    sent.clear();
    EXPECT_EQ(slots.clearAll(clearer()), zern::kLinkDone);
    EXPECT_EQ(sent, (std::vector<std::string>{"clear 0", "clear 2"}));
    EXPECT_EQ(slots.addresses(), BreakpointSlots::Addresses{});
    slots.set(0x40, setter());
    EXPECT_EQ(slots.clearAll(clearer(false)), zern::kLinkFailure);
}

}  // namespace
