#include <gtest/gtest.h>

#include "ListingReader.h"
#include "PluginFixture.h"
#include "Text.h"

namespace asmtest {
namespace {

using asmplugin::MapEntry;
using asmplugin::Module;
using asmplugin::readListing;

const std::vector<Module> kModules = {{"a", "/src/a.asm"}, {"b", "/src/b.asm"}};

TEST(ListingReader, ClosingLineDecidesSuccess)
{
    const std::vector<std::string> body = {"$BEGIN_MODULE(a)", ";LINE(1)", "  NOP", "end"};
    EXPECT_TRUE(
        readListing(asmplugin::splitLines(listingFor(body, 20, 0, "Parser terminated successfully.   ")), kModules, 20)
            .successful);
    EXPECT_TRUE(
        readListing(asmplugin::splitLines(listingFor(body, 20, 0, "Parser terminated with 12 warnings.")), kModules, 20)
            .successful);
    for (const char* closing : {"Error! Parse failed!", "Parser terminated with many warnings.",
                                "Assembler Error! Parse failed! Possible forward reference assigned to DP[i]"}) {
        const auto contents = readListing(asmplugin::splitLines(listingFor(body, 20, 0, closing)), kModules, 20);
        EXPECT_FALSE(contents.successful) << closing;
        EXPECT_TRUE(contents.map.empty());
    }
    EXPECT_FALSE(readListing({}, kModules, 20).successful);
}

TEST(ListingReader, MarkersGiveFileAndLineOfEveryCodeLine)
{
    const std::vector<std::string> body = {"$BEGIN_MODULE(b)",  ";LINE(4)", "  NOP", "  NOP",
                                           "$BEGIN_MODULE(zz)", ";LINE(9)", "  NOP", "$BEGIN_MODULE(A)",
                                           ";LINE(2)",          "  NOP",    "end"};
    const auto contents = readListing(asmplugin::splitLines(listingFor(body, 20, 0x10)), kModules, 20);
    ASSERT_TRUE(contents.successful);
    EXPECT_EQ(contents.sourceFiles, (std::vector<std::string>{"/src/b.asm", "/src/a.asm"}));
    // An unknown module keeps the current file.
    EXPECT_EQ(contents.map, (std::vector<MapEntry>{{0x10, 4, 0}, {0x11, 4, 0}, {0x12, 9, 0}, {0x13, 2, 1}}));
}

TEST(ListingReader, AddressColumnsFollowTheFamily)
{
    const std::vector<std::string> lines = {"",
                                            "",
                                            "",
                                            "",
                                            "",
                                            "",
                                            "",
                                            "",
                                            "       5: 0010: 3A00  NOP",    // 4 digits: column 15 is ':'
                                            "       6: 800020: 3A00  NOP",  // 6 digits: column 17 is ':'
                                            "       7: 0012: 3A00  NOP",
                                            "       8: 00G3: 3A00  NOP",        // not hexadecimal
                                            "Warning : vvvv: Value truncated",  // warning, no code
                                            "",
                                            "Parser terminated successfully."};
    const auto narrow = readListing(lines, kModules, 20);
    EXPECT_EQ(narrow.map, (std::vector<MapEntry>{{0x10, 1, -1}, {0x12, 1, -1}}));
    EXPECT_EQ(narrow.warnings, (std::vector<std::string>{"Warning : vvvv: Value truncated"}));
    const auto wide = readListing(lines, kModules, 30);
    EXPECT_EQ(wide.map, (std::vector<MapEntry>{{0x800020, 1, -1}}));
}

TEST(ListingReader, DataSegmentLinesStayOutOfTheMap)
{
    const std::vector<std::string> lines = {"",
                                            "",
                                            "",
                                            "",
                                            "",
                                            "",
                                            "",
                                            "",
                                            "       1:             $BEGIN_MODULE(a)",
                                            "       2: 0000: 3A00  NOP",
                                            "       3:             SEGMENT DATA",
                                            "       4: 0010: 0102  DB 1,2",
                                            "       5:                 segment   code",
                                            "       6: 0001: 3A00  NOP",
                                            "       7:                 Segment Data ; indented",
                                            "       8: 0012: 0304  DB 3,4",
                                            "       9:             $BEGIN_MODULE(b)",
                                            "      10:             ;LINE(1)",
                                            "      11:             SEGMENT CODE",
                                            "      12: 0002: 3A00  NOP",
                                            "      13:             SEGMENTED DATA",
                                            "      14: 0003: 3A00  NOP",
                                            "Parser terminated successfully."};
    const auto contents = readListing(lines, kModules, 20);
    EXPECT_EQ(contents.map, (std::vector<MapEntry>{{0, 1, 0}, {1, 1, 0}, {2, 1, 1}, {3, 1, 1}}));
}

TEST(ListingReader, MarkerTextHelpers)
{
    EXPECT_EQ(asmplugin::splitLines("a\r\n\nb\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(asmplugin::splitLines("x"), (std::vector<std::string>{"x"}));
    EXPECT_TRUE(asmplugin::splitLines("").empty());
    EXPECT_EQ(asmplugin::lineMarkerNumber("x ;LINE( 42 ) y"), 42);
    EXPECT_FALSE(asmplugin::lineMarkerNumber(";LINE(4x)"));
    EXPECT_FALSE(asmplugin::lineMarkerNumber(";LINE(4"));
    EXPECT_EQ(asmplugin::moduleMarkerName("  $BEGIN_MODULE(main) ; (x)"), "main");
    EXPECT_FALSE(asmplugin::moduleMarkerName("$BEGIN_MODULE(main"));
    EXPECT_FALSE(asmplugin::parseHex("+12"));
    EXPECT_EQ(asmplugin::parseHex("00aF"), 0xAFu);
}

}  // namespace
}  // namespace asmtest
