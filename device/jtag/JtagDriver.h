#pragma once
// The link driver for the serial-to-JTAG adapter board: the board's text
// commands and framing, and the chip's debug engine and boot loader behind
// it, composed of the shared link pieces. Every public operation holds the
// driver's mutex for its whole exchange.

#include <array>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "AbstractDevice.h"
#include "BoardPort.h"
#include "BootLoaderRecords.h"
#include "BreakpointSlots.h"
#include "ChipCore.h"
#include "CommandLists.h"
#include "ContextPasswords.h"
#include "DeviceConfig.h"
#include "EngineAccess.h"
#include "FlashSinceErase.h"
#include "LinkDriver.h"
#include "LinkMessages.h"
#include "LinkTiming.h"
#include "PageCache.h"
#include "SerialPort.h"
#include "TargetStartup.h"
#include "TargetState.h"
#include "TrafficLog.h"
#include "WireRecord.h"

namespace zern {

class JtagDriver final : public LinkDriver, private StartupSteps, private EngineAccess {
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

    bool erasePending() const;
    TargetState targetState() const;

    // Debug-engine steps that the public operations combine.
    bool haltTarget();
    bool resumeTarget() override;
    int resetDebugState();
    bool readOneRegister(int module, int index, int64_t& value) override;
    bool readMemoryBlock(uint64_t byteAddress, size_t count, uint8_t* buffer) override;

    // Boot loader and flash.
    bool enterLoader(bool sendPasswords);
    bool eraseFlash();
    int loaderWrite(uint64_t byteAddress, size_t count, const uint8_t* data, bool code);

private:
    using Bytes = std::vector<uint8_t>;
    using Page = PageCache::Page;

    // The start-up steps on the board: the target held in reset by a board
    // operation with the debug engine reset, and let go by another.
    bool holdTargetInReset() override;
    bool releaseTarget() override;

    // Clock divisor and reset: once per driver, before the first debug record.
    int startBoard();
    bool writeText(const std::string& text);
    std::chrono::milliseconds transferDeadline() const;

    // The RLA port: program data goes to a second serial port in framed writes.
    bool rlaMode() const { return config_.rlaPortFlag != 0; }
    bool openRlaPort();
    bool rlaWriteMemory(uint32_t address, const uint8_t* data, size_t count);
    bool rlaReadMemory(uint32_t address, uint8_t* buffer, size_t count);

    // Writes a record and reads its reply; the password bytes of a record
    // never reach the traffic log.
    bool exchange(const records::WireRecord& record, Bytes& reply);
    bool exchange(const records::WireRecord& record);
    chip::Core core() const { return chip::coreOf(config_.processorFamily); }
    bool is32Bit() const { return core() == chip::Core::Bits32; }
    bool status(uint8_t& statusByte);
    bool waitForLongStatus();
    // With the ZNC work-around, a read starts once the engine is ready and
    // counts only when the status after it confirms it.
    enum class Confirmation { Done, Again, Failed };
    bool readyToRead(const char* check);
    Confirmation confirmRead(const char* check);
    // With the ZNC work-around on the 32-bit core, a read is repeated until
    // its status pairs confirm it; `check` says what is being checked.
    bool readRegisterChecked(int module, int index, int64_t& value, const char* check);
    bool haltedOrHalt() override;
    // The halt that ends every entry into state 2.
    bool enterHalted();
    bool selectContextPassword();
    bool repeatStepCommands();
    bool runAacceHandler();
    bool refreshMailbox();
    bool mailboxHoldsInstructionPointer() const;
    bool readCodeBlock(uint64_t byteAddress, Page& page);
    bool readDataPage(uint64_t byteAddress, Page& page);
    bool writeMemoryWord(uint64_t byteAddress, uint8_t low, uint8_t high) override;
    bool dumpRegisters();
    bool loaderPrompt(const records::WireRecord& record, int tries);
    // The status byte, and the data byte before it when asked.
    bool loaderStatus(uint8_t& statusByte, bool longForm = false, uint8_t* detail = nullptr);
    void zncPromptAfterFailure();
    bool loaderInformation(bool code);
    bool writeFixedPages(uint64_t byteAddress, size_t count, const uint8_t* data, bool code, bool extended);
    // The loader's records for a read of `bytes` bytes, a page write and a
    // variable-length write in the form of the core and address; none when
    // they cannot be framed.
    std::optional<records::WireRecord> pageReadRecord(uint64_t byteAddress, uint8_t bytes, bool code,
                                                      bool extended) const;
    std::optional<records::WireRecord> pageWriteRecord(uint64_t pageAddress, bool code, bool extended,
                                                       std::span<const uint8_t> page) const;
    std::optional<records::loader::VariableWrite> variableRecords(uint64_t byteAddress, std::span<const uint8_t> bytes,
                                                                  bool code, bool extended) const;
    // Why the loader cannot take a write as it stands, checked before anything is sent.
    std::optional<std::string> loaderWriteRefusal(uint64_t byteAddress, std::span<const uint8_t> data, bool code,
                                                  bool extended) const;
    // Whether page reads take the older loaders' short form.
    bool shortPageRead(bool extended) const;
    // The bytes a read of pageReadRecord gives back; false without a record or on a link failure.
    bool readLoaderPage(const std::optional<records::WireRecord>& record, uint8_t bytes, bool extended, Bytes& page);
    // The page as it stands before a write that starts inside it: read back
    // where the loader can, else as this link knows it since its erase.
    bool pageBeforeWrite(uint64_t pageAddress, bool code, bool extended, Bytes& page);
    bool writeVariable(uint64_t byteAddress, size_t count, const uint8_t* data, bool code, bool extended);
    // The flash follows what the loader took; a code write that failed leaves it unknown.
    void keepWritten(bool code, bool written, uint64_t byteAddress, std::span<const uint8_t> bytes);
    int loaderWriteExtended(uint64_t byteAddress, size_t count, const uint8_t* data, bool code);
    // Asks the loader where each context's password lies in the flash.
    bool queryPasswordAddresses();
    void capturePasswords(uint64_t byteAddress, size_t count, const uint8_t* data);

    DeviceConfig& config_;
    const LinkTiming& timing_;
    TrafficLog& trafficLog_;
    LinkMessages messages_;
    BoardPort board_;
    std::unique_ptr<BoardPort> rlaPort_;
    mutable std::recursive_mutex mutex_;
    bool initialised_ = false;
    bool erasePending_ = true;

    TargetState state_ = TargetState::NotInDebug;
    bool breakRequested_ = false;
    BreakpointSlots breakpoints_;
    TargetCaches caches_;
    ContextPasswords passwords_;
    CommandListRunner commandLists_;
    std::array<uint8_t, 4> mailbox_{};
    int64_t aacceReturnAddress_ = 0;
    int32_t aacceSavedValue_ = 0;

    FlashSinceErase flash_;
    bool loaderFixedLength_ = false;
    size_t pageSize_ = 0;
    uint16_t loaderFlags_ = 0;
};

}  // namespace zern
