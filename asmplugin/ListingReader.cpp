#include "ListingReader.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string_view>

#include "ProcessorFamily.h"
#include "Text.h"

namespace asmplugin {
namespace {

// The listing header takes the first eight lines.
constexpr std::size_t kFirstStatementLine = 8;
// Statement text starts in column 23 of a statement line.
constexpr std::size_t kStatementTextColumn = 22;

// The last line that is not blank, trimmed, decides whether the run succeeded.
bool isSuccessfulClosing(std::string_view closing)
{
    if (closing == "Parser terminated successfully.")
        return true;
    constexpr std::string_view head = "Parser terminated with ";
    constexpr std::string_view tail = " warnings.";
    return closing.size() > head.size() + tail.size() && closing.starts_with(head) && closing.ends_with(tail)
           && parseDecimal(closing.substr(head.size(), closing.size() - head.size() - tail.size())).has_value();
}

enum class SegmentSwitch { None, Code, Data };

bool startsWithWord(std::string_view text, std::string_view word, std::string_view separators)
{
    return text.size() >= word.size() && equalsIgnoringCase(text.substr(0, word.size()), word)
           && (text.size() == word.size() || separators.find(text[word.size()]) != std::string_view::npos);
}

// "SEGMENT CODE" / "SEGMENT DATA" as the statement text, also when indented.
SegmentSwitch segmentSwitchOf(std::string_view line)
{
    if (line.size() <= kStatementTextColumn)
        return SegmentSwitch::None;
    constexpr std::string_view keyword = "SEGMENT";
    const std::string_view text = trimmed(line.substr(kStatementTextColumn));
    if (text.size() == keyword.size() || !startsWithWord(text, keyword, " \t"))
        return SegmentSwitch::None;
    const std::string_view kind = trimmed(text.substr(keyword.size()));
    if (startsWithWord(kind, "DATA", " \t;"))
        return SegmentSwitch::Data;
    if (startsWithWord(kind, "CODE", " \t;"))
        return SegmentSwitch::Code;
    return SegmentSwitch::None;
}

std::optional<unsigned> codeLineAddress(std::string_view line, int processorFamily)
{
    if (line.size() < 10 || line[8] != ':' || line[9] != ' ')
        return std::nullopt;
    const std::size_t digits = processorFamily == kWideAddressFamily ? 6 : 4;
    if (line.size() < 11 + digits || line[10 + digits] != ':')
        return std::nullopt;
    return parseHex(line.substr(10, digits));
}

class Reader {
public:
    Reader(const std::vector<Module>& modules, int processorFamily, ListingContents& contents)
        : modules_(modules), family_(processorFamily), contents_(contents)
    {}

    void read(std::string_view line)
    {
        if (hasModuleMarker(line)) {
            enterModule(line);
        } else if (hasLineMarker(line)) {
            if (const auto number = lineMarkerNumber(line))
                currentLine_ = *number;
        } else if (const SegmentSwitch change = segmentSwitchOf(line); change != SegmentSwitch::None) {
            inDataSegment_ = change == SegmentSwitch::Data;
        } else if (line.starts_with("Warning : ")) {
            contents_.warnings.emplace_back(line);
        } else if (!inDataSegment_) {
            if (const auto address = codeLineAddress(line, family_))
                contents_.map.push_back({*address, currentLine_, currentFile_});
        }
    }

private:
    void enterModule(std::string_view line)
    {
        const auto name = moduleMarkerName(line);
        if (!name)
            return;
        const int occurrence = occurrences_[toLower(*name)]++;
        const Module* module = findModule(modules_, *name, occurrence);
        if (!module)
            return;
        auto& files = contents_.sourceFiles;
        const auto known = std::find(files.begin(), files.end(), module->sourcePath);
        currentFile_ = static_cast<int>(known - files.begin());
        if (known == files.end())
            files.push_back(module->sourcePath);
    }

    const std::vector<Module>& modules_;
    const int family_;
    ListingContents& contents_;
    std::map<std::string, int> occurrences_;
    // Code ahead of every known module belongs to no file.
    int currentFile_ = -1;
    int currentLine_ = 1;
    bool inDataSegment_ = false;
};

}  // namespace

ListingContents readListingText(std::string_view text, const std::vector<Module>& modules, int processorFamily)
{
    ListingContents contents;
    // Blank lines hold nothing but blanks, so the closing line ends where the text's trailing blanks begin.
    const std::string_view content = text.substr(0, text.find_last_not_of(" \t\r\n") + 1);
    contents.successful = isSuccessfulClosing(trimmed(content.substr(content.rfind('\n') + 1)));
    if (!contents.successful)
        return contents;
    Reader reader(modules, processorFamily, contents);
    std::size_t index = 0;
    forEachLine(text, [&](std::string_view line) {
        if (index++ >= kFirstStatementLine)
            reader.read(line);
    });
    return contents;
}

ListingContents readListing(const std::vector<std::string>& lines, const std::vector<Module>& modules,
                            int processorFamily)
{
    const auto closing =
        std::find_if(lines.rbegin(), lines.rend(), [](const std::string& line) { return !trimmed(line).empty(); });
    ListingContents contents;
    contents.successful = closing != lines.rend() && isSuccessfulClosing(trimmed(*closing));
    if (!contents.successful)
        return contents;
    Reader reader(modules, processorFamily, contents);
    for (std::size_t i = kFirstStatementLine; i < lines.size(); ++i)
        reader.read(lines[i]);
    return contents;
}

}  // namespace asmplugin
