// A file searched from disk must give the hits its editor window gives:
// random texts and search texts, every choice of case and whole word, each
// searched both ways.
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "EditorTestSupport.h"
#include "TextHits.h"

namespace {

using Places = std::vector<std::pair<int, int>>;

std::string randomText(std::mt19937& random, const std::vector<std::string>& alphabet, std::size_t maxLength)
{
    std::uniform_int_distribution<std::size_t> length(1, maxLength);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string text;
    for (std::size_t count = length(random); count > 0; --count)
        text += alphabet[pick(random)];
    return text;
}

// Every hit the editor finds, each search one byte after the previous hit.
Places editorPlaces(ScintillaEditor& editor, const std::string& needle, SearchOptions options)
{
    Places places;
    for (long at = editor.FindTextFrom(needle, 0, options); at != -1; at = editor.FindTextFrom(needle, at + 1, options))
        places.emplace_back(editor.LineFromPosition(at), editor.ColumnFromPosition(at));
    return places;
}

class EditorAgreementTest : public EditorTest {};

TEST_F(EditorAgreementTest, FileHitsAreTheEditorsHits)
{
    // Letters of both cases, word and punctuation characters, blanks, every
    // kind of line end, NUL, UTF-8 letters of both cases, a symbol, a letter
    // without case, a no-break space, a dash, and bytes that are not UTF-8.
    const std::vector<std::string> needleAlphabet = {
        "a",   "A", "b", "B", "_", "1", ".", "(", " ", "\t", "\xC3\xA9", "\xC3\x89", "\xE2\x82\xAC", "\xE4\xB8\xAD",
        "\xE9"};
    std::vector<std::string> textAlphabet = needleAlphabet;
    for (const std::string& unit : std::vector<std::string>{"\r", "\n", "\r\n", std::string(1, '\0'), "\xC9",
                                                            "\xC2\xA0", "\xE2\x80\x94", "\xC3\xA4", "\xC3\x84"})
        textAlphabet.push_back(unit);
    std::mt19937 random(20240531);
    host_.currentTabSize = 3;
    for (int round = 0; round < 60; ++round) {
        const std::string text = randomText(random, textAlphabet, 40);
        TFormEditor* editor = windows_.OpenEditor(WriteFile(QStringLiteral("t%1.asm").arg(round), text));
        ASSERT_NE(editor, nullptr);
        for (int n = 0; n < 8; ++n) {
            const std::string needle = randomText(random, needleAlphabet, 3);
            for (const SearchOptions options : {SearchOptions{false, false}, SearchOptions{true, false},
                                                SearchOptions{false, true}, SearchOptions{true, true}}) {
                const findinfiles::TextMatcher matcher(needle, {options.matchCase, options.wholeWord});
                Places filePlaces;
                for (const findinfiles::FoundHit& hit : findinfiles::findHits(text, matcher, 3, 1000).hits)
                    filePlaces.emplace_back(hit.line, hit.column);
                ASSERT_EQ(filePlaces, editorPlaces(editor->Editor(), needle, options))
                    << "text " << ::testing::PrintToString(text) << " needle " << ::testing::PrintToString(needle)
                    << " case " << options.matchCase << " word " << options.wholeWord;
            }
        }
    }
}

}  // namespace
