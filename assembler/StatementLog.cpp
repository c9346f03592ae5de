#include "StatementLog.h"

namespace zernasm {

namespace {

// Longer data lists are parsed again rather than kept item by item, and so
// are lines too long for the kept line's fields.
constexpr uint32_t kLargestKeptList = 64;
constexpr uint32_t kLargestField = UINT16_MAX;

}  // namespace

void StatementLog::Reserve(size_t lines)
{
    lines_.reserve(lines);
    statements_.reserve(lines);
}

void StatementLog::BeginLine(uint32_t start)
{
    line_ = KeptLine();
    line_.start = start;
    open_ = true;
}

void StatementLog::Label(uint32_t offset, uint32_t length, bool local)
{
    if (offset != line_.start || length > UINT8_MAX) {
        line_.repeatable = false;
        return;
    }
    line_.labelLength = static_cast<uint8_t>(length);
    line_.localLabel = local;
}

void StatementLog::KeepInstruction(const Statement& statement, const Term* sourceTree, uint32_t terms)
{
    line_.kind = LineKind::Instruction;
    if (!line_.repeatable || terms > kLargestField) {
        line_.repeatable = false;
        return;
    }
    // Runs of alike statements (NOPs, say) share one.
    if (statements_.empty() || !(statements_.back() == statement))
        statements_.push_back(statement);
    line_.first = static_cast<uint32_t>(statements_.size() - 1);
    line_.firstTerm = static_cast<uint32_t>(terms_.size());
    line_.count = static_cast<uint16_t>(terms);
    terms_.insert(terms_.end(), sourceTree, sourceTree + terms);
}

void StatementLog::KeepDataItem(DataItem item, int32_t value)
{
    if (line_.kind != LineKind::Data) {
        line_.kind = LineKind::Data;
        line_.first = static_cast<uint32_t>(itemValues_.size());
    }
    if (!line_.repeatable || line_.count == kLargestKeptList) {
        line_.repeatable = false;
        return;
    }
    ++line_.count;
    itemKinds_.push_back(item);
    itemValues_.push_back(value);
}

void StatementLog::KeepDataEnd(bool byteList, uint32_t listedUpTo)
{
    line_.kind = LineKind::Data;
    line_.byteList = byteList;
    if (listedUpTo - line_.start > kLargestField) {
        line_.repeatable = false;
        return;
    }
    line_.listed = static_cast<uint16_t>(listedUpTo - line_.start);
}

void StatementLog::EndLine(uint32_t end)
{
    if (!open_)
        return;
    end_ = end;
    // Lines with nothing on them but blanks and comments keep one record a run.
    const bool empty = line_.repeatable && line_.kind == LineKind::Nothing && line_.labelLength == 0;
    if (empty && !lines_.empty()) {
        KeptLine& last = lines_.back();
        if (last.repeatable && last.kind == LineKind::Nothing && last.labelLength == 0 && last.count < kLargestField) {
            ++last.count;
            open_ = false;
            return;
        }
    }
    if (empty)
        line_.count = 1;
    lines_.push_back(line_);
    open_ = false;
}

}  // namespace zernasm
