#pragma once
// One assembler run: its options, counters and outputs, the statement being
// parsed, the symbol table and the expressions. The driver owns it; the
// scanner, the grammar actions, the encoder and the writers receive it.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "Expressions.h"
#include "HexStream.h"
#include "RunOptions.h"
#include "Symbols.h"

namespace zernasm {

// One stretch of code between two ORGs of the code segment.
struct CodeRange {
    uint32_t start = 0;
    uint32_t endPass1 = 0;
    uint32_t endPass2 = 0;
};

// Per-statement encoding state, reset after every source line.
struct StatementState {
    int32_t row = -1;
    int32_t ci = -1;
    int32_t source = 0;
    int32_t destination = 0;
    bool performPrefix = false;
    int32_t prefixIndex = 0;
    int32_t prefixByte = 0;
    int32_t liwp = 0;
    int32_t byte23 = 0;
    int32_t topByte = 0;
    bool longImmediate = false;
    bool forcedPrefix = false;
    uint32_t sourcePointers = 0;
    uint32_t destinationPointers = 0;
    // Traits of the operand reduced last (OperandFlag bits and pointer mask);
    // copied when it becomes the source or the destination.
    uint32_t operandFlags = 0;
    uint32_t operandPointers = 0;
    int32_t operandIndex = 0;  // the index as written, before it is cut to the code's bits
    uint32_t sourceFlags = 0;
    uint32_t destinationFlags = 0;
    bool hasDestination = false;

    enum class SourceKind { None, Register, Immediate, Bare };
    SourceKind sourceKind = SourceKind::None;
    int32_t sourceValue = 0;
    bool sourceIsAccBit = false;
    bool destinationIsExpression = false;

    bool dollarSeen = false;
    bool identifierSeen = false;
    Symbol* lastSymbol = nullptr;  // the last identifier's symbol, when defined
    Symbol* lastEntry = nullptr;   // the last identifier's table entry
    std::string lastIdentifier;
    bool symbolOperand = false;
    bool sourceIdentifier = false;  // the source expression named a symbol
    bool sourceDollar = false;      // the source expression used "$"

    int32_t loopIndex = -1;
    int32_t moduleNumber = 0;

    // The statement's words for the listing: up to three prefixes and the code word.
    struct ListedWord {
        uint32_t address;
        uint16_t word;
    };
    ListedWord words[4] = {};
    int32_t wordCount = 0;
    std::vector<uint8_t> dataBytes;  // listing of DB/DW/DL
    int32_t listingState = -1;
    bool errorReported = false;
    bool addressReported = false;  // the line ran past the end of the address space
    bool keepsNoTrees = false;     // a data list or ORG: no fix-up needs its expressions
    std::string errorText;
};

struct Assembly {
    Assembly() = default;
    Assembly(const Assembly&) = delete;
    Assembly& operator=(const Assembly&) = delete;
    ~Assembly();

    RunOptions options;
    Console console;
    std::string inputPath;
    int32_t pass = 0;
    int32_t line = 1;
    int32_t errors = 0;
    int32_t warnings = 0;
    int32_t exitStatus = 0;
    bool endOfInput = false;
    bool dataSegment = false;
    bool scannerTrace = false;
    bool grammarTrace = false;

    // Byte counters of the code and data segment; wider than the address space,
    // so that running past its end is seen rather than wrapped.
    uint64_t codeBytes = 0;
    uint64_t dataBytes = 0;
    uint32_t rangeStart = 0;
    std::vector<CodeRange> ranges;
    size_t rangeCount = 0;
    bool undefinedAfterPass1 = false;
    bool prefixThePrefix = false;

    std::string lastLabel;
    std::string lastTokenText;
    std::string stringText;  // the last string token, quotes included
    std::string listingText;
    int32_t tokenValue = 0;
    uint32_t directiveAddress = 0;

    FILE* input = nullptr;
    std::string source;  // the whole input, as the scanner reads it
    FILE* codeFile = nullptr;
    FILE* dataFile = nullptr;
    FILE* listingFile = nullptr;

    HexStream codeStream;
    HexStream dataStream;
    StatementState statement;
    SymbolTable symbols;
    ExpressionStore expressions;
    void* scanner = nullptr;  // the reentrant scanner's state
};

inline bool IsZernC(const Assembly& a)
{
    return a.options.core == Core::ZernC;
}
// The listing line text is only written in pass 2, so only then is it collected.
inline bool CollectingListingText(const Assembly& a)
{
    return a.pass == 2 && a.options.listing;
}
inline uint32_t CodeWordAddress(const Assembly& a)
{
    return static_cast<uint32_t>(a.codeBytes >> 1);
}
inline uint32_t DataWordAddress(const Assembly& a)
{
    return static_cast<uint32_t>(a.dataBytes >> 1);
}

}  // namespace zernasm
