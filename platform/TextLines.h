#pragma once
// A text read as lines whatever system wrote it: CR LF, a lone LF and a lone
// CR each end one line.

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The lines without their line ends; a final line end adds no line.
std::vector<std::string> splitLines(std::string_view text);

}  // namespace platform
