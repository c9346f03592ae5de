// The fast search against a plain one: for any bytes, search text and
// choices, the same hits, each on the line a byte-by-byte count gives, none
// inside a character, and each with a short excerpt.
#include <cstdint>
#include <string_view>
#include <vector>

#include "TextHits.h"
#include "TextMatcher.h"
#include "Utf8Characters.h"

namespace {

using findinfiles::CharClass;

bool solid(CharClass c)
{
    return c == CharClass::Word || c == CharClass::Punctuation;
}

char folded(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool plainHitAt(std::string_view text, std::string_view needle, findinfiles::MatchRules rules, std::size_t i)
{
    if (i + needle.size() > text.size())
        return false;
    for (std::size_t k = 0; k < needle.size(); ++k)
        if (rules.matchCase ? text[i + k] != needle[k] : folded(text[i + k]) != folded(needle[k]))
            return false;
    const std::size_t end = i + needle.size();
    if (rules.wholeWord) {
        const auto classAt = [&text](std::size_t at) {
            return findinfiles::charClassOf(findinfiles::characterAt(text, at).code);
        };
        const auto classBefore = [&text](std::size_t at) {
            return findinfiles::charClassOf(findinfiles::characterBefore(text, at).code);
        };
        const bool start = i == 0 || (solid(classAt(i)) && classAt(i) != classBefore(i));
        const bool finish = end == text.size() || (solid(classBefore(end)) && classBefore(end) != classAt(end));
        return start && finish;
    }
    return true;
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

    // Where characters start, walking forward.
    std::vector<bool> starts(text.size(), false);
    for (std::size_t i = 0; i < text.size(); i += findinfiles::characterAt(text, i).size)
        starts[i] = true;

    const findinfiles::TextMatcher matcher(needle, rules);
    const auto found = findinfiles::findHits(text, matcher, 1 + data[0] % 8, text.size() + 1);
    std::size_t next = 0;
    for (std::size_t i = 0; i < text.size() && !needle.empty(); ++i) {
        if (!starts[i] || !plainHitAt(text, needle, rules, i))
            continue;
        if (next >= found.hits.size() || found.hits[next].line != plainLineOf(text, i) || found.hits[next].column < 1
            || found.hits[next].excerpt.size() > findinfiles::kExcerptBytes + 6)
            __builtin_trap();
        ++next;
    }
    if (next != found.hits.size() || found.more)
        __builtin_trap();
    return 0;
}
