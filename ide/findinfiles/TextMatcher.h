#pragma once
// Finds a text in bytes by the editor's rules, so that a file searched from
// disk gives the hits its editor window would: one byte is one character,
// "match case" off folds only A-Z onto a-z, and "whole word" asks for a class
// change at both ends of the hit, with the editor's default classes (letters,
// digits, '_' and bytes from 0x80 are word characters).

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace findinfiles {

struct MatchRules {
    bool matchCase = false;
    bool wholeWord = false;
};

enum class CharClass { Space, NewLine, Word, Punctuation };
CharClass charClassOf(unsigned char byte);

class TextMatcher {
public:
    static constexpr std::size_t npos = std::string_view::npos;

    // An empty text never matches: it would match at every position.
    TextMatcher(std::string_view text, MatchRules rules);

    // Where the first hit at or after from starts; npos when there is none.
    std::size_t find(std::string_view text, std::size_t from) const;
    std::size_t length() const { return needle_.size(); }
    bool empty() const { return needle_.empty(); }

private:
    std::size_t findBytes(std::string_view text, std::size_t from) const;
    std::size_t findFolded(std::string_view text, std::size_t from) const;
    static bool isWordAt(std::string_view text, std::size_t start, std::size_t end);

    std::string needle_;
    MatchRules rules_;
    // Without letters in the text, folding changes nothing.
    bool folds_ = false;
    // Horspool's shift for each folded byte.
    std::array<std::size_t, 256> shift_{};
};

}  // namespace findinfiles
