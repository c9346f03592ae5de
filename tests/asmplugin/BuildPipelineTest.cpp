#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>

#include "PluginFixture.h"
#include "Text.h"

namespace asmtest {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class BuildPipeline : public PluginFixture {
protected:
    BuildPipeline()
    {
        fs::create_directories(project());
        writeFile(sourceA(), "start:  NOP\r\n; comment\r\n        CALL sub\r\n");
        writeFile(sourceB(), "sub:    NOP\n        RET\n");
    }

    fs::path project() const { return root() / "proj"; }
    fs::path sourceA() const { return project() / "a.asm"; }
    fs::path sourceB() const { return project() / "b.asm"; }
    fs::path projectFile() const { return project() / "demo.prj"; }
    fs::path logFile() const { return root() / "tool.log"; }

    // What the macro stand-in and the joining step make of the two sources.
    static std::vector<std::string> combinedOfAB()
    {
        return {
            "$BEGIN_MODULE(a)", ";LINE(1)", "start:  NOP", ";LINE(2)", "; comment",   ";LINE(3)", "        CALL sub",
            "$BEGIN_MODULE(b)", ";LINE(1)", "sub:    NOP", ";LINE(2)", "        RET", "end"};
    }

    // The fake assembler logs its call, prints a line and writes this listing and a HEX file.
    void scriptAssembler(const std::string& listing, const std::string& extra = "")
    {
        writeFile(root() / "listing.txt", listing);
        scriptTool("ZernAsm", "log " + logFile().string() + "\nout assembled\ncopy .lst "
                                  + (root() / "listing.txt").string() + "\ntouch .hex\n" + extra);
    }

    int build(std::vector<fs::path> files = {}, bool force = false)
    {
        if (files.empty())
            files = {sourceA(), sourceB()};
        return buildProject(files, force, projectFile());
    }

    std::vector<std::string> logLines() const
    {
        std::vector<std::string> lines;
        std::istringstream log(readFile(logFile()));
        for (std::string line; std::getline(log, line);)
            lines.push_back(line);
        return lines;
    }

    int assemblerRuns() const
    {
        int runs = 0;
        for (const auto& line : logLines())
            runs += line.starts_with("cwd=");
        return runs;
    }
};

TEST_F(BuildPipeline, TwoFileProjectBuildsAndMapsBothFiles)
{
    initialize(20);
    scriptAssembler(listingFor(combinedOfAB()));
    ASSERT_EQ(build(), 4) << allReported();

    const fs::path glb = project() / "demo.glb";
    std::string expected;
    for (const auto& line : combinedOfAB())
        expected += line + "\n";
    EXPECT_EQ(readFile(glb), expected);
    EXPECT_THAT(logLines(), ElementsAre("cwd=" + project().string(), "arg=-l", "arg=-q", "arg=-b", "arg=-w",
                                        "arg=" + glb.string()));
    EXPECT_THAT(allReported(), HasSubstr("assembled\n"));
    EXPECT_TRUE(messages().empty());

    char* path = nullptr;
    EXPECT_EQ(compiler_.GetHexFile(&path), 4);
    EXPECT_EQ(std::string(path), (project() / "demo.hex").string());
    path = reinterpret_cast<char*>(1);
    EXPECT_EQ(compiler_.GetDataHexFile(&path), 4);
    EXPECT_EQ(path, nullptr);

    // Code addresses: a.asm line 1 -> 0, line 3 -> 1; b.asm line 1 -> 2, line 2 -> 3.
    unsigned address = 99;
    EXPECT_EQ(compiler_.LineToAddress(sourceB().c_str(), 2, &address), 4);
    EXPECT_EQ(address, 3u);
    EXPECT_EQ(compiler_.LineToAddress(sourceA().c_str(), 3, &address), 4);
    EXPECT_EQ(address, 1u);
    EXPECT_EQ(compiler_.LineToAddress(sourceA().c_str(), 2, &address), 5);
    char* file = nullptr;
    int line = 0;
    ASSERT_EQ(compiler_.AddressToLine(2, &file, &line), 4);
    EXPECT_EQ(std::string(file), sourceB().string());
    EXPECT_EQ(line, 1);

    // ZernAsm's "<combined source>: Line n" goes back to the source file and line.
    const std::string error = glb.string() + ": Line 12";
    ASSERT_EQ(compiler_.LocateMessage(error.c_str(), &file, &line), 4);
    EXPECT_EQ(std::string(file), sourceB().string());
    EXPECT_EQ(line, 2);
    const std::string beyond = glb.string() + ": Line 14";
    EXPECT_EQ(compiler_.LocateMessage(beyond.c_str(), &file, &line), 5);
}

TEST_F(BuildPipeline, CommandLineFollowsFamilyAndBuildSwitches)
{
    initialize(30);
    compiler_.ReadProjectLine("BUILD SWITCHES: -c  -acc=8");
    scriptAssembler(listingFor(combinedOfAB(), 30, 0x800000));
    ASSERT_EQ(build(), 4);
    const auto log = logLines();
    ASSERT_EQ(log.size(), 8u);
    EXPECT_EQ(log[4], "arg=-w32");
    EXPECT_EQ(log[5], "arg=-c");
    EXPECT_EQ(log[6], "arg=-acc=8");
    char* file = nullptr;
    int line = 0;
    ASSERT_EQ(compiler_.AddressToLine(0x800003, &file, &line), 4);
    EXPECT_EQ(std::string(file), sourceB().string());

    initialize(10);
    compiler_.ReadProjectLine("BUILD SWITCHES: ");
    fs::remove(logFile());
    ASSERT_EQ(build({}, true), 4);
    EXPECT_EQ(logLines().size(), 5u) << "family 10 adds no core switch";
}

TEST_F(BuildPipeline, EmptyProjectAndSkipBuilding)
{
    initialize();
    EXPECT_EQ(compiler_.Build(nullptr, 0, false, projectFile().c_str()), 5);
    EXPECT_THAT(messages(), ElementsAre("Project is empty."));

    scriptAssembler(listingFor(combinedOfAB()));
    setDeviceValue("SkipBuilding", "1");
    ASSERT_EQ(build(), 4);
    EXPECT_EQ(assemblerRuns(), 1) << "the first build ignores SkipBuilding";
    EXPECT_EQ(build(), 4);
    EXPECT_EQ(assemblerRuns(), 1);
    EXPECT_EQ(build({}, true), 4);
    EXPECT_EQ(assemblerRuns(), 2);
}

TEST_F(BuildPipeline, SettingsKeyIsCopiedAndAMissingKeyNeverOpens)
{
    scriptAssembler(listingFor(combinedOfAB()));
    setDeviceValue("SkipBuilding", "1");
    {
        std::string key = kDeviceKey;
        CompilerSettings settings{0x1000, 0, "lib", &recordMessage, 20, key.c_str(), &runState_};
        compiler_.Initialize(nullptr, &settings);
        key.assign(key.size(), 'x');
    }
    ASSERT_EQ(build(), 4);
    EXPECT_EQ(build(), 4);
    EXPECT_EQ(assemblerRuns(), 1) << "the key text was kept after the record went away";

    initialize(20, 0x1000, nullptr);
    EXPECT_EQ(build(), 4);
    EXPECT_EQ(assemblerRuns(), 2) << "no key: SkipBuilding cannot apply";
}

TEST_F(BuildPipeline, FailedPreprocessingNamesTheSourceAndLocatesItsMessages)
{
    initialize();
    scriptAssembler(listingFor(combinedOfAB()));
    const fs::path missing = project() / "missing.asm";
    EXPECT_EQ(build({sourceA(), missing}), 5);
    EXPECT_THAT(messages(), ElementsAre("Failure occurred while running macro preprocessor."));
    EXPECT_THAT(allReported(), HasSubstr(missing.string()));
    EXPECT_FALSE(fs::exists(project() / "missing.mpp"));
    EXPECT_EQ(assemblerRuns(), 0);

    char* file = nullptr;
    int line = 0;
    const std::string message = missing.string() + ": Line 3 unknown macro";
    ASSERT_EQ(compiler_.LocateMessage(message.c_str(), &file, &line), 4);
    EXPECT_EQ(std::string(file), missing.string());
    EXPECT_EQ(line, 3);
}

TEST_F(BuildPipeline, APreprocessorThatWritesNothingNeverReusesAnOldOutput)
{
    initialize();
    scriptAssembler(listingFor(combinedOfAB()));
    writeFile(project() / "a.mpp", "$BEGIN_MODULE(a)\n");
    fs::remove(toolDir() / "macro");
    scriptTool("macro", "exit 0\n");
    EXPECT_EQ(build(), 5);
    EXPECT_THAT(messages(), ElementsAre("Failure occurred while running macro preprocessor."));
    EXPECT_EQ(assemblerRuns(), 0);
}

TEST_F(BuildPipeline, ToolVersionsAreChecked)
{
    initialize();
    scriptAssembler(listingFor(combinedOfAB()));
    writeFile(toolDir() / "macroversion.bin", std::string("\x01\x00", 2));
    EXPECT_EQ(build(), 5);
    EXPECT_THAT(messages(),
                ElementsAre("The installed version of macro.exe is not compatible with this version of Tolvane."));

    writeFile(toolDir() / "macroversion.bin", std::string("\x00\x01", 2));
    writeFile(toolDir() / "zernasmversion.bin", std::string("\x02", 1));
    EXPECT_EQ(build(), 5);
    EXPECT_THAT(messages(),
                ElementsAre("The installed version of zernasm.exe is not compatible with this version of Tolvane."));
    fs::remove(toolDir() / "zernasmversion.bin");
    EXPECT_EQ(build(), 5);
    EXPECT_EQ(assemblerRuns(), 0);
}

TEST_F(BuildPipeline, MissingToolsGiveTheStartFailureTexts)
{
    initialize();
    fs::remove(toolDir() / "ZernAsm");
    EXPECT_EQ(build(), 5);
    EXPECT_THAT(messages(), ElementsAre("Unable to start assembler."));
    fs::remove(toolDir() / "macro");
    EXPECT_EQ(build(), 5);
    EXPECT_THAT(messages(), ElementsAre("Unable to start macro preprocessor."));
}

TEST_F(BuildPipeline, AnEarlyAssemblerExitNeverReusesTheOldListing)
{
    initialize();
    scriptAssembler(listingFor(combinedOfAB()));
    ASSERT_EQ(build(), 4);
    unsigned address = 0;
    ASSERT_EQ(compiler_.LineToAddress(sourceB().c_str(), 2, &address), 4);

    scriptTool("ZernAsm", "err Error! Unable to open the input file\nexit 4\n");
    EXPECT_EQ(build({}, true), 5);
    EXPECT_TRUE(messages().empty());
    EXPECT_FALSE(fs::exists(project() / "demo.lst"));
    EXPECT_EQ(compiler_.LineToAddress(sourceB().c_str(), 2, &address), 5) << "the map went with the listing";
    char* file = nullptr;
    int line = 0;
    EXPECT_EQ(compiler_.AddressToLine(3, &file, &line), 5);
}

TEST_F(BuildPipeline, WarningsRunIsASuccessAndReportsTheWarnings)
{
    initialize();
    std::string listing = listingFor(combinedOfAB(), 20, 0, "Parser terminated with 1 warnings.  ");
    listing.insert(listing.find("\nParser"), "Warning : vvvv: Value truncated\n");
    scriptAssembler(listing);
    ASSERT_EQ(build(), 4);
    EXPECT_THAT(allReported(), HasSubstr("Warning : vvvv: Value truncated"));
    unsigned address = 0;
    EXPECT_EQ(compiler_.LineToAddress(sourceB().c_str(), 2, &address), 4);
}

TEST_F(BuildPipeline, DataFileIsNamedWhenTheAssemblerWroteIt)
{
    initialize();
    scriptAssembler(listingFor(combinedOfAB()), "touch _d.hex\n");
    ASSERT_EQ(build(), 4);
    char* path = nullptr;
    EXPECT_EQ(compiler_.GetDataHexFile(&path), 4);
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(std::string(path), (project() / "demo_d.hex").string());
}

TEST_F(BuildPipeline, MissingProjectFolderBuildsInTheTemporaryFolder)
{
    initialize();
    scriptAssembler(listingFor(combinedOfAB()));
    const std::string projectPath = (root() / "gone" / "demo.prj").string();
    const std::string a = sourceA().string(), b = sourceB().string();
    const char* files[] = {a.c_str(), b.c_str()};
    ASSERT_EQ(compiler_.Build(files, 2, false, projectPath.c_str()), 4);
    EXPECT_TRUE(fs::exists(root() / "tmp" / "demo.glb"));
    char* path = nullptr;
    compiler_.GetHexFile(&path);
    EXPECT_EQ(std::string(path), (root() / "tmp" / "demo.hex").string());
}

TEST_F(BuildPipeline, SourcesSharingAStemBothReachTheCombinedSourceAndMap)
{
    initialize();
    const fs::path first = project() / "one" / "main.asm";
    const fs::path second = project() / "two" / "main.asm";
    writeFile(first, "        NOP\n");
    writeFile(second, "        NOP\n        NOP\n");
    const std::vector<std::string> combined = {
        "$BEGIN_MODULE(main)", ";LINE(1)", "        NOP", "$BEGIN_MODULE(main)", ";LINE(1)", "        NOP", ";LINE(2)",
        "        NOP",         "end"};
    scriptAssembler(listingFor(combined));
    ASSERT_EQ(build({first, second}), 4);
    std::string expected;
    for (const auto& line : combined)
        expected += line + "\n";
    EXPECT_EQ(readFile(project() / "demo.glb"), expected);
    char* file = nullptr;
    int line = 0;
    ASSERT_EQ(compiler_.AddressToLine(2, &file, &line), 4);
    EXPECT_EQ(std::string(file), second.string());
    EXPECT_EQ(line, 2);
    const std::string message = (project() / "demo.glb").string() + ": Line 6";
    ASSERT_EQ(compiler_.LocateMessage(message.c_str(), &file, &line), 4);
    EXPECT_EQ(std::string(file), second.string());
    EXPECT_EQ(line, 1);
}

TEST_F(BuildPipeline, PostCompileCommandRunsInItsProgramsFolder)
{
    initialize();
    scriptAssembler(listingFor(combinedOfAB()));
    const fs::path postLog = root() / "post.log";
    scriptTool("post tool", "log " + postLog.string() + "\nout post-compile done\n");
    setDeviceValue("PostCompileCommand", "\"" + (toolDir() / "post tool").string() + "\" --flag \"two words\"");
    ASSERT_EQ(build(), 4);
    EXPECT_EQ(readFile(postLog), "cwd=" + toolDir().string() + "\narg=--flag\narg=two words\n");
    EXPECT_THAT(allReported(), HasSubstr("post-compile done\n"));

    setDeviceValue("PostCompileCommand", (root() / "nothing" / "here").string());
    EXPECT_EQ(build({}, true), 5);
    EXPECT_THAT(messages(), ElementsAre("Unable to launch post-compile program."));
}

TEST_F(BuildPipeline, UnwritableCombinedSourceIsReported)
{
    initialize();
    scriptAssembler(listingFor(combinedOfAB()));
    fs::create_directories(project() / "demo.glb");
    EXPECT_EQ(build(), 5);
    EXPECT_THAT(reported(), ::testing::Contains("Unable to create output file: " + (project() / "demo.glb").string()));
    EXPECT_EQ(assemblerRuns(), 0);
}

TEST_F(BuildPipeline, EveryRealBuildStartsWithAnEmptyMessageList)
{
    initialize();
    scriptAssembler(listingFor(combinedOfAB()));
    fs::remove(toolDir() / "ZernAsm");
    EXPECT_EQ(build(), 5);
    EXPECT_EQ(messages().size(), 1u);
    scriptAssembler(listingFor(combinedOfAB()));
    ASSERT_EQ(build({}, true), 4);
    EXPECT_TRUE(messages().empty());
}

TEST_F(BuildPipeline, NoCallbackMeansNoReports)
{
    CompilerSettings settings{0x1000, 0, "lib", nullptr, 20, kDeviceKey, &runState_};
    compiler_.Initialize(nullptr, &settings);
    scriptAssembler(listingFor(combinedOfAB()), "bytes 10000\n");
    EXPECT_EQ(build(), 4);
    EXPECT_TRUE(reported().empty());
}

}  // namespace
}  // namespace asmtest
