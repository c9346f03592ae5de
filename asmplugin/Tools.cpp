#include "Tools.h"

#include <fstream>

#include "ProgramFolder.h"

namespace asmplugin {

std::string toolFolder()
{
    return platform::programFolder() + "Compilers/QuorinAssembler/";
}

bool toolVersionMatches(const std::string& versionFile, int expected)
{
    std::ifstream file(toolFolder() + versionFile, std::ios::binary);
    unsigned char bytes[2];
    if (!file.read(reinterpret_cast<char*>(bytes), sizeof bytes))
        return false;
    return (bytes[0] << 8 | bytes[1]) == expected;
}

std::vector<std::string> splitCommandLine(const std::string& text)
{
    std::vector<std::string> parts;
    std::string part;
    bool inPart = false;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            inPart = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inPart)
                parts.push_back(std::move(part));
            part.clear();
            inPart = false;
        } else {
            part += c;
            inPart = true;
        }
    }
    if (inPart)
        parts.push_back(std::move(part));
    return parts;
}

}  // namespace asmplugin
