#pragma once
// The link driver of the Solbus adapter: the chip's debug engine and boot
// loader reached through the chip's debug port on the bus, composed of the
// shared link pieces. Only the transport, the control word and the loader's
// framing are its own. Every public operation holds the lock of its port
// for the whole exchange; the driver closes the port when it goes.

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "AbstractDevice.h"
#include "BreakpointSlots.h"
#include "ChipCore.h"
#include "CommandLists.h"
#include "ContextPasswords.h"
#include "DebugTransport.h"
#include "DeviceConfig.h"
#include "EngineAccess.h"
#include "LinkDriver.h"
#include "LinkMessages.h"
#include "LinkTiming.h"
#include "LoaderCommands.h"
#include "PageCache.h"
#include "SolbusTrace.h"
#include "TargetStartup.h"
#include "TargetState.h"

namespace zern {

class SolbusRlaPort;

class SolbusDriver final : public LinkDriver, private StartupSteps, private EngineAccess {
public:
    // The port is open with the chip's debug port selected. The trace is
    // written only when the configuration asks for it.
    SolbusDriver(int port, DeviceConfig& config, DeviceMessageCallback log, const LinkTiming& timing,
                 solbus::SolbusTrace& trace);
    ~SolbusDriver() override;
    SolbusDriver(const SolbusDriver&) = delete;
    SolbusDriver& operator=(const SolbusDriver&) = delete;

    int port() const { return port_; }
    TargetState targetState() const;
    bool erasePending() const;

    // Start, run control and the target's state.
    int initializeTarget() override;
    bool haltTarget();
    bool resumeTarget() override;
    bool runTarget() override;
    bool breakTarget() override;
    bool pollStatus(bool& halted) override;
    bool singleStep() override;

    // Registers.
    bool readAllRegisters(std::array<int32_t, kRegisterCount>& values) override;
    bool readOneRegister(int module, int index, int64_t& value) override;
    bool writeOneRegister(int module, int index, int32_t value) override;
    int readInstructionPointer(int64_t& address) override;

    // Memory and code.
    bool readMemoryBlock(uint64_t byteAddress, size_t count, uint8_t* buffer) override;
    int readMemoryCached(uint64_t byteAddress, size_t count, uint8_t* buffer) override;
    int readCodeCached(uint64_t wordAddress, size_t byteCount, uint8_t* buffer) override;
    int writeMemoryBlock(uint64_t byteAddress, size_t count, const uint8_t* data) override;

    // Breakpoints: the four code slots, and the two data breakpoints.
    int setCodeBreakpoint(uint64_t address) override;
    bool findBreakpoint(uint64_t address) override;
    int clearCodeBreakpoint(uint64_t address) override;
    int clearAllCodeBreakpoints() override;
    bool setDataBreakpoint(int which, uint32_t address) override;

    // Boot loader and flash.
    void setErasePending() override;
    bool enterLoader(bool sendPasswords);
    bool eraseFlash();
    int writeProgramBlock(uint64_t byteAddress, size_t count, const uint8_t* data) override;
    bool runPostLoadCommands() override;

private:
    using Bytes = chip::Bytes;
    using Page = PageCache::Page;
    using Lock = std::lock_guard<std::recursive_mutex>;

    // The start-up steps over the control word: the target held in reset
    // with control bit 8 set, and bit 8 cleared once it runs again.
    bool holdTargetInReset() override;
    bool releaseTarget() override;

    chip::Core core() const { return chip::coreOf(config_.processorFamily); }
    bool is32Bit() const { return core() == chip::Core::Bits32; }

    bool send(const Bytes& command, bool carriesPassword = false);
    // The control word read and written back with lowBits set and bit 8 as
    // guard says (kept when empty).
    bool changeControl(uint8_t lowBits, std::optional<bool> guard);
    // Low byte 0x40, then `after`; the high byte kept.
    bool pulseReset(uint8_t after);
    // Into state 0, held in reset.
    bool resetThroughControl();
    // Out of reset into user code.
    bool startThroughControl();
    bool requestHalt();
    bool clearResetGuard();
    // A reset with bit 8 set, and the chip let out into its boot loader.
    bool resetIntoLoader();

    bool haltedOrHalt() override;
    bool enterHalted();
    bool contextStep();
    bool contextRestore();
    bool leaveLoader();
    bool refreshMarker();
    bool markerHoldsInstructionPointer() const;
    bool dumpRegisters();
    bool readCodeBlock(uint64_t byteAddress, Page& page);
    bool readDataPage(uint64_t byteAddress, Page& page);
    bool writeMemoryWord(uint64_t byteAddress, uint8_t low, uint8_t high) override;

    // The loader's "done" after a command; a status that never comes is
    // told as what the loader did not finish.
    bool loaderDone(const std::string& what);
    // Loader commands: the status byte, and the data byte before it when asked.
    bool loaderCommand(const Bytes& command, bool carriesPassword = false);
    bool loaderStatus(uint8_t& status, uint8_t* before = nullptr);
    bool loaderPrompt();
    // After loader entry: whether the loader's prompt came within five reads; nothing when a read failed.
    std::optional<bool> loaderAnnounced();
    bool unlockLoader();
    bool learnLoaderMode();
    int loaderWrite(uint64_t byteAddress, std::span<const uint8_t> data);
    bool writeFixedPages(uint64_t byteAddress, std::span<const uint8_t> data, chip::loader::Form form);
    bool fixedPageFits(chip::loader::Form form);
    bool writeVariable(uint64_t byteAddress, std::span<const uint8_t> data, chip::loader::Form form);
    // `count` bytes from a byte address (whole words in the word forms), as the flash holds them.
    std::optional<Bytes> readLoaderBytes(chip::loader::Form form, uint64_t byteAddress, size_t count);
    // The data widened to whole words, the address moved to the first of them.
    std::optional<Bytes> wholeWords(chip::loader::Form form, uint64_t& byteAddress, std::span<const uint8_t> data);
    bool queryPasswordAddresses();
    // The context passwords follow what was written where they lie.
    bool keepPasswords(uint64_t byteAddress, std::span<const uint8_t> data);
    bool rlaMode() const { return config_.rlaPortFlag != 0; }
    int rlaWrite(uint64_t byteAddress, std::span<const uint8_t> data);

    const int port_;
    // The port's own lock, so that the Solbus Tool's exchanges never cut
    // into the driver's; a driver without a port has one of its own.
    std::recursive_mutex ownMutex_;
    std::recursive_mutex& mutex_;
    DeviceConfig& config_;
    const LinkTiming& timing_;
    solbus::SolbusTrace* trace_;
    LinkMessages messages_;
    solbus::DebugTransport transport_;
    bool erasePending_ = true;

    TargetState state_ = TargetState::NotInDebug;
    BreakpointSlots breakpoints_;
    TargetCaches caches_;
    ContextPasswords passwords_;
    CommandListRunner commandLists_;
    // The four bytes at the [UPA DEBUGGING] address, read after each halt.
    std::array<uint8_t, 4> marker_{};

    bool loaderFixedLength_ = false;
    size_t pageBytes_ = 0;
    std::unique_ptr<SolbusRlaPort> rlaPort_;
};

}  // namespace zern
