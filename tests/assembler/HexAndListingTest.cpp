// The Intel HEX writer and the listing formats, byte for byte.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

#include "AsmTestSupport.h"
#include "Assembly.h"
#include "HexStream.h"
#include "Listing.h"

namespace zernasm {
namespace {

using test::Assemble;

// Collects what a HexStream writes.
class HexCapture {
public:
    explicit HexCapture(bool extended)
    {
        file_ = open_memstream(&text_, &size_);
        stream_.Reset(extended);
    }
    ~HexCapture() { free(text_); }
    HexStream& Stream() { return stream_; }
    FILE* File() { return file_; }
    std::string Finish()
    {
        stream_.End();
        fclose(file_);
        return std::string(text_, size_);
    }

private:
    HexStream stream_;
    char* text_ = nullptr;
    size_t size_ = 0;
    FILE* file_ = nullptr;
};

TEST(HexStream, ThreeBytesInExtendedMode)
{
    HexCapture hex(true);
    for (uint8_t b : {1, 2, 3})
        hex.Stream().PutByte(hex.File(), b);
    EXPECT_EQ(hex.Finish(), ":020000040000FA\n:03000000010203F7\n:00000001FF\n");
}

TEST(HexStream, RecordsHoldSixteenBytes)
{
    HexCapture hex(true);
    for (uint8_t b = 0; b < 20; ++b)
        hex.Stream().PutByte(hex.File(), b);
    EXPECT_EQ(hex.Finish(),
              ":020000040000FA\n:10000000000102030405060708090A0B0C0D0E0F78\n:0400100010111213A6\n:00000001FF\n");
}

TEST(HexStream, SixtyFourKilobyteBoundaryAnnouncesUpperAddress)
{
    HexCapture hex(true);
    hex.Stream().SetAddress(0x10000);
    hex.Stream().PutByte(hex.File(), 0x3A);
    hex.Stream().PutByte(hex.File(), 0xDA);
    EXPECT_EQ(hex.Finish(), ":020000040001F9\n:020000003ADAEA\n:00000001FF\n");
}

TEST(HexStream, StandardModeWritesNoUpperAddress)
{
    HexCapture hex(false);
    hex.Stream().SetAddress(0x10000);
    hex.Stream().PutByte(hex.File(), 0x3A);
    hex.Stream().PutByte(hex.File(), 0xDA);
    EXPECT_EQ(hex.Finish(), ":020000003ADAEA\n:00000001FF\n");
}

TEST(HexStream, AddressChangeAndRunningOverBoundaryStartNewRecords)
{
    HexCapture hex(true);
    hex.Stream().SetAddress(0xFFFE);
    for (uint8_t b : {1, 2, 3})
        hex.Stream().PutByte(hex.File(), b);
    hex.Stream().SetAddress(0x20);
    hex.Stream().PutByte(hex.File(), 4);
    EXPECT_EQ(hex.Finish(),
              ":020000040000FA\n:02FFFE000102FE\n:020000040001F9\n:0100000003FC\n:020000040000FA\n:0100200004DB\n"
              ":00000001FF\n");
}

TEST(HexStream, StreamWithoutBytesWritesNothing)
{
    HexCapture hex(true);
    hex.Stream().SetAddress(0x40);
    EXPECT_EQ(hex.Finish(), "");
}

class DataListing : public ::testing::Test {
protected:
    void SetUp() override
    {
        listing_ = open_memstream(&text_, &size_);
        a.listingFile = listing_;
    }
    void TearDown() override { free(text_); }
    std::string Written()
    {
        fclose(listing_);
        a.listingFile = nullptr;
        return std::string(text_, size_);
    }
    Assembly a;
    FILE* listing_ = nullptr;
    char* text_ = nullptr;
    size_t size_ = 0;
};

TEST_F(DataListing, ThreeBytesKeepTheirColumns)
{
    a.line = 12;
    a.output.dataBytes = {1, 2, 3};
    WriteDataListingLine(a, 0x10, " DB 1,2,3\n");
    EXPECT_EQ(Written(), "      12: 0010: 0102   DB 1,2,3\n\n                03    \n");
    EXPECT_TRUE(a.output.dataBytes.empty());
    EXPECT_EQ(a.output.listingState, kListedByData);
}

TEST_F(DataListing, OneAndTwoBytesAndZernCAddresses)
{
    a.line = 3;
    a.output.dataBytes = {0xAB};
    WriteDataListingLine(a, 0x2, " DB 0ABh\n");
    a.output.dataBytes = {0x12, 0x34};
    a.options.core = Core::ZernC;
    a.dataSegment = true;
    WriteDataListingLine(a, 0x5, " DW 1234h\n");
    EXPECT_EQ(Written(), "       3: 0002: AB     DB 0ABh\n  \n       3: 00000A: 1234   DW 1234h\n  \n");
}

TEST_F(DataListing, StatementLineFormats)
{
    a.line = 7;
    WriteListingLine(a, 0x12, 0x3934, "MOVE A[3], #1234h\n");
    WriteListingLine(a, 0x12, kNothingListed, "label:\n");
    a.options.core = Core::ZernC;
    WriteListingLine(a, 0x123456, 0x0B12, "\n");
    WriteListingLine(a, 0, kListedByData, "x\n");
    EXPECT_EQ(Written(),
              "       7: 0012: 3934  MOVE A[3], #1234h\n"
              "       7:             label:\n"
              "       7: 123456: 0B12  \n"
              "\n               .x\n");
    EXPECT_EQ(a.output.listingState, kNothingListed);
}

TEST(ListingFile, HeaderAndClosingLine)
{
    const test::RunResult run = Assemble(" NOP\n END\n", {"-q", "-l", "-acc=8"});
    ASSERT_EQ(run.exitStatus, 0);
    const std::vector<std::string> lines = test::SplitLines(*run.listing);
    ASSERT_GE(lines.size(), 13u);
    const std::string border = "+" + std::string(63, '-') + "+";
    EXPECT_EQ(lines[0], border);
    EXPECT_EQ(lines[1], "|                 ZernAsm Version 2.116.0079                    |");
    EXPECT_EQ(lines[2], border);
    EXPECT_TRUE(test::MatchesShape(lines[3], "Last build Aaa _9 9999 at 99:99:99")) << lines[3];
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], "Command line: -q -l -acc=8 prog.asm ");
    EXPECT_TRUE(
        test::MatchesShape(lines[6], "Assembling prog.asm for ZERNA,using 8 accumulators, Aaa Aaa _9 99:99:99 9999"))
        << lines[6];
    EXPECT_EQ(lines[7], "");
    EXPECT_EQ(lines[8], "    Line: Addr: Opcode");
    EXPECT_EQ(lines[9], "======================");
    EXPECT_EQ(lines[10], "       1: 0000: DA3A   NOP");
    EXPECT_EQ(lines[11], "       2:              END");
    EXPECT_EQ(lines.back(), "Parser terminated successfully.");
    EXPECT_EQ(*run.programHex, ":020000040000FA\n:020000003ADAEA\n:00000001FF\n");
}

TEST(ListingFile, WholeProgramReproducesTheFormatExamples)
{
    std::string source = "SEGMENT DATA\n DB 1,2,3\n ORG 10h\n";
    for (int line = 4; line < 12; ++line)
        source += "; filler\n";
    source += " DB 1,2,3\n DB 0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19\n END\n";
    const test::RunResult run = Assemble(source, {"-q", "-l"});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(*run.dataHex,
              ":020000040000FA\n:03000000010203F7\n:10002000010203000102030405060708090A0B0C7C\n"
              ":070030000D0E0F1011121359\n:00000001FF\n");
    const std::vector<std::string> body = run.ListingBody();
    const auto entry = std::find(body.begin(), body.end(), "      12: 0010: 0102   DB 1,2,3");
    ASSERT_NE(entry, body.end());
    ASSERT_LT(entry + 2, body.end());
    EXPECT_EQ(*(entry + 1), "");
    EXPECT_EQ(*(entry + 2), "                03    ");
}

TEST(ListingFile, PrefixWordsAreListedBeforeTheirInstruction)
{
    const test::RunResult run = Assemble(" MOVE A[3], #1234h\n END\n", {"-q", "-l", "-w"});
    ASSERT_EQ(run.exitStatus, 0);
    const std::vector<std::string> body = run.ListingBody();
    ASSERT_GE(body.size(), 2u);
    EXPECT_EQ(body[0], "       1: 0000: 0B12  ");
    EXPECT_EQ(body[1], "       1: 0001: 3934   MOVE A[3], #1234h");
}

TEST(ListingFile, SegmentMarkersStayInTheirColumns)
{
    const test::RunResult run =
        Assemble(";$BEGIN_MODULE(main)\nSEGMENT DATA\nx: DW 1\nSEGMENT CODE\n NOP ;LINE(4)\n END\n", {"-q", "-l"});
    ASSERT_EQ(run.exitStatus, 0);
    const std::vector<std::string> body = run.ListingBody();
    ASSERT_GE(body.size(), 6u);
    EXPECT_EQ(body[0], "       1:             ;$BEGIN_MODULE(main)");
    EXPECT_EQ(body[1].substr(22), "SEGMENT DATA");
    EXPECT_EQ(body[2], "       3: 0000: 0001  x: DW 1");
    EXPECT_EQ(body[3], "  ");
    EXPECT_EQ(body[4].substr(22), "SEGMENT CODE");
    EXPECT_EQ(body[5], "       5: 0000: DA3A   NOP ;LINE(4)");
    EXPECT_EQ(*run.dataHex, ":020000040000FA\n:020000000100FD\n:00000001FF\n");
}

}  // namespace
}  // namespace zernasm
