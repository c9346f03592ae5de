// Edit > Find In Files as the user meets it: the dialog's rules, the search
// in the results window (open editors searched as edited) and a double click
// that selects the hit.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QTest>
#include <optional>

#include "AbstractDevice.h"
#include "EditorTestSupport.h"
#include "FindInFiles.h"
#include "ModalSteps.h"
#include "TDialogFindInFiles.h"
#include "TFormFindInFiles.h"
#include "ToolWindows.h"

namespace {

class FindInFilesTest : public EditorTest {
protected:
    static constexpr int kLongSearchFiles = 100000;

    FindInFilesTest()
    {
        registerFindInFiles(windows, &action, windows_, host_,
                            {[this] { return project; }, [this] { return PathOf(QStringLiteral("start")); }}, &main);
        command = windows.findChild<FindInFilesCommand*>();
    }
    ~FindInFilesTest() override { windows.close(tolvane::kViewFindInFiles); }

    TDialogFindInFiles& dialog() { return command->Dialog(); }

    // Edit > Find In Files: fill the dialog as asked and press OK; the search is then running.
    TFormFindInFiles* startSearch(const QString& text, const std::function<void(TDialogFindInFiles&)>& fill)
    {
        onNextDialog<TDialogFindInFiles>([text, fill](TDialogFindInFiles& d) {
            typeInto(&d.TextEdit(), text);
            fill(d);
            press(&d.OkButton());
        });
        action.trigger();
        return windows.openWindowAs<TFormFindInFiles>(tolvane::kViewFindInFiles);
    }
    // The same, waiting for the last result.
    TFormFindInFiles* search(const QString& text, const std::function<void(TDialogFindInFiles&)>& fill)
    {
        TFormFindInFiles* results = startSearch(text, fill);
        if (results) {
            EXPECT_TRUE(QTest::qWaitFor([results] { return !results->Searching(); }, 10000));
        }
        return results;
    }
    // One file listed many times in the project: the search goes on well
    // after its first lines show.
    TFormFindInFiles* startLongSearch()
    {
        const QString file = WriteFile(QStringLiteral("one.asm"), "hit\n");
        project = QStringList();
        for (int i = 0; i < kLongSearchFiles; ++i)
            *project << file;
        return startSearch(QStringLiteral("hit"), [](TDialogFindInFiles& d) { tick(&d.ProjectButton(), true); });
    }
    std::function<void(TDialogFindInFiles&)> inFolder(const QString& field, bool subfolders = false)
    {
        return [field, subfolders](TDialogFindInFiles& d) {
            tick(&d.DirectoriesButton(), true);
            typeInto(&d.FileMaskEdit(), field);
            tick(&d.SubdirectoriesBox(), subfolders);
        };
    }
    QStringList results() const
    {
        auto* window = windows.openWindowAs<TFormFindInFiles>(tolvane::kViewFindInFiles);
        return window ? window->Lines() : QStringList();
    }

    QMainWindow main;
    QAction action;
    ToolWindows windows{main, {}};
    FindInFilesCommand* command = nullptr;
    std::optional<QStringList> project;
};

TEST_F(FindInFilesTest, EachHitIsALineAndADoubleClickSelectsIt)
{
    const QString path = WriteFile(QStringLiteral("a.asm"), "x\n\tabab\n");
    TFormFindInFiles* window = search(QStringLiteral("ab"), inFolder(PathOf(QString())));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(main.dockWidgetArea(window), Qt::BottomDockWidgetArea);
    ASSERT_EQ(window->Lines(),
              QStringList({path + QStringLiteral(" (2): \tabab"), path + QStringLiteral(" (2): \tabab")}));
    // The second search starts one after the first hit: columns 1 and 3 after the tab.
    EXPECT_EQ(window->Results().lineAt(0).find->column, 5);
    EXPECT_EQ(window->Results().lineAt(1).find->column, 7);
    EXPECT_EQ(window->Results().lineAt(1).find->length, 2);

    window->ListBox().setCurrentIndex(window->Results().index(1));
    window->ListBoxDblClick();
    TFormEditor* editor = windows_.FindEditor(path);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Editor().SelectedText(), "ab");
    EXPECT_EQ(editor->Editor().SelectionStart(), 2 + 3);
}

// Files hold UTF-8: a euro sign typed into the dialog is found as itself,
// shown as itself, and a double click selects it at the column the editor
// counts (one for each character).
TEST_F(FindInFilesTest, TextBeyondLatin1IsFoundShownAndSelectedAsItself)
{
    const QString path = WriteFile(QStringLiteral("price.asm"), "why?uro\n\t\xC3\xA0 \xE2\x82\xACuro\n");
    TFormFindInFiles* window = search(QString(), [this](TDialogFindInFiles& d) {
        TypeText(&d.TextEdit(), QStringLiteral("\u20ACuro"));
        inFolder(PathOf(QString()))(d);
    });
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Lines(), QStringList{path + QStringLiteral(" (2): \t\u00E0 \u20ACuro")});
    ASSERT_EQ(window->Results().rowCount(), 1);
    EXPECT_EQ(window->Results().lineAt(0).find->column, 7);

    window->ListBox().setCurrentIndex(window->Results().index(0));
    window->ListBoxDblClick();
    TFormEditor* editor = windows_.FindEditor(path);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Editor().SelectedText(), "\xE2\x82\xACuro");
}

// A minified file of megabytes on one line, with a hit every 64 bytes: the
// window lists its first 1000 hits, each as a short line, and says that more
// were not listed. Listed again and again, the file fills the results only
// up to the search's limit, where one line says the search stopped.
TEST_F(FindInFilesTest, AHugeOneLineFileListsABoundedNumberOfShortLines)
{
    std::string line;
    while (line.size() < 4 * 1024 * 1024)
        line += std::string(60, 'x') + "hit;";
    const QString path = WriteFile(QStringLiteral("min.js"), line);
    search(QStringLiteral("hit"), inFolder(PathOf(QString())));
    QStringList lines = results();
    ASSERT_EQ(lines.size(), 1001);
    const qsizetype longest = path.size() + 20 + static_cast<qsizetype>(findinfiles::kExcerptBytes);
    for (const QString& hit : lines.mid(0, 1000))
        ASSERT_LE(hit.size(), longest) << hit.toStdString();
    EXPECT_EQ(lines.last(), path + QStringLiteral(": more than 1000 hits; only the first 1000 are listed."));

    project = QStringList();
    for (int i = 0; i < 101; ++i)
        *project << path;
    search(QStringLiteral("hit"), [](TDialogFindInFiles& d) { tick(&d.ProjectButton(), true); });
    lines = results();
    EXPECT_EQ(lines.size(), 99 * 1001 + 1000 + 1);
    EXPECT_EQ(lines.last(), QStringLiteral("Search stopped at 100000 hits; further hits are not listed."));
}

TEST_F(FindInFilesTest, AnOpenModifiedEditorIsSearchedAsEdited)
{
    const QString path = WriteFile(QStringLiteral("a.asm"), "old text\n");
    TFormEditor* editor = windows_.OpenEditor(path);
    editor->Editor().SendEditor(S::SCI_SETTEXT, 0, "new\r\nold new\r\n");
    search(QStringLiteral("new"), inFolder(PathOf(QString())));
    EXPECT_EQ(results(), QStringList({path + QStringLiteral(" (1): new"), path + QStringLiteral(" (2): old new")}));
    EXPECT_EQ(ReadFile(path), "old text\n");
}

TEST_F(FindInFilesTest, AFolderFieldSearchesEveryFileAndAMaskOnlyTheMatchingOnes)
{
    const QString asmFile = WriteFile(QStringLiteral("a.asm"), "hit\n");
    const QString noDot = WriteFile(QStringLiteral("Makefile"), "hit\n");
    QDir(PathOf(QString())).mkdir(QStringLiteral("sub"));
    const QString inSub = WriteFile(QStringLiteral("sub/b.asm"), "hit\n");
    const struct {
        QString field;
        bool subfolders;
        QStringList files;
    } cases[] = {
        {PathOf(QString()), false, {noDot, asmFile}},
        {PathOf(QStringLiteral("*.asm")), false, {asmFile}},
        {PathOf(QStringLiteral("*.asm")), true, {asmFile, inSub}},
        {PathOf(QStringLiteral("*.*")), true, {noDot, asmFile, inSub}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field.toStdString());
        search(QStringLiteral("hit"), inFolder(c.field, c.subfolders));
        QStringList expected;
        for (const QString& file : c.files)
            expected << file + QStringLiteral(" (1): hit");
        EXPECT_EQ(results(), expected);
    }
}

TEST_F(FindInFilesTest, WithoutAProjectItsScopeIsDisabledWithOneItsFilesAreSearchedInOrder)
{
    // Chosen in an earlier search, while a project was open.
    dialog().ProjectButton().setChecked(true);
    onNextDialog<TDialogFindInFiles>([](TDialogFindInFiles& d) {
        EXPECT_FALSE(d.ProjectButton().isEnabled());
        EXPECT_TRUE(d.DirectoriesButton().isChecked());
        EXPECT_TRUE(d.FileMaskEdit().isEnabled());
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    action.trigger();
    EXPECT_EQ(windows.openWindow(tolvane::kViewFindInFiles), nullptr);

    const QString first = WriteFile(QStringLiteral("b.asm"), "hit\n");
    const QString second = WriteFile(QStringLiteral("a.asm"), "a hit\n");
    project = QStringList{first, PathOf(QStringLiteral("gone.asm")), second};
    search(QStringLiteral("hit"), [](TDialogFindInFiles& d) {
        EXPECT_TRUE(d.ProjectButton().isEnabled());
        tick(&d.ProjectButton(), true);
        EXPECT_FALSE(d.FileMaskEdit().isEnabled());
        EXPECT_FALSE(d.BrowseButton().isEnabled());
        EXPECT_FALSE(d.SubdirectoriesBox().isEnabled());
    });
    EXPECT_EQ(results(),
              QStringList({first + QStringLiteral(" (1): hit"),
                           PathOf(QStringLiteral("gone.asm")) + QStringLiteral(" could not be read: no such file."),
                           second + QStringLiteral(" (1): a hit")}));
}

TEST_F(FindInFilesTest, OkWantsATextAndAFolderAndBrowseStartsInTheFieldsFolder)
{
    QStringList starts;
    dialog().SetFolderBrowser([&starts](QWidget*, const QString& title, const QString& start) {
        EXPECT_EQ(title, QStringLiteral("Select a directory to search."));
        starts << start;
        return QStringLiteral("/chosen/folder");
    });
    onNextDialog<TDialogFindInFiles>([this](TDialogFindInFiles& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Find In Files"));
        EXPECT_FALSE(d.OkButton().isEnabled());
        typeInto(&d.TextEdit(), QStringLiteral("x"));
        EXPECT_FALSE(d.OkButton().isEnabled());
        press(&d.BrowseButton());
        EXPECT_EQ(d.FileMask(), QStringLiteral("/chosen/folder"));
        EXPECT_TRUE(d.OkButton().isEnabled());
        typeInto(&d.FileMaskEdit(), PathOf(QStringLiteral("*.asm")));
        press(&d.BrowseButton());
        typeInto(&d.TextEdit(), QString());
        tick(&d.ProjectButton(), true);
        EXPECT_FALSE(d.OkButton().isEnabled());
        typeInto(&d.TextEdit(), QStringLiteral("x"));
        EXPECT_TRUE(d.OkButton().isEnabled());
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    project = QStringList();
    action.trigger();
    // Without a folder in the field, where the main window's file dialogs start.
    EXPECT_EQ(starts, QStringList({PathOf(QStringLiteral("start")), folder_.path()}));
}

TEST_F(FindInFilesTest, BinaryFilesShowPrintableTextAndTheOptionsReachTheSearch)
{
    const QString path = WriteFile(QStringLiteral("bin.dat"), std::string("\x01Word\0word\x7f WORDS\n", 18));
    search(QStringLiteral("word"), [this](TDialogFindInFiles& d) {
        inFolder(PathOf(QString()))(d);
        tick(&d.CaseSensitiveBox(), false);
        tick(&d.WholeWordsBox(), true);
    });
    const QString shown = path + QStringLiteral(" (1): .Word.word. WORDS");
    EXPECT_EQ(results(), QStringList({shown, shown}));
    search(QStringLiteral("Word"), [this](TDialogFindInFiles& d) {
        inFolder(PathOf(QString()))(d);
        tick(&d.CaseSensitiveBox(), true);
        tick(&d.WholeWordsBox(), false);
    });
    EXPECT_EQ(results(), QStringList({shown}));
}

TEST_F(FindInFilesTest, ResultsArriveWhileTheSearchRunsAndItCanBeCancelled)
{
    TFormFindInFiles* window = startLongSearch();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([window] { return window->Results().rowCount() > 0; }, 10000));
    EXPECT_TRUE(window->Searching());
    EXPECT_TRUE(window->CancelButton().isVisibleTo(window));
    QTest::mouseClick(&window->CancelButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([window] { return !window->Searching(); }, 10000));
    const QStringList lines = window->Lines();
    EXPECT_LT(lines.size(), kLongSearchFiles);
    EXPECT_EQ(lines.last(), QStringLiteral("Search cancelled."));
    EXPECT_FALSE(window->CancelButton().isVisibleTo(window));
}

TEST_F(FindInFilesTest, ClosingTheWindowDuringASearchEndsIt)
{
    ASSERT_NE(startLongSearch(), nullptr);
    windows.close(tolvane::kViewFindInFiles);
    QTest::qWait(20);
    EXPECT_EQ(windows.openWindow(tolvane::kViewFindInFiles), nullptr);
}

}  // namespace
