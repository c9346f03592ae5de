#include "Operands.h"

#include "AsmState.h"
#include "Reporting.h"
#include "TokenCodes.h"

namespace zernasm {

namespace {

StatementState& Statement()
{
    return g_run.statement;
}

int32_t Result(int32_t code, uint32_t flags, uint32_t pointers = 0)
{
    Statement().operandFlags = flags;
    Statement().operandPointers = pointers;
    Statement().operandIndex = CodeIndex(code);
    return code;
}

void RequireZernAB(const char* message)
{
    if (IsZernC())
        ReportError(message);
}

void RequireZernC(const char* message)
{
    if (!IsZernC())
        ReportError(message);
}

void RequireZern5455()
{
    if (!g_run.options.zern5455Registers)
        ReportError("Invalid register valid only for ZERN54/55");
}

void RequireCpMode()
{
    if (!g_run.options.cpMode)
        ReportError("CP mode is not enabled");
}

constexpr const char* kOnlyAB = "Invalid register valid only for ZERNA/B";
constexpr const char* kModeOnlyAB = "Invalid Addressing Mode valid only for ZERNA/B";
constexpr const char* kModeOnlyC = "Invalid Addressing Mode valid only for ZERNC";

uint32_t DataPointerUse()
{
    return g_run.tokenValue == 1 ? kUsesDp1 : kUsesDp0;
}
bool SecondDataPointer()
{
    return g_run.tokenValue == 1;
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

int32_t SimpleRegister(int token)
{
    const bool wide = IsZernC();
    switch (token) {
    case TOKEN_APTR:
        return Result(RegisterCode(8, 0), 0);
    case TOKEN_APC:
        return Result(RegisterCode(8, 1), 0);
    case TOKEN_PSF:
        return Result(RegisterCode(8, 4), 0);
    case TOKEN_IC:
        return Result(RegisterCode(8, 5), 0);
    case TOKEN_SC:
        return Result(RegisterCode(8, 8), 0);
    case TOKEN_CKCN:
        return Result(RegisterCode(8, 14), 0);
    case TOKEN_WDCN:
        return Result(RegisterCode(8, 15), 0);
    case TOKEN_IMR:
        RequireZernAB(kOnlyAB);
        if (g_run.options.cpMode)
            ReportError("CP mode is enabled So Invalid IMR");
        return Result(RegisterCode(8, 6), 0);
    case TOKEN_IIR:
        RequireZernAB(kOnlyAB);
        if (g_run.options.cpMode)
            ReportError("CP mode is enabled So Invalid IIR");
        return Result(RegisterCode(8, 11), 0);
    case TOKEN_IPR:
        if (!wide && !g_run.options.cpMode)
            ReportError("Invalid register valid only for ZERNC or Cptr mode ");
        return Result(RegisterCode(8, 9 + (g_run.tokenValue & 1)), 0);
    case TOKEN_PRIV:
        RequireZern5455();
        return Result(RegisterCode(8, 2), kTakesAddress);
    case TOKEN_PRIVT0:
        RequireZern5455();
        return Result(RegisterCode(8, 3), kTakesAddress);
    case TOKEN_PRIVT1:
        RequireZern5455();
        return Result(RegisterCode(8, 6), kTakesAddress);
    case TOKEN_PRIVF:
        RequireZern5455();
        return Result(RegisterCode(8, 11), kTakesAddress);
    case TOKEN_ULDR:
        RequireZern5455();
        return Result(RegisterCode(8, 12), kTakesAddress);
    case TOKEN_UAPP:
        RequireZern5455();
        return Result(RegisterCode(8, 13), kTakesAddress);
    case TOKEN_IVM:
        if (!g_run.options.zernBkRegisters)
            ReportError("Invalid register valid only for ZERNBK");
        return Result(RegisterCode(8, 6), kTakesAddress);
    case TOKEN_ACC:
        return Result(RegisterCode(10, 0), (wide || g_run.options.core == Core::ZernB ? kTakesAddress : 0) | kMarksLong
                                               | kEnablesByte23 | kEightBitOnZernA | kIsAcc);
    case TOKEN_AAP:
        return Result(RegisterCode(10, 1), kIsAccumulatorPointer);
    case TOKEN_PFX: {
        const int32_t index = g_run.tokenValue & 7;
        return Result(RegisterCode(11, index), kTakesAddress | (index == 0 ? kEnablesByte23 : 0));
    }
    case TOKEN_C2E31:
        RequireZernC("Invalid register valid only for ZERNC");
        return Result(RegisterCode(11, 15), 0);
    case TOKEN_IP:
        return Result(RegisterCode(12, 0), 0);
    case TOKEN_SP:
        return Result(RegisterCode(13, 1), kTakesAddress);
    case TOKEN_IV:
        RequireZernAB(kOnlyAB);
        return Result(RegisterCode(13, 2), kTakesAddress);
    case TOKEN_LOOPCOUNTER:
        return Result(RegisterCode(13, 6 + (g_run.tokenValue & 1)), kTakesAddress);
    case TOKEN_BP:
        return Result(RegisterCode(14, wide ? 0 : 7), kTakesAddress | kMarksLong | kEnablesByte23, kUsesBp);
    case TOKEN_OFFS:
        return Result(RegisterCode(14, 3), 0, kUsesBp);
    case TOKEN_DPC:
        RequireZernAB(kOnlyAB);
        return Result(RegisterCode(14, 4), kTakesAddress);
    case TOKEN_GR:
        RequireZernAB(kOnlyAB);
        return Result(RegisterCode(14, 5), kTakesAddress | kMarksLong | kEnablesByte23);
    case TOKEN_GRL:
        RequireZernAB(kOnlyAB);
        return Result(RegisterCode(14, 6), 0);
    case TOKEN_GRH:
        RequireZernAB(kOnlyAB);
        return Result(RegisterCode(14, 9), 0);
    case TOKEN_GRS:
        if (wide)
            ReportError("Invalid source register for this mode");
        return Result(RegisterCode(14, 8), 0);
    case TOKEN_GRXL:
        if (wide)
            ReportError("Invalid source register for this mode");
        return Result(RegisterCode(14, 10), 0);
    case TOKEN_CP:
        RequireCpMode();
        return Result(RegisterCode(15, 11), kTakesAddress, kUsesCp);
    case TOKEN_NUL:
        return Result(wide ? RegisterCode(8, 2) : RegisterCode(6, 7), 0);
    default:
        return Result(0, 0);
    }
}

int32_t Accumulator(bool asSource)
{
    const int32_t index = g_run.tokenValue;
    if (index >= 0 && index <= 31 && index >= g_run.options.accumulators) {
        if (asSource) {
            ReportWarning("Illegal Index Detected");
        } else {
            ReportError("Illegal Index Detected");
        }
    }
    const int32_t code = Result(RegisterCode(9, index), kTakesAddress | kMarksLong | kEightBitOnZernA);
    Statement().operandIndex = index;
    return code;
}

int32_t ModuleRegister()
{
    const int32_t code = Result(RegisterCode(Statement().moduleNumber, g_run.tokenValue), kEnablesByte23);
    Statement().operandIndex = g_run.tokenValue;
    return code;
}

int32_t DataPointerRegister()
{
    const int32_t index = SecondDataPointer() ? (IsZernC() ? 13 : 7) : 3;
    return Result(RegisterCode(15, index), kTakesAddress | kMarksLong | kEnablesByte23, DataPointerUse());
}

int32_t DataPointerIndirect(Width width, Step step)
{
    const bool second = SecondDataPointer();
    const uint32_t stepFlag = step == Step::None ? 0 : kStepsPointer;
    if (width == Width::None) {
        RequireZernAB(kModeOnlyAB);
        const int32_t index = (second ? 4 : 0) + (step == Step::Increment ? 1 : step == Step::Decrement ? 2 : 0);
        return Result(RegisterCode(15, index), stepFlag, DataPointerUse());
    }
    RequireZernC(kModeOnlyC);
    // Rows: byte, word, long; columns: no step, increment, decrement; DP[1] adds 10.
    static const int32_t kIndexes[3][3] = {{0, 1, 2}, {8, 4, 5}, {9, 6, 7}};
    const int32_t column = step == Step::Increment ? 1 : step == Step::Decrement ? 2 : 0;
    int32_t index = kIndexes[static_cast<int>(width) - 1][column];
    if (second)
        index += 10;
    return Result(RegisterCode(15, index), stepFlag, DataPointerUse());
}

int32_t DataPointerPreStep(Step step)
{
    RequireZernAB(kModeOnlyAB);
    const int32_t index = (SecondDataPointer() ? 4 : 0) + (step == Step::Increment ? 1 : 2);
    return Result(RegisterCode(15, index), 0, DataPointerUse());
}

int32_t BasePointerIndirect(Width width, Step step)
{
    const uint32_t stepFlag = step == Step::None ? 0 : kStepsPointer;
    if (width == Width::None) {
        const int32_t index = step == Step::Increment ? 1 : step == Step::Decrement ? 2 : 0;
        return Result(RegisterCode(14, index), stepFlag | (step != Step::None ? kSourceFormAsDestination : 0), kUsesBp);
    }
    RequireZernC(kModeOnlyC);
    static const int32_t kIndexes[3][3] = {{8, 1, 2}, {9, 4, 5}, {10, 6, 7}};
    const int32_t column = step == Step::Increment ? 1 : step == Step::Decrement ? 2 : 0;
    return Result(RegisterCode(14, kIndexes[static_cast<int>(width) - 1][column]), stepFlag, kUsesBp);
}

int32_t BasePointerPreStep(Step step)
{
    RequireZernAB(kModeOnlyAB);
    return Result(RegisterCode(14, step == Step::Increment ? 1 : 2), 0, kUsesBp);
}

int32_t BasePointerOffsetSource(Width width)
{
    if (width == Width::None) {
        RequireZernAB(kModeOnlyAB);
        return Result(RegisterCode(14, 11), 0, kUsesBp);
    }
    RequireZernC(kModeOnlyC);
    return Result(RegisterCode(14, 10 + static_cast<int32_t>(width)), 0, kUsesBp);
}

int32_t StackSource(bool indexed, Step step)
{
    if (step == Step::Decrement) {
        RequireZernAB(kModeOnlyAB);
    } else {
        RequireZernC(kModeOnlyC);
    }
    return Result(RegisterCode(13, indexed ? 8 : 0), 0);
}

int32_t StackPush(Step step)
{
    if (step == Step::Increment) {
        RequireZernAB(kModeOnlyAB);
    } else {
        RequireZernC(kModeOnlyC);
    }
    return Result(RegisterCode(13, 0), kTakesAddress | kPushForm);
}

int32_t CodePointerIndirect(Step step)
{
    RequireCpMode();
    const int32_t index = step == Step::Increment ? 9 : step == Step::Decrement ? 10 : 8;
    return Result(RegisterCode(15, index), step == Step::None ? 0 : kStepsPointer, kUsesCp);
}

}  // namespace zernasm
