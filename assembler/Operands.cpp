#include "Operands.h"

#include "Assembly.h"
#include "Reporting.h"
#include "TokenCodes.h"

namespace zernasm {

namespace {

int32_t Result(Assembly& a, int32_t code, uint32_t flags, uint32_t pointers = 0)
{
    a.tokens.operandFlags = flags;
    a.tokens.operandPointers = pointers;
    a.tokens.operandIndex = CodeIndex(code);
    return code;
}

void RequireZernAB(Assembly& a, const char* message)
{
    if (IsZernC(a))
        ReportError(a, message);
}

void RequireZernC(Assembly& a, const char* message)
{
    if (!IsZernC(a))
        ReportError(a, message);
}

void RequireZern5455(Assembly& a)
{
    if (!a.options.zern5455Registers)
        ReportError(a, "Invalid register valid only for ZERN54/55");
}

void RequireCpMode(Assembly& a)
{
    if (!a.options.cpMode)
        ReportError(a, "CP mode is not enabled");
}

constexpr const char* kOnlyAB = "Invalid register valid only for ZERNA/B";
constexpr const char* kModeOnlyAB = "Invalid Addressing Mode valid only for ZERNA/B";
constexpr const char* kModeOnlyC = "Invalid Addressing Mode valid only for ZERNC";

uint32_t DataPointerUse(Assembly& a)
{
    return a.tokenValue == 1 ? kUsesDp1 : kUsesDp0;
}
bool SecondDataPointer(Assembly& a)
{
    return a.tokenValue == 1;
}

}  // namespace

int32_t RegisterCode(int32_t module, int32_t index)
{
    const uint32_t bits = static_cast<uint32_t>(index);
    return kRegisterFlag | static_cast<int32_t>(((bits & 15) << 4) | ((bits & 16) << 5)) | (module & 15);
}

int32_t CodeIndex(int32_t code)
{
    return ((code >> 4) & 15) | ((code >> 5) & 16);
}
int32_t CodeModule(int32_t code)
{
    return code & 15;
}

int32_t SimpleRegister(Assembly& a, int token)
{
    const bool wide = IsZernC(a);
    switch (token) {
    case TOKEN_APTR:
        return Result(a, RegisterCode(8, 0), 0);
    case TOKEN_APC:
        return Result(a, RegisterCode(8, 1), 0);
    case TOKEN_PSF:
        return Result(a, RegisterCode(8, 4), 0);
    case TOKEN_IC:
        return Result(a, RegisterCode(8, 5), 0);
    case TOKEN_SC:
        return Result(a, RegisterCode(8, 8), 0);
    case TOKEN_CKCN:
        return Result(a, RegisterCode(8, 14), 0);
    case TOKEN_WDCN:
        return Result(a, RegisterCode(8, 15), 0);
    case TOKEN_IMR:
        RequireZernAB(a, kOnlyAB);
        if (a.options.cpMode)
            ReportError(a, "CP mode is enabled So Invalid IMR");
        return Result(a, RegisterCode(8, 6), 0);
    case TOKEN_IIR:
        RequireZernAB(a, kOnlyAB);
        if (a.options.cpMode)
            ReportError(a, "CP mode is enabled So Invalid IIR");
        return Result(a, RegisterCode(8, 11), 0);
    case TOKEN_IPR:
        if (!wide && !a.options.cpMode)
            ReportError(a, "Invalid register valid only for ZERNC or Cptr mode ");
        return Result(a, RegisterCode(8, 9 + (a.tokenValue & 1)), 0);
    case TOKEN_PRIV:
        RequireZern5455(a);
        return Result(a, RegisterCode(8, 2), kTakesAddress);
    case TOKEN_PRIVT0:
        RequireZern5455(a);
        return Result(a, RegisterCode(8, 3), kTakesAddress);
    case TOKEN_PRIVT1:
        RequireZern5455(a);
        return Result(a, RegisterCode(8, 6), kTakesAddress);
    case TOKEN_PRIVF:
        RequireZern5455(a);
        return Result(a, RegisterCode(8, 11), kTakesAddress);
    case TOKEN_ULDR:
        RequireZern5455(a);
        return Result(a, RegisterCode(8, 12), kTakesAddress);
    case TOKEN_UAPP:
        RequireZern5455(a);
        return Result(a, RegisterCode(8, 13), kTakesAddress);
    case TOKEN_IVM:
        if (!a.options.zernBkRegisters)
            ReportError(a, "Invalid register valid only for ZERNBK");
        return Result(a, RegisterCode(8, 6), kTakesAddress);
    case TOKEN_ACC:
        return Result(a, RegisterCode(10, 0),
                      (wide || a.options.core == Core::ZernB ? kTakesAddress : 0) | kMarksLong | kEnablesByte23
                          | kEightBitOnZernA | kIsAcc);
    case TOKEN_AAP:
        return Result(a, RegisterCode(10, 1), kIsAccumulatorPointer);
    case TOKEN_PFX: {
        const int32_t index = a.tokenValue & 7;
        return Result(a, RegisterCode(11, index), kTakesAddress | (index == 0 ? kEnablesByte23 : 0));
    }
    case TOKEN_C2E31:
        RequireZernC(a, "Invalid register valid only for ZERNC");
        return Result(a, RegisterCode(11, 15), 0);
    case TOKEN_IP:
        return Result(a, RegisterCode(12, 0), 0);
    case TOKEN_SP:
        return Result(a, RegisterCode(13, 1), kTakesAddress);
    case TOKEN_IV:
        RequireZernAB(a, kOnlyAB);
        return Result(a, RegisterCode(13, 2), kTakesAddress);
    case TOKEN_LOOPCOUNTER:
        return Result(a, RegisterCode(13, 6 + (a.tokenValue & 1)), kTakesAddress);
    case TOKEN_BP:
        return Result(a, RegisterCode(14, wide ? 0 : 7), kTakesAddress | kMarksLong | kEnablesByte23, kUsesBp);
    case TOKEN_OFFS:
        return Result(a, RegisterCode(14, 3), 0, kUsesBp);
    case TOKEN_DPC:
        RequireZernAB(a, kOnlyAB);
        return Result(a, RegisterCode(14, 4), kTakesAddress);
    case TOKEN_GR:
        RequireZernAB(a, kOnlyAB);
        return Result(a, RegisterCode(14, 5), kTakesAddress | kMarksLong | kEnablesByte23);
    case TOKEN_GRL:
        RequireZernAB(a, kOnlyAB);
        return Result(a, RegisterCode(14, 6), 0);
    case TOKEN_GRH:
        RequireZernAB(a, kOnlyAB);
        return Result(a, RegisterCode(14, 9), 0);
    case TOKEN_GRS:
        if (wide)
            ReportError(a, "Invalid source register for this mode");
        return Result(a, RegisterCode(14, 8), 0);
    case TOKEN_GRXL:
        if (wide)
            ReportError(a, "Invalid source register for this mode");
        return Result(a, RegisterCode(14, 10), 0);
    case TOKEN_CP:
        RequireCpMode(a);
        return Result(a, RegisterCode(15, 11), kTakesAddress, kUsesCp);
    case TOKEN_NUL:
        return Result(a, wide ? RegisterCode(8, 2) : RegisterCode(6, 7), 0);
    default:
        return Result(a, 0, 0);
    }
}

int32_t Accumulator(Assembly& a, bool asSource)
{
    const int32_t index = a.tokenValue;
    if (index >= 0 && index <= 31 && index >= a.options.accumulators) {
        if (asSource) {
            ReportWarning(a, "Illegal Index Detected");
        } else {
            ReportError(a, "Illegal Index Detected");
        }
    }
    const int32_t code = Result(a, RegisterCode(9, index), kTakesAddress | kMarksLong | kEightBitOnZernA);
    a.tokens.operandIndex = index;
    return code;
}

int32_t ModuleRegister(Assembly& a)
{
    const int32_t code = Result(a, RegisterCode(a.tokens.moduleNumber, a.tokenValue), kEnablesByte23);
    a.tokens.operandIndex = a.tokenValue;
    return code;
}

int32_t DataPointerRegister(Assembly& a)
{
    const int32_t index = SecondDataPointer(a) ? (IsZernC(a) ? 13 : 7) : 3;
    return Result(a, RegisterCode(15, index), kTakesAddress | kMarksLong | kEnablesByte23, DataPointerUse(a));
}

int32_t DataPointerIndirect(Assembly& a, Width width, Step step)
{
    const bool second = SecondDataPointer(a);
    const uint32_t stepFlag = step == Step::None ? 0 : kStepsPointer;
    if (width == Width::None) {
        RequireZernAB(a, kModeOnlyAB);
        const int32_t index = (second ? 4 : 0) + (step == Step::Increment ? 1 : step == Step::Decrement ? 2 : 0);
        return Result(a, RegisterCode(15, index), stepFlag, DataPointerUse(a));
    }
    RequireZernC(a, kModeOnlyC);
    // Rows: byte, word, long; columns: no step, increment, decrement; DP[1] adds 10.
    static const int32_t kIndexes[3][3] = {{0, 1, 2}, {8, 4, 5}, {9, 6, 7}};
    const int32_t column = step == Step::Increment ? 1 : step == Step::Decrement ? 2 : 0;
    int32_t index = kIndexes[static_cast<int>(width) - 1][column];
    if (second)
        index += 10;
    return Result(a, RegisterCode(15, index), stepFlag, DataPointerUse(a));
}

int32_t DataPointerPreStep(Assembly& a, Step step)
{
    RequireZernAB(a, kModeOnlyAB);
    const int32_t index = (SecondDataPointer(a) ? 4 : 0) + (step == Step::Increment ? 1 : 2);
    return Result(a, RegisterCode(15, index), 0, DataPointerUse(a));
}

int32_t BasePointerIndirect(Assembly& a, Width width, Step step)
{
    const uint32_t stepFlag = step == Step::None ? 0 : kStepsPointer;
    if (width == Width::None) {
        const int32_t index = step == Step::Increment ? 1 : step == Step::Decrement ? 2 : 0;
        return Result(a, RegisterCode(14, index), stepFlag | (step != Step::None ? kSourceFormAsDestination : 0),
                      kUsesBp);
    }
    RequireZernC(a, kModeOnlyC);
    static const int32_t kIndexes[3][3] = {{8, 1, 2}, {9, 4, 5}, {10, 6, 7}};
    const int32_t column = step == Step::Increment ? 1 : step == Step::Decrement ? 2 : 0;
    return Result(a, RegisterCode(14, kIndexes[static_cast<int>(width) - 1][column]), stepFlag, kUsesBp);
}

int32_t BasePointerPreStep(Assembly& a, Step step)
{
    RequireZernAB(a, kModeOnlyAB);
    return Result(a, RegisterCode(14, step == Step::Increment ? 1 : 2), 0, kUsesBp);
}

int32_t BasePointerOffsetSource(Assembly& a, Width width)
{
    if (width == Width::None) {
        RequireZernAB(a, kModeOnlyAB);
        return Result(a, RegisterCode(14, 11), 0, kUsesBp);
    }
    RequireZernC(a, kModeOnlyC);
    return Result(a, RegisterCode(14, 10 + static_cast<int32_t>(width)), 0, kUsesBp);
}

int32_t StackSource(Assembly& a, bool indexed, Step step)
{
    if (step == Step::Decrement) {
        RequireZernAB(a, kModeOnlyAB);
    } else {
        RequireZernC(a, kModeOnlyC);
    }
    return Result(a, RegisterCode(13, indexed ? 8 : 0), 0);
}

int32_t StackPush(Assembly& a, Step step)
{
    if (step == Step::Increment) {
        RequireZernAB(a, kModeOnlyAB);
    } else {
        RequireZernC(a, kModeOnlyC);
    }
    return Result(a, RegisterCode(13, 0), kTakesAddress | kPushForm);
}

int32_t CodePointerIndirect(Assembly& a, Step step)
{
    RequireCpMode(a);
    const int32_t index = step == Step::Increment ? 9 : step == Step::Decrement ? 10 : 8;
    return Result(a, RegisterCode(15, index), step == Step::None ? 0 : kStepsPointer, kUsesCp);
}

bool BitInRange(Assembly& a, int32_t bit, int32_t limit)
{
    if (bit >= 0 && bit < limit)
        return true;
    ReportError(a, "Invalid bit width");
    return false;
}

}  // namespace zernasm
