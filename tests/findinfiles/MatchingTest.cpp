#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "FileWalk.h"
#include "TextHits.h"
#include "TextMatcher.h"

namespace {

using findinfiles::MatchRules;
using findinfiles::TextMatcher;

std::vector<std::size_t> allHits(std::string_view text, std::string_view needle, MatchRules rules)
{
    const TextMatcher matcher(needle, rules);
    std::vector<std::size_t> found;
    for (std::size_t at = matcher.find(text, 0); at != TextMatcher::npos; at = matcher.find(text, at + 1))
        found.push_back(at);
    return found;
}

TEST(TextMatcherTest, FindsByTheEditorsCaseAndWordRules)
{
    constexpr MatchRules kAny{false, false};
    constexpr MatchRules kCase{true, false};
    constexpr MatchRules kWord{false, true};
    constexpr MatchRules kBoth{true, true};
    const struct {
        std::string text;
        std::string needle;
        MatchRules rules;
        std::vector<std::size_t> hits;
    } cases[] = {
        // Each search starts one byte after the previous hit.
        {"abab", "ab", kAny, {0, 2}},
        {"aaaa", "aa", kAny, {0, 1, 2}},
        {"", "a", kAny, {}},
        {"abc", "", kAny, {}},
        {"ab", "abc", kAny, {}},
        // Only A-Z fold; other bytes compare as they are.
        {"Loop LOOP loop", "loop", kAny, {0, 5, 10}},
        {"Loop LOOP loop", "loop", kCase, {10}},
        {"\xC4\xE4", "\xE4", kAny, {1}},
        {"a1_[A1_", "A1_[", kAny, {0}},
        // UTF-8: a character outside Latin-1 is found as itself, never as
        // another, and nothing matches inside a character.
        {"why?uro \xE2\x82\xACuro", "\xE2\x82\xACuro", kAny, {8}},
        {"\xC3\x89 \xC3\xA9 e", "\xC3\xA9", kAny, {3}},
        {"\xC3\x89"
         "COLE \xC3\xA9"
         "cole \xC3\xA9"
         "COLE",
         "\xC3\xA9"
         "cole",
         kAny,
         {7, 14}},
        {"\xC3\xA9", "\xA9", kCase, {}},
        {"\xC3\xA9", "\xA9", kAny, {}},
        {"\xA9", "\xA9", kCase, {0}},
        // Whole words: a class change at both ends of the hit.
        {"cat concat cat_ cat.", "cat", kWord, {0, 16}},
        {"x=cat+1", "cat", kWord, {2}},
        // A byte that is not UTF-8 is no letter; a letter beyond ASCII is one,
        // a currency sign is punctuation.
        {"\xE9"
         "cat \xE9",
         "cat",
         kWord,
         {1}},
        {"caf\xC3\xA9x caf\xC3\xA9", "caf\xC3\xA9", kWord, {7}},
        {"\xE2\x82\xACuro euro", "uro", kWord, {3}},
        {"a..b ...", "..", kWord, {1}},
        {"(cat)", "(cat)", kWord, {0}},
        // A blank may end a hit only at the very start of the text.
        {" cat x cat", " cat", kWord, {0}},
        {"CAT cat", "cat", kBoth, {4}},
        // NUL and line ends are ordinary bytes.
        {std::string("a\0b\0ab", 6), "b", kWord, {2}},
        {"cat\r\ncat\ncat", "cat", kWord, {0, 5, 9}},
        {"word", "word", kWord, {0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + " / " + c.needle);
        EXPECT_EQ(allHits(c.text, c.needle, c.rules), c.hits);
    }
}

TEST(LineCursorTest, CountsLinesAndTabExpandedColumnsAsTheEditor)
{
    const struct {
        std::string text;
        std::string needle;
        int tabWidth;
        std::vector<std::pair<int, int>> places;  // line, column
        std::vector<std::string> lineTexts;
    } cases[] = {
        {"abab", "ab", 4, {{1, 1}, {1, 3}}, {"abab", "abab"}},
        {"x\r\ny\nz\rq\n\nq", "q", 4, {{4, 1}, {6, 1}}, {"q", "q"}},
        {"one\rtwo\r", "two", 4, {{2, 1}}, {"two"}},
        {"\tx\n ab\tx", "x", 4, {{1, 5}, {2, 5}}, {"\tx", " ab\tx"}},
        {"\t\tx", "x", 8, {{1, 17}}, {"\t\tx"}},
        {"12\t4x", "x", 3, {{1, 5}}, {"12\t4x"}},
        {std::string("a\0b\x01\x7f", 5) + "hit", "hit", 4, {{1, 6}}, {"a.b..hit"}},
        // A character of several bytes is one column, a byte that is not UTF-8 too.
        {"\xE2\x82\xAC\xE2\x82\xACx", "x", 4, {{1, 3}}, {"\xE2\x82\xAC\xE2\x82\xACx"}},
        {"\xE9\xE9\tx", "x", 4, {{1, 5}}, {"\xE9\xE9\tx"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto hits = findinfiles::findHits(c.text, TextMatcher(c.needle, {}), c.tabWidth, 10).hits;
        std::vector<std::pair<int, int>> places;
        std::vector<std::string> lineTexts;
        for (const auto& hit : hits) {
            places.emplace_back(hit.line, hit.column);
            lineTexts.push_back(hit.excerpt);
            EXPECT_EQ(hit.length, static_cast<int>(c.needle.size()));
        }
        EXPECT_EQ(places, c.places);
        EXPECT_EQ(lineTexts, c.lineTexts);
    }
}

// However long the line, a hit keeps a short excerpt of it, cut between characters.
TEST(LineCursorTest, AHitInALongLineKeepsOnlyAnExcerptAroundIt)
{
    using findinfiles::kExcerptBytes;
    using findinfiles::kExcerptLeadBytes;
    const std::string euro = "\xE2\x82\xAC";
    std::string euros;
    for (int i = 0; i < 1000; ++i)
        euros += euro;
    const std::string x(3000, 'x');
    const std::string y(3000, 'y');
    const std::string shortLine(kExcerptBytes - 3, 'x');
    const struct {
        std::string text;
        std::string excerpt;
    } cases[] = {
        {"x\n" + shortLine + "hit\ny", shortLine + "hit"},
        {x + "hit" + y, "..." + std::string(kExcerptLeadBytes, 'x') + "hit"
                            + std::string(kExcerptBytes - kExcerptLeadBytes - 3, 'y') + "..."},
        {"hit" + y + "\n", "hit" + std::string(kExcerptBytes - 3, 'y') + "..."},
        {x + "hit\r\n", "..." + std::string(kExcerptLeadBytes, 'x') + "hit"},
        {x + "\x01hit\t" + y, "..." + std::string(kExcerptLeadBytes - 1, 'x') + ".hit\t"
                                  + std::string(kExcerptBytes - kExcerptLeadBytes - 4, 'y') + "..."},
    };
    for (const auto& c : cases) {
        const auto found = findinfiles::findHits(c.text, TextMatcher("hit", {}), 4, 10);
        ASSERT_EQ(found.hits.size(), 1u);
        EXPECT_EQ(found.hits[0].excerpt, c.excerpt);
    }
    const auto found = findinfiles::findHits(euros + "ahit" + euros, TextMatcher("hit", {}), 4, 10);
    ASSERT_EQ(found.hits.size(), 1u);
    EXPECT_EQ(found.hits[0].column, 1002);
    const std::string& excerpt = found.hits[0].excerpt;
    EXPECT_LE(excerpt.size(), kExcerptBytes + 6);
    EXPECT_TRUE(excerpt.starts_with("..." + euro)) << excerpt;
    EXPECT_TRUE(excerpt.ends_with(euro + "...")) << excerpt;
    EXPECT_NE(excerpt.find("ahit"), std::string::npos);
}

TEST(FileMaskTest, MatchesNamesLikeTheSystemsWildcards)
{
    const struct {
        const char* mask;
        const char* name;
        bool matches;
    } cases[] = {
        {"*.*", "Makefile", true},
        {"*.*", "a.b", true},
        {"*.*", ".hidden", true},
        {"*", "Makefile", true},
        {"*.asm", "blink.asm", true},
        {"*.asm", "BLINK.ASM", true},
        {"*.asm", "blink.as", false},
        {"*.asm", "blink.asmx", false},
        {"b?ink.*", "blink.inc", true},
        {"b?ink.*", "bink.inc", false},
        {"a*b*c", "axxbyyc", true},
        {"a*b*c", "axxbyy", false},
        {"*a", "banana", true},
        {"blink.asm", "blink.asm", true},
        {"blink.asm", "blink.asm~", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(findinfiles::maskMatches(c.mask, c.name), c.matches) << c.mask << " " << c.name;
}

TEST(PathTest, CleansPathsAgainstTheCurrentFolder)
{
    const struct {
        const char* path;
        const char* clean;
    } cases[] = {
        {"/a/b/../c/./d", "/a/c/d"}, {"rel/x", "/work/here/rel/x"}, {"//a//b/", "/a/b"}, {"/..", "/"},
        {"../up", "/work/up"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(findinfiles::cleanAbsolutePath(c.path, "/work/here"), c.clean) << c.path;
}

}  // namespace
