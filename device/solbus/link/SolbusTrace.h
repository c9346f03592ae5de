#pragma once
// The Solbus link's trace file: every exchange with the chip's debug port
// under a time-stamped heading, bytes in hex. One file per process: the
// first open in a process starts it afresh, later opens (a new link) append.
// Only a regular file (or a new one) is opened, and never in a way that
// could wait, as for a FIFO without a reader.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace solbus {

class SolbusTrace {
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;
    // Where the file is, asked at each open.
    using PathOf = std::function<std::string()>;

    explicit SolbusTrace(
        std::string path, Clock clock = [] { return std::chrono::system_clock::now(); });
    SolbusTrace(PathOf path, Clock clock);
    ~SolbusTrace();
    SolbusTrace(const SolbusTrace&) = delete;
    SolbusTrace& operator=(const SolbusTrace&) = delete;

    // The trace of this process: "breldebug.txt" in the user's home
    // folder, or the one installed in its place.
    static SolbusTrace& process();
    // Puts a trace in place of the process's (null restores it); returns the previous one.
    static SolbusTrace* install(SolbusTrace* trace);
    std::string path() const { return pathOf_(); }

    // Opens the file unless it is open; why it could not be opened otherwise.
    std::optional<std::string> open();
    // "<seconds>:<milliseconds> " and the text; the dumps that follow count
    // their bytes from here. Opens the file when it is not open.
    void heading(const char* text);
    // Each byte as "%02x " (a masked one as "xx "); after every 32nd byte of
    // the heading that does not end the dump the line breaks and indents.
    void dump(std::span<const uint8_t> bytes, const std::vector<bool>& masked = {});
    // Text as it stands, when the file is open.
    void text(const char* text);
    bool isOpen() const;
    void close();

private:
    std::optional<std::string> openLocked();

    const PathOf pathOf_;
    const Clock clock_;
    mutable std::mutex mutex_;
    std::FILE* file_ = nullptr;
    bool openedBefore_ = false;
    size_t position_ = 0;
};

}  // namespace solbus
