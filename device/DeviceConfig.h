#pragma once
// What differs between chips of the family: one record per device object,
// filled from the device configuration file and read by the device and its
// link driver.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zern {

inline constexpr int kRegisterCount = 512;
inline constexpr int kModuleCount = 16;
inline constexpr int kMaxRegisterGroups = kRegisterCount;
inline constexpr int kMaxMemoryBanks = 256;
inline constexpr int kMaxContexts = 256;
inline constexpr int kPasswordBytes = 32;
inline constexpr int kMaxContextSwitchBytes = 32;
inline constexpr int kMaxCommandRecordBytes = 255;
// Erased flash, and the password of a context nothing was written to.
inline constexpr uint8_t kErasedByte = 0xFF;
// The adapter's clock divisor is 0x10000 - 14740000 / (kHz * 1000): above
// this the divisor leaves the four hex digits of the "V3" command.
inline constexpr int kMaxJtagClockKHz = 14740;

struct MemoryBank {
    std::string name;
    int32_t firstByteAddress = 0;
    int32_t engineBase = 0;
    int32_t widthBits = 0;
    int32_t words = 0;

    bool usable() const { return widthBits > 0; }
    // A word takes whole bytes, also when its width is not a multiple of
    // eight (a 12-bit word takes two), and words follow each other at that step.
    int32_t bytesPerWord() const { return (widthBits + 7) / 8; }
};

struct RegisterEntry {
    std::string name;
    int32_t widthBits = 0;
    std::string tableText;
    // Listed in the register table that the registers window shows; "0" otherwise.
    bool listed = false;
};

// One record of a pre-erase, post-erase or post-load command list.
using CommandRecord = std::vector<uint8_t>;
using CommandList = std::vector<CommandRecord>;

struct DeviceConfig {
    int32_t expectedEraseTime = 500;
    int32_t codeSize = 0x8000;
    int32_t dataSize = 0x800;
    int32_t romSize = 0x1000;
    int32_t processorFamily = 20;
    int32_t accumulators = 16;
    int32_t stackDepth = 16;
    std::array<uint32_t, kModuleCount> registerMasks{};
    int32_t deviceId = 0xFFFF;
    int32_t debugReadCount = 0;
    int32_t mailboxAddress = 0;
    int32_t jtagClockKHz = 200;
    int32_t aacceValue = 0;
    int32_t startupDelayMs = 5000;
    int32_t postLoadDelayMs = 0;
    std::string buildSwitches;
    int32_t contextSwitchByteCount = 0;
    std::array<uint8_t, kMaxContextSwitchBytes> contextSwitchBytes{};
    int32_t contextCount = 1;
    std::array<int32_t, 2> contextParameters{2, 0};
    // contextCount x 32 bytes, filled at run time by the loader.
    std::vector<uint8_t> loaderPasswords;
    std::array<int32_t, 3> testModeValues{};
    int32_t userCodeStart = 0;
    std::vector<MemoryBank> memoryBanks;
    uint8_t zncWorkaround = 0;
    uint8_t aacceFlag = 0;
    uint8_t testModeFlag = 0;
    uint8_t rlaPortFlag = 0;
    std::string rlaPortName;
    uint8_t postLoadFlag = 1;
    uint8_t eraseLastPage = 1;
    // Solbus links: the hyperdrive speed, and the driver's trace.
    int32_t hyperdrive = 0;
    int32_t debugTrace = 0;

    // Tables beside the settings.
    std::array<RegisterEntry, kRegisterCount> registers;
    std::vector<std::string> registerGroups;
    CommandList preEraseCommands;
    CommandList postEraseCommands;
    CommandList postLoadCommands;
};

}  // namespace zern
