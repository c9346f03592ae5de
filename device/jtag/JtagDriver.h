#pragma once
// The link driver for the serial-to-JTAG adapter board: byte-level reads and
// writes with their deadlines, the board's text commands, and the chip's
// debug engine behind it. Every public operation holds the driver's mutex
// for its whole exchange.

#include <memory>
#include <mutex>
#include <string>

#include "AbstractDevice.h"
#include "DeviceConfig.h"
#include "LinkDriver.h"
#include "LinkTiming.h"
#include "SerialPort.h"
#include "TrafficLog.h"

namespace zern {

class JtagDriver final : public LinkDriver {
public:
    JtagDriver(std::unique_ptr<platform::SerialPort> port, DeviceConfig& config, DeviceMessageCallback log,
               const LinkTiming& timing, TrafficLog& trafficLog);
    // Tells an initialised board that the session ends, then closes the port
    // and the traffic log.
    ~JtagDriver() override;
    JtagDriver(const JtagDriver&) = delete;
    JtagDriver& operator=(const JtagDriver&) = delete;

    // The board answers "Q" with its firmware version; only version 1 fits.
    bool checkBoardVersion();

    int initializeTarget() override;
    void setErasePending() override;

    bool readAllRegisters(std::array<int32_t, kRegisterCount>& values) override;
    bool writeOneRegister(int module, int index, int32_t value) override;
    int readInstructionPointer(int64_t& address) override;
    int readMemoryCached(uint64_t byteAddress, size_t count, uint8_t* buffer) override;
    int writeMemoryBlock(uint64_t byteAddress, size_t count, const uint8_t* data) override;
    int readCodeCached(uint64_t wordAddress, size_t byteCount, uint8_t* buffer) override;
    int setCodeBreakpoint(uint64_t address) override;
    int clearCodeBreakpoint(uint64_t address) override;
    int clearAllCodeBreakpoints() override;
    bool findBreakpoint(uint64_t address) override;
    bool setDataBreakpoint(int which, uint32_t address) override;
    bool runTarget() override;
    bool pollStatus(bool& halted) override;
    bool breakTarget() override;
    bool singleStep() override;

    // Primitives; callers hold the mutex.
    bool writeBytes(const uint8_t* data, size_t count);
    bool writeText(const std::string& text);
    // Exactly count bytes within the transfer deadline.
    bool readBytes(uint8_t* buffer, size_t count);
    // Reads until the line is quiet.
    bool drainSerialInput();
    // An empty line, the text, and the advice to check the connections.
    void reportLinkError(const std::string& text) const;
    void logLine(const std::string& text) const;

    bool erasePending() const { return erasePending_; }

private:
    // Clock divisor and reset: once per driver, before the first debug record.
    int startBoard();

    std::unique_ptr<platform::SerialPort> port_;
    DeviceConfig& config_;
    DeviceMessageCallback log_;
    const LinkTiming& timing_;
    TrafficLog& trafficLog_;
    std::recursive_mutex mutex_;
    bool initialised_ = false;
    bool erasePending_ = true;
};

}  // namespace zern
