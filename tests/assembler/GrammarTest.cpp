// Statements and directives: END, data lists, ORG and ALIGN.
#include <gtest/gtest.h>

#include "AsmTestSupport.h"

namespace zernasm {
namespace {

using test::Assemble;
using test::RunResult;

size_t Count(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

std::vector<uint8_t> Bytes(const std::map<uint32_t, uint8_t>& map)
{
    std::vector<uint8_t> bytes;
    for (const auto& entry : map)
        bytes.push_back(entry.second);
    return bytes;
}

TEST(GrammarEnd, MissingEndIsReportedOnceInPass2)
{
    const RunResult run = Assemble(" NOP\n NOP\n", {"-q", "-l"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(
        run.err,
        "prog.asm: Line 3\nError: Missing End at the end of file\n  Last token read was \"\"\n\nError! Parse failed!\n");
    EXPECT_FALSE(run.programHex.has_value());
    EXPECT_EQ(test::SplitLines(*run.listing).back(), "Error! Parse failed!");
}

TEST(GrammarEnd, TextAfterEndIsNeverRead)
{
    const RunResult run = Assemble(" NOP\n END\n this is @@ not assembler\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.Words(0, 2), std::vector<uint16_t>({0xDA3A}));
}

TEST(GrammarData, DbInDataSegmentOnZernaNeedsNoOption)
{
    const RunResult run = Assemble("SEGMENT DATA\n DB \"AB\", 1\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(Bytes(run.data), std::vector<uint8_t>({0x41, 0x42, 0x01}));
}

TEST(GrammarData, DbInCodeSegmentIsReportedButWrittenAndPadded)
{
    const RunResult run = Assemble(" DB \"AB\", 1\n END\n", {"-q", "-l"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(Count(run.err, "Error: The DB data type is currently not supported!"), 2u) << run.err;
    const RunResult allowed = Assemble(" DB \"AB\", 1\n NOP\n END\n", {"-q", "-b"});
    EXPECT_EQ(allowed.exitStatus, 0) << allowed.err;
    EXPECT_EQ(Bytes(allowed.program), std::vector<uint8_t>({0x41, 0x42, 0x01, 0xFF, 0x3A, 0xDA}));
}

TEST(GrammarData, DataLabelAfterAnOddByteLandsWhereItSays)
{
    // The label aligns the data counter to the next word; the byte written
    // after it must be at that word's address, not right behind the odd byte.
    const RunResult run = Assemble("SEGMENT DATA\n DB 1\nlbl: DB 2\nSEGMENT CODE\n MOVE DP[0], #lbl\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.data, (std::map<uint32_t, uint8_t>{{0, 1}, {2, 2}}));
    EXPECT_EQ(run.Words(0, 1), std::vector<uint16_t>({0x3F01}));
}

TEST(GrammarData, DlWritesLowWordFirstAndListsHighByteFirst)
{
    const RunResult run = Assemble("SEGMENT DATA\n DL 12345678h\n END\n", {"-q", "-l"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(Bytes(run.data), std::vector<uint8_t>({0x78, 0x56, 0x34, 0x12}));
    const std::vector<std::string> body = run.ListingBody();
    ASSERT_GE(body.size(), 4u);
    EXPECT_EQ(body[1], "       2: 0000: 1234   DL 12345678h");
    EXPECT_EQ(body[3], "                5678  ");
}

TEST(GrammarData, OnlyTheFirstWordListItemMayBeAnExpression)
{
    RunResult run = Assemble("SEGMENT DATA\n DW 1, 2+3\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find("Error: parse error\n  Last token read was \"+\""), std::string::npos) << run.err;
    run = Assemble("SEGMENT DATA\n DW 2+3, 1\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(Bytes(run.data), std::vector<uint8_t>({5, 0, 1, 0}));
}

TEST(GrammarData, DtIsRefused)
{
    const RunResult run = Assemble("SEGMENT CODE\n DT 1, 2\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find("Error: Error! The DT data type is currently not supported!"), std::string::npos);
}

TEST(GrammarOrg, OrgsWithoutCodeRecordNoRangeAndOverlapsAreFound)
{
    RunResult run = Assemble(" ORG 10h\n ORG 20h\n NOP\n ORG 10h\n NOP\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.Words(0x10, 1), std::vector<uint16_t>({0xDA3A}));
    EXPECT_EQ(run.Words(0x20, 1), std::vector<uint16_t>({0xDA3A}));
    run = Assemble(" ORG 10h\n NOP\n NOP\n ORG 11h\n NOP\n ORG 40h\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find("Error:  Code segement overlaps for the range 17 to 18 "), std::string::npos) << run.err;
}

TEST(GrammarOrg, OverlapsAreFoundBeyondSixtyThreeRanges)
{
    std::string source;
    for (int i = 0; i < 70; ++i)
        source += " ORG " + std::to_string(i * 4) + "\n NOP\n";
    source += " ORG 8\n NOP\n ORG 1000\n END\n";
    const RunResult run = Assemble(source, {"-q"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find("Code segement overlaps for the range 8 to 9"), std::string::npos) << run.err;
}

TEST(GrammarAlign, PadsOddWordAddressesOnly)
{
    RunResult run = Assemble(" NOP\n NOP\nALIGN32\n NOP\n END\n", {"-q"});
    EXPECT_EQ(Bytes(run.program), std::vector<uint8_t>({0x3A, 0xDA, 0x3A, 0xDA, 0x3A, 0xDA}));
    run = Assemble(" NOP\nALIGN32\n NOP\n END\n", {"-q"});
    EXPECT_EQ(Bytes(run.program), std::vector<uint8_t>({0x3A, 0xDA, 0xFF, 0xFF, 0x3A, 0xDA}));
}

TEST(GrammarParser, TraceTextsUnderDebug)
{
    // Rules are numbered as the grammar lists them: NOP is rule 23, DJNZ 15,
    // the empty statement 2.
    RunResult run = Assemble(";!DEBUG!\n NOP\n\n DJNZ LC[1], x\nx: ADD (\n END\n", {"-q"});
    const char* const shown[] = {
        "Starting parse\nEntering state 0\nReading a token: Next token is 316 (TOKEN_NOP)\n"
        "Shifting token 316 (TOKEN_NOP), Entering state ",
        "Reducing via rule 23 (line ",
        "), TOKEN_NOP  -> Instruction\nEntering state ",
        "Reducing via rule 15 (line ",
        "), TOKEN_DJNZ TOKEN_LOOPCOUNTER TOKEN_COMMA Source  -> Instruction\n",
        "), StartEx TOKEN_NEWLINE  -> Start\n\nStart (LIWP: false; PP: false; PTP: false; CD: 0x10; CI: 0x5dfe",
        "Reducing via rule 2 (line ",
        "),  -> StartEx\n",
        "Reading a token: Next token is 40 ('(')\nShifting token 40 ('('), Entering state ",
        "\nError: state stack now 0 11\nError: state stack now 0\nprog.asm: Line 5\nError: Parse failed",
    };
    for (const char* text : shown)
        EXPECT_NE(run.err.find(text), std::string::npos) << text << "\n" << run.err;
    for (const char* text : {"Stack now", "Reducing stack", "$$", "nterm", "Reading a token\n", "LoopCounter"})
        EXPECT_EQ(run.err.find(text), std::string::npos) << text;
    run = Assemble(";!DEBUG!\n DW " + std::string(250, '-') + "1\n NOP", {"-q"});
    EXPECT_NE(run.err.find("\nStack size increased to 400\n"), std::string::npos);
    EXPECT_NE(run.err.find("Reading a token: Now at end of input.\n"), std::string::npos);
}

TEST(GrammarParser, DeepNestingOverflowsTheStackCleanly)
{
    const std::string deep = std::string(12000, '(') + "1" + std::string(12000, ')');
    const RunResult run = Assemble("SEGMENT DATA\n DW " + deep + "\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find("Error: parser stack overflow"), std::string::npos);
    const std::string fine = std::string(300, '(') + "1" + std::string(300, ')');
    EXPECT_EQ(Assemble("SEGMENT DATA\n DW " + fine + "\n END\n", {"-q"}).exitStatus, 0);
}

}  // namespace
}  // namespace zernasm
