#pragma once
// Expression trees kept from pass 1, the fix-ups that depend on them and the
// relaxation between the passes.
#include <cstdint>
#include <string>

namespace zernasm {

struct Symbol;

enum class NodeKind { Number, SymbolName, Dollar, Negate, Complement, Binary };

// Wrapping 32-bit arithmetic of the expression operators; a zero divisor
// gives the left operand.
int32_t ApplyBinary(int op, int32_t left, int32_t right);
int32_t Negate(int32_t value);

// Builders (pass 1 only; in pass 2 they do nothing).
void PushNumber(int32_t value);
void PushSymbol(const std::string& name);
void PushDollar();
void PushUnary(NodeKind kind);
void PushBinary(int op);
void ClearExpressionStack();

// Records a fix-up for the statement at `address` from the tree on the stack.
void RecordFixup(bool absolute, uint32_t address, Symbol* label, const std::string& pendingName, int32_t minimumSize,
                 int32_t value);
bool AllReferencedNamesDefined();
// The relaxation loop after pass 1; returns false when it was skipped because a
// referenced name is undefined.
bool Relax();
void ClearExpressions();

}  // namespace zernasm
