#pragma once
// The symbol table: labels of the code and data segment and the reserved names.
// Every name a statement mentions gets one entry, found again through an index
// that grows with the table; an entry counts as a symbol once it is defined.
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace zernasm {

constexpr size_t kMaxNameLength = 127;

struct Symbol {
    std::string name;  // as defined; as first mentioned while undefined
    bool defined = false;
    bool dataSegment = false;
    bool referenced = false;  // named in an expression of pass 1
    int32_t value = 0;
    uint32_t hash = 0;       // SymbolHash(name): the bucket that orders traced moves
    uint32_t serial = 0;     // definition order
    uint32_t relaxSlot = 0;  // position among the items that relaxation moves
    uint32_t index = 0;      // position in the table
};

// Names and keywords compare in the source's 8-bit characters, independent of the locale.
inline unsigned char AsciiUpper(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - ('a' - 'A')) : u;
}

uint32_t SymbolHash(std::string_view name);
bool SymbolNamesEqual(std::string_view a, std::string_view b);

class SymbolTable {
public:
    void Clear();
    // The entry of a name, defined or not; null when the name was never mentioned.
    Symbol* Find(std::string_view name) const;
    // The entry of a name, created undefined on first mention.
    Symbol* Entry(std::string_view name);
    void Define(Symbol* entry, std::string_view name, bool dataSegment, int32_t value);
    // Defined entries in the order of their definitions.
    const std::vector<Symbol*>& Definitions() const { return definitionOrder_; }
    std::deque<Symbol>& Entries() { return entries_; }
    Symbol& At(uint32_t index) { return entries_[index]; }
    const Symbol& At(uint32_t index) const { return entries_[index]; }
    // Defined entries in the order of the fixed 500-bucket chains (buckets
    // ascending, newest first in a bucket), the order in which moves are traced.
    std::vector<Symbol*> InBucketOrder() const;

private:
    size_t Probe(std::string_view name, uint32_t key) const;
    void Grow();

    std::deque<Symbol> entries_;
    std::vector<uint32_t> keys_;   // name hash per slot
    std::vector<uint32_t> slots_;  // entry index + 1; 0 = free
    uint32_t definitions_ = 0;
    std::vector<Symbol*> definitionOrder_;
};

struct Assembly;

// Empties the table and enters the reserved names.
void InitSymbolTable(Assembly& a);
Symbol* LookupSymbol(Assembly& a, std::string_view name);
// A label definition as the scanner read it (name, colon, blanks).
void DefineLabel(Assembly& a, std::string_view text, bool local);
// A label token at the start of a line: a global one as read, a local one
// (".name:") composed with the last global label. `checkName` refuses the
// local names .B, .W and .L.
void LabelToken(Assembly& a, std::string_view text, bool local, bool checkName);
// An identifier reference; sets the scanner's shared values and returns TOKEN_NUMBER.
int ReferenceSymbol(Assembly& a, std::string_view name);
// Moves every code label above `after` in code range `range` by `delta` words,
// visiting `order` (InBucketOrder) and tracing each move when tracing is on.
void ShiftCodeSymbols(Assembly& a, const std::vector<Symbol*>& order, int32_t after, int32_t range, int32_t delta);

}  // namespace zernasm
