#include <gtest/gtest.h>
#include <map>

#include "ChipModel.h"
#include "Instruction.h"
#include "Wire.h"

using namespace zern::chipmodel;
using namespace zern::chipmodel::test;

namespace {

Instruction decodeAt(uint32_t pc, const std::map<uint32_t, uint16_t>& words)
{
    return decodeInstruction(pc, [&](uint32_t address) {
        const auto found = words.find(address);
        return found == words.end() ? uint16_t{0xFFFF} : found->second;
    });
}

// Words as the assembler writes them: "CALL delay" at 2 with delay at 4,
// "JUMP loop" three words back, RET, NOP, the long and far forms.
TEST(Instruction, DecodesTheAssemblersBranchWords)
{
    Instruction call = decodeAt(2, {{2, 0x3D01}});
    EXPECT_EQ(call.flow, Flow::Call);
    EXPECT_EQ(call.target, 4u);
    EXPECT_EQ(call.length, 1u);
    Instruction jump = decodeAt(5, {{5, 0x0CFD}});
    EXPECT_EQ(jump.flow, Flow::Jump);
    EXPECT_EQ(jump.target, 3u);
    EXPECT_EQ(decodeAt(0, {{0, 0x8C0D}}).flow, Flow::Return);
    EXPECT_EQ(decodeAt(0, {{0, 0x8C8D}}).flow, Flow::Return);

    Instruction longJump = decodeAt(0, {{0, 0x0BA0}, {1, 0x0C10}});
    EXPECT_EQ(longJump.flow, Flow::Jump);
    EXPECT_EQ(longJump.target, 0xA010u);
    EXPECT_EQ(longJump.length, 2u);
    Instruction farCall = decodeAt(3, {{3, 0x0B01}, {4, 0x0B23}, {5, 0x3D45}});
    EXPECT_EQ(farCall.flow, Flow::Call);
    EXPECT_EQ(farCall.target, 0x12345u);
    EXPECT_EQ(farCall.length, 3u);
}

TEST(Instruction, EverythingElseMovesOnByOneWord)
{
    for (uint16_t word : {0xDA3A, 0xFFFF, 0x9C0D, 0x8C0C, 0x8C00, 0xBD01, 0x8C10, 0x1C05, 0x3C05}) {
        const Instruction other = decodeAt(7, {{7, word}});
        EXPECT_EQ(other.flow, Flow::Next) << std::hex << word;
        EXPECT_EQ(other.length, 1u) << std::hex << word;
    }
    // A prefix that prefixes no branch is a word of its own, even before a RET.
    EXPECT_EQ(decodeAt(0, {{0, 0x0B12}, {1, 0xDA3A}}).length, 1u);
    EXPECT_EQ(decodeAt(0, {{0, 0x0B12}, {1, 0x8C0D}}).flow, Flow::Next);
    // A third prefix in a row is not taken into the target.
    EXPECT_EQ(decodeAt(0, {{0, 0x0B01}, {1, 0x0B02}, {2, 0x0B03}, {3, 0x0C04}}).flow, Flow::Next);
}

void putWords(ChipModel& chip, uint32_t wordAddress, const std::vector<uint16_t>& words)
{
    std::vector<uint8_t> bytes;
    for (uint16_t word : words) {
        bytes.push_back(static_cast<uint8_t>(word));
        bytes.push_back(static_cast<uint8_t>(word >> 8));
    }
    chip.setCode(uint64_t{wordAddress} * 2, bytes);
}

ChipSettings fewPerPoll()
{
    ChipSettings settings;
    settings.instructionsPerPoll = 4;
    return settings;
}

// 0 NOP, 1 CALL 4, 2 NOP, 3 JUMP 3; 4 NOP, 5 RET.
const std::vector<uint16_t> kCallingProgram = {0xDA3A, 0x3D02, 0xDA3A, 0x0CFF, 0xDA3A, 0x8C0D};

TEST(ChipExecution, SingleStepsFollowCallsAndReturns)
{
    ChipModel chip(fewPerPoll());
    putWords(chip, 0, kCallingProgram);
    feedWire(chip, kEntryWithBreak);
    ASSERT_EQ(chip.programCounter(), 0u);
    std::vector<uint32_t> visited;
    for (int i = 0; i < 7; ++i) {
        feedWire(chip, "01 26");
        visited.push_back(chip.programCounter());
    }
    EXPECT_EQ(visited, (std::vector<uint32_t>{1, 4, 5, 2, 3, 3, 3}));
}

TEST(ChipExecution, RunHaltsAtABreakpointInsideTheCalledRoutineAndAfterIt)
{
    ChipModel chip(fewPerPoll());
    putWords(chip, 0, kCallingProgram);
    feedWire(chip, kDebugEntry + " 05 15 05 00 11 80");
    EXPECT_EQ(feedWire(chip, kStatus)[0], 1);
    EXPECT_EQ(chip.programCounter(), 5u);
    feedWire(chip, "01 27");
    for (int poll = 0; poll < 3; ++poll)
        EXPECT_EQ(feedWire(chip, kStatus)[0], 0);
    // The loop at 3 keeps the chip there; the routine is not entered again.
    EXPECT_EQ(chip.programCounter(), 3u);
}

TEST(ChipExecution, ReturnStackKeepsTheLatestSixteenCalls)
{
    ChipModel chip(fewPerPoll());
    // Twenty nested calls: the one at 2k calls 2k + 2 and returns to the RET at 2k + 1.
    std::vector<uint16_t> program;
    for (int k = 0; k < 20; ++k)
        program.insert(program.end(), {0x3D01, 0x8C0D});
    program.push_back(0x8C0D);
    putWords(chip, 0, program);
    feedWire(chip, kEntryWithBreak);
    for (int i = 0; i < 20; ++i)
        feedWire(chip, "01 26");
    ASSERT_EQ(chip.programCounter(), 40u);
    feedWire(chip, "01 26");
    EXPECT_EQ(chip.programCounter(), 39u);
    for (int i = 0; i < 15; ++i)
        feedWire(chip, "01 26");
    EXPECT_EQ(chip.programCounter(), 9u);
    // The four oldest return addresses were dropped: this return moves on.
    feedWire(chip, "01 26");
    EXPECT_EQ(chip.programCounter(), 10u);
}

TEST(ChipExecution, ResetEmptiesTheReturnStack)
{
    ChipModel chip(fewPerPoll());
    putWords(chip, 0, {0x3D01, 0xDA3A, 0x8C0D});
    feedWire(chip, kEntryWithBreak);
    feedWire(chip, "01 26");
    ASSERT_EQ(chip.programCounter(), 2u);
    feedWire(chip, "00 05 00 04");
    feedWire(chip, kEntryWithBreak);
    chip.setProgramCounter(2);
    feedWire(chip, "01 26");
    EXPECT_EQ(chip.programCounter(), 3u);
}

}  // namespace
