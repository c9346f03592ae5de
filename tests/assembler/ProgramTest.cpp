// The ZernAsm program end to end, each run in its own folder: command line,
// exit status, output files, console texts and the sound failure paths.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "AsmTestSupport.h"

namespace zernasm {
namespace {

using test::RunProgram;
using test::RunResult;
using test::TempFolder;

const std::string kUsage =
    "Usage:  zernasm [options] <filename>\n"
    "  options\n"
    "    -l       generate list file (default: no list file)\n"
    "    -q       quiet mode (default: verbose)\n"
    "    -b       allow DB statements (default: disallow in ZERNB)\n"
    "    -c       allow CP register instructions\n"
    "    -C       allow ZERNBK core register instructions\n"
    "    -w       wide data (ZERNB) mode (default: ZERNA)\n"
    "    -w32     wide data with 32 bit Accumulator (ZERNC)\n"
    "    -acc=<n> accumulators supported, n (default:16)\n"
    "    -h       standard hex mode (default: hex386 mode)\n\n";

// The banner, the build date and time as character classes.
const std::string kBannerShape =
    "\xC9" + std::string(63, '\xCD') + "\xBB\n\xBA                 ZernAsm Version 2.116.0079"
    + "                    \xBA\n\xC8" + std::string(63, '\xCD') + "\xBC\n\nLast build Aaa _9 9999 at 99:99:99\n\n";

RunResult RunSource(const std::string& source, const std::vector<std::string>& arguments, TempFolder& folder)
{
    folder.Write("prog.asm", source);
    return RunProgram(folder, arguments);
}

// The banner (matched as a pattern) followed by exactly `rest`.
bool BannerThen(const std::string& text, const std::string& rest)
{
    if (text.size() < rest.size() || text.compare(text.size() - rest.size(), rest.size(), rest) != 0)
        return false;
    return test::MatchesShape(text.substr(0, text.size() - rest.size()), kBannerShape);
}

TEST(ProgramCommandLine, InvalidCommandLines)
{
    const struct {
        std::vector<std::string> arguments;
        const char* message;
        int status;
    } cases[] = {
        {{"prog.asm", "-l"}, "Error, Invalid command line\n", 2},
        {{"-l", "prog.asm", "prog.asm"}, "Error, Invalid command line\n", 2},
        {{"-w8", "prog.asm"}, "Error, Invalid command line\n", 2},
        {{"-acc", "prog.asm"}, "Error, Invalid command line\n", 2},
        {{"-x", "prog.asm"}, "Error, Invalid command line\n", 2},
        {{"-acc=12", "prog.asm"}, "Error, Number of accumulators must be 8, 16 or 32\n", 16},
        {{"-c", "-w32", "prog.asm"}, "Error, -c or -C should not be specified with ZERNC \n", 1},
        {{"-q"}, "Error, No file specified\n", 1},
        {{}, "Error, No file specified\n", 1},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        const RunResult run = RunSource(" NOP\n END\n", c.arguments, folder);
        EXPECT_EQ(run.exitStatus, c.status) << c.message;
        // The banner comes first, also under -q.
        EXPECT_TRUE(BannerThen(run.err, c.message + kUsage)) << run.err;
        EXPECT_FALSE(folder.Exists("prog.hex"));
    }
}

TEST(ProgramCommandLine, OptionLettersAndCoreOrder)
{
    TempFolder folder;
    RunResult run = RunSource(" XCH\n END\n", {"-qz", "-lfoo", "-w32", "-w", "prog.asm"}, folder);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(run.listing.has_value());
    EXPECT_NE(run.listing->find("for ZERNB,using 16 accumulators"), std::string::npos);
    run = RunSource(" NOP\n END\n", {"-q", "-t", "prog.asm"}, folder);
    EXPECT_EQ(run.out, "*** TEST MODE ENABLED ***\n");
}

TEST(ProgramRun, VerboseConsoleOfASuccessfulRun)
{
    TempFolder folder;
    const RunResult run = RunSource(" NOP\n END\n", {"prog.asm"}, folder);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_TRUE(BannerThen(run.err,
                           "Parsing prog.asm ...\n\n\nStarting pass 1 ...\n\n\nStarting pass 2 ...\n"
                           "Parser terminated successfully.\n"))
        << run.err;
    EXPECT_EQ(*run.programHex, ":020000040000FA\n:020000003ADAEA\n:00000001FF\n");
    EXPECT_FALSE(folder.Exists("prog_d.hex"));
    EXPECT_FALSE(folder.Exists("prog.tmp"));
    EXPECT_FALSE(folder.Exists("prog_d.tmp"));
}

TEST(ProgramRun, OutputsLandInTheCurrentFolderNamedAfterTheFile)
{
    TempFolder folder;
    mkdir(folder.File("src").c_str(), 0755);
    folder.Write("src/my.prog.asm", "SEGMENT DATA\n DW 1\nSEGMENT CODE\n NOP\n END\n");
    const RunResult run = RunProgram(folder, {"-q", "-l", "src/my.prog.asm"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_TRUE(folder.Exists("my.prog.hex"));
    EXPECT_TRUE(folder.Exists("my.prog_d.hex"));
    EXPECT_TRUE(folder.Exists("my.prog.lst"));
    EXPECT_EQ(run.data, (std::map<uint32_t, uint8_t>{{0, 1}, {1, 0}}));
    EXPECT_NE(run.listing->find("Assembling src/my.prog.asm for ZERNA"), std::string::npos);
}

TEST(ProgramRun, StandardHexMode)
{
    TempFolder folder;
    const RunResult run = RunSource(" ORG 8000h\n NOP\n END\n", {"-q", "-h", "prog.asm"}, folder);
    EXPECT_EQ(*run.programHex, ":020000003ADAEA\n:00000001FF\n");
    const RunResult extended = RunSource(" ORG 8000h\n NOP\n END\n", {"-q", "prog.asm"}, folder);
    EXPECT_EQ(*extended.programHex, ":020000040001F9\n:020000003ADAEA\n:00000001FF\n");
}

// What the program writes for sources at the edges of the scanner, the
// listing and the branch encoding: HEX file, listing and standard error.
TEST(ProgramRun, EdgeSourcesInHexListingAndConsole)
{
    const auto errors = [](int line, const std::string& token) {
        const std::string head = "prog.asm: Line " + std::to_string(line) + "\nError: ";
        const std::string tail = "\n  Last token read was \"" + token + "\"\n\n";
        return head + "parse error" + tail + head + "Parse failed" + tail + head + "parse error" + tail
               + "Error! Parse failed!\n";
    };
    const struct {
        std::string source;
        int status;
        std::string hex;      // the program HEX file; none when empty
        std::string listing;  // a stretch of the listing
        std::string err;
    } cases[] = {
        // A data label holds a word address: the long target lies 0xA000 above it.
        {"SEGMENT DATA\n ORG 10h\nbuf: DW 0\nodd: DW 1\nSEGMENT CODE\n LJUMP buf\n JUMP odd\n END\n", 0,
         ":020000040000FA\n:08000000A00B100CA00B110C69\n:00000001FF\n",
         "       6: 0000: 0BA0  \n       6: 0001: 0C10   LJUMP buf\n"
         "       7: 0002: 0BA0  \n       7: 0003: 0C11   JUMP odd\n",
         ""},
        {" ORG 12345h\n NOP\n END\n", 0, ":020000040002F8\n:02468A003ADA1A\n:00000001FF\n",
         "       1:              ORG 12345h\n       2: 12345: DA3A   NOP\n", ""},
        // The text-mode reading leaves CR LF of CR CR LF: one line end, read as two LFs.
        {" NOP\r\r\n NOP\r\r\n END\r\r\n", 0, ":020000040000FA\n:040000003ADA3ADAD4\n:00000001FF\n",
         "       1: 0000: DA3A   NOP\n\n       2: 0001: DA3A   NOP\n\n       3:              END\n", ""},
        {" NOP\r\r\n MOVE A[1],\r\r\n END\r\r\n", 1, "",
         "       2:              MOVE A[1],\n\n\nprog.asm: Line 2\nError: parse error\n  Last token read was \"\n\n\"\n",
         errors(2, "\n\n")},
        // The NUL token is printed as nothing; the rest of the report stays.
        {std::string(" NOP\n MOVE A[1], \0\n END\n", 23), 1, "",
         "\nprog.asm: Line 2\nError: parse error\n  Last token read was \"\"\n\n\nError! Parse failed!\n",
         errors(2, "")},
        // A character constant is one character that is no single quote.
        {" DW '''\n END\n", 1, "", "Error: parse error\n  Last token read was \"'\"\n", errors(1, "'")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        TempFolder folder;
        const RunResult run = RunSource(c.source, {"-q", "-l", "prog.asm"}, folder);
        EXPECT_EQ(run.exitStatus, c.status);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(folder.Read("prog.hex").value_or(""), c.hex);
        const std::string listing = folder.Read("prog.lst").value_or("");
        EXPECT_NE(listing.find(c.listing), std::string::npos) << listing;
    }
}

TEST(ProgramErrors, ThreeErrorsAreAllShownAndAFourthStopsTheRun)
{
    TempFolder folder;
    // A register is no target of a short jump: an error of pass 2 only.
    RunResult run = RunSource(" SJUMP A[1]\n SJUMP A[2]\n SJUMP A[3]\n NOP\n END\n", {"-q", "-l", "prog.asm"}, folder);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find("prog.asm: Line 3\nError: label or immediate value address must be supplied "),
              std::string::npos);
    EXPECT_NE(run.err.find("Error! Parse failed!\n"), std::string::npos);
    EXPECT_EQ(run.err.find("successfully"), std::string::npos);
    EXPECT_FALSE(folder.Exists("prog.hex"));
    EXPECT_FALSE(folder.Exists("prog.tmp"));
    EXPECT_TRUE(folder.Exists("prog.lst"));
    run = RunSource(" SJUMP A[1]\n SJUMP A[2]\n SJUMP A[3]\n SJUMP A[4]\n NOP\n END\n", {"-q", "prog.asm"}, folder);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find("prog.asm: Line 3\nError: label or immediate value address must be supplied "),
              std::string::npos);
    EXPECT_EQ(run.err.find("Line 4"), std::string::npos);
    EXPECT_EQ(run.err.find("Parse failed"), std::string::npos);
    EXPECT_FALSE(folder.Exists("prog.tmp"));
    EXPECT_FALSE(folder.Exists("prog_d.tmp"));
}

TEST(ProgramErrors, Pass1ErrorLineBecomesTheStatusCappedAt255)
{
    TempFolder folder;
    RunResult run = RunSource(" NOP\n NOP\n NOP\n NOP\nAP: NOP\n END\n", {"-q", "prog.asm"}, folder);
    EXPECT_EQ(run.exitStatus, 5);
    std::string source;
    for (int i = 1; i < 256; ++i)
        source += " NOP\n";
    run = RunSource(source + "AP: NOP\n END\n", {"-q", "prog.asm"}, folder);  // line 256
    EXPECT_EQ(run.exitStatus, 255);
    EXPECT_FALSE(folder.Exists("prog.hex"));
}

TEST(ProgramWarnings, WhereWarningsAppear)
{
    const std::string source = " MOVE Acc, #1234h\n END\n";
    TempFolder folder;
    RunResult run = RunSource(source, {"-q", "-l", "prog.asm"}, folder);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Warnings encountered.\n");
    const std::vector<std::string> body = run.ListingBody();
    ASSERT_GE(body.size(), 2u);
    EXPECT_EQ(body[0], "Warning : vvvv: Value is out of range");
    EXPECT_EQ(test::SplitLines(*run.listing).back(), "Parser terminated with 1 warnings.");
    run = RunSource(source, {"-q", "prog.asm"}, folder);
    EXPECT_EQ(run.out, "\nprog.asm:\nWarning: Value is out of range on line 1\n");
    EXPECT_EQ(run.exitStatus, 0);
}

TEST(ProgramFiles, OutputNamedLikeTheSourceIsRefusedBeforeAnythingIsDeleted)
{
    TempFolder folder;
    const std::string source = " NOP\n END\n";
    folder.Write("prog.lst", source);
    RunResult run = RunProgram(folder, {"-q", "-l", "prog.lst"});
    EXPECT_EQ(run.exitStatus, 7);
    EXPECT_EQ(run.err, "Error! Unable to open the list file \"prog.lst\"!\n");
    EXPECT_EQ(folder.Read("prog.lst"), source);
    folder.Write("prog.hex", source);
    run = RunProgram(folder, {"-q", "prog.hex"});
    EXPECT_EQ(run.exitStatus, 5);
    EXPECT_EQ(run.err, "Error! Unable to open the output file \"prog.hex\"!\n");
    EXPECT_EQ(folder.Read("prog.hex"), source);
    EXPECT_FALSE(folder.Exists("prog.tmp"));
}

TEST(ProgramFiles, InputThatIsNoRegularFile)
{
    TempFolder folder;
    mkdir(folder.File("dir.asm").c_str(), 0755);
    RunResult run = RunProgram(folder, {"-q", "dir.asm"});
    EXPECT_EQ(run.exitStatus, 4);
    EXPECT_EQ(run.err, "Error! Unable to open the input file \"dir.asm\"!\n");
    run = RunProgram(folder, {"-q", "missing.asm"});
    EXPECT_EQ(run.exitStatus, 4);
}

TEST(ProgramFiles, TemporariesAreDeletedWhenTheListingCannotBeCreated)
{
    TempFolder folder;
    mkdir(folder.File("prog.lst").c_str(), 0755);
    folder.Write("prog.lst/keep", "x");
    const RunResult run = RunSource(" NOP\n END\n", {"-q", "-l", "prog.asm"}, folder);
    EXPECT_EQ(run.exitStatus, 7);
    EXPECT_EQ(run.err, "Error! Unable to open the list file \"prog.lst\"!\n");
    EXPECT_FALSE(folder.Exists("prog.tmp"));
    EXPECT_FALSE(folder.Exists("prog_d.tmp"));
}

TEST(ProgramFiles, TemporariesAreDeletedWhenTheDataTemporaryCannotBeCreated)
{
    TempFolder folder;
    mkdir(folder.File("prog_d.tmp").c_str(), 0755);
    const RunResult run = RunSource(" NOP\n END\n", {"-q", "prog.asm"}, folder);
    EXPECT_EQ(run.exitStatus, 6);
    EXPECT_EQ(run.err, "Error! Unable to open the output file \"prog_d.tmp\"!\n");
    EXPECT_FALSE(folder.Exists("prog.tmp"));
}

TEST(ProgramFiles, FailedRenameIsReportedAndFailsTheRun)
{
    TempFolder folder;
    mkdir(folder.File("prog.hex").c_str(), 0755);
    folder.Write("prog.hex/keep", "x");
    const RunResult run = RunSource(" NOP\n END\n", {"-q", "prog.asm"}, folder);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "Error!  Failed to rename output file\n  prog.tmp to prog.hex\n");
    EXPECT_EQ(run.out, "ERROR: Error EISDIR returned\n");
}

TEST(ProgramFiles, FailedWriteLeavesNoHexFile)
{
    TempFolder folder;
    ASSERT_EQ(symlink("/dev/full", folder.File("prog_d.tmp").c_str()), 0);
    const RunResult run = RunSource("SEGMENT DATA\n DW 1\n END\n", {"-q", "prog.asm"}, folder);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "Error! Unable to write the output file \"prog_d.tmp\"!\n");
    EXPECT_FALSE(folder.Exists("prog.hex"));
    EXPECT_FALSE(folder.Exists("prog_d.hex"));
    EXPECT_FALSE(folder.Exists("prog.tmp"));
}

}  // namespace
}  // namespace zernasm
