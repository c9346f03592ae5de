#pragma once
// The link driver for the serial-to-JTAG adapter board: byte-level reads and
// writes with their deadlines, the board's text commands, and the chip's
// debug engine behind it. Every public operation holds the driver's mutex
// for its whole exchange.

#include <array>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "AbstractDevice.h"
#include "DeviceConfig.h"
#include "LinkDriver.h"
#include "LinkTiming.h"
#include "SerialPort.h"
#include "TrafficLog.h"
#include "WireRecord.h"

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
    int writeProgramBlock(uint64_t byteAddress, size_t count, const uint8_t* data) override;
    bool runPostLoadCommands() override;

    // Primitives; callers hold the mutex.
    bool writeBytes(const uint8_t* data, size_t count);
    bool writeText(const std::string& text);
    // Exactly count bytes within the transfer deadline.
    bool readBytes(uint8_t* buffer, size_t count);
    // Reads until the line is quiet.
    bool drainSerialInput(platform::SerialPort& port);
    // An empty line, the text, and the advice to check the connections.
    void reportLinkError(const std::string& text) const;
    void logLine(const std::string& text) const;

    bool erasePending() const { return erasePending_; }

    enum class TargetState : uint8_t { NotInDebug = 0, Loader = 1, Halted = 2, Running = 3, TestMode = 4 };
    TargetState targetState() const { return state_; }

    // Debug-engine steps that the public operations combine.
    bool haltTarget();
    bool resumeTarget();
    int resetDebugState();
    bool readOneRegister(int module, int index, int64_t& value);
    bool readMemoryBlock(uint64_t byteAddress, size_t count, uint8_t* buffer);

    // Boot loader and flash.
    bool enterLoader(bool sendPasswords);
    bool eraseFlash();
    int loaderWrite(uint64_t byteAddress, size_t count, const uint8_t* data, bool code);

private:
    using Bytes = std::vector<uint8_t>;
    using Page = std::array<uint8_t, 256>;
    // Pages read from the target; a page not in the map is stale.
    using PageCache = std::map<uint64_t, Page>;

    // Clock divisor and reset: once per driver, before the first debug record.
    int startBoard();
    bool writeTo(platform::SerialPort& port, const uint8_t* data, size_t count);
    bool readFrom(platform::SerialPort& port, uint8_t* buffer, size_t count, std::chrono::milliseconds allowed);

    // The RLA port: program data goes to a second serial port in framed writes.
    bool rlaMode() const { return config_.rlaPortFlag != 0; }
    bool openRlaPort();
    bool rlaWriteMemory(uint32_t address, const uint8_t* data, size_t count);
    bool rlaReadMemory(uint32_t address, uint8_t* buffer, size_t count);
    // Writes the bytes and reads the reply; the password bytes of a record
    // (maskFrom, maskCount) never reach the traffic log.
    bool exchange(const Bytes& bytes, size_t replyBytes, Bytes& reply);
    bool exchange(const Bytes& bytes, size_t replyBytes);
    bool exchange(const records::WireRecord& record, Bytes& reply);
    bool exchange(const records::WireRecord& record);
    records::Core core() const;
    std::array<uint8_t, kPasswordBytes> password(int context);
    bool status(uint8_t& statusByte);
    bool waitForLongStatus();
    // With the ZNC work-around, a read starts once the engine is ready and
    // counts only when the status after it confirms it.
    enum class Confirmation { Done, Again, Failed };
    bool readyToRead(const char* check);
    Confirmation confirmRead(const char* check);
    void invalidateCaches();
    bool selectContextPassword();
    bool repeatStepCommands();
    bool runAacceHandler();
    bool refreshMailbox();
    bool mailboxHoldsInstructionPointer() const;
    bool readCodeBlock(uint64_t byteAddress, Page& page);
    int readCached(PageCache& cache, uint64_t byteAddress, size_t count, uint8_t* buffer, bool code);
    bool writeMemoryWord(uint64_t byteAddress, uint8_t low, uint8_t high);
    bool dumpRegisters();
    bool is32Bit() const { return config_.processorFamily == 30; }
    bool loaderPrompt(const records::WireRecord& record, int tries);
    // The status byte, and the data byte before it when asked.
    bool loaderStatus(uint8_t& statusByte, bool longForm = false, uint8_t* detail = nullptr);
    void zncPromptAfterFailure();
    bool loaderInformation(bool code);
    bool runCommandList(const CommandList& list, const char* title);
    bool writeFixedPages(uint64_t byteAddress, size_t count, const uint8_t* data, bool code, bool extended);
    bool readLoaderPage(uint64_t pageAddress, bool code, bool extended, Bytes& page);
    bool writeVariable(uint64_t byteAddress, size_t count, const uint8_t* data, bool code, bool extended);
    int loaderWriteExtended(uint64_t byteAddress, size_t count, const uint8_t* data, bool code);
    void resetPasswords();
    // Asks the loader where each context's password lies in the flash.
    bool queryPasswordAddresses();
    // Keeps the written bytes that fall on a context's password.
    void capturePasswords(uint64_t byteAddress, size_t count, const uint8_t* data);
    uint8_t& passwordByte(int context, int offset);

    std::unique_ptr<platform::SerialPort> port_;
    std::unique_ptr<platform::SerialPort> rlaPort_;
    DeviceConfig& config_;
    DeviceMessageCallback log_;
    const LinkTiming& timing_;
    TrafficLog& trafficLog_;
    std::recursive_mutex mutex_;
    bool initialised_ = false;
    bool erasePending_ = true;

    TargetState state_ = TargetState::NotInDebug;
    bool breakRequested_ = false;
    std::array<std::optional<uint64_t>, 4> breakpointSlots_;
    std::array<int32_t, kRegisterCount> registers_{};
    bool registersStale_ = true;
    PageCache codePages_;
    PageCache dataPages_;
    std::array<uint8_t, 4> mailbox_{};
    int64_t aacceReturnAddress_ = 0;
    int32_t aacceSavedValue_ = 0;

    bool loaderFixedLength_ = false;
    size_t pageSize_ = 0;
    uint16_t loaderFlags_ = 0;
    // Byte address of each context's password, as the loader last told it.
    std::vector<uint64_t> passwordAddresses_;
};

}  // namespace zern
