#include "Files.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace asmplugin {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    // Some file systems report a failed write only here.
    bool closeChecked() { return close(std::exchange(fd_, -1)) == 0; }

private:
    int fd_;
};

bool writeAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A name beside the file that no other writer uses; created with the
// permissions a new file gets.
std::optional<std::string> createUniqueBeside(const std::string& path, int& fd)
{
    static std::atomic<unsigned> serial{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = path + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(serial.fetch_add(1));
        fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return name;
        if (errno != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> readFile(const std::string& path)
{
    const Descriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0)
        return std::nullopt;
    std::string text;
    struct stat status {};
    if (fstat(file.get(), &status) == 0 && status.st_size > 0)
        text.reserve(static_cast<std::size_t>(status.st_size));
    char buffer[65536];
    while (true) {
        const ssize_t count = read(file.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            return text;
        text.append(buffer, static_cast<std::size_t>(count));
    }
}

bool replaceFile(const std::string& path, std::string_view text)
{
    int fd = -1;
    const auto temporary = createUniqueBeside(path, fd);
    if (!temporary)
        return false;
    Descriptor file(fd);
    if (writeAll(file.get(), text) && file.closeChecked()) {
        // Renamed over an existing file, the new one would be forced to the
        // disk at once by the file system, which costs more than the build's
        // own work on it.
        unlink(path.c_str());
        if (std::rename(temporary->c_str(), path.c_str()) == 0)
            return true;
    }
    unlink(temporary->c_str());
    return false;
}

}  // namespace asmplugin
