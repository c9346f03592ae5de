// Labels: reserved names, case, pass-2 address checks and long names.
#include <gtest/gtest.h>

#include "AsmTestSupport.h"
#include "Assembly.h"
#include "Symbols.h"

namespace zernasm {
namespace {

using test::Assemble;
using test::RunResult;

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

TEST(SymbolTable, HashAndNameComparisonIgnoreCase)
{
    EXPECT_EQ(SymbolHash("start"), SymbolHash("START"));
    EXPECT_EQ(SymbolHash("A"), 0x41u);
    EXPECT_EQ(SymbolHash("AB"), 0x452u);
    EXPECT_LT(SymbolHash(std::string(200, 'Z')), 1u << 28);
    EXPECT_TRUE(SymbolNamesEqual("Loop", "lOOP"));
    EXPECT_FALSE(SymbolNamesEqual("Loop", "Loops"));
}

TEST(SymbolTable, IndexGrowsAndTracedMovesKeepTheBucketOrder)
{
    SymbolTable table;
    table.Clear();
    for (int i = 0; i < 5000; ++i) {
        const std::string name = "Name" + std::to_string(i);
        table.Define(table.Entry(name), name, false, i);
    }
    const Symbol* found = table.Find("NAME4321");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->value, 4321);
    EXPECT_EQ(found->name, "Name4321");
    EXPECT_EQ(table.Find("Name5000"), nullptr);
    Symbol* undefined = table.Entry("later");
    EXPECT_FALSE(undefined->defined);
    EXPECT_EQ(table.Entry("LATER"), undefined);
    // Buckets of the ELF hash modulo 500 ascending, the newest first in each.
    const std::vector<Symbol*> order = table.InBucketOrder();
    ASSERT_EQ(order.size(), 5000u);
    for (size_t i = 1; i < order.size(); ++i) {
        const uint32_t before = SymbolHash(order[i - 1]->name) % 500;
        const uint32_t after = SymbolHash(order[i]->name) % 500;
        EXPECT_TRUE(before < after || (before == after && order[i - 1]->serial > order[i]->serial)) << i;
    }
}

TEST(SymbolTable, ReservedNamesAndCaseInsensitiveLabels)
{
    RunResult run = Assemble("AP: NOP\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_TRUE(Contains(run.err, "Error: Label \"AP\" already defined")) << run.err;
    run = Assemble("Start: NOP\nSTART: NOP\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_TRUE(Contains(run.err, "prog.asm: Line 2\nError: Label \"START\" already defined")) << run.err;
    // CP is no reserved name: the label is entered, and CP still reads as the register.
    run = Assemble("CP: NOP\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
}

TEST(SymbolTable, CodeLabelAheadOfPass2IsFilledWithNops)
{
    Assembly a;
    a.options.listing = false;
    a.pass = 2;
    a.console = Console{stdout, stderr};
    InitSymbolTable(a);
    a.pass = 1;
    a.codeBytes = 10;  // word 5
    DefineLabel(a, "ahead: ", false);
    a.pass = 2;
    char* text = nullptr;
    size_t size = 0;
    a.codeFile = open_memstream(&text, &size);
    a.codeStream.Reset(true);
    a.codeStream.SetAddress(4);
    a.codeBytes = 4;  // word 2: three words short
    DefineLabel(a, "ahead: ", false);
    EXPECT_EQ(a.codeBytes, 10u);
    EXPECT_EQ(a.errors, 0);
    a.codeStream.End();
    fclose(a.codeFile);
    EXPECT_EQ(std::string(text, size), ":020000040000FA\n:060004003ADA3ADA3ADABA\n:00000001FF\n");
    free(text);
}

TEST(SymbolTable, DataLabelOffByOneWordIsReported)
{
    Assembly a;
    char* text = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&text, &size);
    FILE* err = fopen("/dev/null", "w");
    a.console = Console{out, err};
    a.inputPath = "prog.asm";
    a.pass = 1;
    InitSymbolTable(a);
    a.dataSegment = true;
    a.dataBytes = 2;
    DefineLabel(a, "table: ", false);
    a.pass = 2;
    a.dataBytes = 4;
    DefineLabel(a, "table: ", false);
    fclose(out);
    fclose(err);
    EXPECT_EQ(std::string(text, size), "Address of table is  1 but should be 2\n");
    EXPECT_EQ(
        a.output.errorText,
        "prog.asm: Line 1\nError: Assembler Error! Address of variable does not match!\n  Last token read was \"\"\n\n");
    free(text);
}

TEST(SymbolTable, ZernCDataLabelsHoldByteAddresses)
{
    const RunResult run = Assemble(
        "SEGMENT DATA\n DW 1, 2, 3, 4, 5\nfive: DW 0\nSEGMENT CODE\n MOVE DP[0], #five\n END\n", {"-q", "-w32"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.Words(0, 1), std::vector<uint16_t>({0x3F0A}));
}

TEST(SymbolTable, AfterAPass1ErrorSymbolsReadMinusOne)
{
    const RunResult run = Assemble("AP: NOP\nx: NOP\n MOVE DP[0], #x\n MOVE DP[1], #undefined\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 1);
    // No "not defined" report in pass 2 and no address check.
    EXPECT_FALSE(Contains(run.err, "not defined")) << run.err;
    EXPECT_FALSE(Contains(run.err, "Address of variable")) << run.err;
    EXPECT_FALSE(run.programHex.has_value());
}

TEST(SymbolTable, UndefinedSymbolInPass2)
{
    const RunResult run = Assemble(" MOVE DP[1], #nowhere\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_TRUE(Contains(run.err, "Error: Symbol \"nowhere\" not defined\n  Last token read was \"nowhere\""))
        << run.err;
}

TEST(SymbolTable, LongLocalNamesAgreeingIn127CharactersAreOneSymbol)
{
    const std::string global(126, 'g');
    const RunResult run = Assemble(global + ":\n.first: NOP\n.second: NOP\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 3);
    EXPECT_TRUE(Contains(run.err, "already defined")) << run.err;
}

TEST(SymbolTable, LabelLongerThan127CharactersWarnsInPass2)
{
    const std::string name(130, 'n');
    const RunResult run = Assemble(name + ": NOP\n JUMP " + name + "\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, "Warning: Label more than 127 characters only 127 characters considered on line 1"));
    EXPECT_TRUE(Contains(run.out, "Warning: Label more than 127 characters only 127 considered on line 2"));
}

}  // namespace
}  // namespace zernasm
