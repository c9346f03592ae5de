#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTest>
#include <QThread>
#include <random>

#include "EditorSettings.h"
#include "EditorTestSupport.h"
#include "HostileFiles.h"
#include "Registry.h"

using platform::BoxAnswer;

namespace {

class EditorWindowTest : public EditorTest {
protected:
    TFormEditor* Open(const QString& path) { return windows_.OpenEditor(path); }
    static void Type(TFormEditor* editor, const char* text) { editor->Editor().SendEditor(S::SCI_INSERTTEXT, 0, text); }
    static void Touch(const QString& path, const std::string& bytes)
    {
        // A later modification time than the one the editor kept.
        QThread::msleep(20);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    bool Close(TFormEditor* editor) { return qobject_cast<QMdiSubWindow*>(editor->parentWidget())->close(); }
    std::vector<int> MarkerLines(TFormEditor* editor)
    {
        std::vector<int> lines;
        for (int line = 1; line <= editor->Editor().LineCount(); ++line)
            if (editor->Editor().HasBreakpointMarker(line))
                lines.push_back(line);
        return lines;
    }
};

TEST_F(EditorWindowTest, NewWindowsAreUntitledAndCountUp)
{
    TFormEditor* first = windows_.NewFile();
    TFormEditor* second = windows_.NewFile();
    EXPECT_TRUE(first->windowTitle().startsWith(QStringLiteral("Untitled ")));
    EXPECT_EQ(second->windowTitle().mid(9).toInt(), first->windowTitle().mid(9).toInt() + 1);
    EXPECT_EQ(windows_.FrontEditor(), second);
    EXPECT_EQ(first->StatusText(TFormEditor::PanelInsert), "Insert");
    EXPECT_EQ(host_.fileActions.back(), 7);
}

TEST_F(EditorWindowTest, OpeningAFileTwiceShowsTheSameWindow)
{
    const QString path = WriteFile("a.asm", "x\n");
    ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("sub")));
    TFormEditor* editor = Open(path);
    EXPECT_EQ(editor->windowTitle(), path);
    windows_.NewFile();
    EXPECT_EQ(Open(folder_.path() + "/sub/../a.asm"), editor);
    EXPECT_EQ(windows_.FrontEditor(), editor);
    EXPECT_EQ(windows_.Editors().size(), 2);
}

TEST_F(EditorWindowTest, AFileThatCannotBeReadOpensNoWindow)
{
    EXPECT_FALSE(windows_.OpenFileAtLine(PathOf("gone.asm"), 3));
    ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("dir.asm")));
    EXPECT_FALSE(windows_.OpenFileAtLine(PathOf("dir.asm"), 3));
    EXPECT_TRUE(windows_.Editors().isEmpty());
    ASSERT_EQ(boxes_.boxes.size(), 2u);
    EXPECT_EQ(boxes_.boxes[0].text, PathOf("gone.asm").toStdString() + " does not exist.");
    EXPECT_EQ(boxes_.boxes[0].caption, "Error! - Tolvane");
    EXPECT_NE(boxes_.boxes[1].text.find(" could not be read: "), std::string::npos);
}

// Nothing blocks on a FIFO and nothing reads a device without end: what is
// no regular file, or larger than the limit, is refused by name before reading.
TEST_F(EditorWindowTest, OnlyRegularFilesWithinTheLimitAreOpened)
{
    test_support::GuardedFifo fifo(PathOf("fifo.asm").toStdString());
    ASSERT_TRUE(fifo.created());
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), PathOf("zero.asm")));
    ASSERT_TRUE(test_support::makeSparseFile(PathOf("huge.asm").toStdString(), ScintillaEditor::kMaxFileBytes + 1));
    const struct {
        QString path;
        std::string reason;
    } cases[] = {
        {PathOf("fifo.asm"), "not a regular file."},
        {QStringLiteral("/dev/zero"), "not a regular file."},
        {PathOf("zero.asm"), "not a regular file."},
        {PathOf("huge.asm"), "larger than 256 MB."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        boxes_.boxes.clear();
        EXPECT_EQ(windows_.TryOpenEditor(c.path), EditorWindows::Opening::OtherFailure);
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{c.path.toStdString() + " could not be read: " + c.reason});
    }
    EXPECT_TRUE(windows_.Editors().isEmpty());
}

TEST_F(EditorWindowTest, TryOpenEditorTellsAMissingFileFromOtherFailures)
{
    EXPECT_EQ(windows_.TryOpenEditor(PathOf("gone.asm")), EditorWindows::Opening::FileNotFound);
    EXPECT_TRUE(boxes_.boxes.empty());
    ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("dir.asm")));
    EXPECT_EQ(windows_.TryOpenEditor(PathOf("dir.asm")), EditorWindows::Opening::OtherFailure);
    EXPECT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(windows_.TryOpenEditor(WriteFile("a.asm", "x\n")), EditorWindows::Opening::Opened);
    windows_.SetFrontExecutionLine(1);
    EXPECT_TRUE(windows_.FrontEditor()->Editor().HasExecutionMarker(1));
    windows_.ClearExecutionLines();
    EXPECT_FALSE(windows_.FrontEditor()->Editor().HasExecutionMarker(1));
}

TEST_F(EditorWindowTest, OpenFileAtLineSelectsTheLine)
{
    ASSERT_TRUE(windows_.OpenFileAtLine(WriteFile("a.asm", NumberedLines(10)), 4));
    EXPECT_EQ(windows_.FrontEditor()->Editor().SelectedText(), "line 4");
    ASSERT_TRUE(windows_.OpenFileAtMatch(PathOf("a.asm"), 6, 3, 2));
    EXPECT_EQ(windows_.FrontEditor()->Editor().SelectedText(), "ne");
}

TEST_F(EditorWindowTest, AProjectPlacesItsWindows)
{
    TFormEditor* editor =
        windows_.OpenEditorWithLayout(WriteFile("a.asm", "x\n"), EditorWindows::Normal, 10, 20, 310, 220);
    const QRect frame = qobject_cast<QMdiSubWindow*>(editor->parentWidget())->geometry();
    EXPECT_EQ(frame, QRect(10, 20, 300, 200));
    EXPECT_EQ(windows_.OpenEditorWithLayout(PathOf("a.asm"), EditorWindows::Zoomed, 0, 0, 100, 100), editor);
    EXPECT_TRUE(qobject_cast<QMdiSubWindow*>(editor->parentWidget())->isMaximized());
}

// A window saved narrow stays as narrow when it is opened and moved: the
// status panels keep their widths, side by side, and the window's edge cuts
// off what does not fit.
TEST_F(EditorWindowTest, ANarrowWindowKeepsItsWidth)
{
    for (const int width : {160, 240, 320}) {
        SCOPED_TRACE(width);
        TFormEditor* editor = windows_.OpenEditorWithLayout(WriteFile(QStringLiteral("%1.asm").arg(width), "x\n"),
                                                            EditorWindows::Normal, 10, 20, 10 + width, 220);
        auto* window = qobject_cast<QMdiSubWindow*>(editor->parentWidget());
        const QPoint title(width / 3, window->widget()->y() / 2);
        const QPoint moved = title + QPoint(15, 10);
        // Over the title, pressed, dragged with the button held (which
        // QTest's move does not say) and let go.
        QTest::mouseMove(window, title);
        QTest::mousePress(window, Qt::LeftButton, {}, title);
        QMouseEvent drag(QEvent::MouseMove, moved, window->mapToGlobal(moved), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(window, &drag);
        QTest::mouseRelease(window, Qt::LeftButton, {}, moved);
        QApplication::processEvents();
        EXPECT_EQ(window->geometry(), QRect(25, 30, width, 200));
        const QList<QLabel*> panels = editor->findChildren<QLabel*>();
        for (qsizetype i = 1; i < panels.size(); ++i)
            EXPECT_GE(panels[i]->x(), panels[i - 1]->geometry().right()) << i;
    }
}

TEST(SaveFileDialogFilter, EveryFileMaskMatchesNamesWithoutADot)
{
    EXPECT_EQ(QtFilterFrom("Source Files (*.asm)|*.asm|All Files (*.*)|*.*"), "Source Files (*.asm);;All Files (*)");
}

TEST_F(EditorWindowTest, EditorsOpenReadOnlyWhileDebugging)
{
    host_.currentDebugState = 0;
    TFormEditor* editor = Open(WriteFile("a.asm", "x\n"));
    EXPECT_TRUE(editor->IsReadOnly());
    EXPECT_EQ(editor->StatusText(TFormEditor::PanelInsert), "Read Only");
    windows_.SetEditorsReadOnly(false);
    EXPECT_FALSE(editor->IsReadOnly());
    EXPECT_EQ(editor->StatusText(TFormEditor::PanelInsert), "Insert");
}

TEST_F(EditorWindowTest, ShowSourceLineMovesTheExecutionLineBetweenFiles)
{
    TFormEditor* first = Open(WriteFile("a.asm", NumberedLines(20)));
    windows_.ShowSourceLine(first->FilePath(), 5);
    EXPECT_TRUE(first->Editor().HasExecutionMarker(5));
    windows_.ShowSourceLine(WriteFile("b.asm", NumberedLines(20)), 9);
    TFormEditor* second = windows_.FindEditor(PathOf("b.asm"));
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(first->Editor().HasExecutionMarker(5));
    EXPECT_TRUE(second->Editor().HasExecutionMarker(9));
    EXPECT_EQ(windows_.FrontEditor(), second);
    windows_.ShowSourceLine(QString(), 0);
    EXPECT_FALSE(second->Editor().HasExecutionMarker(9));
}

TEST_F(EditorWindowTest, StatusBarFollowsTheEditor)
{
    TFormEditor* editor = Open(WriteFile("a.asm", "abc\r\ndef\r\n"));
    EXPECT_EQ(editor->StatusText(TFormEditor::PanelModified), "");
    editor->Editor().SendEditor(S::SCI_GOTOPOS, 7);
    Type(editor, "x");
    QApplication::processEvents();
    EXPECT_EQ(editor->StatusText(TFormEditor::PanelModified), "Modified");
    EXPECT_EQ(editor->StatusText(TFormEditor::PanelLine), "2");
    EXPECT_EQ(editor->StatusText(TFormEditor::PanelColumn), "3");
    EXPECT_EQ(host_.lastEditActions, editor);

    editor->Editor().Command(S::SCI_EDITTOGGLEOVERTYPE);
    QApplication::processEvents();
    EXPECT_EQ(editor->StatusText(TFormEditor::PanelInsert), "Overwrite");
    editor->SetReadOnly(true);
    EXPECT_EQ(editor->StatusText(TFormEditor::PanelInsert), "Read Only");
    editor->SetReadOnly(false);
    EXPECT_EQ(editor->StatusText(TFormEditor::PanelInsert), "Overwrite");
}

// Every text a status panel shows fits it, and every panel shows whole in the
// status bar, whatever the font: the sizes come from the font's metrics, not
// from pixel counts of another platform.
TEST_F(EditorWindowTest, StatusPanelsFitTheirTextsInAnyFontSize)
{
    const QStringList panelTexts[] = {
        {"Modified"}, {"Insert", "Overwrite", "Read Only"}, {"Line:"}, {"123456"}, {"Column:"}, {"123456"}, {}};
    const QFont original = QApplication::font();
    for (const int points : {8, 10, 13, 18}) {
        SCOPED_TRACE(points);
        QFont font = original;
        font.setPointSize(points);
        QApplication::setFont(font);
        TFormEditor* editor = Open(WriteFile(QStringLiteral("%1.asm").arg(points), NumberedLines(3)));
        QApplication::processEvents();
        const QRect bar = editor->findChild<QStatusBar*>()->geometry();
        const QList<QLabel*> panels = editor->findChildren<QLabel*>();
        ASSERT_EQ(panels.size(), std::size(panelTexts));
        for (qsizetype i = 0; i < panels.size(); ++i) {
            const QLabel* panel = panels[i];
            const int room = panel->maximumWidth() - 2 * panel->frameWidth() - 2 * panel->margin();
            for (const QString& text : panelTexts[i])
                EXPECT_LE(panel->fontMetrics().horizontalAdvance(text), room) << text.toStdString();
            const int top = panel->mapTo(editor, QPoint(0, 0)).y();
            EXPECT_GE(top, bar.top()) << i;
            EXPECT_LE(top + panel->height(), bar.top() + bar.height()) << i;
        }
        editor->close();
    }
    QApplication::setFont(original);
}

TEST_F(EditorWindowTest, CloseAsksAndFollowsTheAnswer)
{
    const QString path = WriteFile("a.asm", "old\r\n");
    TFormEditor* editor = Open(path);
    Type(editor, "new ");

    boxes_.answers = {BoxAnswer::Cancel};
    EXPECT_FALSE(Close(editor));
    EXPECT_EQ(BoxTexts().back(), "Save changes to a.asm?");
    EXPECT_EQ(windows_.Editors().size(), 1);

    boxes_.answers = {BoxAnswer::Yes};
    EXPECT_TRUE(Close(editor));
    EXPECT_EQ(ReadFile(path), "new old\r\n");
    EXPECT_TRUE(windows_.Editors().isEmpty());
    EXPECT_EQ(host_.fileActions.back(), 6);
    EXPECT_EQ(host_.lastEditActions, nullptr);

    editor = Open(path);
    Type(editor, "lost ");
    boxes_.answers = {BoxAnswer::No};
    EXPECT_TRUE(Close(editor));
    EXPECT_EQ(ReadFile(path), "new old\r\n");
}

TEST_F(EditorWindowTest, UnmodifiedWindowsCloseWithoutAQuestion)
{
    EXPECT_TRUE(Close(Open(WriteFile("a.asm", "x\n"))));
    EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(EditorWindowTest, SaveAsOntoAnExistingFileAsksAgainOnNo)
{
    const QString existing = WriteFile("taken.asm", "keep\r\n");
    TFormEditor* editor = windows_.NewFile();
    const QString caption = editor->windowTitle();
    Type(editor, "text");
    host_.recordingSaveDialog.initialDirectory = folder_.path().toStdString();
    host_.recordingSaveDialog.answers = {existing.toStdString(), PathOf("fresh.asm").toStdString()};
    boxes_.answers = {BoxAnswer::No};

    EXPECT_EQ(editor->Save(), TFormEditor::Saved);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"File exists.  Overwrite?"});
    ASSERT_EQ(host_.recordingSaveDialog.requests.size(), 2u);
    const SaveDialogRequest& request = host_.recordingSaveDialog.requests[0];
    EXPECT_EQ(request.filter, "Source Files (*.asm)|*.asm|All Files (*.*)|*.*");
    EXPECT_EQ(request.defaultExtension, "asm");
    EXPECT_EQ(request.fileName, caption.toStdString());
    EXPECT_EQ(ReadFile(existing), "keep\r\n");
    EXPECT_EQ(ReadFile(PathOf("fresh.asm")), "text\n");
    EXPECT_EQ(editor->windowTitle(), PathOf("fresh.asm"));
    EXPECT_EQ(editor->FilePath(), PathOf("fresh.asm"));

    host_.recordingSaveDialog.answers = {existing.toStdString()};
    boxes_.answers = {BoxAnswer::Cancel};
    EXPECT_EQ(editor->SaveAs(), TFormEditor::Cancelled);
    EXPECT_EQ(host_.recordingSaveDialog.requests[2].fileName, "fresh.asm");
    EXPECT_EQ(host_.recordingSaveDialog.requests[2].initialDirectory,
              QDir(folder_.path()).absolutePath().toStdString());
    EXPECT_EQ(editor->FilePath(), PathOf("fresh.asm"));
}

// A file keeps the line ends it came with, also on lines typed with Enter;
// one that mixes them takes its first kind; a new file gets the platform's LF.
TEST_F(EditorWindowTest, SavingKeepsTheLineEndsTheFileHad)
{
    const struct {
        const char* bytes;
        const char* saved;
    } cases[] = {
        {"one\ntwo\n", "one\ntwo\nx\ny\n"},
        {"one\r\ntwo\r\n", "one\r\ntwo\r\nx\r\ny\r\n"},
        {"one\rtwo\r", "one\rtwo\rx\ry\r"},
        {"one\r\ntwo\nend", "one\r\ntwo\r\nend\r\nx\r\ny\r\n"},
        {"one\ntwo\r\n", "one\ntwo\nx\ny\n"},
        {"", "x\ny\n"},
        {nullptr, "x\ny\n"},
    };
    int count = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes ? c.bytes : "new file");
        const QString path = PathOf(QStringLiteral("file%1.asm").arg(++count));
        TFormEditor* editor = c.bytes ? Open(WriteFile(path.section('/', -1), c.bytes)) : windows_.NewFile();
        QWidget* text = &editor->Editor();
        QTest::keyClick(text, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(text, Qt::Key_X);
        QTest::keyClick(text, Qt::Key_Return);
        QTest::keyClick(text, Qt::Key_Y);
        host_.recordingSaveDialog.answers = {path.toStdString()};
        EXPECT_EQ(editor->Save(), TFormEditor::Saved);
        EXPECT_EQ(ReadFile(path), c.saved);
    }
}

TEST_F(EditorWindowTest, AFailedSaveKeepsTheWindowAndItsEdits)
{
    const QString path = WriteFile("a.asm", "x\r\n");
    TFormEditor* editor = Open(path);
    Type(editor, "edit ");
    QFile::remove(path);
    ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("a.asm")));
    boxes_.answers = {BoxAnswer::Yes};
    EXPECT_FALSE(Close(editor));
    EXPECT_EQ(windows_.Editors().size(), 1);
    EXPECT_TRUE(editor->Editor().IsModified());
    EXPECT_EQ(editor->Editor().Text(), "edit x\r\n");
    EXPECT_NE(BoxTexts().back().find(" could not be saved: "), std::string::npos);
}

TEST_F(EditorWindowTest, SaveAllFilesWithoutAskingReportsEachFile)
{
    TFormEditor* editor = Open(WriteFile("a.asm", "x\r\n"));
    Type(editor, "y");
    EXPECT_EQ(windows_.SaveAllFiles(false), TFormEditor::Saved);
    EXPECT_EQ(host_.messages, QStringList{QStringLiteral("Saving file: ") + PathOf("a.asm")});
    EXPECT_EQ(ReadFile(PathOf("a.asm")), "yx\r\n");

    TFormEditor* untitled = windows_.NewFile();
    Type(untitled, "z");
    boxes_.answers = {BoxAnswer::Cancel};
    EXPECT_EQ(windows_.SaveAllFiles(true), TFormEditor::Cancelled);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Save changes to " + untitled->windowTitle().toStdString() + "?"});
}

TEST_F(EditorWindowTest, AChangedFileAsksOnActivationUntilReloaded)
{
    const QString path = WriteFile("prog.asm", "old\r\n");
    TFormEditor* editor = Open(path);
    Touch(path, "new\n");

    boxes_.answers = {BoxAnswer::No};
    editor->EditorActivated();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"prog.asm has changed.  Reload?"});
    EXPECT_EQ(editor->Editor().Text(), "old\r\n");

    boxes_.answers = {BoxAnswer::Yes};
    editor->EditorActivated();
    EXPECT_EQ(boxes_.boxes.size(), 2u);
    EXPECT_EQ(editor->Editor().Text(), "new\n");
    editor->EditorActivated();
    EXPECT_EQ(boxes_.boxes.size(), 2u);
}

TEST_F(EditorWindowTest, WithAnExternalEditorWindowsAreReadOnlyAndReloadSilently)
{
    ASSERT_TRUE(WriteSettingBool("UseExternalEditor", true));
    const QString path = WriteFile("prog.asm", "old\r\n");
    TFormEditor* editor = Open(path);
    EXPECT_TRUE(editor->IsReadOnly());
    Touch(path, "new\r\n");
    editor->EditorActivated();
    EXPECT_TRUE(boxes_.boxes.empty());
    EXPECT_EQ(editor->Editor().Text(), "new\r\n");
    EXPECT_TRUE(editor->IsReadOnly());
}

TEST_F(EditorWindowTest, ReloadKeepsTheListedBreakpoints)
{
    const QString path = WriteFile("prog.asm", NumberedLines(5));
    TFormEditor* editor = Open(path);
    editor->ToggleBreakpoint(2, true);
    editor->ToggleBreakpoint(4, true);
    Touch(path, NumberedLines(6));
    editor->EditorActivated();
    EXPECT_EQ(MarkerLines(editor), (std::vector<int>{2, 4}));
    EXPECT_EQ(host_.BreakpointLines(path), (std::vector<int>{2, 4}));
}

TEST_F(EditorWindowTest, MarginClickOnAnUntitledWindowAsksToSaveFirst)
{
    TFormEditor* editor = windows_.NewFile();
    Type(editor, "a\r\nb\r\n");
    boxes_.answers = {BoxAnswer::No};
    emit editor->Editor().SCN_MARGINCLICK(0, 0, 1);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{
                              "File must be saved before adding breakpoints.\r\n\r\nWould you like to save now?"});
    EXPECT_TRUE(MarkerLines(editor).empty());
    EXPECT_TRUE(host_.breakpoints.empty());

    host_.recordingSaveDialog.answers = {PathOf("saved.asm").toStdString()};
    emit editor->Editor().SCN_MARGINCLICK(static_cast<int>(editor->Editor().SendEditor(S::SCI_POSITIONFROMLINE, 1)), 0,
                                          1);
    EXPECT_EQ(MarkerLines(editor), std::vector<int>{2});
    EXPECT_EQ(host_.BreakpointLines(PathOf("saved.asm")), std::vector<int>{2});

    // Once saved, its list follows its lines like a loaded file's.
    editor->Editor().SendEditor(S::SCI_INSERTTEXT, 0, "new\r\n");
    EXPECT_EQ(host_.BreakpointLines(PathOf("saved.asm")), std::vector<int>{3});
}

TEST_F(EditorWindowTest, BreakpointEntriesMoveWithDeletedLines)
{
    const QString path = WriteFile("prog.asm", NumberedLines(10));
    TFormEditor* editor = Open(path);
    ScintillaEditor& scintilla = editor->Editor();
    editor->ToggleBreakpoint(8, true);
    scintilla.SendEditor(S::SCI_SETTARGETRANGE, scintilla.SendEditor(S::SCI_POSITIONFROMLINE, 1),
                         scintilla.SendEditor(S::SCI_POSITIONFROMLINE, 4));
    scintilla.SendEditor(S::SCI_REPLACETARGET, 0, "");
    EXPECT_EQ(host_.BreakpointLines(path), std::vector<int>{5});
    EXPECT_EQ(MarkerLines(editor), std::vector<int>{5});
}

TEST_F(EditorWindowTest, BreakpointOnTheLastLineFollowsEdits)
{
    const QString path = WriteFile("prog.asm", "a\r\nb\r\nc");
    TFormEditor* editor = Open(path);
    const int last = editor->Editor().LineCount();
    editor->ToggleBreakpoint(last, true);
    Type(editor, "new\r\n");
    EXPECT_EQ(host_.BreakpointLines(path), std::vector<int>{last + 1});
    EXPECT_EQ(MarkerLines(editor), std::vector<int>{last + 1});
    editor->Editor().Command(S::SCI_UNDO);
    EXPECT_EQ(host_.BreakpointLines(path), std::vector<int>{last});
}

TEST_F(EditorWindowTest, BreakpointListEqualsMarkersAfterRandomEdits)
{
    const QString path = WriteFile("prog.asm", NumberedLines(40));
    TFormEditor* editor = Open(path);
    ScintillaEditor& scintilla = editor->Editor();
    std::mt19937 random(20261208);
    for (int line : {1, 7, 20, 33, 40, 41})
        editor->ToggleBreakpoint(line, true);
    for (int step = 0; step < 200; ++step) {
        const int lines = scintilla.LineCount();
        const int line = std::uniform_int_distribution<int>(0, lines - 1)(random);
        const long start = scintilla.SendEditor(S::SCI_POSITIONFROMLINE, line);
        const int op = std::uniform_int_distribution<int>(0, 3)(random);
        switch (op) {
        case 0:
            scintilla.SendEditor(S::SCI_INSERTTEXT, start, "inserted\r\n");
            break;
        case 1:
            scintilla.SendEditor(S::SCI_INSERTTEXT, scintilla.SendEditor(S::SCI_GETLINEENDPOSITION, line),
                                 "\r\nx\r\ny");
            break;
        case 2: {
            const int count = std::uniform_int_distribution<int>(1, 3)(random);
            const long end = scintilla.SendEditor(S::SCI_POSITIONFROMLINE, std::min(line + count, lines));
            scintilla.SendEditor(S::SCI_SETTARGETRANGE, start,
                                 end > start ? end : scintilla.SendEditor(S::SCI_GETLENGTH));
            scintilla.SendEditor(S::SCI_REPLACETARGET, 0, "");
            break;
        }
        default:
            editor->ToggleBreakpoint(line + 1, true);
            break;
        }
        ASSERT_EQ(host_.BreakpointLines(path), MarkerLines(editor)) << "after step " << step;
    }
}

TEST_F(EditorWindowTest, ToggleFromTheListDoesNotReportBack)
{
    const QString path = WriteFile("prog.asm", NumberedLines(5));
    TFormEditor* editor = Open(path);
    windows_.ToggleEditorBreakpoint(path, 3);
    EXPECT_EQ(MarkerLines(editor), std::vector<int>{3});
    EXPECT_TRUE(host_.breakpoints.empty());
}

TEST_F(EditorWindowTest, TabOptionsReachEveryEditorAndTheRegistry)
{
    TFormEditor* editor = Open(WriteFile("a.asm", "x\n"));
    windows_.ApplyTabOptions(8, false);
    EXPECT_EQ(editor->Editor().SendEditor(S::SCI_GETTABWIDTH), 8);
    EXPECT_EQ(editor->Editor().SendEditor(S::SCI_GETUSETABS), 0);
    EXPECT_EQ(host_.currentTabSize, 8);
    const auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, tolvane::kSettingsKey, false);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->readInteger("TabSize"), 8);
    EXPECT_EQ(key->readBool("UseTabs"), false);
    EXPECT_EQ(windows_.NewFile()->Editor().SendEditor(S::SCI_GETTABWIDTH), 8);
}

}  // namespace
