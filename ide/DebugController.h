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
    void RefreshDebugWindows();
    // A breakpoint the user toggles while halted reaches the device at once;
    // while running the device is busy, and the next debug start sends every one.
    void BreakpointToggled(const std::string& file, int line, bool set);

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
    TThreadSimulator worker_;
};
