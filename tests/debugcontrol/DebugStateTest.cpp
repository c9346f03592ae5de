// The debug state machine: action enablement and every transition.
#include "DebugTestSupport.h"

namespace {

using tolvane::kRunConfirmStop;
using tolvane::kRunFailed;
using tolvane::kRunHalted;
using tolvane::kRunStopped;

struct ActionRow {
    DebugAction action;
    bool idleWithProject, idleWithoutProject, halted, running;
};

const ActionRow kActionTable[] = {
    {DebugAction::Run, true, false, true, false},         {DebugAction::StepInto, true, false, true, false},
    {DebugAction::RunToCursor, true, false, true, false}, {DebugAction::StepOver, false, false, true, false},
    {DebugAction::StepOut, false, false, true, false},    {DebugAction::Stop, false, false, true, true},
    {DebugAction::Pause, false, false, false, true},      {DebugAction::Make, true, false, false, false},
    {DebugAction::BuildAll, true, false, false, false},   {DebugAction::DeviceOptions, true, true, false, false},
};

TEST_F(DebugControlTest, ActionsFollowTheStateTable)
{
    for (const ActionRow& row : kActionTable) {
        host.project = true;
        controller.UpdateDebugActions(DebugController::kIdle);
        EXPECT_EQ(host.enabled(row.action), row.idleWithProject) << static_cast<int>(row.action);
        host.project = false;
        controller.UpdateDebugActions(DebugController::kIdle);
        EXPECT_EQ(host.enabled(row.action), row.idleWithoutProject) << static_cast<int>(row.action);
        controller.UpdateDebugActions(DebugController::kHalted);
        EXPECT_EQ(host.enabled(row.action), row.halted) << static_cast<int>(row.action);
        controller.UpdateDebugActions(DebugController::kRunning);
        EXPECT_EQ(host.enabled(row.action), row.running) << static_cast<int>(row.action);
    }
}

TEST_F(DebugControlTest, RunWithoutAProjectIsOfferedOnlyWhenAlwaysAllowRunSaysSoAndThenRuns)
{
    host.project = false;
    // After a run ends, as after a Stop.
    controller.UpdateDebugActions(DebugController::kHalted);
    controller.DebugStateChanged(kRunStopped);
    EXPECT_FALSE(host.enabled(DebugAction::Run)) << "without the setting a click would do nothing";
    writeSetting("AlwaysAllowRun", false);
    controller.UpdateDebugActions(DebugController::kIdle);
    EXPECT_FALSE(host.enabled(DebugAction::Run));
    writeSetting("AlwaysAllowRun", true);
    controller.UpdateDebugActions(DebugController::kIdle);
    ASSERT_TRUE(host.enabled(DebugAction::Run));
    device->scriptRunResults({kRunHalted});
    controller.StartDebug(DebugStart::Run);
    ASSERT_TRUE(waitFor([this] { return controller.DebugState() == DebugController::kHalted; }));
    EXPECT_TRUE(log.has("Run"));
}

TEST_F(DebugControlTest, RunFromIdleRunsAndAHaltShowsTheStopLine)
{
    startBlockingRun();
    EXPECT_FALSE(host.enabled(DebugAction::Run));
    EXPECT_TRUE(host.enabled(DebugAction::Pause));
    log.clear();
    device->programCounter = 12;
    controller.ActionPauseExecute();
    ASSERT_TRUE(waitFor([this] { return controller.DebugState() == DebugController::kHalted; }));
    const std::vector<std::string> expected{"Pause",
                                            "Run returned 0",
                                            "GetProgramCounter",
                                            "AddressToLine 12",
                                            "clearExecutionLines",
                                            "openEditor /project/main.asm",
                                            "executionLine 12",
                                            "Refresh",
                                            "refreshDebugWindows"};
    EXPECT_EQ(log.events(), expected);
    EXPECT_TRUE(host.enabled(DebugAction::StepOver));
}

TEST_F(DebugControlTest, EveryRunOrStepFromHaltedGivesTheWorkerItsCommand)
{
    host.editor = EditorPosition{"/project/main.asm", 30};
    device->lineAddress = 0x1234;
    const std::pair<DebugStart, std::string> commands[] = {
        {DebugStart::Run, "Run"},
        {DebugStart::StepInto, "StepInto"},
        {DebugStart::StepOver, "StepOver"},
        {DebugStart::StepOut, "StepOut"},
        {DebugStart::RunToCursor, "RunToAddress 4660"},
    };
    haltAtStart();
    for (const auto& [start, operation] : commands) {
        device->scriptRunResults({kRunHalted});
        controller.StartDebug(start);
        EXPECT_EQ(controller.DebugState(), DebugController::kRunning) << operation;
        ASSERT_TRUE(waitFor([this] { return controller.DebugState() == DebugController::kHalted; })) << operation;
        EXPECT_TRUE(log.has(operation)) << operation;
        EXPECT_FALSE(log.has("Build")) << operation;
        log.clear();
    }
}

TEST_F(DebugControlTest, ResultOneEndsTheRun)
{
    startBlockingRun();
    log.clear();
    device->release(kRunStopped);
    ASSERT_TRUE(waitFor([this] { return controller.DebugState() == DebugController::kIdle; }));
    EXPECT_EQ(log.indexOf("editors writable"), 1);
    EXPECT_TRUE(log.has("clearExecutionLines"));
    EXPECT_FALSE(log.has("GetProgramCounter"));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_FALSE(host.enabled(DebugAction::Stop));
}

// Result 5, and any result the device does not define, ends the run with the failure shown.
TEST_F(DebugControlTest, AFailedOrUnknownResultShowsTheFailureAndEndsTheRun)
{
    const int failed[] = {kRunFailed, DebugController::kRunning, 3, 42, -1};
    for (const int result : failed) {
        ASSERT_NO_FATAL_FAILURE(startBlockingRun()) << result;
        device->release(result);
        ASSERT_TRUE(waitFor([this] { return controller.DebugState() != DebugController::kRunning; })) << result;
        EXPECT_EQ(controller.DebugState(), DebugController::kIdle) << result;
        EXPECT_TRUE(host.enabled(DebugAction::Run)) << result;
        EXPECT_FALSE(host.enabled(DebugAction::Stop)) << result;
        ASSERT_EQ(boxes.boxes.size(), 1u) << result;
        EXPECT_EQ(boxes.boxes[0].caption, "Error! - Tolvane") << result;
        EXPECT_EQ(boxes.boxes[0].text, "Simulator returned with failure.") << result;
        boxes.boxes.clear();
    }
}

TEST_F(DebugControlTest, ResultFortyThreeConfirmsTheStopAfterTheLineIsShown)
{
    startBlockingRun();
    log.clear();
    device->release(kRunConfirmStop);
    ASSERT_TRUE(waitFor([this] { return log.has("ConfirmStop"); }));
    EXPECT_EQ(controller.DebugState(), DebugController::kHalted);
    EXPECT_LT(log.indexOf("executionLine 64"), log.indexOf("ConfirmStop"));
    EXPECT_LT(log.indexOf("ConfirmStop"), log.indexOf("refreshDebugWindows"));
    EXPECT_TRUE(host.enabled(DebugAction::StepOver));
}

TEST_F(DebugControlTest, StopWhileHaltedEndsTheRunAtOnce)
{
    haltAtStart();
    controller.ActionStopExecute();
    EXPECT_EQ(controller.DebugState(), DebugController::kIdle);
    EXPECT_EQ(log.indexOf("Stop"), 0);
    EXPECT_TRUE(log.has("editors writable"));
}

TEST_F(DebugControlTest, StopWhileRunningLeavesTheEndToTheWorkersResult)
{
    startBlockingRun();
    controller.ActionStopExecute();
    EXPECT_EQ(controller.DebugState(), DebugController::kRunning);
    ASSERT_TRUE(waitFor([this] { return controller.DebugState() == DebugController::kIdle; }));
    EXPECT_EQ(log.count("Stop"), 1);
}

TEST_F(DebugControlTest, BuildWhileHaltedClosesTheRunFirst)
{
    haltAtStart();
    EXPECT_EQ(controller.BuildProject(true), tolvane::kStatusDone);
    EXPECT_EQ(controller.DebugState(), DebugController::kIdle);
    EXPECT_LT(log.indexOf("editors writable"), log.indexOf("Build force"));
    EXPECT_FALSE(log.has("Stop"));
}

TEST_F(DebugControlTest, ADeviceChangeWhileHaltedEndsTheRun)
{
    haltAtStart();
    controller.HaltForDeviceChange();
    EXPECT_EQ(controller.DebugState(), DebugController::kIdle);
    EXPECT_TRUE(log.has("editors writable"));
}

TEST_F(DebugControlTest, AMissingSourceFileIsReportedAndLeavesNoMark)
{
    host.opening = EditorOpening::FileNotFound;
    haltAtStart();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"/project/main.asm does not exist."});

    host.opening = EditorOpening::OtherFailure;
    device->scriptRunResults({tolvane::kRunHalted});
    controller.StartDebug(DebugStart::StepOver);
    ASSERT_TRUE(waitFor([this] { return controller.DebugState() == DebugController::kHalted; }));
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_FALSE(log.has("executionLine 64"));
}

TEST_F(DebugControlTest, AnUnknownStopAddressKeepsTheMarks)
{
    haltAtStart();
    device->sourceFile.reset();
    device->scriptRunResults({kRunHalted});
    controller.StartDebug(DebugStart::StepOver);
    ASSERT_TRUE(waitFor([this] { return controller.DebugState() == DebugController::kHalted; }));
    EXPECT_FALSE(log.has("clearExecutionLines"));
}

TEST_F(DebugControlTest, SwitchingTheDebugLevelShowsTheLineAgain)
{
    haltAtStart();
    EXPECT_EQ(controller.DebugLevel(), tolvane::kDebugLevelHigh);
    // The toolkit may have unchecked the item already: the mark is put back.
    host.setActionChecked(DebugAction::HighLevelDebug, false);
    controller.ActionHighLevelDebugExecute();
    EXPECT_TRUE(log.events().empty());
    EXPECT_TRUE(host.checked(DebugAction::HighLevelDebug));

    controller.ActionLowLevelDebugExecute();
    EXPECT_EQ(log.indexOf("SetDebugLevel 33"), 0);
    EXPECT_TRUE(log.has("executionLine 64"));
    EXPECT_TRUE(host.checked(DebugAction::LowLevelDebug));
    EXPECT_FALSE(host.checked(DebugAction::HighLevelDebug));
    EXPECT_EQ(controller.DebugLevel(), tolvane::kDebugLevelLow);
    EXPECT_EQ(controller.DebugState(), DebugController::kHalted);
}

TEST_F(DebugControlTest, TraceExecutionToggles)
{
    controller.ActionTraceExecute();
    EXPECT_TRUE(host.checked(DebugAction::TraceExecution));
    controller.ActionTraceExecute();
    EXPECT_FALSE(host.checked(DebugAction::TraceExecution));
    EXPECT_EQ(log.events(), (std::vector<std::string>{"StartTrace", "StopTrace"}));
}

TEST_F(DebugControlTest, ABreakpointToggledWhileHaltedReachesTheDeviceAtOnce)
{
    device->lineAddress = 16;
    controller.BreakpointToggled("/project/main.asm", 3, true);
    EXPECT_TRUE(log.events().empty());

    haltAtStart();
    controller.BreakpointToggled("/project/main.asm", 3, true);
    controller.BreakpointToggled("/project/main.asm", 3, false);
    EXPECT_EQ(log.events(), (std::vector<std::string>{"LineToAddress /project/main.asm 3", "SetBreakpoint 16",
                                                      "LineToAddress /project/main.asm 3", "ClearBreakpoint 16"}));

    // A line without code changes nothing on the device.
    log.clear();
    device->lineAddress.reset();
    controller.BreakpointToggled("/project/main.asm", 1, true);
    EXPECT_EQ(log.events(), std::vector<std::string>{"LineToAddress /project/main.asm 1"});
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(DebugControlTest, ABreakpointToggledWhileRunningReachesTheDeviceAndTheHaltChecksTheList)
{
    device->lineAddress = 16;
    startBlockingRun();
    log.clear();
    controller.BreakpointToggled("/project/main.asm", 3, false);
    controller.BreakpointToggled("/project/main.asm", 4, true);
    EXPECT_EQ(log.events(), (std::vector<std::string>{"LineToAddress /project/main.asm 3", "ClearBreakpoint 16",
                                                      "LineToAddress /project/main.asm 4", "SetBreakpoint 16"}));

    // A change made during the run may cross its halt: the halt sends the list again.
    device->release(kRunHalted);
    ASSERT_TRUE(waitFor([this] { return controller.DebugState() == DebugController::kHalted; }));
    EXPECT_LT(log.indexOf("applyBreakpoints"), log.indexOf("refreshDebugWindows"));

    // While halted a change the device takes needs nothing more; one it
    // refuses is sent again with the list at the next halt.
    const struct {
        int answer;
        bool resent;
    } changes[] = {{tolvane::kStatusDone, false}, {tolvane::kStatusFailed, true}};
    for (const auto& change : changes) {
        device->breakpointResult = change.answer;
        controller.BreakpointToggled("/project/main.asm", 5, true);
        log.clear();
        device->scriptRunResults({kRunHalted});
        controller.StartDebug(DebugStart::Run);
        ASSERT_TRUE(waitFor([this] { return controller.DebugState() == DebugController::kHalted; }));
        EXPECT_EQ(log.has("applyBreakpoints"), change.resent) << change.answer;
    }
}

TEST_F(DebugControlTest, TheTargetIsReadableFromTheFirstHaltUntilTheRunEnds)
{
    EXPECT_FALSE(controller.TargetReadable());
    startBlockingRun();
    EXPECT_FALSE(controller.TargetReadable());
    controller.ActionPauseExecute();
    ASSERT_TRUE(waitFor([this] { return controller.DebugState() == DebugController::kHalted; }));
    EXPECT_TRUE(controller.TargetReadable());
    controller.StartDebug(DebugStart::Run);
    EXPECT_TRUE(controller.TargetReadable());
    controller.ActionStopExecute();
    ASSERT_TRUE(waitFor([this] { return controller.DebugState() == DebugController::kIdle; }));
    EXPECT_FALSE(controller.TargetReadable());
}

}  // namespace
