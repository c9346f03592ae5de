#include <algorithm>
#include <gtest/gtest.h>

#include "BootLoaderRecords.h"
#include "DebugEngineRecords.h"
#include "RegisterDump.h"
#include "Wire.h"

using namespace zern::records;
using zern::chipmodel::test::hex;
using zern::chipmodel::test::countingBytes;
using zern::chipmodel::test::countingHex;
using zern::chipmodel::test::repeat;

namespace {

WireRecord expected(const std::string& bytes, uint32_t reply)
{
    return {hex(bytes), reply};
}

std::array<uint8_t, 32> passwordOf(uint8_t first)
{
    std::array<uint8_t, 32> password{};
    const std::vector<uint8_t> bytes = countingBytes(32, first);
    std::copy(bytes.begin(), bytes.end(), password.begin());
    return password;
}

TEST(DebugEngineRecords, FixedSequences)
{
    EXPECT_EQ(engine::debugEngineEntry(), expected("00 01 00 03 01 04 00 02 01 00 00 01 01 02 00 08 00 02", 12));
    EXPECT_EQ(engine::entryWithBreak(), expected("00 01 00 03 01 04 00 02 01 00 00 01 01 02 00 08 00 02 01 1F", 14));
    EXPECT_EQ(engine::testModeExit(), expected("00 01 00 03 01 02 00 08 00 02", 6));
    EXPECT_EQ(engine::loaderExit(), expected("11 01 00 09 00 06 00 06 00 06 00 06 00 06 00 0A 00 06", 18));
    EXPECT_EQ(engine::loaderQuit(), expected("01 01", 2));
    EXPECT_EQ(engine::debugReset(), expected("00 09 00 06 00 06 00 06 00 06 00 06 00 0A 00 06", 8));
    EXPECT_EQ(engine::boardOperation(0x05), expected("00 05", 1));
    EXPECT_EQ(engine::status(), expected("01 20", 2));
    EXPECT_EQ(engine::longStatus(), expected("10" + repeat("00", 16), 32));
    EXPECT_EQ(engine::breakRequest(), expected("01 1F", 2));
    EXPECT_EQ(engine::step(), expected("01 26", 2));
    EXPECT_EQ(engine::go(), expected("01 27", 2));
}

TEST(DebugEngineRecords, RegistersOfBothCores)
{
    EXPECT_EQ(engine::registerRead(Core::Bits16, 8, 0), expected("06 29 08 00 20 20 20", 12));
    EXPECT_EQ(engine::registerRead(Core::Bits16, 13, 1), expected("06 29 1D 00 20 20 20", 12));
    EXPECT_EQ(engine::registerRead(Core::Bits32, 12, 0), expected("08 29 0C 00 20 20 20 20 20", 16));
    EXPECT_EQ(engine::registerRead(Core::Bits16, 13, 17), expected("06 29 1D 01 20 20 20", 12));
    EXPECT_EQ(engine::registerWrite(Core::Bits16, 8, 0, 0x1234), expected("05 24 08 00 34 12", 10));
    EXPECT_EQ(engine::registerWrite(Core::Bits32, 13, 1, 0x12345678), expected("07 24 1D 00 78 56 34 12", 14));

    const std::vector<uint8_t> reply = hex("03 29 03 1D 03 00 03 00 03 FF 03 FF 03 FF 03 FF");
    EXPECT_EQ(engine::registerReadValue(Core::Bits32, reply), -1);
    EXPECT_EQ(engine::registerReadValue(Core::Bits16, reply), 0xFFFF);
    EXPECT_TRUE(engine::registerReadStatusGood(reply));
    EXPECT_FALSE(engine::registerReadStatusGood(hex("03 29 03 1D 03 00 03 00 03 FF 02 FF 03 FF 03 FF")));
}

TEST(DebugEngineRecords, MemoryRecordsRefuseAddressesThatDoNotFit)
{
    EXPECT_EQ(engine::memoryWrite(Core::Bits16, 0x10, 0xCD, 0xAB), expected("05 25 10 00 CD AB", 10));
    EXPECT_EQ(engine::memoryWrite(Core::Bits32, 0x10, 0xCD, 0xAB), expected("07 25 10 00 00 00 CD AB", 14));
    EXPECT_EQ(engine::memoryWrite(Core::Bits16, 0x10000, 0, 0), std::nullopt);
    EXPECT_EQ(engine::memoryWrite(Core::Bits32, 0x100000000, 0, 0), std::nullopt);
    EXPECT_EQ(engine::blockReadSetup(Core::Bits16, 0x100, 128), expected("06 22 00 01 80 00 20", 12));
    EXPECT_EQ(engine::blockReadSetup(Core::Bits32, 0x800080, 128), expected("08 22 80 00 80 00 80 00 20", 16));
    EXPECT_EQ(engine::blockReadSetup(Core::Bits16, 0x18000, 128), std::nullopt);
}

TEST(DebugEngineRecords, DumpPasswordAndBreakpoints)
{
    EXPECT_EQ(engine::registerDumpHead(Core::Bits16), expected("03 21 20 20", 6));
    EXPECT_EQ(engine::registerDumpHead(Core::Bits32), expected("04 21 20 20 20", 8));
    EXPECT_EQ(engine::registerDumpCount(Core::Bits16, hex("03 21 03 00 03 80")), 0x80);
    EXPECT_EQ(engine::registerDumpCount(Core::Bits32, hex("03 21 03 00 03 00 03 40")), 0x40);
    EXPECT_EQ(fillerRecord(3), expected("03 20 20 20", 6));
    EXPECT_EQ(engine::contextPassword(passwordOf(0xA0)), expected("21 28" + countingHex(32, 0xA0), 66));

    EXPECT_EQ(engine::setCodeBreakpoint(Core::Bits16, 0, 0x1234), expected("05 15 34 12 11 80", 10));
    EXPECT_EQ(engine::setCodeBreakpoint(Core::Bits32, 1, 0x123456), expected("06 16 56 34 12 11 80", 12));
    EXPECT_EQ(engine::setCodeBreakpoint(Core::Bits16, 0, 0x10000), std::nullopt);
    EXPECT_EQ(engine::clearCodeBreakpoint(Core::Bits16, 0), expected("03 15 FF FF", 6));
    EXPECT_EQ(engine::clearCodeBreakpoint(Core::Bits32, 3), expected("04 18 FF FF FF", 8));
    EXPECT_EQ(engine::setDataBreakpoint(1, 0x12345678), expected("07 1A 78 56 34 12 11 80", 14));
}

TEST(DebugEngineRecords, ReturnAddressFixUpIsPaddedToItsAnnouncedLengths)
{
    EXPECT_EQ(engine::aacce::readSavedValue(), expected("0B 22 20 3C 00 00 01 00 00 00 20 20", 22));
    EXPECT_EQ(engine::aacce::storeSavedValue(0x015A), expected("09 25 1A 3C 00 00 5A 01 20 20", 18));
    EXPECT_EQ(engine::aacce::readStackPointer(), expected("09 29 1D 00 20 20 20 20 20 20", 18));
    EXPECT_EQ(engine::aacce::readReturnAddress(0x1000), expected("0D 22 00 08 00 00 02 00 20 20 20 20 20 20", 26));
    EXPECT_EQ(engine::aacce::writeStackPointer(0x0FFC), expected("09 24 1D 00 FC 0F 00 00 20 20", 18));
    EXPECT_EQ(engine::aacce::pushValue(0x0FFC, 0x44332211),
              expected("10 25 FE 07 00 00 11 22 25 FF 07 00 00 33 44 20 20", 32));
}

TEST(BootLoaderRecords, FixedRecords)
{
    EXPECT_EQ(loader::loaderEntry(), expected("00 01 00 03 01 04 00 02 01 01 00 06 00 04 00 01 01 02 00 02 00 08", 14));
    EXPECT_EQ(loader::testModeOn(), expected("00 01 00 03 01 06 00 02 00 13 01 01 00 04", 9));
    EXPECT_EQ(loader::testModeOff(), expected("00 01 00 03 01 06 00 02 00 13 01 00 00 05", 9));
    EXPECT_EQ(loader::prompt(), expected("01 00", 2));
    EXPECT_EQ(loader::promptBeforeWrite(), expected("02 00 00", 4));
    EXPECT_EQ(loader::postWritePrompt(), expected("05 00 00 00 00 00", 10));
    EXPECT_EQ(loader::status(), expected("04 04 00 00 00", 8));
    EXPECT_EQ(loader::statusAfterPage(), expected("05 04 00 00 00 00", 10));
    EXPECT_EQ(loader::information(), expected("06 05 00 00 00 00 00", 12));
    EXPECT_EQ(loader::masterEraseStart()[0], expected("01 02", 2));
    EXPECT_EQ(loader::masterEraseStart()[1], expected("01 00", 2));
    EXPECT_EQ(loader::eraseLastBlock(0x8000), expected("05 E0 00 7F 00 00", 10));
    EXPECT_EQ(loader::unlock(passwordOf(1)), expected("21 03" + countingHex(32, 1), 66));
    EXPECT_EQ(loader::extendedMode(true), expected("03 0A 01 00", 6));
    EXPECT_EQ(loader::extendedMode(false), expected("03 0A 00 00", 6));
}

TEST(BootLoaderRecords, AnswersInTheReplies)
{
    EXPECT_TRUE(loader::promptSeen(hex("03 3E")));
    EXPECT_TRUE(loader::promptSeen(hex("03 00 03 00 03 00 03 00 03 3E")));
    EXPECT_FALSE(loader::promptSeen(hex("03 3E 03 00")));
    EXPECT_EQ(loader::statusByte(hex("03 04 03 00 03 00 03 07")), 7);
    const loader::LoaderInformation info = loader::loaderInformation(hex("03 05 03 00 03 02 03 46 03 40 03 20"));
    EXPECT_EQ(info.flags, 0x4602);
    EXPECT_EQ(info.codePageSize, 0x40);
    EXPECT_EQ(info.dataPageSize, 0x20);
    EXPECT_EQ(loader::pageReadDataPair(Core::Bits16, false), 0u);
    EXPECT_EQ(loader::pageReadDataPair(Core::Bits16, true), 6u);
    EXPECT_EQ(loader::pageReadDataPair(Core::Bits32, false), 6u);
}

TEST(BootLoaderRecords, PageRecords)
{
    const std::vector<uint8_t> four = hex("01 02 03 04");
    EXPECT_EQ(loader::fixedPage16(loader::Target::Code, 0x0040, four), expected("08 90 04 40 00 01 02 03 04", 16));
    EXPECT_EQ(loader::pageRead16(loader::Target::Data, 0x0040, 4), expected("08 A1 04 40 00 20 20 20 20", 16));
    EXPECT_EQ(loader::shortPageRead16(loader::Target::Code, 0x0040, 4),
              expected("0C 20 01 40 00 04" + repeat("20", 7), 24));
    EXPECT_EQ(loader::fixedPage16Extended(loader::Target::Code, 0x9000, four),
              expected("08 90 02 00 90 01 02 03 04", 16));
    EXPECT_EQ(loader::pageRead16Extended(loader::Target::Code, 0x9000, 4), expected("08 A0 02 00 90 20 20 20 20", 16));
    EXPECT_EQ(loader::fixedPage32(loader::Target::Code, 0x800, four), expected("0A 90 02 00 00 08 00 01 02 03 04", 20));
    EXPECT_EQ(loader::pageRead32(loader::Target::Data, 0x800, 4), expected("0A A1 02 00 00 08 00 20 20 20 20", 20));
}

TEST(BootLoaderRecords, PagesThatDoNotFitAreRefused)
{
    EXPECT_EQ(loader::fixedPage16(loader::Target::Code, 0, std::vector<uint8_t>(252, 0)), std::nullopt);
    EXPECT_NE(loader::fixedPage16(loader::Target::Code, 0, std::vector<uint8_t>(251, 0)), std::nullopt);
    EXPECT_EQ(loader::fixedPage16(loader::Target::Code, 0, {}), std::nullopt);
    EXPECT_EQ(loader::pageRead16(loader::Target::Code, 0, 0), std::nullopt);
    EXPECT_EQ(loader::pageRead16(loader::Target::Code, 0, 252), std::nullopt);
    EXPECT_EQ(loader::shortPageRead16(loader::Target::Code, 0, 248), std::nullopt);
    EXPECT_EQ(loader::fixedPage16Extended(loader::Target::Code, 0, hex("01 02 03")), std::nullopt);
    EXPECT_EQ(loader::fixedPage16Extended(loader::Target::Code, 0x10000, hex("01 02")), std::nullopt);
    EXPECT_EQ(loader::fixedPage32(loader::Target::Code, 0x1000000, hex("01 02")), std::nullopt);
    EXPECT_EQ(loader::pageRead32(loader::Target::Code, 0, 250), std::nullopt);
    EXPECT_EQ(loader::pageRead32(loader::Target::Code, 0, 0), std::nullopt);
}

TEST(BootLoaderRecords, VariableLengthWritesPadOddWordCounts)
{
    const std::vector<uint8_t> five = hex("01 02 03 04 05");
    const auto plain = loader::variableWrite16(loader::Target::Code, 0x0200, five);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->header, expected("04 10 05 00 02", 8));
    EXPECT_EQ(plain->data, expected("05 01 02 03 04 05", 10));

    const auto extended = loader::variableWrite16Extended(loader::Target::Code, 0x9000, five);
    ASSERT_TRUE(extended);
    EXPECT_EQ(extended->header, expected("04 10 03 00 90", 8));
    EXPECT_EQ(extended->data, expected("06 01 02 03 04 05 FF", 12));

    const auto wide = loader::variableWrite32(loader::Target::Data, 0x900, hex("01 02 03"));
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->header, expected("06 11 02 00 00 09 00", 12));
    EXPECT_EQ(wide->data, expected("04 01 02 03 FF", 8));

    EXPECT_EQ(loader::variableWrite16(loader::Target::Code, 0, {}), std::nullopt);
    EXPECT_EQ(loader::variableWrite32(loader::Target::Code, 0x1000000, five), std::nullopt);
}

TEST(BootLoaderRecords, PasswordAddressQuery)
{
    EXPECT_EQ(loader::passwordAddressQuery(hex("F6 01")), expected("03 F6 01 00", 6));
    EXPECT_EQ(loader::passwordAddressAnswer(2), expected("02 00 00", 4));
    EXPECT_EQ(loader::passwordAddressAnswer(0), std::nullopt);
    EXPECT_EQ(loader::passwordAddressValue(hex("03 34 03 12")), 0x1234u);
}

TEST(TrafficLog, PasswordBytesAreMasked)
{
    const std::vector<uint8_t> unlock = loader::unlock(passwordOf(0x41)).bytes;
    EXPECT_EQ(maskPasswordsForLog(unlock), hex("21 03" + repeat("2A", 32)));

    std::vector<uint8_t> write = hex("00 05 01 20");
    const std::vector<uint8_t> context = engine::contextPassword(passwordOf(0x61)).bytes;
    write.insert(write.end(), context.begin(), context.end());
    write.insert(write.end(), {0x01, 0x20});
    EXPECT_EQ(maskPasswordsForLog(write), hex("00 05 01 20 21 28" + repeat("2A", 32) + " 01 20"));

    const std::vector<uint8_t> other = hex("21 29" + repeat("00", 32) + " 04 04 00 00 00");
    EXPECT_EQ(maskPasswordsForLog(other), other);
    EXPECT_EQ(maskPasswordsForLog(hex("21 03 41 42")), hex("21 03 2A 2A"));
}

// A reply whose data bytes are `data`, each behind a transfer status.
std::vector<uint8_t> replyWithData(const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> reply;
    for (const uint8_t b : data)
        reply.insert(reply.end(), {0x03, b});
    return reply;
}

TEST(RegisterDump, SixteenBitRegistersDerivedFromC)
{
    std::vector<uint8_t> special(64, 0);
    special[52] = 0x01;  // B
    special[56] = 0x80;  // C = 0x1280
    special[57] = 0x12;
    special[58] = 0x02;  // E
    dump::RegisterFile registers{};
    dump::decodeSpecialRegisters(Core::Bits16, replyWithData(special), registers);
    auto reg = [&](int module, int index) { return registers[module * 32 + index]; };
    EXPECT_EQ(reg(14, 5), 0x1280);
    EXPECT_EQ(reg(14, 6), 0x80);
    EXPECT_EQ(reg(14, 8), 0x8012);
    EXPECT_EQ(reg(14, 9), 0x12);
    EXPECT_EQ(reg(14, 10), 0xFF80);
    EXPECT_EQ(reg(14, 11), 3);

    dump::RegisterFile shortBlock{};
    dump::decodeSpecialRegisters(Core::Bits16, replyWithData(std::vector<uint8_t>(63, 0x55)), shortBlock);
    EXPECT_EQ(shortBlock, dump::RegisterFile{});
}

TEST(RegisterDump, StackPointerAndBankedRegistersOfSixteenBitFamilies)
{
    dump::RegisterFile registers{};
    registers[5 * 32 + 31] = 0x31;
    registers[5 * 32 + 25] = 0x25;
    dump::finishSixteenBitDump(68, 0x40, 8, registers);
    EXPECT_EQ(registers[13 * 32 + 1], 0x41);
    EXPECT_EQ(registers[8 * 32 + 2], 0x31);
    EXPECT_EQ(registers[15 * 32 + 11], 0x25);

    dump::RegisterFile other{};
    dump::finishSixteenBitDump(12, 0, 8, other);
    EXPECT_EQ(other[13 * 32 + 1], 7);
    EXPECT_EQ(other[8 * 32 + 2], 0);
}

}  // namespace
