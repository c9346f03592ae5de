#include "Encoder.h"

#include "Assembly.h"
#include "Emit.h"
#include "Expressions.h"
#include "FixupRules.h"
#include "Listing.h"
#include "Operands.h"
#include "Reporting.h"
#include "Symbols.h"
#include "Templates.h"

namespace zernasm {

namespace {

bool InPass1(const Assembly& a)
{
    return a.pass == 1;
}
bool InPass2(const Assembly& a)
{
    return a.pass == 2;
}
uint32_t StatementAddress(const Assembly& a)
{
    return static_cast<uint32_t>((a.codeBytes + 1) >> 1);
}
bool IsStackAccess(int32_t code)
{
    return (code & kRegisterFlag) && CodeModule(code) == 13 && (CodeIndex(code) == 0 || CodeIndex(code) == 8);
}
bool IsRegister(int32_t code, int32_t module, int32_t index)
{
    return (code & kRegisterFlag) && CodeModule(code) == module && CodeIndex(code) == index;
}

struct ForbiddenMove {
    uint16_t word;
    const char* text;
};

const ForbiddenMove kForbiddenMoves[] = {
    {0x9F1F, "MOVE @++DP[0],@DP[0]++"}, {0xDF5F, "MOVE @++DP[1],@DP[1]++"}, {0x9E1E, "MOVE @BP[++Offs],@BP[Offs++]"},
    {0xAF2F, "MOVE @--DP[0],@DP[0]--"}, {0xEF6F, "MOVE @--DP[1],@DP[1]--"}, {0xAE2E, "MOVE @BP[--Offs],@BP[Offs--]"},
    {0x9F2F, "MOVE @++DP[0],@DP[0]--"}, {0xDF6F, "MOVE @++DP[1],@DP[1]--"}, {0x9E2E, "MOVE @BP[++Offs],@BP[Offs--]"},
    {0xAF1F, "MOVE @--DP[0],@DP[0]++"}, {0xEF5F, "MOVE @--DP[1],@DP[1]++"}, {0xAE1E, "MOVE @BP[--Offs],@BP[Offs++]"},
    {0x8F1F, "MOVE @DP[0],@DP[0]++"},   {0xCF5F, "MOVE @DP[1],@DP[1]++"},   {0x8E1E, "MOVE @BP[Offs],@BP[Offs++]"},
    {0x8F2F, "MOVE @DP[0],@DP[0]--"},   {0xCF6F, "MOVE @DP[1],@DP[1]--"},   {0x8E2E, "MOVE @BP[Offs],@BP[Offs--]"},
    {0xBF1F, "MOVE DP[00h],@DP[0]++"},  {0xBF2F, "MOVE DP[00h],@DP[0]--"},  {0xFF5F, "MOVE DP[01h],@DP[1]++"},
    {0xFF6F, "MOVE DP[01h],@DP[1]--"},  {0xBE2E, "MOVE Offs,@BP[Offs--]"},  {0xBE1E, "MOVE Offs,@BP[Offs++]"},
};

bool PrefixDue(const Assembly& a)
{
    return (a.composition.performPrefix && !a.prefixThePrefix) || a.statement.forcedPrefix;
}

// Turns the composition into its words; pass 1 counts them, pass 2 writes them.
void EmitWords(Assembly& a)
{
    const Statement& s = a.statement;
    Composition& c = a.composition;
    const InstructionTemplate& row = kTemplates[c.row];
    if (s.sourceIsAccBit)
        c.source |= kRegisterFlag;
    AlignCode(a);
    const uint32_t f = (static_cast<uint32_t>(c.source) >> 8) & 1;
    if (!IsZernC(a)) {
        c.topByte = 0;
        c.byte23 = 0;
        c.liwp = 0;
    }
    if (s.destinationFlags & kEnablesByte23)
        c.liwp |= c.byte23;
    uint16_t words[4];
    int count = 0;
    if (c.longImmediate && c.topByte != 0) {
        words[count++] = static_cast<uint16_t>(0x0B00 | (c.topByte & 0xFF));
        c.liwp = 1;
        c.performPrefix = true;
    } else {
        c.longImmediate = false;
    }
    const uint32_t ci = (row.opcode & row.fixedMask)
                        | ((static_cast<uint32_t>(c.destination) << 8) & row.destinationMask)
                        | (static_cast<uint32_t>(c.source) & row.sourceMask) | (f << 15);
    c.ci = static_cast<int32_t>(ci & 0xFFFF);
    if (PrefixDue(a)) {
        if (c.liwp && !a.prefixThePrefix)
            words[count++] = static_cast<uint16_t>(0x0B00 | (c.byte23 & 0xFF));
        words[count++] = static_cast<uint16_t>(0x0B00 | ((c.prefixIndex & 7) << 12) | (c.prefixByte & 0xFF));
    }
    words[count++] = static_cast<uint16_t>(c.ci);
    LineOutput& output = a.output;
    for (int i = 0; i < count; ++i) {
        if (InPass2(a) && a.options.listing)
            output.words[output.wordCount++] = {CodeWordAddress(a), words[i]};
        EmitCodeWord(a, words[i]);
    }
    output.listingState = c.ci;
}

void ImmediateLabelRule(Assembly& a, int32_t value)
{
    const Statement& s = a.statement;
    Composition& c = a.composition;
    Symbol* symbol = s.sourceIdentifier ? s.lastSymbol : nullptr;
    if (s.sourceIdentifier) {
        if (symbol) {
            if (value > 255) {
                c.performPrefix = true;
                return;
            }
            if (symbol->dataSegment)
                return;
        } else {
            c.performPrefix = c.performPrefix || c.prefixIndex != 0;
        }
    }
    if (s.sourceDollar) {
        if (c.prefixByte != 0)
            c.performPrefix = true;
        if (InPass2(a)) {
            if (value > 255)
                c.performPrefix = true;
            if (value > 65535)
                c.liwp = 1;
        }
    }
    if (InPass1(a)) {
        RecordFixup(a, FixupKind::Immediate, StatementAddress(a), symbol, s.lastEntry, c.performPrefix ? 2 : 1, value);
        c.topByte = 0;
        c.liwp = 0;
        c.prefixByte = 0;
    }
}

// The immediate or address source of ALU, MOVE, PUSH and TEST.
void ImmediateSource(Assembly& a)
{
    const Statement& s = a.statement;
    Composition& c = a.composition;
    if (s.sourceKind != SourceKind::Immediate && s.sourceKind != SourceKind::Bare)
        return;
    const bool hash = s.sourceKind == SourceKind::Immediate;
    uint32_t bits = static_cast<uint32_t>(s.sourceValue);
    if (hash && s.sourceDollar)
        ReportError(a, "$ must not be preceeded by #");
    if (!hash && !s.sourceDollar)
        ReportError(a, "Immediate value or adress must be preceeded by #");
    const bool eightBit = a.options.core == Core::ZernA && (s.destinationFlags & kEightBitOnZernA);
    if (eightBit) {
        if (bits & ~0xFFu)
            ReportWarning(a, "Value is out of range");
        bits &= 0xFF;
        c.source = static_cast<int32_t>(bits);
        c.prefixByte = 0;
    } else if (IsZernC(a) && hash && bits == 0x80000000u) {
        c.source = RegisterCode(11, 15);
        return;
    } else {
        c.source = static_cast<int32_t>(bits & 0xFF);
        c.prefixByte = static_cast<int32_t>((bits >> 8) & 0xFF);
        c.byte23 = static_cast<int32_t>((bits >> 16) & 0xFF);
        c.topByte = hash ? static_cast<int32_t>(bits >> 24) : ((bits >> 24) != 0 ? 1 : 0);
        c.liwp = (bits >> 16) != 0 ? 1 : 0;
        c.longImmediate = hash || (IsZernC(a) && (s.destinationFlags & kMarksLong));
    }
    if (s.sourceDollar && !(s.destinationFlags & kTakesAddress))
        c.prefixByte = 0;
    if (s.sourceIdentifier || s.sourceDollar) {
        ImmediateLabelRule(a, static_cast<int32_t>(bits));
    } else if (IsZernC(a) ? (bits & 0x00FFFF00u) : (bits & 0xFF00u)) {
        c.performPrefix = true;
    }
}

void CheckStackSource(Assembly& a)
{
    const Statement& s = a.statement;
    if (s.sourceKind == SourceKind::Register && IsStackAccess(s.source))
        ReportError(a, " Invalid source operand as it conflicts with stack manipulation");
}

void CheckDestination(Assembly& a)
{
    const Statement& s = a.statement;
    if (s.destinationIsExpression)
        ReportError(a, " destination cannot be constant or a label");
    const int32_t d = s.destination;
    const bool invalid = !(d & kRegisterFlag) || (IsRegister(d, 13, 2) && a.options.cpMode)
                         || (IsRegister(d, 8, 11) && !a.options.cpMode)
                         || (s.destinationFlags & kSourceFormAsDestination);
    if (invalid)
        ReportError(a, "Invalid Destination operand");
}

const char* BranchName(BranchKind kind)
{
    switch (kind) {
    case BranchKind::Djnz:
        return "DJNZ";
    case BranchKind::Call:
        return "CALL";
    default:
        return "JUMP";
    }
}

void LongTarget(Assembly& a, BranchKind kind, BranchForm written, BranchForm chosen, int32_t value)
{
    const Statement& s = a.statement;
    Composition& c = a.composition;
    uint32_t target = static_cast<uint32_t>(value);
    const Symbol* symbol = s.sourceIdentifier ? s.lastSymbol : nullptr;
    // A data label holds its data address (a word address, the byte address
    // on ZERNC), which the program reaches from 0xA000 on; a data word is
    // always even in bytes, so there is nothing to halve or refuse.
    if (symbol && symbol->dataSegment)
        target += 0xA000;
    if (InPass2(a) && (target & 0xFFFF0000u)) {
        if (written == BranchForm::Long) {
            ReportError(a, Format("L%s Address Out of range", BranchName(kind)));
        } else if (written == BranchForm::Plain && chosen == BranchForm::Far && !IsZernC(a)) {
            ReportError(a, "Absolute Target out of range");
        }
    }
    c.source = static_cast<int32_t>(target & 0xFF);
    c.prefixByte = static_cast<int32_t>((target >> 8) & 0xFF);
    c.performPrefix = true;
    if (chosen == BranchForm::Far) {
        c.liwp = 1;
        c.byte23 = static_cast<int32_t>((target >> 16) & 0xFF);
    }
}

void ShortTarget(Assembly& a, int32_t value)
{
    const uint32_t address = StatementAddress(a);
    if (InPass2(a) && !FitsShortBranch(value, address) && !a.undefinedAfterPass1)
        ReportError(a, "Target out of range");
    const int64_t displacement = static_cast<int64_t>(value) - address - 1;
    a.composition.source = static_cast<int32_t>(static_cast<uint64_t>(displacement) & 0xFF);
}

// Picks short, long or far for a plain branch to a label or "$".
BranchForm PlainBranchForm(Assembly& a, int32_t value)
{
    const Statement& s = a.statement;
    if (s.sourceDollar)
        return BranchForm::Short;
    Symbol* symbol = s.lastSymbol;
    if (symbol) {
        if (symbol->dataSegment)
            return BranchForm::Long;
        if (InPass1(a)) {
            RecordFixup(a, FixupKind::Branch, StatementAddress(a), symbol, nullptr, 1, value);
            return BranchForm::Short;
        }
        switch (FixupWords(FixupKind::Branch, value, StatementAddress(a), symbol)) {
        case 1:
            return BranchForm::Short;
        case 2:
            return BranchForm::Long;
        default:
            return BranchForm::Far;
        }
    }
    if (InPass1(a)) {
        RecordFixup(a, FixupKind::Branch, StatementAddress(a), nullptr, s.lastEntry, 1, value);
        return BranchForm::Short;
    }
    return BranchForm::Long;
}

void ComposeAlu(Assembly& a)
{
    const Statement& s = a.statement;
    if (s.sourceKind == SourceKind::Register && !s.sourceIsAccBit) {
        if (s.sourceFlags & kIsAcc)
            ReportError(a, "Invalid source: ACC");
        if (s.sourceFlags & kIsAccumulatorPointer)
            ReportError(a, "Invalid source: A[AP]");
    }
    ImmediateSource(a);
    EmitWords(a);
}

void ComposePop(Assembly& a)
{
    const Statement& s = a.statement;
    if (IsStackAccess(s.destination) || IsRegister(s.destination, 13, 1))
        ReportError(a, " Invalid source operand as it conflicts with stack manipulation");
    CheckDestination(a);
    EmitWords(a);
}

void ComposeMove(Assembly& a)
{
    const Statement& s = a.statement;
    if ((s.destinationFlags & kIsAcc) && s.sourceKind == SourceKind::Register
        && (s.sourceFlags & kIsAccumulatorPointer)) {
        ReportError(a, "Move Acc, A[AP] is not a valid instruction");
    }
    if (IsRegister(s.destination, 13, 1) || (s.destinationFlags & kPushForm))
        CheckStackSource(a);
    CheckDestination(a);
    ImmediateSource(a);
    EmitWords(a);
}

void ComposeMoveCarryFromBit(Assembly& a, int32_t bit)
{
    const Statement& s = a.statement;
    Composition& c = a.composition;
    if (s.sourceKind == SourceKind::Register && (s.sourceFlags & kIsAcc)) {
        c.row = kRowMoveCarryFromBit;
        BitInRange(a, bit, a.options.bitLimit);
        c.source = static_cast<int32_t>((static_cast<uint32_t>(bit) & 15) << 4);
    } else {
        BitInRange(a, bit, 8);
        c.destination = 7 | static_cast<int32_t>((static_cast<uint32_t>(bit) & 7) << 4);
    }
    EmitWords(a);
}

void ComposeMoveBitImmediate(Assembly& a, int32_t bit, int32_t value)
{
    const int32_t module = CodeModule(a.statement.destination);
    if (module > 5 && module != 8)
        ReportError(a, " Error : Bit operations are valid only on module numbers 1-5 and 8.");
    BitInRange(a, bit, 8);
    if (value != 0 && value != 1)
        ReportError(a, "Invalid bit immediate");
    a.composition.source = kRegisterFlag | 7 | static_cast<int32_t>((static_cast<uint32_t>(bit) & 7) << 4)
                           | static_cast<int32_t>((static_cast<uint32_t>(value) & 1) << 7);
    EmitWords(a);
}

void ComposeBranch(Assembly& a, BranchKind kind, BranchForm form)
{
    const Statement& s = a.statement;
    Composition& c = a.composition;
    const int32_t row = c.row;
    if (form == BranchForm::Far && !IsZernC(a))
        ReportError(a, "Invalid branch instruction");
    const bool symbolic = s.sourceIdentifier || s.sourceDollar;
    const bool needsLabel = form == BranchForm::Short || row == kRowJumpE || row == kRowJumpNe;
    if (needsLabel && InPass2(a)
        && (s.sourceKind == SourceKind::Register || (s.sourceKind == SourceKind::Bare && !symbolic))) {
        ReportError(a, "label or immediate value address must be supplied ");
    }
    if (s.sourceKind == SourceKind::Register) {
        if (form == BranchForm::Long || form == BranchForm::Far)
            c.performPrefix = true;
        EmitWords(a);
        return;
    }
    const int32_t value = s.sourceValue;
    BranchForm chosen = form;
    if (form == BranchForm::Short && s.sourceKind == SourceKind::Immediate) {
        c.source = value & 0xFF;
        EmitWords(a);
        return;
    }
    if (form == BranchForm::Plain) {
        if (!symbolic) {
            if (InPass1(a)) {
                ReportError(a, Format("Immediate value invalid for %s. Context Unknown! Use S%s or L%s\n",
                                      BranchName(kind), BranchName(kind), BranchName(kind)));
            }
            c.source = value & 0xFF;
            EmitWords(a);
            return;
        }
        chosen = PlainBranchForm(a, value);
    }
    if (chosen == BranchForm::Short) {
        ShortTarget(a, value);
    } else {
        LongTarget(a, kind, form, chosen, value);
    }
    EmitWords(a);
}

}  // namespace

void ComposeInstruction(Assembly& a)
{
    const Statement& s = a.statement;
    const Instruction& instruction = s.instruction;
    Composition& c = a.composition;
    c = Composition();
    c.row = instruction.row;
    c.source = s.source;
    c.destination = s.destination;
    c.performPrefix = s.performPrefix;
    c.prefixIndex = s.prefixIndex;
    switch (instruction.action) {
    case Action::None:
        break;
    case Action::ZernCAlu:
        if (!IsZernC(a))
            ReportError(a, "Invalid instruction for ZERNA/B");
        c.performPrefix = true;
        c.prefixIndex |= 2;
        ComposeAlu(a);
        break;
    case Action::Alu:
        ComposeAlu(a);
        break;
    case Action::ZernCFixed:
        if (!IsZernC(a))
            ReportError(a, "Invalid instruction for ZERNA/B");
        EmitWords(a);
        break;
    case Action::Fixed:
        EmitWords(a);
        break;
    case Action::Return:
        c.destination = instruction.argument << 4;
        EmitWords(a);
        break;
    case Action::Push:
        CheckStackSource(a);
        ImmediateSource(a);
        EmitWords(a);
        break;
    case Action::Pop:
        ComposePop(a);
        break;
    case Action::Test:
        ImmediateSource(a);
        EmitWords(a);
        break;
    case Action::Move:
        ComposeMove(a);
        break;
    case Action::MoveCarryFromBit:
        ComposeMoveCarryFromBit(a, instruction.argument);
        break;
    case Action::MoveCarryImmediate:
        if (instruction.argument != 0 && instruction.argument != 1)
            ReportError(a, "Invalid bit immediate");
        c.row = instruction.argument == 1 ? kRowMoveCarry1 : kRowMoveCarry0;
        EmitWords(a);
        break;
    case Action::MoveBitFromCarry:
        BitInRange(a, instruction.argument, a.options.bitLimit);
        c.source = static_cast<int32_t>((static_cast<uint32_t>(instruction.argument) & 15) << 4);
        EmitWords(a);
        break;
    case Action::MoveBitImmediate:
        ComposeMoveBitImmediate(a, instruction.argument, instruction.value);
        break;
    case Action::Branch:
        ComposeBranch(a, instruction.branchKind, instruction.branchForm);
        break;
    }
}

void CheckStatement(Assembly& a)
{
    const Statement& s = a.statement;
    const Composition& c = a.composition;
    if (a.grammarTrace) {
        fprintf(a.console.err, "\nStart (LIWP: %s; PP: %s; PTP: %s; CD: 0x%02x; CI: 0x%0x, ADDR: 0x%04x)\n",
                c.liwp ? "true" : "false", c.performPrefix ? "true" : "false", a.prefixThePrefix ? "true" : "false",
                static_cast<unsigned>(c.destination), static_cast<unsigned>(c.ci), CodeWordAddress(a));
        fprintf(a.console.err, "Line %d\n", a.line);
    }
    if (!InPass2(a) || c.row == -1)
        return;
    if ((a.options.cpMode || IsZernC(a)) && (s.destinationPointers & s.sourcePointers))
        ReportWarning(a, "Invalid instruction");
    // Every forbidden form moves between modules 14 and 15 (bits 3..1 set in both).
    const bool bothPointerModules = (c.ci & 0x0E0E) == 0x0E0E;
    if (!IsZernC(a) && c.row == kRowMove && bothPointerModules) {
        const bool indexedPrefix = PrefixDue(a) && c.prefixIndex != 0;
        for (const ForbiddenMove& form : kForbiddenMoves) {
            if (form.word == static_cast<uint16_t>(c.ci) && !indexedPrefix) {
                ReportWarning(a, Format("Invalid instruction: \"%s\";", form.text));
                break;
            }
        }
    }
}

void ListStatement(Assembly& a)
{
    const LineOutput& output = a.output;
    if (!InPass2(a) || !a.options.listing || !a.listingFile)
        return;
    if (output.listingState != kListedByData) {
        if (output.wordCount == 0) {
            WriteListingLine(a, CodeWordAddress(a), kNothingListed, a.listingText);
        } else {
            static const std::string kLineEnd = "\n";
            for (int32_t i = 0; i < output.wordCount; ++i) {
                const bool last = i + 1 == output.wordCount;
                WriteListingLine(a, output.words[i].address, output.words[i].word, last ? a.listingText : kLineEnd);
            }
        }
    }
    if (output.errorReported) {
        fputc('\n', a.listingFile);
        fputs(output.errorText.c_str(), a.listingFile);
    }
}

void FinishStatement(Assembly& a)
{
    const Statement& s = a.statement;
    const Composition& c = a.composition;
    if (a.pass == 1) {
        if (a.scannerTrace || a.grammarTrace)
            a.log.NotRepeatable();
        a.log.EndLine(a.scanOffset);
    }
    if (c.row != -1) {
        a.prefixThePrefix = !IsZernC(a) && s.hasDestination && !s.destinationIsExpression
                            && (c.destination & kRegisterFlag) && CodeModule(c.destination) == 11;
    }
    ++a.line;
    ClearLine(a);
    // Only pass 1 builds expressions.
    if (a.pass == 1)
        ClearExpressionStack(a);
    a.listingText.clear();
}

void EndStatement(Assembly& a)
{
    CheckStatement(a);
    ListStatement(a);
    FinishStatement(a);
}

}  // namespace zernasm
