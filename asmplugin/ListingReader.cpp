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

bool endsSuccessfully(const std::vector<std::string>& lines)
{
    const auto last =
        std::find_if(lines.rbegin(), lines.rend(), [](const std::string& line) { return !trimmed(line).empty(); });
    if (last == lines.rend())
        return false;
    const std::string_view closing = trimmed(*last);
    if (closing == "Parser terminated successfully.")
        return true;
    constexpr std::string_view head = "Parser terminated with ";
    constexpr std::string_view tail = " warnings.";
    return closing.size() > head.size() + tail.size() && closing.starts_with(head) && closing.ends_with(tail)
           && parseDecimal(closing.substr(head.size(), closing.size() - head.size() - tail.size())).has_value();
}

enum class SegmentSwitch { None, Code, Data };

// "SEGMENT CODE" / "SEGMENT DATA" as the statement text, also when indented.
SegmentSwitch segmentSwitchOf(const std::string& line)
{
    if (line.size() <= kStatementTextColumn)
        return SegmentSwitch::None;
    const std::string text = toUpper(trimmed(std::string_view(line).substr(kStatementTextColumn)));
    if (!text.starts_with("SEGMENT") || text.size() <= 7 || (text[7] != ' ' && text[7] != '\t'))
        return SegmentSwitch::None;
    const std::string_view kind = trimmed(std::string_view(text).substr(7));
    const auto isWord = [&](std::string_view word) {
        return kind.starts_with(word)
               && (kind.size() == word.size() || kind[word.size()] == ' ' || kind[word.size()] == '\t'
                   || kind[word.size()] == ';');
    };
    if (isWord("DATA"))
        return SegmentSwitch::Data;
    if (isWord("CODE"))
        return SegmentSwitch::Code;
    return SegmentSwitch::None;
}

std::optional<unsigned> codeLineAddress(const std::string& line, int processorFamily)
{
    if (line.size() < 10 || line[8] != ':' || line[9] != ' ')
        return std::nullopt;
    const std::size_t digits = processorFamily == kWideAddressFamily ? 6 : 4;
    if (line.size() < 11 + digits || line[10 + digits] != ':')
        return std::nullopt;
    return parseHex(std::string_view(line).substr(10, digits));
}

class Reader {
public:
    Reader(const std::vector<Module>& modules, int processorFamily, ListingContents& contents)
        : modules_(modules), family_(processorFamily), contents_(contents)
    {}

    void read(const std::string& line)
    {
        if (hasModuleMarker(line)) {
            enterModule(line);
        } else if (hasLineMarker(line)) {
            if (const auto number = lineMarkerNumber(line))
                currentLine_ = *number;
        } else if (const SegmentSwitch change = segmentSwitchOf(line); change != SegmentSwitch::None) {
            inDataSegment_ = change == SegmentSwitch::Data;
        } else if (line.starts_with("Warning : ")) {
            contents_.warnings.push_back(line);
        } else if (!inDataSegment_) {
            if (const auto address = codeLineAddress(line, family_))
                contents_.map.push_back({*address, currentLine_, currentFile_});
        }
    }

private:
    void enterModule(const std::string& line)
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

ListingContents readListing(const std::vector<std::string>& lines, const std::vector<Module>& modules,
                            int processorFamily)
{
    ListingContents contents;
    contents.successful = endsSuccessfully(lines);
    if (!contents.successful)
        return contents;
    Reader reader(modules, processorFamily, contents);
    for (std::size_t i = kFirstStatementLine; i < lines.size(); ++i)
        reader.read(lines[i]);
    return contents;
}

}  // namespace asmplugin
