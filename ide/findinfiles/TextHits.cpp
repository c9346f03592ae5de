#include "TextHits.h"

#include <algorithm>

#include "Utf8Characters.h"

namespace findinfiles {
namespace {

bool isLineEndByte(char c)
{
    return c == '\n' || c == '\r';
}

void appendPrintable(std::string_view part, std::string& shown)
{
    for (char c : part) {
        const auto byte = static_cast<unsigned char>(c);
        shown += (byte < 0x20 && byte != '\t') || byte == 0x7f ? '.' : c;
    }
}

}  // namespace

std::string excerptAround(std::string_view text, std::size_t lineStart, std::size_t at)
{
    const auto endOfLine = [&text](std::size_t from, std::size_t limit) {
        const auto begin = text.begin() + static_cast<std::ptrdiff_t>(from);
        return static_cast<std::size_t>(
            std::find_if(begin, text.begin() + static_cast<std::ptrdiff_t>(std::min(limit, text.size())), isLineEndByte)
            - text.begin());
    };
    std::string shown;
    const std::size_t wholeLineEnd = endOfLine(lineStart, lineStart + kExcerptBytes + 1);
    if (wholeLineEnd - lineStart <= kExcerptBytes) {
        appendPrintable(text.substr(lineStart, wholeLineEnd - lineStart), shown);
        return shown;
    }
    // Cut only between characters.
    std::size_t from = at - std::min(at - lineStart, kExcerptLeadBytes);
    while (from < at && isTrailByte(static_cast<unsigned char>(text[from])))
        ++from;
    const std::size_t limit = from + kExcerptBytes;
    std::size_t to = endOfLine(at, limit);
    const bool cutAtEnd = to == limit && to < text.size() && !isLineEndByte(text[to]);
    while (cutAtEnd && to > at + 1 && isTrailByte(static_cast<unsigned char>(text[to])))
        --to;
    if (from > lineStart)
        shown += "...";
    appendPrintable(text.substr(from, to - from), shown);
    if (cutAtEnd)
        shown += "...";
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
    if (ends > 0) {
        line_ += static_cast<int>(ends);
        std::size_t at = position;
        while (!endsLine(at - 1))
            --at;
        lineStart_ = counted_ = at;
        column_ = 0;
    }
    // A character of several bytes counts once, as the editor counts it.
    while (counted_ < position) {
        const auto byte = static_cast<unsigned char>(bytes[counted_]);
        if (byte == '\t') {
            column_ = (column_ / tabWidth_ + 1) * tabWidth_;
            ++counted_;
        } else {
            ++column_;
            counted_ += byte < 0x80 ? 1 : characterAt(text_, counted_).size;
        }
    }
    position_ = position;
}

TextHits findHits(std::string_view text, const TextMatcher& matcher, int tabWidth, std::size_t maxHits,
                  const std::atomic<bool>* cancelled)
{
    TextHits found;
    LineCursor cursor(text, tabWidth);
    const int length = static_cast<int>(matcher.length());
    for (std::size_t at = matcher.find(text, 0); at != TextMatcher::npos; at = matcher.find(text, at + 1)) {
        if (found.hits.size() == maxHits) {
            found.more = true;
            break;
        }
        // A file of nothing but hits is long work: look at the flag now and then.
        if (cancelled && found.hits.size() % 4096 == 4095 && cancelled->load(std::memory_order_relaxed))
            break;
        cursor.moveTo(at);
        found.hits.push_back({cursor.line(), cursor.column(), length, excerptAround(text, cursor.lineStart(), at)});
    }
    return found;
}

}  // namespace findinfiles
