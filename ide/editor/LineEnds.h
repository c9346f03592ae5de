#pragma once
// The line rule of source files: every line ends with CR LF, including the
// last one; CR LF, a lone LF and a lone CR each count as one line end. Every
// other byte, NUL included, is kept as it is.

#include <string>
#include <string_view>

std::string NormaliseLineEnds(std::string_view text);
