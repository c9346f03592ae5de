#include "TrafficLog.h"

#include "UserFile.h"

namespace zern {

bool TrafficLog::open(const std::string& path)
{
    std::lock_guard lock(mutex_);
    closeLocked();
    // A folder, FIFO or device is no log file, and opening never waits for a FIFO's reader.
    stream_ = platform::openUserFileForWriting(path, false).stream;
    return stream_ != nullptr;
}

void TrafficLog::close()
{
    std::lock_guard lock(mutex_);
    closeLocked();
}

void TrafficLog::closeLocked()
{
    if (stream_)
        std::fclose(stream_);
    stream_ = nullptr;
}

bool TrafficLog::isOpen() const
{
    std::lock_guard lock(mutex_);
    return stream_ != nullptr;
}

void TrafficLog::log(TrafficDirection direction, const uint8_t* data, size_t count)
{
    std::lock_guard lock(mutex_);
    if (!stream_ || !(direction == TrafficDirection::Written ? logWrites : logReads))
        return;
    constexpr size_t kPerLine = 16;
    std::fputs(direction == TrafficDirection::Written ? "W: " : "R: ", stream_);
    std::string characters;
    for (size_t i = 0; i < count; ++i) {
        std::fprintf(stream_, "%02x ", data[i]);
        characters += data[i] >= 0x20 && data[i] < 0x7F ? static_cast<char>(data[i]) : '.';
        if ((i + 1) % kPerLine == 0 && i + 1 != count) {
            std::fprintf(stream_, ": %s\r\n   ", characters.c_str());
            characters.clear();
        }
    }
    for (size_t i = count; i % kPerLine != 0; ++i)
        std::fputs("   ", stream_);
    std::fprintf(stream_, ": %s\r\n", characters.c_str());
    std::fflush(stream_);
}

void TrafficLog::note(const char* text)
{
    std::lock_guard lock(mutex_);
    if (!stream_)
        return;
    std::fputs(text, stream_);
    std::fflush(stream_);
}

}  // namespace zern
