#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>

#include "PluginFixture.h"

namespace asmtest {
namespace {

// Runs once ZernAsm is built beside the plug-in; skipped before that.
class EndToEnd : public PluginFixture {
protected:
    void SetUp() override
    {
        const fs::path assembler = fs::path(TOLVANE_ASM_DIR) / "ZernAsm";
        if (!fs::exists(assembler))
            GTEST_SKIP() << "ZernAsm not built";
        fs::remove(toolDir() / "ZernAsm");
        fs::create_symlink(assembler, toolDir() / "ZernAsm");
        writeFile(first_, "        NOP\n        NOP\n        NOP\n");
        writeFile(second_, "; second file\n        NOP\n");
    }

    int build(int family)
    {
        initialize(family, 0x10000);
        const std::string a = first_.string(), b = second_.string();
        const char* files[] = {a.c_str(), b.c_str()};
        const std::string project = (root() / "proj" / "demo.prj").string();
        return compiler_.Build(files, 2, true, project.c_str());
    }

    fs::path first_ = root() / "proj" / "a.asm";
    fs::path second_ = root() / "proj" / "b.asm";
};

TEST_F(EndToEnd, TwoFileProjectMapsLinesBothWays)
{
    ASSERT_EQ(build(20), 4) << allReported();
    unsigned address = 0;
    ASSERT_EQ(compiler_.LineToAddress(second_.c_str(), 2, &address), 4);
    EXPECT_EQ(address, 3u);
    char* file = nullptr;
    int line = 0;
    ASSERT_EQ(compiler_.AddressToLine(address, &file, &line), 4);
    EXPECT_EQ(std::string(file), second_.string());
    EXPECT_EQ(line, 2);
}

TEST_F(EndToEnd, SyntaxErrorIsLocatedInItsSourceFile)
{
    writeFile(second_, "; second file\n        NOP\n        NOP\n        NOP\n        NOP\n        NOP\n        @@@\n");
    EXPECT_EQ(build(20), 5);
    std::istringstream output(allReported());
    for (std::string text; std::getline(output, text);) {
        if (text.find(": Line ") == std::string::npos)
            continue;
        char* file = nullptr;
        int line = 0;
        ASSERT_EQ(compiler_.LocateMessage(text.c_str(), &file, &line), 4) << text;
        EXPECT_EQ(std::string(file), second_.string());
        EXPECT_EQ(line, 7);
        return;
    }
    ADD_FAILURE() << "no located error in: " << allReported();
}

TEST_F(EndToEnd, WideFamilyMapsSixDigitAddresses)
{
    ASSERT_EQ(build(30), 4) << allReported();
    unsigned address = 99;
    ASSERT_EQ(compiler_.LineToAddress(first_.c_str(), 3, &address), 4);
    EXPECT_EQ(address, 2u);
    const std::string listing = readFile(root() / "proj" / "demo.lst");
    EXPECT_THAT(listing, ::testing::HasSubstr(": 000002: "));
}

}  // namespace
}  // namespace asmtest
