#pragma once
// Expression trees kept from pass 1 and the fix-ups that depend on them. A
// tree is stored in postfix order, so that it is evaluated with a value stack
// and no recursion, however deep the source nests it.
#include <cstdint>
#include <vector>

#include "FixupRules.h"
#include "Symbols.h"

namespace zernasm {

enum class NodeKind : uint8_t { Number, SymbolName, Dollar, Negate, Complement, Binary };

// One entry of a postfix tree: a number's value, a symbol's entry, or an operator.
struct Term {
    NodeKind kind = NodeKind::Number;
    int32_t value = 0;  // Number: the value; SymbolName: the entry's index; Binary: the operator
};

// A tree as a stretch of the stored terms.
struct ExpressionTree {
    uint32_t begin = 0;
    uint32_t end = 0;
};

struct Fixup {
    ExpressionTree tree;
    Symbol* label = nullptr;    // the label when it was known at the statement
    Symbol* pending = nullptr;  // else the entry of the name it waits for
    int32_t minimumSize = 1;
    int32_t size = 1;
    uint32_t address = 0;
    int32_t value = 0;
    FixupKind kind = FixupKind::Immediate;
};

// Wrapping 32-bit arithmetic of the expression operators; a zero divisor
// gives the left operand.
int32_t ApplyBinary(int op, int32_t left, int32_t right);
int32_t Negate(int32_t value);

// The trees, the fix-ups and the names used of one run.
class ExpressionStore {
public:
    void PushLeaf(Term term);
    void PushUnary(NodeKind kind);
    void PushBinary(int op);
    // Takes the top tree; `empty` tells whether there was one.
    ExpressionTree Pop(bool& empty);
    bool StackEmpty() const { return stack_.empty(); }
    // The tree on top of the stack, empty when there is none.
    ExpressionTree Top() const;
    const Term* TermsOf(ExpressionTree tree) const { return terms_.data() + tree.begin; }
    void ClearStack() { stack_.clear(); }
    // The end of a statement: the stack empties, and a statement that recorded
    // no fix-up gives its terms back.
    void EndStatement();
    void Reference(Symbol* entry);
    bool AllReferencedDefined() const;
    std::vector<Fixup>& Fixups() { return fixups_; }
    // Room for the fix-ups of `statements` statements (one each at most).
    void Reserve(size_t statements) { fixups_.reserve(statements); }
    // A value stack for evaluating, kept from one evaluation to the next.
    std::vector<int32_t>& EvaluationStack() { return evaluation_; }

    // Evaluates a tree with "$" standing for `dollar`; `valueOf` gives a
    // defined symbol's current value.
    template <typename ValueOf>
    int32_t Evaluate(ExpressionTree tree, uint32_t dollar, const SymbolTable& symbols, ValueOf valueOf);

private:
    uint32_t TermCount() const { return static_cast<uint32_t>(terms_.size()); }
    Term* TopNumber();

    std::vector<Term> terms_;
    // Where each tree on the expression stack begins; a tree runs to the next
    // one's beginning, the top one to the end of the terms.
    std::vector<uint32_t> stack_;
    std::vector<Symbol*> referenced_;
    std::vector<Fixup> fixups_;
    std::vector<int32_t> evaluation_;
    // Terms and fix-ups when the current statement began.
    size_t statementTerms_ = 0;
    size_t statementFixups_ = 0;
};

struct Assembly;

// Builders of the statement's trees (pass 1 only; in pass 2 they do nothing).
void PushNumber(Assembly& a, int32_t value);
void PushSymbol(Assembly& a, Symbol* entry);
void PushDollar(Assembly& a);
void PushUnary(Assembly& a, NodeKind kind);
void PushBinary(Assembly& a, int op);
void ClearExpressionStack(Assembly& a);

// Records a fix-up for the statement at `address` from the tree on the stack.
void RecordFixup(Assembly& a, FixupKind kind, uint32_t address, Symbol* label, Symbol* pending, int32_t minimumSize,
                 int32_t value);

// Evaluates `count` postfix terms with a value stack; `dividedByZero` tells
// whether a "/" or "%" met a zero divisor (which gives the left operand).
template <typename ValueOf>
int32_t EvaluateTerms(const Term* terms, uint32_t count, uint32_t dollar, const SymbolTable& symbols, ValueOf valueOf,
                      std::vector<int32_t>& stack, bool* dividedByZero = nullptr)
{
    stack.clear();
    for (uint32_t i = 0; i < count; ++i) {
        const Term& term = terms[i];
        switch (term.kind) {
        case NodeKind::Number:
            stack.push_back(term.value);
            break;
        case NodeKind::SymbolName: {
            const Symbol& symbol = symbols.At(static_cast<uint32_t>(term.value));
            stack.push_back(symbol.defined ? valueOf(symbol) : 0);
            break;
        }
        case NodeKind::Dollar:
            stack.push_back(static_cast<int32_t>(dollar));
            break;
        case NodeKind::Negate:
            stack.back() = Negate(stack.back());
            break;
        case NodeKind::Complement:
            stack.back() = static_cast<int32_t>(~static_cast<uint32_t>(stack.back()));
            break;
        case NodeKind::Binary: {
            const int32_t right = stack.back();
            stack.pop_back();
            if (dividedByZero && right == 0 && (term.value == '/' || term.value == '%'))
                *dividedByZero = true;
            stack.back() = ApplyBinary(term.value, stack.back(), right);
            break;
        }
        }
    }
    return stack.empty() ? 0 : stack.back();
}

template <typename ValueOf>
int32_t ExpressionStore::Evaluate(ExpressionTree tree, uint32_t dollar, const SymbolTable& symbols, ValueOf valueOf)
{
    return EvaluateTerms(TermsOf(tree), tree.end - tree.begin, dollar, symbols, valueOf, evaluation_);
}

}  // namespace zernasm
