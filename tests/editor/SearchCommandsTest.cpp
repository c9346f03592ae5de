#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "EditorTestSupport.h"
#include "FindReplaceDialog.h"
#include "SearchCommands.h"
#include "TDialogGotoLine.h"
#include "TDialogTabOptions.h"

namespace {

class SearchCommandsTest : public EditorTest {
protected:
    TFormEditor* EditorWith(const char* text)
    {
        TFormEditor* editor = windows_.OpenEditor(WriteFile("a.asm", text));
        return editor;
    }
    void SetReplace(const QString& find, const QString& replace)
    {
        search_.ReplaceDialog().FindEdit().setText(find);
        search_.ReplaceDialog().ReplaceEdit().setText(replace);
    }

    SearchCommands search_{windows_, host_, nullptr};
};

TEST_F(SearchCommandsTest, ReplaceAllCountsAndEndsOnAGrowingText)
{
    TFormEditor* editor = EditorWith("aaa");
    SetReplace("a", "aa");
    search_.ReplaceDialogReplace(true);
    EXPECT_EQ(editor->Editor().Text(), "aaaaaa\n");
    EXPECT_EQ(host_.messages, QStringList{QStringLiteral("3 occurrences of a were replaced.")});
    EXPECT_EQ(beeps_, 1);
}

TEST_F(SearchCommandsTest, ReplaceAllOfOneSaysOccurrence)
{
    EditorWith("xay");
    SetReplace("a", "b");
    search_.ReplaceDialogReplace(true);
    EXPECT_EQ(host_.messages, QStringList{QStringLiteral("1 occurrence of a were replaced.")});
}

TEST_F(SearchCommandsTest, ReplaceAllWithoutMatchWritesNoLine)
{
    EditorWith("xyz");
    SetReplace("a", "b");
    search_.ReplaceDialogReplace(true);
    EXPECT_TRUE(host_.messages.isEmpty());
    EXPECT_EQ(beeps_, 1);
}

TEST_F(SearchCommandsTest, ReplaceReplacesTheSelectedMatchAndSelectsTheNext)
{
    TFormEditor* editor = EditorWith("one cat two cat");
    editor->Editor().SendEditor(S::SCI_SETSEL, 4, 7);
    SetReplace("cat", "dog");
    search_.ReplaceDialogReplace(false);
    EXPECT_EQ(editor->Editor().Text(), "one dog two cat\n");
    EXPECT_EQ(editor->Editor().SelectionStart(), 12);
    EXPECT_EQ(editor->Editor().SelectedText(), "cat");
    search_.ReplaceDialogReplace(false);
    EXPECT_EQ(beeps_, 0);
    search_.ReplaceDialogReplace(false);
    EXPECT_EQ(editor->Editor().Text(), "one dog two dog\n");
    EXPECT_EQ(beeps_, 1);
}

TEST_F(SearchCommandsTest, ReplaceIsRefusedForAnEmptyTextAndInAReadOnlyEditor)
{
    TFormEditor* editor = EditorWith("aaa");
    SetReplace("", "b");
    search_.ReplaceDialogReplace(true);
    EXPECT_EQ(editor->Editor().Text(), "aaa\n");

    SetReplace("a", "aa");
    editor->SetReadOnly(true);
    search_.ReplaceDialogReplace(true);
    search_.ReplaceDialogReplace(false);
    EXPECT_EQ(editor->Editor().Text(), "aaa\n");
    EXPECT_TRUE(host_.messages.isEmpty());
    EXPECT_EQ(beeps_, 3);
}

// The editor holds UTF-8: a euro sign typed into the dialogs is found and
// replaced as itself, never as the '?' an 8-bit conversion makes of it.
TEST_F(SearchCommandsTest, TextBeyondLatin1IsFoundAndReplacedAsItself)
{
    TFormEditor* editor = EditorWith("why?uro costs 5 \xE2\x82\xACuro\n");
    search_.ActionFindExecute();
    TypeText(&search_.FindDialog().FindEdit(), QStringLiteral("\u20ACuro"));
    QTest::mouseClick(search_.FindDialog().SearchButtons()[0], Qt::LeftButton);
    EXPECT_EQ(editor->Editor().SelectedText(), "\xE2\x82\xACuro");
    EXPECT_EQ(editor->Editor().SelectionStart(), 16);

    search_.ActionReplaceExecute();
    TypeText(&search_.ReplaceDialog().ReplaceEdit(), QStringLiteral("\u00A3"));
    QTest::mouseClick(search_.ReplaceDialog().SearchButtons()[2], Qt::LeftButton);
    EXPECT_EQ(editor->Editor().Text(), "why?uro costs 5 \xC2\xA3\n");
    EXPECT_EQ(host_.messages, QStringList{QStringLiteral("1 occurrence of \u20ACuro were replaced.")});
}

TEST_F(SearchCommandsTest, SearchButtonsWaitForATextToFind)
{
    for (FindReplaceDialog* dialog : {&search_.FindDialog(), &search_.ReplaceDialog()}) {
        ASSERT_EQ(dialog->SearchButtons().size(), dialog == &search_.FindDialog() ? 1 : 3);
        for (const char* text : {"", "a", ""}) {
            dialog->FindEdit().setText(QString::fromLatin1(text));
            for (QPushButton* button : dialog->SearchButtons())
                EXPECT_EQ(button->isEnabled(), *text != '\0') << button->text().toStdString() << " '" << text << "'";
        }
    }
}

TEST_F(SearchCommandsTest, FindNextWithoutASearchTextOpensTheFindDialog)
{
    EditorWith("abc");
    EXPECT_FALSE(search_.FindDialog().isVisible());
    search_.ActionFindNextExecute();
    EXPECT_TRUE(search_.FindDialog().isVisible());
}

TEST_F(SearchCommandsTest, FindSharesItsTextAndNeverWraps)
{
    TFormEditor* editor = EditorWith("abc abc");
    search_.FindDialog().FindEdit().setText(QStringLiteral("abc"));
    search_.FindDialogFind();
    EXPECT_EQ(search_.SearchText(), "abc");
    EXPECT_EQ(search_.ReplaceDialog().FindText(), "abc");
    EXPECT_EQ(editor->Editor().SelectionStart(), 4);
    search_.ActionFindNextExecute();
    EXPECT_EQ(editor->Editor().SelectionStart(), 4);

    search_.FindDialog().MatchCaseBox().setChecked(true);
    editor->Editor().SendEditor(S::SCI_GOTOPOS, 0);
    search_.FindDialog().FindEdit().setText(QStringLiteral("ABC"));
    search_.FindDialogFind();
    EXPECT_FALSE(editor->Editor().HasSelection());
}

TEST_F(SearchCommandsTest, GotoLineRejectsZeroAndTextAndStaysOpen)
{
    TDialogGotoLine& dialog = search_.GotoLineDialog();
    dialog.show();
    for (const char* entry : {"0", "abc", "-2"}) {
        dialog.Edit().setText(QString::fromLatin1(entry));
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible()) << entry;
        EXPECT_EQ(BoxTexts().back(), std::string(entry) + " is not a valid line number.");
        EXPECT_EQ(boxes_.boxes.back().caption, "Error! - Tolvane");
    }
    dialog.Edit().setText(QStringLiteral("12"));
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.LineNumber(), 12);
}

TEST_F(SearchCommandsTest, GotoLineMovesTheFrontEditor)
{
    TFormEditor* editor = EditorWith("a\nbb\nccc\n");
    QTimer::singleShot(0, [this] {
        search_.GotoLineDialog().Edit().setText(QStringLiteral("500"));
        search_.GotoLineDialog().accept();
    });
    search_.ActionGotoLineExecute();
    EXPECT_EQ(editor->Editor().SelectedText(), "");
    EXPECT_EQ(editor->CurrentLine(), 4);

    QTimer::singleShot(0, [this] {
        search_.GotoLineDialog().Edit().setText(QStringLiteral("2"));
        search_.GotoLineDialog().accept();
    });
    search_.ActionGotoLineExecute();
    EXPECT_EQ(editor->Editor().SelectedText(), "bb");
}

TEST_F(SearchCommandsTest, TabSizeMustBeANumberAboveZero)
{
    TDialogTabOptions dialog;
    dialog.SetValues(4, true);
    EXPECT_EQ(dialog.TabSizeEdit().text(), "4");
    EXPECT_FALSE(dialog.ReplaceTabsBox().isChecked());
    dialog.show();
    for (const char* entry : {"0", "abc", ""}) {
        dialog.TabSizeEdit().setText(QString::fromLatin1(entry));
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible()) << entry;
        EXPECT_EQ(BoxTexts().back(), "Please enter a valid number for the tab size.");
    }
    dialog.TabSizeEdit().setText(QStringLiteral("8"));
    dialog.ReplaceTabsBox().setChecked(true);
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.TabSize(), 8);
    EXPECT_TRUE(dialog.ReplaceTabs());
}

}  // namespace
