#include "Encoder.h"

#include "AsmState.h"
#include "Emit.h"
#include "Expressions.h"
#include "Listing.h"
#include "Operands.h"
#include "Reporting.h"
#include "Symbols.h"
#include "Templates.h"

namespace zernasm {

namespace {

using SourceKind = StatementState::SourceKind;

StatementState& S()
{
    return g_run.statement;
}
bool InPass1()
{
    return g_run.pass == 1;
}
bool InPass2()
{
    return g_run.pass == 2;
}
uint32_t StatementAddress()
{
    return static_cast<uint32_t>((g_run.codeBytes + 1) >> 1);
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

bool PrefixDue()
{
    return (S().performPrefix && !g_run.prefixThePrefix) || S().forcedPrefix;
}

// Turns the statement's state into its words; pass 1 counts them, pass 2 writes them.
void Compose()
{
    StatementState& s = S();
    const InstructionTemplate& row = kTemplates[s.row];
    if (s.sourceIsAccBit)
        s.source |= kRegisterFlag;
    AlignCode();
    const uint32_t f = (static_cast<uint32_t>(s.source) >> 8) & 1;
    if (!IsZernC()) {
        s.topByte = 0;
        s.byte23 = 0;
        s.liwp = 0;
    }
    if (s.destinationFlags & kEnablesByte23)
        s.liwp |= s.byte23;
    uint16_t words[4];
    int count = 0;
    if (s.longImmediate && s.topByte != 0) {
        words[count++] = static_cast<uint16_t>(0x0B00 | (s.topByte & 0xFF));
        s.liwp = 1;
        s.performPrefix = true;
    } else {
        s.longImmediate = false;
    }
    const uint32_t ci = (row.opcode & row.fixedMask)
                        | ((static_cast<uint32_t>(s.destination) << 8) & row.destinationMask)
                        | (static_cast<uint32_t>(s.source) & row.sourceMask) | (f << 15);
    s.ci = static_cast<int32_t>(ci & 0xFFFF);
    if (PrefixDue()) {
        if (s.liwp && !g_run.prefixThePrefix)
            words[count++] = static_cast<uint16_t>(0x0B00 | (s.byte23 & 0xFF));
        words[count++] = static_cast<uint16_t>(0x0B00 | ((s.prefixIndex & 7) << 12) | (s.prefixByte & 0xFF));
    }
    words[count++] = static_cast<uint16_t>(s.ci);
    for (int i = 0; i < count; ++i) {
        if (InPass2() && g_run.options.listing)
            s.words[s.wordCount++] = {CodeWordAddress(), words[i]};
        EmitCodeWord(words[i]);
    }
    s.listingState = s.ci;
}

void ImmediateLabelRule(int32_t value)
{
    StatementState& s = S();
    Symbol* symbol = s.sourceIdentifier ? s.lastSymbol : nullptr;
    if (s.sourceIdentifier) {
        if (symbol) {
            if (value > 255) {
                s.performPrefix = true;
                return;
            }
            if (symbol->dataSegment)
                return;
        } else {
            s.performPrefix = s.performPrefix || s.prefixIndex != 0;
        }
    }
    if (s.sourceDollar) {
        if (s.prefixByte != 0)
            s.performPrefix = true;
        if (InPass2()) {
            if (value > 255)
                s.performPrefix = true;
            if (value > 65535)
                s.liwp = 1;
        }
    }
    if (InPass1()) {
        RecordFixup(true, StatementAddress(), symbol, s.lastEntry, s.performPrefix ? 2 : 1, value);
        s.topByte = 0;
        s.liwp = 0;
        s.prefixByte = 0;
    }
}

// The immediate or address source of ALU, MOVE, PUSH and TEST.
void ImmediateSource()
{
    StatementState& s = S();
    if (s.sourceKind != SourceKind::Immediate && s.sourceKind != SourceKind::Bare)
        return;
    const bool hash = s.sourceKind == SourceKind::Immediate;
    uint32_t bits = static_cast<uint32_t>(s.sourceValue);
    if (hash && s.sourceDollar)
        ReportError("$ must not be preceeded by #");
    if (!hash && !s.sourceDollar)
        ReportError("Immediate value or adress must be preceeded by #");
    const bool eightBit = g_run.options.core == Core::ZernA && (s.destinationFlags & kEightBitOnZernA);
    if (eightBit) {
        if (bits & ~0xFFu)
            ReportWarning("Value is out of range");
        bits &= 0xFF;
        s.source = static_cast<int32_t>(bits);
        s.prefixByte = 0;
    } else if (IsZernC() && hash && bits == 0x80000000u) {
        s.source = RegisterCode(11, 15);
        return;
    } else {
        s.source = static_cast<int32_t>(bits & 0xFF);
        s.prefixByte = static_cast<int32_t>((bits >> 8) & 0xFF);
        s.byte23 = static_cast<int32_t>((bits >> 16) & 0xFF);
        s.topByte = hash ? static_cast<int32_t>(bits >> 24) : ((bits >> 24) != 0 ? 1 : 0);
        s.liwp = (bits >> 16) != 0 ? 1 : 0;
        s.longImmediate = hash || (IsZernC() && (s.destinationFlags & kMarksLong));
    }
    if (s.sourceDollar && !(s.destinationFlags & kTakesAddress))
        s.prefixByte = 0;
    if (s.sourceIdentifier || s.sourceDollar) {
        ImmediateLabelRule(static_cast<int32_t>(bits));
    } else if (IsZernC() ? (bits & 0x00FFFF00u) : (bits & 0xFF00u)) {
        s.performPrefix = true;
    }
}

void CheckStackSource()
{
    if (S().sourceKind == SourceKind::Register && IsStackAccess(S().source)) {
        ReportError(" Invalid source operand as it conflicts with stack manipulation");
    }
}

void CheckDestination()
{
    StatementState& s = S();
    if (s.destinationIsExpression)
        ReportError(" destination cannot be constant or a label");
    const int32_t d = s.destination;
    const bool invalid = !(d & kRegisterFlag) || (IsRegister(d, 13, 2) && g_run.options.cpMode)
                         || (IsRegister(d, 8, 11) && !g_run.options.cpMode)
                         || (s.destinationFlags & kSourceFormAsDestination);
    if (invalid)
        ReportError("Invalid Destination operand");
}

bool BitInRange(int32_t bit, int32_t limit)
{
    if (bit >= 0 && bit < limit)
        return true;
    ReportError("Invalid bit width");
    return false;
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

void LongTarget(BranchKind kind, BranchForm written, BranchForm chosen, int32_t value)
{
    StatementState& s = S();
    uint32_t target = static_cast<uint32_t>(value);
    const Symbol* symbol = s.sourceIdentifier ? s.lastSymbol : nullptr;
    if (symbol && symbol->dataSegment) {
        if (g_run.options.core == Core::ZernA) {
            if (target & 1)
                ReportError(" jump to invalid address not at word boundary");
            target = target / 2 + 0xA000;
        } else {
            target += 0xA000;
        }
    }
    if (InPass2() && (target & 0xFFFF0000u)) {
        if (written == BranchForm::Long) {
            ReportError(Format("L%s Address Out of range", BranchName(kind)));
        } else if (written == BranchForm::Plain && chosen == BranchForm::Far && !IsZernC()) {
            ReportError("Absolute Target out of range");
        }
    }
    s.source = static_cast<int32_t>(target & 0xFF);
    s.prefixByte = static_cast<int32_t>((target >> 8) & 0xFF);
    s.performPrefix = true;
    if (chosen == BranchForm::Far) {
        s.liwp = 1;
        s.byte23 = static_cast<int32_t>((target >> 16) & 0xFF);
    }
}

void ShortTarget(int32_t value)
{
    StatementState& s = S();
    const int64_t displacement = static_cast<int64_t>(value) - StatementAddress() - 1;
    if (InPass2() && (displacement < -128 || displacement > 127) && !g_run.undefinedAfterPass1) {
        ReportError("Target out of range");
    }
    s.source = static_cast<int32_t>(static_cast<uint64_t>(displacement) & 0xFF);
}

// Picks short, long or far for a plain branch to a label or "$".
BranchForm PlainBranchForm(int32_t value)
{
    StatementState& s = S();
    if (s.sourceDollar)
        return BranchForm::Short;
    Symbol* symbol = s.lastSymbol;
    if (symbol) {
        if (symbol->dataSegment)
            return BranchForm::Long;
        const int64_t displacement = static_cast<int64_t>(value) - StatementAddress() - 1;
        const bool fits = displacement >= -128 && displacement <= 127;
        if (InPass1()) {
            RecordFixup(false, StatementAddress(), symbol, nullptr, 1, value);
            return BranchForm::Short;
        }
        if (fits)
            return BranchForm::Short;
        return static_cast<uint32_t>(value) <= 0xFFFF ? BranchForm::Long : BranchForm::Far;
    }
    if (InPass1()) {
        RecordFixup(false, StatementAddress(), nullptr, s.lastEntry, 1, value);
        return BranchForm::Short;
    }
    return BranchForm::Long;
}

}  // namespace

int32_t SourceRegister(int32_t code)
{
    StatementState& s = S();
    s.sourceKind = SourceKind::Register;
    s.source = code;
    s.sourceFlags = s.operandFlags;
    s.sourcePointers = (s.operandFlags & kStepsPointer) ? s.operandPointers : 0;
    ApplyIndexRule(true, s.operandIndex);
    return code;
}

int32_t SourceExpression(int32_t value, bool hash)
{
    StatementState& s = S();
    s.sourceKind = hash ? SourceKind::Immediate : SourceKind::Bare;
    s.sourceValue = value;
    s.sourceIdentifier = s.identifierSeen;
    s.sourceDollar = s.dollarSeen;
    return value;
}

int32_t DestinationRegister(int32_t code)
{
    StatementState& s = S();
    s.hasDestination = true;
    s.destination = code;
    s.destinationFlags = s.operandFlags;
    s.destinationPointers = s.operandPointers;
    ApplyIndexRule(false, s.operandIndex);
    return code;
}

int32_t DestinationExpression(int32_t value)
{
    StatementState& s = S();
    s.hasDestination = true;
    s.destinationIsExpression = true;
    s.destination = value;
    s.destinationFlags = 0;
    s.identifierSeen = false;
    s.dollarSeen = false;
    s.lastSymbol = nullptr;
    return value;
}

int32_t NumberOperand(int32_t value)
{
    StatementState& s = S();
    if (s.symbolOperand) {
        s.symbolOperand = false;
        PushSymbol(s.lastEntry);
    } else {
        PushNumber(value);
    }
    return value;
}

int32_t DollarOperand()
{
    S().dollarSeen = true;
    PushDollar();
    return static_cast<int32_t>(CodeWordAddress());
}

int32_t BinaryOperation(int op, int32_t left, int32_t right)
{
    if ((op == '/' || op == '%') && right == 0)
        ReportError("Attempt to divide by zero");
    PushBinary(op);
    return ApplyBinary(op, left, right);
}

int32_t NegateOperation(int32_t value)
{
    PushUnary(NodeKind::Negate);
    return Negate(value);
}

int32_t ComplementOperation(int32_t value)
{
    PushUnary(NodeKind::Complement);
    return static_cast<int32_t>(~static_cast<uint32_t>(value));
}

void AluInstruction(int32_t row)
{
    StatementState& s = S();
    s.row = row;
    if (s.sourceKind == SourceKind::Register && !s.sourceIsAccBit) {
        if (s.sourceFlags & kIsAcc)
            ReportError("Invalid source: ACC");
        if (s.sourceFlags & kIsAccumulatorPointer)
            ReportError("Invalid source: A[AP]");
    }
    ImmediateSource();
    Compose();
}

void ZernCAluInstruction(int32_t row)
{
    if (!IsZernC())
        ReportError("Invalid instruction for ZERNA/B");
    S().performPrefix = true;
    S().prefixIndex |= 2;
    AluInstruction(row);
}

void AccumulatorBitSource(int32_t bit)
{
    StatementState& s = S();
    s.sourceKind = SourceKind::Register;
    s.sourceIsAccBit = true;
    BitInRange(bit, g_run.options.bitLimit);
    s.source = kRegisterFlag | static_cast<int32_t>((static_cast<uint32_t>(bit) & 15) << 4) | 10;
}

void FixedInstruction(int32_t row)
{
    S().row = row;
    Compose();
}

void ZernCFixedInstruction(int32_t row)
{
    if (!IsZernC())
        ReportError("Invalid instruction for ZERNA/B");
    FixedInstruction(row);
}

void ReturnInstruction(int32_t row, int32_t condition)
{
    S().row = row;
    S().destination = condition << 4;
    Compose();
}

void PushInstruction()
{
    S().row = kRowPush;
    CheckStackSource();
    ImmediateSource();
    Compose();
}

void PopInstruction(int32_t row)
{
    StatementState& s = S();
    s.row = row;
    if (IsStackAccess(s.destination) || IsRegister(s.destination, 13, 1)) {
        ReportError(" Invalid source operand as it conflicts with stack manipulation");
    }
    CheckDestination();
    Compose();
}

void TestInstruction()
{
    S().row = kRowCmp;
    ImmediateSource();
    Compose();
}

void MoveInstruction()
{
    StatementState& s = S();
    s.row = kRowMove;
    if ((s.destinationFlags & kIsAcc) && s.sourceKind == SourceKind::Register
        && (s.sourceFlags & kIsAccumulatorPointer)) {
        ReportError("Move Acc, A[AP] is not a valid instruction");
    }
    if (IsRegister(s.destination, 13, 1) || (s.destinationFlags & kPushForm))
        CheckStackSource();
    CheckDestination();
    ImmediateSource();
    Compose();
}

void MoveCarryFromBit(int32_t bit)
{
    StatementState& s = S();
    if (s.sourceKind == SourceKind::Register && (s.sourceFlags & kIsAcc)) {
        s.row = kRowMoveCarryFromBit;
        BitInRange(bit, g_run.options.bitLimit);
        s.source = static_cast<int32_t>((static_cast<uint32_t>(bit) & 15) << 4);
    } else {
        s.row = kRowMove;
        BitInRange(bit, 8);
        s.destination = 7 | static_cast<int32_t>((static_cast<uint32_t>(bit) & 7) << 4);
    }
    Compose();
}

void MoveCarryImmediate(int32_t value)
{
    if (value != 0 && value != 1)
        ReportError("Invalid bit immediate");
    S().row = value == 1 ? kRowMoveCarry1 : kRowMoveCarry0;
    Compose();
}

void MoveBitFromCarry(int32_t bit)
{
    StatementState& s = S();
    s.row = kRowMoveBitFromCarry;
    BitInRange(bit, g_run.options.bitLimit);
    s.source = static_cast<int32_t>((static_cast<uint32_t>(bit) & 15) << 4);
    Compose();
}

void MoveBitImmediate(int32_t bit, int32_t value)
{
    StatementState& s = S();
    s.row = kRowMove;
    const int32_t module = CodeModule(s.destination);
    if (module > 5 && module != 8)
        ReportError(" Error : Bit operations are valid only on module numbers 1-5 and 8.");
    BitInRange(bit, 8);
    if (value != 0 && value != 1)
        ReportError("Invalid bit immediate");
    s.sourceKind = SourceKind::Register;
    s.source = kRegisterFlag | 7 | static_cast<int32_t>((static_cast<uint32_t>(bit) & 7) << 4)
               | static_cast<int32_t>((static_cast<uint32_t>(value) & 1) << 7);
    Compose();
}

void LoopCounterOperand()
{
    S().destination = (S().loopIndex & 3) << 4;
}

void BranchInstruction(BranchKind kind, BranchForm form, int32_t row)
{
    StatementState& s = S();
    s.row = row;
    if (form == BranchForm::Far && !IsZernC())
        ReportError("Invalid branch instruction");
    const bool symbolic = s.sourceIdentifier || s.sourceDollar;
    const bool needsLabel = form == BranchForm::Short || row == kRowJumpE || row == kRowJumpNe;
    if (needsLabel && InPass2()
        && (s.sourceKind == SourceKind::Register || (s.sourceKind == SourceKind::Bare && !symbolic))) {
        ReportError("label or immediate value address must be supplied ");
    }
    if (s.sourceKind == SourceKind::Register) {
        if (form == BranchForm::Long || form == BranchForm::Far)
            s.performPrefix = true;
        Compose();
        return;
    }
    const int32_t value = s.sourceValue;
    BranchForm chosen = form;
    if (form == BranchForm::Short && s.sourceKind == SourceKind::Immediate) {
        s.source = value & 0xFF;
        Compose();
        return;
    }
    if (form == BranchForm::Plain) {
        if (!symbolic) {
            if (InPass1()) {
                ReportError(Format("Immediate value invalid for %s. Context Unknown! Use S%s or L%s\n",
                                   BranchName(kind), BranchName(kind), BranchName(kind)));
            }
            s.source = value & 0xFF;
            Compose();
            return;
        }
        chosen = PlainBranchForm(value);
    }
    if (chosen == BranchForm::Short) {
        ShortTarget(value);
    } else {
        LongTarget(kind, form, chosen, value);
    }
    Compose();
}

void EndStatement()
{
    StatementState& s = S();
    if (g_run.grammarTrace) {
        fprintf(g_run.console.err, "\nStart (LIWP: %s; PP: %s; PTP: %s; CD: 0x%02x; CI: 0x%0x, ADDR: 0x%04x)\n",
                s.liwp ? "true" : "false", s.performPrefix ? "true" : "false", g_run.prefixThePrefix ? "true" : "false",
                static_cast<unsigned>(s.destination), static_cast<unsigned>(s.ci), CodeWordAddress());
        fprintf(g_run.console.err, "Line %d\n", g_run.line);
    }
    const bool instruction = s.row != -1;
    if (InPass2() && instruction) {
        if ((g_run.options.cpMode || IsZernC()) && (s.destinationPointers & s.sourcePointers)) {
            ReportWarning("Invalid instruction");
        }
        if (!IsZernC() && s.row == kRowMove) {
            const bool indexedPrefix = PrefixDue() && s.prefixIndex != 0;
            for (const ForbiddenMove& form : kForbiddenMoves) {
                if (form.word == static_cast<uint16_t>(s.ci) && !indexedPrefix) {
                    ReportWarning(Format("Invalid instruction: \"%s\";", form.text));
                    break;
                }
            }
        }
    }
    if (InPass2() && g_run.options.listing && g_run.listingFile) {
        if (s.listingState != kListedByData) {
            if (s.wordCount == 0) {
                WriteListingLine(CodeWordAddress(), kNothingListed, g_run.listingText);
            } else {
                static const std::string kLineEnd = "\n";
                for (int32_t i = 0; i < s.wordCount; ++i) {
                    const bool last = i + 1 == s.wordCount;
                    WriteListingLine(s.words[i].address, s.words[i].word, last ? g_run.listingText : kLineEnd);
                }
            }
        }
        if (s.errorReported) {
            fputc('\n', g_run.listingFile);
            fputs(s.errorText.c_str(), g_run.listingFile);
        }
    }
    if (instruction) {
        g_run.prefixThePrefix = !IsZernC() && s.hasDestination && !s.destinationIsExpression
                                && (s.destination & kRegisterFlag) && CodeModule(s.destination) == 11;
    }
    ++g_run.line;
    s = StatementState();
    ClearExpressionStack();
    g_run.listingText.clear();
}

}  // namespace zernasm
