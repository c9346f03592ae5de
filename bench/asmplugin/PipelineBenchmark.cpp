// Times a whole plug-in build of a generated 20-file, 20,000-line project
// against ZernAsm alone on the same combined source, in one run.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "AbstractCompiler.h"
#include "ChildProcess.h"
#include "DynamicLibrary.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 20;
constexpr int kLinesPerFile = 1000;
constexpr int kRounds = 5;

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

template <typename Work>
double bestMilliseconds(Work&& work)
{
    double best = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        if (!work())
            return -1;
        const std::chrono::duration<double, std::milli> taken = std::chrono::steady_clock::now() - start;
        best = std::min(best, taken.count());
    }
    return best;
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

    const double pipeline =
        bestMilliseconds([&] { return compiler->Build(pointers.data(), kFiles, true, projectPath.c_str()) == 4; });
    if (pipeline < 0) {
        char** lines = nullptr;
        int count = 0;
        compiler->GetMessages(&lines, &count);
        std::printf("the pipeline build failed (%d message lines%s%s)\n", count, count ? ": " : "",
                    count ? lines[0] : "");
        return 1;
    }

    const fs::path combined = work / "alone" / "bench.glb";
    fs::copy_file(work / "project" / "bench.glb", combined, fs::copy_options::overwrite_existing);
    const std::vector<std::string> assembler = {
        (toolFolder / "ZernAsm").string(), "-l", "-q", "-b", "-w", combined.string()};
    const double alone = bestMilliseconds([&] {
        const auto exitCode = asmplugin::runAndCapture(assembler, (work / "alone").string(), countOutput);
        return exitCode && *exitCode == 0;
    });
    library.function<FreeCompilerInstanceFn>(kFreeCompilerInstanceExport)(compiler);
    fs::remove_all(work);
    if (alone < 0) {
        std::printf("ZernAsm alone failed on the combined source\n");
        return 1;
    }

    std::printf("project: %d files, %d lines; best of %d rounds\n", kFiles, kFiles * kLinesPerFile, kRounds);
    std::printf("whole pipeline (macro x%d, combine, ZernAsm, listing): %.1f ms\n", kFiles, pipeline);
    std::printf("ZernAsm alone on the combined source:                 %.1f ms\n", alone);
    std::printf("pipeline / ZernAsm alone: %.2f\n", pipeline / alone);
    return 0;
}
