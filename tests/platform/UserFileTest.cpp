#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "DynamicLibrary.h"
#include "HostileFiles.h"
#include "UserFile.h"

namespace {

using platform::UserFileState;
namespace fs = std::filesystem;

constexpr std::uint64_t kLimit = 10;

class UserFileTest : public ::testing::Test {
protected:
    std::string path(const char* name) const { return folder_.filePath(QString::fromLatin1(name)).toStdString(); }
    std::string write(const char* name, const std::string& text) const
    {
        std::ofstream(path(name), std::ios::binary) << text;
        return path(name);
    }

    QTemporaryDir folder_;
};

TEST_F(UserFileTest, OnlyRegularFilesWithinTheLimitAreRead)
{
    test_support::GuardedFifo fifo(path("fifo"));
    ASSERT_TRUE(fifo.created());
    fs::create_directory(path("folder"));
    fs::create_symlink("/dev/zero", path("zero-link"));
    fs::create_symlink(write("target", "linked"), path("file-link"));
    struct Case {
        std::string path;
        UserFileState state;
        std::string reason;
        std::string bytes;
    };
    const Case cases[] = {
        {write("small", "abc"), UserFileState::Readable, "", "abc"},
        {write("limit", std::string(kLimit, 'x')), UserFileState::Readable, "", std::string(kLimit, 'x')},
        {path("file-link"), UserFileState::Readable, "", "linked"},
        {write("large", std::string(kLimit + 1, 'x')), UserFileState::TooLarge, "larger than 10 bytes", ""},
        {path("absent"), UserFileState::Missing, "no such file", ""},
        {path("folder"), UserFileState::NotRegular, "not a regular file", ""},
        {fifo.path(), UserFileState::NotRegular, "not a regular file", ""},
        {"/dev/zero", UserFileState::NotRegular, "not a regular file", ""},
        {path("zero-link"), UserFileState::NotRegular, "not a regular file", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const platform::UserFileCheck check = platform::checkUserFile(c.path, kLimit);
        EXPECT_EQ(check.state, c.state);
        EXPECT_EQ(check.reason, c.reason);
        platform::UserFileCheck read;
        const auto bytes = platform::readUserFile(c.path, kLimit, &read);
        EXPECT_EQ(read.state, c.state);
        EXPECT_EQ(read.reason, c.reason);
        EXPECT_EQ(bytes.value_or(""), c.bytes);
        EXPECT_EQ(bytes.has_value(), c.state == UserFileState::Readable);
    }
}

TEST_F(UserFileTest, AHugeFileIsRefusedBeforeReadingWithTheLimitInMegabytes)
{
    ASSERT_TRUE(test_support::makeSparseFile(path("huge"), 300 * platform::kMegabyte));
    platform::UserFileCheck check;
    EXPECT_FALSE(platform::readUserFile(path("huge"), 256 * platform::kMegabyte, &check));
    EXPECT_EQ(check.state, UserFileState::TooLarge);
    EXPECT_EQ(check.reason, "larger than 256 MB");
}

TEST_F(UserFileTest, ALibraryPathNamingAFifoIsRefusedWithoutWaiting)
{
    test_support::GuardedFifo fifo(path("libfifo.so"));
    ASSERT_TRUE(fifo.created());
    platform::DynamicLibrary library;
    EXPECT_FALSE(library.open(fifo.path()));
    EXPECT_EQ(library.lastError(), fifo.path() + ": not a regular file");
}

}  // namespace
