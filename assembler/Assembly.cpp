#include "Assembly.h"

#include "ScannerSupport.h"

namespace zernasm {

Assembly::~Assembly()
{
    DestroyScanner(*this);
}

}  // namespace zernasm
