#include <gtest/gtest.h>

#include <sstream>

#include "HexRecords.h"
#include "IntelHex.h"

namespace {

using testing_support::hexRecord;

zern::HexReadResult read(const std::string& text, std::vector<uint8_t>& image)
{
    std::istringstream stream(text);
    return zern::readIntelHex(stream, image);
}

TEST(IntelHex, RecordsLandAtTheirAddressesAndOtherLinesAreSkipped)
{
    std::vector<uint8_t> image(0x20010, 0xFF);
    const std::string text = "; a comment\n\n" + hexRecord(0, 0x0010, {1, 2, 3}) + hexRecord(4, 0, {0x00, 0x02})
                             + hexRecord(0, 0x0004, {9}) + hexRecord(2, 0, {0x00, 0x10}) + hexRecord(0, 0, {7})
                             + hexRecord(5, 0, {0, 0, 0, 0}) + hexRecord(1, 0, {});
    const auto result = read(text, image);
    ASSERT_TRUE(result.ok) << result.problem;
    EXPECT_EQ(image[0x10], 1);
    EXPECT_EQ(image[0x12], 3);
    EXPECT_EQ(image[0x20004], 9);
    // A segment address record moves by 16-byte paragraphs.
    EXPECT_EQ(image[0x100], 7);
    EXPECT_EQ(result.highest, 0x20004u);
}

TEST(IntelHex, EmptyFileWritesNothing)
{
    std::vector<uint8_t> image(16, 0xFF);
    const auto result = read(hexRecord(1, 0, {}), image);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.highest, 0u);
    EXPECT_EQ(image, std::vector<uint8_t>(16, 0xFF));
}

TEST(IntelHex, BadRecordsAreNamedByLineAndChangeNothing)
{
    struct Case {
        std::string line;
        std::string problem;
    };
    std::string goodFirst = hexRecord(0, 0, {0x55});
    std::string badChecksum = hexRecord(0, 1, {0x66});
    badChecksum[badChecksum.size() - 3] ^= 1;
    const Case cases[] = {
        {":0100000G55AA\r\n", "not a hexadecimal digit"},
        {badChecksum, "checksum mismatch"},
        {":02000000AA56\r\n", "record length does not match its count"},
        {hexRecord(6, 0, {}), "unknown record type"},
        {hexRecord(4, 0, {1}), "address record without two bytes"},
        {hexRecord(0, 0x40, {1}), "address outside the memory image"},
        {":0000\r\n", "record too short"},
    };
    for (const Case& bad : cases) {
        std::vector<uint8_t> image(0x20, 0xFF);
        const auto result = read(goodFirst + bad.line, image);
        EXPECT_FALSE(result.ok) << bad.line;
        EXPECT_EQ(result.badLine, 2) << bad.line;
        EXPECT_EQ(result.problem, bad.problem) << bad.line;
        EXPECT_EQ(image[0], 0xFF) << bad.line;
    }
}

}  // namespace
