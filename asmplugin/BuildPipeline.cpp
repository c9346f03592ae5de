#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <filesystem>
#include <system_error>

#include "ChildProcess.h"
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

    std::vector<std::string> combined;
    for (const std::string& file : files) {
        if (!runPreprocessor(absolutePath(file), combined))
            return tolvane::kStatusFailed;
    }
    combined.emplace_back("end");

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

bool QuorinAssembler::runPreprocessor(const std::string& sourcePath, std::vector<std::string>& combined)
{
    if (!toolVersionMatches(kPreprocessorVersionFile, kPreprocessorVersion)) {
        messages_ = {"The installed version of macro.exe is not compatible with this version of Tolvane."};
        return false;
    }
    const std::vector<std::string> command = {toolFolder() + kPreprocessorProgram, "-e-", "-L", "-q", "-d", sourcePath};
    // As with the listing: an output left from an earlier run must never pass for this one.
    const std::string output = withExtension(sourcePath, ".mpp");
    std::error_code ignored;
    fs::remove(output, ignored);
    const auto exitCode = runTool(command, platform::folderOf(sourcePath));
    if (!exitCode) {
        messages_ = {"Unable to start macro preprocessor."};
        return false;
    }
    // Read at once: a later source with the same stem overwrites nothing of ours then.
    const auto preprocessed = *exitCode == 0 ? readLines(output) : std::nullopt;
    if (!preprocessed) {
        messages_ = {"Failure occurred while running macro preprocessor."};
        modules_.push_back({sourcePath, sourcePath});
        return false;
    }
    modules_.push_back({fs::path(sourcePath).stem().string(), sourcePath});
    combined.insert(combined.end(), preprocessed->begin(), preprocessed->end());
    return true;
}

bool QuorinAssembler::writeCombinedSource(const std::vector<std::string>& combined, const std::string& outputFolder,
                                          const std::string& projectName)
{
    combinedSourcePath_ = outputFolder + projectName + ".glb";
    QByteArray text;
    for (const std::string& line : combined) {
        text.append(line.data(), static_cast<qsizetype>(line.size()));
        text.append('\n');
    }
    QSaveFile file(QString::fromStdString(combinedSourcePath_));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
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
    const auto lines = readLines(listingPath_);
    ListingContents contents =
        asmplugin::readListing(lines.value_or(std::vector<std::string>{}), modules_, processorFamily_);
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
