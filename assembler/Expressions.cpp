#include "Expressions.h"

#include <climits>

#include "Assembly.h"
#include "Reporting.h"
#include "TokenCodes.h"

namespace zernasm {

namespace {

// Only pass 1 keeps trees, and only for statements that may record a fix-up:
// data lists and ORG never do.
bool Building(const Assembly& a)
{
    return a.pass == 1 && !a.tokens.keepsNoTrees;
}

}  // namespace

int32_t Negate(int32_t value)
{
    return static_cast<int32_t>(0u - static_cast<uint32_t>(value));
}

int32_t ApplyBinary(int op, int32_t left, int32_t right)
{
    const uint32_t l = static_cast<uint32_t>(left);
    const uint32_t r = static_cast<uint32_t>(right);
    switch (op) {
    case '|':
        return static_cast<int32_t>(l | r);
    case '^':
        return static_cast<int32_t>(l ^ r);
    case '&':
        return static_cast<int32_t>(l & r);
    case '+':
        return static_cast<int32_t>(l + r);
    case '-':
        return static_cast<int32_t>(l - r);
    case '*':
        return static_cast<int32_t>(l * r);
    case '/':
        if (right == 0)
            return left;
        if (left == INT_MIN && right == -1)
            return INT_MIN;
        return left / right;
    case '%':
        if (right == 0)
            return left;
        if (right == -1)
            return 0;
        return left % right;
    case TOKEN_EXPR_SHL:
        return static_cast<int32_t>(l << (r & 31));
    case TOKEN_EXPR_SHR: {
        const uint32_t count = r & 31;
        const uint32_t shifted = l >> count;
        const uint32_t sign = (left < 0 && count != 0) ? ~(0xFFFFFFFFu >> count) : 0;
        return static_cast<int32_t>(shifted | sign);
    }
    default:
        return left;
    }
}

void ExpressionStore::PushLeaf(Term term)
{
    stack_.push_back(TermCount());
    terms_.push_back(term);
}

Term* ExpressionStore::TopNumber()
{
    if (stack_.empty() || stack_.back() + 1 != TermCount())
        return nullptr;
    Term& term = terms_.back();
    return term.kind == NodeKind::Number ? &term : nullptr;
}

void ExpressionStore::PushUnary(NodeKind kind)
{
    // A missing operand reads as 0.
    if (stack_.empty())
        PushLeaf({NodeKind::Number, 0});
    // Constants fold in place, so that a long constant line needs no memory.
    if (Term* number = TopNumber()) {
        number->value = kind == NodeKind::Negate ? Negate(number->value)
                                                 : static_cast<int32_t>(~static_cast<uint32_t>(number->value));
        return;
    }
    terms_.push_back({kind, 0});
}

void ExpressionStore::PushBinary(int op)
{
    // Missing operands read as 0.
    while (stack_.size() < 2) {
        const uint32_t at = stack_.empty() ? TermCount() : stack_.front();
        terms_.insert(terms_.begin() + at, Term{NodeKind::Number, 0});
        for (uint32_t& begin : stack_)
            ++begin;
        stack_.insert(stack_.begin(), at);
    }
    const uint32_t right = stack_.back();
    stack_.pop_back();
    const uint32_t left = stack_.back();
    const bool numbers = right == left + 1 && right + 1 == TermCount() && terms_[left].kind == NodeKind::Number
                         && terms_[right].kind == NodeKind::Number;
    if (numbers) {
        terms_[left].value = ApplyBinary(op, terms_[left].value, terms_[right].value);
        terms_.pop_back();
        return;
    }
    terms_.push_back({NodeKind::Binary, op});
}

ExpressionTree ExpressionStore::Pop(bool& empty)
{
    empty = stack_.empty();
    if (empty)
        return {};
    const ExpressionTree tree{stack_.back(), TermCount()};
    stack_.pop_back();
    return tree;
}

ExpressionTree ExpressionStore::Top() const
{
    if (stack_.empty())
        return {};
    return {stack_.back(), TermCount()};
}

void ExpressionStore::EndStatement()
{
    stack_.clear();
    if (fixups_.size() == statementFixups_)
        terms_.resize(statementTerms_);
    statementTerms_ = terms_.size();
    statementFixups_ = fixups_.size();
}

void ExpressionStore::Reference(Symbol* entry)
{
    if (!entry->referenced) {
        entry->referenced = true;
        referenced_.push_back(entry);
    }
}

bool ExpressionStore::AllReferencedDefined() const
{
    for (const Symbol* entry : referenced_) {
        if (!entry->defined)
            return false;
    }
    return true;
}

void PushNumber(Assembly& a, int32_t value)
{
    if (Building(a))
        a.expressions.PushLeaf({NodeKind::Number, value});
}

void PushSymbol(Assembly& a, Symbol* entry)
{
    // Every name used in pass 1 counts for the check before relaxation, also
    // where no tree is kept.
    if (a.pass == 1)
        a.expressions.Reference(entry);
    if (Building(a))
        a.expressions.PushLeaf({NodeKind::SymbolName, static_cast<int32_t>(entry->index)});
}

void PushDollar(Assembly& a)
{
    if (Building(a))
        a.expressions.PushLeaf({NodeKind::Dollar, 0});
}

void PushUnary(Assembly& a, NodeKind kind)
{
    if (Building(a))
        a.expressions.PushUnary(kind);
}

void PushBinary(Assembly& a, int op)
{
    if (Building(a))
        a.expressions.PushBinary(op);
}

void ClearExpressionStack(Assembly& a)
{
    a.expressions.EndStatement();
}

void RecordFixup(Assembly& a, FixupKind kind, uint32_t address, Symbol* label, Symbol* pending, int32_t minimumSize,
                 int32_t value)
{
    bool empty = false;
    const ExpressionTree tree = a.expressions.Pop(empty);
    if (empty || !a.expressions.StackEmpty()) {
        ReportError(a, "System Error expression Calculation Mismatch");
        a.expressions.ClearStack();
        if (empty)
            return;
    }
    Fixup fixup;
    fixup.tree = tree;
    fixup.label = label;
    if (!label)
        fixup.pending = pending;
    fixup.minimumSize = minimumSize;
    fixup.size = minimumSize;
    fixup.address = address;
    fixup.value = value;
    fixup.kind = kind;
    a.expressions.Fixups().push_back(fixup);
}

}  // namespace zernasm
