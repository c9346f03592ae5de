#pragma once
// The editor windows in the main window's document area: opening, finding
// and saving them, the execution line, breakpoint toggles from the list and
// the settings every editor shares.

#include <QList>
#include <QObject>
#include <QString>

#include "ScintillaEditor.h"

class EditorHost;
class QMdiArea;
class QMdiSubWindow;
class QWidget;
class TFormEditor;

class EditorWindows : public QObject {
    Q_OBJECT
public:
    // Placement codes of an editor window.
    enum Placement { Normal = 12, Zoomed = 13, Minimised = 14 };

    EditorWindows(EditorHost& host, QMdiArea& area);

    // The window of the file (shown), or a new one, read-only unless the
    // debugger is idle. Throws EditorFileError when the file cannot be read.
    TFormEditor* OpenEditor(const QString& path);
    TFormEditor* OpenEditorWithLayout(const QString& path, int state, int left, int top, int right, int bottom);
    TFormEditor* NewFile();

    // Entry points for the Messages, project, Breakpoints and find-in-files
    // windows: open the file and select the line (or the match). A file that
    // cannot be opened is reported in a box; the result is then false.
    bool OpenFileAtLine(const QString& path, int line);
    bool OpenFileAtMatch(const QString& path, int line, int column, int length);
    // Entry point of the debug control: clears the execution line in every
    // editor, then marks the line in the file's editor (none for an empty path).
    void ShowSourceLine(const QString& path, int line);

    // The same steps one by one, for callers that report a missing file
    // themselves. TryOpenEditor throws nothing: a failure other than a
    // missing file is reported in a box here.
    enum class Opening { Opened, FileNotFound, OtherFailure };
    Opening TryOpenEditor(const QString& path);
    void ClearExecutionLines();
    void SetFrontExecutionLine(int line);
    // Every editor window checks its file for changes made outside; the
    // front one is activated.
    void ActivateEditors();

    TFormEditor* FrontEditor() const;
    QList<TFormEditor*> Editors() const;
    TFormEditor* FindEditor(const QString& path) const;

    // 6 when every window was saved or needed no saving, 2 when one was cancelled.
    int SaveAllFiles(bool ask);
    // One window of that walk: with ask its save question, without it the
    // Messages line "Saving file: " and the save. 6, 7 or 2.
    int SaveEditor(TFormEditor& editor, bool ask);
    // The editor window shown in a document window; null for other windows.
    static TFormEditor* EditorIn(QMdiSubWindow* window);
    // Toggles the marker of an open editor of the file without reporting back.
    void ToggleEditorBreakpoint(const QString& path, int line);
    void SetEditorsReadOnly(bool readOnly);

    // Tab Options: the dialog, then every editor and the registry get the values.
    bool ActionTabOptionsExecute(QWidget* parent);
    void ApplyTabOptions(int tabSize, bool useTabs);
    // Stores the shared font and applies it to every editor.
    void ApplyEditorFont(const EditorFont& font);

private:
    TFormEditor* AddWindow(TFormEditor* editor);
    QMdiSubWindow* WindowOf(TFormEditor* editor) const;
    TFormEditor* OpenCatching(const QString& path, Opening& result);
    TFormEditor* OpenOrReport(const QString& path);

    EditorHost& host_;
    QMdiArea& area_;
};
