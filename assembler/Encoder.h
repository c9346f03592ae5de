#pragma once
// Per-statement encoding: operands become source and destination, each
// instruction applies its checks, and the composition writes the words.
#include <cstdint>

namespace zernasm {

struct Assembly;

enum class BranchKind { Jump, Djnz, Call };
enum class BranchForm { Plain, Short, Long, Far };

// Operands as the grammar reduces them.
int32_t SourceRegister(Assembly& a, int32_t code);
int32_t SourceExpression(Assembly& a, int32_t value, bool hash);
int32_t DestinationRegister(Assembly& a, int32_t code);
int32_t DestinationExpression(Assembly& a, int32_t value);

// Expression leaves and operators, evaluated at once and kept as trees in pass 1.
int32_t NumberOperand(Assembly& a, int32_t value);
int32_t DollarOperand(Assembly& a);
int32_t BinaryOperation(Assembly& a, int op, int32_t left, int32_t right);
int32_t NegateOperation(Assembly& a, int32_t value);
int32_t ComplementOperation(Assembly& a, int32_t value);

// Instructions.
void AluInstruction(Assembly& a, int32_t row);
void ZernCAluInstruction(Assembly& a, int32_t row);
void AccumulatorBitSource(Assembly& a, int32_t bit);
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
void LoopCounterOperand(Assembly& a);

// The end-of-statement step of every parsed line.
void EndStatement(Assembly& a);

}  // namespace zernasm
