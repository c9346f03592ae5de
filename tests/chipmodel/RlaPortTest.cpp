#include <gtest/gtest.h>

#include "RlaPort.h"
#include "Wire.h"

using namespace zern::chipmodel;
using zern::chipmodel::test::hex;

namespace {

TEST(RlaPort, FramedWritesLandInCodeAndReadsAnswerBytes)
{
    ChipModel chip;
    RlaPort port(chip);
    // 'M' 'Q' 1, address 0x600100, length 3, data; split over two writes.
    EXPECT_TRUE(port.receive(hex("4D 51 01 60 01 00 00")).empty());
    EXPECT_TRUE(port.receive(hex("03 AA BB CC")).empty());
    EXPECT_EQ(chip.code(0x100, 3), hex("AA BB CC"));

    EXPECT_TRUE(port.receive(hex("4D 51 01 C0 00 06 00 01 01")).empty());
    EXPECT_EQ(port.controlByte(0xC00006), 0x01);
    EXPECT_EQ(port.receive(hex("4D 51 00 C0 00 06 00 01")), hex("01"));
    EXPECT_EQ(port.receive(hex("4D 51 00 60 01 01 00 02")), hex("BB CC"));
    EXPECT_TRUE(port.protocolErrors().empty());
}

TEST(RlaPort, BytesOutsideAFrameAreDroppedAndNoted)
{
    ChipModel chip;
    RlaPort port(chip);
    EXPECT_TRUE(port.receive(hex("00 4D 52")).empty());
    EXPECT_EQ(port.protocolErrors().size(), 2u);
    EXPECT_EQ(port.receive(hex("4D 51 00 C0 00 06 00 01")), hex("00"));
}

}  // namespace
