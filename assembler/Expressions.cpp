#include "Expressions.h"

#include <climits>

#include "AsmState.h"
#include "Reporting.h"
#include "Symbols.h"
#include "TokenCodes.h"

namespace zernasm {

namespace {

struct ExpressionStore {
    std::vector<Term> terms;
    // Where each tree on the expression stack begins; a tree runs to the next
    // one's beginning, the top one to the end of the terms.
    std::vector<uint32_t> stack;
    std::vector<Symbol*> referenced;
    std::vector<Fixup> fixups;
    std::vector<int32_t> evaluation;
    // Terms and fix-ups when the current statement began: a statement that
    // recorded no fix-up gives its terms back.
    size_t statementTerms = 0;
    size_t statementFixups = 0;
};

ExpressionStore g_store;

uint32_t TermCount()
{
    return static_cast<uint32_t>(g_store.terms.size());
}

void PushLeaf(Term term)
{
    g_store.stack.push_back(TermCount());
    g_store.terms.push_back(term);
}

// The top tree as a single number term, or null.
Term* TopNumber()
{
    if (g_store.stack.empty() || g_store.stack.back() + 1 != TermCount())
        return nullptr;
    Term& term = g_store.terms.back();
    return term.kind == NodeKind::Number ? &term : nullptr;
}

ExpressionTree Pop()
{
    if (g_store.stack.empty())
        return {};
    const ExpressionTree tree{g_store.stack.back(), TermCount()};
    g_store.stack.pop_back();
    return tree;
}

// Only pass 1 keeps trees, and only for statements that may record a fix-up:
// data lists and ORG never do.
bool Building()
{
    return g_run.pass == 1 && !g_run.statement.keepsNoTrees;
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

void PushNumber(int32_t value)
{
    if (!Building())
        return;
    PushLeaf({NodeKind::Number, value});
}

void PushSymbol(Symbol* entry)
{
    // Every name used in pass 1 counts for the check before relaxation, also
    // where no tree is kept.
    if (g_run.pass == 1 && !entry->referenced) {
        entry->referenced = true;
        g_store.referenced.push_back(entry);
    }
    if (!Building())
        return;
    PushLeaf({NodeKind::SymbolName, static_cast<int32_t>(entry->index)});
}

void PushDollar()
{
    if (!Building())
        return;
    PushLeaf({NodeKind::Dollar, 0});
}

void PushUnary(NodeKind kind)
{
    if (!Building())
        return;
    // A missing operand reads as 0.
    if (g_store.stack.empty())
        PushLeaf({NodeKind::Number, 0});
    // Constants fold in place, so that a long constant line needs no memory.
    if (Term* number = TopNumber()) {
        number->value = kind == NodeKind::Negate ? Negate(number->value)
                                                 : static_cast<int32_t>(~static_cast<uint32_t>(number->value));
        return;
    }
    g_store.terms.push_back({kind, 0});
}

void PushBinary(int op)
{
    if (!Building())
        return;
    // Missing operands read as 0.
    while (g_store.stack.size() < 2) {
        const uint32_t at = g_store.stack.empty() ? TermCount() : g_store.stack.front();
        g_store.terms.insert(g_store.terms.begin() + at, Term{NodeKind::Number, 0});
        for (uint32_t& begin : g_store.stack)
            ++begin;
        g_store.stack.insert(g_store.stack.begin(), at);
    }
    const uint32_t right = g_store.stack.back();
    g_store.stack.pop_back();
    const uint32_t left = g_store.stack.back();
    const bool numbers = right == left + 1 && right + 1 == TermCount() && g_store.terms[left].kind == NodeKind::Number
                         && g_store.terms[right].kind == NodeKind::Number;
    if (numbers) {
        g_store.terms[left].value = ApplyBinary(op, g_store.terms[left].value, g_store.terms[right].value);
        g_store.terms.pop_back();
        return;
    }
    g_store.terms.push_back({NodeKind::Binary, op});
}

void ClearExpressionStack()
{
    g_store.stack.clear();
    if (g_store.fixups.size() == g_store.statementFixups)
        g_store.terms.resize(g_store.statementTerms);
    g_store.statementTerms = g_store.terms.size();
    g_store.statementFixups = g_store.fixups.size();
}

void RecordFixup(bool absolute, uint32_t address, Symbol* label, Symbol* pending, int32_t minimumSize, int32_t value)
{
    const bool empty = g_store.stack.empty();
    const ExpressionTree tree = Pop();
    if (empty || !g_store.stack.empty()) {
        ReportError("System Error expression Calculation Mismatch");
        g_store.stack.clear();
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
    fixup.absolute = absolute;
    g_store.fixups.push_back(fixup);
}

bool AllReferencedNamesDefined()
{
    for (const Symbol* entry : g_store.referenced) {
        if (!entry->defined)
            return false;
    }
    return true;
}

std::vector<Fixup>& Fixups()
{
    return g_store.fixups;
}

const Term* TermsOf(ExpressionTree tree)
{
    return g_store.terms.data() + tree.begin;
}

std::vector<int32_t>& EvaluationStack()
{
    return g_store.evaluation;
}

void ClearExpressions()
{
    g_store = ExpressionStore();
}

}  // namespace zernasm
