#include "Relaxation.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "Assembly.h"
#include "Emit.h"
#include "Expressions.h"
#include "FixupRules.h"
#include "Symbols.h"

namespace zernasm {

namespace {

// After this many sweeps a size may only grow, so the loop always ends.
constexpr int kSweepsBeforeGrowOnly = 8;
// Addresses below this stay below 2^31 however much relaxation grows them, so
// signed and unsigned comparisons of them agree.
constexpr uint32_t kOrderedAddressLimit = 1u << 30;
constexpr uint32_t kNoSlot = UINT32_MAX;

int32_t NeededSize(Fixup& fixup, int32_t value, uint32_t address)
{
    if (!fixup.label && fixup.pending && fixup.pending->defined)
        fixup.label = fixup.pending;
    return FixupWords(fixup.kind, value, address, fixup.label);
}

// Range additions and point reads over item positions.
class OffsetTree {
public:
    explicit OffsetTree(size_t size) : sums_(size + 1, 0) {}
    void AddFrom(size_t position, int64_t delta)
    {
        for (size_t i = position + 1; i < sums_.size(); i += i & (~i + 1))
            sums_[i] += delta;
    }
    int64_t At(size_t position) const
    {
        int64_t sum = 0;
        for (size_t i = position + 1; i > 0; i -= i & (~i + 1))
            sum += sums_[i];
        return sum;
    }

private:
    std::vector<int64_t> sums_;
};

// Fix-ups and code labels ordered by address, so that a growth moves one
// stretch of them. Valid while the code ranges keep a gap between each other;
// as soon as a growth would make them touch, or would reorder items, the caller
// goes over to the exact per-growth update.
class OrderedItems {
public:
    explicit OrderedItems(Assembly& a) : a_(a) {}

    struct Item {
        uint32_t address;
        bool isFixup;
        uint32_t index;  // fix-up index, or symbol order
        Symbol* symbol;
    };

    bool Build(std::vector<Fixup>& fixups, const std::vector<Symbol*>& symbols)
    {
        if (!SortRanges())
            return false;
        items_.reserve(fixups.size() + symbols.size());
        for (uint32_t i = 0; i < fixups.size(); ++i) {
            if (fixups[i].address >= kOrderedAddressLimit)
                return false;
            items_.push_back({fixups[i].address, true, i, nullptr});
        }
        const size_t firstSymbol = items_.size();
        for (uint32_t i = 0; i < symbols.size(); ++i) {
            Symbol* symbol = symbols[i];
            symbol->relaxSlot = kNoSlot;
            if (!Moves(*symbol))
                continue;
            if (static_cast<uint32_t>(symbol->value) >= kOrderedAddressLimit)
                return false;
            items_.push_back({static_cast<uint32_t>(symbol->value), false, i, symbol});
        }
        // A label sorts before a fix-up at its address: only what lies above a
        // growing statement moves. Both lists mostly come in address order.
        const auto before = [](const Item& x, const Item& y) {
            if (x.address != y.address)
                return x.address < y.address;
            if (x.isFixup != y.isFixup)
                return !x.isFixup;
            return x.index < y.index;
        };
        const auto middle = items_.begin() + static_cast<std::ptrdiff_t>(firstSymbol);
        if (std::is_sorted(items_.begin(), middle, before) && std::is_sorted(middle, items_.end(), before)) {
            std::inplace_merge(items_.begin(), middle, items_.end(), before);
        } else {
            std::sort(items_.begin(), items_.end(), before);
        }
        fixupSlot_.assign(fixups.size(), 0);
        for (uint32_t position = 0; position < items_.size(); ++position) {
            const Item& item = items_[position];
            if (item.isFixup) {
                fixupSlot_[item.index] = position;
            } else {
                item.symbol->relaxSlot = position;
            }
            if (position > 0 && !InOrder(items_[position - 1], items_[position - 1].address, item.address))
                return false;
        }
        offsets_ = OffsetTree(items_.size());
        return true;
    }

    uint32_t FixupAddress(size_t index) const { return AddressAt(fixupSlot_[index]); }
    int32_t ValueOf(const Symbol& symbol) const
    {
        return symbol.relaxSlot == kNoSlot ? symbol.value : static_cast<int32_t>(AddressAt(symbol.relaxSlot));
    }

    // Moves what lies above fix-up `index` and below the new end of its range;
    // false (and nothing changed) when the ordered view no longer holds.
    bool Grow(size_t index, int32_t delta)
    {
        const uint32_t slot = fixupSlot_[index];
        const uint32_t address = AddressAt(slot);
        const size_t rank = RankHolding(address);
        if (rank == byStart_.size())
            return false;
        CodeRange& grown = a_.ranges[byStart_[rank]];
        const int64_t newEnd = static_cast<int64_t>(grown.endPass1) + delta;
        const bool beforeNext = rank + 1 == byStart_.size() || newEnd < a_.ranges[byStart_[rank + 1]].start;
        if (newEnd < grown.start || !beforeNext)
            return false;
        const size_t first = slot + 1;
        // The last item below the new end.
        size_t low = first;
        size_t high = items_.size();
        while (low < high) {
            const size_t middle = low + (high - low) / 2;
            if (AddressAt(middle) < newEnd) {
                low = middle + 1;
            } else {
                high = middle;
            }
        }
        const size_t last = low;  // one past the moved stretch
        if (first < last) {
            if (AddressAt(first) <= address)
                return false;
            const int64_t firstMoved = static_cast<int64_t>(AddressAt(first)) + delta;
            const int64_t lastMoved = static_cast<int64_t>(AddressAt(last - 1)) + delta;
            if (!InOrder(items_[first - 1], AddressAt(first - 1), firstMoved))
                return false;
            if (last < items_.size() && !InOrder(items_[last - 1], lastMoved, AddressAt(last)))
                return false;
            offsets_.AddFrom(first, delta);
            offsets_.AddFrom(last, -delta);
        }
        grown.endPass1 = static_cast<uint32_t>(newEnd);
        return true;
    }

    // Writes the current addresses back into the fix-ups and labels.
    void Settle(std::vector<Fixup>& fixups) const
    {
        for (size_t position = 0; position < items_.size(); ++position) {
            const Item& item = items_[position];
            if (item.isFixup) {
                fixups[item.index].address = AddressAt(position);
            } else {
                item.symbol->value = static_cast<int32_t>(AddressAt(position));
            }
        }
    }

    static bool Moves(const Symbol& symbol) { return !symbol.dataSegment && symbol.value != -1; }

private:
    uint32_t AddressAt(size_t position) const
    {
        return static_cast<uint32_t>(static_cast<int64_t>(items_[position].address) + offsets_.At(position));
    }

    // Whether an item at `nextAddress` may follow `previous` at `previousAddress`:
    // only a label may share its address with what follows it.
    static bool InOrder(const Item& previous, int64_t previousAddress, int64_t nextAddress)
    {
        return previousAddress < nextAddress || (previousAddress == nextAddress && !previous.isFixup);
    }

    // Orders the recorded ranges by start; false unless every two of them,
    // taken with their ends, are apart. Then the range holding an address is
    // the one that code-range lookup finds.
    bool SortRanges()
    {
        const size_t count = std::min(a_.rangeCount, a_.ranges.size());
        byStart_.resize(count);
        for (size_t i = 0; i < count; ++i)
            byStart_[i] = i;
        std::sort(byStart_.begin(), byStart_.end(),
                  [this](size_t x, size_t y) { return a_.ranges[x].start < a_.ranges[y].start; });
        for (size_t rank = 0; rank < count; ++rank) {
            const CodeRange& range = a_.ranges[byStart_[rank]];
            if (range.endPass1 < range.start)
                return false;
            if (rank + 1 < count && !(range.endPass1 < a_.ranges[byStart_[rank + 1]].start))
                return false;
        }
        return true;
    }

    // The rank of the range holding `address`, or the count of ranges.
    size_t RankHolding(uint32_t address) const
    {
        const auto after = std::upper_bound(byStart_.begin(), byStart_.end(), address,
                                            [this](uint32_t at, size_t range) { return at < a_.ranges[range].start; });
        if (after == byStart_.begin())
            return byStart_.size();
        const size_t rank = static_cast<size_t>(after - byStart_.begin()) - 1;
        return address < a_.ranges[byStart_[rank]].endPass1 ? rank : byStart_.size();
    }

    Assembly& a_;
    std::vector<size_t> byStart_;  // range indexes by start
    std::vector<Item> items_;
    std::vector<uint32_t> fixupSlot_;
    OffsetTree offsets_{0};
};

// The update of one growth as the fix-up step defines it: the range's end, every
// later fix-up and every later code label of the same range.
void GrowExactly(Assembly& a, std::vector<Fixup>& fixups, size_t index, int32_t delta,
                 const std::vector<Symbol*>& symbols)
{
    const uint32_t address = fixups[index].address;
    const int32_t range = CodeRangeOf(a, address);
    if (range >= 0)
        a.ranges[static_cast<size_t>(range)].endPass1 += static_cast<uint32_t>(delta);
    for (Fixup& other : fixups) {
        if (other.address > address && CodeRangeOf(a, other.address) == range)
            other.address += static_cast<uint32_t>(delta);
    }
    ShiftCodeSymbols(a, symbols, static_cast<int32_t>(address), range, delta);
}

}  // namespace

bool Relax(Assembly& a)
{
    if (!a.expressions.AllReferencedDefined())
        return false;
    std::vector<Fixup>& fixups = a.expressions.Fixups();
    // The table order in which moves are made and traced one by one; only the
    // per-growth update needs it.
    std::vector<Symbol*> tableOrder;
    const auto inTableOrder = [&]() -> const std::vector<Symbol*>& {
        if (tableOrder.empty())
            tableOrder = a.symbols.InBucketOrder();
        return tableOrder;
    };
    OrderedItems ordered(a);
    bool fast = !a.scannerTrace && ordered.Build(fixups, a.symbols.Definitions());
    for (int sweep = 0;; ++sweep) {
        bool changed = false;
        for (size_t i = 0; i < fixups.size(); ++i) {
            Fixup& fixup = fixups[i];
            const uint32_t address = fast ? ordered.FixupAddress(i) : fixup.address;
            const int32_t value =
                fast ? a.expressions.Evaluate(fixup.tree, address, a.symbols,
                                              [&](const Symbol& symbol) { return ordered.ValueOf(symbol); })
                     : a.expressions.Evaluate(fixup.tree, address, a.symbols,
                                              [](const Symbol& symbol) { return symbol.value; });
            int32_t size = std::max(NeededSize(fixup, value, address), fixup.minimumSize);
            if (sweep >= kSweepsBeforeGrowOnly)
                size = std::max(size, fixup.size);
            if (size == fixup.size)
                continue;
            const int32_t delta = size - fixup.size;
            fixup.size = size;
            changed = true;
            if (fast && ordered.Grow(i, delta))
                continue;
            if (fast) {
                ordered.Settle(fixups);
                fast = false;
            }
            GrowExactly(a, fixups, i, delta, inTableOrder());
        }
        if (!changed)
            break;
    }
    if (fast)
        ordered.Settle(fixups);
    return true;
}

}  // namespace zernasm
