#pragma once
// The main window as each part sees it: one small adapter per host
// interface, so that the parts' like-named calls stay apart.

#include <memory>
#include <string>

#include "DebugHost.h"
#include "DebugViewHost.h"
#include "DeviceHost.h"
#include "EditorHost.h"
#include "ProjectHost.h"

class PrintService;
class TMainForm;

class MainDeviceHost final : public DeviceHost {
public:
    explicit MainDeviceHost(TMainForm& form) : form_(form) {}
    void addMessage(const QString& line) override;
    void haltDebugRun() override;
    void deviceChanged(AbstractDevice* device) override;
    void closeToolWindow(int windowId) override;
    void clearDebugWindows() override;
    void deviceMenuItemDone() override;
    QWidget* dialogOwner() override;
    QString chooseFileToOpen(const QString& filter, const QString& defaultExtension) override;

private:
    TMainForm& form_;
};

class MainDebugHost final : public DebugHost {
public:
    explicit MainDebugHost(TMainForm& form) : form_(form) {}
    void setActionEnabled(DebugAction action, bool enabled) override;
    void setActionChecked(DebugAction action, bool checked) override;
    void pushCursor(DebugCursor cursor) override;
    void popCursor() override;
    bool projectOpen() const override;
    std::vector<std::string> projectFiles() const override;
    std::string projectPath() const override;
    std::string programExtension() const override;
    void clearMessages() override;
    void addMessage(const std::string& line) override;
    bool saveAllFiles(bool ask) override;
    void activateEditors() override;
    void setEditorsReadOnly(bool readOnly) override;
    void clearExecutionLines() override;
    EditorOpening openEditor(const std::string& path) override;
    void setFrontExecutionLine(int line) override;
    std::optional<EditorPosition> frontEditorPosition() const override;
    void refreshDebugWindows() override;
    void applyBreakpoints() override;
    std::optional<std::string> chooseProgramFile(const std::string& filter,
                                                 const std::string& defaultExtension) override;
    bool askStimulusFile(std::string& file) override;
    bool askDataFile(std::string& file) override;

private:
    QAction* actionFor(DebugAction action) const;
    TMainForm& form_;
};

class MainDebugViewHost final : public DebugViewHost {
public:
    explicit MainDebugViewHost(TMainForm& form) : form_(form) {}
    AbstractDevice* device() const override;
    int debugState() const override;
    int addressBits() const override;
    BreakpointList& breakpoints() override;
    void openFileAtLine(const QString& path, int line) override;
    void showSourceLine(const QString& path, int line) override;
    void addWatch(const QString& name) override;
    void refreshDebugWindows() override;

private:
    TMainForm& form_;
};

class MainProjectHost final : public ProjectHost {
public:
    explicit MainProjectHost(TMainForm& form) : form_(form) {}
    QMainWindow* mainWindow() override;
    AbstractDevice* device() override;
    QString deviceName() override;
    void selectDeviceByName(const QString& name) override;
    void selectCompilerByName(const QString& name) override;
    void clearDebugWindows() override;
    void projectStateChanged(int state) override;
    QList<project::OpenedEditor> editorLayoutsForSaving() override;
    bool openEditorWithLayout(const QString& path, int state, const QRect& bounds) override;
    void openEditor(const QString& path) override;
    TDockableForm* toolWindow(int id) override;
    void recreateToolWindow(int id, const QRect& rect, int placement) override;
    QList<project::BreakpointLine> breakpointLines() override;
    void removeAllBreakpoints() override;
    void addBreakpointFromProject(const QString& path, int line) override;
    QString stimulusFile() override;
    void setStimulusFileChoice(const QString& path) override;
    QString dataFile() override;
    void setDataFileChoice(const QString& path) override;
    void addFilesCommand() override;
    QString chooseProjectSaveFile(const ProjectSaveRequest& request) override;

private:
    TMainForm& form_;
};

class MainEditorHost final : public EditorHost {
public:
    explicit MainEditorHost(TMainForm& form);
    ~MainEditorHost() override;
    int debugState() const override;
    int tabSize() const override;
    bool useTabs() const override;
    void setTabOptions(int tabSize, bool useTabs) override;
    bool printLineNumbers() const override;
    void setPrintLineNumbers(bool printLineNumbers) override;
    QString sourceExtension() const override;
    void UpdateFileActions(int state) override;
    void UpdateEditActions(TFormEditor* editor) override;
    void AddBreakpointAt(const QString& path, int line) override;
    void RemoveBreakpointAt(const QString& path, int line) override;
    void MoveBreakpointLines(const QString& path, const std::function<int(int)>& lineAfter) override;
    void MoveBreakpointsToFile(const QString& from, const QString& to) override;
    void SyncEditorBreakpoints(TFormEditor& editor) override;
    void AddMessage(const QString& text) override;
    SaveFileDialog& saveDialog() override;
    void ReplaceSaveDialog(std::unique_ptr<SaveFileDialog> dialog);
    PrintService& printing() override;

private:
    TMainForm& form_;
    std::unique_ptr<SaveFileDialog> saveDialog_;
    std::string handedOutFolder_;
    // The printer is looked for on the first print only.
    std::unique_ptr<PrintService> printing_;
};
