// ZernBrel built without the GUI layer: no dialog can be shown.

#include "BrelDialogs.h"

namespace zernbrel {

bool dialogsAvailable()
{
    return false;
}

std::optional<std::string> runOptionsDialog(const std::string&, const std::string&, void*)
{
    return std::nullopt;
}

void runToolDialog(int) {}

void runDataBreakpointDialog(zern::ZernDevice&) {}

}  // namespace zernbrel
