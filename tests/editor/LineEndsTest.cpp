#include <gtest/gtest.h>

#include "LineEnds.h"

using namespace std::string_literals;

TEST(LineEnds, EveryKindOfLineEndBecomesCrLfAndTheLastLineGetsOne)
{
    EXPECT_EQ(NormaliseLineEnds("a\nb\r\nc\rd"), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(NormaliseLineEnds("a\r\n"), "a\r\n");
    EXPECT_EQ(NormaliseLineEnds("\n\n"), "\r\n\r\n");
    EXPECT_EQ(NormaliseLineEnds("\r\r\n"), "\r\n\r\n");
    EXPECT_EQ(NormaliseLineEnds(""), "");
}

TEST(LineEnds, OtherBytesAreKept)
{
    const std::string bytes = "x\0y\x80\xff\t\x1a"s;
    EXPECT_EQ(NormaliseLineEnds(bytes), bytes + "\r\n");
}
