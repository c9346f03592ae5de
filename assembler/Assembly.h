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
#include "Statement.h"
#include "StatementLog.h"
#include "Symbols.h"

namespace zernasm {

// One stretch of code between two ORGs of the code segment.
struct CodeRange {
    uint32_t start = 0;
    uint32_t endPass1 = 0;
    uint32_t endPass2 = 0;
};

// What composing a statement produces: the fields of its code word and of
// the prefix words in front of it.
struct Composition {
    int32_t row = -1;  // the template row composed, -1 for a line without instruction
    int32_t source = 0;
    int32_t destination = 0;
    bool performPrefix = false;
    int32_t prefixIndex = 0;
    int32_t prefixByte = 0;
    int32_t liwp = 0;
    int32_t byte23 = 0;
    int32_t topByte = 0;
    bool longImmediate = false;
    int32_t ci = -1;
};

// What one line has put into the listing and the reports so far.
struct LineOutput {
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
    std::string errorText;

    // Empties it for the next line, keeping what it has allocated.
    void Clear();
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
    std::string_view lastTokenText;  // within the source, or the folded token
    std::string foldedToken;         // a token's text with its line ends folded
    std::string stringText;          // the last string token, quotes included
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
    Statement statement;
    LineTokens tokens;
    Composition composition;
    LineOutput output;
    SymbolTable symbols;
    ExpressionStore expressions;
    void* scanner = nullptr;  // the reentrant scanner's state
    uint32_t scanOffset = 0;  // where the scanner's last token ended in the source

    StatementLog log;
    bool composeKeptLines = true;
    // While pass 2 tries to compose a kept line, a report ends the try and the
    // line is parsed; the words wait here until the try succeeded.
    bool trial = false;
    std::vector<uint8_t> pendingCode;
    std::vector<uint8_t> pendingData;
};

// Thrown by the reporters while pass 2 tries a kept line.
struct TrialFailed {};

// Starts a new line: its statement, tokens, composition and output are empty.
void ClearLine(Assembly& a);

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
