#include "FixupRules.h"

#include "Symbols.h"

namespace zernasm {

namespace {

int32_t ImmediateWords(int32_t value, uint32_t, const Symbol*)
{
    const uint32_t bits = static_cast<uint32_t>(value);
    if (bits & 0xFF000000u)
        return 4;
    if (bits & 0x00FF0000u)
        return 3;
    if (bits & 0x0000FF00u)
        return 2;
    return 1;
}

int32_t BranchWords(int32_t target, uint32_t address, const Symbol* label)
{
    if (label && label->dataSegment)
        return 2;
    if (FitsShortBranch(target, address))
        return 1;
    return static_cast<uint32_t>(target) <= 0xFFFF ? 2 : 3;
}

struct KindRule {
    FixupKind kind;
    int32_t (*words)(int32_t value, uint32_t address, const Symbol* label);
};

constexpr KindRule kKindRules[] = {
    {FixupKind::Immediate, ImmediateWords},
    {FixupKind::Branch, BranchWords},
};

}  // namespace

bool FitsShortBranch(int32_t target, uint32_t address)
{
    const int64_t displacement = static_cast<int64_t>(target) - address - 1;
    return displacement >= -128 && displacement <= 127;
}

int32_t FixupWords(FixupKind kind, int32_t value, uint32_t address, const Symbol* label)
{
    return kKindRules[static_cast<size_t>(kind)].words(value, address, label);
}

}  // namespace zernasm
