#pragma once
// Per-statement encoding: operands become source and destination, each
// instruction applies its checks, and the composition writes the words.
#include <cstdint>

namespace zernasm {

enum class BranchKind { Jump, Djnz, Call };
enum class BranchForm { Plain, Short, Long, Far };

// Operands as the grammar reduces them.
int32_t SourceRegister(int32_t code);
int32_t SourceExpression(int32_t value, bool hash);
int32_t DestinationRegister(int32_t code);
int32_t DestinationExpression(int32_t value);

// Expression leaves and operators, evaluated at once and kept as trees in pass 1.
int32_t NumberOperand(int32_t value);
int32_t DollarOperand();
int32_t BinaryOperation(int op, int32_t left, int32_t right);
int32_t NegateOperation(int32_t value);
int32_t ComplementOperation(int32_t value);

// Instructions.
void AluInstruction(int32_t row);
void ZernCAluInstruction(int32_t row);
void AccumulatorBitSource(int32_t bit);
void FixedInstruction(int32_t row);
void ZernCFixedInstruction(int32_t row);
void ReturnInstruction(int32_t row, int32_t condition);
void PushInstruction();
void PopInstruction(int32_t row);
void TestInstruction();
void MoveInstruction();
void MoveCarryFromBit(int32_t bit);
void MoveCarryImmediate(int32_t value);
void MoveBitFromCarry(int32_t bit);
void MoveBitImmediate(int32_t bit, int32_t value);
void BranchInstruction(BranchKind kind, BranchForm form, int32_t row);
void LoopCounterOperand();

// The end-of-statement step of every parsed line.
void EndStatement();

}  // namespace zernasm
