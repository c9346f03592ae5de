// The driver's records and the chip model were written separately from the
// documented protocol; a round trip through both catches a byte either got wrong.
#include <gtest/gtest.h>

#include "BootLoaderRecords.h"
#include "ChipModel.h"
#include "DebugEngineRecords.h"
#include "RegisterDump.h"
#include "Wire.h"

using namespace zern::records;
using zern::chipmodel::ChipModel;
using zern::chipmodel::ChipSettings;
using zern::chipmodel::CoreKind;
using zern::chipmodel::test::feedWire;

namespace {

std::vector<uint8_t> send(ChipModel& chip, const WireRecord& record)
{
    const std::vector<uint8_t> reply = feedWire(chip, record.bytes);
    EXPECT_GE(reply.size(), record.replyBytes);
    return reply;
}

class RecordsAgainstChip : public testing::TestWithParam<Core> {
protected:
    RecordsAgainstChip() : chip_(settings()) {}

    static ChipSettings settings()
    {
        ChipSettings settings;
        settings.core = GetParam() == Core::Bits32 ? CoreKind::Core32 : CoreKind::Core16;
        settings.codePageSize = GetParam() == Core::Bits32 ? 32 : 64;
        settings.dumpRegisterCount = 32;
        return settings;
    }

    void enterLoader()
    {
        send(chip_, engine::boardOperation(0x05));
        send(chip_, engine::debugReset());
        send(chip_, loader::loaderEntry());
        ASSERT_TRUE(loader::promptSeen(send(chip_, loader::prompt())));
    }

    Core core() const { return GetParam(); }
    ChipModel chip_;
};

TEST_P(RecordsAgainstChip, HaltWriteAndReadRegisters)
{
    send(chip_, engine::entryWithBreak());
    EXPECT_TRUE(engine::statusHalted(send(chip_, engine::status())));
    EXPECT_TRUE(engine::longStatusReady(send(chip_, engine::longStatus())));

    send(chip_, engine::registerWrite(core(), 13, 17, -2));
    const int64_t expected = core() == Core::Bits32 ? -2 : 0xFFFE;
    EXPECT_EQ(engine::registerReadValue(core(), send(chip_, engine::registerRead(core(), 13, 17))), expected);

    chip_.setRegister(0, 5, 0x1357);
    const uint8_t count = engine::registerDumpCount(core(), send(chip_, engine::registerDumpHead(core())));
    ASSERT_EQ(count, 32);
    const uint8_t perRegister = core() == Core::Bits32 ? 4 : 2;
    const std::vector<uint8_t> registers = dataBytes(send(chip_, fillerRecord(count * perRegister)));
    EXPECT_EQ(registers[5 * perRegister], 0x57);
    EXPECT_EQ(registers[5 * perRegister + 1], 0x13);
    send(chip_, fillerRecord(engine::specialRegisterBytes(core())));
    EXPECT_TRUE(engine::statusHalted(send(chip_, engine::status())));
}

TEST_P(RecordsAgainstChip, RegisterDumpDecodesWhatTheChipHolds)
{
    send(chip_, engine::entryWithBreak());
    const bool wide = core() == Core::Bits32;
    const std::vector<std::array<int, 3>> set = {
        {0, 31, 0x1234}, {8, 0, 0x5A},    {8, 4, wide ? 0xA1B2 : 0xB2},
        {8, 15, 0x7E},   {9, 0, 0x0102},  {9, 15, 0x7F0E},
        {12, 0, 0x0345}, {13, 6, 0x0606}, {15, 3, 0x0303},
    };
    for (const auto& [module, index, value] : set)
        chip_.setRegister(module, index, value);

    dump::RegisterFile registers{};
    const uint8_t count = engine::registerDumpCount(core(), send(chip_, engine::registerDumpHead(core())));
    const uint8_t perRegister = wide ? 4 : 2;
    for (int module = 0; module * dump::kRegistersPerChunk < count; ++module)
        dump::decodeRegisterChunk(core(), send(chip_, fillerRecord(dump::kRegistersPerChunk * perRegister)), module,
                                  registers);
    dump::decodeSpecialRegisters(core(), send(chip_, fillerRecord(engine::specialRegisterBytes(core()))), registers);
    for (const auto& [module, index, value] : set)
        EXPECT_EQ(registers[module * 32 + index], value) << module << " " << index;
    EXPECT_TRUE(engine::statusHalted(send(chip_, engine::status())));
}

TEST_P(RecordsAgainstChip, BreakpointHaltsARun)
{
    send(chip_, engine::entryWithBreak());
    chip_.setProgramCounter(0x100);
    send(chip_, *engine::setCodeBreakpoint(core(), 2, 0x180));
    send(chip_, engine::go());
    int polls = 0;
    while (!engine::statusHalted(send(chip_, engine::status())) && polls < 10)
        ++polls;
    EXPECT_EQ(chip_.programCounter(), 0x180u);
    send(chip_, engine::clearCodeBreakpoint(core(), 2));
    EXPECT_EQ(chip_.codeBreakpoints()[2], std::nullopt);
}

TEST_P(RecordsAgainstChip, MemoryWriteAndBlockRead)
{
    send(chip_, engine::entryWithBreak());
    send(chip_, *engine::memoryWrite(core(), 0x40, 0x11, 0x22));
    send(chip_, *engine::blockReadSetup(core(), 0x40, 1));
    EXPECT_EQ(dataBytes(send(chip_, fillerRecord(2))), (std::vector<uint8_t>{0x11, 0x22}));
}

TEST_P(RecordsAgainstChip, LoaderWritesAndReadsAPage)
{
    enterLoader();
    const loader::LoaderInformation info = loader::loaderInformation(send(chip_, loader::information()));
    ASSERT_TRUE(info.flags & loader::kFixedLength);
    const uint8_t pageBytes = core() == Core::Bits32 ? 2 * info.codePageSize : info.codePageSize;
    std::vector<uint8_t> page(pageBytes);
    for (size_t i = 0; i < page.size(); ++i)
        page[i] = static_cast<uint8_t>(i * 3);

    const uint64_t byteAddress = 0x1000;
    const auto write = core() == Core::Bits32 ? loader::fixedPage32(loader::Target::Code, byteAddress / 2, page)
                                              : loader::fixedPage16(loader::Target::Code, byteAddress, page);
    ASSERT_TRUE(write);
    send(chip_, *write);
    EXPECT_EQ(loader::statusByte(send(chip_, loader::statusAfterPage())), 0);
    EXPECT_TRUE(loader::promptSeen(send(chip_, loader::postWritePrompt())));

    const auto read = core() == Core::Bits32 ? loader::pageRead32(loader::Target::Code, byteAddress / 2, pageBytes)
                                             : loader::pageRead16(loader::Target::Code, byteAddress, pageBytes);
    ASSERT_TRUE(read);
    EXPECT_EQ(loader::pageReadData(send(chip_, *read), loader::pageReadDataPair(core(), false), pageBytes), page);
    EXPECT_TRUE(chip_.protocolErrors().empty());
}

TEST_P(RecordsAgainstChip, OddVariableLengthWriteProgramsItsLastByte)
{
    enterLoader();
    send(chip_, loader::extendedMode(true));
    const std::vector<uint8_t> bytes{0x10, 0x20, 0x30};
    const auto write = core() == Core::Bits32 ? loader::variableWrite32(loader::Target::Code, 0x900, bytes)
                                              : loader::variableWrite16Extended(loader::Target::Code, 0x900, bytes);
    ASSERT_TRUE(write);
    send(chip_, write->header);
    send(chip_, write->data);
    EXPECT_EQ(loader::statusByte(send(chip_, loader::status())), 0);
    EXPECT_EQ(chip_.code(0x1200, 4), (std::vector<uint8_t>{0x10, 0x20, 0x30, 0xFF}));
    send(chip_, loader::extendedMode(false));
}

TEST_P(RecordsAgainstChip, EraseThenLeaveTheLoader)
{
    enterLoader();
    chip_.setCode(0, {0x00});
    for (const WireRecord& record : loader::masterEraseStart())
        send(chip_, record);
    int polls = 0;
    while (!loader::promptSeen(send(chip_, loader::prompt())) && polls < 10)
        ++polls;
    EXPECT_EQ(chip_.code(0, 1), std::vector<uint8_t>{0xFF});
    EXPECT_EQ(loader::statusByte(send(chip_, loader::status())), 0);
    send(chip_, engine::loaderExit());
    EXPECT_FALSE(chip_.loaderActive());
}

INSTANTIATE_TEST_SUITE_P(BothCores, RecordsAgainstChip, testing::Values(Core::Bits16, Core::Bits32),
                         [](const testing::TestParamInfo<Core>& info) {
                             return info.param == Core::Bits32 ? std::string("Bits32") : std::string("Bits16");
                         });

TEST(RecordsAgainstChip32, ReturnAddressFixUpCompletesEveryStep)
{
    ChipSettings settings;
    settings.core = CoreKind::Core32;
    ChipModel chip(settings);
    send(chip, engine::entryWithBreak());
    chip.setData(0x7840, {0x5A, 0x00});
    chip.setData(0x1000, {0x78, 0x56, 0x34, 0x12});
    chip.setRegister(13, 1, 0x1000);

    const std::vector<uint8_t> saved = send(chip, engine::aacce::readSavedValue());
    EXPECT_TRUE(engine::aacce::done(saved));
    EXPECT_EQ(pairData(saved, 8), 0x5A);
    EXPECT_TRUE(engine::aacce::done(send(chip, engine::aacce::storeSavedValue(0x5A))));
    const std::vector<uint8_t> stack = send(chip, engine::aacce::readStackPointer());
    EXPECT_TRUE(engine::aacce::done(stack));
    EXPECT_EQ(littleEndianData(stack, 4, 4), 0x1000u);
    const std::vector<uint8_t> ret = send(chip, engine::aacce::readReturnAddress(0x1000));
    EXPECT_TRUE(engine::aacce::done(ret));
    EXPECT_EQ(littleEndianData(ret, 8, 4), 0x12345678u);
    EXPECT_TRUE(engine::aacce::done(send(chip, engine::aacce::writeStackPointer(0x0FFC))));
    EXPECT_TRUE(engine::aacce::done(send(chip, engine::aacce::pushValue(0x0FFC, 0x12345678))));
    EXPECT_EQ(chip.data(0x0FFC, 4), (std::vector<uint8_t>{0x78, 0x56, 0x34, 0x12}));
    EXPECT_TRUE(chip.protocolErrors().empty());
}

}  // namespace
