// Building, starting a debug run and the program-file commands.
#include "DebugTestSupport.h"

namespace {

using tolvane::kStatusDone;
using tolvane::kStatusFailed;

std::vector<std::string> messagesIn(const EventLog& log)
{
    std::vector<std::string> messages;
    for (const std::string& event : log.events())
        if (event == "clearMessages" || event.rfind("message ", 0) == 0)
            messages.push_back(event);
    return messages;
}

TEST_F(DebugControlTest, ASuccessfulBuildSendsTheProjectAndReportsSuccess)
{
    EXPECT_EQ(controller.BuildProject(false), kStatusDone);
    EXPECT_EQ(device->builtFiles, host.files);
    EXPECT_EQ(device->builtProject, "/project/demo.prj");
    EXPECT_EQ(messagesIn(log),
              (std::vector<std::string>{"clearMessages", "message Compiling...", "message Build Successful."}));
    EXPECT_EQ(log.indexOf("saveAllFiles ask"), 0);
    EXPECT_TRUE(log.has("activateEditors"));
    EXPECT_TRUE(host.cursors.empty());
}

TEST_F(DebugControlTest, AFailedBuildListsTheCompilersLines)
{
    device->buildResult = kStatusFailed;
    device->buildMessages = {"main.asm(3): error", "1 error"};
    host.path.clear();
    EXPECT_EQ(controller.BuildProject(true), kStatusFailed);
    EXPECT_EQ(device->builtProject, "UntitledProject.prj");
    EXPECT_EQ(messagesIn(log),
              (std::vector<std::string>{"clearMessages", "message Compiling...", "message main.asm(3): error",
                                        "message 1 error", "message Build Failed!"}));
    EXPECT_TRUE(log.has("activateEditors"));
}

TEST_F(DebugControlTest, BuildWhileRunningIsRefused)
{
    startBlockingRun();
    log.clear();
    EXPECT_EQ(controller.BuildProject(false), kStatusFailed);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Unable to build.\r\nThe simulator is still running?"});
    EXPECT_EQ(boxes.boxes[0].caption, "Error! - Tolvane");
    EXPECT_EQ(log.events(), std::vector<std::string>{"message Build Failed!  Simulator still running."});
    EXPECT_EQ(controller.DebugState(), DebugController::kRunning);
    EXPECT_TRUE(host.cursors.empty());
}

TEST_F(DebugControlTest, ACancelledSaveEndsTheBuildWithoutTouchingMessages)
{
    host.cancelSave = true;
    EXPECT_EQ(controller.BuildProject(false), kStatusFailed);
    EXPECT_EQ(log.events(), std::vector<std::string>{"saveAllFiles ask"});
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(DebugControlTest, AutoSaveSavesWithoutAsking)
{
    writeSetting("AutoSaveBeforeCompile", true);
    controller.BuildProject(false);
    EXPECT_EQ(log.indexOf("saveAllFiles"), 0);
    writeSetting("AutoSaveBeforeCompile", false);
    log.clear();
    controller.BuildProject(false);
    EXPECT_EQ(log.indexOf("saveAllFiles ask"), 0);
}

TEST_F(DebugControlTest, WithoutAProjectNothingIsBuilt)
{
    host.project = false;
    EXPECT_EQ(controller.BuildProject(false), kStatusFailed);
    EXPECT_EQ(log.events(), std::vector<std::string>{"saveAllFiles ask"});
}

TEST_F(DebugControlTest, StepIntoFromIdleLoadsAndStopsAtTheStartWithoutACommand)
{
    host.breakpoints = {0x10, 0x20};
    device->programCounter = 0;
    controller.StartDebug(DebugStart::StepInto);
    EXPECT_EQ(controller.DebugState(), DebugController::kHalted);
    const std::vector<std::string> events = log.events();
    const std::vector<std::string> start(events.begin() + log.indexOf("Build"),
                                         events.begin() + log.indexOf("SetBreakpoint 32") + 1);
    EXPECT_EQ(start, (std::vector<std::string>{"Build", "message Build Successful.", "activateEditors",
                                               "GetProgramFile", "LoadProgram /project/program.hex", "applyBreakpoints",
                                               "ClearAllBreakpoints", "SetBreakpoint 16", "SetBreakpoint 32"}));
    EXPECT_TRUE(log.has("executionLine 0"));
    settle();
    EXPECT_FALSE(log.has("StepInto"));
    EXPECT_EQ(controller.DebugState(), DebugController::kHalted);
    EXPECT_TRUE(host.enabled(DebugAction::StepOver));
    EXPECT_TRUE(host.cursors.empty());
}

TEST_F(DebugControlTest, AFailedBuildStopsTheStartSilently)
{
    device->buildResult = kStatusFailed;
    controller.StartDebug(DebugStart::Run);
    EXPECT_EQ(controller.DebugState(), DebugController::kIdle);
    EXPECT_FALSE(log.has("GetProgramFile"));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(DebugControlTest, AMissingProgramFileStopsTheStart)
{
    device->programFile.reset();
    controller.StartDebug(DebugStart::Run);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Unable to get program file from device."});
    EXPECT_EQ(controller.DebugState(), DebugController::kIdle);
    EXPECT_FALSE(log.has("LoadProgram /project/program.hex"));
}

TEST_F(DebugControlTest, AFailedLoadStopsTheStart)
{
    device->loadResult = kStatusFailed;
    controller.StartDebug(DebugStart::Run);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Unable to initialize simulator."});
    EXPECT_EQ(controller.DebugState(), DebugController::kIdle);
    EXPECT_FALSE(log.has("applyBreakpoints"));
    EXPECT_FALSE(log.has("Run"));
}

TEST_F(DebugControlTest, AlwaysAllowRunRunsWithoutAProjectOrABuild)
{
    host.project = false;
    writeSetting("AlwaysAllowRun", false);
    device->scriptRunResults({tolvane::kRunHalted});
    controller.StartDebug(DebugStart::Run);
    ASSERT_TRUE(waitFor([this] { return controller.DebugState() == DebugController::kHalted; }));
    EXPECT_EQ(log.events().front(), "Run");
    EXPECT_FALSE(log.has("saveAllFiles ask"));
    EXPECT_FALSE(log.has("applyBreakpoints"));
}

TEST_F(DebugControlTest, WithoutAlwaysAllowRunOrAProjectNothingRuns)
{
    host.project = false;
    controller.StartDebug(DebugStart::Run);
    settle();
    EXPECT_FALSE(log.has("Run"));
    EXPECT_EQ(controller.DebugState(), DebugController::kIdle);
}

TEST_F(DebugControlTest, RunToCursorOnALineWithoutCodePutsTheActionsBack)
{
    host.editor = EditorPosition{"/project/main.asm", 7};
    controller.StartDebug(DebugStart::RunToCursor);
    EXPECT_TRUE(log.has("LineToAddress /project/main.asm 7"));
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Cursor is not on a valid source line."});
    EXPECT_EQ(controller.DebugState(), DebugController::kIdle);
    EXPECT_TRUE(host.enabled(DebugAction::Make));
    EXPECT_FALSE(host.enabled(DebugAction::Pause));
    EXPECT_GT(log.indexOf("editors writable"), log.indexOf("LineToAddress /project/main.asm 7"));

    haltAtStart();
    boxes.boxes.clear();
    controller.StartDebug(DebugStart::RunToCursor);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Cursor is not on a valid source line."});
    EXPECT_EQ(controller.DebugState(), DebugController::kHalted);
    EXPECT_FALSE(log.has("editors writable"));
}

TEST_F(DebugControlTest, RunToCursorWithoutAnEditorLeavesNoRunningState)
{
    haltAtStart();
    controller.StartDebug(DebugStart::RunToCursor);
    EXPECT_EQ(controller.DebugState(), DebugController::kHalted);
    EXPECT_TRUE(host.enabled(DebugAction::StepOver));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(DebugControlTest, LoadProgramFileUsesTheProgramFilterAndRefreshes)
{
    controller.ActionLoadFileExecute();
    EXPECT_EQ(log.events(),
              std::vector<std::string>{"chooseProgramFile Program Files (*.hex)|*.hex|All Files (*.*)|*.* hex"});
    host.chosenProgram = "/elsewhere/other.hex";
    log.clear();
    controller.ActionLoadFileExecute();
    EXPECT_EQ(log.events(),
              (std::vector<std::string>{"chooseProgramFile Program Files (*.hex)|*.hex|All Files (*.*)|*.* hex",
                                        "clearMessages", "LoadProgram /elsewhere/other.hex", "Refresh",
                                        "refreshDebugWindows"}));
    device->loadResult = kStatusFailed;
    controller.ActionLoadFileExecute();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Unable to initialize simulator."});
    EXPECT_TRUE(host.cursors.empty());
}

TEST_F(DebugControlTest, VerifyProgramFileLeavesTheOutcomeToTheDevice)
{
    host.chosenProgram = "/elsewhere/other.hex";
    controller.ActionVerifyFileExecute();
    EXPECT_TRUE(log.has("VerifyProgram /elsewhere/other.hex"));
    EXPECT_LT(log.indexOf("clearMessages"), log.indexOf("VerifyProgram /elsewhere/other.hex"));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(DebugControlTest, StimulusAndDataFilesReachTheDevice)
{
    host.chosenFile = "/project/input.stm";
    controller.ActionStimulusFileExecute();
    EXPECT_TRUE(log.has("SetStimulusFile /project/input.stm"));
    host.chosenFile.clear();
    controller.ActionStimulusFileExecute();
    EXPECT_EQ(device->stimulusWasNull, true);
    controller.ActionDataFileExecute();
    EXPECT_EQ(device->dataWasNull, false);
    EXPECT_TRUE(boxes.boxes.empty());

    device->setFileResult = kStatusFailed;
    controller.ActionStimulusFileExecute();
    controller.ActionDataFileExecute();
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Unable to set stimulus file!", "Unable to set data file!"}));

    host.dialogAccepted = false;
    log.clear();
    controller.ActionStimulusFileExecute();
    controller.ActionDataFileExecute();
    EXPECT_TRUE(log.events().empty());
}

}  // namespace
