#pragma once
// The dynamic symbols a shared library defines, as `nm -D --defined-only`
// lists them: the test of a plug-in's visible surface.

#include <cstdio>
#include <set>
#include <string>

namespace test_support {

// Empty when nm cannot be run or fails.
inline std::set<std::string> exportedSymbols(const std::string& library)
{
    const std::string command = "nm -D --defined-only '" + library + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return {};
    std::set<std::string> symbols;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        symbols.insert(text.substr(text.find_last_of(' ') + 1));
    }
    return pclose(pipe) == 0 ? symbols : std::set<std::string>{};
}

}  // namespace test_support
