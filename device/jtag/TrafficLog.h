#pragma once
// The JTAG link's traffic log: every byte written to and read from the
// adapter board, in hex and as characters, sixteen to a line.

#include <cstddef>
#include <cstdint>
#include <cstdio>
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

    bool open(const std::string& path) override;
    void close() override;
    bool isOpen() const override { return stream_ != nullptr; }

    bool logReads = true;
    bool logWrites = true;

    void log(TrafficDirection direction, const uint8_t* data, size_t count);
    // Free text between the traffic lines.
    void note(const char* text);

private:
    FILE* stream_ = nullptr;
};

}  // namespace zern
