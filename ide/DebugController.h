#pragma once
// The main window's control of building and debugging: the debug state
// machine, the action enablement that follows it, the current source line
// after each stop and the refresh of the debug windows. Runs on the window
// thread only; the blocking run and step operations go to the worker thread.

#include <functional>
#include <optional>
#include <string>

#include "DebugHost.h"
#include "TThreadSimulator.h"

class AbstractDevice;

// The five actions that start or continue a debug run.
enum class DebugStart { Run, StepInto, StepOver, StepOut, RunToCursor };

class DebugController {
public:
    // Debug states.
    static constexpr int kHalted = 0;
    static constexpr int kIdle = 1;
    static constexpr int kRunning = 2;

    explicit DebugController(DebugHost& host);
    ~DebugController();
    DebugController(const DebugController&) = delete;
    DebugController& operator=(const DebugController&) = delete;

    // The selected device, or none. Before replacing or freeing a device the
    // owner calls HaltForDeviceChange (or Shutdown when closing); a device
    // freed without Shutdown must be cleared here first.
    void SetDevice(AbstractDevice* device) { device_ = device; }
    AbstractDevice* Device() const { return device_; }
    int DebugState() const { return debugState_; }
    // 32 high-level (the initial choice) or 33 low-level debugging; a newly
    // selected device is told this level.
    int DebugLevel() const { return debugLevel_; }

    int BuildProject(bool force);
    // The one handler of Run, Step Into, Step Over, Step Out and Run To Cursor.
    void StartDebug(DebugStart action);
    void DebugStateChanged(int result);
    void UpdateDebugActions(int state);
    // The project opened or closed; the session may not hold it yet.
    void projectOpenChanged(bool open);
    void RefreshDebugWindows();
    // A breakpoint the user sets or removes during a debug run reaches the
    // device at once, also while the target runs (the device takes such calls
    // during a run); outside a run the next debug start sends every one.
    void BreakpointToggled(const std::string& file, int line, bool set);
    // A debug run is open and has halted at least once. Only then may the
    // debug windows read the target: before, asking would connect to a board
    // the user did not ask for.
    bool TargetReadable() const { return targetReadable_; }

    void ActionMakeExecute() { BuildProject(false); }
    void ActionBuildExecute() { BuildProject(true); }
    void ActionPauseExecute();
    void ActionStopExecute();
    void ActionHighLevelDebugExecute();
    void ActionLowLevelDebugExecute();
    void ActionLoadFileExecute();
    void ActionVerifyFileExecute();
    void ActionStimulusFileExecute();
    void ActionDataFileExecute();
    void ActionTraceExecute();
    void ActionRefreshExecute() { RefreshDebugWindows(); }

    // Another device is about to be selected: a debug run in progress ends
    // (its run operation has returned when this returns) and the state is 1.
    void HaltForDeviceChange();
    // The main window is closing: the worker ends; the device may be freed afterwards.
    void Shutdown();

private:
    class BusyCursor;

    // The action enablement of the current debug state.
    void enableActions(bool project);
    void ShowSourceLine(const std::optional<std::string>& file, int line);
    void SetDebugLevel(int level);
    void RunToCursor(int stateBefore);
    // Asks for a program file; with one chosen, clears the Messages window
    // and hands it on under the hourglass.
    void WithChosenProgramFile(const std::function<void(const char* path)>& use);
    void ShowError(const std::string& text);
    // Without a device the Messages window says why nothing happens.
    bool HasDevice();

    DebugHost& host_;
    AbstractDevice* device_ = nullptr;
    int debugState_ = kIdle;
    int debugLevel_;
    bool tracing_ = false;
    bool targetReadable_ = false;
    // A breakpoint change made while the target ran, or one the device
    // refused: the next halt sends the whole list again.
    bool breakpointsOutOfStep_ = false;
    TThreadSimulator worker_;
};
