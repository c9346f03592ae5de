// Hostile sources: deep expressions, huge tokens and lines, hundreds of
// thousands of labels and forward jumps, counters past the address space.
// Timings compare processor time with a run of ordinary lines of the same
// size in the same test, with a wide margin, so a busy machine cannot fail them.
#include <gtest/gtest.h>

#include "AsmTestSupport.h"

namespace zernasm {
namespace {

using test::RunProgram;
using test::RunResult;
using test::TempFolder;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

RunResult RunSource(const std::string& source, const std::vector<std::string>& options, size_t memoryLimit = 0)
{
    TempFolder folder;
    folder.Write("prog.asm", source);
    std::vector<std::string> arguments = options;
    arguments.push_back("prog.asm");
    RunResult run = RunProgram(folder, arguments, memoryLimit);
    EXPECT_FALSE(folder.Exists("prog.tmp"));
    EXPECT_FALSE(folder.Exists("prog_d.tmp"));
    return run;
}

std::string Repeat(const std::string& text, size_t count)
{
    std::string repeated;
    repeated.reserve(text.size() * count);
    for (size_t i = 0; i < count; ++i)
        repeated += text;
    return repeated;
}

// Linear work takes a small multiple of the baseline's time at most; the
// quadratic work these sources used to cause took a hundred times more.
void ExpectLinear(const std::string& source, const std::string& baseline, const std::vector<std::string>& options)
{
    const RunResult run = RunSource(source, options);
    const RunResult base = RunSource(baseline, options);
    EXPECT_EQ(run.exitStatus, 0) << run.err.substr(0, 300);
    EXPECT_EQ(base.exitStatus, 0) << base.err.substr(0, 300);
    EXPECT_LE(run.processorSeconds, 10 * base.processorSeconds + 0.5) << "baseline " << base.processorSeconds << " s";
}

TEST(HostileInput, DeepExpressionIsEvaluatedWithoutRecursion)
{
    // 300,001 terms fold into a tree as deep as that, evaluated after pass 1.
    const RunResult run = RunSource(" JUMP x" + Repeat("+x-x", 150000) + "\nx: NOP\n END\n", {"-q"});
    ASSERT_EQ(run.exitStatus, 0) << run.err.substr(0, 300);
    EXPECT_EQ(run.Words(0, 2), std::vector<uint16_t>({0x0C00, 0xDA3A}));
}

TEST(HostileInput, OutOfMemoryEndsTheRunWithoutTemporaries)
{
    if (kSanitized)
        GTEST_SKIP() << "the sanitizer runtime needs more address space than the limit allows";
    // A tree of eight million terms cannot fit into 64 MB.
    const RunResult run = RunSource(" JUMP x" + Repeat("+x", 8000000) + "\nx: NOP\n END\n", {"-q"}, 64 << 20);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "Memory allocation error\n");
    EXPECT_FALSE(run.programHex.has_value());
}

TEST(HostileInput, LongTokensAreScannedInLinearTime)
{
    const std::string body(4000000, 'x');
    const std::string ordinary = Repeat(" NOP ; an ordinary comment\n", body.size() / 27) + " END\n";
    ExpectLinear(";" + body + "\n END\n", ordinary, {"-q", "-l"});
    // An unterminated string is scanned to the end once, then read as a quote.
    const RunResult unterminated = RunSource(" DB \"" + body + "\n END\n", {"-q"});
    const RunResult base = RunSource(ordinary, {"-q"});
    EXPECT_EQ(unterminated.exitStatus, 1);
    EXPECT_LE(unterminated.processorSeconds, 10 * base.processorSeconds + 0.5);
}

TEST(HostileInput, LabelsAndForwardJumpsResolveInNearLinearTime)
{
    std::string labels;
    for (int i = 0; i < 200000; ++i)
        labels += "L" + std::to_string(i) + ": NOP\n";
    ExpectLinear(labels + " END\n", Repeat(" NOP ; L123456:\n", 200000) + " END\n", {"-q"});
    // Every jump grows once the others have: far jumps on the 32-bit core.
    ExpectLinear(Repeat(" JUMP far\n", 60000) + "far: NOP\n END\n", Repeat(" NOP\n", 60000) + " END\n", {"-q", "-w32"});
}

TEST(HostileInput, AddressPastTheEndOfTheAddressSpaceIsAnError)
{
    const struct {
        const char* source;
        int firstErrorLine;  // 0: no error
    } cases[] = {
        {" ORG 0FFFFFFFFh\n NOP\n NOP\n END\n", 1},
        {" ORG 7FFFFFFFh\n NOP\n NOP\n END\n", 3},
        {" ORG 7FFFFFFFh\n DB 1, 2, 3\n END\n", 2},
        {"SEGMENT DATA\n ORG 7FFFFFFFh\n DW 1\n DW 2\nSEGMENT CODE\n END\n", 4},
        {" ORG 7FFFFFFFh\n NOP\n END\n", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        const RunResult run = RunSource(c.source, {"-q", "-b"});
        if (c.firstErrorLine == 0) {
            EXPECT_EQ(run.exitStatus, 0) << run.err;
            EXPECT_EQ(run.Words(0x7FFFFFFF, 1), std::vector<uint16_t>({0xDA3A}));
            continue;
        }
        EXPECT_NE(run.exitStatus, 0);
        const std::string first = "prog.asm: Line " + std::to_string(c.firstErrorLine)
                                  + "\nError: Address past the end of the address space\n";
        EXPECT_EQ(run.err.find("prog.asm: Line"), run.err.find(first)) << run.err;
        EXPECT_FALSE(run.programHex.has_value());
    }
}

TEST(HostileInput, LongConstantLineNeedsMemoryInProportion)
{
    if (kSanitized)
        GTEST_SKIP() << "the sanitizer runtime needs more address space than the limit allows";
    // A few times the line's size, the listing's copy of it included.
    const std::string line = " DW 1" + Repeat("+1", 2000000) + "\n";
    const RunResult run = RunSource(line + " END\n", {"-q", "-l"}, 6 * line.size() + (16 << 20));
    EXPECT_EQ(run.exitStatus, 0) << run.err.substr(0, 300);
    EXPECT_EQ(run.Words(0, 1), std::vector<uint16_t>({0x8481}));
}

}  // namespace
}  // namespace zernasm
