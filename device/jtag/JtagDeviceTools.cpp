#include "JtagDeviceTools.h"

#include <cstring>
#include <string>

#include "DeviceTraits.h"
#include "MessageBoxes.h"

namespace zern {
namespace {

void refuse(const char* dialogCaption)
{
    platform::showError(std::string("Unable to show the ") + dialogCaption + " dialog: this program has no windows.");
}

}  // namespace

bool showOptionsWithoutWindows(ZernDevice&, void*)
{
    refuse("Options");
    return false;
}

void runMenuItemWithoutWindows(ZernDevice&, const char* caption)
{
    if (std::strcmp(caption, kDataBreakpointCaption) == 0)
        refuse("Data BP");
    else if (std::strcmp(caption, kDebugLogCaption) == 0)
        refuse("Debug Log");
}

}  // namespace zern
