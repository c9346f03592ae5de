#pragma once
// Starts a tool without a shell and hands its output on while it runs, so a
// child that writes more than a pipe holds never blocks and nothing is lost.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace asmplugin {

// Largest piece of output handed to the sink at once.
inline constexpr std::size_t kOutputChunkSize = 4096;

using OutputSink = std::function<void(const char* chunk)>;

// Runs arguments[0] with the given arguments in the working folder (the
// current folder when empty); standard output and standard error both go to
// the sink, in order, as NUL-terminated chunks of at most kOutputChunkSize
// bytes. Returns the exit code once the child has ended, or nothing when it
// could not be started.
std::optional<int> runAndCapture(const std::vector<std::string>& arguments, const std::string& workingFolder,
                                 const OutputSink& sink);

}  // namespace asmplugin
