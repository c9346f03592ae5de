#pragma once
// A main window for the debug controller's tests: it keeps action states,
// answers from fields and logs every call that changes something.

#include <map>

#include "AbstractDevice.h"
#include "DebugHost.h"
#include "EventLog.h"

class FakeDebugHost : public DebugHost {
public:
    explicit FakeDebugHost(EventLog& log) : log_(log) {}

    void setActionEnabled(DebugAction action, bool enabled) override { enabled_[action] = enabled; }
    bool checked(DebugAction action) const
    {
        const auto found = checked_.find(action);
        return found != checked_.end() && found->second;
    }
    void setActionChecked(DebugAction action, bool checked) override { checked_[action] = checked; }
    bool enabled(DebugAction action) const
    {
        const auto found = enabled_.find(action);
        return found != enabled_.end() && found->second;
    }
    bool knowsAction(DebugAction action) const { return enabled_.count(action) != 0; }
    void forgetActions() { enabled_.clear(); }

    void pushCursor(DebugCursor cursor) override { cursors.push_back(cursor); }
    void popCursor() override { cursors.pop_back(); }

    bool projectOpen() const override { return project; }
    std::vector<std::string> projectFiles() const override { return files; }
    std::string projectPath() const override { return path; }
    std::string programExtension() const override { return "hex"; }

    void clearMessages() override { log_.add("clearMessages"); }
    void addMessage(const std::string& line) override { log_.add("message " + line); }

    bool saveAllFiles(bool ask) override
    {
        log_.add(ask ? "saveAllFiles ask" : "saveAllFiles");
        return !cancelSave;
    }
    void activateEditors() override { log_.add("activateEditors"); }
    void setEditorsReadOnly(bool readOnly) override { log_.add(readOnly ? "editors read-only" : "editors writable"); }
    void clearExecutionLines() override { log_.add("clearExecutionLines"); }
    EditorOpening openEditor(const std::string& file) override
    {
        log_.add("openEditor " + file);
        return opening;
    }
    void setFrontExecutionLine(int line) override { log_.add("executionLine " + std::to_string(line)); }
    std::optional<EditorPosition> frontEditorPosition() const override { return editor; }

    void refreshDebugWindows() override { log_.add("refreshDebugWindows"); }
    void applyBreakpoints() override
    {
        log_.add("applyBreakpoints");
        if (!device)
            return;
        device->ClearAllBreakpoints();
        for (unsigned address : breakpoints)
            device->SetBreakpoint(address);
    }

    std::optional<std::string> chooseProgramFile(const std::string& filter, const std::string& extension) override
    {
        log_.add("chooseProgramFile " + filter + " " + extension);
        return chosenProgram;
    }
    bool askStimulusFile(std::string& file) override
    {
        file = chosenFile;
        return dialogAccepted;
    }
    bool askDataFile(std::string& file) override
    {
        file = chosenFile;
        return dialogAccepted;
    }

    bool project = true;
    std::vector<std::string> files{"/project/main.asm", "/project/util.asm"};
    std::string path = "/project/demo.prj";
    bool cancelSave = false;
    EditorOpening opening = EditorOpening::Opened;
    std::optional<EditorPosition> editor;
    AbstractDevice* device = nullptr;
    std::vector<unsigned> breakpoints;
    std::optional<std::string> chosenProgram;
    std::string chosenFile;
    bool dialogAccepted = true;
    std::vector<DebugCursor> cursors;

private:
    EventLog& log_;
    std::map<DebugAction, bool> enabled_;
    std::map<DebugAction, bool> checked_;
};
