#pragma once
// The kinds of fix-up and the one rule that sizes each in words: relaxation
// sizes statements by it between the passes, and pass 2 picks the form of a
// branch by the same rule.
#include <cstdint>

namespace zernasm {

struct Symbol;

enum class FixupKind : uint8_t {
    Immediate,  // an ALU, MOVE, PUSH or TEST source naming a label or "$"
    Branch,     // the target of a plain JUMP, DJNZ or CALL
};

// Whether a branch at word `address` reaches `target` with its one-byte
// displacement (-128 to 127 words from the next word).
bool FitsShortBranch(int32_t target, uint32_t address);
// The words a statement of `kind` needs for `value` at `address`. A branch
// takes 1 word when the displacement fits, else 2 (a prefix with the high
// byte) up to address 0xFFFF or for a data label (`label`), else 3 (far).
// An immediate takes one word plus a prefix for each byte above the lowest.
int32_t FixupWords(FixupKind kind, int32_t value, uint32_t address, const Symbol* label);

}  // namespace zernasm
