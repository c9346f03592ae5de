#pragma once
// Whole-file reading and writing for the build's own files.

#include <optional>
#include <string>
#include <string_view>

namespace asmplugin {

// A whole file; nothing when it cannot be opened or read.
std::optional<std::string> readFile(const std::string& path);

// Writes the text under a new name beside the file, removes the file and
// renames the new one into its place, so that the file is never seen half
// written and a failed write leaves nothing behind. Not synced to the disk:
// every build makes these files again.
bool replaceFile(const std::string& path, std::string_view text);

}  // namespace asmplugin
