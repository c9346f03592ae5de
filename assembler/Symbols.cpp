#include "Symbols.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "Assembly.h"
#include "Emit.h"
#include "Listing.h"
#include "Reporting.h"
#include "TokenCodes.h"

namespace zernasm {

namespace {

// A larger gap cannot come from instructions that grew; it is reported as a
// mismatch rather than filled, so that a run never writes gigabytes of NOPs.
constexpr int64_t kLargestNopFill = 0x10000;
// The bucket count of the chained table whose order traced moves keep.
constexpr uint32_t kTraceBuckets = 500;
constexpr size_t kFirstIndexSize = 1024;

const char* const kReservedNames[] = {"AP",   "APC", "PSF",  "IC", "IMR",  "SC",  "IIR", "CKCN",
                                      "WDCN", "ACC", "NUL",  "IP", "SP",   "SPI", "IV",  "GR",
                                      "GRL",  "GRH", "GRXL", "BP", "OFFS", "GRS", "DPC"};

// The index key: FNV-1a over the upper-case name, mixed so that the low bits
// spread names that differ only in their last characters.
uint32_t NameKey(std::string_view name)
{
    uint32_t h = 2166136261u;
    for (const char c : name)
        h = (h ^ AsciiUpper(c)) * 16777619u;
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    return h;
}

std::string_view BareName(std::string_view text)
{
    return text.substr(0, text.find(':'));
}
// Aligns the active segment's byte counter to even; the data stream is moved
// along so that the next byte lands where the label says.
void AlignActiveSegment(Assembly& a)
{
    if (a.dataSegment) {
        if (a.dataBytes & 1)
            SetDataAddress(a, (a.dataBytes + 1) >> 1);
    } else if (a.codeBytes & 1) {
        ++a.codeBytes;
    }
}

uint32_t ActiveLocation(Assembly& a)
{
    return a.dataSegment ? DataWordAddress(a) : CodeWordAddress(a);
}

// Defines an entry with the active segment's flag; a data label of the 32-bit
// core holds its byte address.
void DefineEntry(Assembly& a, Symbol* entry, std::string_view name, int32_t value)
{
    const int32_t stored =
        (IsZernC(a) && a.dataSegment) ? static_cast<int32_t>(static_cast<uint32_t>(value) * 2) : value;
    a.symbols.Define(entry, name.substr(0, kMaxNameLength), a.dataSegment, stored);
}

int NameLength(std::string_view name)
{
    return static_cast<int>(name.size());
}

void DefineInPass1(Assembly& a, std::string_view name, bool local)
{
    if (!local)
        a.lastLabel.assign(name);
    // One look into the table finds the name or makes its entry.
    Symbol* entry = a.symbols.Entry(name);
    if (entry->defined) {
        ReportError(a, Format("Label \"%.*s\" already defined", NameLength(name), name.data()));
        return;
    }
    AlignActiveSegment(a);
    if (a.scannerTrace)
        fprintf(a.console.out, "%lX] ", static_cast<unsigned long>(ActiveLocation(a)));
    DefineEntry(a, entry, name, static_cast<int32_t>(ActiveLocation(a)));
}

void DefineInPass2(Assembly& a, std::string_view name)
{
    if (a.exitStatus != 0 || a.undefinedAfterPass1)
        return;
    Symbol* symbol = LookupSymbol(a, name);
    if (!symbol) {
        ReportError(a, "Assembler Error! Label is undefined in pass1");
        return;
    }
    AlignActiveSegment(a);
    uint32_t expected = ActiveLocation(a);
    if (a.dataSegment && IsZernC(a))
        expected *= 2;
    const int32_t value = symbol->value;
    const int64_t gap = static_cast<int64_t>(value) - static_cast<int64_t>(expected);
    if (!a.dataSegment && gap > 0 && gap <= kLargestNopFill) {
        for (int64_t left = gap; left > 0; --left)
            EmitCodeWord(a, 0xDA3A);
        SetCodeAddress(a, static_cast<uint32_t>(value));
        return;
    }
    if (value != static_cast<int32_t>(expected)) {
        fprintf(a.console.out, "Address of %.*s is  %d but should be %d\n", NameLength(name), name.data(), value,
                static_cast<int32_t>(expected));
        ReportError(a, "Assembler Error! Address of variable does not match!");
    }
}

}  // namespace

uint32_t SymbolHash(std::string_view name)
{
    uint32_t h = 0;
    for (const char c : name) {
        h = (h << 4) + static_cast<uint32_t>(AsciiUpper(c));
        const uint32_t g = h & 0xF0000000u;
        if (g != 0)
            h ^= g >> 24;
        h &= ~0xF0000000u;
    }
    return h;
}

bool SymbolNamesEqual(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    // Most names are spelled alike wherever they appear.
    if (a == b)
        return true;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
            return false;
    }
    return true;
}

void SymbolTable::Clear()
{
    entries_.clear();
    definitionOrder_.clear();
    keys_.assign(kFirstIndexSize, 0);
    slots_.assign(kFirstIndexSize, 0);
    definitions_ = 0;
}

size_t SymbolTable::Probe(std::string_view name, uint32_t key) const
{
    const size_t mask = slots_.size() - 1;
    for (size_t at = key & mask;; at = (at + 1) & mask) {
        const uint32_t slot = slots_[at];
        if (slot == 0 || (keys_[at] == key && SymbolNamesEqual(entries_[slot - 1].name, name)))
            return at;
    }
}

Symbol* SymbolTable::Find(std::string_view name) const
{
    if (slots_.empty())
        return nullptr;
    const uint32_t slot = slots_[Probe(name, NameKey(name))];
    return slot == 0 ? nullptr : const_cast<Symbol*>(&entries_[slot - 1]);
}

void SymbolTable::Grow()
{
    std::vector<uint32_t> keys(slots_.size() * 2, 0);
    std::vector<uint32_t> slots(slots_.size() * 2, 0);
    const size_t mask = slots.size() - 1;
    for (size_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i] == 0)
            continue;
        size_t at = keys_[i] & mask;
        while (slots[at] != 0)
            at = (at + 1) & mask;
        keys[at] = keys_[i];
        slots[at] = slots_[i];
    }
    keys_ = std::move(keys);
    slots_ = std::move(slots);
}

Symbol* SymbolTable::Entry(std::string_view name)
{
    if (slots_.empty())
        Clear();
    const uint32_t key = NameKey(name);
    size_t at = Probe(name, key);
    if (slots_[at] != 0)
        return &entries_[slots_[at] - 1];
    // Half full at most, so that probe runs stay short.
    if ((entries_.size() + 1) * 2 > slots_.size()) {
        Grow();
        at = Probe(name, key);
    }
    Symbol& entry = entries_.emplace_back();
    entry.name.assign(name);
    entry.index = static_cast<uint32_t>(entries_.size() - 1);
    keys_[at] = key;
    slots_[at] = static_cast<uint32_t>(entries_.size());
    return &entry;
}

void SymbolTable::Define(Symbol* entry, std::string_view name, bool dataSegment, int32_t value)
{
    entry->name.assign(name);
    entry->defined = true;
    entry->dataSegment = dataSegment;
    entry->value = value;
    entry->serial = ++definitions_;
    definitionOrder_.push_back(entry);
}

std::vector<Symbol*> SymbolTable::InBucketOrder() const
{
    struct Placed {
        uint32_t bucket;
        Symbol* symbol;
    };
    std::vector<Placed> placed;
    placed.reserve(definitionOrder_.size());
    for (Symbol* entry : definitionOrder_)
        placed.push_back({SymbolHash(entry->name) % kTraceBuckets, entry});
    // Within a bucket the newest definition comes first.
    std::stable_sort(placed.begin(), placed.end(),
                     [](const Placed& x, const Placed& y) { return x.bucket < y.bucket; });
    std::vector<Symbol*> order;
    order.reserve(placed.size());
    for (size_t begin = 0; begin < placed.size();) {
        size_t end = begin;
        while (end < placed.size() && placed[end].bucket == placed[begin].bucket)
            ++end;
        for (size_t i = end; i > begin; --i)
            order.push_back(placed[i - 1].symbol);
        begin = end;
    }
    return order;
}

void InitSymbolTable(Assembly& a)
{
    a.symbols.Clear();
    const bool dataSegment = a.dataSegment;
    a.dataSegment = false;
    for (const char* name : kReservedNames)
        DefineEntry(a, a.symbols.Entry(name), name, -1);
    a.dataSegment = dataSegment;
}

Symbol* LookupSymbol(Assembly& a, std::string_view name)
{
    Symbol* entry = a.symbols.Find(name);
    return entry && entry->defined ? entry : nullptr;
}

void DefineLabel(Assembly& a, std::string_view text, bool local)
{
    if (CollectingListingText(a))
        a.listingText += text;
    if (a.scannerTrace)
        fprintf(a.console.out, "Token_Label[%.*s=", static_cast<int>(text.size()), text.data());
    if (!a.dataSegment)
        AlignCode(a);
    std::string_view name = BareName(text);
    if (name.size() > kMaxNameLength) {
        if (a.pass == 2)
            ReportWarning(a, "Label more than 127 characters only 127 characters considered");
        name = name.substr(0, kMaxNameLength);
    }
    if (a.pass == 1) {
        DefineInPass1(a, name, local);
    } else {
        if (!local)
            a.lastLabel.assign(name);
        DefineInPass2(a, name);
    }
}

void LabelToken(Assembly& a, std::string_view text, bool local, bool checkName)
{
    TakeBackListingText(a, text.size());
    if (!local) {
        DefineLabel(a, text, false);
        return;
    }
    if (checkName && text.find(':') == 2 && strchr("BbWwLl", text[1]))
        ReportError(a, ".B, .W and .L are invalid local labels!");
    std::string composed = a.lastLabel;
    composed += text;
    if (a.scannerTrace)
        fprintf(a.console.out, "got dotlabel(%s)", composed.c_str());
    DefineLabel(a, composed, true);
}

int ReferenceSymbol(Assembly& a, std::string_view name)
{
    Statement& s = a.statement;
    if (CollectingListingText(a))
        a.listingText += name;
    if (name.size() > kMaxNameLength) {
        ReportWarning(a, "Label more than 127 characters only 127 considered");
        name = name.substr(0, kMaxNameLength);
    }
    if (a.scannerTrace)
        fprintf(a.console.out, "\n\nToken_Identifier[%.*s] \n\n", NameLength(name), name.data());
    a.tokens.identifierSeen = true;
    ++a.tokens.symbolicLeaves;
    // Pass 1 enters every name it meets, so that expressions and fix-ups hold
    // the entry itself rather than a copy of the name.
    s.lastEntry = a.pass == 1 ? a.symbols.Entry(name) : a.symbols.Find(name);
    s.lastSymbol = s.lastEntry && s.lastEntry->defined ? s.lastEntry : nullptr;
    a.tokenValue = s.lastSymbol ? s.lastSymbol->value : 0;
    if (a.pass == 2) {
        if (a.exitStatus != 0) {
            a.tokenValue = -1;
            return TOKEN_NUMBER;
        }
        if (s.lastSymbol) {
            if (a.scannerTrace)
                fprintf(a.console.out, "(defined 0x%x) ", static_cast<unsigned>(s.lastSymbol->value));
            return TOKEN_NUMBER;
        }
        ReportError(a, Format("Symbol \"%.*s\" not defined", NameLength(name), name.data()));
        a.tokens.symbolOperand = true;
        return TOKEN_NUMBER;
    }
    a.tokens.symbolOperand = true;
    return TOKEN_NUMBER;
}

void ShiftCodeSymbols(Assembly& a, const std::vector<Symbol*>& order, int32_t after, int32_t range, int32_t delta)
{
    for (Symbol* symbol : order) {
        if (symbol->dataSegment || symbol->value == -1 || symbol->value <= after)
            continue;
        if (CodeRangeOf(a, static_cast<uint32_t>(symbol->value)) != range)
            continue;
        const int32_t moved = static_cast<int32_t>(static_cast<uint32_t>(symbol->value) + static_cast<uint32_t>(delta));
        if (a.scannerTrace) {
            fprintf(a.console.out, "Address of %s is changed from %d to %d \n", symbol->name.c_str(), symbol->value,
                    moved);
        }
        symbol->value = moved;
    }
}

}  // namespace zernasm
