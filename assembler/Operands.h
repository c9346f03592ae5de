#pragma once
// Operand codes of registers and addressing forms, with the checks of which
// core variant and mode accept them. A code holds the register flag in bit 8,
// index bits 3..0 in bits 7..4, the module in bits 3..0 and index bit 4 in bit 9.
#include <cstdint>

namespace zernasm {

struct Assembly;

constexpr int32_t kRegisterFlag = 0x100;
constexpr int32_t kIndexBit4 = 0x200;

// Operand traits.
constexpr uint32_t kTakesAddress = 1u << 0;     // "$" puts its high byte into the prefix
constexpr uint32_t kMarksLong = 1u << 1;        // ZERNC: the statement's immediate is long
constexpr uint32_t kEnablesByte23 = 1u << 2;    // ZERNC: the bits-23..16 prefix is enabled
constexpr uint32_t kEightBitOnZernA = 1u << 3;  // Acc or A[n]
constexpr uint32_t kStepsPointer = 1u << 4;     // post-increment or post-decrement access
constexpr uint32_t kSourceFormAsDestination = 1u << 5;
constexpr uint32_t kIsAcc = 1u << 6;
constexpr uint32_t kIsAccumulatorPointer = 1u << 7;  // A[AP]
constexpr uint32_t kPushForm = 1u << 8;

// Pointers an operand touches, for the pointer conflict check.
constexpr uint32_t kUsesDp0 = 1, kUsesDp1 = 2, kUsesBp = 4, kUsesCp = 8;

// Forms written with an operator around a register.
enum class Step { None, Increment, Decrement };
enum class Width { None, Byte, Word, Long };

int32_t RegisterCode(int32_t module, int32_t index);
int32_t CodeIndex(int32_t code);
int32_t CodeModule(int32_t code);

// A plain register token (the token code of Part of the scanner).
int32_t SimpleRegister(Assembly& a, int token);
int32_t Accumulator(Assembly& a, bool asSource);
int32_t ModuleRegister(Assembly& a);
int32_t DataPointerRegister(Assembly& a);
int32_t DataPointerIndirect(Assembly& a, Width width, Step step);
int32_t DataPointerPreStep(Assembly& a, Step step);
int32_t BasePointerIndirect(Assembly& a, Width width, Step step);
int32_t BasePointerPreStep(Assembly& a, Step step);
int32_t BasePointerOffsetSource(Assembly& a, Width width);
int32_t StackSource(Assembly& a, bool indexed, Step step);
int32_t StackPush(Assembly& a, Step step);
int32_t CodePointerIndirect(Assembly& a, Step step);

// Whether a bit number is below `limit`; reports "Invalid bit width" when not.
bool BitInRange(Assembly& a, int32_t bit, int32_t limit);

}  // namespace zernasm
