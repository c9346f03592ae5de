#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace asmplugin {
namespace {

// Checked while the pipe is quiet, so a grandchild that keeps the pipe open
// cannot hold the build once the tool itself has ended.
constexpr int kQuietPollMilliseconds = 50;

class FileActions {
public:
    FileActions() { ok_ = posix_spawn_file_actions_init(&actions_) == 0; }
    ~FileActions()
    {
        if (ok_)
            posix_spawn_file_actions_destroy(&actions_);
    }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;

    bool redirect(int outputFd, const std::string& workingFolder)
    {
        return ok_ && posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0) == 0
               && posix_spawn_file_actions_adddup2(&actions_, outputFd, 1) == 0
               && posix_spawn_file_actions_adddup2(&actions_, outputFd, 2) == 0
               && (workingFolder.empty()
                   || posix_spawn_file_actions_addchdir_np(&actions_, workingFolder.c_str()) == 0);
    }
    const posix_spawn_file_actions_t* get() const { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
    bool ok_ = false;
};

// The tool starts with no blocked signals and the default SIGPIPE action,
// whatever the host process set up for its own threads.
class SpawnAttributes {
public:
    SpawnAttributes()
    {
        sigset_t none;
        sigset_t pipeSignal;
        sigemptyset(&none);
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        ok_ = posix_spawnattr_init(&attributes_) == 0;
        if (ok_) {
            posix_spawnattr_setsigmask(&attributes_, &none);
            posix_spawnattr_setsigdefault(&attributes_, &pipeSignal);
            posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        }
    }
    ~SpawnAttributes()
    {
        if (ok_)
            posix_spawnattr_destroy(&attributes_);
    }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;

    const posix_spawnattr_t* get() const { return ok_ ? &attributes_ : nullptr; }

private:
    posix_spawnattr_t attributes_;
    bool ok_ = false;
};

// A new process placed by the scheduler often lands on an idle processor
// that takes milliseconds to wake, while the thread that starts it is about
// to sleep until it ends. So the start is held to this thread's processor,
// and both get the thread's own processor set back as soon as the child runs
// its program.
class StartOnThisProcessor {
public:
    StartOnThisProcessor()
    {
        const int processor = sched_getcpu();
        if (processor < 0 || sched_getaffinity(0, sizeof saved_, &saved_) != 0)
            return;
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(processor, &one);
        held_ = sched_setaffinity(0, sizeof one, &one) == 0;
    }
    ~StartOnThisProcessor() { release(0); }
    StartOnThisProcessor(const StartOnThisProcessor&) = delete;
    StartOnThisProcessor& operator=(const StartOnThisProcessor&) = delete;

    void release(pid_t child)
    {
        if (!held_)
            return;
        held_ = false;
        sched_setaffinity(0, sizeof saved_, &saved_);
        if (child > 0)
            sched_setaffinity(child, sizeof saved_, &saved_);
    }

private:
    cpu_set_t saved_;
    bool held_ = false;
};

// Reads what the pipe holds now; false at the end of the output.
bool forwardAvailable(int fd, const OutputSink& sink)
{
    char buffer[kOutputChunkSize + 1];
    const ssize_t count = read(fd, buffer, kOutputChunkSize);
    if (count < 0)
        return errno == EINTR || errno == EAGAIN;
    if (count == 0)
        return false;
    buffer[count] = '\0';
    sink(buffer);
    return true;
}

int exitCodeOf(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

std::optional<int> finishedExitCode(pid_t child, bool wait)
{
    int status = 0;
    pid_t result;
    do {
        result = waitpid(child, &status, wait ? 0 : WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == child)
        return exitCodeOf(status);
    if (result < 0)
        return -1;
    return std::nullopt;
}

void drainWithoutWaiting(int fd, const OutputSink& sink)
{
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    while (true) {
        char buffer[kOutputChunkSize + 1];
        const ssize_t count = read(fd, buffer, kOutputChunkSize);
        if (count <= 0)
            return;
        buffer[count] = '\0';
        sink(buffer);
    }
}

}  // namespace

std::optional<int> runAndCapture(const std::vector<std::string>& arguments, const std::string& workingFolder,
                                 const OutputSink& sink)
{
    if (arguments.empty())
        return std::nullopt;
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return std::nullopt;
    const int readEnd = pipeFds[0];
    const int writeEnd = pipeFds[1];

    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    FileActions actions;
    const SpawnAttributes attributes;
    pid_t child = 0;
    StartOnThisProcessor placement;
    const bool started = actions.redirect(writeEnd, workingFolder)
                         && posix_spawnp(&child, argv[0], actions.get(), attributes.get(), argv.data(), environ) == 0;
    placement.release(started ? child : 0);
    close(writeEnd);
    if (!started) {
        close(readEnd);
        return std::nullopt;
    }

    std::optional<int> exitCode;
    pollfd watch{readEnd, POLLIN, 0};
    while (true) {
        const int ready = poll(&watch, 1, kQuietPollMilliseconds);
        if (ready > 0) {
            if (!forwardAvailable(readEnd, sink))
                break;
        } else if (ready == 0 || errno != EINTR) {
            exitCode = finishedExitCode(child, false);
            if (exitCode) {
                drainWithoutWaiting(readEnd, sink);
                break;
            }
        }
    }
    close(readEnd);
    if (!exitCode)
        exitCode = finishedExitCode(child, true);
    return exitCode;
}

}  // namespace asmplugin
