#include <QPixmap>
#include <gtest/gtest.h>

#include "EditorFileError.h"
#include "EditorTestSupport.h"
#include "LineEnds.h"
#include "ScintillaEditor.h"

using namespace std::string_literals;

namespace {

TEST(LineEndNormaliser, TextInPiecesComesOutAsTheWholeTextWould)
{
    const std::vector<std::string> texts = {"a\nb\r\nc\rd",      "\r\r\n\n\r", "x\r",         "\r\n",
                                            "ab\0c\r\nd\x80\r"s, "",           "no line end", "\n\n\r\r"};
    for (const std::string& text : texts) {
        const std::string whole = NormaliseLineEnds(text);
        // Every way of cutting the text into three pieces, empty ones included.
        for (size_t first = 0; first <= text.size(); ++first) {
            for (size_t second = first; second <= text.size(); ++second) {
                LineEndNormaliser normaliser;
                std::string output;
                normaliser.feed(std::string_view(text).substr(0, first), output);
                normaliser.feed(std::string_view(text).substr(first, second - first), output);
                normaliser.feed(std::string_view(text).substr(second), output);
                normaliser.finish(output);
                EXPECT_EQ(output, whole) << "cut at " << first << " and " << second;
            }
        }
    }
    EXPECT_EQ(NormaliseLineEnds("\n\n\r\r"), "\r\n\r\n\r\n\r\n");
    EXPECT_EQ(NormaliseLineEnds("x\r"), "x\r\n");
}

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
    editor_.SendEditor(S::SCI_SETFIRSTVISIBLELINE, 2000);
    editor_.SendEditor(S::SCI_SETSEL, 30000, intptr_t{40000});
    editor_.LoadFile(WriteFile("b.asm", "one\ntwo"));
    EXPECT_EQ(editor_.Text(), "one\r\ntwo\r\n");
    EXPECT_EQ(editor_.SendEditor(S::SCI_GETFIRSTVISIBLELINE), 0);
    EXPECT_EQ(editor_.SelectionStart(), 0);
    EXPECT_FALSE(editor_.HasSelection());
    EXPECT_FALSE(editor_.CanDo(S::SCI_UNDO));
    editor_.SendEditor(S::SCI_INSERTTEXT, 0, "x");
    editor_.Command(S::SCI_UNDO);
    EXPECT_EQ(editor_.Text(), "one\r\ntwo\r\n");
    EXPECT_FALSE(editor_.IsModified());
}

}  // namespace
