// Scanner behaviour seen through whole assemblies: numbers, keywords,
// registers, labels, strings and the line-start rules.
#include <gtest/gtest.h>

#include "AsmTestSupport.h"
#include "ScannerSupport.h"

namespace zernasm {
namespace {

using test::Assemble;
using test::RunResult;

// The data bytes a DB list in the data segment produced, in address order.
std::vector<uint8_t> DataBytes(const RunResult& run)
{
    std::vector<uint8_t> bytes;
    for (const auto& [address, value] : run.data)
        bytes.push_back(value);
    return bytes;
}

std::string ErrorText(int line, const std::string& message, const std::string& token)
{
    return "prog.asm: Line " + std::to_string(line) + "\nError: " + message + "\n  Last token read was \"" + token
           + "\"\n\n";
}

TEST(ScannerNumbers, SourceForms)
{
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {{"0FFh", 255},      {"101b", 5},        {"1bh", 27},        {"12d", 12}, {"012", 12},
                 {"0FFFFFFFFh", -1}, {"100000000h", -1}, {"4294967296", -1}, {"7", 7},    {"1B", 1}};
    for (const auto& c : cases)
        EXPECT_EQ(NumberValue(c.text), c.value) << c.text;
    EXPECT_EQ(NumberValue(std::string(80, '1')), -1);
    EXPECT_EQ(BracketIndex("A[10h]"), 16);
    EXPECT_EQ(BracketIndex("SP"), -1);
}

TEST(ScannerNumbers, SuffixLettersAfterDigitsAreNames)
{
    // 2b is the number 2 followed by the name b; 0x1F is 0 followed by x1F.
    RunResult run = Assemble("SEGMENT DATA\n DB 2b\n END\n", {"-q"});
    EXPECT_NE(run.exitStatus, 0);
    EXPECT_NE(run.err.find("Error: parse error\n  Last token read was \"b\""), std::string::npos) << run.err;
    run = Assemble("SEGMENT DATA\n DB 0x1F\n END\n", {"-q"});
    EXPECT_NE(run.err.find("Last token read was \"x1F\""), std::string::npos) << run.err;
}

TEST(ScannerKeywords, BlanksBeforeEndTakeItAsAKeyword)
{
    // "  ENDX" is END followed by the name X: the run ends at END.
    RunResult run = Assemble(" NOP\n  ENDX\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.Words(0, 2), std::vector<uint16_t>({0xDA3A}));
    // Without blanks ENDX is a name, so the source has no END.
    run = Assemble(" NOP\nENDX\n", {"-q"});
    EXPECT_NE(run.exitStatus, 0);
}

TEST(ScannerKeywords, EquateIsNoStatementOfTheGrammar)
{
    const RunResult run = Assemble("x EQUATE 5\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err.find(ErrorText(1, "parse error", "x")), 0u) << run.err;
    const RunResult indented = Assemble(" DW x EQU 5\n END\n", {"-q"});
    EXPECT_NE(indented.err.find(ErrorText(1, "parse error", " EQU ")), std::string::npos) << indented.err;
}

TEST(ScannerRegisters, ModuleFormsAndIndexMessages)
{
    RunResult run = Assemble(" MOVE M15[3], Acc\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.Words(0, 1), std::vector<uint16_t>({0xBF0A}));
    run = Assemble(" MOVE M16[3], Acc\n END\n", {"-q"});
    EXPECT_NE(run.exitStatus, 0);
    run = Assemble(" MOVE M01[3], Acc\n END\n", {"-q"});
    EXPECT_NE(run.exitStatus, 0);
    run = Assemble(" MOVE A[ 1 ], Acc\n END\n", {"-q"});
    EXPECT_NE(run.exitStatus, 0);
    run = Assemble(" MOVE PRIVT[5], Acc\n END\n", {"-q", "-c"});
    EXPECT_EQ(run.err.find(ErrorText(1, "Invalid PRIVT index [5]", "PRIVT[5]")), 0u) << run.err;
    // PRIVT[5] is PRIVT1 (8/6): the word is still formed.
    EXPECT_EQ(run.exitStatus, 1);
    run = Assemble(" MOVE DP[2], Acc\n END\n", {"-q"});
    EXPECT_EQ(run.err.find(ErrorText(1, "Invalid data pointer index [2]", "DP[2]")), 0u) << run.err;
    run = Assemble(" MOVE LC[2], Acc\n END\n", {"-q"});
    EXPECT_EQ(run.err.find(ErrorText(1, "Invalid loop index [2]", "LC[2]")), 0u) << run.err;
    run = Assemble(" MOVE PFX[8], Acc\n END\n", {"-q"});
    EXPECT_EQ(run.err.find(ErrorText(1, "Invalid prefix index [8]", "PFX[8]")), 0u) << run.err;
    run = Assemble(" MOVE IPR[2], Acc\n END\n", {"-q", "-c"});
    EXPECT_EQ(run.err.find(ErrorText(1, "Invalid IPR index [2]", "IPR[2]")), 0u) << run.err;
}

TEST(ScannerStrings, EmptyStringAndMultiCharacterQuotesAreNoTokens)
{
    RunResult run = Assemble("SEGMENT DATA\n DB \"\"\n END\n", {"-q"});
    EXPECT_NE(run.exitStatus, 0);
    run = Assemble("SEGMENT DATA\n DB 'ab'\n END\n", {"-q"});
    EXPECT_NE(run.exitStatus, 0);
    run = Assemble("SEGMENT DATA\n DB 'a', \"xy\", 0FFh\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(DataBytes(run), std::vector<uint8_t>({'a', 'x', 'y', 0xFF}));
}

TEST(ScannerStrings, LongStringsAreCutWithAWarning)
{
    const std::string text(130, 'z');
    const RunResult run = Assemble("SEGMENT DATA\n DB \"" + text + "\"\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(DataBytes(run).size(), 125u);  // 127 characters with both quotes
    EXPECT_NE(run.out.find("Warning: String more than 127 characters only 127 considered on line 2"),
              std::string::npos);
}

TEST(ScannerLineStart, DebugAndDirectiveLinesCountOnlyAtLineStart)
{
    // ";!DEBUG!" after blanks is a comment; at line start it switches tracing.
    RunResult run = Assemble("  ;!DEBUG!\n NOP\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.out, "");
    run = Assemble(";!DEBUG!\n NOP\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_NE(run.out.find("Token_Debug "), std::string::npos);
    EXPECT_NE(run.out.find("TOKEN_NOP "), std::string::npos);
    // Without a line end behind it, the debug line is an ordinary comment.
    run = Assemble(" NOP\n END\n;!DEBUG!", {"-q"});
    EXPECT_EQ(run.out, "");
    run = Assemble(" NOP\n;!DEBUG!", {"-q"});
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Missing End at the end of file"), std::string::npos);
    // A "$MESSAGE" line without the closing parenthesis is a skipped directive line.
    run = Assemble("$MESSAGE(\"hi\"\n$MESSAGE(\"hello\") rest\n NOP\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err, "\n--------\nZERNASM: Line 2: hello\n--------\n");
}

TEST(ScannerLineStart, Align32AndLabelsNeedTheFirstColumn)
{
    RunResult run = Assemble(" NOP\nALIGN32 anything here\n NOP\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.Words(0, 4), std::vector<uint16_t>({0xDA3A, 0xFFFF, 0xDA3A}));
    run = Assemble(" ALIGN32\n END\n", {"-q"});
    EXPECT_NE(run.exitStatus, 0);
    run = Assemble(" x: NOP\n END\n", {"-q"});
    EXPECT_NE(run.exitStatus, 0);
}

TEST(ScannerLabels, DotLetterLocalLabels)
{
    RunResult run = Assemble("main:\n.b: NOP\n JUMP .b\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err.find(ErrorText(2, ".B, .W and .L are invalid local labels!", ".b: ")), 0u) << run.err;
    run = Assemble("SEGMENT DATA\nmain:\n.b: DB 1\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
}

TEST(ScannerSegments, ReferenceSpelledDataSwitchesSegment)
{
    // "DATA" inside an instruction is the segment keyword: the rest is data.
    const RunResult run = Assemble(" DW DATA\n", {"-q"});
    EXPECT_NE(run.exitStatus, 0);
}

TEST(ScannerInput, NulByteEndsTheLineAsEndOfInput)
{
    const RunResult run = Assemble(std::string(" NOP\0\n END\n", 11), {"-q"});
    EXPECT_NE(run.exitStatus, 0);
    EXPECT_NE(run.err.find("Error: parse error"), std::string::npos);
}

TEST(ScannerInput, CrLfSourcesAssembleLikeLfSources)
{
    const std::string lf = "; comment\nstart: MOVE A[3], #1234h\n JUMP start\nSEGMENT DATA\n DB \"a\nb\", 1\n END\n";
    std::string crlf;
    for (char c : lf)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const RunResult a = Assemble(lf, {"-q", "-l", "-b"});
    const RunResult b = Assemble(crlf, {"-q", "-l", "-b"});
    EXPECT_EQ(a.exitStatus, 0) << a.err;
    EXPECT_EQ(a.exitStatus, b.exitStatus);
    EXPECT_EQ(a.programHex, b.programHex);
    EXPECT_EQ(a.dataHex, b.dataHex);
    EXPECT_EQ(a.ListingBody(), b.ListingBody());
}

}  // namespace
}  // namespace zernasm
