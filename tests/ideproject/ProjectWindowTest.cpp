#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

#include "DecliningDevice.h"
#include "HostileFiles.h"
#include "MessageBoxes.h"
#include "ProjectFile.h"
#include "ProjectSession.h"
#include "RecordingProjectHost.h"
#include "TFormProject.h"

namespace {

using platform::BoxAnswer;

class OptionDevice : public DecliningDevice {
public:
    QStringList received;
    char speed[8] = "Speed=2";
    char* options[1] = {speed};
    void SetProjectOption(const char* line, const char*) override { received << line; }
    void GetProjectOptions(int* count, char*** lines, const char*) override
    {
        *count = 1;
        *lines = options;
    }
    const char* GetCompilerName() override { return "QuorinAssembler"; }
};

class ProjectWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.isValid());
        host_.window.resize(1000, 700);
        host_.window.show();
    }
    QString path(const QString& name) const { return folder_.filePath(name); }
    void writeFile(const QString& name, const QByteArray& text) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    TFormProject* open(RecordingProjectHost& host, const QString& file, QString* error)
    {
        return TFormProject::Create(host, true, std::nullopt, TDockableForm::kDockLeft, file, error);
    }

    QTemporaryDir folder_;
    RecordingProjectHost host_;
    platform::RecordingMessageBoxes boxes_;
    platform::ScopedMessageBoxes scopedBoxes_{boxes_};
};

TEST_F(ProjectWindowTest, AFailedSaveShowsABoxAndTheProjectStaysOpenAndUnsaved)
{
    QDir(folder_.path()).mkdir("locked");
    QFile::setPermissions(path("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    // Permission bits do not bind the superuser; a folder that accepts no new file does.
    const QString target = geteuid() == 0 ? QStringLiteral("/proc/tolvane-project.prj") : path("locked/p.prj");

    QString error;
    TFormProject* project =
        TFormProject::Create(host_, false, std::nullopt, TDockableForm::kDockLeft, QString(), &error);
    ASSERT_NE(project, nullptr);
    EXPECT_EQ(project->windowTitle(), "Untitled Project");
    host_.saveAnswers = {target};
    EXPECT_EQ(project->SaveProject(), kSaveCancel);
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].caption, "Error! - Tolvane");
    EXPECT_EQ(boxes_.boxes[0].text.rfind("Unable to save project " + target.toStdString() + ".\r\n", 0), 0u);
    EXPECT_FALSE(QFile::exists(target));

    // Closing asks to save; Yes fails again, so the close is refused.
    boxes_.answers = {BoxAnswer::Yes};
    EXPECT_FALSE(project->close());
    EXPECT_EQ(boxes_.boxes[1].text, "Save changes to " + QFileInfo(target).fileName().toStdString() + "?");
    EXPECT_EQ(boxes_.boxes[2].caption, "Error! - Tolvane");
    EXPECT_EQ(host_.states, QList<int>({kProjectOpen, kProjectOpen}));
    project->SetAskOnClose(false);
    EXPECT_TRUE(project->close());
    EXPECT_EQ(host_.states.last(), kNoProject);
}

TEST_F(ProjectWindowTest, ASavedProjectReadsBackIntoTheSameState)
{
    QString error;
    TFormProject* project =
        TFormProject::Create(host_, false, std::nullopt, TDockableForm::kDockLeft, QString(), &error);
    project->AddFiles({path("main.asm"), path("lib/io.inc"), path("main.asm")});
    host_.breakpoints = {{path("main.asm"), 12}};
    host_.editors = {{path("main.asm"), 5, 6, 300, 200, 13}};
    host_.stimulus = path("in.stm");
    host_.recreateToolWindow(22, QRect(0, 0, 400, 120), TDockableForm::kDockBottom);
    host_.saveAnswers = {path("demo.prj")};
    ASSERT_EQ(project->SaveProjectAs(), kSaveGoOn);
    EXPECT_EQ(project->windowTitle(), path("demo.prj"));
    EXPECT_TRUE(host_.log.contains("save dialog Untitled Project"));

    RecordingProjectHost other;
    other.window.show();
    TFormProject* reopened = open(other, path("demo.prj"), &error);
    ASSERT_NE(reopened, nullptr) << error.toStdString();
    EXPECT_EQ(reopened->GetProjectFiles(), QStringList({path("main.asm"), path("lib/io.inc")}));
    EXPECT_EQ(reopened->Grid()->item(1, 1)->text(), path("lib") + "/");
    ASSERT_EQ(other.breakpoints.size(), 1);
    EXPECT_EQ(other.breakpoints[0].line, 12);
    ASSERT_EQ(other.editors.size(), 1);
    EXPECT_EQ(other.editors[0].state, 13);
    EXPECT_EQ(other.editors[0].width, 300);
    EXPECT_EQ(other.stimulus, path("in.stm"));
    EXPECT_EQ(other.data, "");  // no data file: "Do not use a data file."
    ASSERT_NE(other.toolWindow(22), nullptr);
    EXPECT_EQ(other.toolWindow(22)->Placement(), TDockableForm::kDockBottom);
    EXPECT_EQ(reopened->Placement(), TDockableForm::kDockLeft);
    EXPECT_EQ(other.states, QList<int>({kProjectOpen}));
}

TEST_F(ProjectWindowTest, TheWrittenFileMatchesTheGoldenTextByteForByte)
{
    OptionDevice device;
    host_.currentDevice = &device;
    host_.currentDeviceName = "Fake";
    QString error;
    TFormProject* project =
        TFormProject::Create(host_, false, QRect(10, 20, 200, 400), TDockableForm::kFloat, QString(), &error);
    project->AddFiles({path("main.asm"), path("#notes.asm")});
    host_.editors = {{path("main.asm"), 1, 2, 300, 200, 12}};
    host_.data = path("values.hex");
    host_.recreateToolWindow(24, QRect(30, 40, 250, 300), TDockableForm::kFloatHidden);
    host_.breakpoints = {{path("main.asm"), 7}};
    host_.saveAnswers = {path("golden.prj")};
    ASSERT_EQ(project->SaveProject(), kSaveGoOn);

    QFile written(path("golden.prj"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("[FILES]\r\nmain.asm\r\n./#notes.asm\r\n"
                                            "[DEVICE]\r\nFake\r\n"
                                            "[STIMULUS]\r\n"
                                            "[DATA_FILE]\r\nvalues.hex\r\n"
                                            "[OPENED]\r\nmain.asm;1;2;300;200;12\r\n"
                                            "[COMPILER]\r\nQuorinAssembler\r\n"
                                            "[DEVICE INFORMATION]\r\nSpeed=2\r\n"
                                            "[WINDOWS]\r\n21;10;20;200;400;12\r\n24;30;40;250;300;15\r\n"
                                            "[BREAKPOINTS]\r\nmain.asm;7\r\n"));
}

TEST_F(ProjectWindowTest, EveryPlacementCodeRoundTripsThroughTheProjectFile)
{
    QString error;
    TFormProject* project =
        TFormProject::Create(host_, false, std::nullopt, TDockableForm::kDockLeft, QString(), &error);
    for (int code = 8; code <= 15; ++code)
        host_.recreateToolWindow(14 + code, QRect(50 + code, 60, 220, 180), code);
    host_.saveAnswers = {path("placed.prj")};
    ASSERT_EQ(project->SaveProject(), kSaveGoOn);

    RecordingProjectHost other;
    other.window.resize(1000, 700);
    other.window.show();
    ASSERT_NE(open(other, path("placed.prj"), &error), nullptr) << error.toStdString();
    for (int code = 8; code <= 15; ++code) {
        TDockableForm* window = other.toolWindow(14 + code);
        ASSERT_NE(window, nullptr) << code;
        EXPECT_EQ(window->Placement(), code) << code;
        if (code >= TDockableForm::kFloat) {
            EXPECT_EQ(window->PlacementRect(), QRect(50 + code, 60, 220, 180)) << code;
        }
    }
}

TEST_F(ProjectWindowTest, WindowsInADockSiteComeBackThereWhetherShownCoveredOrClosed)
{
    host_.window.setCentralWidget(new QWidget);
    QString error;
    TFormProject* project =
        TFormProject::Create(host_, false, std::nullopt, TDockableForm::kDockLeft, QString(), &error);
    host_.recreateToolWindow(24, QRect(0, 0, 300, 300), TDockableForm::kDockRight);
    host_.recreateToolWindow(28, QRect(0, 0, 300, 300), TDockableForm::kDockRight);
    host_.recreateToolWindow(25, QRect(0, 0, 300, 200), TDockableForm::kDockBottom);
    QApplication::processEvents();
    ASSERT_FALSE(host_.toolWindow(24)->IsShowing());
    // The user closes the bottom window with its title bar's button.
    auto* closeButton = host_.toolWindow(25)->findChild<QAbstractButton*>("qt_dockwidget_closebutton");
    ASSERT_NE(closeButton, nullptr);
    QTest::mouseClick(closeButton, Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_TRUE(host_.toolWindow(25)->isHidden());
    const QRect rightSite = host_.toolWindow(28)->geometry();

    host_.saveAnswers = {path("docked.prj")};
    ASSERT_EQ(project->SaveProject(), kSaveGoOn);
    QFile written(path("docked.prj"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray text = written.readAll();
    const QByteArray right = QStringLiteral("%1;%2;%3;%4;9\r\n")
                                 .arg(rightSite.left())
                                 .arg(rightSite.top())
                                 .arg(rightSite.width())
                                 .arg(rightSite.height())
                                 .toLatin1();
    EXPECT_TRUE(text.contains("\r\n24;" + right)) << text.toStdString();
    EXPECT_TRUE(text.contains("\r\n28;" + right)) << text.toStdString();
    EXPECT_TRUE(text.contains(";11\r\n28;")) << text.toStdString();

    RecordingProjectHost other;
    other.window.setCentralWidget(new QWidget);
    other.window.resize(1000, 700);
    other.window.show();
    ASSERT_NE(open(other, path("docked.prj"), &error), nullptr) << error.toStdString();
    QApplication::processEvents();
    for (const auto& [id, code] : {std::pair{24, 9}, {28, 9}, {25, 11}}) {
        TDockableForm* window = other.toolWindow(id);
        ASSERT_NE(window, nullptr) << id;
        EXPECT_FALSE(window->isFloating()) << id;
        EXPECT_EQ(window->Placement(), code) << id;
    }
    EXPECT_EQ(other.toolWindow(28)->PlacementRect().width(), rightSite.width());
}

TEST_F(ProjectWindowTest, AMalformedNumberAbortsTheOpeningAfterApplyingTheEarlierLines)
{
    writeFile("bad.prj", "[DEVICE]\r\nFake\r\n[WINDOWS]\r\n22;0;0;0;0;12\r\n24;1;2;3;x;9\r\n[FILES]\r\na.asm\r\n");
    QString error;
    EXPECT_EQ(open(host_, path("bad.prj"), &error), nullptr);
    EXPECT_EQ(error, "'x' is not a valid integer value");
    EXPECT_TRUE(host_.log.contains("device Fake"));
    // A width or height of 0 is taken as 100.
    EXPECT_TRUE(host_.log.contains("window 22 at 0,0 100x100 code 12"));
    EXPECT_EQ(host_.toolWindow(24), nullptr);
    EXPECT_TRUE(host_.states.isEmpty());
}

// A project path naming a FIFO, a device or an oversized file is refused by
// name before anything is read or waited for.
TEST_F(ProjectWindowTest, OnlyARegularProjectFileWithinTheLimitIsRead)
{
    test_support::GuardedFifo fifo(path("fifo.prj").toStdString());
    ASSERT_TRUE(fifo.created());
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path("zero.prj")));
    ASSERT_TRUE(test_support::makeSparseFile(path("huge.prj").toStdString(), project::kMaxProjectFileBytes + 1));
    ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("folder.prj")));
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {
        {"fifo.prj", "not a regular file"},
        {"zero.prj", "not a regular file"},
        {"folder.prj", "not a regular file"},
        {"huge.prj", "larger than 16 MB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        EXPECT_EQ(open(host_, path(QString::fromLatin1(c.name)), &error), nullptr);
        EXPECT_EQ(error, QStringLiteral("Unable to read %1: %2.").arg(path(QString::fromLatin1(c.name)), c.reason));
    }
    EXPECT_TRUE(host_.states.isEmpty());
}

TEST_F(ProjectWindowTest, DeviceSectionsReachTheDeviceOnlyWhenThereIsOne)
{
    writeFile("dev.prj",
              "[DEVICE INFORMATION]\r\nSpeed=2\r\n[COMPILER]\r\nQuorinAssembler\r\n"
              "[STIMULUS]\r\nin.stm\r\n[DATA_FILE]\r\nvalues.hex\r\n");
    QString error;
    TFormProject* first = open(host_, path("dev.prj"), &error);
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(host_.log.contains("clear"));
    EXPECT_FALSE(host_.log.contains("compiler QuorinAssembler"));
    EXPECT_TRUE(boxes_.boxes.empty());
    EXPECT_EQ(host_.data, path("values.hex"));

    OptionDevice device;
    RecordingProjectHost other;
    other.currentDevice = &device;
    other.currentDeviceName = "Fake";
    ASSERT_NE(open(other, path("dev.prj"), &error), nullptr);
    EXPECT_EQ(device.received, QStringList({"Speed=2"}));
    EXPECT_TRUE(other.log.contains("compiler QuorinAssembler"));
    EXPECT_TRUE(other.log.contains("clear"));
    ASSERT_EQ(boxes_.boxes.size(), 1u);  // the declining device refuses the stimulus file
    EXPECT_EQ(boxes_.boxes[0].text, "Unable to set stimulus file!");
}

TEST_F(ProjectWindowTest, FilesAreAddedOnceAndRemovedFromTheBottomUp)
{
    QString error;
    TFormProject* project =
        TFormProject::Create(host_, false, std::nullopt, TDockableForm::kDockLeft, QString(), &error);
    project->AddFiles({path("a.asm"), path("A.asm"), path("sub/../a.asm"), path("b.asm"), path("c.asm")});
    EXPECT_EQ(project->GetProjectFiles(), QStringList({path("a.asm"), path("A.asm"), path("b.asm"), path("c.asm")}));

    project->Grid()->selectRow(1);
    project->Grid()->selectionModel()->select(project->Grid()->model()->index(3, 0),
                                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    boxes_.answers = {BoxAnswer::No};
    project->RemoveSelectedFiles();
    EXPECT_EQ(project->GetProjectFiles().size(), 4);
    project->RemoveSelectedFiles();
    EXPECT_EQ(boxes_.boxes.back().text, "Remove file from project?");
    EXPECT_EQ(project->GetProjectFiles(), QStringList({path("a.asm"), path("b.asm")}));
    project->RemoveRow(7);
    EXPECT_EQ(project->GetProjectFiles().size(), 2);
}

TEST_F(ProjectWindowTest, TheSessionOpensReplacesAndClosesProjects)
{
    ProjectSession session(host_);
    writeFile("one.prj", "[FILES]\r\none.asm\r\n");
    writeFile("two.prj", "[FILES]\r\ntwo.asm\r\n");

    EXPECT_FALSE(session.OpenProject(path("missing.prj")));
    EXPECT_EQ(boxes_.boxes.back().text, path("missing.prj").toStdString() + " does not exist.");
    boxes_.boxes.clear();

    ASSERT_TRUE(session.OpenProject(path("one.prj")));
    TFormProject* first = session.Project();
    // Without a window line of its own the project window docks on the left.
    EXPECT_EQ(first->Placement(), TDockableForm::kDockLeft);
    EXPECT_TRUE(first->isVisible());
    // The same project again is only shown: no question.
    ASSERT_TRUE(session.OpenProject(folder_.path() + "/./one.prj"));
    EXPECT_EQ(session.Project(), first);
    EXPECT_TRUE(boxes_.boxes.empty());

    // Replacing asks once; Cancel keeps the open project.
    boxes_.answers = {BoxAnswer::Cancel};
    EXPECT_FALSE(session.OpenProject(path("two.prj")));
    EXPECT_EQ(session.Project(), first);
    boxes_.answers = {BoxAnswer::No};
    ASSERT_TRUE(session.OpenProject(path("two.prj")));
    EXPECT_EQ(boxes_.boxes.size(), 2u);
    EXPECT_EQ(session.Project()->GetProjectFiles(), QStringList({path("two.asm")}));

    boxes_.answers = {BoxAnswer::Cancel};
    EXPECT_FALSE(session.CloseProject());
    EXPECT_EQ(session.State(), kProjectOpen);
    boxes_.answers = {BoxAnswer::No};
    EXPECT_TRUE(session.CloseProject());
    EXPECT_EQ(session.State(), kNoProject);
    EXPECT_EQ(host_.states.last(), kNoProject);
}

TEST(ProjectFilters, FollowTheSourceExtension)
{
    EXPECT_EQ(ProjectSession::OpenProjectFilter("asm"),
              "Project Files (*.prj)|*.prj|Source Files (*.asm)|*.asm|All Files (*.*)|*.*");
    EXPECT_EQ(ProjectSession::QtFilter(ProjectSession::AddFilesFilter("asm")), "Source Files (*.asm);;All Files (*)");
}

}  // namespace

namespace {

// The "Location" column reaches to the grid's right edge, less 4 pixels,
// whenever the window shows: empty, with rows, and after a resize.
TEST_F(ProjectWindowTest, TheLocationColumnFillsTheWindow)
{
    QString error;
    TFormProject* project =
        TFormProject::Create(host_, false, std::nullopt, TDockableForm::kDockLeft, QString(), &error);
    ASSERT_NE(project, nullptr);
    QTableWidget* grid = project->Grid();
    const auto fits = [grid] {
        QApplication::processEvents();
        return grid->columnViewportPosition(1) + grid->columnWidth(1) == grid->viewport()->width() - 4;
    };
    EXPECT_TRUE(fits()) << "empty";
    project->AddFiles({path("main.asm")});
    EXPECT_TRUE(fits()) << "with a row";
    host_.window.resizeDocks({project}, {project->width() + 120}, Qt::Horizontal);
    EXPECT_TRUE(fits()) << "wider";
}

}  // namespace
