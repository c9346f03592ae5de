#pragma once
// One Scintilla editing window, driven only through Scintilla's messages.
// Line and column numbers on this interface are 1-based; Scintilla's are 0-based.

#include <Qsci/qsciscintillabase.h>
#include <cstdint>
#include <string>
#include <string_view>

#include "EditorFont.h"
#include "LineEnds.h"
#include "UserFile.h"

class QFile;

// What the editor reports to the window that owns it.
class ScintillaEditorOwner {
public:
    virtual ~ScintillaEditorOwner() = default;
    virtual void EditorModifiedChanged(bool modified) = 0;
    virtual void EditorOvertypeChanged(bool overtype) = 0;
    virtual void EditorCaretMoved(int line, int column) = 0;
    // Lines were added (count > 0) or removed (count < 0) at firstLine; only
    // once a file has been loaded into the editor.
    virtual void EditorLinesChanged(int firstLine, int count) = 0;
    virtual void EditorMarginClicked(int line) = 0;
};

struct SearchOptions {
    bool matchCase = false;
    bool wholeWord = false;
};

// Milliseconds since the epoch of the file's last modification; 0 when unknown.
using FileAge = int64_t;
FileAge FileAgeOf(const QString& path);

class ScintillaEditor : public QsciScintillaBase {
    Q_OBJECT
public:
    enum LexerKind { LexerC = 0, LexerAssembler = 1 };
    enum Marker { BreakpointMarker = 0, ExecutionMarker = 1, ExecutionMarkerRight = 2 };

    ScintillaEditor(QWidget* parent, ScintillaEditorOwner* owner);
    // The owner goes first: no notification reaches it afterwards.
    void DetachOwner() { owner_ = nullptr; }

    long SendEditor(unsigned int message, uintptr_t wParam = 0, intptr_t lParam = 0) const;
    long SendEditor(unsigned int message, uintptr_t wParam, const void* lParam) const;

    // The largest file an editor opens.
    static constexpr std::uint64_t kMaxFileBytes = 256 * platform::kMegabyte;
    // Each blink of the caret lays its line out again: on a line this long
    // that keeps a core busy, so the caret stays steady while the text has one.
    static constexpr long kLongLineBytes = 100000;

    // Throws EditorFileError; an empty path loads nothing and gives 0. Only a
    // regular file of at most kMaxFileBytes is read. Its lines all end as its
    // first line does (LineEnds.h), and Enter ends lines so too.
    FileAge LoadFile(const QString& path);
    // Atomic: on failure (EditorFileError) the file and the save point are
    // untouched. Lines end as in the file loaded; in a new text as on the platform.
    FileAge SaveFile(const QString& path);
    void SetLexerFor(int kind);

    bool ToggleBreakpointMarker(int line);
    bool HasBreakpointMarker(int line) const;
    bool HasExecutionMarker(int line) const;
    void SetExecutionLine(int line);

    void SetReadOnly(bool readOnly);
    bool IsReadOnly() const;
    bool IsModified() const { return modified_; }

    void GotoLine(int line);
    void SelectAt(int line, int column, int length);
    int CurrentLine() const;
    void Focus();
    void GrabFocus();

    void SetTabWidth(int width);
    void SetUseTabs(bool useTabs);
    void ConvertTabsToSpaces();

    int LineCount() const;
    int LineFromPosition(long position) const;
    int ColumnFromPosition(long position) const;
    std::string LineText(int line) const;

    bool CanDo(unsigned int command) const;
    long Command(unsigned int message);
    bool HasSelection() const;
    std::string SelectedText() const;
    long SelectionStart() const;
    std::string Text() const;

    long FindText(std::string_view text, SearchOptions options, bool next);
    long FindTextFrom(std::string_view text, long start, SearchOptions options);
    // Replaces the selection and leaves the caret after it; false (and no
    // change) in a read-only editor.
    bool ReplaceSelection(std::string_view text);

    static const EditorFont& SharedFont();
    // Stores the font for every editor; the given editor takes it at once.
    static void ApplyEditorFont(const EditorFont& font, ScintillaEditor* editor);

protected:
    // Tab and Shift+Tab stay in the editor also when it is read-only (where
    // Scintilla would let them move the focus on).
    bool focusNextPrevChild(bool next) override;

private:
    void ApplySharedFont();
    void SetLineEnd(LineEnd lineEnd);
    // Not in a document window, or in the front one.
    bool InFrontWindow() const;
    void DeleteMarker(long line, int marker);
    // Before a deletion: the breakpoints of the lines it takes away go with them.
    void DropMarkersOfDeletedLines(long position, long length);
    void UpdateLineNumberMargin();
    void openForLoading(QFile& file);
    void replaceTextFrom(QFile& file);
    void ChooseLexerFor(const QString& path);
    void colourVisibleText();
    long SearchRange(std::string_view text, long start, long end, SearchOptions options);
    void SteadyCaretForLongLines();
    // Scintilla's own text, without a copy; valid until the text changes.
    std::string_view ownText() const;

    void OnModified(int position, int modificationType, const char* text, int length, int linesAdded, int line,
                    int foldLevelNow, int foldLevelPrev, int token, int annotationLinesAdded);
    void OnUpdateUi(int updated);
    void OnMarginClick(int position, int modifiers, int margin);
    void OnSavePoint(bool modified);

    ScintillaEditorOwner* owner_;
    int lexerKind_ = LexerAssembler;
    LineEnd lineEnd_ = kPlatformLineEnd;
    bool loaded_ = false;
    bool modified_ = false;
    bool markFirstLineAfterDeletion_ = false;
    long caretPeriod_ = 0;
};
