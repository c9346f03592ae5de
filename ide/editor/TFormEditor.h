#pragma once
// The document window of one source file (or one untitled text).

#include <QString>
#include <QWidget>
#include <array>

#include "ScintillaEditor.h"

class EditorHost;
class QLabel;

class TFormEditor : public QWidget, private ScintillaEditorOwner {
    Q_OBJECT
public:
    enum Result { Saved = 6, NotSaved = 7, Cancelled = 2 };
    enum StatusPanel { PanelModified = 0, PanelInsert = 1, PanelLine = 3, PanelColumn = 5 };

    // An empty path makes an untitled window. Throws EditorFileError when the
    // file cannot be read; no window remains then.
    TFormEditor(EditorHost& host, bool readOnly, const QString& path, QWidget* parent = nullptr);
    ~TFormEditor() override;

    const QString& FilePath() const { return path_; }
    ScintillaEditor& Editor() { return *editor_; }
    QString StatusText(int panel) const;

    void SetReadOnly(bool readOnly);
    bool IsReadOnly() const;
    void ToggleBreakpoint(int line, bool notify);
    int QuerySaveFile();
    int Save();
    int SaveAs();
    void EditorActivated();
    // The changed-file check of the activation, without taking the focus
    // or the main window's actions: for a window behind the front one.
    void ReloadIfChanged();
    void PrintFile();

    void SetExecutionLine(int line) { editor_->SetExecutionLine(line); }
    void GotoLine(int line) { editor_->GotoLine(line); }
    void SelectAt(int line, int column, int length) { editor_->SelectAt(line, column, length); }
    int CurrentLine() const { return editor_->CurrentLine(); }
    void ConvertTabsToSpaces() { editor_->ConvertTabsToSpaces(); }
    void SetTabWidth(int width) { editor_->SetTabWidth(width); }
    void SetUseTabs(bool useTabs) { editor_->SetUseTabs(useTabs); }
    long FindText(std::string_view text, SearchOptions options, bool next)
    {
        return editor_->FindText(text, options, next);
    }
    long FindTextFrom(std::string_view text, long start, SearchOptions options)
    {
        return editor_->FindTextFrom(text, start, options);
    }
    bool ReplaceSelection(std::string_view text) { return editor_->ReplaceSelection(text); }
    int LineFromPosition(long position) const { return editor_->LineFromPosition(position); }
    int ColumnFromPosition(long position) const { return editor_->ColumnFromPosition(position); }
    std::string LineText(int line) const { return editor_->LineText(line); }
    bool CanDo(unsigned int command) const { return editor_->CanDo(command); }
    long Command(unsigned int command) { return editor_->Command(command); }
    void ApplyEditorFont(const EditorFont& font) { ScintillaEditor::ApplyEditorFont(font, editor_); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void EditorModifiedChanged(bool modified) override;
    void EditorOvertypeChanged(bool overtype) override;
    void EditorCaretMoved(int line, int column) override;
    void EditorLinesChanged(int firstLine, int count) override;
    void EditorMarginClicked(int line) override;

    QString DisplayName() const;
    bool SaveTo(const QString& path);
    void ShowInsertMode();

    EditorHost& host_;
    ScintillaEditor* editor_;
    std::array<QLabel*, 7> panels_{};
    FileAge fileAge_ = 0;
    bool overtype_ = false;
    bool externalEditor_ = false;
    bool reloading_ = false;
    QString path_;
};
