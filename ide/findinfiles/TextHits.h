#pragma once
// The hits of a text with their lines and columns as the editor counts them:
// CR LF, a lone LF and a lone CR each end a line; a column counts characters
// (Utf8Characters.h) with tabs expanded to the next tab stop.

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
    int length = 0;  // bytes
    // What a result line shows of the hit's line (excerptAround).
    std::string excerpt;
};

// A line up to this long is shown whole. Of a longer one, a minified file's
// say, a part of at most this size around the hit is shown, with "..." where
// it was cut: however long the line, a hit keeps no more than that.
inline constexpr std::size_t kExcerptBytes = 200;
// How much of a long line comes before the hit in its excerpt.
inline constexpr std::size_t kExcerptLeadBytes = 60;

// The excerpt of the line that starts at lineStart for the hit at at, made
// printable: control bytes, NUL among them, shown as '.'; tabs and every
// other byte kept.
std::string excerptAround(std::string_view text, std::size_t lineStart, std::size_t at);

// Follows a text forward from its start, keeping the line and column of the
// position reached.
class LineCursor {
public:
    LineCursor(std::string_view text, int tabWidth);
    // Only forward: a position before the last one is taken as the last one.
    void moveTo(std::size_t position);
    int line() const { return line_; }
    int column() const { return column_ + 1; }
    std::size_t lineStart() const { return lineStart_; }

private:
    bool endsLine(std::size_t at) const;

    std::string_view text_;
    int tabWidth_;
    std::size_t position_ = 0;
    // Where the column was counted to: the start of the character that
    // holds position_, or position_ itself.
    std::size_t counted_ = 0;
    std::size_t lineStart_ = 0;
    int line_ = 1;
    int column_ = 0;
};

struct TextHits {
    std::vector<FoundHit> hits;
    // The text has hits past the ones listed.
    bool more = false;
};

// The first maxHits hits of the text, each search starting one byte after
// the previous hit (so "ab" is found twice in "abab"). Stops early, with the
// hits so far, when cancelled is set.
TextHits findHits(std::string_view text, const TextMatcher& matcher, int tabWidth, std::size_t maxHits,
                  const std::atomic<bool>* cancelled = nullptr);

}  // namespace findinfiles
