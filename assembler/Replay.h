#pragma once
// Pass 2 over the lines that pass 1 kept (StatementLog): a kept line is
// composed again from its statement, its label defined as its scanner rule
// does. Composing is tried first: when it would report anything, nothing of
// the try remains and the line is parsed instead, so every message, listing
// line and byte is what parsing the line gives.
#include <cstddef>

namespace zernasm {

struct Assembly;

class Replay {
public:
    // Composes kept lines in pass 2 only, and only when pass 2 starts where
    // pass 1 did and nothing read differently since (no error, every name
    // defined).
    explicit Replay(Assembly& a);
    // True when the next line was composed; false when it is to be parsed,
    // with the scanner standing at it.
    bool Next();

private:
    enum class Outcome { Composed, ParseLine, ParseAfterLabel };
    Outcome TryLine(size_t index);
    void Stop(size_t index);

    Assembly& a_;
    bool on_ = false;
    size_t next_ = 0;
};

}  // namespace zernasm
