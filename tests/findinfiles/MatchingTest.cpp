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
        // Only A-Z fold; bytes from 0x80 compare as they are.
        {"Loop LOOP loop", "loop", kAny, {0, 5, 10}},
        {"Loop LOOP loop", "loop", kCase, {10}},
        {"\xC4\xE4", "\xE4", kAny, {1}},
        {"a1_[A1_", "A1_[", kAny, {0}},
        // Whole words: a class change at both ends of the hit.
        {"cat concat cat_ cat.", "cat", kWord, {0, 16}},
        {"x=cat+1", "cat", kWord, {2}},
        {"\xE9"
         "cat \xE9",
         "cat",
         kWord,
         {}},
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
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto hits = findinfiles::findHits(c.text, TextMatcher(c.needle, {}), c.tabWidth);
        std::vector<std::pair<int, int>> places;
        std::vector<std::string> lineTexts;
        for (const auto& hit : hits) {
            places.emplace_back(hit.line, hit.column);
            lineTexts.push_back(hit.lineText);
            EXPECT_EQ(hit.length, static_cast<int>(c.needle.size()));
        }
        EXPECT_EQ(places, c.places);
        EXPECT_EQ(lineTexts, c.lineTexts);
    }
}

TEST(LineCursorTest, AHugeLineIsShownOnlyInPartForEachHit)
{
    const std::string text = std::string(3 * findinfiles::kMaxShownLineBytes, 'x') + "hit";
    const auto hits = findinfiles::findHits(text, TextMatcher("hit", {}), 4);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].column, static_cast<int>(3 * findinfiles::kMaxShownLineBytes + 1));
    EXPECT_EQ(hits[0].lineText.size(), findinfiles::kMaxShownLineBytes);
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
