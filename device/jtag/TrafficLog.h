#pragma once
// The JTAG link's traffic log: every byte written to and read from the
// adapter board, in hex and as characters, sixteen to a line. The Debug Log
// dialog starts and stops it on the window thread while a run may be writing
// to it on the worker thread, so the stream is only touched under a lock.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

#include "LinkLog.h"

namespace zern {

enum class TrafficDirection { Read = 0, Written = 1 };

class TrafficLog final : public LinkLog {
public:
    TrafficLog() = default;
    ~TrafficLog() override { close(); }
    TrafficLog(const TrafficLog&) = delete;
    TrafficLog& operator=(const TrafficLog&) = delete;

    // Only a regular file, or a new one.
    bool open(const std::string& path) override;
    void close() override;
    bool isOpen() const override;

    std::atomic<bool> logReads = true;
    std::atomic<bool> logWrites = true;

    void log(TrafficDirection direction, const uint8_t* data, size_t count);
    // Free text between the traffic lines.
    void note(const char* text);

private:
    void closeLocked();

    mutable std::mutex mutex_;
    FILE* stream_ = nullptr;
};

}  // namespace zern
