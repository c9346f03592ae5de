#include "UserFile.h"

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
        return refused(UserFileState::NotRegular, "not a regular file");
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

std::optional<std::string> readUserFile(const std::string& path, std::uint64_t maxBytes, UserFileCheck* check)
{
    UserFileCheck local;
    UserFileCheck& result = check ? *check : local;
    // Without O_NONBLOCK opening a FIFO waits for a writer.
    const UniqueDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.fd < 0) {
        result = systemRefusal(errno);
        return std::nullopt;
    }
    struct stat status {};
    if (::fstat(file.fd, &status) != 0) {
        result = systemRefusal(errno);
        return std::nullopt;
    }
    result = checkStatus(status, maxBytes);
    if (!result.readable())
        return std::nullopt;

    std::string bytes;
    bytes.reserve(static_cast<size_t>(status.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(file.fd, buffer, sizeof buffer);
        if (count == 0)
            break;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            result = refused(UserFileState::Unreadable, std::strerror(errno));
            return std::nullopt;
        }
        if (bytes.size() + static_cast<size_t>(count) > maxBytes) {
            result = refused(UserFileState::TooLarge, sizeLimitText(maxBytes));
            return std::nullopt;
        }
        bytes.append(buffer, static_cast<size_t>(count));
    }
    return bytes;
}

}  // namespace platform
