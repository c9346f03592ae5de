#pragma once
// Helpers of the scanner's rule actions.
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace zernasm {

// Value of a number token in any of the source forms (12, 12d, 101b, 0FFh).
int32_t NumberValue(std::string_view text);
// The number between the first "[" and the next "]"; -1 without brackets.
int32_t BracketIndex(std::string_view text);

// Restarts the scanner on a rewound input and frees its buffers on demand.
void RestartScanner(FILE* input);
void DestroyScanner();

}  // namespace zernasm
