#include <filesystem>
#include <system_error>
#include <utility>

#include "ChildProcess.h"
#include "Files.h"
#include "OrderedJobs.h"
#include "PreprocessorRun.h"
#include "ProcessorFamily.h"
#include "ProgramFolder.h"
#include "QuorinAssembler.h"
#include "Text.h"
#include "Tools.h"

namespace asmplugin {
namespace {

namespace fs = std::filesystem;

// The project's folder when it exists, else the user's temporary folder.
std::optional<std::string> outputFolderFor(const std::string& projectPath)
{
    std::error_code error;
    const fs::path folder = fs::path(projectPath).parent_path();
    if (!folder.empty() && fs::is_directory(folder, error)) {
        const fs::path absolute = fs::absolute(folder, error);
        if (!error)
            return absolute.string() + "/";
    }
    const fs::path temporary = fs::temp_directory_path(error);
    if (error || temporary.empty())
        return std::nullopt;
    return temporary.string() + "/";
}

std::string withExtension(const std::string& path, const char* extension)
{
    return fs::path(path).replace_extension(extension).string();
}

std::string absolutePath(const std::string& path)
{
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return error ? path : absolute.string();
}

}  // namespace

int QuorinAssembler::build(const std::vector<std::string>& files, bool force, const std::string& projectPath)
{
    if (files.empty()) {
        messages_ = {"Project is empty."};
        return tolvane::kStatusFailed;
    }
    if (skipsBuilding(force))
        return tolvane::kStatusDone;

    firstBuild_ = false;
    modules_.clear();
    messages_.clear();

    std::string combined;
    if (!preprocessSources(files, combined))
        return tolvane::kStatusFailed;
    combined += "end\n";

    const auto outputFolder = outputFolderFor(projectPath);
    if (!outputFolder) {
        report("Unable to create output file.");
        return tolvane::kStatusFailed;
    }
    const std::string projectName = fs::path(projectPath).stem().string();
    if (!writeCombinedSource(combined, *outputFolder, projectName))
        return tolvane::kStatusFailed;

    if (!toolVersionMatches(kAssemblerVersionFile, kAssemblerVersion)) {
        messages_ = {"The installed version of zernasm.exe is not compatible with this version of Tolvane."};
        return tolvane::kStatusFailed;
    }
    programFilePath_ = *outputFolder + projectName + ".hex";
    listingPath_ = withExtension(combinedSourcePath_, ".lst");

    // A listing left from an earlier build must never pass for this one.
    std::error_code ignored;
    fs::remove(listingPath_, ignored);
    if (!runTool(assemblerCommand(), *outputFolder)) {
        messages_ = {"Unable to start assembler."};
        return tolvane::kStatusFailed;
    }
    messages_.clear();
    if (!readListing())
        return tolvane::kStatusFailed;
    if (!runPostCompileCommand())
        return tolvane::kStatusFailed;
    return tolvane::kStatusDone;
}

bool QuorinAssembler::skipsBuilding(bool force) const
{
    return !force && !firstBuild_ && settingsHasValue("SkipBuilding");
}

bool QuorinAssembler::preprocessSources(const std::vector<std::string>& files, std::string& combined)
{
    if (!toolVersionMatches(kPreprocessorVersionFile, kPreprocessorVersion)) {
        messages_ = {"The installed version of macro.exe is not compatible with this version of Tolvane."};
        return false;
    }
    const std::string tools = toolFolder();
    std::vector<std::string> sources;
    std::vector<PreprocessorCall> calls;
    for (const std::string& file : files) {
        sources.push_back(absolutePath(file));
        calls.push_back(preprocessorCall(tools, sources.back()));
    }

    // The runs overlap; their output and results are taken in file order, and
    // the first failure ends the build as if the later files never ran.
    std::vector<PreprocessorRun> runs(calls.size());
    bool succeeded = true;
    OrderedJobs jobs;
    jobs.count = calls.size();
    jobs.after = sameOutputPredecessors(calls);
    jobs.run = [&](std::size_t file) { runs[file] = runPreprocessor(calls[file]); };
    jobs.take = [&](std::size_t file) {
        succeeded = takePreprocessed(sources[file], std::exchange(runs[file], {}), combined);
        return succeeded;
    };
    runInOrder(jobs, processorCount());
    return succeeded;
}

bool QuorinAssembler::takePreprocessed(const std::string& sourcePath, const PreprocessorRun& run, std::string& combined)
{
    for (const std::string& chunk : run.output)
        report(chunk);
    if (!run.exitCode) {
        messages_ = {"Unable to start macro preprocessor."};
        return false;
    }
    if (!run.lines) {
        messages_ = {"Failure occurred while running macro preprocessor."};
        modules_.push_back({sourcePath, sourcePath});
        return false;
    }
    modules_.push_back({fs::path(sourcePath).stem().string(), sourcePath});
    combined += *run.lines;
    return true;
}

bool QuorinAssembler::writeCombinedSource(const std::string& combined, const std::string& outputFolder,
                                          const std::string& projectName)
{
    combinedSourcePath_ = outputFolder + projectName + ".glb";
    if (!replaceFile(combinedSourcePath_, combined)) {
        report("Unable to create output file: " + combinedSourcePath_);
        return false;
    }
    return true;
}

std::vector<std::string> QuorinAssembler::assemblerCommand() const
{
    std::vector<std::string> command = {toolFolder() + kAssemblerProgram, "-l", "-q", "-b"};
    if (processorFamily_ == kWideAddressFamily)
        command.emplace_back("-w32");
    else if (processorFamily_ != kNarrowFamily)
        command.emplace_back("-w");
    for (std::string& buildSwitch : splitCommandLine(buildSwitches_))
        command.push_back(std::move(buildSwitch));
    command.push_back(combinedSourcePath_);
    return command;
}

bool QuorinAssembler::readListing()
{
    hasDataFile_ = false;
    dataFilePath_.clear();
    sourceFiles_.clear();
    map_.clear();
    const std::string listingText = readFile(listingPath_).value_or(std::string());
    ListingContents contents = readListingText(listingText, modules_, processorFamily_);
    if (!contents.successful)
        return false;
    sourceFiles_ = std::move(contents.sourceFiles);
    map_ = std::move(contents.map);
    for (const std::string& warning : contents.warnings)
        report(warning);
    // ZernAsm writes a data file only when data was placed, and deletes an old one first.
    const fs::path listing(listingPath_);
    dataFilePath_ = (listing.parent_path() / (listing.stem().string() + "_d.hex")).string();
    std::error_code error;
    hasDataFile_ = fs::exists(dataFilePath_, error);
    return true;
}

bool QuorinAssembler::runPostCompileCommand()
{
    const auto text = settingsString("PostCompileCommand");
    if (!text)
        return true;
    std::vector<std::string> command = splitCommandLine(*text);
    if (command.empty())
        return true;
    std::string workingFolder;
    if (command.front().find('/') != std::string::npos) {
        command.front() = absolutePath(command.front());
        workingFolder = platform::folderOf(command.front());
    }
    if (!runTool(command, workingFolder)) {
        messages_ = {"Unable to launch post-compile program."};
        return false;
    }
    return true;
}

std::optional<int> QuorinAssembler::runTool(const std::vector<std::string>& arguments, const std::string& workingFolder)
{
    return runAndCapture(arguments, workingFolder, [this](const char* chunk) { report(chunk); });
}

}  // namespace asmplugin
