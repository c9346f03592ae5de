// The chip's command bodies, free of any link's framing, against the
// documented bytes; the register-dump layout on plain data bytes.
#include <gtest/gtest.h>

#include "DebugCommands.h"
#include "LoaderCommands.h"
#include "RegisterDumpLayout.h"
#include "Wire.h"

namespace {

using zern::chip::Bytes;
using zern::chip::Core;
using zern::chipmodel::test::countingBytes;
using zern::chipmodel::test::countingHex;
using zern::chipmodel::test::hex;
namespace debug = zern::chip::debug;
namespace loader = zern::chip::loader;
using Form = loader::Form;
using Target = loader::Target;

std::array<uint8_t, 32> passwordFrom(uint8_t first)
{
    std::array<uint8_t, 32> password{};
    const Bytes bytes = countingBytes(32, first);
    std::copy(bytes.begin(), bytes.end(), password.begin());
    return password;
}

struct BodyCase {
    const char* name;
    std::optional<Bytes> body;
    std::string expected;  // hex; empty: the command does not fit
};

void expectBodies(const std::vector<BodyCase>& cases)
{
    for (const BodyCase& c : cases) {
        if (c.expected.empty())
            EXPECT_EQ(c.body, std::nullopt) << c.name;
        else
            EXPECT_EQ(c.body, std::optional<Bytes>(hex(c.expected))) << c.name;
    }
}

TEST(ChipCommands, DebugEngineBodiesOfBothCores)
{
    const std::string password = countingHex(32, 0x40);
    expectBodies({
        {"break", debug::breakRequest(), "1F"},
        {"status", debug::status(), "20"},
        {"step", debug::step(), "26"},
        {"go", debug::go(), "27"},
        {"dump", debug::registerDump(), "21"},
        {"read M13[1]", debug::registerRead(13, 1), "29 1D 00"},
        {"read M13[17]", debug::registerRead(13, 17), "29 1D 01"},
        {"write 16", debug::registerWrite(Core::Bits16, 8, 0, 0x1234), "24 08 00 34 12"},
        {"write 32", debug::registerWrite(Core::Bits32, 13, 1, 0x12345678), "24 1D 00 78 56 34 12"},
        {"memory write 16", debug::memoryWrite(Core::Bits16, 0x10, 0xCD, 0xAB), "25 10 00 CD AB"},
        {"memory write 32", debug::memoryWrite(Core::Bits32, 0x10, 0xCD, 0xAB), "25 10 00 00 00 CD AB"},
        {"memory write beyond 16 bits", debug::memoryWrite(Core::Bits16, 0x10000, 0, 0), ""},
        {"block read 16", debug::blockRead(Core::Bits16, 0x100, 128), "22 00 01 80 00"},
        {"block read 32", debug::blockRead(Core::Bits32, 0x800080, 128), "22 80 00 80 00 80 00"},
        {"block read beyond 16 bits", debug::blockRead(Core::Bits16, 0x18000, 128), ""},
        {"context password", debug::contextPassword(passwordFrom(0x40)), "28" + password},
        {"breakpoint 16", debug::setCodeBreakpoint(Core::Bits16, 0, 0x1234), "15 34 12 11 80"},
        {"breakpoint 32", debug::setCodeBreakpoint(Core::Bits32, 3, 0x123456), "18 56 34 12 11 80"},
        {"breakpoint beyond 16 bits", debug::setCodeBreakpoint(Core::Bits16, 0, 0x10000), ""},
        {"clear 16", debug::clearCodeBreakpoint(Core::Bits16, 1), "16 FF FF"},
        {"clear 32", debug::clearCodeBreakpoint(Core::Bits32, 2), "17 FF FF FF"},
        {"data breakpoint 2", debug::setDataBreakpoint(1, 0x12345678), "1A 78 56 34 12 11 80"},
    });
    EXPECT_EQ(debug::registerDumpCountBytes(Core::Bits16), 1u);
    EXPECT_EQ(debug::registerDumpCountBytes(Core::Bits32), 2u);
}

TEST(ChipCommands, RegisterValuesTakeTheCoresWidth)
{
    const Bytes answer = hex("FE FF FF FF");
    EXPECT_EQ(debug::registerValue(Core::Bits16, answer), 0xFFFE);
    EXPECT_EQ(debug::registerValue(Core::Bits32, answer), -2);
    // A short answer reads what is there.
    EXPECT_EQ(debug::registerValue(Core::Bits32, hex("34 12")), 0x1234);
}

TEST(ChipCommands, BootLoaderBodies)
{
    const Bytes four = hex("01 02 03 04");
    expectBodies({
        {"prompt", loader::prompt(), "00"},
        {"quit", loader::quit(), "01"},
        {"erase", loader::masterErase(), "02"},
        {"unlock", loader::unlock(passwordFrom(1)), "03" + countingHex(32, 1)},
        {"status", loader::status(), "04"},
        {"information", loader::information(), "05"},
        {"extended on", loader::extendedMode(true), "0A 01"},
        {"extended off", loader::extendedMode(false), "0A 00"},
        {"erase last block", loader::eraseLastBlock(0x8000), "E0 00 7F 00 00"},
        {"page write 16", loader::pageWriteHeader(Form::Bytes16, Target::Code, 0x40, 64), "90 40 40 00"},
        {"page read 16 data", loader::pageReadHeader(Form::Bytes16, Target::Data, 0x40, 64), "A1 40 40 00"},
        {"page 16 too large", loader::pageWriteHeader(Form::Bytes16, Target::Code, 0, 256), ""},
        {"page 16 beyond 64 KB", loader::pageWriteHeader(Form::Bytes16, Target::Code, 0x10000, 64), ""},
        {"page write extended", loader::pageWriteHeader(Form::Words16, Target::Code, 0x9000, 64), "90 20 00 90"},
        {"page extended odd", loader::pageReadHeader(Form::Words16, Target::Code, 0x9000, 63), ""},
        {"page write 32", loader::pageWriteHeader(Form::Words32, Target::Data, 0x800, 64), "91 20 00 00 08 00"},
        {"page 32 beyond 24 bits", loader::pageReadHeader(Form::Words32, Target::Code, 0x1000000, 64), ""},
        {"short page read", loader::shortPageReadHeader(Target::Code, 0x40, 4), "20 01 40 00 04"},
        {"short page read empty", loader::shortPageReadHeader(Target::Code, 0x40, 0), ""},
        {"variable 16", loader::variableWriteHeader(Form::Bytes16, Target::Code, 0x200, 5), "10 05 00 02"},
        {"variable extended", loader::variableWriteHeader(Form::Words16, Target::Code, 0x9000, 6), "10 03 00 90"},
        {"variable 32", loader::variableWriteHeader(Form::Words32, Target::Data, 0x900, 4), "11 02 00 00 09 00"},
        {"variable 32 beyond 24 bits", loader::variableWriteHeader(Form::Words32, Target::Code, 1 << 24, 4), ""},
    });
    EXPECT_EQ(loader::paddedToWords(four), four);
    EXPECT_EQ(loader::paddedToWords(hex("01 02 03")), hex("01 02 03 FF"));
}

TEST(ChipCommands, DumpLayoutOnPlainDataBytes)
{
    zern::chip::dump::RegisterFile registers{};
    zern::chip::dump::placeRegisterChunk(Core::Bits32, hex("78 56 34 12 FE FF FF FF"), 2, registers);
    EXPECT_EQ(registers[2 * 32 + 0], 0x12345678);
    EXPECT_EQ(registers[2 * 32 + 1], -2);

    Bytes special(108, 0);
    special[80] = 0x34;  // the instruction pointer, module 12 index 0
    special[81] = 0x12;
    special[16] = 0x01;  // module 9 index 0
    zern::chip::dump::placeSpecialRegisters(Core::Bits32, special, registers);
    EXPECT_EQ(registers[12 * 32], 0x1234);
    EXPECT_EQ(registers[9 * 32], 1);
    EXPECT_EQ(zern::chip::dump::specialRegisterBytes(Core::Bits16), 64u);
    EXPECT_EQ(zern::chip::dump::specialRegisterBytes(Core::Bits32), 108u);
}

}  // namespace
