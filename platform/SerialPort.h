#pragma once
// A serial port over POSIX termios: opened exclusively, raw, with reads that
// return as soon as any byte is there and wait a bounded time for the first.
//
// Port names: a name of the form "COMn" (n from 1, letters in any case) names
// the device /dev/ttyS<n-1>, so "COM1" is /dev/ttyS0. Every other name is
// taken as a device path as it stands (for example /dev/ttyUSB0 or a
// pseudo-terminal's /dev/pts/7).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

std::string serialDevicePath(const std::string& portName);

// DTR, RTS, break and baud-rate changes do not cross a pseudo-terminal, so a
// test installs an observer that hears of every such request, by device path.
class SerialLineObserver {
public:
    virtual ~SerialLineObserver() = default;
    virtual void dtrChanged(const std::string& devicePath, bool on) = 0;
    virtual void rtsChanged(const std::string& devicePath, bool on) = 0;
    virtual void breakSent(const std::string& devicePath) = 0;
    virtual void baudRateChanged(const std::string& devicePath, int baud) = 0;
};

// Installs the observer for this process (null removes it); returns the previous one.
SerialLineObserver* setSerialLineObserver(SerialLineObserver* observer);

class SerialPort {
public:
    // Opens an existing device for reading and writing, exclusively. Null on
    // failure, with the reason in error when given.
    static std::unique_ptr<SerialPort> open(const std::string& devicePath, std::string* error = nullptr);

    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    const std::string& devicePath() const { return path_; }

    // Raw 8N1 at the given rate, no flow control, receiver on, DTR and RTS on.
    bool configure(int baud);
    bool setBaudRate(int baud);
    // Modem lines that the device does not have (a pseudo-terminal) count as done.
    bool setDtr(bool on);
    bool setRts(bool on);
    bool sendBreak(int milliseconds);
    // Discards what was received and not yet read, and what is not yet sent.
    bool flush();
    // Discards only what was received and not yet read.
    bool discardInput();

    // How long read waits for the first byte.
    void setReadTimeout(int milliseconds) { readTimeoutMs_ = milliseconds; }
    int readTimeout() const { return readTimeoutMs_; }
    // How long write waits for room in the output queue before it fails.
    void setWriteTimeout(int milliseconds) { writeTimeoutMs_ = milliseconds; }
    // Waits at most the read time-out for the first byte, then takes what is
    // there, up to max bytes. Returns the count (0 when nothing came), or -1
    // when the port failed (for example, the far end hung up).
    long read(uint8_t* buffer, size_t max);
    // Reads until count bytes are in or the total time limit has passed, and
    // returns how many came (fewer when the limit passed or the far end went).
    size_t readWithin(uint8_t* buffer, size_t count, int totalMilliseconds);
    // Writes every byte; false when the port failed.
    bool write(const uint8_t* data, size_t count);

private:
    SerialPort(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    bool setModemLine(int line, bool on);

    int fd_;
    std::string path_;
    int readTimeoutMs_ = 0;
    int writeTimeoutMs_ = 10000;
};

}  // namespace platform
