#include "StatementLog.h"

namespace zernasm {

namespace {

// Longer data lists are parsed again rather than kept item by item.
constexpr uint32_t kLargestKeptList = 64;

}  // namespace

void StatementLog::BeginLine(uint32_t start)
{
    line_ = KeptLine();
    line_.start = start;
    open_ = true;
}

void StatementLog::Label(uint32_t offset, uint32_t length, bool local)
{
    if (offset != line_.start) {
        line_.repeatable = false;
        return;
    }
    line_.labelLength = length;
    line_.localLabel = local;
}

void StatementLog::KeepInstruction(const Statement& statement, const Term* sourceTree, uint32_t terms)
{
    line_.kind = LineKind::Instruction;
    line_.first = static_cast<uint32_t>(statements_.size());
    statements_.push_back(statement);
    line_.firstTerm = static_cast<uint32_t>(terms_.size());
    line_.count = terms;
    terms_.insert(terms_.end(), sourceTree, sourceTree + terms);
}

void StatementLog::KeepDataItem(DataItem item, int32_t value)
{
    if (line_.kind != LineKind::Data) {
        line_.kind = LineKind::Data;
        line_.first = static_cast<uint32_t>(itemValues_.size());
    }
    if (++line_.count > kLargestKeptList) {
        line_.repeatable = false;
        return;
    }
    itemKinds_.push_back(item);
    itemValues_.push_back(value);
}

void StatementLog::KeepDataEnd(bool byteList, uint32_t listedUpTo)
{
    line_.kind = LineKind::Data;
    line_.byteList = byteList;
    line_.listedUpTo = listedUpTo;
}

void StatementLog::EndLine(uint32_t end)
{
    if (!open_)
        return;
    line_.end = end;
    lines_.push_back(line_);
    open_ = false;
}

}  // namespace zernasm
