#include <gtest/gtest.h>
#include <sstream>
#include <vector>

#include "IntelHexReader.h"

using zern::hex::HexReadResult;
using zern::hex::readIntelHex;

namespace {

HexReadResult readText(const std::string& text, std::vector<uint8_t>& image)
{
    std::istringstream in(text);
    return readIntelHex(in, "prog.hex", image);
}

TEST(IntelHexReader, ReadsTheAssemblersFormWithCrLfLineEnds)
{
    std::vector<uint8_t> image(0x100, 0xFF);
    const HexReadResult result = readText(":020000040000FA\r\n:03000000010203F7\r\n:00000001FF\r\n", image);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.highest, 2u);
    EXPECT_EQ(image[0], 0x01);
    EXPECT_EQ(image[1], 0x02);
    EXPECT_EQ(image[2], 0x03);
    EXPECT_EQ(image[3], 0xFF);
}

TEST(IntelHexReader, FollowsRecordsOfSixteenAndFourBytes)
{
    std::vector<uint8_t> image(0x100, 0xFF);
    const HexReadResult result = readText(
        ":020000040000FA\n"
        ":10000000101112131415161718191A1B1C1D1E1F78\n"
        ":040010002021222366\n"
        ":00000001FF\n",
        image);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.highest, 0x13u);
    for (uint32_t i = 0; i < 0x14; ++i)
        EXPECT_EQ(image[i], 0x10 + i) << i;
}

TEST(IntelHexReader, UpperAddressRecordMovesDataAboveSixtyFourKilobytes)
{
    std::vector<uint8_t> image(0x20000, 0xFF);
    const HexReadResult result = readText(":020000040001F9\n:020000003412B8\n:00000001FF\n", image);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.highest, 0x10001u);
    EXPECT_EQ(image[0x10000], 0x34);
    EXPECT_EQ(image[0x10001], 0x12);
    EXPECT_EQ(image[0], 0xFF);
}

TEST(IntelHexReader, IgnoresLinesWithoutColonAndAcceptsLowerCaseDigits)
{
    std::vector<uint8_t> image(0x100, 0x00);
    const HexReadResult result = readText("; built by hand\n\n   \n:02001000abcd76\n", image);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(image[0x10], 0xAB);
    EXPECT_EQ(image[0x11], 0xCD);
    EXPECT_EQ(result.highest, 0x11u);
}

TEST(IntelHexReader, StartAddressRecordsLeaveTheImageAlone)
{
    std::vector<uint8_t> image(0x10, 0xFF);
    const HexReadResult result = readText(":0400000500000100F6\n:0400000300000100F8\n", image);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.highest, 0u);
    for (uint8_t b : image)
        EXPECT_EQ(b, 0xFF);
}

TEST(IntelHexReader, EmptyFileReadsAsNothingWritten)
{
    std::vector<uint8_t> image(0x10, 0xFF);
    const HexReadResult result = readText("", image);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.highest, 0u);
}

struct BadRecord {
    const char* line;
    size_t imageSize;
    const char* message;
};

class IntelHexReaderRefuses : public testing::TestWithParam<BadRecord> {};

TEST_P(IntelHexReaderRefuses, NamesFileAndLine)
{
    const BadRecord& bad = GetParam();
    std::vector<uint8_t> image(bad.imageSize, 0xFF);
    const HexReadResult result =
        readText(std::string(":020000040000FA\n; comment\n") + bad.line + "\n:00000001FF\n", image);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, bad.message);
}

INSTANTIATE_TEST_SUITE_P(
    BadRecords, IntelHexReaderRefuses,
    testing::Values(
        BadRecord{":03000000010203F6", 0x100,
                  "Invalid Intel HEX file prog.hex, line 3: checksum mismatch (expected 0xF7, found 0xF6)."},
        BadRecord{":0300000001020G03F7", 0x100,
                  "Invalid Intel HEX file prog.hex, line 3: character 15 is not a hexadecimal digit."},
        BadRecord{":03000000010203F", 0x100,
                  "Invalid Intel HEX file prog.hex, line 3: the record has an odd number of digits."},
        BadRecord{":0300000001F7", 0x100,
                  "Invalid Intel HEX file prog.hex, line 3: the record holds 1 data bytes but announces 3."},
        BadRecord{":000000", 0x100, "Invalid Intel HEX file prog.hex, line 3: the record is too short."},
        BadRecord{":", 0x100, "Invalid Intel HEX file prog.hex, line 3: the record is too short."},
        BadRecord{":00000006FA", 0x100, "Invalid Intel HEX file prog.hex, line 3: unknown record type 0x06."},
        BadRecord{":020000021000EC", 0x100,
                  "Invalid Intel HEX file prog.hex, line 3: segment address records are not supported."},
        BadRecord{":0100000100FE", 0x100, "Invalid Intel HEX file prog.hex, line 3: the end record carries data."},
        BadRecord{":0100000401FA", 0x100,
                  "Invalid Intel HEX file prog.hex, line 3: the extended address record needs exactly two data bytes."},
        BadRecord{":0400FE0001020304F4", 0x100,
                  "Invalid Intel HEX file prog.hex, line 3: the 4 data bytes at address 0xFE lie outside the image "
                  "of 256 bytes."},
        BadRecord{":04010000AAAAAAAA53", 0x100,
                  "Invalid Intel HEX file prog.hex, line 3: the 4 data bytes at address 0x100 lie outside the image "
                  "of 256 bytes."}));

TEST(IntelHexReader, DataAboveASmallImageIsRefusedNotDropped)
{
    std::vector<uint8_t> image(0x8000, 0xFF);
    const HexReadResult result = readText(":020000040001F9\n:020000003412B8\n", image);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error,
              "Invalid Intel HEX file prog.hex, line 2: the 2 data bytes at address 0x10000 lie outside "
              "the image of 32768 bytes.");
}

}  // namespace
