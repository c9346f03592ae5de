// Pass 2 composes the lines that pass 1 kept instead of parsing them again:
// every output must be what parsing every line gives, byte for byte,
// including where pass 2 alone warns or fails and the line is parsed after all.
#include <gtest/gtest.h>

#include "AsmTestSupport.h"

namespace zernasm {
namespace {

using test::Assemble;
using test::RunResult;

std::string Repeat(const std::string& text, int count)
{
    std::string repeated;
    for (int i = 0; i < count; ++i)
        repeated += text;
    return repeated;
}

// Blocks of the benchmark's mix: labels, immediates, ALU, branches both
// ways, a call and a data word, with jumps far enough to grow.
std::string MixedProgram(int blocks)
{
    std::string source;
    for (int i = 0; i < blocks; ++i) {
        const std::string n = std::to_string(i);
        source += "L" + n + ": MOVE A[1], #" + std::to_string(i % 256) + "\n ADD #" + std::to_string(i * 3 % 200)
                  + "\n MOVE DP[0], #L" + std::to_string(blocks - i) + "\n AND A[2]\n JUMP Z, L" + n + "\n JUMP L"
                  + std::to_string((i * 7) % (blocks + 1)) + "\n CALL L" + n + "\n DW " + n + ", L" + n + "\n";
    }
    return source + "L" + std::to_string(blocks) + ": NOP\n END\n";
}

// A deterministic mix of what pass 1 keeps and what it leaves to pass 2.
std::string GeneratedProgram(uint32_t seed, int lines)
{
    static const char* const kStatements[] = {
        " MOVE A[3], #L%d",   " ADD #%d",          " JUMP L%d",    " JUMP NC, L%d",
        " CALL L%d",          " DJNZ LC[1], L%d",  " DW %d, 2, 3", " DL %d",
        " MOVE DP[1], #$+%d", " NOP ; comment %d", " SJUMP L%d",   " MOVE Acc, #L%d",
        " LJUMP L%d",         " PUSH #%d",         " CMP #L%d+1",  " MOVE @DP[1]++, A[%d]",
        " AND Acc.%d",        " MOVE C, Acc.%d",   " DB %d, 1",    " RET Z",
    };
    constexpr int kKinds = sizeof kStatements / sizeof kStatements[0];
    std::string source;
    uint32_t state = seed;
    auto next = [&state](uint32_t limit) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % limit;
    };
    char line[80];
    for (int i = 0; i < lines; ++i) {
        if (next(3) == 0)
            source += "L" + std::to_string(i) + ":";
        else if (next(8) == 0)
            source += ".l" + std::to_string(next(4)) + ":";
        snprintf(line, sizeof line, kStatements[next(kKinds)], static_cast<int>(next(static_cast<uint32_t>(lines))));
        source += line;
        source += "\n";
    }
    for (int i = 0; i < lines; ++i)
        source += (i % 3 == 0 ? "" : "L" + std::to_string(i) + ":") + std::string(i % 3 == 0 ? "" : " NOP\n");
    return source + " END\n";
}

void ExpectSameBothWays(const std::string& source, const std::vector<std::string>& options)
{
    const RunResult composed = Assemble(source, options, SecondPass::ComposeKeptLines);
    const RunResult parsed = Assemble(source, options, SecondPass::ParseEveryLine);
    EXPECT_EQ(composed.exitStatus, parsed.exitStatus);
    EXPECT_EQ(composed.out, parsed.out);
    EXPECT_EQ(composed.err, parsed.err);
    EXPECT_EQ(composed.programHex, parsed.programHex);
    EXPECT_EQ(composed.dataHex, parsed.dataHex);
    EXPECT_EQ(composed.ListingBody(), parsed.ListingBody());
}

TEST(SecondPass, ComposingKeptLinesGivesWhatParsingGives)
{
    const std::string mixed = MixedProgram(60);
    std::string crlf;
    std::string crCrLf;
    for (const char c : mixed) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        crCrLf += c == '\n' ? std::string("\r\r\n") : std::string(1, c);
    }
    const struct {
        const char* what;
        std::string source;
    } cases[] = {
        {"mixed program", mixed},
        {"the same with CR LF", crlf},
        {"the same with CR CR LF", crCrLf},
        {"local labels and references",
         "main: NOP\n.loop: DJNZ LC[0], .loop\n JUMP .done\n NOP\n.done: RET\nsub: MOVE A[1], #sub\n"
         ".loop: JUMP .loop\n END\n"},
        {"a warning of pass 2 only", " MOVE Acc, #far\n NOP\n ORG 300h\nfar: NOP\n MOVE A[2], #far\n END\n"},
        {"an error of pass 2 only, then parsing to the end",
         " SJUMP ahead\n" + Repeat(" NOP\n", 130) + "ahead: NOP\n JUMP ahead\n END\n"},
        {"the current address", " MOVE DP[0], #$+2\nhere: JUMP $\n DJNZ LC[1], $-1\n MOVE A[1], #here\n END\n"},
        {"data lists", "SEGMENT DATA\nt: DB 1,2,3\n DW 1,2,3,4\n DL 12345678h\n DB \"AB\", 1\n DW 0" + Repeat(", 7", 70)
                           + "\n DW t, 1\nSEGMENT CODE\n MOVE DP[0], #t\n DW $, 5\n END\n"},
        {"a name left undefined", " JUMP target\n JUMP missing\n" + Repeat(" NOP\n", 150) + "target: NOP\n END\n"},
        {"a long label", std::string(130, 'n') + ": NOP\n JUMP " + std::string(130, 'n') + "\n END\n"},
        {"no END", "start: NOP\n JUMP start\n"},
        {"runs of blank and comment lines",
         "\n\n ; one\n;two\n\t\nstart: NOP\n\n ; three\n JUMP start\n" + Repeat("\n ;\n", 40) + " END\n"},
        {"generated", GeneratedProgram(7, 300)},
        {"generated, another seed", GeneratedProgram(1234, 400)},
    };
    const std::vector<std::vector<std::string>> optionSets = {{"-q"}, {"-q", "-l"}, {"-q", "-l", "-w32"}, {"-l", "-b"}};
    for (const auto& c : cases) {
        for (const auto& options : optionSets) {
            SCOPED_TRACE(std::string(c.what) + " with " + options.back());
            ExpectSameBothWays(c.source, options);
        }
    }
}

}  // namespace
}  // namespace zernasm
