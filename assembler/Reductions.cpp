#include "Reductions.h"

#include "Assembly.h"
#include "Encoder.h"
#include "Expressions.h"
#include "Operands.h"
#include "Reporting.h"
#include "Templates.h"

namespace zernasm {

namespace {

void Reduce(Assembly& a, const Instruction& instruction)
{
    a.statement.instruction = instruction;
    ComposeInstruction(a);
}

}  // namespace

int32_t SourceRegister(Assembly& a, int32_t code)
{
    Statement& s = a.statement;
    s.sourceKind = SourceKind::Register;
    s.source = code;
    s.sourceFlags = s.operandFlags;
    s.sourcePointers = (s.operandFlags & kStepsPointer) ? s.operandPointers : 0;
    ApplyIndexRule(a, true, s.operandIndex);
    return code;
}

int32_t SourceExpression(Assembly& a, int32_t value, bool hash)
{
    Statement& s = a.statement;
    s.sourceKind = hash ? SourceKind::Immediate : SourceKind::Bare;
    s.sourceValue = value;
    s.sourceIdentifier = s.identifierSeen;
    s.sourceDollar = s.dollarSeen;
    return value;
}

int32_t DestinationRegister(Assembly& a, int32_t code)
{
    Statement& s = a.statement;
    s.hasDestination = true;
    s.destination = code;
    s.destinationFlags = s.operandFlags;
    s.destinationPointers = s.operandPointers;
    ApplyIndexRule(a, false, s.operandIndex);
    return code;
}

int32_t DestinationExpression(Assembly& a, int32_t value)
{
    Statement& s = a.statement;
    s.hasDestination = true;
    s.destinationIsExpression = true;
    s.destination = value;
    s.destinationFlags = 0;
    s.identifierSeen = false;
    s.dollarSeen = false;
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

void LoopCounterOperand(Assembly& a)
{
    a.statement.destination = (a.statement.loopIndex & 3) << 4;
}

int32_t NumberOperand(Assembly& a, int32_t value)
{
    Statement& s = a.statement;
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
    a.statement.dollarSeen = true;
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
    Reduce(a, {Action::Alu, row});
}

void ZernCAluInstruction(Assembly& a, int32_t row)
{
    Reduce(a, {Action::ZernCAlu, row});
}

void FixedInstruction(Assembly& a, int32_t row)
{
    Reduce(a, {Action::Fixed, row});
}

void ZernCFixedInstruction(Assembly& a, int32_t row)
{
    Reduce(a, {Action::ZernCFixed, row});
}

void ReturnInstruction(Assembly& a, int32_t row, int32_t condition)
{
    Reduce(a, {Action::Return, row, condition});
}

void PushInstruction(Assembly& a)
{
    Reduce(a, {Action::Push, kRowPush});
}

void PopInstruction(Assembly& a, int32_t row)
{
    Reduce(a, {Action::Pop, row});
}

void TestInstruction(Assembly& a)
{
    Reduce(a, {Action::Test, kRowCmp});
}

void MoveInstruction(Assembly& a)
{
    Reduce(a, {Action::Move, kRowMove});
}

void MoveCarryFromBit(Assembly& a, int32_t bit)
{
    Reduce(a, {Action::MoveCarryFromBit, kRowMove, bit});
}

void MoveCarryImmediate(Assembly& a, int32_t value)
{
    Reduce(a, {Action::MoveCarryImmediate, kRowMove, value});
}

void MoveBitFromCarry(Assembly& a, int32_t bit)
{
    Reduce(a, {Action::MoveBitFromCarry, kRowMoveBitFromCarry, bit});
}

void MoveBitImmediate(Assembly& a, int32_t bit, int32_t value)
{
    Reduce(a, {Action::MoveBitImmediate, kRowMove, bit, value});
}

void BranchInstruction(Assembly& a, BranchKind kind, BranchForm form, int32_t row)
{
    Reduce(a, {Action::Branch, row, 0, 0, kind, form});
}

}  // namespace zernasm
