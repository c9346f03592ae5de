#include "Symbols.h"

#include <vector>

#include "AsmState.h"
#include "Emit.h"
#include "Listing.h"
#include "Reporting.h"
#include "TokenCodes.h"

namespace zernasm {

namespace {

constexpr size_t kBuckets = 500;
// A larger gap cannot come from instructions that grew; it is reported as a
// mismatch rather than filled, so that a run never writes gigabytes of NOPs.
constexpr int64_t kLargestNopFill = 0x10000;
std::vector<std::unique_ptr<Symbol>> g_records;
Symbol* g_buckets[kBuckets] = {};

const char* const kReservedNames[] = {"AP",   "APC", "PSF",  "IC", "IMR",  "SC",  "IIR", "CKCN",
                                      "WDCN", "ACC", "NUL",  "IP", "SP",   "SPI", "IV",  "GR",
                                      "GRL",  "GRH", "GRXL", "BP", "OFFS", "GRS", "DPC"};

// Names are compared in the source's 8-bit characters, independent of the locale.
unsigned char AsciiUpper(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - ('a' - 'A')) : u;
}

std::string BareName(const std::string& text)
{
    std::string name = text.substr(0, text.find(':'));
    return name;
}

// Aligns the active segment's byte counter to even; the data stream is moved
// along so that the next byte lands where the label says.
void AlignActiveSegment()
{
    if (g_run.dataSegment) {
        if (g_run.dataBytes & 1)
            SetDataAddress((g_run.dataBytes + 1) >> 1);
    } else if (g_run.codeBytes & 1) {
        ++g_run.codeBytes;
    }
}

uint32_t ActiveLocation()
{
    return g_run.dataSegment ? DataWordAddress() : CodeWordAddress();
}

void DefineInPass1(const std::string& name, bool local)
{
    if (!local)
        g_run.lastLabel = name;
    if (LookupSymbol(name)) {
        ReportError(Format("Label \"%s\" already defined", name.c_str()));
        return;
    }
    AlignActiveSegment();
    if (g_run.scannerTrace)
        fprintf(g_run.console.out, "%lX] ", static_cast<unsigned long>(ActiveLocation()));
    AddSymbol(name, static_cast<int32_t>(ActiveLocation()));
}

void DefineInPass2(const std::string& name)
{
    if (g_run.exitStatus != 0 || g_run.undefinedAfterPass1)
        return;
    Symbol* symbol = LookupSymbol(name);
    if (!symbol) {
        ReportError("Assembler Error! Label is undefined in pass1");
        return;
    }
    AlignActiveSegment();
    uint32_t expected = ActiveLocation();
    if (g_run.dataSegment && IsZernC())
        expected *= 2;
    const int32_t value = symbol->value;
    const int64_t gap = static_cast<int64_t>(value) - static_cast<int64_t>(expected);
    if (!g_run.dataSegment && gap > 0 && gap <= kLargestNopFill) {
        for (int64_t left = gap; left > 0; --left)
            EmitCodeWord(0xDA3A);
        SetCodeAddress(static_cast<uint32_t>(value));
        return;
    }
    if (value != static_cast<int32_t>(expected)) {
        fprintf(g_run.console.out, "Address of %s is  %d but should be %d\n", name.c_str(), value,
                static_cast<int32_t>(expected));
        ReportError("Assembler Error! Address of variable does not match!");
    }
}

}  // namespace

uint32_t SymbolHash(const std::string& name)
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

bool SymbolNamesEqual(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
            return false;
    }
    return true;
}

void ClearSymbolTable()
{
    g_records.clear();
    for (Symbol*& head : g_buckets)
        head = nullptr;
}

void InitSymbolTable()
{
    ClearSymbolTable();
    const bool dataSegment = g_run.dataSegment;
    g_run.dataSegment = false;
    for (const char* name : kReservedNames)
        AddSymbol(name, -1);
    g_run.dataSegment = dataSegment;
}

Symbol* LookupSymbol(const std::string& name)
{
    const uint32_t hash = SymbolHash(name);
    for (Symbol* symbol = g_buckets[hash % kBuckets]; symbol; symbol = symbol->next) {
        if (symbol->hash == hash && SymbolNamesEqual(symbol->name, name))
            return symbol;
    }
    return nullptr;
}

Symbol* AddSymbol(const std::string& name, int32_t value)
{
    auto record = std::make_unique<Symbol>();
    record->name = name.substr(0, kMaxNameLength);
    record->dataSegment = g_run.dataSegment;
    record->value = (IsZernC() && g_run.dataSegment) ? static_cast<int32_t>(static_cast<uint32_t>(value) * 2) : value;
    record->hash = SymbolHash(record->name);
    Symbol*& head = g_buckets[record->hash % kBuckets];
    record->next = head;
    head = record.get();
    g_records.push_back(std::move(record));
    return head;
}

void DefineLabel(const std::string& text, bool local)
{
    if (CollectingListingText())
        g_run.listingText += text;
    if (g_run.scannerTrace)
        fprintf(g_run.console.out, "Token_Label[%s=", text.c_str());
    if (!g_run.dataSegment)
        AlignCode();
    std::string name = BareName(text);
    if (name.size() > kMaxNameLength) {
        if (g_run.pass == 2)
            ReportWarning("Label more than 127 characters only 127 characters considered");
        name.resize(kMaxNameLength);
    }
    if (g_run.pass == 1) {
        DefineInPass1(name, local);
    } else {
        if (!local)
            g_run.lastLabel = name;
        DefineInPass2(name);
    }
}

int ReferenceSymbol(std::string name)
{
    StatementState& s = g_run.statement;
    if (CollectingListingText())
        g_run.listingText += name;
    if (name.size() > kMaxNameLength) {
        ReportWarning("Label more than 127 characters only 127 considered");
        name.resize(kMaxNameLength);
    }
    if (g_run.scannerTrace)
        fprintf(g_run.console.out, "\n\nToken_Identifier[%s] \n\n", name.c_str());
    s.identifierSeen = true;
    s.lastIdentifier = name;
    s.lastSymbol = LookupSymbol(name);
    g_run.tokenValue = s.lastSymbol ? s.lastSymbol->value : 0;
    if (g_run.pass == 2) {
        if (g_run.exitStatus != 0) {
            g_run.tokenValue = -1;
            return TOKEN_NUMBER;
        }
        if (s.lastSymbol) {
            if (g_run.scannerTrace)
                fprintf(g_run.console.out, "(defined 0x%x) ", static_cast<unsigned>(s.lastSymbol->value));
            return TOKEN_NUMBER;
        }
        ReportError(Format("Symbol \"%s\" not defined", name.c_str()));
        s.symbolOperand = true;
        return TOKEN_NUMBER;
    }
    s.symbolOperand = true;
    return TOKEN_NUMBER;
}

void ShiftCodeSymbols(int32_t after, int32_t range, int32_t delta)
{
    for (Symbol* head : g_buckets) {
        for (Symbol* symbol = head; symbol; symbol = symbol->next) {
            if (symbol->dataSegment || symbol->value == -1 || symbol->value <= after)
                continue;
            if (CodeRangeOf(static_cast<uint32_t>(symbol->value)) != range)
                continue;
            const int32_t moved =
                static_cast<int32_t>(static_cast<uint32_t>(symbol->value) + static_cast<uint32_t>(delta));
            if (g_run.scannerTrace) {
                fprintf(g_run.console.out, "Address of %s is changed from %d to %d \n", symbol->name.c_str(),
                        symbol->value, moved);
            }
            symbol->value = moved;
        }
    }
}

}  // namespace zernasm
