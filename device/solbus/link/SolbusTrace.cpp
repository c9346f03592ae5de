#include "SolbusTrace.h"

#include <cstdlib>

#include "UserFile.h"

namespace solbus {

SolbusTrace::SolbusTrace(std::string path, Clock clock)
    : SolbusTrace([path = std::move(path)] { return path; }, std::move(clock))
{}

SolbusTrace::SolbusTrace(PathOf path, Clock clock) : pathOf_(std::move(path)), clock_(std::move(clock)) {}

SolbusTrace::~SolbusTrace()
{
    close();
}

namespace {

SolbusTrace*& installed()
{
    static SolbusTrace* trace = nullptr;
    return trace;
}

}  // namespace

SolbusTrace& SolbusTrace::process()
{
    // A drive-relative name lands at the top of the drive: here the top of the user's own files.
    static SolbusTrace trace(
        [] {
            const char* home = std::getenv("HOME");
            return std::string(home && *home ? home : ".") + "/breldebug.txt";
        },
        [] { return std::chrono::system_clock::now(); });
    return installed() ? *installed() : trace;
}

SolbusTrace* SolbusTrace::install(SolbusTrace* trace)
{
    SolbusTrace* previous = installed();
    installed() = trace;
    return previous;
}

std::optional<std::string> SolbusTrace::open()
{
    std::lock_guard lock(mutex_);
    return openLocked();
}

std::optional<std::string> SolbusTrace::openLocked()
{
    if (file_)
        return std::nullopt;
    // Started afresh once per process; a later link adds to what the earlier ones wrote.
    const platform::UserFileForWriting opened = platform::openUserFileForWriting(pathOf_(), openedBefore_);
    if (!opened.stream)
        return opened.reason;
    file_ = opened.stream;
    openedBefore_ = true;
    return std::nullopt;
}

void SolbusTrace::heading(const char* text)
{
    std::lock_guard lock(mutex_);
    if (openLocked())
        return;
    const auto sinceEpoch = clock_().time_since_epoch();
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count();
    std::fprintf(file_, "%d:%d %s", static_cast<int>(milliseconds / 1000), static_cast<int>(milliseconds % 1000), text);
    position_ = 0;
}

void SolbusTrace::dump(std::span<const uint8_t> bytes, const std::vector<bool>& masked)
{
    std::lock_guard lock(mutex_);
    if (!file_)
        return;
    for (size_t i = 0; i < bytes.size(); ++i, ++position_) {
        if (i < masked.size() && masked[i])
            std::fputs("xx ", file_);
        else
            std::fprintf(file_, "%02x ", bytes[i]);
        if (position_ % 32 == 31 && i + 1 < bytes.size())
            std::fputs("\r\n                 ", file_);
    }
    std::fflush(file_);
}

void SolbusTrace::text(const char* text)
{
    std::lock_guard lock(mutex_);
    if (!file_)
        return;
    std::fputs(text, file_);
    std::fflush(file_);
}

bool SolbusTrace::isOpen() const
{
    std::lock_guard lock(mutex_);
    return file_ != nullptr;
}

void SolbusTrace::close()
{
    std::lock_guard lock(mutex_);
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
}

}  // namespace solbus
