#include "LinkMessages.h"

namespace zern {

void LinkMessages::line(const std::string& text) const
{
    if (callback_)
        callback_(text.c_str());
}

void LinkMessages::linkError(const std::string& text) const
{
    if (!callback_)
        return;
    callback_("");
    callback_(text.c_str());
    callback_("Please check all connections and try again.");
}

}  // namespace zern
