#include "Assembly.h"

#include "ScannerSupport.h"

namespace zernasm {

Assembly::~Assembly()
{
    DestroyScanner(*this);
}

void LineOutput::Clear()
{
    wordCount = 0;
    dataBytes.clear();
    listingState = -1;
    errorReported = false;
    addressReported = false;
    errorText.clear();
}

void ClearLine(Assembly& a)
{
    a.statement = Statement();
    a.tokens = LineTokens();
    a.composition = Composition();
    a.output.Clear();
}

}  // namespace zernasm
