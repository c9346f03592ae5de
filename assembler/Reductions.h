#pragma once
// What the grammar's actions reduce into the statement: operands, expression
// values and trees, and the instruction rule, which is then composed.
#include <cstdint>

#include "Statement.h"

namespace zernasm {

struct Assembly;

// Operands.
int32_t SourceRegister(Assembly& a, int32_t code);
int32_t SourceExpression(Assembly& a, int32_t value, bool hash);
int32_t DestinationRegister(Assembly& a, int32_t code);
int32_t DestinationExpression(Assembly& a, int32_t value);
void AccumulatorBitSource(Assembly& a, int32_t bit);

// Expression leaves and operators, evaluated at once and kept as trees in pass 1.
int32_t NumberOperand(Assembly& a, int32_t value);
int32_t DollarOperand(Assembly& a);
int32_t BinaryOperation(Assembly& a, int op, int32_t left, int32_t right);
int32_t NegateOperation(Assembly& a, int32_t value);
int32_t ComplementOperation(Assembly& a, int32_t value);

// Instruction rules.
void AluInstruction(Assembly& a, int32_t row);
void ZernCAluInstruction(Assembly& a, int32_t row);
void FixedInstruction(Assembly& a, int32_t row);
void ZernCFixedInstruction(Assembly& a, int32_t row);
void ReturnInstruction(Assembly& a, int32_t row, int32_t condition);
void PushInstruction(Assembly& a);
void PopInstruction(Assembly& a, int32_t row);
void TestInstruction(Assembly& a);
void MoveInstruction(Assembly& a);
void MoveCarryFromBit(Assembly& a, int32_t bit);
void MoveCarryImmediate(Assembly& a, int32_t value);
void MoveBitFromCarry(Assembly& a, int32_t bit);
void MoveBitImmediate(Assembly& a, int32_t bit, int32_t value);
void BranchInstruction(Assembly& a, BranchKind kind, BranchForm form, int32_t row);
// `loopIndex` is the value of the LC[n] token: n.
void DjnzInstruction(Assembly& a, BranchForm form, int32_t loopIndex);

}  // namespace zernasm
