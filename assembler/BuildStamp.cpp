#include "BuildStamp.h"

namespace zernasm {

const char kBuildDate[] = __DATE__;
const char kBuildTime[] = __TIME__;
// 63 characters: the program name and version 2.116.0079 (revision 79) centred.
const char kTitleLine[] = "                 ZernAsm Version 2.116.0079                    ";

static_assert(sizeof(kTitleLine) == 64, "the title fills the 63 columns of the border");

}  // namespace zernasm
