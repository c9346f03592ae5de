#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "HexImageFile.h"
#include "HostileFiles.h"
#include "LoadChunks.h"

using namespace zern::hex;

namespace {

class HexImageFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path()
                 / ("hex_image_" + std::to_string(::getpid()) + "_"
                    + testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string write(const std::string& name, const std::string& text)
    {
        const std::filesystem::path path = folder / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    std::filesystem::path folder;
};

TEST_F(HexImageFileTest, ProgramImageIsErasedFlashAroundTheRecords)
{
    const HexImageFile file = readHexImageFile(
        write("prog.hex", ":020000040000FA\r\n:03000000010203F7\r\n:00000001FF\r\n"), HexImageKind::Program, 0x10000);
    ASSERT_EQ(file.status, HexFileStatus::Loaded) << file.message;
    EXPECT_EQ(file.size, 3u);
    ASSERT_EQ(file.bytes.size(), 0x10000u);
    EXPECT_EQ(file.bytes[2], 0x03);
    EXPECT_EQ(file.bytes[3], 0xFF);
}

TEST_F(HexImageFileTest, DataImageIsClearedMemory)
{
    const HexImageFile file = readHexImageFile(write("prog_d.hex", ":02001000abcd76\n"), HexImageKind::Data, 2048);
    ASSERT_EQ(file.status, HexFileStatus::Loaded) << file.message;
    EXPECT_EQ(file.size, 0x12u);
    EXPECT_EQ(file.bytes[0], 0x00);
    EXPECT_EQ(file.bytes[0x11], 0xCD);
}

TEST_F(HexImageFileTest, MissingFilesGiveTheLoadMessages)
{
    const std::string missing = (folder / "none.hex").string();
    EXPECT_EQ(readHexImageFile(missing, HexImageKind::Program, 16).message, "Cannot open program file.");
    const HexImageFile data = readHexImageFile(missing, HexImageKind::Data, 16);
    EXPECT_EQ(data.status, HexFileStatus::CannotOpen);
    EXPECT_EQ(data.message, "Cannot open data file.");
    EXPECT_EQ(readHexImageFile(folder.string(), HexImageKind::Program, 16).status, HexFileStatus::CannotOpen);
}

TEST_F(HexImageFileTest, InvalidFileYieldsNoImage)
{
    const HexImageFile file =
        readHexImageFile(write("bad.hex", ":03000000010203F7\n:03000300010203F7\n"), HexImageKind::Program, 0x100);
    EXPECT_EQ(file.status, HexFileStatus::Invalid);
    EXPECT_EQ(file.message, "Invalid Intel HEX file bad.hex, line 2: checksum mismatch (expected 0xF4, found 0xF7).");
    EXPECT_TRUE(file.bytes.empty());
}

// What is no regular file, or larger than any program's text, is refused by
// name before it is opened for reading, so nothing waits or reads without end.
TEST_F(HexImageFileTest, OnlyRegularFilesWithinTheLimitAreRead)
{
    const test_support::GuardedFifo fifo((folder / "fifo.hex").string());
    ASSERT_TRUE(fifo.created());
    std::filesystem::create_symlink("/dev/zero", folder / "zero.hex");
    ASSERT_TRUE(test_support::makeSparseFile((folder / "huge.hex").string(), kMaxHexFileBytes + 1));
    const struct {
        std::string path;
        HexImageKind kind;
        std::string message;
    } cases[] = {
        {fifo.path(), HexImageKind::Program, "Cannot open program file " + fifo.path() + ": not a regular file."},
        {"/dev/zero", HexImageKind::Program, "Cannot open program file /dev/zero: not a regular file."},
        {(folder / "zero.hex").string(), HexImageKind::Data,
         "Cannot open data file " + (folder / "zero.hex").string() + ": not a regular file."},
        {folder.string(), HexImageKind::Program,
         "Cannot open program file " + folder.string() + ": not a regular file."},
        {(folder / "huge.hex").string(), HexImageKind::Program,
         "Cannot open program file " + (folder / "huge.hex").string() + ": larger than 256 MB."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const HexImageFile file = readHexImageFile(c.path, c.kind, 16);
        EXPECT_EQ(file.status, HexFileStatus::CannotOpen);
        EXPECT_EQ(file.message, c.message);
        EXPECT_TRUE(file.bytes.empty());
    }
}

// A program file must hold data: an empty file, or a source picked by
// mistake in the load dialog, is refused instead of loading one byte.
TEST_F(HexImageFileTest, AProgramFileWithoutADataRecordIsRefusedByName)
{
    const struct {
        const char* name;
        const char* text;
    } cases[] = {
        {"empty.hex", ""},
        {"end.hex", ":00000001FF\r\n"},
        {"blink.asm", "; Blink\r\nstart:  NOP\r\n        JUMP start\r\n"},
        {"no-bytes.hex", ":0000000000\r\n:00000001FF\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HexImageFile program = readHexImageFile(write(c.name, c.text), HexImageKind::Program, 16);
        EXPECT_EQ(program.status, HexFileStatus::Invalid);
        EXPECT_EQ(program.message, std::string("Invalid Intel HEX file ") + c.name + ": no data record.");
        EXPECT_TRUE(program.bytes.empty());
    }
    // A data file without records is valid and sends nothing.
    const HexImageFile data = readHexImageFile(write("prog_d.hex", ":00000001FF\r\n"), HexImageKind::Data, 16);
    EXPECT_EQ(data.status, HexFileStatus::Loaded);
    EXPECT_EQ(data.size, 0u);
}

TEST(LoadChunks, ProgramGoesInChunksOf128SkippingErasedOnes)
{
    std::vector<uint8_t> image(0x200, 0xFF);
    image[0] = 0;
    image[0x12B] = 0;
    EXPECT_EQ(programChunks(image, 300), (std::vector<LoadChunk>{{0x000, 128}, {0x100, 44}}));
    image[0x80] = 0;
    EXPECT_EQ(programChunks(image, 300), (std::vector<LoadChunk>{{0x000, 128}, {0x080, 128}, {0x100, 44}}));
}

TEST(LoadChunks, DataGoesInChunksOf254)
{
    EXPECT_EQ(dataChunks(600), (std::vector<LoadChunk>{{0, 254}, {254, 254}, {508, 92}}));
    EXPECT_TRUE(dataChunks(0).empty());
}

}  // namespace
