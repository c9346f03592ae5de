#include "Reductions.h"

#include "Assembly.h"
#include "Encoder.h"
#include "Expressions.h"
#include "Operands.h"
#include "Reporting.h"
#include "Templates.h"

namespace zernasm {

namespace {

// Pass 1 keeps the statement for pass 2 when every name and "$" of the line
// is in the source operand, whose value pass 2 then computes from its tree.
void KeepInstruction(Assembly& a)
{
    const Statement& s = a.statement;
    const LineTokens& t = a.tokens;
    const ExpressionTree tree = s.sourceIdentifier || s.sourceDollar ? t.sourceTree : ExpressionTree();
    const Term* terms = a.expressions.TermsOf(tree);
    uint32_t symbolic = 0;
    for (uint32_t i = 0; i < tree.end - tree.begin; ++i) {
        if (terms[i].kind == NodeKind::SymbolName || terms[i].kind == NodeKind::Dollar)
            ++symbolic;
    }
    if (symbolic != t.symbolicLeaves || ((s.sourceIdentifier || s.sourceDollar) && symbolic == 0)) {
        a.log.NotRepeatable();
        return;
    }
    a.log.KeepInstruction(s, terms, tree.end - tree.begin);
}

void Reduce(Assembly& a, const Instruction& instruction)
{
    a.statement.instruction = instruction;
    if (a.pass == 1)
        KeepInstruction(a);
    ComposeInstruction(a);
}

}  // namespace

int32_t SourceRegister(Assembly& a, int32_t code)
{
    Statement& s = a.statement;
    const LineTokens& t = a.tokens;
    s.sourceKind = SourceKind::Register;
    s.source = code;
    s.sourceFlags = static_cast<uint16_t>(t.operandFlags);
    s.sourcePointers = static_cast<uint8_t>((t.operandFlags & kStepsPointer) ? t.operandPointers : 0);
    ApplyIndexRule(a, true, t.operandIndex);
    return code;
}

int32_t SourceExpression(Assembly& a, int32_t value, bool hash)
{
    Statement& s = a.statement;
    s.sourceKind = hash ? SourceKind::Immediate : SourceKind::Bare;
    s.sourceValue = value;
    s.sourceIdentifier = a.tokens.identifierSeen;
    s.sourceDollar = a.tokens.dollarSeen;
    a.tokens.sourceTree = a.expressions.Top();
    return value;
}

int32_t DestinationRegister(Assembly& a, int32_t code)
{
    Statement& s = a.statement;
    const LineTokens& t = a.tokens;
    s.hasDestination = true;
    s.destination = code;
    s.destinationFlags = static_cast<uint16_t>(t.operandFlags);
    s.destinationPointers = static_cast<uint8_t>(t.operandPointers);
    ApplyIndexRule(a, false, t.operandIndex);
    return code;
}

int32_t DestinationExpression(Assembly& a, int32_t value)
{
    Statement& s = a.statement;
    if (a.pass == 1)
        a.log.NotRepeatable();
    s.hasDestination = true;
    s.destinationIsExpression = true;
    s.destination = value;
    s.destinationFlags = 0;
    a.tokens.identifierSeen = false;
    a.tokens.dollarSeen = false;
    s.lastSymbol = nullptr;
    return value;
}

void AccumulatorBitSource(Assembly& a, int32_t bit)
{
    Statement& s = a.statement;
    s.sourceKind = SourceKind::Register;
    s.sourceIsAccBit = true;
    BitInRange(a, bit, a.options.bitLimit);
    s.source = kRegisterFlag | static_cast<int32_t>((static_cast<uint32_t>(bit) & 15) << 4) | 10;
}

int32_t NumberOperand(Assembly& a, int32_t value)
{
    if (a.tokens.symbolOperand) {
        a.tokens.symbolOperand = false;
        PushSymbol(a, a.statement.lastEntry);
    } else {
        PushNumber(a, value);
    }
    return value;
}

int32_t DollarOperand(Assembly& a)
{
    a.tokens.dollarSeen = true;
    ++a.tokens.symbolicLeaves;
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
    Reduce(a, {.action = Action::Alu, .row = row});
}

void ZernCAluInstruction(Assembly& a, int32_t row)
{
    Reduce(a, {.action = Action::ZernCAlu, .row = row});
}

void FixedInstruction(Assembly& a, int32_t row)
{
    Reduce(a, {.action = Action::Fixed, .row = row});
}

void ZernCFixedInstruction(Assembly& a, int32_t row)
{
    Reduce(a, {.action = Action::ZernCFixed, .row = row});
}

void ReturnInstruction(Assembly& a, int32_t row, int32_t condition)
{
    Reduce(a, {.action = Action::Return, .row = row, .argument = condition});
}

void PushInstruction(Assembly& a)
{
    Reduce(a, {.action = Action::Push, .row = kRowPush});
}

void PopInstruction(Assembly& a, int32_t row)
{
    Reduce(a, {.action = Action::Pop, .row = row});
}

void TestInstruction(Assembly& a)
{
    Reduce(a, {.action = Action::Test, .row = kRowCmp});
}

void MoveInstruction(Assembly& a)
{
    Reduce(a, {.action = Action::Move, .row = kRowMove});
}

void MoveCarryFromBit(Assembly& a, int32_t bit)
{
    Reduce(a, {.action = Action::MoveCarryFromBit, .row = kRowMove, .argument = bit});
}

void MoveCarryImmediate(Assembly& a, int32_t value)
{
    Reduce(a, {.action = Action::MoveCarryImmediate, .row = kRowMove, .argument = value});
}

void MoveBitFromCarry(Assembly& a, int32_t bit)
{
    Reduce(a, {.action = Action::MoveBitFromCarry, .row = kRowMoveBitFromCarry, .argument = bit});
}

void MoveBitImmediate(Assembly& a, int32_t bit, int32_t value)
{
    Reduce(a, {.action = Action::MoveBitImmediate, .row = kRowMove, .argument = bit, .value = value});
}

void BranchInstruction(Assembly& a, BranchKind kind, BranchForm form, int32_t row)
{
    Reduce(a, {.action = Action::Branch, .branchKind = kind, .branchForm = form, .row = row});
}

void DjnzInstruction(Assembly& a, BranchForm form, int32_t loopIndex)
{
    // The loop counter's index takes the destination bits 13..12.
    a.statement.destination = (loopIndex & 3) << 4;
    BranchInstruction(a, BranchKind::Djnz, form, kRowDjnz);
}

}  // namespace zernasm
