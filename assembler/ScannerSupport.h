#pragma once
// Helpers of the scanner's rule actions.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace zernasm {

// Value of a number token in any of the source forms (12, 12d, 101b, 0FFh).
int32_t NumberValue(std::string_view text);
// The number between the first "[" and the next "]"; -1 without brackets.
int32_t BracketIndex(std::string_view text);

// Reads a whole source with CR LF folded to LF, so that a CR LF file assembles
// like its LF twin, and ends it with the two NULs the scanner's buffer needs.
// False when the file could not be read.
bool ReadSource(FILE* file, std::string& source);
struct Assembly;

// Starts scanning the run's source (as ReadSource left it) from its beginning;
// the scanner reads it in place, so a token of any length is scanned once.
void RestartScanner(Assembly& a);
// Goes on scanning at `offset`, at the start of a line or within one.
void PositionScanner(Assembly& a, uint32_t offset, bool atLineStart);
// Leaves the source text as written, for reading it beside the scanner.
void ReleaseScanner(Assembly& a);
// What every token leaves behind: the last token's text for the error
// report, and the line's listing text.
void NoteToken(Assembly& a, std::string_view text);
// A token's text as its rule reads it: a CR right before an LF is an LF. The
// last token's text and the listing text take it so too.
std::string_view FoldLineEnds(Assembly& a, std::string_view text);
void DestroyScanner(Assembly& a);
// The next token; its value is left in the run's token value.
int ScanToken(Assembly& a);

}  // namespace zernasm
