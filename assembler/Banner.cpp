#include "Banner.h"

#include <string>

#include "BuildStamp.h"

namespace zernasm {

void PrintBanner(FILE* err)
{
    const std::string bar(63, '\xCD');
    fprintf(err, "\xC9%s\xBB\n", bar.c_str());
    fprintf(err, "\xBA%s\xBA\n", kTitleLine);
    fprintf(err, "\xC8%s\xBC\n", bar.c_str());
    fprintf(err, "\nLast build %s at %s\n\n", kBuildDate, kBuildTime);
}

}  // namespace zernasm
