#include "SerialPorts.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <climits>
#include <thread>

#include "LinkErrors.h"
#include "SerialPort.h"
#include "SolbusTiming.h"

namespace solbus {
namespace {

class TermiosLine : public SerialLine {
public:
    explicit TermiosLine(std::unique_ptr<platform::SerialPort> port) : port_(std::move(port)) {}

    bool write(const uint8_t* data, size_t count, int timeoutMs) override
    {
        port_->setWriteTimeout(timeoutMs);
        return port_->write(data, count);
    }
    size_t read(uint8_t* buffer, size_t count, int timeoutMs) override
    {
        return port_->readWithin(buffer, count, timeoutMs);
    }
    // Writes have gone out whole before any purge, so only stale replies are
    // left to drop; clearing the output as well would lose bytes a
    // pseudo-terminal has not passed on yet.
    void purge() override { port_->discardInput(); }
    void sendBreak(int milliseconds) override { port_->sendBreak(milliseconds); }
    bool setBaudRate(int baud) override { return port_->setBaudRate(baud); }
    void dropDtr() override { port_->setDtr(false); }

private:
    std::unique_ptr<platform::SerialPort> port_;
};

std::array<std::unique_ptr<SerialLine>, kPortCount>& table()
{
    static std::array<std::unique_ptr<SerialLine>, kPortCount> entries;
    return entries;
}

bool indexInRange(int index)
{
    return index >= 0 && index < kPortCount;
}

// The open line of an entry, or null with code 115.
SerialLine* lineAt(int index)
{
    if (!serialPortIsOpen(index)) {
        PushLinkError(kErrorPortIndex);
        return nullptr;
    }
    return table()[index].get();
}

int transferLimitMs(int count)
{
    const long long limit = 1LL * count * solbusTiming().perByteMs + solbusTiming().transferBaseMs;
    return static_cast<int>(std::clamp(limit, 0LL, static_cast<long long>(INT_MAX)));
}

}  // namespace

int baudRateOfCode(int code)
{
    switch (code) {
    case kBaud19200:
        return 19200;
    case kBaud57600:
        return 57600;
    case kBaud115200:
        return 115200;
    default:
        return 9600;
    }
}

std::recursive_mutex* portLock(int index)
{
    static std::array<std::recursive_mutex, kPortCount> locks;
    return indexInRange(index) ? &locks[static_cast<size_t>(index)] : nullptr;
}

bool serialPortIsOpen(int index)
{
    return indexInRange(index) && table()[index] != nullptr;
}

int attachSerialLine(int index, std::unique_ptr<SerialLine> line)
{
    if (!indexInRange(index) || table()[index] || !line) {
        PushLinkError(kErrorPortIndex);
        return 0;
    }
    table()[index] = std::move(line);
    return 1;
}

int SerialOpenPort(int index, const std::string& portName)
{
    if (!indexInRange(index) || table()[index]) {
        PushLinkError(kErrorPortIndex);
        return 0;
    }
    std::unique_ptr<platform::SerialPort> port = platform::SerialPort::open(platform::serialDevicePath(portName));
    if (!port) {
        PushLinkError(kErrorAcquireResource);
        return 0;
    }
    if (!port->configure(baudRateOfCode(kBaud9600)) || !port->discardInput()) {
        PushLinkError(kErrorInitializeResource);
        return 0;
    }
    table()[index] = std::make_unique<TermiosLine>(std::move(port));
    return 1;
}

int SerialOpenFreePort(const std::string& portName)
{
    for (int index = 0; index < kPortCount; ++index) {
        if (!table()[index])
            return SerialOpenPort(index, portName) ? index : -1;
    }
    PushLinkError(kErrorPortIndex);
    return -1;
}

int SerialClosePort(int index)
{
    SerialLine* line = lineAt(index);
    if (!line)
        return -1;
    line->dropDtr();
    line->purge();
    table()[index].reset();
    return index;
}

void closeAllSerialPorts()
{
    for (std::unique_ptr<SerialLine>& entry : table())
        entry.reset();
}

void SerialPurge(int index)
{
    if (SerialLine* line = lineAt(index))
        line->purge();
}

int SerialWrite(int index, int count, const uint8_t* bytes)
{
    SerialLine* line = lineAt(index);
    if (!line || count < 0)
        return 0;
    return line->write(bytes, static_cast<size_t>(count), transferLimitMs(count)) ? 1 : 0;
}

int SerialRead(int index, int count, uint8_t* buffer)
{
    SerialLine* line = lineAt(index);
    if (!line || count <= 0)
        return 0;
    const size_t got = line->read(buffer, static_cast<size_t>(count), transferLimitMs(count));
    return static_cast<int>(std::min(got, static_cast<size_t>(count)));
}

void SerialSendBreak(int index)
{
    if (SerialLine* line = lineAt(index))
        line->sendBreak(solbusTiming().breakMs);
}

int SerialSetBaud(int index, int baudCode)
{
    SerialLine* line = lineAt(index);
    return line && line->setBaudRate(baudRateOfCode(baudCode)) ? 1 : 0;
}

void SerialSleep(int milliseconds)
{
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

uint32_t SerialTickCount()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace solbus
