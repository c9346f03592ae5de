#pragma once
// The link driver a device object calls: one implementation per adapter
// (the serial-to-JTAG board, the Solbus adapter). bool results are true when
// done; code results are 0 done, -1 bad argument or not found, -2 link failure.

#include <array>
#include <cstddef>
#include <cstdint>

#include "DeviceConfig.h"

namespace zern {

inline constexpr int kLinkDone = 0;
inline constexpr int kLinkBadArgument = -1;
inline constexpr int kLinkFailure = -2;

class LinkDriver {
public:
    virtual ~LinkDriver() = default;

    // Clock, reset and entry into the debug engine; 0 or -2.
    virtual int initializeTarget() = 0;
    // The next program write erases the flash first.
    virtual void setErasePending() = 0;

    virtual bool readAllRegisters(std::array<int32_t, kRegisterCount>& values) = 0;
    virtual bool writeOneRegister(int module, int index, int32_t value) = 0;
    virtual int readInstructionPointer(int64_t& address) = 0;
    virtual int readMemoryCached(uint64_t byteAddress, size_t count, uint8_t* buffer) = 0;
    virtual int writeMemoryBlock(uint64_t byteAddress, size_t count, const uint8_t* data) = 0;
    virtual int readCodeCached(uint64_t wordAddress, size_t byteCount, uint8_t* buffer) = 0;

    virtual int setCodeBreakpoint(uint64_t address) = 0;
    virtual int clearCodeBreakpoint(uint64_t address) = 0;
    virtual int clearAllCodeBreakpoints() = 0;
    virtual bool findBreakpoint(uint64_t address) = 0;
    virtual bool setDataBreakpoint(int which, uint32_t address) = 0;

    virtual bool runTarget() = 0;
    virtual bool pollStatus(bool& halted) = 0;
    virtual bool breakTarget() = 0;
    virtual bool singleStep() = 0;

    // Program loading: 1..255 bytes of code at a byte address (0, -1 or -2),
    // then the configured post-load commands.
    virtual int writeProgramBlock(uint64_t byteAddress, size_t count, const uint8_t* data) = 0;
    virtual bool runPostLoadCommands() = 0;
};

}  // namespace zern
