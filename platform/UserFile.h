#pragma once
// Files that a user or a file names (projects, sources, program files,
// settings, configurations) are read only when they are regular files of a
// bounded size: a folder, a FIFO or a device such as /dev/zero is refused
// before anything could block or read without end. Logs and traces a user
// names are written only into regular files, on the same terms.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace platform {

inline constexpr std::uint64_t kMegabyte = 1024 * 1024;
// The refusal of a folder, a FIFO or a device, to follow the path in a message.
inline constexpr char kNotRegularFile[] = "not a regular file";

enum class UserFileState { Readable, Missing, NotRegular, TooLarge, Unreadable };

struct UserFileCheck {
    UserFileState state = UserFileState::Missing;
    // Why the file cannot be read, to follow the path in a message
    // ("not a regular file"); empty when it is readable.
    std::string reason;
    bool readable() const { return state == UserFileState::Readable; }
};

// Looks at the file without opening it (links are followed).
UserFileCheck checkUserFile(const std::string& path, std::uint64_t maxBytes);

// Reads the whole file. It is opened without blocking and checked on the open
// descriptor, so a file swapped for a FIFO or a device after a check is still
// refused; a file that grows past the limit while it is read is refused too.
std::optional<std::string> readUserFile(const std::string& path, std::uint64_t maxBytes, UserFileCheck* check);
// The same into a buffer the caller keeps, so that reading many files reuses
// one allocation; false (and an empty buffer) when the file is refused.
bool readUserFileInto(const std::string& path, std::uint64_t maxBytes, std::string& bytes, UserFileCheck* check);

// A file a user names, opened for writing: only a regular file or a new one.
struct UserFileForWriting {
    std::FILE* stream = nullptr;  // the caller's to close; null when refused
    std::string reason;           // why not: "not a regular file", or the system's text
};
// The file is opened without blocking and checked on the open descriptor, so
// a FIFO or a device put at the path after a check is refused too, never
// waited for. An existing file is emptied, unless the bytes are appended.
UserFileForWriting openUserFileForWriting(const std::string& path, bool append);

// "larger than 256 MB" for the size limit of a refusal.
std::string sizeLimitText(std::uint64_t maxBytes);

}  // namespace platform
