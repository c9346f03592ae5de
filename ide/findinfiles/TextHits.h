#pragma once
// The hits of a text with their lines and columns as the editor counts them:
// CR LF, a lone LF and a lone CR each end a line; a column counts bytes with
// tabs expanded to the next tab stop, as the editor's own column does.

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "TextMatcher.h"

namespace findinfiles {

struct FoundHit {
    int line = 0;    // 1-based
    int column = 0;  // 1-based, tabs expanded
    int length = 0;
    // The line without its line end, made printable.
    std::string lineText;
};

// The longest part of a line a result shows: a hit in a huge one-line file
// must not copy the whole file for each hit.
inline constexpr std::size_t kMaxShownLineBytes = 1000;

// Control bytes, NUL among them, shown as '.'; tabs and every other byte kept.
std::string printableLine(std::string_view line);

// Follows a text forward from its start, keeping the line and column of the
// position reached.
class LineCursor {
public:
    LineCursor(std::string_view text, int tabWidth);
    // Only forward: a position before the last one is taken as the last one.
    void moveTo(std::size_t position);
    int line() const { return line_; }
    int column() const { return column_ + 1; }
    // The current line from its start, without its line end and at most
    // kMaxShownLineBytes long.
    std::string_view lineText() const;

private:
    bool endsLine(std::size_t at) const;

    std::string_view text_;
    int tabWidth_;
    std::size_t position_ = 0;
    std::size_t lineStart_ = 0;
    int line_ = 1;
    int column_ = 0;
};

// Every hit of the text, each search starting one byte after the previous
// hit (so "ab" is found twice in "abab"). Stops early, with the hits so far,
// when cancelled is set.
std::vector<FoundHit> findHits(std::string_view text, const TextMatcher& matcher, int tabWidth,
                               const std::atomic<bool>* cancelled = nullptr);

}  // namespace findinfiles
