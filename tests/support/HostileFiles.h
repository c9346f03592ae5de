#pragma once
// Files that must never be read as if they were ordinary ones: a FIFO whose
// blocked reader is released after a grace period (so that code which would
// wait on it fails its test instead of hanging it), a sparse file that looks
// huge but takes no disk space, and a time limit for a call such a file could
// hold for ever.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <future>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace test_support {

class GuardedFifo {
public:
    explicit GuardedFifo(std::string path, std::chrono::milliseconds grace = std::chrono::seconds(3))
        : path_(std::move(path))
    {
        created_ = ::mkfifo(path_.c_str(), 0600) == 0;
        releaser_ = std::jthread([this, grace](std::stop_token stop) {
            const auto due = std::chrono::steady_clock::now() + grace;
            while (!stop.stop_requested()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                if (std::chrono::steady_clock::now() < due)
                    continue;
                // A writer that comes and goes ends a reader's wait with end of file.
                const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0)
                    ::close(fd);
            }
        });
    }
    ~GuardedFifo()
    {
        releaser_.request_stop();
        releaser_.join();
        ::unlink(path_.c_str());
    }
    GuardedFifo(const GuardedFifo&) = delete;
    GuardedFifo& operator=(const GuardedFifo&) = delete;

    bool created() const { return created_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    bool created_ = false;
    std::jthread releaser_;
};

// A file of the given size without data blocks; false when it cannot be made.
inline bool makeSparseFile(const std::string& path, std::uint64_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return false;
    const bool sized = ::ftruncate(fd, static_cast<off_t>(size)) == 0;
    ::close(fd);
    return sized;
}

// The call's result, run on a thread of its own. A call that has not returned
// within the limit (it waits for a reader of a FIFO, say) would never end the
// test: the process ends, with `blocked` on stderr.
template <class Call>
auto returnsWithin(std::chrono::seconds limit, const char* blocked, Call call)
{
    auto result = std::async(std::launch::async, std::move(call));
    if (result.wait_for(limit) != std::future_status::ready) {
        std::fprintf(stderr, "%s\n", blocked);
        std::_Exit(EXIT_FAILURE);
    }
    return result.get();
}

}  // namespace test_support
