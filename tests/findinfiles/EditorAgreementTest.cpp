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

std::string randomBytes(std::mt19937& random, const std::string& alphabet, std::size_t maxLength)
{
    std::uniform_int_distribution<std::size_t> length(1, maxLength);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string bytes(length(random), ' ');
    for (char& c : bytes)
        c = alphabet[pick(random)];
    return bytes;
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
    // Letters of both cases, word and punctuation bytes, blanks, every kind of
    // line end, NUL and bytes above 0x7f.
    const std::string textAlphabet("aAbB_1.( \t\r\n\r\n\x00\xe9\xC9", 17);
    const std::string needleAlphabet("aAbB_1.( \t\xe9", 11);
    std::mt19937 random(20240531);
    host_.currentTabSize = 3;
    for (int round = 0; round < 60; ++round) {
        const std::string text = randomBytes(random, textAlphabet, 60);
        TFormEditor* editor = windows_.OpenEditor(WriteFile(QStringLiteral("t%1.asm").arg(round), text));
        ASSERT_NE(editor, nullptr);
        for (int n = 0; n < 8; ++n) {
            const std::string needle = randomBytes(random, needleAlphabet, 3);
            for (const SearchOptions options : {SearchOptions{false, false}, SearchOptions{true, false},
                                                SearchOptions{false, true}, SearchOptions{true, true}}) {
                const findinfiles::TextMatcher matcher(needle, {options.matchCase, options.wholeWord});
                Places filePlaces;
                for (const findinfiles::FoundHit& hit : findinfiles::findHits(text, matcher, 3))
                    filePlaces.emplace_back(hit.line, hit.column);
                ASSERT_EQ(filePlaces, editorPlaces(editor->Editor(), needle, options))
                    << "text " << ::testing::PrintToString(text) << " needle " << ::testing::PrintToString(needle)
                    << " case " << options.matchCase << " word " << options.wholeWord;
            }
        }
    }
}

}  // namespace
