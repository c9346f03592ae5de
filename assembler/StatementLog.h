#pragma once
// What pass 1 learns of each source line, kept so that pass 2 composes the
// line again without scanning or parsing it. A line that pass 2 could not
// repeat exactly this way is marked, and pass 2 parses it as before: a message
// or debug line, a segment switch, a directive that moves the counters, a
// string, a warning, or an expression whose value pass 2 cannot recompute.
#include <cstdint>
#include <vector>

#include "Expressions.h"
#include "Statement.h"

namespace zernasm {

enum class LineKind : uint8_t { Nothing, Instruction, Data };
enum class DataItem : uint8_t { Byte, Word, Long };

// One kept line, small: pass 1 keeps one for every line.
struct KeptLine {
    uint32_t start = 0;      // source offset of the line's first character
    uint32_t first = 0;      // Instruction: the statement; Data: the first item
    uint32_t firstTerm = 0;  // Instruction: where the source tree's terms begin
    uint16_t count = 0;      // Instruction: the source tree's terms; Data: the items; Nothing: the lines
    uint16_t listed = 0;     // Data: how far after the start the scanner had read when the list was listed
    uint8_t labelLength = 0;
    LineKind kind : 2 = LineKind::Nothing;
    bool localLabel : 1 = false;
    bool repeatable : 1 = true;
    bool composedNames : 1 = false;  // lists a local name with its global prefix
    bool byteList : 1 = false;       // Data: a DB list
};

class StatementLog {
public:
    // Room for the lines of a source, so that keeping them copies nothing.
    void Reserve(size_t lines);

    // Pass 1, in the order a line is parsed.
    void BeginLine(uint32_t start);
    void Label(uint32_t offset, uint32_t length, bool local);
    void NotRepeatable() { line_.repeatable = false; }
    void ComposedName() { line_.composedNames = true; }
    // The instruction rule was reduced; `sourceTree` holds its source operand's
    // terms when that names a symbol or "$", the only operand allowed to.
    void KeepInstruction(const Statement& statement, const Term* sourceTree, uint32_t terms);
    void KeepDataItem(DataItem item, int32_t value);
    void KeepDataEnd(bool byteList, uint32_t listedUpTo);
    // The line was finished; lines that pass 1 did not finish are not kept.
    void EndLine(uint32_t end);

    // Pass 2.
    const std::vector<KeptLine>& Lines() const { return lines_; }
    // Where line `index` ends: where the next one starts.
    uint32_t EndOf(size_t index) const { return index + 1 < lines_.size() ? lines_[index + 1].start : end_; }
    const Statement& StatementOf(const KeptLine& line) const { return statements_[line.first]; }
    const Term* TermsOf(const KeptLine& line) const { return terms_.data() + line.firstTerm; }
    DataItem ItemKind(size_t index) const { return itemKinds_[index]; }
    int32_t ItemValue(size_t index) const { return itemValues_[index]; }

private:
    std::vector<KeptLine> lines_;
    std::vector<Statement> statements_;
    std::vector<Term> terms_;
    std::vector<DataItem> itemKinds_;
    std::vector<int32_t> itemValues_;
    KeptLine line_;
    bool open_ = false;
    uint32_t end_ = 0;  // where the last kept line ends
};

}  // namespace zernasm
