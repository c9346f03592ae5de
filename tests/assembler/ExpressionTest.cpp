// Expression arithmetic, precedence and the relaxation between the passes.
#include <climits>
#include <gtest/gtest.h>

#include "AsmTestSupport.h"
#include "Expressions.h"
#include "FixupRules.h"
#include "Symbols.h"
#include "TokenCodes.h"

namespace zernasm {
namespace {

using test::Assemble;
using test::RunResult;

// The value of an expression as a DL item in the code segment (the data
// segment knows no shift operators).
int32_t ValueOf(const std::string& expression)
{
    const RunResult run = Assemble(" DL " + expression + "\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 0) << expression << "\n" << run.err;
    uint32_t value = 0;
    for (uint32_t i = 0; i < 4; ++i) {
        const auto byte = run.program.find(i);
        if (byte != run.program.end())
            value |= static_cast<uint32_t>(byte->second) << (8 * i);
    }
    return static_cast<int32_t>(value);
}

TEST(ExpressionValues, PrecedenceAndAssociativity)
{
    EXPECT_EQ(ValueOf("1+2*3"), 7);
    EXPECT_EQ(ValueOf("1|2^3&4"), 3);
    EXPECT_EQ(ValueOf("8-2-1"), 5);
    EXPECT_EQ(ValueOf("-2*3"), -6);
    EXPECT_EQ(ValueOf("(1+2)*3"), 9);
    EXPECT_EQ(ValueOf("~0"), -1);
    EXPECT_EQ(ValueOf("1<<33"), 2);
    EXPECT_EQ(ValueOf("-16>>2"), -4);
    EXPECT_EQ(ValueOf("1+1<<2"), 8);
    EXPECT_EQ(ValueOf("7FFFFFFFh+1"), INT_MIN);
    EXPECT_EQ(ValueOf("-7/2"), -3);
    EXPECT_EQ(ValueOf("-7%2"), -1);
}

TEST(ExpressionValues, EdgesOfThirtyTwoBitArithmetic)
{
    EXPECT_EQ(ApplyBinary('/', INT_MIN, -1), INT_MIN);
    EXPECT_EQ(ApplyBinary('%', INT_MIN, -1), 0);
    EXPECT_EQ(ApplyBinary('*', INT_MAX, 2), -2);
    EXPECT_EQ(ApplyBinary(TOKEN_EXPR_SHL, 1, 32), 1);
    EXPECT_EQ(ApplyBinary(TOKEN_EXPR_SHR, INT_MIN, 31), -1);
    EXPECT_EQ(ApplyBinary(TOKEN_EXPR_SHR, INT_MIN, 32), INT_MIN);
    EXPECT_EQ(Negate(INT_MIN), INT_MIN);
    EXPECT_EQ(ValueOf("80000000h/-1"), INT_MIN);
}

TEST(ExpressionValues, DivisionByZeroGivesTheLeftOperand)
{
    const RunResult run = Assemble("SEGMENT DATA\n DW 9/0, 1\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find("Error: Attempt to divide by zero"), std::string::npos);
    EXPECT_EQ(ApplyBinary('/', 9, 0), 9);
    EXPECT_EQ(ApplyBinary('%', 9, 0), 9);
}

TEST(FixupRules, OneRuleSizesImmediatesAndBranches)
{
    Symbol dataLabel;
    dataLabel.defined = true;
    dataLabel.dataSegment = true;
    const struct {
        FixupKind kind;
        int32_t value;
        uint32_t address;
        const Symbol* label;
        int32_t words;
    } cases[] = {
        {FixupKind::Immediate, 0xFF, 0, nullptr, 1},     {FixupKind::Immediate, 0x100, 0, nullptr, 2},
        {FixupKind::Immediate, 0x10000, 0, nullptr, 3},  {FixupKind::Immediate, -1, 0, nullptr, 4},
        {FixupKind::Branch, 128, 0, nullptr, 1},         {FixupKind::Branch, 129, 0, nullptr, 2},
        {FixupKind::Branch, 200 - 127, 200, nullptr, 1}, {FixupKind::Branch, 200 - 128, 200, nullptr, 2},
        {FixupKind::Branch, 0xFFFF, 0, nullptr, 2},      {FixupKind::Branch, 0x10000, 0, nullptr, 3},
        {FixupKind::Branch, -1000, 0, nullptr, 3},       {FixupKind::Branch, 5, 4, &dataLabel, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(FixupWords(c.kind, c.value, c.address, c.label), c.words);
        if (c.kind == FixupKind::Branch && !c.label) {
            EXPECT_EQ(FitsShortBranch(c.value, c.address), c.words == 1);
        }
    }
}

// The error reports of a run, without the trace lines before them.
std::string Reports(const std::string& err)
{
    const size_t first = err.find("prog.asm");
    return first == std::string::npos ? std::string() : err.substr(first);
}

// Relaxation moves what lies above a growing statement through an ordered view
// while the code ranges keep apart, and one growth at a time otherwise or
// while tracing (a debug line at the end of pass 1 switches tracing on).
TEST(Relaxation, OrderedAndStepwiseUpdatesAgree)
{
    auto jumps = [](int count, const std::string& target) {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += " JUMP " + target + "\n MOVE DP[0], #" + target + "\n";
        return text;
    };
    const struct {
        std::string body;
        bool overlaps;
    } cases[] = {
        {jumps(80, "far") + std::string(" NOP\n").append("far: NOP\nback: ") + jumps(3, "back"), false},
        {jumps(40, "b") + " ORG 1000h\nb: " + jumps(40, "cend") + " ORG 2000h\ncend: NOP\n", false},
        // Touching ranges: the first one grows into the second.
        {jumps(70, "t") + " ORG 129\nt: NOP\n", true},
        {" ORG 10h\n" + jumps(30, "x") + " ORG 0\n" + jumps(30, "x") + "x: NOP\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body.substr(0, 40));
        const RunResult ordered = Assemble(c.body + "; no trace\n END\n", {"-q"});
        const RunResult stepwise = Assemble(c.body + ";!DEBUG!\n END\n", {"-q"});
        EXPECT_EQ(ordered.exitStatus, c.overlaps ? 1 : 0) << ordered.err;
        EXPECT_EQ(ordered.exitStatus, stepwise.exitStatus);
        // The trace adds its own lines; the reports are the same.
        EXPECT_EQ(Reports(ordered.err), Reports(stepwise.err));
        EXPECT_EQ(ordered.programHex.has_value(), stepwise.programHex.has_value());
        EXPECT_EQ(ordered.program, stepwise.program);
    }
    EXPECT_NE(Assemble(cases[0].body + ";!DEBUG!\n END\n", {"-q"}).out.find("Address of far is changed from"),
              std::string::npos);
}

TEST(Relaxation, ForwardJumpFarAwayGrowsAndMovesLaterLabels)
{
    std::string source = " JUMP target\n";
    for (int i = 0; i < 199; ++i)
        source += " NOP\n";
    source += "target: NOP\nafter: JUMP after\n END\n";
    const RunResult run = Assemble(source, {"-q", "-l"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    // The jump became a prefix and a long jump to word 201 (0x00C9).
    EXPECT_EQ(run.Words(0, 2), std::vector<uint16_t>({0x0B00, 0x0CC9}));
    EXPECT_EQ(run.Words(201, 2), std::vector<uint16_t>({0xDA3A, 0x0CFF}));
}

TEST(Relaxation, NearForwardJumpStaysShort)
{
    const RunResult run = Assemble(" JUMP target\n NOP\ntarget: NOP\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.Words(0, 3), std::vector<uint16_t>({0x0C01, 0xDA3A, 0xDA3A}));
}

TEST(Relaxation, ForwardImmediateLabelGrowsAPrefix)
{
    std::string source = " MOVE DP[0], #table\n";
    for (int i = 0; i < 300; ++i)
        source += " NOP\n";
    source += "table: NOP\n END\n";
    const RunResult run = Assemble(source, {"-q"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.Words(0, 2), std::vector<uint16_t>({0x0B01, 0x3F2E}));
}

TEST(Relaxation, BranchBelowAddressZeroIsSizedAsPass2WritesIt)
{
    // A target below 0 is a far address as pass 2 reads it: relaxation gives
    // the jump the same three words, so the label after it stays in place.
    const RunResult run = Assemble("L: NOP\n JUMP L-1000\nM: NOP\n JUMP M\n END\n", {"-q", "-w32"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.Words(0, 6), std::vector<uint16_t>({0xDA3A, 0x0BFF, 0x0BFC, 0x0C18, 0xDA3A, 0x0CFE}));
}

TEST(Relaxation, UndefinedNameSkipsRelaxationAndTargetChecks)
{
    std::string source = " JUMP target\n JUMP missing\n";
    for (int i = 0; i < 199; ++i)
        source += " NOP\n";
    source += "target: NOP\n END\n";
    const RunResult run = Assemble(source, {"-q", "-l"});
    EXPECT_NE(run.err.find("Symbol \"missing\" not defined"), std::string::npos);
    EXPECT_EQ(run.err.find("Target out of range"), std::string::npos) << run.err;
    // The first jump grew only in pass 2, so the range ends differ: the run
    // ends with status -1, which the system sees as 255.
    EXPECT_NE(run.err.find("Assembler Error! Parse failed! Possible forward reference assigned to DP[i]\n"),
              std::string::npos);
    EXPECT_EQ(test::SplitLines(*run.listing).back(),
              "Assembler Error! Parse failed! Possible forward reference assigned to DP[i]");
    EXPECT_EQ(run.exitStatus, 255);
}

}  // namespace
}  // namespace zernasm
