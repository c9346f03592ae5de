#include "Expressions.h"

#include <climits>
#include <deque>
#include <unordered_set>
#include <vector>

#include "AsmState.h"
#include "Emit.h"
#include "Reporting.h"
#include "Symbols.h"
#include "TokenCodes.h"

namespace zernasm {

namespace {

struct Node {
    NodeKind kind = NodeKind::Number;
    int op = 0;
    int32_t value = 0;
    std::string name;
    const Node* left = nullptr;
    const Node* right = nullptr;
    // Resolved on first use after pass 1; records are never freed during a run.
    mutable Symbol* symbol = nullptr;
};

struct Fixup {
    const Node* tree = nullptr;
    Symbol* label = nullptr;
    std::string pendingName;
    int32_t minimumSize = 1;
    int32_t size = 1;
    uint32_t address = 0;
    int32_t value = 0;
    bool absolute = false;
};

struct ExpressionStore {
    std::deque<Node> nodes;  // stable addresses, allocated in blocks
    std::vector<const Node*> stack;
    std::vector<std::string> referencedNames;
    std::unordered_set<std::string> referencedSet;
    std::vector<Fixup> fixups;
    uint32_t dollar = 0;
    // Nodes and fix-ups when the current statement began: a statement that
    // recorded no fix-up gives its nodes back.
    size_t statementNodes = 0;
    size_t statementFixups = 0;
};

ExpressionStore g_store;

// After this many sweeps a size may only grow, so the loop always ends.
constexpr int kSweepsBeforeGrowOnly = 8;

const Node* MakeNode(Node node)
{
    g_store.nodes.push_back(std::move(node));
    return &g_store.nodes.back();
}

const Node* Pop()
{
    if (g_store.stack.empty())
        return nullptr;
    const Node* top = g_store.stack.back();
    g_store.stack.pop_back();
    return top;
}

int32_t Evaluate(const Node* node)
{
    if (!node)
        return 0;
    switch (node->kind) {
    case NodeKind::Number:
        return node->value;
    case NodeKind::SymbolName: {
        if (!node->symbol)
            node->symbol = LookupSymbol(node->name);
        return node->symbol ? node->symbol->value : 0;
    }
    case NodeKind::Dollar:
        return static_cast<int32_t>(g_store.dollar);
    case NodeKind::Negate:
        return Negate(Evaluate(node->left));
    case NodeKind::Complement:
        return static_cast<int32_t>(~static_cast<uint32_t>(Evaluate(node->left)));
    case NodeKind::Binary:
        return ApplyBinary(node->op, Evaluate(node->left), Evaluate(node->right));
    }
    return 0;
}

int32_t NeededSize(Fixup& fixup, int32_t value)
{
    const uint32_t bits = static_cast<uint32_t>(value);
    if (fixup.absolute) {
        if (bits & 0xFF000000u)
            return 4;
        if (bits & 0x00FF0000u)
            return 3;
        if (bits & 0x0000FF00u)
            return 2;
        return 1;
    }
    if (!fixup.label)
        fixup.label = LookupSymbol(fixup.pendingName);
    if (fixup.label && fixup.label->dataSegment)
        return 2;
    const int64_t displacement = static_cast<int64_t>(value) - fixup.address - 1;
    if (displacement >= -128 && displacement <= 127)
        return 1;
    return value > 0xFFFF ? 3 : 2;
}

void Grow(size_t index, int32_t delta)
{
    Fixup& fixup = g_store.fixups[index];
    const int32_t range = CodeRangeOf(fixup.address);
    if (range >= 0)
        g_run.ranges[static_cast<size_t>(range)].endPass1 += static_cast<uint32_t>(delta);
    for (Fixup& other : g_store.fixups) {
        if (other.address > fixup.address && CodeRangeOf(other.address) == range) {
            other.address += static_cast<uint32_t>(delta);
        }
    }
    ShiftCodeSymbols(static_cast<int32_t>(fixup.address), range, delta);
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
    if (g_run.pass != 1)
        return;
    g_store.stack.push_back(MakeNode({NodeKind::Number, 0, value, {}, nullptr, nullptr}));
}

void PushSymbol(const std::string& name)
{
    if (g_run.pass != 1)
        return;
    if (g_store.referencedSet.insert(name).second)
        g_store.referencedNames.push_back(name);
    g_store.stack.push_back(MakeNode({NodeKind::SymbolName, 0, 0, name, nullptr, nullptr}));
}

void PushDollar()
{
    if (g_run.pass != 1)
        return;
    g_store.stack.push_back(MakeNode({NodeKind::Dollar, 0, 0, {}, nullptr, nullptr}));
}

void PushUnary(NodeKind kind)
{
    if (g_run.pass != 1)
        return;
    const Node* operand = Pop();
    if (operand && operand->kind == NodeKind::Number) {
        const int32_t value = kind == NodeKind::Negate ? Negate(operand->value)
                                                       : static_cast<int32_t>(~static_cast<uint32_t>(operand->value));
        g_store.stack.push_back(MakeNode({NodeKind::Number, 0, value, {}, nullptr, nullptr}));
        return;
    }
    g_store.stack.push_back(MakeNode({kind, 0, 0, {}, operand, nullptr}));
}

void PushBinary(int op)
{
    if (g_run.pass != 1)
        return;
    const Node* right = Pop();
    const Node* left = Pop();
    if (left && right && left->kind == NodeKind::Number && right->kind == NodeKind::Number) {
        g_store.stack.push_back(
            MakeNode({NodeKind::Number, 0, ApplyBinary(op, left->value, right->value), {}, nullptr, nullptr}));
        return;
    }
    g_store.stack.push_back(MakeNode({NodeKind::Binary, op, 0, {}, left, right}));
}

void ClearExpressionStack()
{
    g_store.stack.clear();
    if (g_store.fixups.size() == g_store.statementFixups)
        g_store.nodes.resize(g_store.statementNodes);
    g_store.statementNodes = g_store.nodes.size();
    g_store.statementFixups = g_store.fixups.size();
}

void RecordFixup(bool absolute, uint32_t address, Symbol* label, const std::string& pendingName, int32_t minimumSize,
                 int32_t value)
{
    const Node* tree = Pop();
    if (!tree || !g_store.stack.empty()) {
        ReportError("System Error expression Calculation Mismatch");
        g_store.stack.clear();
        if (!tree)
            return;
    }
    Fixup fixup;
    fixup.tree = tree;
    fixup.label = label;
    if (!label)
        fixup.pendingName = pendingName.substr(0, 127);
    fixup.minimumSize = minimumSize;
    fixup.size = minimumSize;
    fixup.address = address;
    fixup.value = value;
    fixup.absolute = absolute;
    g_store.fixups.push_back(std::move(fixup));
}

bool AllReferencedNamesDefined()
{
    for (const std::string& name : g_store.referencedNames) {
        if (!LookupSymbol(name))
            return false;
    }
    return true;
}

bool Relax()
{
    if (!AllReferencedNamesDefined())
        return false;
    for (int sweep = 0;; ++sweep) {
        bool changed = false;
        for (size_t i = 0; i < g_store.fixups.size(); ++i) {
            Fixup& fixup = g_store.fixups[i];
            g_store.dollar = fixup.address;
            const int32_t value = Evaluate(fixup.tree);
            int32_t size = std::max(NeededSize(fixup, value), fixup.minimumSize);
            if (sweep >= kSweepsBeforeGrowOnly)
                size = std::max(size, fixup.size);
            if (size == fixup.size)
                continue;
            const int32_t delta = size - fixup.size;
            fixup.size = size;
            Grow(i, delta);
            changed = true;
        }
        if (!changed)
            return true;
    }
}

void ClearExpressions()
{
    g_store = ExpressionStore();
}

}  // namespace zernasm
