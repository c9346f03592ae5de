#pragma once
// The line rule of source files: every line ends with CR LF, including the
// last one; CR LF, a lone LF and a lone CR each count as one line end. Every
// other byte, NUL included, is kept as it is.

#include <string>
#include <string_view>

std::string NormaliseLineEnds(std::string_view text);

// The same rule for a text that arrives in pieces, such as a file read in
// blocks: a CR at the end of one piece may pair with an LF that starts the next.
class LineEndNormaliser {
public:
    // Appends the piece to the output with its line ends made CR LF.
    void feed(std::string_view piece, std::string& output);
    // The text has ended: a last line without a line end gets one.
    void finish(std::string& output);

private:
    bool crPending_ = false;
    bool empty_ = true;
    char lastByte_ = '\0';
};
