#include "TextHits.h"

#include <algorithm>

namespace findinfiles {

std::string printableLine(std::string_view line)
{
    std::string shown(line);
    for (char& c : shown) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && byte != '\t') || byte == 0x7f)
            c = '.';
    }
    return shown;
}

LineCursor::LineCursor(std::string_view text, int tabWidth) : text_(text), tabWidth_(std::max(tabWidth, 1)) {}

bool LineCursor::endsLine(std::size_t at) const
{
    const char c = text_[at];
    return c == '\n' || (c == '\r' && (at + 1 == text_.size() || text_[at + 1] != '\n'));
}

void LineCursor::moveTo(std::size_t position)
{
    position = std::min(position, text_.size());
    if (position <= position_)
        return;
    // Count the line ends on the way in one branch-free pass; only when there
    // are some is the new line's start looked for, from the end backwards.
    const char* const bytes = text_.data();
    std::size_t ends = 0;
    const std::size_t paired = std::min(position, text_.size() - 1);
    for (std::size_t at = position_; at < paired; ++at) {
        const char c = bytes[at];
        ends += static_cast<std::size_t>((c == '\n') | ((c == '\r') & (bytes[at + 1] != '\n')));
    }
    if (paired < position && endsLine(paired))
        ++ends;
    std::size_t columnFrom = position_;
    if (ends > 0) {
        line_ += static_cast<int>(ends);
        std::size_t at = position;
        while (!endsLine(at - 1))
            --at;
        lineStart_ = columnFrom = at;
        column_ = 0;
    }
    for (std::size_t at = columnFrom; at < position; ++at)
        column_ = bytes[at] == '\t' ? (column_ / tabWidth_ + 1) * tabWidth_ : column_ + 1;
    position_ = position;
}

std::string_view LineCursor::lineText() const
{
    const std::size_t limit = std::min(text_.size(), lineStart_ + kMaxShownLineBytes);
    std::size_t end = lineStart_;
    while (end < limit && text_[end] != '\n' && text_[end] != '\r')
        ++end;
    return text_.substr(lineStart_, end - lineStart_);
}

std::vector<FoundHit> findHits(std::string_view text, const TextMatcher& matcher, int tabWidth,
                               const std::atomic<bool>* cancelled)
{
    std::vector<FoundHit> hits;
    LineCursor cursor(text, tabWidth);
    const int length = static_cast<int>(matcher.length());
    for (std::size_t at = matcher.find(text, 0); at != TextMatcher::npos; at = matcher.find(text, at + 1)) {
        // A file of nothing but hits is long work: look at the flag now and then.
        if (cancelled && hits.size() % 4096 == 4095 && cancelled->load(std::memory_order_relaxed))
            break;
        cursor.moveTo(at);
        hits.push_back({cursor.line(), cursor.column(), length, printableLine(cursor.lineText())});
    }
    return hits;
}

}  // namespace findinfiles
