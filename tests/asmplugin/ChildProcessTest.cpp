#include <chrono>
#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "PluginFixture.h"
#include "Tools.h"

namespace asmtest {
namespace {

using asmplugin::runAndCapture;

class ChildProcess : public PluginFixture {
protected:
    std::optional<int> run(const std::string& script, const std::string& folder = "")
    {
        scriptTool("tool", script);
        return runAndCapture({(toolDir() / "tool").string(), "input.glb"}, folder,
                             [this](const char* chunk) { chunks_.emplace_back(chunk); });
    }

    std::vector<std::string> chunks_;
};

TEST_F(ChildProcess, TwoMebibytesAreDrainedWhileTheChildRunsAndArriveWhole)
{
    constexpr long size = 2L * 1024 * 1024;
    const auto exitCode = run("bytes " + std::to_string(size) + "\nexit 3\n");
    ASSERT_EQ(exitCode, 3);
    std::string all;
    for (const auto& chunk : chunks_) {
        EXPECT_LE(chunk.size(), asmplugin::kOutputChunkSize);
        all += chunk;
    }
    ASSERT_EQ(all.size(), static_cast<std::size_t>(size));
    for (long i = 0; i < size; i += 4093)
        ASSERT_EQ(all[i], static_cast<char>('a' + i % 26)) << "at " << i;
}

TEST_F(ChildProcess, BothOutputsArriveInOrderFromTheWorkingFolder)
{
    const fs::path log = root() / "run.log";
    ASSERT_EQ(run("out first\nsleep 20\nerr second\nlog " + log.string() + "\n", root().string()), 0);
    std::string all;
    for (const auto& chunk : chunks_)
        all += chunk;
    EXPECT_EQ(all, "first\nsecond\n");
    EXPECT_EQ(readFile(log), "cwd=" + root().string() + "\narg=input.glb\n");
}

TEST_F(ChildProcess, MissingProgramOrFolderFailsToStartAtOnce)
{
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(runAndCapture({(root() / "no-such-tool").string()}, "", [](const char*) {}));
    scriptTool("tool", "");
    EXPECT_FALSE(
        runAndCapture({(toolDir() / "tool").string()}, (root() / "no-such-folder").string(), [](const char*) {}));
    EXPECT_FALSE(runAndCapture({}, "", [](const char*) {}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(CommandLineSplit, BlanksSeparateAndQuotesGroup)
{
    using asmplugin::splitCommandLine;
    EXPECT_EQ(splitCommandLine("  a  b\tc "), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(splitCommandLine("\"/x y/z\" -q \"\""), (std::vector<std::string>{"/x y/z", "-q", ""}));
    EXPECT_TRUE(splitCommandLine("   ").empty());
}

}  // namespace
}  // namespace asmtest
