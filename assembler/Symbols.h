#pragma once
// The symbol table: labels of the code and data segment and the reserved names.
#include <cstdint>
#include <memory>
#include <string>

namespace zernasm {

constexpr size_t kMaxNameLength = 127;

struct Symbol {
    std::string name;
    bool dataSegment = false;
    int32_t value = 0;
    uint32_t hash = 0;  // SymbolHash(name), compared before the names
    Symbol* next = nullptr;
};

uint32_t SymbolHash(const std::string& name);
bool SymbolNamesEqual(const std::string& a, const std::string& b);

void InitSymbolTable();
Symbol* LookupSymbol(const std::string& name);
Symbol* AddSymbol(const std::string& name, int32_t value);
// A label definition as the scanner read it (name, colon, blanks).
void DefineLabel(const std::string& text, bool local);
// An identifier reference; sets the scanner's shared values and returns TOKEN_NUMBER.
int ReferenceSymbol(std::string name);
// Moves every code label above `after` in code range `range` by `delta` words.
void ShiftCodeSymbols(int32_t after, int32_t range, int32_t delta);
// Frees every record (between runs in one process).
void ClearSymbolTable();

}  // namespace zernasm
