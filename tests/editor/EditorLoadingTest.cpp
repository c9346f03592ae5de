#include <QElapsedTimer>
#include <QFile>
#include <QPixmap>
#include <gtest/gtest.h>

#include "EditorFileError.h"
#include "EditorTestSupport.h"
#include "ScintillaEditor.h"

using namespace std::string_literals;

namespace {

class EditorLoading : public EditorTest {
protected:
    EditorLoading() { editor_.resize(600, 300); }

    long endStyled() const { return editor_.SendEditor(S::SCI_GETENDSTYLED); }
    long length() const { return editor_.SendEditor(S::SCI_GETLENGTH); }
    int styleOfLine(int line) const
    {
        return static_cast<int>(editor_.SendEditor(
            S::SCI_GETSTYLEAT, editor_.SendEditor(S::SCI_POSITIONFROMLINE, line - 1) + 8));  // "        MOVE"
    }

    ScintillaEditor editor_{nullptr, nullptr};
};

TEST_F(EditorLoading, OnlyTheTextOnScreenIsColouredUntilMoreIsPainted)
{
    editor_.LoadFile(WriteFile("long.asm", NumberedLines(5000, "        MOVE acc, 1 ; ")));
    EXPECT_EQ(editor_.LineCount(), 5001);
    EXPECT_EQ(styleOfLine(1), 6) << "the first screen is coloured at once";
    EXPECT_GT(endStyled(), 0);
    EXPECT_LT(endStyled(), length() / 10) << "text below the screen waits for painting";
    editor_.SetLexerFor(ScintillaEditor::LexerC);
    EXPECT_LT(endStyled(), length() / 10) << "a new lexer, too, colours only what is shown";
    editor_.SetLexerFor(ScintillaEditor::LexerAssembler);

    editor_.show();
    editor_.GotoLine(5000);
    editor_.grab();
    EXPECT_EQ(styleOfLine(5000), 6) << "painting colours what comes on screen";
}

// Opening a file costs about what a bare Scintilla widget costs that loads
// the same bytes set up the same way (no undo history, no modification
// notices): whatever the editor adds (line ends, the caret's steadiness,
// markers) must not be work in proportion to the lines. Both are timed in
// this run, the best of several alternating rounds each.
TEST_F(EditorLoading, OpeningCostsLittleMoreThanABareWidgetLoadingTheSameBytes)
{
    std::string lines;
    for (int i = 0; i < 1000000; ++i)
        lines += "x\n";
    const QString path = WriteFile("lines.asm", lines);
    double editorBest = 1e9;
    double bareBest = 1e9;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        {
            ScintillaEditor editor(nullptr, nullptr);
            editor.LoadFile(path);
        }
        editorBest = std::min(editorBest, timer.nsecsElapsed() / 1e6);
        timer.restart();
        {
            QsciScintillaBase bare;
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            bare.SendScintilla(S::SCI_SETUNDOCOLLECTION, 0UL);
            bare.SendScintilla(S::SCI_SETMODEVENTMASK, 0UL);
            bare.SendScintilla(S::SCI_APPENDTEXT, static_cast<unsigned long>(bytes.size()), bytes.constData());
        }
        bareBest = std::min(bareBest, timer.nsecsElapsed() / 1e6);
    }
    EXPECT_LT(editorBest, 1.5 * bareBest) << editorBest << " ms against " << bareBest << " ms";
}

TEST_F(EditorLoading, AFileThatFailsWhileBeingReadLeavesTheOldTextAsItWas)
{
    editor_.LoadFile(WriteFile("old.asm", "keep\r\nthis\r\n"));
    editor_.SendEditor(S::SCI_INSERTTEXT, 0, "x");
    editor_.ToggleBreakpointMarker(2);
    // Opens like a file and fails on the first read.
    EXPECT_THROW(editor_.LoadFile(QStringLiteral("/proc/self/mem")), EditorFileError);
    EXPECT_EQ(editor_.Text(), "xkeep\r\nthis\r\n");
    EXPECT_TRUE(editor_.IsModified());
    EXPECT_TRUE(editor_.HasBreakpointMarker(2));
    editor_.Command(S::SCI_UNDO);
    EXPECT_EQ(editor_.Text(), "keep\r\nthis\r\n") << "the undo history still fits the text";
}

TEST_F(EditorLoading, AReloadStartsAFreshHistoryThatRecordsEdits)
{
    editor_.LoadFile(WriteFile("a.asm", NumberedLines(3000)));
    editor_.ToggleBreakpointMarker(2);
    editor_.ToggleBreakpointMarker(2500);
    editor_.LoadFile(PathOf("a.asm"));
    EXPECT_EQ(editor_.SendEditor(S::SCI_MARKERNEXT, 0, -1), -1) << "a reloaded file starts without markers";
    editor_.SendEditor(S::SCI_SETFIRSTVISIBLELINE, 2000);
    editor_.SendEditor(S::SCI_SETSEL, 30000, intptr_t{40000});
    editor_.LoadFile(WriteFile("b.asm", "one\ntwo"));
    EXPECT_EQ(editor_.Text(), "one\ntwo\n");
    EXPECT_EQ(editor_.SendEditor(S::SCI_GETFIRSTVISIBLELINE), 0);
    EXPECT_EQ(editor_.SelectionStart(), 0);
    EXPECT_FALSE(editor_.HasSelection());
    EXPECT_FALSE(editor_.CanDo(S::SCI_UNDO));
    editor_.SendEditor(S::SCI_INSERTTEXT, 0, "x");
    editor_.Command(S::SCI_UNDO);
    EXPECT_EQ(editor_.Text(), "one\ntwo\n");
    EXPECT_FALSE(editor_.IsModified());
}

}  // namespace
