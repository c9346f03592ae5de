#include "UserFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "UniqueDescriptor.h"

namespace platform {
namespace {

UserFileCheck refused(UserFileState state, std::string reason)
{
    return {state, std::move(reason)};
}

UserFileCheck checkStatus(const struct stat& status, std::uint64_t maxBytes)
{
    if (!S_ISREG(status.st_mode))
        return refused(UserFileState::NotRegular, kNotRegularFile);
    if (static_cast<std::uint64_t>(status.st_size) > maxBytes)
        return refused(UserFileState::TooLarge, sizeLimitText(maxBytes));
    return {UserFileState::Readable, {}};
}

UserFileCheck systemRefusal(int error)
{
    if (error == ENOENT || error == ENOTDIR)
        return refused(UserFileState::Missing, "no such file");
    return refused(UserFileState::Unreadable, std::strerror(error));
}

}  // namespace

std::string sizeLimitText(std::uint64_t maxBytes)
{
    if (maxBytes >= kMegabyte && maxBytes % kMegabyte == 0)
        return "larger than " + std::to_string(maxBytes / kMegabyte) + " MB";
    return "larger than " + std::to_string(maxBytes) + " bytes";
}

UserFileCheck checkUserFile(const std::string& path, std::uint64_t maxBytes)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return systemRefusal(errno);
    return checkStatus(status, maxBytes);
}

bool readUserFileInto(const std::string& path, std::uint64_t maxBytes, std::string& bytes, UserFileCheck* check)
{
    UserFileCheck local;
    UserFileCheck& result = check ? *check : local;
    bytes.clear();
    // Without O_NONBLOCK opening a FIFO waits for a writer.
    const UniqueDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.fd < 0) {
        result = systemRefusal(errno);
        return false;
    }
    struct stat status {};
    if (::fstat(file.fd, &status) != 0) {
        result = systemRefusal(errno);
        return false;
    }
    result = checkStatus(status, maxBytes);
    if (!result.readable())
        return false;

    // Read straight into the caller's buffer; one byte more than the size
    // shows the end without a further call when the file did not grow.
    constexpr size_t kMinimumRead = 65536;
    size_t filled = 0;
    bytes.resize(std::max(static_cast<size_t>(status.st_size) + 1, kMinimumRead));
    for (;;) {
        if (filled == bytes.size())
            bytes.resize(std::min<size_t>(bytes.size() * 2, maxBytes + 1));
        const ssize_t count = ::read(file.fd, bytes.data() + filled, bytes.size() - filled);
        if (count == 0)
            break;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            result = refused(UserFileState::Unreadable, std::strerror(errno));
            bytes.clear();
            return false;
        }
        filled += static_cast<size_t>(count);
        if (filled > maxBytes) {
            result = refused(UserFileState::TooLarge, sizeLimitText(maxBytes));
            bytes.clear();
            return false;
        }
    }
    bytes.resize(filled);
    return true;
}

UserFileForWriting openUserFileForWriting(const std::string& path, bool append)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
        return {nullptr, kNotRegularFile};
    // Without O_NONBLOCK a FIFO put there since the check would wait for a reader.
    const int flags = O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0)
        return {nullptr, std::strerror(errno)};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return {nullptr, kNotRegularFile};
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* stream = ::fdopen(fd, append ? "ab" : "wb");
    if (!stream) {
        const int error = errno;
        ::close(fd);
        return {nullptr, std::strerror(error)};
    }
    return {stream, {}};
}

std::optional<std::string> readUserFile(const std::string& path, std::uint64_t maxBytes, UserFileCheck* check)
{
    std::string bytes;
    if (!readUserFileInto(path, maxBytes, bytes, check))
        return std::nullopt;
    return bytes;
}

}  // namespace platform
