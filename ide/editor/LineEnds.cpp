#include "LineEnds.h"

#include <cstring>

namespace {

constexpr std::string_view kCrLf = "\r\n";

}  // namespace

std::string NormaliseLineEnds(std::string_view text)
{
    std::string result;
    result.reserve(text.size() + text.size() / 16 + 2);
    LineEndNormaliser normaliser;
    normaliser.feed(text, result);
    normaliser.finish(result);
    return result;
}

void LineEndNormaliser::feed(std::string_view piece, std::string& output)
{
    if (piece.empty())
        return;
    empty_ = false;
    lastByte_ = piece.back();
    if (crPending_) {
        crPending_ = false;
        output += kCrLf;
        if (piece.front() == '\n')
            piece.remove_prefix(1);
    }
    // Text between line ends, and CR LF pairs, go to the output in whole runs.
    const char* const data = piece.data();
    const std::size_t size = piece.size();
    std::size_t runStart = 0;
    std::size_t position = 0;
    while (position < size) {
        const auto* lf = static_cast<const char*>(std::memchr(data + position, '\n', size - position));
        const std::size_t lineEnd = lf ? static_cast<std::size_t>(lf - data) : size;
        const auto* cr = static_cast<const char*>(std::memchr(data + position, '\r', lineEnd - position));
        if (!cr) {
            if (!lf)
                break;
            // A lone LF.
            output.append(data + runStart, lineEnd - runStart);
            output += kCrLf;
            position = runStart = lineEnd + 1;
            continue;
        }
        const auto crAt = static_cast<std::size_t>(cr - data);
        if (crAt + 1 == lineEnd && lf) {
            position = lineEnd + 1;
            continue;
        }
        output.append(data + runStart, crAt - runStart);
        if (crAt + 1 == size) {
            // Its LF, if any, starts the next piece.
            crPending_ = true;
            return;
        }
        output += kCrLf;
        position = runStart = crAt + 1;
    }
    output.append(data + runStart, size - runStart);
}

void LineEndNormaliser::finish(std::string& output)
{
    if (crPending_ || (!empty_ && lastByte_ != '\n'))
        output += kCrLf;
    crPending_ = false;
}
