#include "ParserTrace.h"

#include <cstdarg>
#include <cstring>

namespace zernasm {

namespace {

// What the parser is in the middle of printing.
enum class Piece {
    None,        // nothing traced: a symbol printed for another reason, the state stack
    NextToken,   // the lookahead, just read or kept
    Shifting,    // the lookahead being shifted
    Discarding,  // the lookahead dropped after an error
    Popping,     // a symbol popped after an error; the state stack follows
    Reducing,    // the symbols of the rule being reduced
    ErrorStack,  // the state stack after an error pop
};

struct TraceState {
    FILE* out = stderr;
    int token = 0;
    Piece piece = Piece::None;
    bool afterPop = false;
    int symbolsLeft = 0;
    const char* ruleName = "";
};

// The parser is not reentrant through its trace: one line is parsed at a time.
TraceState g_trace;

bool Is(const char* format, const char* text)
{
    return strcmp(format, text) == 0;
}

Piece PieceTitled(const char* title)
{
    if (Is(title, "Next token is"))
        return Piece::NextToken;
    if (Is(title, "Shifting"))
        return Piece::Shifting;
    if (Is(title, "Error: discarding"))
        return Piece::Discarding;
    if (Is(title, "Error: popping"))
        return Piece::Popping;
    return Piece::None;
}

void SymbolName(TraceState& t, const char* name)
{
    switch (t.piece) {
    case Piece::NextToken:
        fprintf(t.out, "Next token is %d (%s", t.token, name);
        break;
    case Piece::Shifting:
        fprintf(t.out, "Shifting token %d (%s), ", t.token, name);
        break;
    case Piece::Discarding:
        fprintf(t.out, "Discarding token %d (%s).\n", t.token, name);
        break;
    case Piece::Reducing:
        fprintf(t.out, "%s ", name);
        break;
    default:
        break;
    }
}

void LineEnd(TraceState& t)
{
    switch (t.piece) {
    case Piece::Reducing:
        if (--t.symbolsLeft > 0)
            return;
        fprintf(t.out, " -> %s\n", t.ruleName);
        break;
    case Piece::ErrorStack:
        fputc('\n', t.out);
        break;
    case Piece::Popping:
        t.afterPop = true;
        break;
    default:
        break;
    }
    t.piece = Piece::None;
}

void Reduction(TraceState& t, int rule, int line)
{
    fprintf(t.out, "Reducing via rule %d (line %d), ", rule, line);
    const TracedRule traced = TracedRuleOf(rule);
    t.ruleName = traced.name;
    t.symbolsLeft = traced.length;
    t.piece = Piece::Reducing;
    if (traced.length == 0) {
        fprintf(t.out, " -> %s\n", t.ruleName);
        t.piece = Piece::None;
    }
}

}  // namespace

void BeginParserTrace(FILE* out)
{
    g_trace = TraceState();
    g_trace.out = out;
}

void NoteTracedToken(int token)
{
    g_trace.token = token;
}

void ParserTracePrint(FILE*, const char* format, ...)
{
    TraceState& t = g_trace;
    va_list args;
    va_start(args, format);
    if (Is(format, "%s ")) {
        t.piece = PieceTitled(va_arg(args, const char*));
    } else if (Is(format, "%s %s (")) {
        va_arg(args, const char*);  // "token" or "nterm"
        SymbolName(t, va_arg(args, const char*));
    } else if (Is(format, ")")) {
        if (t.piece == Piece::NextToken)
            fputs(")\n", t.out);
    } else if (Is(format, "\n")) {
        LineEnd(t);
    } else if (Is(format, "Stack now")) {
        t.piece = t.afterPop ? Piece::ErrorStack : Piece::None;
        if (t.afterPop)
            fputs("Error: state stack now", t.out);
        t.afterPop = false;
    } else if (Is(format, " %d")) {
        if (t.piece == Piece::ErrorStack)
            vfprintf(t.out, format, args);
    } else if (Is(format, "Reducing stack by rule %d (line %d):\n")) {
        const int rule = va_arg(args, int);
        Reduction(t, rule, va_arg(args, int));
    } else if (Is(format, "Reducing stack by rule %d (line %lu):\n")) {
        // Earlier bison releases print the line as unsigned long.
        const int rule = va_arg(args, int);
        Reduction(t, rule, static_cast<int>(va_arg(args, unsigned long)));
    } else if (Is(format, "Reading a token\n") || Is(format, "Reading a token: ")) {
        fputs("Reading a token: ", t.out);
    } else if (Is(format, "Stack size increased to %ld\n")) {
        fprintf(t.out, "Stack size increased to %d\n", static_cast<int>(va_arg(args, long)));
    } else if (Is(format, "Stack size increased to %lu\n")) {
        fprintf(t.out, "Stack size increased to %d\n", static_cast<int>(va_arg(args, unsigned long)));
    } else if (!Is(format, "   $%d = ")) {
        // "Starting parse", "Entering state %d", "Now at end of input."
        vfprintf(t.out, format, args);
    }
    va_end(args);
}

}  // namespace zernasm
