#include "CommandLists.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace zern {
namespace {

std::string formatted(const char* format, int value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

bool CommandListRunner::run(const CommandList& list, const char* title) const
{
    for (const CommandRecord& record : list) {
        std::string line = title;
        for (uint8_t byte : record)
            line += formatted("%02x, ", byte);
        uint8_t status = 0;
        if (!send_(record, status))
            return false;
        messages_.line(line + formatted("Status: %02x", status));
    }
    return true;
}

bool CommandListRunner::runPostLoad(const CommandList& list, int delayMs, TargetState state,
                                    const std::function<bool()>& enterLoader) const
{
    if (!list.empty() && state != TargetState::Loader && !enterLoader())
        return false;
    if (!run(list, "Post-Load Command: "))
        return false;
    messages_.line(formatted("Post-Load Delay: %d", delayMs));
    std::this_thread::sleep_for(std::chrono::milliseconds(std::max(0, delayMs)));
    messages_.line("Delay Complete");
    return true;
}

}  // namespace zern
