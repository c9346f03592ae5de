#include "PreprocessorRun.h"

#include <filesystem>
#include <map>
#include <system_error>

#include "ChildProcess.h"
#include "Files.h"
#include "ProgramFolder.h"
#include "Text.h"
#include "Tools.h"

namespace asmplugin {

namespace fs = std::filesystem;

PreprocessorCall preprocessorCall(const std::string& toolFolder, const std::string& sourcePath)
{
    return {{toolFolder + kPreprocessorProgram, "-e-", "-L", "-q", "-d", sourcePath},
            platform::folderOf(sourcePath),
            fs::path(sourcePath).replace_extension(".mpp").string()};
}

PreprocessorRun runPreprocessor(const PreprocessorCall& call)
{
    PreprocessorRun run;
    std::error_code ignored;
    fs::remove(call.outputPath, ignored);
    run.exitCode =
        runAndCapture(call.command, call.workingFolder, [&run](const char* chunk) { run.output.emplace_back(chunk); });
    if (run.exitCode == 0) {
        if (auto text = readFile(call.outputPath))
            run.lines = joinedLines(*text);
    }
    return run;
}

std::vector<std::optional<std::size_t>> sameOutputPredecessors(const std::vector<PreprocessorCall>& calls)
{
    std::vector<std::optional<std::size_t>> predecessors(calls.size());
    std::map<std::string, std::size_t> lastWriter;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        std::error_code error;
        const fs::path canonical = fs::weakly_canonical(calls[i].outputPath, error);
        const std::string key = error ? calls[i].outputPath : canonical.string();
        if (const auto earlier = lastWriter.find(key); earlier != lastWriter.end())
            predecessors[i] = earlier->second;
        lastWriter[key] = i;
    }
    return predecessors;
}

}  // namespace asmplugin
