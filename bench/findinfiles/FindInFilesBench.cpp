// Find in Files over a folder tree against grep -rnF on the same tree, in one
// run: the IDE's whole search (walk, read, match, result lines delivered to
// the window thread's model) timed until its last batch has arrived, grep
// timed until its output is drained. Prints the medians, their ratio and
// whether both found the same lines. The IDE's limits on the hits listed are
// lifted, so that both search the whole tree and list every hit.
// Usage: findinfiles_bench <folder> <text> [runs]

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "FindInFilesRun.h"
#include "FindResultsModel.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Outcome {
    double seconds = 0;
    long lines = 0;  // output lines of grep; distinct hit lines of the IDE
    long hits = 0;
};

// Runs the command with LC_ALL=C (bytes, as the IDE matches) and counts its output lines.
Outcome runCounting(const std::vector<std::string>& command)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::vector<char*> argv;
    for (const std::string& part : command)
        argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> environment = {"LC_ALL=C", "PATH=/usr/bin:/bin"};
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    const auto start = Clock::now();
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    Outcome outcome;
    if (spawned != 0) {
        ::close(pipeEnds[0]);
        std::fprintf(stderr, "cannot start %s\n", argv[0]);
        return outcome;
    }
    std::vector<char> buffer(1 << 16);
    ssize_t count = 0;
    while ((count = ::read(pipeEnds[0], buffer.data(), buffer.size())) > 0)
        outcome.lines += std::count(buffer.begin(), buffer.begin() + count, '\n');
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return outcome;
}

Outcome runIde(const std::string& folder, const std::string& text)
{
    findinfiles::SearchRequest request;
    request.text = text;
    request.rules = {true, false};
    request.field = folder;
    request.subfolders = true;
    request.currentFolder = folder;
    request.maxHitsPerFile = std::numeric_limits<std::size_t>::max();
    request.maxHits = std::numeric_limits<std::size_t>::max();

    FindResultsModel model;
    QEventLoop loop;
    const auto start = Clock::now();
    FindInFilesRun run(request);
    QObject::connect(&run, &FindInFilesRun::linesFound, &model, &FindResultsModel::append);
    QObject::connect(&run, &FindInFilesRun::finished, &loop, &QEventLoop::quit);
    loop.exec();
    Outcome outcome;
    outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();

    std::set<std::pair<QString, int>> lines;
    for (int row = 0; row < model.rowCount(); ++row)
        if (const auto& hit = model.lineAt(row).find) {
            ++outcome.hits;
            lines.emplace(hit->file, hit->line);
        }
    outcome.lines = static_cast<long>(lines.size());
    return outcome;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <folder> <text> [runs]\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const std::string text = argv[2];
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    const std::vector<std::string> grep = {"grep", "-rnF", "--", text, folder};

    // One untimed pass each brings the tree into the page cache.
    runCounting(grep);
    runIde(folder, text);

    std::vector<double> grepSeconds, ideSeconds;
    Outcome grepOutcome, ideOutcome;
    for (int i = 0; i < runs; ++i) {
        grepOutcome = runCounting(grep);
        ideOutcome = runIde(folder, text);
        grepSeconds.push_back(grepOutcome.seconds);
        ideSeconds.push_back(ideOutcome.seconds);
    }
    const Outcome grepHits = runCounting({"grep", "-rnoF", "--", text, folder});

    const double grepMedian = median(grepSeconds);
    const double ideMedian = median(ideSeconds);
    std::printf("text \"%s\", %d runs\n", text.c_str(), runs);
    std::printf("grep -rnF:     %8.3f s median, %ld lines (%ld hits by grep -o)\n", grepMedian, grepOutcome.lines,
                grepHits.lines);
    std::printf("Find in Files: %8.3f s median, %ld lines (%ld hits)\n", ideMedian, ideOutcome.lines, ideOutcome.hits);
    std::printf("ratio Find in Files / grep: %.2f\n", ideMedian / grepMedian);
    const bool same = grepOutcome.lines == ideOutcome.lines;
    std::printf("same hit lines: %s\n", same ? "yes" : "NO");
    return same ? 0 : 1;
}
