#pragma once
// The grammar trace of a ";!DEBUG!" stretch. The generated parser prints its
// trace through YYFPRINTF in its own words, a piece at a time; every piece
// comes here and is written in the assembler's trace texts ("Reading a token: ",
// "Next token is %d (%s)", "Reducing via rule %d (line %d), ... -> %s") on the
// run's standard error.
#include <cstdio>

namespace zernasm {

// The length and the left-hand name of a rule, by the number the parser's
// trace gives it; the grammar defines it from its tables.
struct TracedRule {
    int length;
    const char* name;
};
TracedRule TracedRuleOf(int rule);

// Starts the trace of one line's parse, written to `out`.
void BeginParserTrace(FILE* out);
// The token the scanner returned last: the trace names it by its code.
void NoteTracedToken(int token);
// The grammar's YYFPRINTF.
void ParserTracePrint(FILE* stream, const char* format, ...);

}  // namespace zernasm
