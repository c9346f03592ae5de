#include "AsmState.h"

#include "Expressions.h"
#include "ScannerSupport.h"
#include "Symbols.h"

namespace zernasm {

RunState g_run;

void ResetRunState()
{
    DestroyScanner();
    ClearSymbolTable();
    ClearExpressions();
    g_run = RunState();
}

}  // namespace zernasm
