#include <gtest/gtest.h>
#include <sstream>

#include "ConfigReader.h"
#include "HostileFiles.h"
#include "TestSupport.h"

namespace {

using device_tests::MessageRecorder;
using zern::DeviceConfig;

struct Parsed {
    DeviceConfig config;
    std::vector<std::string> messages;
};

Parsed parse(const std::string& text, DeviceConfig config = {}, bool libraryPathKnown = true)
{
    std::vector<std::string> messages;
    zern::ConfigMessages reporting{[&](const std::string& line) { messages.push_back(line); }, libraryPathKnown};
    std::istringstream stream(text);
    zern::parseDeviceConfig(stream, config, reporting);
    return {std::move(config), std::move(messages)};
}

std::string warning(int line)
{
    return "Warning: Unable to parse configuration file (Line " + std::to_string(line) + ")";
}

TEST(ConfigReader, SectionsAndNumberForms)
{
    const auto parsed = parse(
        "# comment\n"
        "  [registers]  \n"
        "8, 4, PSF, Flags, 16\n"
        "[DEVICE]\n"
        "AB\n"
        "[ACCUMULATORS]\n"
        "0x10\n"
        "[PROCESSOR_FAMILY]\n"
        "30\n"
        "[PRE-ERASE COMMANDS]\n"
        "010, 0x10,,12\n"
        "[BUILD SWITCHES]\n"
        "  -w32 -c  \n"
        "[AACCE HANDLER]\n"
        "2, 0x1234\n"
        "[ENTER TEST MODE]\n"
        "8, 3, 0x55\n"
        "[RLA PORT]\n"
        "COM5\n"
        "[DATA_SIZE]\n"
        "99\n");
    EXPECT_TRUE(parsed.messages.empty());
    const DeviceConfig& config = parsed.config;
    EXPECT_EQ(config.registers[260].name, "PSF");
    EXPECT_EQ(config.registers[260].tableText, "Flags");
    EXPECT_EQ(config.registers[260].widthBits, 16);
    EXPECT_EQ(config.registerMasks[8], 1u << 4);
    EXPECT_EQ(config.deviceId, 0xAB);
    EXPECT_EQ(config.accumulators, 16);
    EXPECT_EQ(config.processorFamily, 30);
    ASSERT_EQ(config.preEraseCommands.size(), 1u);
    EXPECT_EQ(config.preEraseCommands[0], (zern::CommandRecord{8, 16, 12}));
    EXPECT_EQ(config.buildSwitches, "-w32 -c");
    EXPECT_EQ(config.aacceFlag, 2);
    EXPECT_EQ(config.aacceValue, 0x1234);
    EXPECT_EQ(config.testModeValues, (std::array<int32_t, 3>{8, 3, 0x55}));
    EXPECT_EQ(config.testModeFlag, 1);
    EXPECT_EQ(config.rlaPortFlag, 1);
    EXPECT_EQ(config.rlaPortName, "COM5");
}

TEST(ConfigReader, ParseWarningsNameTheLineAndKeepTheValue)
{
    const auto parsed = parse("[ACCUMULATORS]\nabc\n[STACK_DEPTH]\n12x\n");
    EXPECT_EQ(parsed.messages, (std::vector<std::string>{warning(2), warning(4)}));
    EXPECT_EQ(parsed.config.accumulators, 16);
    EXPECT_EQ(parsed.config.stackDepth, 16);
    // Without a library path the warnings are not given.
    EXPECT_TRUE(parse("[ACCUMULATORS]\nabc\n", {}, false).messages.empty());
}

TEST(ConfigReader, UnknownSectionsAndValueLinesBeforeAnyKeywordAreIgnored)
{
    const auto parsed = parse("42\n[SOMETHING NEW]\n17\n[RING_FREQUENCY]\n5\n");
    EXPECT_TRUE(parsed.messages.empty());
    const DeviceConfig defaults;
    EXPECT_EQ(parsed.config.accumulators, defaults.accumulators);
    EXPECT_EQ(parsed.config.jtagClockKHz, defaults.jtagClockKHz);
    EXPECT_EQ(parsed.config.deviceId, defaults.deviceId);
}

TEST(ConfigReader, BadRegisterLineIsReportedEvenBeforeTheLibraryPathIsKnown)
{
    const auto parsed = parse("[REGISTERS]\n16, 0, X, X, 8\n3, 32, Y, Y, 8\n-1, 0, Z, Z, 8\n", {}, false);
    const std::string tail = ": Module number must be less than 16 and offset must be less than 32.";
    EXPECT_EQ(parsed.messages, (std::vector<std::string>{"Bad config file entry on line 2" + tail,
                                                         "Bad config file entry on line 3" + tail,
                                                         "Bad config file entry on line 4" + tail}));
    for (uint32_t mask : parsed.config.registerMasks)
        EXPECT_EQ(mask, 0u);
}

TEST(ConfigReader, MemoryBanksAssignSizesAndDropNullBanks)
{
    const auto parsed = parse(
        "[MEMORY BANKS]\n"
        "3\n"
        "Code, x, 0, 0x10000, 16, 0x4000, code\n"
        "Shadow, x, 0, null, 16, 0x400, data\n"
        "Data, x, 0x20, 0x100, 16, 0x200, data\n"
        "Rom, x, 0, 0x8000, 8, 0x800, rom\n"
        "Beyond, x, 0, 0, 8, 1, code\n");
    EXPECT_TRUE(parsed.messages.empty());
    const DeviceConfig& config = parsed.config;
    ASSERT_EQ(config.memoryBanks.size(), 2u);
    EXPECT_EQ(config.memoryBanks[0].name, "Code");
    EXPECT_EQ(config.memoryBanks[0].engineBase, 0x10000);
    EXPECT_EQ(config.memoryBanks[1].name, "Data");
    EXPECT_EQ(config.memoryBanks[1].firstByteAddress, 0x20);
    EXPECT_EQ(config.codeSize, 0x4000);
    // The dropped bank's type still set the size before the next line replaced it.
    EXPECT_EQ(config.dataSize, 0x200);
    // Lines beyond the announced count (less the dropped bank) are ignored.
    EXPECT_EQ(config.romSize, 0x1000);
}

TEST(ConfigReader, NullBankStillSetsItsSize)
{
    const auto parsed = parse("[MEMORY BANKS]\n1\nShadow, x, 0, null, 16, 0x400, data\n");
    EXPECT_TRUE(parsed.config.memoryBanks.empty());
    EXPECT_EQ(parsed.config.dataSize, 0x400);
}

TEST(ConfigReader, BankOfPartialBytesTakesWholeBytesAndOneWithoutWidthIsKeptUnusableWithAWarning)
{
    const auto parsed = parse("[MEMORY BANKS]\n2\nOdd, x, 0, 0, 12, 16, data\nZero, x, 0, 0, 0, 16, data\n");
    EXPECT_EQ(parsed.messages, (std::vector<std::string>{warning(4)}));
    ASSERT_EQ(parsed.config.memoryBanks.size(), 2u);
    EXPECT_TRUE(parsed.config.memoryBanks[0].usable());
    EXPECT_EQ(parsed.config.memoryBanks[0].bytesPerWord(), 2);
    EXPECT_FALSE(parsed.config.memoryBanks[1].usable());
}

TEST(ConfigReader, ClockOutsideTheAdaptersRangeIsRefused)
{
    DeviceConfig config;
    config.jtagClockKHz = 400;
    const auto parsed = parse("[JTAG CLOCK]\n0\n-5\n14741\nfast\n", config);
    EXPECT_EQ(parsed.messages, (std::vector<std::string>{warning(2), warning(3), warning(4), warning(5)}));
    EXPECT_EQ(parsed.config.jtagClockKHz, 400);
    EXPECT_EQ(parse("[JTAG CLOCK]\n14740\n").config.jtagClockKHz, 14740);
}

TEST(ConfigReader, NegativeOrHugeCountsAreRefused)
{
    const auto parsed = parse(
        "[REGISTER_GROUPS]\n-1\n[MEMORY BANKS]\n100000\n"
        "[HANDLE CONTEXT SWITCHES]\n0, 5000, 2, 0\n");
    EXPECT_EQ(parsed.messages, (std::vector<std::string>{warning(2), warning(4), warning(6)}));
    EXPECT_TRUE(parsed.config.registerGroups.empty());
    EXPECT_TRUE(parsed.config.memoryBanks.empty());
    EXPECT_EQ(parsed.config.contextCount, 1);
}

TEST(ConfigReader, ContextSwitchesAllocateOnePasswordPerContext)
{
    auto parsed = parse("[HANDLE CONTEXT SWITCHES]\n3, 0xF6, 1, 2, 4, 2, 0x10\n");
    EXPECT_EQ(parsed.config.contextSwitchByteCount, 3);
    EXPECT_EQ(parsed.config.contextSwitchBytes[0], 0xF6);
    EXPECT_EQ(parsed.config.contextSwitchBytes[2], 2);
    EXPECT_EQ(parsed.config.contextCount, 4);
    EXPECT_EQ(parsed.config.loaderPasswords.size(), 4u * 32);
    EXPECT_EQ(parsed.config.contextParameters, (std::array<int32_t, 2>{2, 0x10}));
    parsed = parse("[HANDLE CONTEXT SWITCHES]\n0, 0, 2, 0\n");
    EXPECT_EQ(parsed.config.contextCount, 1);
    EXPECT_EQ(parsed.config.loaderPasswords.size(), 32u);
}

TEST(ConfigReader, RegisterGroupsResetTheTableAndHoldTheAnnouncedCount)
{
    const auto parsed = parse("[REGISTERS]\n0, 1, A, TA, 16\n[REGISTER_GROUPS]\n3\nCore\nIO\n");
    ASSERT_EQ(parsed.config.registerGroups, (std::vector<std::string>{"Core", "IO", ""}));
    EXPECT_FALSE(parsed.config.registers[1].listed);
    EXPECT_EQ(parsed.config.registers[1].name, "A");
}

TEST(ConfigReader, CommandRecordsAreCappedAndEmptyOnesIgnored)
{
    std::string longLine = "1";
    for (int i = 0; i < 300; ++i)
        longLine += ",2";
    const auto parsed = parse("[POST-LOAD COMMANDS]\n" + longLine + "\n , , \n5\n");
    EXPECT_EQ(parsed.messages, (std::vector<std::string>{warning(2)}));
    ASSERT_EQ(parsed.config.postLoadCommands.size(), 2u);
    EXPECT_EQ(parsed.config.postLoadCommands[0].size(), 255u);
    EXPECT_EQ(parsed.config.postLoadCommands[1], (zern::CommandRecord{5}));
}

TEST(ConfigReader, UpaMailboxOnlyWithACount)
{
    EXPECT_EQ(parse("[UPA DEBUGGING]\n0\n0x40\n").config.mailboxAddress, 0);
    const auto parsed = parse("[UPA DEBUGGING]\n2\n0x40\n");
    EXPECT_EQ(parsed.config.debugReadCount, 2);
    EXPECT_EQ(parsed.config.mailboxAddress, 0x40);
}

TEST(ConfigReader, SecondReadReplacesRegistersAndKeepsWhatItLacks)
{
    auto first =
        parse("[JTAG CLOCK]\n100\n[REGISTERS]\n0,0,R0,T0,8\n[POST-LOAD COMMANDS]\n1,2\n[AACCE HANDLER]\n1,0\n");
    const auto second = parse("[ACCUMULATORS]\n8\n", first.config);
    EXPECT_EQ(second.config.jtagClockKHz, 100);
    EXPECT_EQ(second.config.accumulators, 8);
    EXPECT_TRUE(second.config.registers[0].name.empty());
    EXPECT_EQ(second.config.registerMasks[0], 0u);
    EXPECT_TRUE(second.config.postLoadCommands.empty());
    EXPECT_EQ(second.config.aacceFlag, 0);
}

class ConfigFileTest : public device_tests::TempFolderTest {};

TEST_F(ConfigFileTest, MissingFileIsReportedWithItsFullPathAndChangesNothing)
{
    zern::DeviceConfig config;
    config.accumulators = 3;
    std::vector<std::string> messages;
    zern::ConfigMessages reporting{[&](const std::string& line) { messages.push_back(line); }, true};
    const std::string library = (folder_ / "libZernJTAG.so").string();
    EXPECT_FALSE(zern::readDeviceConfigFile("absent.cfg", library, device_tests::kOptionsKey, config, reporting));
    EXPECT_EQ(messages,
              (std::vector<std::string>{"Unable to find configuration file: " + (folder_ / "absent.cfg").string()}));
    EXPECT_EQ(config.accumulators, 3);
    EXPECT_EQ(option("ConfigFile"), std::nullopt);
}

TEST_F(ConfigFileTest, RelativePathIsTakenBesideTheLibraryAndStored)
{
    writeFile("chip.cfg", "[ACCUMULATORS]\n4\n");
    zern::DeviceConfig config;
    const std::string library = (folder_ / "libZernJTAG.so").string();
    const auto hostFolder = std::filesystem::current_path();
    EXPECT_TRUE(zern::readDeviceConfigFile("chip.cfg", library, device_tests::kOptionsKey, config, {}));
    EXPECT_EQ(config.accumulators, 4);
    EXPECT_EQ(option("ConfigFile"), "chip.cfg");
    // The host's current folder is its own.
    EXPECT_EQ(std::filesystem::current_path(), hostFolder);
}

TEST_F(ConfigFileTest, WhatIsNoRegularFileIsRefusedByNameWithoutWaiting)
{
    test_support::GuardedFifo fifo((folder_ / "fifo.cfg").string());
    ASSERT_TRUE(fifo.created());
    std::filesystem::create_directory(folder_ / "folder.cfg");
    std::filesystem::create_symlink("/dev/zero", folder_ / "zero.cfg");
    const std::string library = (folder_ / "libZernJTAG.so").string();
    for (const char* name : {"fifo.cfg", "folder.cfg", "zero.cfg"}) {
        SCOPED_TRACE(name);
        zern::DeviceConfig config;
        config.accumulators = 3;
        std::vector<std::string> messages;
        zern::ConfigMessages reporting{[&](const std::string& line) { messages.push_back(line); }, true};
        EXPECT_FALSE(zern::readDeviceConfigFile(name, library, device_tests::kOptionsKey, config, reporting));
        EXPECT_EQ(messages, (std::vector<std::string>{"Unable to read configuration file " + (folder_ / name).string()
                                                      + ": not a regular file."}));
        EXPECT_EQ(config.accumulators, 3);
    }
    EXPECT_EQ(option("ConfigFile"), std::nullopt);
}

}  // namespace
