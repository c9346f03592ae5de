#include <gtest/gtest.h>

#include "ProjectFile.h"

namespace {

using namespace project;

const QString kFolder = QStringLiteral("/work/demo");

// What the IDE writes for this project, byte for byte.
const char kGolden[] =
    "[FILES]\r\n"
    "main.asm\r\n"
    "lib/timer.inc\r\n"
    "../shared/io.asm\r\n"
    "[DEVICE]\r\n"
    "ZernJTAG\r\n"
    "[STIMULUS]\r\n"
    "test.stm\r\n"
    "[DATA_FILE]\r\n"
    "\r\n"
    "[OPENED]\r\n"
    "main.asm;10;20;300;400;12\r\n"
    "lib/timer.inc;0;0;640;480;13\r\n"
    "[COMPILER]\r\n"
    "QuorinAssembler\r\n"
    "[DEVICE INFORMATION]\r\n"
    "Option1=on\r\n"
    "Speed=2\r\n"
    "[WINDOWS]\r\n"
    "21;0;0;200;600;8\r\n"
    "22;0;600;800;150;11\r\n"
    "24;10;10;250;300;15\r\n"
    "[BREAKPOINTS]\r\n"
    "main.asm;17\r\n"
    "../shared/io.asm;3\r\n";

ProjectContents goldenContents()
{
    ProjectContents contents;
    contents.files = {"/work/demo/main.asm", "/work/demo/lib/timer.inc", "/work/shared/io.asm"};
    contents.device = "ZernJTAG";
    contents.stimulusFile = "/work/demo/test.stm";
    contents.opened = {{"/work/demo/main.asm", 10, 20, 300, 400, 12}, {"/work/demo/lib/timer.inc", 0, 0, 640, 480, 13}};
    contents.compiler = QStringLiteral("QuorinAssembler");
    contents.deviceInformation = {"Option1=on", "Speed=2"};
    contents.windows = {{21, 0, 0, 200, 600, 8}, {22, 0, 600, 800, 150, 11}, {24, 10, 10, 250, 300, 15}};
    contents.breakpoints = {{"/work/demo/main.asm", 17}, {"/work/shared/io.asm", 3}};
    return contents;
}

// Rebuilds what a writer needs from what the reader gave back.
ProjectContents contentsOf(const QList<ProjectEntry>& entries)
{
    ProjectContents contents;
    for (const ProjectEntry& entry : entries) {
        if (auto* e = std::get_if<FileEntry>(&entry))
            contents.files << e->path;
        else if (auto* e = std::get_if<DeviceEntry>(&entry))
            contents.device = e->name;
        else if (auto* e = std::get_if<StimulusEntry>(&entry))
            contents.stimulusFile = e->path;
        else if (auto* e = std::get_if<DataFileEntry>(&entry))
            contents.dataFile = e->path;
        else if (auto* e = std::get_if<OpenedEditor>(&entry))
            contents.opened << *e;
        else if (auto* e = std::get_if<CompilerEntry>(&entry))
            contents.compiler = e->name;
        else if (auto* e = std::get_if<DeviceInformationEntry>(&entry))
            contents.deviceInformation << e->line;
        else if (auto* e = std::get_if<ToolWindowLine>(&entry))
            contents.windows << *e;
        else if (auto* e = std::get_if<BreakpointLine>(&entry))
            contents.breakpoints << *e;
    }
    return contents;
}

TEST(ProjectFile, WritesTheGoldenFileByteForByte)
{
    EXPECT_EQ(writeProjectText(goldenContents(), kFolder), QByteArray(kGolden));
}

TEST(ProjectFile, ReadThenWriteIsTheIdentity)
{
    const ProjectReadResult read = readProjectText(QByteArray(kGolden), kFolder);
    ASSERT_TRUE(read.error.isEmpty()) << read.error.toStdString();
    EXPECT_EQ(writeProjectText(contentsOf(read.entries), kFolder), QByteArray(kGolden));
}

TEST(ProjectFile, WithoutDeviceTheCompilerAndOptionSectionsAreLeftOut)
{
    ProjectContents contents;
    contents.files = {"/work/demo/a.asm"};
    EXPECT_EQ(writeProjectText(contents, kFolder),
              QByteArray("[FILES]\r\na.asm\r\n[DEVICE]\r\n\r\n[STIMULUS]\r\n[DATA_FILE]\r\n\r\n[OPENED]\r\n"
                         "[WINDOWS]\r\n[BREAKPOINTS]\r\n"));
}

TEST(ProjectFile, ReadsLooseHeadersCommentsBlankLinesAndRepeatedSections)
{
    const QByteArray text =
        "stray line before any header\n"
        "  [files]  \r\n"
        "a.asm\n"
        "\n"
        "# a comment\n"
        "   \t\n"
        "[Breakpoints]\n"
        "a.asm;4\n"
        "[FILES]\n"
        "  sub/b.asm  \n"
        "[device]\n"
        "Fake\n";
    const ProjectReadResult read = readProjectText(text, kFolder);
    ASSERT_TRUE(read.error.isEmpty());
    const ProjectContents contents = contentsOf(read.entries);
    EXPECT_EQ(contents.files, QStringList({"/work/demo/a.asm", "/work/demo/sub/b.asm"}));
    ASSERT_EQ(contents.breakpoints.size(), 1);
    EXPECT_EQ(contents.breakpoints[0].line, 4);
    EXPECT_EQ(contents.device, "Fake");
    // File order is kept: the breakpoint came between the two files.
    EXPECT_TRUE(std::holds_alternative<BreakpointLine>(read.entries[1]));
}

TEST(ProjectFile, LineEndsOfEveryKindReadAlikeAndTextWithoutASectionIsNoProject)
{
    QByteArray mixed;
    int line = 0;
    for (const QByteArray& text : QByteArray(kGolden).split('\n'))
        if (!text.isEmpty())
            mixed += text.chopped(1) + (++line % 3 == 0 ? "\r\n" : line % 3 == 1 ? "\r" : "\n");
    for (const QByteArray& text :
         {QByteArray(kGolden).replace("\r\n", "\r"), QByteArray(kGolden).replace("\r\n", "\n"), mixed}) {
        const ProjectReadResult read = readProjectText(text, kFolder);
        EXPECT_TRUE(read.error.isEmpty() && !read.noSection) << text.toStdString();
        EXPECT_EQ(writeProjectText(contentsOf(read.entries), kFolder), QByteArray(kGolden)) << text.toStdString();
    }
    EXPECT_TRUE(readProjectText("notes, not a project\r[FILES\r", kFolder).noSection);
    EXPECT_FALSE(readProjectText("", kFolder).noSection);
    EXPECT_FALSE(readProjectText("# only a comment\r\n\r\n", kFolder).noSection);
}

TEST(ProjectFile, PathsThatWouldReadBackWronglyAreProtected)
{
    ProjectContents contents;
    contents.files = {"/work/demo/#hash.asm", "/work/demo/ blank.asm", "/work/demo/semi;colon.asm"};
    contents.opened = {{"/work/demo/semi;colon.asm", 1, 2, 3, 4, 14}};
    contents.breakpoints = {{"/work/demo/semi;colon.asm", 9}, {"/work/demo/#hash.asm", 2}};
    const QByteArray text = writeProjectText(contents, kFolder);
    EXPECT_TRUE(text.contains("\r\n./#hash.asm\r\n"));
    EXPECT_TRUE(text.contains("\r\n./ blank.asm\r\n"));
    EXPECT_TRUE(text.contains("\r\nsemi;colon.asm;9\r\n"));

    const ProjectReadResult read = readProjectText(text, kFolder);
    ASSERT_TRUE(read.error.isEmpty()) << read.error.toStdString();
    const ProjectContents back = contentsOf(read.entries);
    EXPECT_EQ(back.files, contents.files);
    ASSERT_EQ(back.opened.size(), 1);
    EXPECT_EQ(back.opened[0].path, "/work/demo/semi;colon.asm");
    EXPECT_EQ(back.opened[0].state, 14);
    ASSERT_EQ(back.breakpoints.size(), 2);
    EXPECT_EQ(back.breakpoints[0].path, "/work/demo/semi;colon.asm");
    EXPECT_EQ(back.breakpoints[0].line, 9);
    EXPECT_EQ(back.breakpoints[1].path, "/work/demo/#hash.asm");
}

TEST(ProjectFile, FilesElsewhereAreWrittenRelativeWithParentSteps)
{
    EXPECT_EQ(storedPath("/other/tree/x.asm", "/work/demo"), "../../other/tree/x.asm");
    EXPECT_EQ(resolvedPath("../../other/tree/x.asm", "/work/demo"), "/other/tree/x.asm");
    EXPECT_EQ(resolvedPath("/abs/y.asm", "/work/demo"), "/abs/y.asm");
}

TEST(ProjectFile, AMalformedNumberStopsWithTheConversionMessageAfterTheEarlierLines)
{
    const QByteArray text =
        "[FILES]\r\na.asm\r\n[WINDOWS]\r\n22;0;0;100;100;11\r\n23;0;x1;100;100;9\r\n"
        "[FILES]\r\nlater.asm\r\n";
    const ProjectReadResult read = readProjectText(text, kFolder);
    EXPECT_EQ(read.error, "'x1' is not a valid integer value");
    ASSERT_EQ(read.entries.size(), 2);
    EXPECT_TRUE(std::holds_alternative<FileEntry>(read.entries[0]));
    EXPECT_EQ(std::get<ToolWindowLine>(read.entries[1]).id, 22);

    EXPECT_EQ(readProjectText("[BREAKPOINTS]\na.asm\n", kFolder).error, "'' is not a valid integer value");
    EXPECT_EQ(readProjectText("[OPENED]\na.asm;1;2;3;4;\n", kFolder).error, "'' is not a valid integer value");
}

// A line longer than any path stops the reading like a malformed number:
// nothing of it is converted, and what came before stays.
TEST(ProjectFile, ALineLongerThanAnyPathStopsTheReadingByItsNumber)
{
    const QByteArray longest(kMaxProjectLineLength, 'a');
    ProjectReadResult read = readProjectText("[FILES]\n" + longest + "\n", kFolder);
    EXPECT_TRUE(read.error.isEmpty());
    ASSERT_EQ(read.entries.size(), 1);

    const QByteArray tooLong(10 * 1024 * 1024, 'a');
    read = readProjectText("[FILES]\nfirst.asm\n" + tooLong + "\nlast.asm\n", kFolder);
    EXPECT_EQ(read.error, "Line 3 of the project file is longer than 4096 characters.");
    ASSERT_EQ(read.entries.size(), 1);
    EXPECT_EQ(std::get<FileEntry>(read.entries[0]).path, kFolder + QStringLiteral("/first.asm"));
}

}  // namespace
