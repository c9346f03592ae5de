// The bus check sums against their published check values and residues.

#include <gtest/gtest.h>
#include <string>

#include "BusCrc.h"

namespace {

using namespace solbus;

const std::string kCheckText = "123456789";

const uint8_t* bytesOf(const std::string& text)
{
    return reinterpret_cast<const uint8_t*>(text.data());
}

TEST(CrcTest, CheckValuesOverTheStandardText)
{
    EXPECT_EQ(crc8(bytesOf(kCheckText), kCheckText.size()), 0xA1);
    EXPECT_EQ(crc16(bytesOf(kCheckText), kCheckText.size()), 0xBB3D);
}

TEST(CrcTest, DataFollowedByItsCheckLeavesTheResidue)
{
    // A ROM number with its CRC8 in the last byte sums to 0.
    const uint8_t rom[] = {0x02, 0x1C, 0xB8, 0x01, 0x00, 0x00, 0x00, 0xA2};
    EXPECT_EQ(crc8(rom, sizeof rom), 0);

    for (uint16_t seed : {0, 1, 0x1F}) {
        std::vector<uint8_t> packet = {4, 'Z', 'e', 'r', 'n'};
        const uint16_t check = static_cast<uint16_t>(~crc16(packet.data(), packet.size(), seed));
        packet.push_back(static_cast<uint8_t>(check));
        packet.push_back(static_cast<uint8_t>(check >> 8));
        EXPECT_EQ(crc16(packet.data(), packet.size(), seed), 0xB001) << seed;
    }
}

TEST(CrcTest, UpdatesChainLikeTheWholeRun)
{
    uint8_t crc8Value = 0;
    uint16_t crc16Value = 0x0102;
    for (char c : kCheckText) {
        crc8Value = crc8Update(crc8Value, static_cast<uint8_t>(c));
        crc16Value = crc16Update(crc16Value, static_cast<uint8_t>(c));
    }
    EXPECT_EQ(crc8Value, 0xA1);
    EXPECT_EQ(crc16Value, crc16(bytesOf(kCheckText), kCheckText.size(), 0x0102));
}

}  // namespace
