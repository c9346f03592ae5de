#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QtTest/QTest>

#include "EditorFileError.h"
#include "EditorTestSupport.h"
#include "ScintillaEditor.h"

using namespace std::string_literals;

namespace {

struct RecordingOwner : ScintillaEditorOwner {
    void EditorModifiedChanged(bool modified) override { modifiedChanges.push_back(modified); }
    void EditorOvertypeChanged(bool) override {}
    void EditorCaretMoved(int line, int column) override { caret = {line, column}; }
    void EditorLinesChanged(int firstLine, int count) override { lineChanges.push_back({firstLine, count}); }
    void EditorMarginClicked(int line) override { marginClicks.push_back(line); }

    std::vector<bool> modifiedChanges;
    std::pair<int, int> caret{0, 0};
    std::vector<std::pair<int, int>> lineChanges;
    std::vector<int> marginClicks;
};

class ScintillaEditorTest : public EditorTest {
protected:
    ScintillaEditorTest() { editor_.resize(600, 300); }

    void SetText(const std::string& text) { editor_.SendEditor(S::SCI_SETTEXT, 0, text.c_str()); }
    int StyleAt(const std::string& word) const
    {
        const auto position = editor_.Text().find(word);
        EXPECT_NE(position, std::string::npos) << word;
        return static_cast<int>(editor_.SendEditor(S::SCI_GETSTYLEAT, position));
    }
    long Anchor() const { return editor_.SendEditor(S::SCI_GETANCHOR); }
    long Caret() const { return editor_.SendEditor(S::SCI_GETCURRENTPOS); }

    RecordingOwner owner_;
    ScintillaEditor editor_{nullptr, &owner_};
};

TEST_F(ScintillaEditorTest, LexerFollowsTheExtensionCaseSensitively)
{
    EXPECT_EQ(editor_.SendEditor(S::SCI_GETLEXER), S::SCLEX_ASM);
    editor_.LoadFile(WriteFile("main.c", "int x;\n"));
    EXPECT_EQ(editor_.SendEditor(S::SCI_GETLEXER), S::SCLEX_CPP);
    editor_.LoadFile(WriteFile("upper.ASM", " move a, b\n"));
    EXPECT_EQ(editor_.SendEditor(S::SCI_GETLEXER), S::SCLEX_CPP);
    editor_.LoadFile(WriteFile("defs.inc", " move a, b\n"));
    EXPECT_EQ(editor_.SendEditor(S::SCI_GETLEXER), S::SCLEX_ASM);
    editor_.LoadFile(WriteFile("notes.txt", "int\n"));
    EXPECT_EQ(editor_.SendEditor(S::SCI_GETLEXER), S::SCLEX_ASM);
}

TEST_F(ScintillaEditorTest, AssemblerSourcesAreColoured)
{
    editor_.LoadFile(WriteFile("prog.asm", "start:  MOVE acc, 12h ; set up\n        org 100h\n        db 'x'\n"));
    EXPECT_EQ(StyleAt("MOVE"), 6);
    EXPECT_EQ(StyleAt("acc"), 8);
    EXPECT_EQ(StyleAt("12h"), 2);
    EXPECT_EQ(StyleAt("; set"), 1);
    EXPECT_EQ(StyleAt("org"), 9);
    EXPECT_EQ(editor_.SendEditor(S::SCI_STYLEGETFORE, 6), 0x800000);
    EXPECT_EQ(editor_.SendEditor(S::SCI_STYLEGETBOLD, 6), 1);
    EXPECT_EQ(editor_.SendEditor(S::SCI_STYLEGETFORE, 8), 0x408080);
    EXPECT_EQ(editor_.SendEditor(S::SCI_STYLEGETFORE, 9), 0x404080);
    EXPECT_EQ(editor_.SendEditor(S::SCI_STYLEGETFORE, 1), 0x008000);
}

TEST_F(ScintillaEditorTest, CSourcesAreColoured)
{
    editor_.LoadFile(WriteFile("main.c", "#define N 1\nint x = 42; // count\n"));
    EXPECT_EQ(StyleAt("#define"), 9);
    EXPECT_EQ(StyleAt("int"), 5);
    EXPECT_EQ(StyleAt("42"), 4);
    EXPECT_EQ(StyleAt("// count"), 2);
    EXPECT_EQ(editor_.SendEditor(S::SCI_STYLEGETFORE, 9), 0x800000);
    EXPECT_EQ(editor_.SendEditor(S::SCI_STYLEGETBOLD, 5), 1);
}

TEST_F(ScintillaEditorTest, MarkersAndMargins)
{
    EXPECT_EQ(editor_.SendEditor(S::SCI_GETMARGINMASKN, 1), 3);
    EXPECT_EQ(editor_.SendEditor(S::SCI_GETMARGINMASKN, 2), 4);
    for (int margin = 0; margin < 3; ++margin)
        EXPECT_EQ(editor_.SendEditor(S::SCI_GETMARGINSENSITIVEN, margin), 1);

    SetText(std::string(8, '\n'));
    const long nineLines = editor_.SendEditor(S::SCI_GETMARGINWIDTHN, 0);
    SetText(std::string(9, '\n'));
    EXPECT_GT(editor_.SendEditor(S::SCI_GETMARGINWIDTHN, 0), nineLines);

    EXPECT_TRUE(editor_.ToggleBreakpointMarker(3));
    EXPECT_EQ(editor_.SendEditor(S::SCI_MARKERGET, 2), 1);
    EXPECT_FALSE(editor_.ToggleBreakpointMarker(3));
    EXPECT_FALSE(editor_.HasBreakpointMarker(3));
}

TEST_F(ScintillaEditorTest, ExecutionLineCarriesBothArrowsAndMovesWithoutScrollingWhenUnchanged)
{
    SetText(std::string(200, '\n'));
    editor_.SetExecutionLine(150);
    EXPECT_EQ(editor_.SendEditor(S::SCI_MARKERGET, 149), 6);
    EXPECT_EQ(editor_.CurrentLine(), 150);

    editor_.SendEditor(S::SCI_SETFIRSTVISIBLELINE, 0);
    editor_.SendEditor(S::SCI_GOTOPOS, 0);
    editor_.SetExecutionLine(150);
    EXPECT_EQ(editor_.SendEditor(S::SCI_GETFIRSTVISIBLELINE), 0);
    EXPECT_EQ(editor_.CurrentLine(), 1);

    editor_.SetExecutionLine(7);
    EXPECT_EQ(editor_.SendEditor(S::SCI_MARKERGET, 149), 0);
    EXPECT_EQ(editor_.SendEditor(S::SCI_MARKERGET, 6), 6);
    editor_.SetExecutionLine(-1);
    EXPECT_EQ(editor_.SendEditor(S::SCI_MARKERNEXT, 0, 6), -1);
}

TEST_F(ScintillaEditorTest, FindRunsTowardTheEndWithoutWrapping)
{
    SetText("abc xabc abc");
    EXPECT_EQ(editor_.FindText("abc", {}, false), 0);
    EXPECT_EQ(editor_.FindText("abc", {}, false), 0);
    EXPECT_EQ(editor_.SelectedText(), "abc");
    EXPECT_EQ(editor_.FindText("abc", {}, true), 5);
    EXPECT_EQ(editor_.FindText("abc", {false, true}, true), 9);
    EXPECT_EQ(editor_.FindText("abc", {}, true), -1);
    EXPECT_EQ(Anchor(), 9);
    EXPECT_EQ(editor_.FindText("ABC", {true, false}, false), -1);
    EXPECT_EQ(editor_.FindText("", {}, false), -1);
    EXPECT_EQ(editor_.FindTextFrom("abc", 1, {}), 5);
    EXPECT_EQ(Anchor(), 9);
}

TEST_F(ScintillaEditorTest, GotoLineClampsAndSelectsTheWholeLine)
{
    SetText("first\r\nsecond line\r\nlast");
    editor_.GotoLine(2);
    EXPECT_EQ(editor_.SelectedText(), "second line");
    EXPECT_EQ(Caret(), 7);
    editor_.GotoLine(0);
    EXPECT_EQ(editor_.SelectedText(), "first");
    editor_.GotoLine(99);
    EXPECT_EQ(editor_.SelectedText(), "last");
    EXPECT_EQ(editor_.CurrentLine(), 3);
}

TEST_F(ScintillaEditorTest, SelectedTextOfARectangularSelectionIsComplete)
{
    SetText("abcd\r\nefgh\r\n");
    editor_.SendEditor(S::SCI_SETRECTANGULARSELECTIONANCHOR, 1);
    editor_.SendEditor(S::SCI_SETRECTANGULARSELECTIONCARET, 9);
    EXPECT_EQ(editor_.SelectedText(), "bc\nfg\n");

    // Each line of the rectangle gets a line end: longer than end - start.
    SetText("ab\r\ncd\r\n");
    editor_.SendEditor(S::SCI_SETRECTANGULARSELECTIONANCHOR, 0);
    editor_.SendEditor(S::SCI_SETRECTANGULARSELECTIONCARET, 6);
    ASSERT_EQ(editor_.SendEditor(S::SCI_GETSELECTIONEND) - editor_.SelectionStart(), 6);
    EXPECT_EQ(editor_.SelectedText(), "ab\ncd\n");
}

TEST_F(ScintillaEditorTest, ReplaceSelectionLeavesTheCaretAfterItUnlessReadOnly)
{
    SetText("one two three");
    editor_.SendEditor(S::SCI_SETSEL, 4, 7);
    EXPECT_TRUE(editor_.ReplaceSelection("2"));
    EXPECT_EQ(editor_.Text(), "one 2 three");
    EXPECT_EQ(Caret(), 5);
    EXPECT_FALSE(editor_.HasSelection());

    editor_.SendEditor(S::SCI_SETSEL, 0, 3);
    editor_.SetReadOnly(true);
    EXPECT_FALSE(editor_.ReplaceSelection("1"));
    EXPECT_EQ(editor_.Text(), "one 2 three");
    EXPECT_EQ(beeps_, 0);
    editor_.Command(S::SCI_CUT);
    EXPECT_EQ(editor_.Text(), "one 2 three");
    EXPECT_EQ(beeps_, 1);
}

TEST_F(ScintillaEditorTest, ConvertTabsToSpacesFillsToTheNextTabStop)
{
    editor_.SetTabWidth(4);
    SetText("a\tb\n\tc\nabcd\te");
    editor_.ConvertTabsToSpaces();
    EXPECT_EQ(editor_.Text(), "a   b\n    c\nabcd    e");
}

TEST_F(ScintillaEditorTest, CanDoFollowsTheText)
{
    EXPECT_FALSE(editor_.CanDo(S::SCI_SELECTALL));
    EXPECT_FALSE(editor_.CanDo(S::SCI_UNDO));
    SetText("abc");
    EXPECT_TRUE(editor_.CanDo(S::SCI_SELECTALL));
    EXPECT_TRUE(editor_.CanDo(S::SCI_UNDO));
    EXPECT_FALSE(editor_.CanDo(S::SCI_COPY));
    editor_.Command(S::SCI_SELECTALL);
    EXPECT_TRUE(editor_.CanDo(S::SCI_CUT));
    EXPECT_FALSE(editor_.CanDo(S::SCI_LINEDELETE));
}

// A blinking caret lays its line out again on every blink, which keeps a core
// busy on a line of megabytes: the caret stays steady while such a line exists.
TEST_F(ScintillaEditorTest, AVeryLongLineStopsTheCaretBlinkingUntilItIsGone)
{
    const long blinking = editor_.SendEditor(S::SCI_GETCARETPERIOD);
    ASSERT_GT(blinking, 0);
    const std::string longLine(ScintillaEditor::kLongLineBytes + 1, 'a');
    const struct {
        std::string text;
        long period;
    } steps[] = {
        {"short\r\nlines\r\n", blinking},
        {"first\r\n" + longLine + "\r\nlast\r\n", 0},
        {std::string(ScintillaEditor::kLongLineBytes, 'b') + "\r\n", blinking},
        {"x" + longLine, 0},
        // Lines that end with a lone CR are lines too.
        {[] {
             std::string lines;
             while (lines.size() <= ScintillaEditor::kLongLineBytes)
                 lines += "short\r";
             return lines;
         }(),
         blinking},
    };
    for (const auto& step : steps) {
        editor_.LoadFile(WriteFile("long.asm", step.text));
        EXPECT_EQ(editor_.SendEditor(S::SCI_GETCARETPERIOD), step.period) << step.text.size();
    }
    // Deleting the long line lets the caret blink again.
    editor_.SendEditor(S::SCI_CLEARALL);
    EXPECT_EQ(editor_.SendEditor(S::SCI_GETCARETPERIOD), blinking);
    // Pasting one stops it.
    editor_.ReplaceSelection(longLine);
    EXPECT_EQ(editor_.SendEditor(S::SCI_GETCARETPERIOD), 0);
}

TEST_F(ScintillaEditorTest, LoadAndSaveKeepEveryByteButTheLineEnds)
{
    const std::string bytes = "ab\0c\r\nd\x80\xff\ne\rf"s;
    editor_.LoadFile(WriteFile("bytes.asm", bytes));
    const std::string expected = "ab\0c\r\nd\x80\xff\r\ne\r\nf\r\n"s;
    EXPECT_EQ(editor_.Text(), expected);
    EXPECT_EQ(editor_.LineText(2), "d\x80\xff\r\n");
    editor_.SaveFile(PathOf("copy.asm"));
    EXPECT_EQ(ReadFile(PathOf("copy.asm")), expected);

    editor_.LoadFile(PathOf("copy.asm"));
    editor_.SaveFile(PathOf("copy.asm"));
    EXPECT_EQ(ReadFile(PathOf("copy.asm")), expected);
}

TEST_F(ScintillaEditorTest, LoadingSetsTheSavePointAndEmptiesUndo)
{
    SetText("old");
    editor_.LoadFile(WriteFile("a.asm", "new\n"));
    EXPECT_FALSE(editor_.IsModified());
    EXPECT_FALSE(editor_.CanDo(S::SCI_UNDO));
    editor_.SendEditor(S::SCI_INSERTTEXT, 0, "x");
    EXPECT_TRUE(editor_.IsModified());
    EXPECT_EQ(owner_.modifiedChanges.back(), true);
}

TEST_F(ScintillaEditorTest, FailedSaveLeavesFileAndSavePoint)
{
    editor_.LoadFile(WriteFile("a.asm", "keep\r\n"));
    editor_.SendEditor(S::SCI_INSERTTEXT, 0, "x");
    ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("folder.asm")));
    EXPECT_THROW(editor_.SaveFile(PathOf("folder.asm")), EditorFileError);
    EXPECT_THROW(editor_.SaveFile(PathOf("missing/a.asm")), EditorFileError);
    EXPECT_TRUE(editor_.IsModified());
    EXPECT_EQ(ReadFile(PathOf("a.asm")), "keep\r\n");
}

TEST_F(ScintillaEditorTest, MissingAndUnreadableFilesThrow)
{
    try {
        editor_.LoadFile(PathOf("none.asm"));
        FAIL();
    } catch (const EditorFileError& error) {
        EXPECT_EQ(error.kind(), EditorFileError::Kind::NotFound);
        EXPECT_STREQ(error.what(), "FILE_NOT_FOUND");
    }
    ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("dir.asm")));
    EXPECT_THROW(editor_.LoadFile(PathOf("dir.asm")), EditorFileError);
    EXPECT_EQ(editor_.LoadFile(QString()), 0);
}

TEST_F(ScintillaEditorTest, LineChangesAreReportedOnlyOnceAFileIsLoaded)
{
    SetText("a\nb\n");
    EXPECT_TRUE(owner_.lineChanges.empty());
    editor_.LoadFile(WriteFile("a.asm", "1\n2\n3\n4\n"));
    EXPECT_TRUE(owner_.lineChanges.empty());
    editor_.SendEditor(S::SCI_INSERTTEXT, editor_.SendEditor(S::SCI_POSITIONFROMLINE, 1), "x\r\ny\r\n");
    editor_.SendEditor(S::SCI_SETTARGETRANGE, 0, editor_.SendEditor(S::SCI_POSITIONFROMLINE, 3));
    editor_.SendEditor(S::SCI_REPLACETARGET, 0, "");
    EXPECT_EQ(owner_.lineChanges, (std::vector<std::pair<int, int>>{{2, 2}, {1, -3}}));
}

TEST_F(ScintillaEditorTest, SharedFontReachesTheDefaultAndLineNumberStyles)
{
    const EditorFont saved = ScintillaEditor::SharedFont();
    EditorFont font;
    font.name = "Monospace";
    font.size = 14;
    font.bold = true;
    ScintillaEditor::ApplyEditorFont(font, &editor_);
    for (int style : {int{S::STYLE_DEFAULT}, int{S::STYLE_LINENUMBER}, 0, 6}) {
        EXPECT_EQ(editor_.SendEditor(S::SCI_STYLEGETSIZE, style), 14);
        EXPECT_EQ(editor_.SendEditor(S::SCI_STYLEGETBOLD, style), 1);
    }
    ScintillaEditor other(nullptr, nullptr);
    EXPECT_EQ(other.SendEditor(S::SCI_STYLEGETSIZE, S::STYLE_DEFAULT), 14);
    ScintillaEditor::ApplyEditorFont(saved, nullptr);
}

}  // namespace

namespace {

std::string AfterKey(Qt::KeyboardModifiers modifiers)
{
    ScintillaEditor editor(nullptr, nullptr);
    editor.SendEditor(QsciScintillaBase::SCI_SETTEXT, 0, "\tab");
    editor.SendEditor(QsciScintillaBase::SCI_GOTOPOS, 1);
    QKeyEvent press(QEvent::KeyPress, modifiers & Qt::ShiftModifier ? Qt::Key_Backtab : Qt::Key_Tab, modifiers,
                    QStringLiteral("\t"));
    QApplication::sendEvent(editor.viewport(), &press);
    return editor.Text();
}

TEST(ScintillaEditorKeys, TabIndentsShiftTabUnindentsCtrlOrAltTabDoNeither)
{
    EXPECT_EQ(AfterKey(Qt::NoModifier), "\t\tab");
    EXPECT_EQ(AfterKey(Qt::ShiftModifier), "ab");
    EXPECT_EQ(AfterKey(Qt::ControlModifier), "\tab");
    EXPECT_EQ(AfterKey(Qt::AltModifier), "\tab");
}

// Tab and Shift+Tab are the editor's keys wherever it sits, also while it
// is read-only: the focus never goes on to the next widget.
TEST(ScintillaEditorKeys, TabKeysKeepTheFocusAlsoWhenReadOnly)
{
    const struct {
        bool readOnly;
        Qt::KeyboardModifiers modifiers;
        std::string text;
    } cases[] = {
        {false, Qt::NoModifier, "\t\tab"},
        {false, Qt::ShiftModifier, "ab"},
        {true, Qt::NoModifier, "\tab"},
        {true, Qt::ShiftModifier, "\tab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.readOnly) + " " + std::to_string(c.modifiers.toInt()));
        QWidget window;
        auto* editor = new ScintillaEditor(&window, nullptr);
        auto* next = new QLineEdit(&window);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(editor);
        layout->addWidget(next);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        editor->SendEditor(QsciScintillaBase::SCI_SETTEXT, 0, "\tab");
        editor->SendEditor(QsciScintillaBase::SCI_GOTOPOS, 1);
        editor->SetReadOnly(c.readOnly);
        editor->setFocus();
        QTest::keyClick(editor, Qt::Key_Tab, c.modifiers);
        EXPECT_EQ(QApplication::focusWidget(), editor);
        EXPECT_EQ(editor->Text(), c.text);
    }
}

}  // namespace
