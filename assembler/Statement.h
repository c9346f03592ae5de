#pragma once
// What the grammar reduced from one source line: the instruction's template
// row, its operands with their traits, the prefix requests of their register
// indexes, and what the scanner saw of symbols. The encoder composes words
// from it (Composition); nothing in it is changed by composing.
#include <cstdint>
#include <string>

#include "Expressions.h"

namespace zernasm {

struct Symbol;

enum class SourceKind : uint8_t { None, Register, Immediate, Bare };
enum class BranchKind : uint8_t { Jump, Djnz, Call };
enum class BranchForm : uint8_t { Plain, Short, Long, Far };

// The instruction rules, each with the checks and composition of its own.
enum class Action : uint8_t {
    None,
    Alu,
    ZernCAlu,
    Fixed,
    ZernCFixed,
    Return,
    Push,
    Pop,
    Test,
    Move,
    MoveCarryFromBit,
    MoveCarryImmediate,
    MoveBitFromCarry,
    MoveBitImmediate,
    Branch,
};

// The instruction rule reduced, with what the rule passes to it.
struct Instruction {
    Action action = Action::None;
    BranchKind branchKind = BranchKind::Jump;
    BranchForm branchForm = BranchForm::Plain;
    int32_t row = -1;      // the rule's template row
    int32_t argument = 0;  // RET condition, bit number or carry immediate
    int32_t value = 0;     // the immediate of the bit form

    bool operator==(const Instruction&) const = default;
};

// Pass 1 keeps one for nearly every line: the fields are laid out tight.
struct Statement {
    Instruction instruction;
    // Operand codes as reduced: register flag, index and module bits, or the
    // bit fields of the bit and loop-counter forms.
    int32_t source = 0;
    int32_t destination = 0;
    int32_t sourceValue = 0;
    uint16_t sourceFlags = 0;
    uint16_t destinationFlags = 0;
    uint8_t sourcePointers = 0;
    uint8_t destinationPointers = 0;
    SourceKind sourceKind = SourceKind::None;
    // Prefix requests of the register indexes, and LMOVE's forced prefix.
    int8_t prefixIndex = 0;
    bool performPrefix : 1 = false;
    bool forcedPrefix : 1 = false;
    bool hasDestination : 1 = false;
    bool destinationIsExpression : 1 = false;
    bool sourceIsAccBit : 1 = false;
    bool sourceIdentifier : 1 = false;  // the source expression named a symbol
    bool sourceDollar : 1 = false;      // the source expression used "$"
    Symbol* lastSymbol = nullptr;       // the last identifier's symbol, when defined
    Symbol* lastEntry = nullptr;        // the last identifier's table entry

    bool operator==(const Statement&) const = default;
};

// What the scanner's rules and the reductions pass on to each other within
// one line, beside the statement they build.
struct LineTokens {
    // Traits of the operand reduced last (OperandFlag bits and pointer mask);
    // copied when it becomes the source or the destination.
    uint32_t operandFlags = 0;
    uint32_t operandPointers = 0;
    int32_t operandIndex = 0;  // the index as written, before it is cut to the code's bits
    bool dollarSeen = false;
    bool identifierSeen = false;
    bool symbolOperand = false;  // the last identifier stays symbolic in its expression
    int32_t moduleNumber = 0;
    bool keepsNoTrees = false;    // a data list or ORG: no fix-up needs its expressions
    uint32_t symbolicLeaves = 0;  // identifiers and "$" in the line's expressions
    ExpressionTree sourceTree;    // pass 1: the source operand's tree, when it has one
};

}  // namespace zernasm
