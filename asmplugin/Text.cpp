#include "Text.h"

#include <cctype>
#include <charconv>

#include "Files.h"

namespace asmplugin {
namespace {

constexpr std::string_view kModuleMarker = "$BEGIN_MODULE(";
constexpr std::string_view kLineMarker = ";LINE(";

std::optional<std::string_view> markerArgument(std::string_view line, std::string_view marker)
{
    const auto start = line.find(marker);
    if (start == std::string_view::npos)
        return std::nullopt;
    const auto from = start + marker.size();
    const auto close = line.find(')', from);
    if (close == std::string_view::npos)
        return std::nullopt;
    return line.substr(from, close - from);
}

}  // namespace

std::string toLower(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

std::string toUpper(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::vector<std::string> splitLines(std::string_view text)
{
    std::vector<std::string> lines;
    forEachLine(text, [&lines](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

std::string joinedLines(std::string_view text)
{
    std::string joined;
    joined.reserve(text.size() + 1);
    forEachLine(text, [&joined](std::string_view line) {
        joined.append(line);
        joined.push_back('\n');
    });
    return joined;
}

std::optional<std::vector<std::string>> readLines(const std::string& path)
{
    const auto text = readFile(path);
    return text ? std::optional<std::vector<std::string>>(splitLines(*text)) : std::nullopt;
}

std::optional<std::string> moduleMarkerName(std::string_view line)
{
    const auto name = markerArgument(line, kModuleMarker);
    return name ? std::optional<std::string>(std::string(*name)) : std::nullopt;
}

bool hasModuleMarker(std::string_view line)
{
    return line.find(kModuleMarker) != std::string_view::npos;
}

std::optional<int> lineMarkerNumber(std::string_view line)
{
    const auto number = markerArgument(line, kLineMarker);
    return number ? parseDecimal(trimmed(*number)) : std::nullopt;
}

bool hasLineMarker(std::string_view line)
{
    return line.find(kLineMarker) != std::string_view::npos;
}

std::optional<int> parseDecimal(std::string_view text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<unsigned> parseHex(std::string_view text)
{
    unsigned value = 0;
    if (text.empty() || !std::isxdigit(static_cast<unsigned char>(text.front())))
        return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

}  // namespace asmplugin
