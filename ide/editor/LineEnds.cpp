#include "LineEnds.h"

#include <algorithm>
#include <cstring>

namespace {

std::string_view LineEndBytes(LineEnd lineEnd)
{
    switch (lineEnd) {
    case LineEnd::CrLf:
        return "\r\n";
    case LineEnd::Cr:
        return "\r";
    case LineEnd::Lf:
        break;
    }
    return "\n";
}

}  // namespace

void LineEndNormaliser::feed(std::string_view piece, const Sink& output)
{
    if (piece.empty())
        return;
    empty_ = false;
    lastByte_ = piece.back();
    if (crPending_) {
        crPending_ = false;
        const bool pair = piece.front() == '\n';
        converted_.clear();
        endLine(pair ? LineEnd::CrLf : LineEnd::Cr, converted_);
        output(converted_);
        if (pair)
            piece.remove_prefix(1);
    }
    // A CR at the end waits for the next piece, whose LF it may pair with.
    if (!piece.empty() && piece.back() == '\r') {
        crPending_ = true;
        piece.remove_suffix(1);
    }
    if (piece.empty())
        return;
    if (!lineEnd_)
        chooseFrom(piece);
    // Still without a kind, the piece has no line end.
    if (!lineEnd_ || keepsLineEnds(piece)) {
        output(piece);
        return;
    }
    convert(piece);
    output(converted_);
}

void LineEndNormaliser::chooseFrom(std::string_view piece)
{
    const auto first = std::find_if(piece.begin(), piece.end(), IsLineEndByte);
    if (first == piece.end())
        return;
    if (*first == '\n')
        lineEnd_ = LineEnd::Lf;
    else
        lineEnd_ = first + 1 != piece.end() && first[1] == '\n' ? LineEnd::CrLf : LineEnd::Cr;
}

// Whether every line end of the piece is already of the chosen kind.
bool LineEndNormaliser::keepsLineEnds(std::string_view piece) const
{
    const char* const begin = piece.data();
    const char* const end = begin + piece.size();
    switch (*lineEnd_) {
    case LineEnd::Lf:
        return !std::memchr(begin, '\r', piece.size());
    case LineEnd::Cr:
        return !std::memchr(begin, '\n', piece.size());
    case LineEnd::CrLf:
        break;
    }
    // Each LF follows a CR and each CR comes before an LF: one pass without
    // branches, which the compiler runs many bytes at a time.
    if (*begin == '\n' || end[-1] == '\r')
        return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(begin);
    unsigned char mismatch = 0;
    for (std::size_t at = 1; at < piece.size(); ++at)
        mismatch |= static_cast<unsigned char>((bytes[at] == '\n') ^ (bytes[at - 1] == '\r'));
    return mismatch == 0;
}

void LineEndNormaliser::endLine(LineEnd seen, std::string& output)
{
    if (!lineEnd_)
        lineEnd_ = seen;
    output += LineEndBytes(*lineEnd_);
}

void LineEndNormaliser::convert(std::string_view piece)
{
    converted_.clear();
    const auto end = piece.end();
    auto run = piece.begin();
    while (true) {
        auto at = std::find_if(run, end, IsLineEndByte);
        converted_.append(run, at);
        if (at == end)
            return;
        // No CR ends the piece: one that did waits for the next.
        const bool pair = *at == '\r' && at[1] == '\n';
        endLine(*at == '\n' ? LineEnd::Lf : pair ? LineEnd::CrLf : LineEnd::Cr, converted_);
        run = at + (pair ? 2 : 1);
    }
}

void LineEndNormaliser::finish(const Sink& output)
{
    converted_.clear();
    if (crPending_)
        endLine(LineEnd::Cr, converted_);
    else if (!empty_ && lastByte_ != '\n')
        endLine(kPlatformLineEnd, converted_);
    crPending_ = false;
    if (!converted_.empty())
        output(converted_);
}
