#include "Encoder.h"

#include "Assembly.h"
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

StatementState& S(Assembly& a)
{
    return a.statement;
}
bool InPass1(Assembly& a)
{
    return a.pass == 1;
}
bool InPass2(Assembly& a)
{
    return a.pass == 2;
}
uint32_t StatementAddress(Assembly& a)
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

bool PrefixDue(Assembly& a)
{
    return (S(a).performPrefix && !a.prefixThePrefix) || S(a).forcedPrefix;
}

// Turns the statement's state into its words; pass 1 counts them, pass 2 writes them.
void Compose(Assembly& a)
{
    StatementState& s = S(a);
    const InstructionTemplate& row = kTemplates[s.row];
    if (s.sourceIsAccBit)
        s.source |= kRegisterFlag;
    AlignCode(a);
    const uint32_t f = (static_cast<uint32_t>(s.source) >> 8) & 1;
    if (!IsZernC(a)) {
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
    if (PrefixDue(a)) {
        if (s.liwp && !a.prefixThePrefix)
            words[count++] = static_cast<uint16_t>(0x0B00 | (s.byte23 & 0xFF));
        words[count++] = static_cast<uint16_t>(0x0B00 | ((s.prefixIndex & 7) << 12) | (s.prefixByte & 0xFF));
    }
    words[count++] = static_cast<uint16_t>(s.ci);
    for (int i = 0; i < count; ++i) {
        if (InPass2(a) && a.options.listing)
            s.words[s.wordCount++] = {CodeWordAddress(a), words[i]};
        EmitCodeWord(a, words[i]);
    }
    s.listingState = s.ci;
}

void ImmediateLabelRule(Assembly& a, int32_t value)
{
    StatementState& s = S(a);
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
        if (InPass2(a)) {
            if (value > 255)
                s.performPrefix = true;
            if (value > 65535)
                s.liwp = 1;
        }
    }
    if (InPass1(a)) {
        RecordFixup(a, true, StatementAddress(a), symbol, s.lastEntry, s.performPrefix ? 2 : 1, value);
        s.topByte = 0;
        s.liwp = 0;
        s.prefixByte = 0;
    }
}

// The immediate or address source of ALU, MOVE, PUSH and TEST.
void ImmediateSource(Assembly& a)
{
    StatementState& s = S(a);
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
        s.source = static_cast<int32_t>(bits);
        s.prefixByte = 0;
    } else if (IsZernC(a) && hash && bits == 0x80000000u) {
        s.source = RegisterCode(11, 15);
        return;
    } else {
        s.source = static_cast<int32_t>(bits & 0xFF);
        s.prefixByte = static_cast<int32_t>((bits >> 8) & 0xFF);
        s.byte23 = static_cast<int32_t>((bits >> 16) & 0xFF);
        s.topByte = hash ? static_cast<int32_t>(bits >> 24) : ((bits >> 24) != 0 ? 1 : 0);
        s.liwp = (bits >> 16) != 0 ? 1 : 0;
        s.longImmediate = hash || (IsZernC(a) && (s.destinationFlags & kMarksLong));
    }
    if (s.sourceDollar && !(s.destinationFlags & kTakesAddress))
        s.prefixByte = 0;
    if (s.sourceIdentifier || s.sourceDollar) {
        ImmediateLabelRule(a, static_cast<int32_t>(bits));
    } else if (IsZernC(a) ? (bits & 0x00FFFF00u) : (bits & 0xFF00u)) {
        s.performPrefix = true;
    }
}

void CheckStackSource(Assembly& a)
{
    if (S(a).sourceKind == SourceKind::Register && IsStackAccess(S(a).source)) {
        ReportError(a, " Invalid source operand as it conflicts with stack manipulation");
    }
}

void CheckDestination(Assembly& a)
{
    StatementState& s = S(a);
    if (s.destinationIsExpression)
        ReportError(a, " destination cannot be constant or a label");
    const int32_t d = s.destination;
    const bool invalid = !(d & kRegisterFlag) || (IsRegister(d, 13, 2) && a.options.cpMode)
                         || (IsRegister(d, 8, 11) && !a.options.cpMode)
                         || (s.destinationFlags & kSourceFormAsDestination);
    if (invalid)
        ReportError(a, "Invalid Destination operand");
}

bool BitInRange(Assembly& a, int32_t bit, int32_t limit)
{
    if (bit >= 0 && bit < limit)
        return true;
    ReportError(a, "Invalid bit width");
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

void LongTarget(Assembly& a, BranchKind kind, BranchForm written, BranchForm chosen, int32_t value)
{
    StatementState& s = S(a);
    uint32_t target = static_cast<uint32_t>(value);
    const Symbol* symbol = s.sourceIdentifier ? s.lastSymbol : nullptr;
    if (symbol && symbol->dataSegment) {
        if (a.options.core == Core::ZernA) {
            if (target & 1)
                ReportError(a, " jump to invalid address not at word boundary");
            target = target / 2 + 0xA000;
        } else {
            target += 0xA000;
        }
    }
    if (InPass2(a) && (target & 0xFFFF0000u)) {
        if (written == BranchForm::Long) {
            ReportError(a, Format("L%s Address Out of range", BranchName(kind)));
        } else if (written == BranchForm::Plain && chosen == BranchForm::Far && !IsZernC(a)) {
            ReportError(a, "Absolute Target out of range");
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

void ShortTarget(Assembly& a, int32_t value)
{
    StatementState& s = S(a);
    const int64_t displacement = static_cast<int64_t>(value) - StatementAddress(a) - 1;
    if (InPass2(a) && (displacement < -128 || displacement > 127) && !a.undefinedAfterPass1) {
        ReportError(a, "Target out of range");
    }
    s.source = static_cast<int32_t>(static_cast<uint64_t>(displacement) & 0xFF);
}

// Picks short, long or far for a plain branch to a label or "$".
BranchForm PlainBranchForm(Assembly& a, int32_t value)
{
    StatementState& s = S(a);
    if (s.sourceDollar)
        return BranchForm::Short;
    Symbol* symbol = s.lastSymbol;
    if (symbol) {
        if (symbol->dataSegment)
            return BranchForm::Long;
        const int64_t displacement = static_cast<int64_t>(value) - StatementAddress(a) - 1;
        const bool fits = displacement >= -128 && displacement <= 127;
        if (InPass1(a)) {
            RecordFixup(a, false, StatementAddress(a), symbol, nullptr, 1, value);
            return BranchForm::Short;
        }
        if (fits)
            return BranchForm::Short;
        return static_cast<uint32_t>(value) <= 0xFFFF ? BranchForm::Long : BranchForm::Far;
    }
    if (InPass1(a)) {
        RecordFixup(a, false, StatementAddress(a), nullptr, s.lastEntry, 1, value);
        return BranchForm::Short;
    }
    return BranchForm::Long;
}

}  // namespace

int32_t SourceRegister(Assembly& a, int32_t code)
{
    StatementState& s = S(a);
    s.sourceKind = SourceKind::Register;
    s.source = code;
    s.sourceFlags = s.operandFlags;
    s.sourcePointers = (s.operandFlags & kStepsPointer) ? s.operandPointers : 0;
    ApplyIndexRule(a, true, s.operandIndex);
    return code;
}

int32_t SourceExpression(Assembly& a, int32_t value, bool hash)
{
    StatementState& s = S(a);
    s.sourceKind = hash ? SourceKind::Immediate : SourceKind::Bare;
    s.sourceValue = value;
    s.sourceIdentifier = s.identifierSeen;
    s.sourceDollar = s.dollarSeen;
    return value;
}

int32_t DestinationRegister(Assembly& a, int32_t code)
{
    StatementState& s = S(a);
    s.hasDestination = true;
    s.destination = code;
    s.destinationFlags = s.operandFlags;
    s.destinationPointers = s.operandPointers;
    ApplyIndexRule(a, false, s.operandIndex);
    return code;
}

int32_t DestinationExpression(Assembly& a, int32_t value)
{
    StatementState& s = S(a);
    s.hasDestination = true;
    s.destinationIsExpression = true;
    s.destination = value;
    s.destinationFlags = 0;
    s.identifierSeen = false;
    s.dollarSeen = false;
    s.lastSymbol = nullptr;
    return value;
}

int32_t NumberOperand(Assembly& a, int32_t value)
{
    StatementState& s = S(a);
    if (s.symbolOperand) {
        s.symbolOperand = false;
        PushSymbol(a, s.lastEntry);
    } else {
        PushNumber(a, value);
    }
    return value;
}

int32_t DollarOperand(Assembly& a)
{
    S(a).dollarSeen = true;
    PushDollar(a);
    return static_cast<int32_t>(CodeWordAddress(a));
}

int32_t BinaryOperation(Assembly& a, int op, int32_t left, int32_t right)
{
    if ((op == '/' || op == '%') && right == 0)
        ReportError(a, "Attempt to divide by zero");
    PushBinary(a, op);
    return ApplyBinary(op, left, right);
}

int32_t NegateOperation(Assembly& a, int32_t value)
{
    PushUnary(a, NodeKind::Negate);
    return Negate(value);
}

int32_t ComplementOperation(Assembly& a, int32_t value)
{
    PushUnary(a, NodeKind::Complement);
    return static_cast<int32_t>(~static_cast<uint32_t>(value));
}

void AluInstruction(Assembly& a, int32_t row)
{
    StatementState& s = S(a);
    s.row = row;
    if (s.sourceKind == SourceKind::Register && !s.sourceIsAccBit) {
        if (s.sourceFlags & kIsAcc)
            ReportError(a, "Invalid source: ACC");
        if (s.sourceFlags & kIsAccumulatorPointer)
            ReportError(a, "Invalid source: A[AP]");
    }
    ImmediateSource(a);
    Compose(a);
}

void ZernCAluInstruction(Assembly& a, int32_t row)
{
    if (!IsZernC(a))
        ReportError(a, "Invalid instruction for ZERNA/B");
    S(a).performPrefix = true;
    S(a).prefixIndex |= 2;
    AluInstruction(a, row);
}

void AccumulatorBitSource(Assembly& a, int32_t bit)
{
    StatementState& s = S(a);
    s.sourceKind = SourceKind::Register;
    s.sourceIsAccBit = true;
    BitInRange(a, bit, a.options.bitLimit);
    s.source = kRegisterFlag | static_cast<int32_t>((static_cast<uint32_t>(bit) & 15) << 4) | 10;
}

void FixedInstruction(Assembly& a, int32_t row)
{
    S(a).row = row;
    Compose(a);
}

void ZernCFixedInstruction(Assembly& a, int32_t row)
{
    if (!IsZernC(a))
        ReportError(a, "Invalid instruction for ZERNA/B");
    FixedInstruction(a, row);
}

void ReturnInstruction(Assembly& a, int32_t row, int32_t condition)
{
    S(a).row = row;
    S(a).destination = condition << 4;
    Compose(a);
}

void PushInstruction(Assembly& a)
{
    S(a).row = kRowPush;
    CheckStackSource(a);
    ImmediateSource(a);
    Compose(a);
}

void PopInstruction(Assembly& a, int32_t row)
{
    StatementState& s = S(a);
    s.row = row;
    if (IsStackAccess(s.destination) || IsRegister(s.destination, 13, 1)) {
        ReportError(a, " Invalid source operand as it conflicts with stack manipulation");
    }
    CheckDestination(a);
    Compose(a);
}

void TestInstruction(Assembly& a)
{
    S(a).row = kRowCmp;
    ImmediateSource(a);
    Compose(a);
}

void MoveInstruction(Assembly& a)
{
    StatementState& s = S(a);
    s.row = kRowMove;
    if ((s.destinationFlags & kIsAcc) && s.sourceKind == SourceKind::Register
        && (s.sourceFlags & kIsAccumulatorPointer)) {
        ReportError(a, "Move Acc, A[AP] is not a valid instruction");
    }
    if (IsRegister(s.destination, 13, 1) || (s.destinationFlags & kPushForm))
        CheckStackSource(a);
    CheckDestination(a);
    ImmediateSource(a);
    Compose(a);
}

void MoveCarryFromBit(Assembly& a, int32_t bit)
{
    StatementState& s = S(a);
    if (s.sourceKind == SourceKind::Register && (s.sourceFlags & kIsAcc)) {
        s.row = kRowMoveCarryFromBit;
        BitInRange(a, bit, a.options.bitLimit);
        s.source = static_cast<int32_t>((static_cast<uint32_t>(bit) & 15) << 4);
    } else {
        s.row = kRowMove;
        BitInRange(a, bit, 8);
        s.destination = 7 | static_cast<int32_t>((static_cast<uint32_t>(bit) & 7) << 4);
    }
    Compose(a);
}

void MoveCarryImmediate(Assembly& a, int32_t value)
{
    if (value != 0 && value != 1)
        ReportError(a, "Invalid bit immediate");
    S(a).row = value == 1 ? kRowMoveCarry1 : kRowMoveCarry0;
    Compose(a);
}

void MoveBitFromCarry(Assembly& a, int32_t bit)
{
    StatementState& s = S(a);
    s.row = kRowMoveBitFromCarry;
    BitInRange(a, bit, a.options.bitLimit);
    s.source = static_cast<int32_t>((static_cast<uint32_t>(bit) & 15) << 4);
    Compose(a);
}

void MoveBitImmediate(Assembly& a, int32_t bit, int32_t value)
{
    StatementState& s = S(a);
    s.row = kRowMove;
    const int32_t module = CodeModule(s.destination);
    if (module > 5 && module != 8)
        ReportError(a, " Error : Bit operations are valid only on module numbers 1-5 and 8.");
    BitInRange(a, bit, 8);
    if (value != 0 && value != 1)
        ReportError(a, "Invalid bit immediate");
    s.sourceKind = SourceKind::Register;
    s.source = kRegisterFlag | 7 | static_cast<int32_t>((static_cast<uint32_t>(bit) & 7) << 4)
               | static_cast<int32_t>((static_cast<uint32_t>(value) & 1) << 7);
    Compose(a);
}

void LoopCounterOperand(Assembly& a)
{
    S(a).destination = (S(a).loopIndex & 3) << 4;
}

void BranchInstruction(Assembly& a, BranchKind kind, BranchForm form, int32_t row)
{
    StatementState& s = S(a);
    s.row = row;
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
            s.performPrefix = true;
        Compose(a);
        return;
    }
    const int32_t value = s.sourceValue;
    BranchForm chosen = form;
    if (form == BranchForm::Short && s.sourceKind == SourceKind::Immediate) {
        s.source = value & 0xFF;
        Compose(a);
        return;
    }
    if (form == BranchForm::Plain) {
        if (!symbolic) {
            if (InPass1(a)) {
                ReportError(a, Format("Immediate value invalid for %s. Context Unknown! Use S%s or L%s\n",
                                      BranchName(kind), BranchName(kind), BranchName(kind)));
            }
            s.source = value & 0xFF;
            Compose(a);
            return;
        }
        chosen = PlainBranchForm(a, value);
    }
    if (chosen == BranchForm::Short) {
        ShortTarget(a, value);
    } else {
        LongTarget(a, kind, form, chosen, value);
    }
    Compose(a);
}

void EndStatement(Assembly& a)
{
    StatementState& s = S(a);
    if (a.grammarTrace) {
        fprintf(a.console.err, "\nStart (LIWP: %s; PP: %s; PTP: %s; CD: 0x%02x; CI: 0x%0x, ADDR: 0x%04x)\n",
                s.liwp ? "true" : "false", s.performPrefix ? "true" : "false", a.prefixThePrefix ? "true" : "false",
                static_cast<unsigned>(s.destination), static_cast<unsigned>(s.ci), CodeWordAddress(a));
        fprintf(a.console.err, "Line %d\n", a.line);
    }
    const bool instruction = s.row != -1;
    if (InPass2(a) && instruction) {
        if ((a.options.cpMode || IsZernC(a)) && (s.destinationPointers & s.sourcePointers)) {
            ReportWarning(a, "Invalid instruction");
        }
        if (!IsZernC(a) && s.row == kRowMove) {
            const bool indexedPrefix = PrefixDue(a) && s.prefixIndex != 0;
            for (const ForbiddenMove& form : kForbiddenMoves) {
                if (form.word == static_cast<uint16_t>(s.ci) && !indexedPrefix) {
                    ReportWarning(a, Format("Invalid instruction: \"%s\";", form.text));
                    break;
                }
            }
        }
    }
    if (InPass2(a) && a.options.listing && a.listingFile) {
        if (s.listingState != kListedByData) {
            if (s.wordCount == 0) {
                WriteListingLine(a, CodeWordAddress(a), kNothingListed, a.listingText);
            } else {
                static const std::string kLineEnd = "\n";
                for (int32_t i = 0; i < s.wordCount; ++i) {
                    const bool last = i + 1 == s.wordCount;
                    WriteListingLine(a, s.words[i].address, s.words[i].word, last ? a.listingText : kLineEnd);
                }
            }
        }
        if (s.errorReported) {
            fputc('\n', a.listingFile);
            fputs(s.errorText.c_str(), a.listingFile);
        }
    }
    if (instruction) {
        a.prefixThePrefix = !IsZernC(a) && s.hasDestination && !s.destinationIsExpression
                            && (s.destination & kRegisterFlag) && CodeModule(s.destination) == 11;
    }
    ++a.line;
    s = StatementState();
    ClearExpressionStack(a);
    a.listingText.clear();
}

}  // namespace zernasm
