#include "DebugController.h"

#include <vector>

#include "AbstractDevice.h"
#include "MessageBoxes.h"
#include "ProductKey.h"
#include "Registry.h"

namespace {

using tolvane::kStatusDone;
using tolvane::kStatusFailed;
using tolvane::kSettingsKey;

const char kNoDevice[] = "No device is selected. Choose one in the Device menu.";

std::unique_ptr<platform::RegistryKey> openSettings()
{
    return platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, kSettingsKey, false);
}

bool autoSaveBeforeCompile()
{
    const auto settings = openSettings();
    return settings && settings->readBool("AutoSaveBeforeCompile").value_or(false);
}

// Presence alone lets a run start without a project, whatever the value.
bool alwaysAllowRun()
{
    const auto settings = openSettings();
    return settings && settings->hasValue("AlwaysAllowRun");
}

// Run is offered without a project only as the value says: without one, a
// click would build nothing and start nothing.
bool runOfferedWithoutProject()
{
    const auto settings = openSettings();
    return settings && settings->readBool("AlwaysAllowRun").value_or(false);
}

// A device's run ends halted, stopped, failed or asking for ConfirmStop;
// anything else is a failure, never a debug state to be stuck in.
int knownRunResult(int runResult)
{
    switch (runResult) {
    case tolvane::kRunHalted:
    case tolvane::kRunStopped:
    case tolvane::kRunConfirmStop:
        return runResult;
    default:
        return tolvane::kRunFailed;
    }
}

}  // namespace

// Shows the hourglass for a handler's lifetime, also when it leaves by an exception.
class DebugController::BusyCursor {
public:
    explicit BusyCursor(DebugHost& host) : host_(host) { host_.pushCursor(DebugCursor::Busy); }
    ~BusyCursor() { host_.popCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    DebugHost& host_;
};

DebugController::DebugController(DebugHost& host)
    : host_(host),
      debugLevel_(tolvane::kDebugLevelHigh),
      worker_([this](int runResult) { DebugStateChanged(knownRunResult(runResult)); })
{}

DebugController::~DebugController()
{
    Shutdown();
}

void DebugController::ShowError(const std::string& text)
{
    host_.pushCursor(DebugCursor::Normal);
    platform::showError(text);
    host_.popCursor();
}

void DebugController::UpdateDebugActions(int state)
{
    debugState_ = state;
    if (state != kIdle && state != kHalted && state != kRunning)
        return;
    enableActions(host_.projectOpen());
}

void DebugController::projectOpenChanged(bool open)
{
    // While a debug run is open the build and debug actions keep what its
    // state gave them, whatever happens to the project meanwhile.
    if (debugState_ == kIdle)
        enableActions(open);
}

void DebugController::enableActions(bool project)
{
    const bool idle = debugState_ == kIdle;
    const bool halted = debugState_ == kHalted;
    const bool running = debugState_ == kRunning;
    host_.setActionEnabled(DebugAction::Run, halted || (idle && (project || runOfferedWithoutProject())));
    host_.setActionEnabled(DebugAction::StepInto, halted || (idle && project));
    host_.setActionEnabled(DebugAction::RunToCursor, halted || (idle && project));
    host_.setActionEnabled(DebugAction::StepOver, halted);
    host_.setActionEnabled(DebugAction::StepOut, halted);
    host_.setActionEnabled(DebugAction::Stop, !idle);
    host_.setActionEnabled(DebugAction::Pause, running);
    host_.setActionEnabled(DebugAction::Make, idle && project);
    host_.setActionEnabled(DebugAction::BuildAll, idle && project);
    host_.setActionEnabled(DebugAction::DeviceOptions, idle);
}

bool DebugController::HasDevice()
{
    if (!device_)
        host_.addMessage(kNoDevice);
    return device_ != nullptr;
}

int DebugController::BuildProject(bool force)
{
    if (!HasDevice())
        return kStatusFailed;
    const BusyCursor busy(host_);
    if (debugState_ == kRunning) {
        ShowError("Unable to build.\r\nThe simulator is still running?");
        host_.addMessage("Build Failed!  Simulator still running.");
        return kStatusFailed;
    }
    if (debugState_ == kHalted)
        DebugStateChanged(kIdle);

    if (!host_.saveAllFiles(!autoSaveBeforeCompile()))
        return kStatusFailed;
    if (!host_.projectOpen())
        return kStatusFailed;

    const std::vector<std::string> files = host_.projectFiles();
    std::vector<const char*> fileTexts;
    fileTexts.reserve(files.size());
    for (const std::string& file : files)
        fileTexts.push_back(file.c_str());
    host_.clearMessages();
    host_.addMessage("Compiling...");
    std::string projectPath = host_.projectPath();
    if (projectPath.empty())
        projectPath = "UntitledProject.prj";

    const int result =
        device_->Build(fileTexts.data(), static_cast<unsigned>(fileTexts.size()), force, projectPath.c_str());
    if (result == kStatusDone) {
        host_.addMessage("Build Successful.");
    } else {
        char** lines = nullptr;
        int count = 0;
        device_->GetBuildMessages(&lines, &count);
        for (int index = 0; lines && index < count; ++index)
            host_.addMessage(lines[index] ? lines[index] : "");
        host_.addMessage("Build Failed!");
    }
    host_.activateEditors();
    return result;
}

void DebugController::StartDebug(DebugStart action)
{
    // While running the worker is busy: a second command would wait for it.
    if (!HasDevice() || debugState_ == kRunning)
        return;
    const BusyCursor busy(host_);
    const int stateBefore = debugState_;
    const bool newRun = debugState_ == kIdle;
    if (newRun) {
        if (!host_.projectOpen() && alwaysAllowRun()) {
            UpdateDebugActions(kRunning);
            worker_.Run(*device_);
            return;
        }
        if (BuildProject(false) != kStatusDone)
            return;
        char* programFile = nullptr;
        if (device_->GetProgramFile(&programFile) != kStatusDone || !programFile) {
            ShowError("Unable to get program file from device.");
            return;
        }
        const std::string path = programFile;
        if (device_->LoadProgram(path.c_str()) != kStatusDone) {
            ShowError("Unable to initialize simulator.");
            return;
        }
        host_.applyBreakpoints();
    }

    UpdateDebugActions(kRunning);
    switch (action) {
    case DebugStart::Run:
        worker_.Run(*device_);
        break;
    case DebugStart::StepInto:
        // A fresh run stands at the program's start: show it without stepping.
        if (newRun)
            DebugStateChanged(kHalted);
        else
            worker_.StepInto(*device_);
        break;
    case DebugStart::StepOver:
        worker_.StepOver(*device_);
        break;
    case DebugStart::StepOut:
        worker_.StepOut(*device_);
        break;
    case DebugStart::RunToCursor:
        RunToCursor(stateBefore);
        break;
    }
}

void DebugController::RunToCursor(int stateBefore)
{
    const std::optional<EditorPosition> position = host_.frontEditorPosition();
    unsigned address = 0;
    if (position && device_->LineToAddress(position->file.c_str(), position->line, &address) == kStatusDone) {
        worker_.RunTo(*device_, address);
        return;
    }
    // No command was given, so no result will ever end the running state.
    if (position)
        ShowError("Cursor is not on a valid source line.");
    UpdateDebugActions(stateBefore);
    if (stateBefore == kIdle)
        host_.setEditorsReadOnly(false);
}

void DebugController::DebugStateChanged(int result)
{
    if (result == tolvane::kRunFailed) {
        ShowError("Simulator returned with failure.");
        result = kIdle;
    }
    const bool confirmStop = result == tolvane::kRunConfirmStop;
    debugState_ = confirmStop ? kHalted : result;
    if (debugState_ == kHalted)
        targetReadable_ = true;

    if (debugState_ == kIdle) {
        targetReadable_ = false;
        // The next debug start sends every breakpoint.
        breakpointsOutOfStep_ = false;
        host_.setEditorsReadOnly(false);
        ShowSourceLine(std::nullopt, -1);
    } else if (device_) {
        int pc = 0;
        char* file = nullptr;
        int line = 0;
        if (device_->GetProgramCounter(&pc) == kStatusDone
            && device_->AddressToLine(static_cast<unsigned>(pc), &file, &line) == kStatusDone && file)
            ShowSourceLine(std::string(file), line);
    }
    if (confirmStop && device_)
        device_->ConfirmStop();
    if (debugState_ == kHalted && breakpointsOutOfStep_ && device_) {
        breakpointsOutOfStep_ = false;
        host_.applyBreakpoints();
    }

    RefreshDebugWindows();
    UpdateDebugActions(debugState_);
}

void DebugController::ShowSourceLine(const std::optional<std::string>& file, int line)
{
    host_.clearExecutionLines();
    if (!file)
        return;
    switch (host_.openEditor(*file)) {
    case EditorOpening::Opened:
        host_.setFrontExecutionLine(line);
        break;
    case EditorOpening::FileNotFound:
        ShowError(*file + " does not exist.");
        break;
    case EditorOpening::OtherFailure:
        break;
    }
}

void DebugController::RefreshDebugWindows()
{
    if (device_)
        device_->Refresh();
    host_.refreshDebugWindows();
}

void DebugController::BreakpointToggled(const std::string& file, int line, bool set)
{
    unsigned address = 0;
    if (debugState_ == kIdle || !device_ || device_->LineToAddress(file.c_str(), line, &address) != kStatusDone)
        return;
    const int sent = set ? device_->SetBreakpoint(address) : device_->ClearBreakpoint(address);
    // A change may cross the halt that ends the run, so the halt checks it.
    if (sent != kStatusDone || debugState_ == kRunning)
        breakpointsOutOfStep_ = true;
}

void DebugController::ActionPauseExecute()
{
    if (device_)
        device_->Pause();
}

void DebugController::ActionStopExecute()
{
    if (!device_)
        return;
    if (debugState_ == kHalted) {
        device_->Stop();
        DebugStateChanged(kIdle);
    } else if (debugState_ == kRunning) {
        // The worker's command returns 1 and its result ends the run.
        device_->Stop();
    }
}

void DebugController::ActionHighLevelDebugExecute()
{
    SetDebugLevel(tolvane::kDebugLevelHigh);
}

void DebugController::ActionLowLevelDebugExecute()
{
    SetDebugLevel(tolvane::kDebugLevelLow);
}

void DebugController::SetDebugLevel(int level)
{
    const bool changed = level != debugLevel_;
    debugLevel_ = level;
    host_.setActionChecked(DebugAction::HighLevelDebug, level == tolvane::kDebugLevelHigh);
    host_.setActionChecked(DebugAction::LowLevelDebug, level == tolvane::kDebugLevelLow);
    if (!changed || !device_)
        return;
    device_->SetDebugLevel(level);
    // The shown line follows the new level.
    DebugStateChanged(debugState_);
}

void DebugController::WithChosenProgramFile(const std::function<void(const char* path)>& use)
{
    if (!HasDevice())
        return;
    const std::string extension = host_.programExtension();
    const std::optional<std::string> path = host_.chooseProgramFile(
        "Program Files (*." + extension + ")|*." + extension + "|All Files (*.*)|*.*", extension);
    if (!path)
        return;
    const BusyCursor busy(host_);
    host_.clearMessages();
    use(path->c_str());
}

void DebugController::ActionLoadFileExecute()
{
    WithChosenProgramFile([this](const char* path) {
        if (device_->LoadProgram(path) == kStatusDone)
            RefreshDebugWindows();
        else
            ShowError("Unable to initialize simulator.");
    });
}

void DebugController::ActionVerifyFileExecute()
{
    // The device reports the outcome on the Messages window itself.
    WithChosenProgramFile([this](const char* path) { device_->VerifyProgram(path); });
}

void DebugController::ActionStimulusFileExecute()
{
    std::string file;
    if (!HasDevice() || !host_.askStimulusFile(file))
        return;
    const BusyCursor busy(host_);
    if (device_->SetStimulusFile(file.empty() ? nullptr : file.c_str()) != kStatusDone)
        ShowError("Unable to set stimulus file!");
}

void DebugController::ActionDataFileExecute()
{
    std::string file;
    if (!HasDevice() || !host_.askDataFile(file))
        return;
    const BusyCursor busy(host_);
    // The device takes a text here, never a null pointer: no data file is the empty text.
    if (device_->SetDataFile(file.c_str()) != kStatusDone)
        ShowError("Unable to set data file!");
}

void DebugController::ActionTraceExecute()
{
    if (!HasDevice()) {
        host_.setActionChecked(DebugAction::TraceExecution, tracing_);
        return;
    }
    tracing_ = !tracing_;
    host_.setActionChecked(DebugAction::TraceExecution, tracing_);
    if (tracing_)
        device_->StartTrace();
    else
        device_->StopTrace();
}

void DebugController::HaltForDeviceChange()
{
    if (debugState_ == kIdle || !device_)
        return;
    worker_.Halt(*device_);
    DebugStateChanged(kIdle);
}

void DebugController::Shutdown()
{
    worker_.Shutdown(device_);
}
