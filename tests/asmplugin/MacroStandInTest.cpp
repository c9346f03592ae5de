#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "PluginFixture.h"

namespace asmtest {
namespace {

using ::testing::HasSubstr;

class MacroStandIn : public PluginFixture {
protected:
    std::optional<int> preprocess(const fs::path& source)
    {
        output_.clear();
        return asmplugin::runAndCapture({MACRO_PATH, "-e-", "-L", "-q", "-d", source.string()}, "",
                                        [this](const char* chunk) { output_ += chunk; });
    }

    std::string output_;
};

TEST_F(MacroStandIn, MarksTheModuleAndEverySourceLine)
{
    const fs::path source = root() / "src" / "Blink.asm";
    writeFile(source, "start:  NOP\r\n\r\n        RET");
    ASSERT_EQ(preprocess(source), 0) << output_;
    EXPECT_EQ(readFile(root() / "src" / "Blink.mpp"),
              "$BEGIN_MODULE(Blink)\n;LINE(1)\nstart:  NOP\n;LINE(2)\n\n;LINE(3)\n        RET\n");
    EXPECT_EQ(output_, "");
}

TEST_F(MacroStandIn, UnreadableSourceIsNamedAndLeavesNoOutput)
{
    const fs::path missing = root() / "src" / "gone.asm";
    writeFile(root() / "src" / "gone.mpp", "stale\n");
    EXPECT_NE(preprocess(missing), 0);
    EXPECT_THAT(output_, HasSubstr(missing.string()));
    EXPECT_FALSE(fs::exists(root() / "src" / "gone.mpp"));

    fs::create_directories(root() / "folder.asm");
    EXPECT_NE(preprocess(root() / "folder.asm"), 0);
    EXPECT_FALSE(fs::exists(root() / "folder.mpp"));

    EXPECT_NE(asmplugin::runAndCapture({MACRO_PATH}, "", [](const char*) {}), 0);
}

TEST_F(MacroStandIn, AnOutputThatCannotBeMovedIntoPlaceIsAFailure)
{
    // A folder in the output's place that the stand-in cannot remove.
    const fs::path source = root() / "src" / "held.asm";
    writeFile(source, "        NOP\n");
    writeFile(root() / "src" / "held.mpp" / "keep", "x");
    EXPECT_NE(preprocess(source), 0);
    EXPECT_THAT(output_, HasSubstr(source.string()));
    EXPECT_FALSE(fs::exists(root() / "src" / "held.mpp.part"));
}

}  // namespace
}  // namespace asmtest
