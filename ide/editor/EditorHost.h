#pragma once
// What the editor windows need from the main window. The main window
// implements it; the tests implement it with a fake.

#include <QString>
#include <functional>

class PrintService;
class SaveFileDialog;
class TFormEditor;

class EditorHost {
public:
    virtual ~EditorHost() = default;

    // 1 idle (no debug run), 0 halted, 2 running: editors open read-only unless idle.
    virtual int debugState() const = 0;

    virtual int tabSize() const = 0;
    virtual bool useTabs() const = 0;
    // Keeps the values the Tab Options dialog accepted (already written to the registry).
    virtual void setTabOptions(int tabSize, bool useTabs) = 0;

    virtual bool printLineNumbers() const = 0;
    // Keeps the print dialog's choice (already written to the registry).
    virtual void setPrintLineNumbers(bool printLineNumbers) = 0;

    // The device's source extension, without the point ("asm").
    virtual QString sourceExtension() const = 0;

    // 7 when an editor window is activated, 6 when one closes.
    virtual void UpdateFileActions(int state) = 0;
    // Edit actions from the editor's CanDo; all disabled for null.
    virtual void UpdateEditActions(TFormEditor* editor) = 0;

    // The breakpoint list, which the editors' markers mirror (and the device
    // follows while halted).
    virtual void AddBreakpointAt(const QString& path, int line) = 0;
    virtual void RemoveBreakpointAt(const QString& path, int line) = 0;
    // The file's lines moved: each listed line becomes lineAfter(line), or
    // goes when that is 0.
    virtual void MoveBreakpointLines(const QString& path, const std::function<int(int)>& lineAfter) = 0;
    // Save As: the breakpoints of the file (none for an untitled text) follow
    // it to its new name.
    virtual void MoveBreakpointsToFile(const QString& from, const QString& to) = 0;
    // Sets the editor's markers from the list (ToggleBreakpoint without notify).
    virtual void SyncEditorBreakpoints(TFormEditor& editor) = 0;

    // Shows the Messages window and appends the line.
    virtual void AddMessage(const QString& text) = 0;

    virtual SaveFileDialog& saveDialog() = 0;
    virtual PrintService& printing() = 0;
};
