#pragma once
// One run of the macro preprocessor over one source. It touches nothing of
// the compiler object, so runs of several sources can go on at once; the
// build takes their results in file order.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace asmplugin {

struct PreprocessorCall {
    std::vector<std::string> command;
    std::string workingFolder;
    // Where the preprocessor leaves its output: the source path with ".mpp".
    std::string outputPath;
};

struct PreprocessorRun {
    // What the tool wrote, in the chunks the message callback gets.
    std::vector<std::string> output;
    // Nothing: the tool could not be started.
    std::optional<int> exitCode;
    // The output file's lines, each ended by a line feed; nothing when the
    // tool failed or its output cannot be read.
    std::optional<std::string> lines;
};

// "macro -e- -L -q -d <source>" from the tool folder, in the source's folder.
PreprocessorCall preprocessorCall(const std::string& toolFolder, const std::string& sourcePath);

// Removes an earlier output first, so that a tool that writes nothing never
// passes an old output off as this run's, and reads the output at once.
PreprocessorRun runPreprocessor(const PreprocessorCall& call);

// For each call, the latest earlier one that writes the same output file:
// those two must not run at the same time, nor out of order.
std::vector<std::optional<std::size_t>> sameOutputPredecessors(const std::vector<PreprocessorCall>& calls);

}  // namespace asmplugin
