#pragma once
// The line rule of source files: CR LF, a lone LF and a lone CR each count as
// one line end, and every line, the last one included, ends with one. Every
// other byte, NUL included, is kept as it is.
//
// A file keeps the kind of line end it has: the first one in it decides, so
// a file that mixes them comes out with that one throughout. A text without
// any line end gets the platform's.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

enum class LineEnd { CrLf, Lf, Cr };
inline constexpr LineEnd kPlatformLineEnd = LineEnd::Lf;

inline bool IsLineEndByte(char c)
{
    return c == '\r' || c == '\n';
}

// The same rule for a text that arrives in pieces, such as a file read in
// blocks: a CR at the end of one piece may pair with an LF that starts the next.
class LineEndNormaliser {
public:
    // Takes the output, part by part.
    using Sink = std::function<void(std::string_view)>;

    // Without a kind, the first line end of the text chooses it.
    explicit LineEndNormaliser(std::optional<LineEnd> lineEnd = std::nullopt) : lineEnd_(lineEnd) {}

    // Passes on the piece with its line ends made the chosen kind. A piece
    // that already has them (most do) is passed on as it is: a copy would
    // cost as much as the rest of a load.
    void feed(std::string_view piece, const Sink& output);
    // The text has ended: a last line without a line end gets one.
    void finish(const Sink& output);
    // After finish: the kind the text was given.
    LineEnd lineEnd() const { return lineEnd_.value_or(kPlatformLineEnd); }

private:
    void chooseFrom(std::string_view piece);
    bool keepsLineEnds(std::string_view piece) const;
    void convert(std::string_view piece);
    void endLine(LineEnd seen, std::string& output);

    std::optional<LineEnd> lineEnd_;
    bool crPending_ = false;
    bool empty_ = true;
    char lastByte_ = '\0';
    std::string converted_;
};
