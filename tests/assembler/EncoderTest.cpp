// Instruction encoding: every operand form on every core that takes it, one
// refusal where it is not taken, the instruction rows and the encoder's messages.
#include <gtest/gtest.h>

#include "AsmTestSupport.h"
#include "Templates.h"

namespace zernasm {
namespace {

using test::Assemble;
using test::RunResult;

struct OperandRow {
    const char* text;
    bool source;
    const char* core;  // the core option, "" for ZERNA
    int module;
    int index;
    const char* refusal;  // run with `refusedOn` instead: the error expected
    const char* refusedOn;
};

constexpr const char* kOnlyAB = "Invalid register valid only for ZERNA/B";
constexpr const char* kModeAB = "Invalid Addressing Mode valid only for ZERNA/B";
constexpr const char* kModeC = "Invalid Addressing Mode valid only for ZERNC";
constexpr const char* k5455 = "Invalid register valid only for ZERN54/55";

const OperandRow kOperandRows[] = {
    {"AP", true, "", 8, 0, nullptr, nullptr},
    {"APC", true, "-w32", 8, 1, nullptr, nullptr},
    {"PRIV", true, "-c", 8, 2, k5455, ""},
    {"PRIVT[0]", true, "-c", 8, 3, k5455, "-w"},
    {"PSF", false, "-w", 8, 4, nullptr, nullptr},
    {"IC", true, "", 8, 5, nullptr, nullptr},
    {"IMR", true, "", 8, 6, kOnlyAB, "-w32"},
    {"IMR", true, "-w", 8, 6, "CP mode is enabled So Invalid IMR", "-C"},
    {"PRIVT[1]", true, "-c", 8, 6, k5455, ""},
    {"IVM", false, "-C", 8, 6, "Invalid register valid only for ZERNBK", "-c"},
    {"SC", false, "", 8, 8, nullptr, nullptr},
    {"IPR[0]", true, "-w32", 8, 9, "Invalid register valid only for ZERNC or Cptr mode ", "-w"},
    {"IPR[1]", true, "-c", 8, 10, nullptr, nullptr},
    {"IIR", true, "", 8, 11, kOnlyAB, "-w32"},
    {"IIR", true, "-w", 8, 11, "CP mode is enabled So Invalid IIR", "-c"},
    {"PRIVF", false, "-c", 8, 11, k5455, "-C"},
    {"ULDR", true, "-c", 8, 12, k5455, ""},
    {"UAPP", false, "-c", 8, 13, nullptr, nullptr},
    {"CKCN", true, "", 8, 14, nullptr, nullptr},
    {"WDCN", false, "-w32", 8, 15, nullptr, nullptr},
    {"A[5]", true, "", 9, 5, nullptr, nullptr},
    {"A[14]", false, "-w", 9, 14, nullptr, nullptr},
    {"A[31]", true, "-acc=32", 9, 31, nullptr, nullptr},
    {"Acc", false, "", 10, 0, nullptr, nullptr},
    {"A[AP]", true, "", 10, 1, nullptr, nullptr},
    {"PFX[3]", false, "", 11, 3, nullptr, nullptr},
    {"C2E31", true, "-w32", 11, 15, "Invalid register valid only for ZERNC", ""},
    {"IP", true, "-w", 12, 0, nullptr, nullptr},
    {"@SP--", true, "", 13, 0, kModeAB, "-w32"},
    {"@SP++", true, "-w32", 13, 0, kModeC, "-w"},
    {"@++SP", false, "-w", 13, 0, kModeAB, "-w32"},
    {"@--SP", false, "-w32", 13, 0, kModeC, ""},
    {"SP", true, "", 13, 1, nullptr, nullptr},
    {"IV", true, "", 13, 2, kOnlyAB, "-w32"},
    {"LC[1]", false, "", 13, 7, nullptr, nullptr},
    {"LC[0]", true, "-w32", 13, 6, nullptr, nullptr},
    {"@SPI--", true, "-w", 13, 8, kModeAB, "-w32"},
    {"@SP[I]++", true, "-w32", 13, 8, kModeC, ""},
    {"@BP[OFFS]", true, "", 14, 0, nullptr, nullptr},
    {"BP", false, "", 14, 7, nullptr, nullptr},
    {"BP", false, "-w32", 14, 0, nullptr, nullptr},
    {"@BP[OFFS++]", true, "-w32", 14, 1, nullptr, nullptr},
    {"@BP[++OFFS]", false, "", 14, 1, kModeAB, "-w32"},
    {"@BP[OFFS--]", true, "", 14, 2, nullptr, nullptr},
    {"@BP[--OFFS]", false, "-w", 14, 2, kModeAB, "-w32"},
    {"OFFS", false, "", 14, 3, nullptr, nullptr},
    {"DPC", true, "", 14, 4, kOnlyAB, "-w32"},
    {"GR", false, "-w", 14, 5, kOnlyAB, "-w32"},
    {"GRL", true, "", 14, 6, kOnlyAB, "-w32"},
    {"GRS", true, "", 14, 8, "Invalid source register for this mode", "-w32"},
    {"GRH", false, "", 14, 9, kOnlyAB, "-w32"},
    {"GRXL", true, "-w", 14, 10, "Invalid source register for this mode", "-w32"},
    {"BP[OFFS]", true, "", 14, 11, kModeAB, "-w32"},
    {"BP[OFFS].b", true, "-w32", 14, 11, kModeC, ""},
    {"BP[OFFS].w", true, "-w32", 14, 12, kModeC, "-w"},
    {"BP[OFFS].l", true, "-w32", 14, 13, nullptr, nullptr},
    {"@BP[OFFS].b", true, "-w32", 14, 8, kModeC, ""},
    {"@BP[OFFS].w", false, "-w32", 14, 9, nullptr, nullptr},
    {"@BP[OFFS].l", true, "-w32", 14, 10, nullptr, nullptr},
    {"@BP[OFFS++].b", true, "-w32", 14, 1, kModeC, ""},
    {"@BP[OFFS++].w", true, "-w32", 14, 4, nullptr, nullptr},
    {"@BP[OFFS++].l", false, "-w32", 14, 6, nullptr, nullptr},
    {"@BP[OFFS--].b", true, "-w32", 14, 2, nullptr, nullptr},
    {"@BP[OFFS--].w", true, "-w32", 14, 5, nullptr, nullptr},
    {"@BP[OFFS--].l", true, "-w32", 14, 7, nullptr, nullptr},
    {"@DP[0]", true, "", 15, 0, kModeAB, "-w32"},
    {"@DP[1]", false, "-w", 15, 4, nullptr, nullptr},
    {"@DP[0]++", true, "", 15, 1, kModeAB, "-w32"},
    {"@DP[1]++", true, "", 15, 5, nullptr, nullptr},
    {"@++DP[0]", false, "", 15, 1, kModeAB, "-w32"},
    {"@++DP[1]", false, "-w", 15, 5, nullptr, nullptr},
    {"@DP[0]--", true, "-w", 15, 2, nullptr, nullptr},
    {"@DP[1]--", true, "", 15, 6, nullptr, nullptr},
    {"@--DP[0]", false, "", 15, 2, nullptr, nullptr},
    {"@--DP[1]", false, "", 15, 6, kModeAB, "-w32"},
    {"DP[0]", true, "", 15, 3, nullptr, nullptr},
    {"DPL[1]", true, "", 15, 7, nullptr, nullptr},
    {"DP[1]", true, "-w32", 15, 13, nullptr, nullptr},
    {"@CP", true, "-c", 15, 8, "CP mode is not enabled", ""},
    {"@CP++", true, "-C", 15, 9, "CP mode is not enabled", "-w"},
    {"@CP--", true, "-c", 15, 10, nullptr, nullptr},
    {"CP", false, "-C", 15, 11, "CP mode is not enabled", ""},
    {"@DP[0].b", true, "-w32", 15, 0, kModeC, ""},
    {"@DP[1].b", true, "-w32", 15, 10, nullptr, nullptr},
    {"@DP[0].w", true, "-w32", 15, 8, nullptr, nullptr},
    {"@DP[1].w", true, "-w32", 15, 18, nullptr, nullptr},
    {"@DP[0].l", false, "-w32", 15, 9, nullptr, nullptr},
    {"@DP[1].l", true, "-w32", 15, 19, kModeC, "-w"},
    {"@DP[0].b++", true, "-w32", 15, 1, nullptr, nullptr},
    {"@DP[1].b++", true, "-w32", 15, 11, nullptr, nullptr},
    {"@DP[0].w++", true, "-w32", 15, 4, nullptr, nullptr},
    {"@DP[1].w++", true, "-w32", 15, 14, nullptr, nullptr},
    {"@DP[0].l++", true, "-w32", 15, 6, nullptr, nullptr},
    {"@DP[1].l++", true, "-w32", 15, 16, nullptr, nullptr},
    {"@DP[0].b--", true, "-w32", 15, 2, nullptr, nullptr},
    {"@DP[1].b--", true, "-w32", 15, 12, nullptr, nullptr},
    {"@DP[0].w--", true, "-w32", 15, 5, nullptr, nullptr},
    {"@DP[1].w--", true, "-w32", 15, 15, nullptr, nullptr},
    {"@DP[0].l--", true, "-w32", 15, 7, nullptr, nullptr},
    {"@DP[1].l--", true, "-w32", 15, 17, nullptr, nullptr},
    {"NUL", false, "", 6, 7, nullptr, nullptr},
    {"NUL", false, "-w32", 8, 2, nullptr, nullptr},
    {"M3[4]", false, "", 3, 4, nullptr, nullptr},
    {"M2[20]", true, "-w", 2, 20, nullptr, nullptr},
};

std::vector<std::string> Options(const char* core)
{
    std::vector<std::string> options = {"-q"};
    if (*core)
        options.push_back(core);
    return options;
}

std::string Statement(const OperandRow& row)
{
    return row.source ? std::string(" MOVE A[0], ") + row.text : std::string(" MOVE ") + row.text + ", A[1]";
}

TEST(EncoderOperands, EveryFormOnItsCoresAndRefusedElsewhere)
{
    for (const OperandRow& row : kOperandRows) {
        SCOPED_TRACE(Statement(row) + " " + row.core);
        const RunResult run = Assemble(Statement(row) + "\n END\n", Options(row.core));
        ASSERT_EQ(run.exitStatus, 0) << run.err;
        std::vector<uint16_t> expected;
        if (row.source) {
            if (row.index > 15)
                expected.push_back(0x1B00);
            expected.push_back(static_cast<uint16_t>(0x8900 | ((row.index & 15) << 4) | row.module));
        } else {
            if (row.index >= 8)
                expected.push_back(static_cast<uint16_t>(0x0B00 | (((row.index >> 2) & 6) << 12)));
            expected.push_back(static_cast<uint16_t>(0x8019 | ((row.index & 7) << 12) | (row.module << 8)));
        }
        EXPECT_EQ(run.Words(0, 3), expected);
        if (row.refusal) {
            const RunResult refused = Assemble(Statement(row) + "\n END\n", Options(row.refusedOn));
            EXPECT_EQ(refused.exitStatus, 1) << row.refusedOn;
            EXPECT_NE(refused.err.find(std::string("Error: ") + row.refusal + "\n"), std::string::npos)
                << row.refusedOn << "\n"
                << refused.err;
        }
    }
}

struct InstructionRow {
    const char* text;
    const char* core;
    std::vector<uint16_t> words;
};

TEST(EncoderInstructions, TemplateRows)
{
    const InstructionRow rows[] = {
        {" AND #12h", "", {0x1A12}},
        {" OR A[2]", "", {0xAA29}},
        {" XOR Acc.3", "", {0xBA3A}},
        {" ADD #-1", "-w", {0x0BFF, 0x4AFF}},
        {" SUB #5", "", {0x5A05}},
        {" ADDC DP[0]", "", {0xEA3F}},
        {" SUBB @DP[1]", "", {0xFA4F}},
        {" CMP #7", "", {0x7807}},
        {"x: JUMP x", "", {0x0CFF}},
        {"x: JUMP Z, x", "", {0x1CFF}},
        {"x: JUMP E, x", "", {0x3CFF}},
        {"x: JUMP C, x", "", {0x2CFF}},
        {"x: JUMP NZ, x", "", {0x5CFF}},
        {"x: JUMP NE, x", "", {0x7CFF}},
        {"x: JUMP NC, x", "", {0x6CFF}},
        {"x: JUMP S, x", "", {0x4CFF}},
        {" JUMP IP", "", {0x8C0C}},
        {"x: DJNZ LC[0], x", "", {0x4DFF}},
        {"x: DJNZ LC[1], x", "", {0x5DFF}},
        {"x: CALL x", "", {0x3DFF}},
        {" RET", "", {0x8C0D}},
        {" RET Z", "", {0x9C0D}},
        {" RET C", "", {0xAC0D}},
        {" RET S", "", {0xCC0D}},
        {" RET NZ", "", {0xDC0D}},
        {" RET NC", "", {0xEC0D}},
        {" RETI NC", "", {0xEC8D}},
        {" PUSH A[1]", "", {0x8D19}},
        {" PUSH #3", "", {0x0D03}},
        {" POP A[1]", "", {0x990D}},
        {" POPI DP[0]", "", {0xBF8D}},
        {" CPL", "", {0x8A1A}},
        {" SLA", "", {0x8A2A}},
        {" SLA2", "", {0x8A3A}},
        {" SLA4", "", {0x8A6A}},
        {" RL", "", {0x8A4A}},
        {" RLC", "", {0x8A5A}},
        {" XCH", "-w", {0x8A8A}},
        {" XCHN", "", {0x8A7A}},
        {" NEG", "", {0x8A9A}},
        {" SR", "", {0x8AAA}},
        {" RR", "", {0x8ACA}},
        {" RRC", "", {0x8ADA}},
        {" SRA", "", {0x8AFA}},
        {" SRA2", "", {0x8AEA}},
        {" SRA4", "", {0x8ABA}},
        {" MOVE C, Acc.5", "", {0xEA5A}},
        {" MOVE Acc.12, C", "-w", {0xFACA}},
        {" MOVE C, #0", "", {0xDA0A}},
        {" MOVE C, #1", "", {0xDA1A}},
        {" CPL C", "", {0xDA2A}},
        {" NOP", "", {0xDA3A}},
        {" MOVE C, A[2].3", "", {0xB729}},
        {" MOVE M3[2].3, #1", "", {0xA3B7}},
        {" MOVE 25h.6, #0", "", {0xA567}},
        {" MB1", "-w32", {0xCA0A}},
        {" MB2", "-w32", {0xCA1A}},
        {" MB3", "-w32", {0xCA2A}},
        {" MB4", "-w32", {0xCA3A}},
        {" MW1", "-w32", {0xCA4A}},
        {" MW2", "-w32", {0xCA5A}},
        {" SEB", "-w32", {0xCA6A}},
        {" SEW", "-w32", {0xCA7A}},
        {" XCHW", "-w32", {0xCA8A}},
        {" XCHE", "-w32", {0xCA9A}},
        {" BIC A[1]", "-w32", {0x2B00, 0x8A19}},
        {" CLZ A[1]", "-w32", {0x2B00, 0x9A19}},
        {" MLB1 #3", "-w32", {0x2B00, 0x2A03}},
        {" MLB2 A[1]", "-w32", {0x2B00, 0xBA19}},
        {" MLB3 A[1]", "-w32", {0x2B00, 0xCA19}},
        {" MLB4 A[1]", "-w32", {0x2B00, 0xDA19}},
        {" MLW1 A[1]", "-w32", {0x2B00, 0xEA19}},
        {" MLW2 A[1]", "-w32", {0x2B00, 0xFA19}},
        {" LMOVE A[1], A[2]", "", {0x0B00, 0x9929}},
    };
    for (const InstructionRow& row : rows) {
        SCOPED_TRACE(std::string(row.text) + " " + row.core);
        const RunResult run = Assemble(std::string(row.text) + "\n END\n", Options(row.core));
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(run.Words(0, 5), row.words);
    }
}

TEST(EncoderInstructions, TemplateTableIsComplete)
{
    uint32_t mask = 0;
    EXPECT_EQ(FirstBrokenTemplate(kTemplates, kTemplateRows, &mask), -1);
    InstructionTemplate broken[] = {{"ODD", 0x00FF, 0x0000, 0x3F00, 0}};
    EXPECT_EQ(FirstBrokenTemplate(broken, 1, &mask), 0);
    EXPECT_EQ(mask, 0x3FFFu);
}

TEST(EncoderPrefixes, ImmediatesAndIndexes)
{
    EXPECT_EQ(Assemble(" MOVE A[3], #1234h\n END\n", {"-q", "-w"}).Words(0, 3),
              std::vector<uint16_t>({0x0B12, 0x3934}));
    // A destination index of 8 or more adds a prefix even between registers.
    EXPECT_EQ(Assemble(" MOVE A[9], A[1]\n END\n", {"-q"}).Words(0, 3), std::vector<uint16_t>({0x2B00, 0x9919}));
    // An explicit PFX write suppresses the next instruction's own prefix.
    EXPECT_EQ(Assemble(" MOVE PFX[2], #12h\n MOVE DP[0], #3456h\n END\n", {"-q", "-w"}).Words(0, 3),
              std::vector<uint16_t>({0x2B12, 0x3F56}));
    EXPECT_EQ(Assemble(" MOVE A[2], #80000000h\n END\n", {"-q", "-w32"}).Words(0, 3), std::vector<uint16_t>({0xA9FB}));
    EXPECT_EQ(Assemble(" MOVE Acc, #-1\n END\n", {"-q", "-w32"}).Words(0, 5),
              std::vector<uint16_t>({0x0BFF, 0x0BFF, 0x0BFF, 0x0AFF}));
    EXPECT_EQ(Assemble(" MOVE DP[0], #12345h\n END\n", {"-q", "-w32"}).Words(0, 5),
              std::vector<uint16_t>({0x0B01, 0x0B23, 0x3F45}));
}

TEST(EncoderBranches, ShortRangeAndLongForms)
{
    std::string source = "back: NOP\n SJUMP ahead\n";
    for (int i = 0; i < 127; ++i)
        source += " NOP\n";
    source += "ahead: NOP\n";
    RunResult run = Assemble(source + " END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.Words(1, 1), std::vector<uint16_t>({0x0C7F}));
    run = Assemble(
        "back: NOP\n SJUMP ahead\n NOP\n" + source.substr(std::string("back: NOP\n SJUMP ahead\n").size()) + " END\n",
        {"-q"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find("Error: Target out of range\n"), std::string::npos);
    run = Assemble("SEGMENT DATA\n ORG 10h\nbuf: DW 0\nSEGMENT CODE\n LJUMP buf\n END\n", {"-q"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.Words(0, 3), std::vector<uint16_t>({0x0BA0, 0x0C10}));
    run = Assemble(" ORG 12345h\nfar: NOP\n ORG 0\n FJUMP far\n FCALL far\n END\n", {"-q", "-w32"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.Words(0, 6), std::vector<uint16_t>({0x0B01, 0x0B23, 0x0C45, 0x0B01, 0x0B23, 0x3D45}));
}

TEST(EncoderBranches, DataLabelTargetsOnEveryCoreAndForm)
{
    // buf and odd at data words 10h and 11h, late (defined after its use) at 12h;
    // here at code word 1. On ZERNC a data label holds its byte address.
    const struct {
        const char* statement;
        const char* core;
        std::vector<uint16_t> words;
    } rows[] = {
        {" LJUMP buf", "", {0x0BA0, 0x0C10}},
        {" LJUMP odd", "", {0x0BA0, 0x0C11}},
        {" JUMP odd", "", {0x0BA0, 0x0C11}},
        {" JUMP NZ, buf", "", {0x0BA0, 0x5C10}},
        {" JUMP late", "", {0x0BA0, 0x0C12}},
        {" LCALL odd", "", {0x0BA0, 0x3D11}},
        {" CALL buf", "", {0x0BA0, 0x3D10}},
        {" LDJNZ LC[1], buf", "", {0x0BA0, 0x5D10}},
        {" DJNZ LC[0], odd", "", {0x0BA0, 0x4D11}},
        {" LJUMP here", "", {0x0B00, 0x0C01}},
        {" JUMP odd", "-w", {0x0BA0, 0x0C11}},
        {" LCALL late", "-w", {0x0BA0, 0x3D12}},
        {" JUMP odd", "-w32", {0x0BA0, 0x0C22}},
        {" FJUMP buf", "-w32", {0x0B00, 0x0BA0, 0x0C20}},
        {" DJNZ LC[1], late", "-w32", {0x0BA0, 0x5D24}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.statement) + " " + row.core);
        const RunResult run = Assemble("SEGMENT DATA\n ORG 10h\nbuf: DW 0\nodd: DW 1\nSEGMENT CODE\n NOP\nhere:"
                                           + std::string(row.statement) + "\nSEGMENT DATA\nlate: DW 2\n END\n",
                                       Options(row.core));
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(run.Words(1, 4), row.words);
    }
}

struct MessageCase {
    const char* source;
    const char* options;
    const char* message;
    bool warning;
};

TEST(EncoderMessages, EveryErrorAndWarningText)
{
    const MessageCase cases[] = {
        {" MB1", "", "Invalid instruction for ZERNA/B", false},
        {" XCH", "", "Invalid instruction", false},
        {" BIC A[1]", "-w", "Invalid instruction for ZERNA/B", false},
        {" MOVE A[16], A[1]", "", "Illegal Index Detected", false},
        {" MOVE A[1], A[16]", "", "Illegal Index Detected", true},
        {" MOVE A[1], A[0FFFFFFFFh]", "", "Illegal Index -1 Detected", false},
        {" MOVE A[1], M2[40]", "", "Illegal Index 40 Detected", false},
        {" MOVE C, Acc.8", "", "Invalid bit width", false},
        {" MOVE Acc.16, C", "-w", "Invalid bit width", false},
        {" MOVE A[1].8, #1", "", "Invalid bit width", false},
        {" MOVE C, #2", "", "Invalid bit immediate", false},
        {" MOVE A[1].2, #3", "", "Invalid bit immediate", false},
        {" MOVE M6[1].2, #1", "", " Error : Bit operations are valid only on module numbers 1-5 and 8.", false},
        {" MOVE 12h, A[1]", "", " destination cannot be constant or a label", false},
        {" POP 112h", "", " destination cannot be constant or a label", false},
        {" MOVE IIR, A[1]", "", "Invalid Destination operand", false},
        {" MOVE IV, A[1]", "-c", "Invalid Destination operand", false},
        {" MOVE @BP[OFFS++], A[1]", "", "Invalid Destination operand", false},
        {" MOVE Acc, A[AP]", "", "Move Acc, A[AP] is not a valid instruction", false},
        {" ADD Acc", "", "Invalid source: ACC", false},
        {" AND A[AP]", "", "Invalid source: A[AP]", false},
        {" PUSH @SP--", "", " Invalid source operand as it conflicts with stack manipulation", false},
        {" POP SP", "", " Invalid source operand as it conflicts with stack manipulation", false},
        {" POPI @++SP", "", " Invalid source operand as it conflicts with stack manipulation", false},
        {" MOVE SP, @SPI--", "", " Invalid source operand as it conflicts with stack manipulation", false},
        {" MOVE @--SP, @SP++", "-w32", " Invalid source operand as it conflicts with stack manipulation", false},
        {" ADD #$", "", "$ must not be preceeded by #", false},
        {" ADD 5", "", "Immediate value or adress must be preceeded by #", false},
        {" MOVE Acc, #1234h", "", "Value is out of range", true},
        {" JUMP 5", "", "Immediate value invalid for JUMP. Context Unknown! Use SJUMP or LJUMP\n", false},
        {" DJNZ LC[0], 5", "", "Immediate value invalid for DJNZ. Context Unknown! Use SDJNZ or LDJNZ\n", false},
        {" CALL 5", "", "Immediate value invalid for CALL. Context Unknown! Use SCALL or LCALL\n", false},
        {" SJUMP A[1]", "", "label or immediate value address must be supplied ", false},
        {" SCALL 5", "", "label or immediate value address must be supplied ", false},
        {"x: JUMP E, A[1]", "", "label or immediate value address must be supplied ", false},
        {" LJUMP 10000h", "", "LJUMP Address Out of range", false},
        {" LDJNZ LC[0], 10000h", "", "LDJNZ Address Out of range", false},
        {" LCALL 12345h", "", "LCALL Address Out of range", false},
        {" FJUMP 5", "-w", "Invalid branch instruction", false},
        {" JUMP far\n ORG 12345h\nfar: NOP", "", "Absolute Target out of range", false},
        {" MOVE @DP[0].b, @DP[0].b++", "-w32", "Invalid instruction", true},
        {" MOVE @++DP[0], @DP[0]++", "", "Invalid instruction: \"MOVE @++DP[0],@DP[0]++\";", true},
        {" MOVE @BP[--OFFS], @BP[OFFS++]", "-w", "Invalid instruction: \"MOVE @BP[--Offs],@BP[Offs++]\";", true},
        {" MOVE OFFS, @BP[OFFS--]", "", "Invalid instruction: \"MOVE Offs,@BP[Offs--]\";", true},
    };
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(c.source);
        const RunResult run = Assemble(std::string(c.source) + "\n END\n", Options(c.options));
        if (c.warning) {
            EXPECT_EQ(run.exitStatus, 0) << run.err;
            EXPECT_NE(run.out.find(std::string("\nprog.asm:\nWarning: ") + c.message + " on line "), std::string::npos)
                << run.out;
        } else {
            EXPECT_NE(run.exitStatus, 0);
            EXPECT_NE(run.err.find(std::string("\nError: ") + c.message + "\n  Last token"), std::string::npos)
                << run.err;
        }
    }
}

TEST(EncoderMessages, ForbiddenFormIsAcceptedBehindAnIndexedPrefix)
{
    const RunResult run = Assemble(" MOVE @++DP[0], @DP[0]++\n END\n", {"-q"});
    EXPECT_EQ(run.Words(0, 2), std::vector<uint16_t>({0x9F1F}));
    const RunResult wide = Assemble(" MOVE M15[9], M15[1]\n END\n", {"-q"});
    EXPECT_EQ(wide.out, "");
    EXPECT_EQ(wide.Words(0, 2), std::vector<uint16_t>({0x2B00, 0x9F1F}));
}

}  // namespace
}  // namespace zernasm
