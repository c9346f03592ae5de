// The main window with its parts joined, against the fake device plug-in
// selected at start: device messages, projects, build, run and close.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTextCursor>
#include <QtTest/QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

#include "DebugController.h"
#include "DeviceBinding.h"
#include "DeviceList.h"
#include "EditorWindows.h"
#include "FakeDeviceMainWindow.h"
#include "HostileFiles.h"
#include "MessageBoxes.h"
#include "ModalSteps.h"
#include "ProjectSession.h"
#include "Registry.h"
#include "SaveFileDialog.h"
#include "TFormEditor.h"
#include "TMainForm.h"
#include "TestFolders.h"
#include "WindowThreadWaits.h"

namespace {

using platform::RegistryKey;
using platform::RegistryRoot;

class Wiring : public FakeDeviceMainWindowTest {
protected:
    std::ptrdiff_t position(const std::string& call)
    {
        std::lock_guard lock(script.mutex);
        return std::find(script.calls.begin(), script.calls.end(), call) - script.calls.begin();
    }

    QString sampleProject() { return copySampleProject(folders, TOLVANE_SOURCE_DIR); }
};

TEST_F(Wiring, TheSavedDeviceIsSelectedAndItsMessagesAppearInTheDockedMessagesWindow)
{
    auto form = start();
    ASSERT_NE(form->deviceBinding().device(), nullptr);
    EXPECT_EQ(form->deviceBinding().deviceName(), "Fake Device");
    EXPECT_EQ(form->debugControl().Device(), form->deviceBinding().device());

    std::thread worker([this] { script.sendMessage("line from the device"); });
    worker.join();
    form->deviceBinding().FlushMessages();
    settle();
    TFormMessages* messages = form->messagesWindow();
    ASSERT_NE(messages, nullptr);
    EXPECT_TRUE(messages->Lines().contains(QStringLiteral("line from the device")));
    EXPECT_FALSE(messages->isFloating());
    EXPECT_EQ(form->dockWidgetArea(messages), Qt::BottomDockWidgetArea);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Wiring, OpeningTheSampleProjectOpensItsEditorsAndDocksItsWindows)
{
    auto form = start();
    const QString project = sampleProject();
    form->openFiles({project});
    settle();

    TFormProject* window = form->projectSession().Project();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->GetProjectFiles().size(), 2);
    EXPECT_FALSE(window->isFloating());
    EXPECT_EQ(form->dockWidgetArea(window), Qt::LeftDockWidgetArea);
    ASSERT_NE(form->messagesWindow(), nullptr);
    EXPECT_EQ(form->dockWidgetArea(form->messagesWindow()), Qt::BottomDockWidgetArea);

    const QList<TFormEditor*> editors = form->editorWindows().Editors();
    ASSERT_EQ(editors.size(), 1);
    EXPECT_EQ(QFileInfo(editors[0]->FilePath()).fileName(), "blink.asm");
    EXPECT_FALSE(editors[0]->IsReadOnly());
    EXPECT_TRUE(form->actions.buildAll->isEnabled());
    EXPECT_EQ(form->actions.closeProject->text(), QStringLiteral("Close ") + window->windowTitle());
    // A device the project names that is not installed leaves the selection alone.
    EXPECT_EQ(form->deviceBinding().deviceName(), "Fake Device");
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Wiring, NewProjectReplacesTheOpenOneAfterOneQuestion)
{
    auto form = start();
    form->openFiles({sampleProject()});
    settle();
    boxes.answers.push_back(platform::BoxAnswer::No);
    form->actions.newProject->trigger();
    settle();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Save changes to blink.prj?");
    TFormProject* project = form->projectSession().Project();
    ASSERT_NE(project, nullptr);
    EXPECT_TRUE(project->ProjectPath().isEmpty());
    EXPECT_EQ(form->dockWidgetArea(project), Qt::LeftDockWidgetArea);
    EXPECT_EQ(form->actions.closeProject->text(), QStringLiteral("Close ") + project->windowTitle());
}

TEST_F(Wiring, EndingAsksTheProjectQuestionOnceEvenForAFloatingProjectWindow)
{
    auto form = start();
    form->openFiles({sampleProject()});
    settle();
    form->projectSession().Project()->Place(TDockableForm::kFloat, QRect(50, 50, 200, 300));
    boxes.answers.push_back(platform::BoxAnswer::No);
    EXPECT_TRUE(form->close());
    // The queued end of the program closes every window that is left.
    QApplication::closeAllWindows();
    settle();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Save changes to blink.prj?");
}

TEST_F(Wiring, SaveProjectAsUsesTheSaveDialogWhoseFolderIsKeptAtClose)
{
    auto form = start();
    form->openFiles({sampleProject()});
    settle();
    auto dialog = std::make_unique<RecordingSaveFileDialog>();
    RecordingSaveFileDialog& recorded = *dialog;
    QDir(folders.file("elsewhere")).mkpath(QStringLiteral("."));
    const QString copy = folders.file("elsewhere/copy.prj");
    recorded.answers.push_back(copy.toStdString());
    form->replaceSaveDialog(std::move(dialog));

    form->actions.saveProjectAs->trigger();
    ASSERT_EQ(recorded.requests.size(), 1u);
    EXPECT_EQ(recorded.requests[0].fileName, "blink.prj");
    EXPECT_EQ(QtFilterFrom(recorded.requests[0].filter), "Project Files (*.prj);;All Files (*)");
    ASSERT_TRUE(QFileInfo::exists(copy));
    EXPECT_EQ(form->projectSession().Project()->ProjectPath(), copy);

    // The project question at exit: No, so the copy stays as written.
    boxes.answers.push_back(platform::BoxAnswer::No);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(settings()->readString("SaveDir"), folders.file("elsewhere").toStdString());
}

TEST_F(Wiring, BreakpointsToggledInAnEditorAreSavedWithTheProjectAndMarkedAgainOnOpening)
{
    const QString project = sampleProject();
    {
        auto form = start();
        form->openFiles({project});
        settle();
        TFormEditor* editor = form->editorWindows().FrontEditor();
        ASSERT_NE(editor, nullptr);
        editor->GotoLine(6);
        form->actions.toggleBreakpoint->trigger();
        EXPECT_TRUE(editor->Editor().HasBreakpointMarker(6));
        EXPECT_EQ(form->projectSession().SaveProject(), kSaveGoOn);
        boxes.answers.push_back(platform::BoxAnswer::No);
        EXPECT_TRUE(form->close());
    }
    QFile saved(project);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().endsWith("[BREAKPOINTS]\r\nblink.asm;6\r\n"));

    auto form = start();
    form->openFiles({project});
    settle();
    TFormEditor* editor = form->editorWindows().FrontEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->Editor().HasBreakpointMarker(6));
    EXPECT_FALSE(editor->Editor().HasBreakpointMarker(5));
}

TEST_F(Wiring, BuildAllHandsTheProjectToTheDeviceAndReportsOnTheMessagesWindow)
{
    auto form = start();
    form->openFiles({sampleProject()});
    settle();
    form->actions.buildAll->trigger();
    settle();
    const std::string folder = QFileInfo(sampleProject()).absolutePath().toStdString();
    EXPECT_TRUE(called("Build force " + folder + "/blink.asm " + folder + "/delay.asm"));
    // The fake declines to build: its refusal is what the window reports.
    const QStringList lines = form->messagesWindow()->Lines();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines.first(), "Compiling...");
    EXPECT_EQ(lines.last(), "Build Failed!");
    EXPECT_EQ(form->debugControl().DebugState(), DebugController::kIdle);
}

TEST_F(Wiring, RunStartsOnTheWorkerAndStopEndsIt)
{
    settings()->writeBool("AlwaysAllowRun", true);
    auto form = start();
    ASSERT_TRUE(form->actions.run->isEnabled());
    form->actions.run->trigger();
    EXPECT_EQ(form->debugControl().DebugState(), DebugController::kRunning);
    ASSERT_TRUE(waitFor([&] { return called("Run"); }));
    EXPECT_TRUE(form->actions.stop->isEnabled());
    EXPECT_FALSE(form->actions.run->isEnabled());

    form->actions.stop->trigger();
    ASSERT_TRUE(waitFor([&] { return form->debugControl().DebugState() == DebugController::kIdle; }));
    EXPECT_TRUE(called("Stop"));
    EXPECT_TRUE(form->actions.run->isEnabled());
}

TEST_F(Wiring, ADoubleClickOnAMessageTheDeviceLocatesOpensItsLine)
{
    auto form = start();
    const QString source = QFileInfo(sampleProject()).absolutePath() + QStringLiteral("/delay.asm");
    script.locations["delay.asm(4): check this"] = {source.toStdString(), 4};
    form->AddMessage(QStringLiteral("delay.asm(4): check this"));
    form->AddMessage(QStringLiteral("a line without a place"));
    QTextCursor caret = form->messagesWindow()->Memo()->textCursor();
    caret.movePosition(QTextCursor::Start);
    form->messagesWindow()->Memo()->setTextCursor(caret);
    form->messagesWindow()->MemoDblClick();
    settle();

    TFormEditor* front = form->editorWindows().FrontEditor();
    ASSERT_NE(front, nullptr);
    EXPECT_EQ(QFileInfo(front->FilePath()).fileName(), "delay.asm");
    EXPECT_EQ(front->CurrentLine(), 4);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Wiring, SelectingAnotherDeviceDuringARunEndsTheRunFirst)
{
    RegistryKey::open(RegistryRoot::CurrentUser, devices::kDevicesKey, true)->writeString("Other Fake", FAKE_DEVICE);
    settings()->writeBool("AlwaysAllowRun", true);
    auto form = start();
    form->actions.run->trigger();
    ASSERT_TRUE(waitFor([&] { return called("Run"); }));
    // Editors opened while the target runs are read-only.
    form->OpenFileAtLine(QFileInfo(sampleProject()).absolutePath() + QStringLiteral("/blink.asm"), 0);
    ASSERT_NE(form->editorWindows().FrontEditor(), nullptr);
    EXPECT_TRUE(form->editorWindows().FrontEditor()->IsReadOnly());

    form->deviceBinding().SelectDeviceByName(QStringLiteral("Other Fake"));
    settle();
    EXPECT_EQ(form->deviceBinding().deviceName(), "Other Fake");
    EXPECT_NE(form->debugControl().Device(), nullptr);
    EXPECT_EQ(form->debugControl().Device(), form->deviceBinding().device());
    EXPECT_EQ(form->debugControl().DebugState(), DebugController::kIdle);
    EXPECT_TRUE(called("Stop"));
    EXPECT_LT(position("Stop"), position("~FakeDevice"));
    EXPECT_FALSE(form->editorWindows().FrontEditor()->IsReadOnly());
    std::lock_guard lock(script.mutex);
    EXPECT_EQ(script.liveDevices, 1);
}

TEST_F(Wiring, ClosingDuringARunSavesTheSettingsStopsTheWorkerThenFreesTheDevice)
{
    settings()->writeBool("AlwaysAllowRun", true);
    auto form = start();
    form->actions.run->trigger();
    ASSERT_TRUE(waitFor([&] { return called("Run"); }));

    EXPECT_TRUE(form->close());
    EXPECT_EQ(settings()->readString("Device"), "Fake Device");
    form.reset();
    ASSERT_TRUE(called("Stop"));
    ASSERT_TRUE(called("~FakeDevice"));
    EXPECT_LT(position("Stop"), position("~FakeDevice"));
    std::lock_guard lock(script.mutex);
    EXPECT_EQ(script.liveDevices, 0);
}

TEST_F(Wiring, ClosingWithoutACommandSendsNoStop)
{
    auto form = start();
    EXPECT_TRUE(form->close());
    form.reset();
    EXPECT_FALSE(called("Stop"));
    EXPECT_TRUE(called("~FakeDevice"));
}

TEST_F(Wiring, ShowMessagesMakesTheWindowOnceAndDocksItAtTheBottom)
{
    auto form = start();
    EXPECT_EQ(form->messagesWindow(), nullptr);
    form->actions.showMessages->trigger();
    TFormMessages* messages = form->messagesWindow();
    ASSERT_NE(messages, nullptr);
    EXPECT_EQ(form->dockWidgetArea(messages), Qt::BottomDockWidgetArea);
    messages->close();
    form->actions.showMessages->trigger();
    EXPECT_EQ(form->messagesWindow(), messages);
    EXPECT_TRUE(messages->isVisible());
}

TEST_F(Wiring, AnEmptyDeviceListStartsWithoutADevice)
{
    RegistryKey::open(RegistryRoot::CurrentUser, devices::kDevicesKey, true)->deleteValue("Fake Device");
    auto form = start();
    EXPECT_EQ(form->deviceBinding().device(), nullptr);
    EXPECT_TRUE(boxes.boxes.empty());
}

// What only a device can do is disabled without one, keys included; a
// command reached anyway says why on the Messages window.
TEST_F(Wiring, WithoutADeviceItsCommandsAreDisabledAndSayWhyWhenReached)
{
    script.features = {tolvane::kFeatureLoadProgram, tolvane::kFeatureVerifyProgram, tolvane::kFeatureStimulusFile,
                       tolvane::kFeatureDataFile,    tolvane::kFeatureDeviceOptions, tolvane::kViewTrace};
    auto form = start();
    form->openFiles({sampleProject()});
    settle();
    const MainActions& a = form->actions;
    const QList<QAction*> needDevice{a.make,        a.buildAll,      a.run,           a.stepInto,
                                     a.runToCursor, a.loadProgram,   a.verifyProgram, a.setStimulusFile,
                                     a.setDataFile, a.deviceOptions, a.traceExecution};
    for (QAction* action : needDevice)
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();

    form->deviceBinding().ReleaseDevice();
    for (QAction* action : needDevice)
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
    QApplication::setActiveWindow(form.get());
    QTest::keyClick(form.get(), Qt::Key_F7);
    QTest::keyClick(form.get(), Qt::Key_F5);
    settle();
    EXPECT_FALSE(called("Build"));
    EXPECT_FALSE(called("Run"));

    const QString why = QStringLiteral("No device is selected. Choose one in the Device menu.");
    form->debugControl().ActionMakeExecute();
    ASSERT_NE(form->messagesWindow(), nullptr);
    EXPECT_EQ(form->messagesWindow()->Lines().count(why), 1);
    form->debugControl().StartDebug(DebugStart::Run);
    form->debugControl().ActionLoadFileExecute();
    EXPECT_EQ(form->messagesWindow()->Lines().count(why), 3);

    // The device back, the project decides again.
    form->deviceBinding().SelectDeviceByName(QStringLiteral("Fake Device"));
    EXPECT_TRUE(a.make->isEnabled());
    EXPECT_TRUE(a.loadProgram->isEnabled());
    EXPECT_FALSE(a.stepOver->isEnabled());
}

// Dialogs that kept no folder start in the open project's folder, else in
// the user's home, never in whatever folder the process happens to be in.
TEST_F(Wiring, FileDialogsWithoutAKeptFolderStartInTheProjectFolderElseHome)
{
    script.features = {tolvane::kFeatureLoadProgram};
    auto form = start();
    const QString processFolder = QDir::currentPath();
    QDir::setCurrent(QStringLiteral("/"));
    const QString home = QDir::homePath();
    EXPECT_EQ(folderOfNextFileDialog([&] { form->actions.openFile->trigger(); }), home);
    EXPECT_EQ(QString::fromStdString(form->saveDialog().initialDirectory), home);

    const QString project = sampleProject();
    form->openFiles({project});
    settle();
    const QString projectFolder = QFileInfo(project).absolutePath();
    EXPECT_EQ(folderOfNextFileDialog([&] { form->actions.openFile->trigger(); }), projectFolder);
    EXPECT_EQ(folderOfNextFileDialog([&] { form->actions.loadProgram->trigger(); }), projectFolder);
    EXPECT_EQ(QString::fromStdString(form->saveDialog().initialDirectory), projectFolder);
    // Nothing was chosen, so no folder is kept.
    EXPECT_TRUE(form->openDir.isEmpty());
    EXPECT_TRUE(form->saveDir.isEmpty());

    form->openDir = folders.config();
    EXPECT_EQ(folderOfNextFileDialog([&] { form->actions.openFile->trigger(); }), folders.config());
    QDir::setCurrent(processFolder);
}

// The editing shortcuts belong to the whole window; they act on the widget
// that has the focus, so a key in the project window stays there.
TEST_F(Wiring, EditingKeysActOnTheWidgetThatHasTheFocus)
{
    auto form = start();
    form->openFiles({sampleProject()});
    settle();
    QApplication::setActiveWindow(form.get());
    TFormEditor* editor = form->editorWindows().FrontEditor();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(form->actions.selectAll->isEnabled());
    QTableWidget* grid = form->projectSession().Project()->Grid();
    grid->setFocus();
    settle();
    ASSERT_EQ(QApplication::focusWidget(), grid);

    QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
    EXPECT_FALSE(editor->Editor().HasSelection());
    EXPECT_EQ(grid->selectionModel()->selectedRows().size(), grid->rowCount());
    // The menu entry does the same while the grid has the focus.
    grid->clearSelection();
    form->actions.selectAll->trigger();
    EXPECT_FALSE(editor->Editor().HasSelection());
    EXPECT_EQ(grid->selectionModel()->selectedRows().size(), grid->rowCount());

    editor->Editor().setFocus();
    settle();
    ASSERT_EQ(QApplication::focusWidget(), &editor->Editor());
    QTest::keyClick(&editor->Editor(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(editor->Editor().SelectedText(), editor->Editor().Text());
    EXPECT_TRUE(form->actions.cut->isEnabled());

    // Cut with the focus in the grid takes nothing out of the editor.
    grid->setFocus();
    settle();
    const std::string text = editor->Editor().Text();
    QTest::keyClick(grid, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(editor->Editor().Text(), text);
}

// Files a project's [OPENED] lines or the command line name are refused by
// name when they are no regular files; a missing one stays silent.
TEST_F(Wiring, FilesThatAreNoRegularFilesAreRefusedByNameFromAProjectOrTheCommandLine)
{
    auto form = start();
    const test_support::GuardedFifo fifo(folders.file("fifo.asm").toStdString());
    ASSERT_TRUE(fifo.created());
    const QString project = folders.file("hostile.prj");
    QFile file(project);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "[FILES]\r\nfifo.asm\r\n[OPENED]\r\nfifo.asm;0;0;300;200;12\r\n/dev/zero;0;0;300;200;12\r\n"
        "missing.asm;0;0;300;200;12\r\n");
    file.close();

    form->openFiles({project});
    settle();
    ASSERT_NE(form->projectSession().Project(), nullptr);
    std::vector<std::string> texts;
    for (const auto& box : boxes.boxes)
        texts.push_back(box.text);
    EXPECT_EQ(texts, (std::vector<std::string>{fifo.path() + " could not be read: not a regular file.",
                                               "/dev/zero could not be read: not a regular file."}));

    boxes.boxes.clear();
    form->openFiles({QString::fromStdString(fifo.path())});
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, fifo.path() + " could not be read: not a regular file.");
    EXPECT_TRUE(form->editorWindows().Editors().isEmpty());
}

}  // namespace
