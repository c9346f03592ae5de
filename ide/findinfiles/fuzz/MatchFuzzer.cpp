// The fast search against a plain one: for any bytes, search text and
// choices, the same hits, each on the line a byte-by-byte count gives.
#include <cstdint>
#include <string>
#include <string_view>

#include "TextHits.h"
#include "TextMatcher.h"

namespace {

using findinfiles::CharClass;

char folded(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool solid(CharClass c)
{
    return c == CharClass::Word || c == CharClass::Punctuation;
}

CharClass at(std::string_view text, std::size_t i)
{
    return findinfiles::charClassOf(static_cast<unsigned char>(text[i]));
}

bool plainHitAt(std::string_view text, std::string_view needle, findinfiles::MatchRules rules, std::size_t i)
{
    for (std::size_t k = 0; k < needle.size(); ++k)
        if (rules.matchCase ? text[i + k] != needle[k] : folded(text[i + k]) != folded(needle[k]))
            return false;
    if (!rules.wholeWord)
        return true;
    const std::size_t end = i + needle.size();
    const bool start = i == 0 || (solid(at(text, i)) && at(text, i) != at(text, i - 1));
    const bool finish = end == text.size() || (solid(at(text, end - 1)) && at(text, end - 1) != at(text, end));
    return start && finish;
}

int plainLineOf(std::string_view text, std::size_t position)
{
    int line = 1;
    for (std::size_t i = 0; i < position; ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ++line;
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const findinfiles::MatchRules rules{(data[0] & 1) != 0, (data[0] & 2) != 0};
    const std::size_t needleSize = std::min<std::size_t>(data[1] % 8 + 1, size - 2);
    const std::string_view needle(reinterpret_cast<const char*>(data + 2), needleSize);
    const std::string_view text(reinterpret_cast<const char*>(data + 2 + needleSize), size - 2 - needleSize);

    const findinfiles::TextMatcher matcher(needle, rules);
    const auto hits = findinfiles::findHits(text, matcher, 1 + data[0] % 8);
    std::size_t next = 0;
    for (std::size_t i = 0; i + needle.size() <= text.size() && !needle.empty(); ++i) {
        if (!plainHitAt(text, needle, rules, i))
            continue;
        if (next >= hits.size() || hits[next].line != plainLineOf(text, i) || hits[next].column < 1
            || hits[next].lineText.size() > findinfiles::kMaxShownLineBytes)
            __builtin_trap();
        ++next;
    }
    if (next != hits.size())
        __builtin_trap();
    return 0;
}
