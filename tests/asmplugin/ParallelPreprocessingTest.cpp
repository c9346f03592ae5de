#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PluginFixture.h"

namespace asmtest {
namespace {

// The preprocessor is a script around the real stand-in: it names the source
// it works on, and it lingers after "*slow.asm" (0.3 s) and "*mid.asm"
// (0.15 s) sources, so that runs of later sources end first; "*.inc" sources
// wait 0.1 s before they start.
class ParallelPreprocessing : public PluginFixture {
protected:
    ParallelPreprocessing()
    {
        fs::remove(toolDir() / "macro");
        writeFile(toolDir() / "macro", std::string("#!/bin/sh\n"
                                                   "base=${5##*/}\n"
                                                   "echo \"preprocessing $base\"\n"
                                                   "case $base in *.inc) sleep 0.1 ;; esac\n"
                                                   "\"" MACRO_PATH "\" \"$@\"\n"
                                                   "status=$?\n"
                                                   "case $base in\n"
                                                   "  *slow.asm) sleep 0.3 ;;\n"
                                                   "  *mid.asm) sleep 0.15 ;;\n"
                                                   "esac\n"
                                                   "exit $status\n"));
        fs::permissions(toolDir() / "macro", fs::perms::owner_all);
        writeFile(root() / "listing.txt", listingFor({"end"}));
        scriptTool("ZernAsm", "out assembled\ncopy .lst " + (root() / "listing.txt").string() + "\n");
        initialize();
    }

    fs::path source(const std::string& name) const { return root() / "proj" / name; }

    // Each source holds one line naming itself.
    fs::path addSource(const std::string& name)
    {
        writeFile(source(name), "; " + name + "\n");
        return source(name);
    }

    int build(const std::vector<fs::path>& files) { return buildProject(files, true, root() / "proj" / "demo.prj"); }

    std::string combined() const { return readFile(root() / "proj" / "demo.glb"); }
};

std::string moduleOf(const std::string& stem, const std::string& line)
{
    return "$BEGIN_MODULE(" + stem + ")\n;LINE(1)\n" + line + "\n";
}

TEST_F(ParallelPreprocessing, OutputAndCombinedSourceKeepTheFileOrder)
{
    const std::vector<std::string> names = {"aslow.asm", "bmid.asm", "c.asm", "d.asm",
                                            "e.asm",     "f.asm",    "g.asm", "h.asm"};
    std::vector<fs::path> files;
    std::string expectedOutput;
    std::string expectedCombined;
    for (const auto& name : names) {
        files.push_back(addSource(name));
        expectedOutput += "preprocessing " + name + "\n";
        expectedCombined += moduleOf(fs::path(name).stem().string(), "; " + name);
    }
    ASSERT_EQ(build(files), 4) << allReported();
    EXPECT_EQ(allReported(), expectedOutput + "assembled\n");
    EXPECT_EQ(combined(), expectedCombined + "end\n");
}

TEST_F(ParallelPreprocessing, TheFirstFailureEndsTheBuildAsIfLaterSourcesNeverRan)
{
    std::vector<fs::path> files = {addSource("aslow.asm"), addSource("b.asm"), addSource("c.asm"), source("gone.asm"),
                                   addSource("e.asm"),     source("lost.asm"), addSource("g.asm")};
    EXPECT_EQ(build(files), 5);
    EXPECT_THAT(messages(), ::testing::ElementsAre("Failure occurred while running macro preprocessor."));
    EXPECT_EQ(allReported(),
              "preprocessing aslow.asm\npreprocessing b.asm\npreprocessing c.asm\n"
              "preprocessing gone.asm\n"
                  + source("gone.asm").string() + ": Unable to read source file.\n")
        << "nothing of the sources after the failed one";
    EXPECT_FALSE(fs::exists(root() / "proj" / "demo.glb"));

    char* file = nullptr;
    int line = 0;
    const std::string failed = source("gone.asm").string() + ": Line 2 unknown macro";
    ASSERT_EQ(compiler_.LocateMessage(failed.c_str(), &file, &line), 4);
    EXPECT_EQ(std::string(file), source("gone.asm").string());
    const std::string later = source("lost.asm").string() + ": Line 2 unknown macro";
    EXPECT_EQ(compiler_.LocateMessage(later.c_str(), &file, &line), 5) << "a later source is no module of this build";
}

TEST_F(ParallelPreprocessing, SourcesWritingTheSameOutputRunOneAfterTheOther)
{
    // Both preprocess into "sharedslow.mpp"; the first lingers after writing
    // it, so the second would overwrite it before it is read if the two ran
    // side by side.
    writeFile(source("sharedslow.asm"), "; first\n");
    writeFile(source("sharedslow.inc"), "; second\n");
    const std::vector<fs::path> files = {source("sharedslow.asm"), addSource("x.asm"), source("sharedslow.inc"),
                                         addSource("y.asm")};
    ASSERT_EQ(build(files), 4) << allReported();
    EXPECT_EQ(combined(), moduleOf("sharedslow", "; first") + moduleOf("x", "; x.asm")
                              + moduleOf("sharedslow", "; second") + moduleOf("y", "; y.asm") + "end\n");
}

}  // namespace
}  // namespace asmtest
