#pragma once
// Small text helpers shared by the listing reader and the message locator.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace asmplugin {

std::string toLower(std::string_view text);
std::string toUpper(std::string_view text);
std::string_view trimmed(std::string_view text);
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// Calls back with each line of the text, without its line end; CR LF reads
// like LF and a final line end adds no empty line.
template <typename Visit>
void forEachLine(std::string_view text, Visit&& visit)
{
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        visit(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
}

// The lines of a text, split as above.
std::vector<std::string> splitLines(std::string_view text);
// The same lines again as one text, each ended by a line feed.
std::string joinedLines(std::string_view text);
// The lines of a file, split as above; nothing when it cannot be read.
std::optional<std::vector<std::string>> readLines(const std::string& path);

// The text after the first "$BEGIN_MODULE(" up to the next ")".
std::optional<std::string> moduleMarkerName(std::string_view line);
// Whether the line holds a module marker at all.
bool hasModuleMarker(std::string_view line);
// The decimal number between the first ";LINE(" and the next ")"; nothing
// when the line has no such marker or the number does not convert.
std::optional<int> lineMarkerNumber(std::string_view line);
bool hasLineMarker(std::string_view line);

// A whole decimal or hexadecimal number with no other characters.
std::optional<int> parseDecimal(std::string_view text);
std::optional<unsigned> parseHex(std::string_view text);

}  // namespace asmplugin
