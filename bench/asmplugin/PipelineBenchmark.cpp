// Times a whole plug-in build of a generated 20-file, 20,000-line project
// against ZernAsm alone on the same combined source, in one run. The rounds
// alternate between the two, so that a busy machine weighs on both alike;
// medians and bests are printed, and the HEX files must match.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "AbstractCompiler.h"
#include "ChildProcess.h"
#include "DynamicLibrary.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 20;
constexpr int kLinesPerFile = 1000;
constexpr int kRounds = 15;
constexpr int kSingleStarts = 40;

std::size_t outputBytes = 0;

void countOutput(const char* text)
{
    outputBytes += std::char_traits<char>::length(text);
}

std::vector<std::string> generateProject(const fs::path& folder)
{
    std::vector<std::string> files;
    for (int file = 0; file < kFiles; ++file) {
        const fs::path path = folder / ("module" + std::to_string(file) + ".asm");
        std::ofstream out(path);
        for (int line = 0; line < kLinesPerFile; ++line) {
            if (line % 10 == 0)
                out << "; block " << line / 10 << " of module " << file << '\n';
            else if (line % 10 == 5)
                out << '\n';
            else
                out << "        NOP\n";
        }
        files.push_back(path.string());
    }
    return files;
}

struct Timings {
    std::vector<double> milliseconds;

    double median() const
    {
        std::vector<double> sorted = milliseconds;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
    double best() const { return *std::min_element(milliseconds.begin(), milliseconds.end()); }
};

// Runs the work once and adds its time; false when it failed.
template <typename Work>
bool timeOnce(Timings& timings, Work&& work)
{
    const auto start = std::chrono::steady_clock::now();
    if (!work())
        return false;
    const std::chrono::duration<double, std::milli> taken = std::chrono::steady_clock::now() - start;
    timings.milliseconds.push_back(taken.count());
    return true;
}

std::string contentsOf(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace

int main()
{
    const fs::path toolFolder = TOLVANE_ASM_DIR;
    if (!fs::exists(toolFolder / "ZernAsm")) {
        std::printf("ZernAsm not built\n");
        return 0;
    }
    const fs::path work = fs::temp_directory_path() / ("asmplugin-bench-" + std::to_string(getpid()));
    fs::create_directories(work / "project");
    fs::create_directories(work / "alone");
    fs::create_directories(work / "config");
    setenv("TOLVANE_PROGRAM_DIR", fs::path(TOLVANE_ASM_DIR).parent_path().parent_path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (work / "config").c_str(), 1);

    platform::DynamicLibrary library;
    if (!library.open((toolFolder / "libQuorinAssembler.so").string())) {
        std::printf("cannot load the plug-in: %s\n", library.lastError().c_str());
        return 1;
    }
    AbstractCompiler* compiler = library.function<GetCompilerInstanceFn>(kGetCompilerInstanceExport)();
    int runState = 1;
    CompilerSettings settings{0x10000, 0x10000, "", &countOutput, 20, "", &runState};
    compiler->Initialize(nullptr, &settings);

    const std::vector<std::string> files = generateProject(work / "project");
    std::vector<const char*> pointers;
    for (const std::string& file : files)
        pointers.push_back(file.c_str());
    const std::string projectPath = (work / "project" / "bench.prj").string();

    const auto build = [&] { return compiler->Build(pointers.data(), kFiles, true, projectPath.c_str()) == 4; };
    const fs::path combined = work / "alone" / "bench.glb";
    const std::vector<std::string> assembler = {
        (toolFolder / "ZernAsm").string(), "-l", "-q", "-b", "-w", combined.string()};
    const auto assembleAlone = [&] {
        const auto exitCode = asmplugin::runAndCapture(assembler, (work / "alone").string(), countOutput);
        return exitCode && *exitCode == 0;
    };
    // The first build makes the combined source that ZernAsm alone gets.
    Timings pipeline, alone, singleStart;
    bool failed = !build();
    if (!failed) {
        fs::copy_file(work / "project" / "bench.glb", combined, fs::copy_options::overwrite_existing);
        failed = !assembleAlone();
    }
    for (int round = 0; round < kRounds && !failed; ++round) {
        if (round % 2 == 0)
            failed = !timeOnce(pipeline, build) || !timeOnce(alone, assembleAlone);
        else
            failed = !timeOnce(alone, assembleAlone) || !timeOnce(pipeline, build);
    }
    const std::vector<std::string> preprocessor = {(toolFolder / "macro").string(), "-e-", "-L", "-q", "-d", files[0]};
    for (int start = 0; start < kSingleStarts && !failed; ++start) {
        failed = !timeOnce(singleStart, [&] {
            const auto exitCode = asmplugin::runAndCapture(preprocessor, (work / "project").string(), countOutput);
            return exitCode && *exitCode == 0;
        });
    }
    if (failed) {
        char** lines = nullptr;
        int count = 0;
        compiler->GetMessages(&lines, &count);
        std::printf("a build failed (%d message lines%s%s)\n", count, count ? ": " : "", count ? lines[0] : "");
        return 1;
    }
    const bool sameHex = contentsOf(work / "project" / "bench.hex") == contentsOf(work / "alone" / "bench.hex");
    library.function<FreeCompilerInstanceFn>(kFreeCompilerInstanceExport)(compiler);
    fs::remove_all(work);

    std::printf("project: %d files, %d lines; %d alternating rounds, %u processors\n", kFiles, kFiles * kLinesPerFile,
                kRounds, std::thread::hardware_concurrency());
    std::printf("                                                       median      best\n");
    std::printf("whole pipeline (macro x%d, combine, ZernAsm, listing): %6.1f ms %6.1f ms\n", kFiles, pipeline.median(),
                pipeline.best());
    std::printf("ZernAsm alone on the combined source:                 %6.1f ms %6.1f ms\n", alone.median(),
                alone.best());
    std::printf("one macro preprocessor start, one at a time:          %6.2f ms %6.2f ms\n", singleStart.median(),
                singleStart.best());
    std::printf("pipeline / ZernAsm alone: %.2f (medians), %.2f (bests)\n", pipeline.median() / alone.median(),
                pipeline.best() / alone.best());
    std::printf("HEX file of the pipeline and of ZernAsm alone: %s\n", sameHex ? "identical" : "DIFFERENT");
    return sameHex ? 0 : 1;
}
