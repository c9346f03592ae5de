#pragma once
// What the debug controller needs of the main window: its actions, project,
// Messages window, editor windows and tool windows. The main window
// implements it; tests implement it with a recording fake.

#include <optional>
#include <string>
#include <vector>

enum class DebugAction {
    Run,
    StepInto,
    StepOver,
    StepOut,
    RunToCursor,
    Pause,
    Stop,
    Make,
    BuildAll,
    DeviceOptions,
    HighLevelDebug,
    LowLevelDebug,
    TraceExecution,
};

enum class DebugCursor { Busy, Normal };

enum class EditorOpening { Opened, FileNotFound, OtherFailure };

// The front editor window's file and current line.
struct EditorPosition {
    std::string file;
    int line = 0;
};

class DebugHost {
public:
    virtual ~DebugHost() = default;

    virtual void setActionEnabled(DebugAction action, bool enabled) = 0;
    // Shows the controller's own state of the debug-level pair and of Trace
    // Execution; a toolkit that checks actions by itself is overruled here.
    virtual void setActionChecked(DebugAction action, bool checked) = 0;

    // Cursor overrides nest: every push is followed by one pop.
    virtual void pushCursor(DebugCursor cursor) = 0;
    virtual void popCursor() = 0;

    virtual bool projectOpen() const = 0;
    // The project's files as full paths.
    virtual std::vector<std::string> projectFiles() const = 0;
    // The project's file path; empty for an untitled project.
    virtual std::string projectPath() const = 0;
    // The program file extension without the point ("hex").
    virtual std::string programExtension() const = 0;

    virtual void clearMessages() = 0;
    virtual void addMessage(const std::string& line) = 0;

    // Saves every editor window, asking each one first when ask is set, or
    // announcing each save on the Messages window when it is not. False when
    // the user cancelled one of the questions.
    virtual bool saveAllFiles(bool ask) = 0;
    // Every editor window reloads files changed behind its back.
    virtual void activateEditors() = 0;
    virtual void setEditorsReadOnly(bool readOnly) = 0;
    // Removes the execution mark from every editor window.
    virtual void clearExecutionLines() = 0;
    // Opens the file in an editor window (or shows the one that has it) and
    // brings it to the front. The host reports failures other than a missing
    // file itself: this runs from queued events, which no exception may cross.
    virtual EditorOpening openEditor(const std::string& path) = 0;
    virtual void setFrontExecutionLine(int line) = 0;
    virtual std::optional<EditorPosition> frontEditorPosition() const = 0;

    // RefreshView of every refreshed tool window in list order, then every
    // editor window repainted. The device has already been refreshed.
    virtual void refreshDebugWindows() = 0;
    // Clears the device's breakpoints and sends every editor breakpoint again
    // whose line the device maps to an address.
    virtual void applyBreakpoints() = 0;

    // The open dialog for program files; empty when cancelled. The filter is
    // in the "Description|pattern|..." form.
    virtual std::optional<std::string> chooseProgramFile(const std::string& filter,
                                                         const std::string& defaultExtension) = 0;
    // The stimulus and data file dialogs shown modally: false when cancelled,
    // else file holds the chosen file, empty when none is to be used.
    virtual bool askStimulusFile(std::string& file) = 0;
    virtual bool askDataFile(std::string& file) = 0;
};
