#pragma once
// The link's traffic log: every byte written to and read from the adapter,
// in hex and as characters, sixteen to a line.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace zern {

enum class TrafficDirection { Read = 0, Written = 1 };

class TrafficLog {
public:
    TrafficLog() = default;
    ~TrafficLog() { close(); }
    TrafficLog(const TrafficLog&) = delete;
    TrafficLog& operator=(const TrafficLog&) = delete;

    // Starts logging into the file, replacing its content; false when it cannot be opened.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return stream_ != nullptr; }

    bool logReads = true;
    bool logWrites = true;

    void log(TrafficDirection direction, const uint8_t* data, size_t count);
    // Free text between the traffic lines.
    void note(const char* text);

private:
    FILE* stream_ = nullptr;
};

}  // namespace zern
