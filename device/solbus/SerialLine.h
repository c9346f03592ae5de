#pragma once
// What the port table needs of one open serial line. The real one is a
// termios port; tests and the fuzzer put a fake line into an entry instead.

#include <cstddef>
#include <cstdint>

namespace solbus {

class SerialLine {
public:
    virtual ~SerialLine() = default;
    // True only when every byte went out within the time limit.
    virtual bool write(const uint8_t* data, size_t count, int timeoutMs) = 0;
    // How many of count bytes arrived within the time limit.
    virtual size_t read(uint8_t* buffer, size_t count, int timeoutMs) = 0;
    // Drops what was received and not yet read.
    virtual void purge() = 0;
    virtual void sendBreak(int milliseconds) = 0;
    virtual bool setBaudRate(int baud) = 0;
    virtual void dropDtr() = 0;
};

}  // namespace solbus
