#pragma once
// Finds a text in UTF-8 bytes by the editor's rules, so that a file searched
// from disk gives the hits its editor window would: with "match case" off
// only A-Z fold onto a-z (the editor folds no letter beyond ASCII either),
// and "whole word" asks for a class change at both ends of the hit, with the
// editor's word classes (Utf8Characters.h). A hit never starts inside a
// character.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace findinfiles {

struct MatchRules {
    bool matchCase = false;
    bool wholeWord = false;
};

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
    // A text that starts with a trail byte could match inside a character.
    bool startsWithTrailByte_ = false;
    // Horspool's shift for each folded byte.
    std::array<std::size_t, 256> shift_{};
};

}  // namespace findinfiles
