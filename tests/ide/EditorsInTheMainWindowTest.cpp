// The editor windows in the main window with its breakpoint list and the
// fake device: breakpoints through edits and Save As, activation when the
// user comes back, and the keys that belong to the editor or its dialogs.

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QtTest/QTest>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "BreakpointList.h"
#include "DebugController.h"
#include "DeviceBinding.h"
#include "DeviceList.h"
#include "EditorWindows.h"
#include "FakeDeviceScript.h"
#include "FindReplaceDialog.h"
#include "MainSettings.h"
#include "MessageBoxes.h"
#include "Registry.h"
#include "SaveFileDialog.h"
#include "SearchCommands.h"
#include "TFormEditor.h"
#include "TMainForm.h"
#include "TestFolders.h"
#include "WindowThreadWaits.h"

namespace {

using platform::RegistryKey;
using platform::RegistryRoot;
using S = QsciScintillaBase;

constexpr unsigned kFirstAddress = 0x100;

class EditorsInTheMainWindow : public testing::Test {
protected:
    void SetUp() override
    {
        script.install();
        auto devices = RegistryKey::open(RegistryRoot::CurrentUser, devices::kDevicesKey, true);
        ASSERT_TRUE(devices && devices->writeString("Fake Device", FAKE_DEVICE));
        ASSERT_TRUE(
            RegistryKey::open(RegistryRoot::CurrentUser, kSettingsKey, true)->writeString("Device", "Fake Device"));
        form = std::make_unique<TMainForm>();
        form->show();
        QApplication::setActiveWindow(form.get());
        settle();
    }
    void TearDown() override
    {
        // Close without questions: the windows belong to this test only.
        for (TFormEditor* editor : form->editorWindows().Editors())
            delete editor->parentWidget();
        form.reset();
    }

    // A file of the lines "line 1" to "line <count>"; the device knows an
    // address for each of its lines.
    QString source(const char* name, int count = 10, unsigned firstAddress = kFirstAddress)
    {
        const QString path = folders.file(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        for (int line = 1; line <= count; ++line)
            file.write(("line " + std::to_string(line) + "\r\n").c_str());
        for (int line = 1; line <= count + 1; ++line)
            script.lineAddresses[{path.toStdString(), line}] = firstAddress + static_cast<unsigned>(line);
        return path;
    }
    TFormEditor* open(const QString& path)
    {
        TFormEditor* editor = form->editorWindows().OpenEditor(path);
        settle();
        return editor;
    }
    static std::vector<int> markers(TFormEditor& editor)
    {
        std::vector<int> lines;
        for (int line = 1; line <= editor.Editor().LineCount(); ++line)
            if (editor.Editor().HasBreakpointMarker(line))
                lines.push_back(line);
        return lines;
    }
    std::vector<int> listed(const QString& path)
    {
        QList<int> lines = form->breakpointList().linesIn(path);
        std::sort(lines.begin(), lines.end());
        return {lines.begin(), lines.end()};
    }
    // What debug start sends: the device's breakpoints, as lines of one file.
    std::vector<int> onDevice()
    {
        form->breakpointList().ApplyBreakpoints(*form->deviceBinding().device());
        return heldByDevice(kFirstAddress);
    }
    std::vector<int> heldByDevice(unsigned firstAddress)
    {
        std::lock_guard lock(script.mutex);
        std::vector<int> lines;
        for (unsigned address : script.deviceBreakpoints)
            lines.push_back(static_cast<int>(address - firstAddress));
        return lines;
    }

    ScopedTestFolders folders;
    FakeDeviceScript script;
    platform::RecordingMessageBoxes boxes;
    platform::ScopedMessageBoxes scopedBoxes{boxes};
    std::unique_ptr<TMainForm> form;
};

// Lines deleted by keys take their breakpoints with them; the others follow
// their lines. Markers, the list and the device agree after every edit.
TEST_F(EditorsInTheMainWindow, BreakpointsFollowTheirLinesAndGoWithDeletedOnes)
{
    using Place = std::function<void(ScintillaEditor&)>;
    auto start = [](int line) {
        return [line](ScintillaEditor& e) { return e.SendEditor(S::SCI_POSITIONFROMLINE, line - 1); };
    };
    auto end = [](int line) {
        return [line](ScintillaEditor& e) { return e.SendEditor(S::SCI_GETLINEENDPOSITION, line - 1); };
    };
    auto select = [](auto from, auto to) -> Place {
        return [from, to](ScintillaEditor& e) { e.SendEditor(S::SCI_SETSEL, from(e), to(e)); };
    };
    auto caret = [](auto at, int offset = 0) -> Place {
        return [at, offset](ScintillaEditor& e) { e.SendEditor(S::SCI_GOTOPOS, at(e) + offset); };
    };
    const struct {
        const char* what;
        Place place;
        QKeyCombination key;
        std::vector<int> lines;
    } cases[] = {
        {"Delete on lines 4 and 5", select(start(4), start(6)), Qt::Key_Delete, {3, 6}},
        {"Delete from the end of line 2 to the end of line 3", select(end(2), end(3)), Qt::Key_Delete, {4, 7}},
        {"Backspace at the start of line 5", caret(start(5)), Qt::Key_Backspace, {3, 4, 7}},
        {"Backspace at the start of line 4", caret(start(4)), Qt::Key_Backspace, {3, 4, 7}},
        {"Ctrl+Shift+L on line 5", caret(start(5), 2), Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_L, {3, 7}},
        {"Ctrl+X of lines 1 to 3", select(start(1), start(4)), Qt::ControlModifier | Qt::Key_X, {2, 5}},
        {"Delete on the whole text", select(start(1), end(11)), Qt::Key_Delete, {}},
        {"Enter at the start of line 3", caret(start(3)), Qt::Key_Return, {4, 6, 9}},
        {"Enter within line 3", caret(start(3), 2), Qt::Key_Return, {3, 6, 9}},
    };
    int number = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        form->breakpointList().RemoveAllBreakpoints();
        const QString path = source(("case" + std::to_string(++number) + ".asm").c_str());
        TFormEditor* editor = open(path);
        for (int line : {3, 5, 8})
            editor->ToggleBreakpoint(line, true);
        ScintillaEditor& text = editor->Editor();
        text.setFocus();
        c.place(text);
        QTest::keyClick(&text, c.key.key(), c.key.keyboardModifiers());
        settle();
        EXPECT_EQ(markers(*editor), c.lines);
        EXPECT_EQ(listed(path), c.lines);
        EXPECT_EQ(onDevice(), c.lines);
    }
}

// Enter and its undo at the top of a long file cost what they cost in a
// short one: the breakpoint list follows the lines without looking at each
// line below the caret. Bounded generously against the short file, timed in
// the same run.
TEST_F(EditorsInTheMainWindow, AKeyCostsTheSameAtAnyLengthOfTheFile)
{
    auto perKey = [this](const QString& path, int lines) {
        form->breakpointList().addMarkedBreakpoint(path, lines);
        ScintillaEditor& text = open(path)->Editor();
        text.setFocus();
        text.SendEditor(S::SCI_GOTOPOS, 0);
        std::vector<qint64> times;
        QElapsedTimer clock;
        for (int key = 0; key < 10; ++key) {
            clock.start();
            QTest::keyClick(&text, Qt::Key_Return);
            times.push_back(clock.nsecsElapsed());
            // Back up, so that the next Enter is an undo step of its own.
            QTest::keyClick(&text, Qt::Key_Up);
        }
        for (int key = 0; key < 10; ++key) {
            clock.start();
            QTest::keyClick(&text, Qt::Key_Z, Qt::ControlModifier);
            times.push_back(clock.nsecsElapsed());
        }
        EXPECT_EQ(listed(path), std::vector<int>{lines});
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    const qint64 shortFile = perKey(source("short.asm", 100), 100);
    const qint64 longFile = perKey(source("long.asm", 100000), 100000);
    EXPECT_LT(longFile, 10 * shortFile + 10'000'000) << longFile << " ns against " << shortFile << " ns";
}

// Save As while halted: the breakpoints go with the file to its new name
// and reach the device there at once; those of the file it replaced go.
TEST_F(EditorsInTheMainWindow, SaveAsTakesTheBreakpointsToTheNewName)
{
    const QString original = source("original.asm");
    const QString copy = source("copy.asm", 10, 2 * kFirstAddress);
    form->breakpointList().addMarkedBreakpoint(copy, 1);
    TFormEditor* editor = open(original);
    ASSERT_TRUE(RegistryKey::open(RegistryRoot::CurrentUser, kSettingsKey, true)->writeBool("AlwaysAllowRun", true));
    script.releaseRun();
    form->debugControl().StartDebug(DebugStart::Run);
    ASSERT_TRUE(waitFor([&] { return form->debugControl().DebugState() == DebugController::kHalted; }));
    editor->ToggleBreakpoint(2, true);
    editor->ToggleBreakpoint(4, true);
    ASSERT_EQ(heldByDevice(kFirstAddress), (std::vector<int>{2, 4}));
    auto dialog = std::make_unique<RecordingSaveFileDialog>();
    dialog->answers.push_back(copy.toStdString());
    form->replaceSaveDialog(std::move(dialog));
    boxes.answers.push_back(platform::BoxAnswer::Yes);

    form->actions.saveFileAs->trigger();
    settle();
    ASSERT_EQ(editor->FilePath(), copy);
    EXPECT_EQ(listed(original), std::vector<int>{});
    EXPECT_EQ(listed(copy), (std::vector<int>{2, 4}));
    EXPECT_EQ(markers(*editor), (std::vector<int>{2, 4}));
    EXPECT_EQ(heldByDevice(2 * kFirstAddress), (std::vector<int>{2, 4}));
    form->actions.stop->trigger();
    EXPECT_TRUE(waitFor([&] { return form->debugControl().DebugState() == DebugController::kIdle; }));
}

// Coming back to the IDE activates the front editor window only: the Edit
// menu follows it, and no window behind it takes the focus.
TEST_F(EditorsInTheMainWindow, ReturningToTheIdeActivatesOnlyTheFrontEditor)
{
    // Files opened while another window has the keyboard, as at start.
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    TFormEditor* front = open(source("front.asm"));
    open(source("middle.asm"));
    open(source("last.asm"));
    elsewhere.hide();
    form->activateWindow();
    ASSERT_TRUE(waitFor([&] { return QApplication::activeWindow() == form.get(); }));
    front = open(front->FilePath());
    front->Editor().setFocus();
    QTest::keyClick(&front->Editor(), Qt::Key_A, Qt::ControlModifier);
    settle();
    ASSERT_TRUE(form->actions.cut->isEnabled());

    // The user goes to another program and comes back: what the platform
    // tells the application, which a headless test cannot make it do.
    emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    settle();

    EXPECT_EQ(form->editorWindows().FrontEditor(), front);
    EXPECT_TRUE(form->actions.cut->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), &front->Editor());
    for (TFormEditor* editor : form->editorWindows().Editors())
        EXPECT_EQ(editor->Editor().SendEditor(S::SCI_GETFOCUS) != 0, editor == front)
            << editor->FilePath().toStdString();
}

// Ctrl+F and Ctrl+H bring their dialog to the front with the keyboard in it,
// also when it is open already.
TEST_F(EditorsInTheMainWindow, FindKeysGiveTheOpenDialogTheFocus)
{
    TFormEditor* editor = open(source("find.asm"));
    const struct {
        Qt::Key key;
        FindReplaceDialog& dialog;
    } cases[] = {
        {Qt::Key_F, form->searchCommands().FindDialog()},
        {Qt::Key_H, form->searchCommands().ReplaceDialog()},
    };
    for (const auto& c : cases) {
        for (int time = 1; time <= 2; ++time) {
            SCOPED_TRACE(c.dialog.windowTitle().toStdString() + " " + std::to_string(time));
            form->activateWindow();
            ASSERT_TRUE(waitFor([&] { return QApplication::activeWindow() == form.get(); }));
            editor->Editor().setFocus();
            ASSERT_EQ(QApplication::focusWidget(), &editor->Editor());
            QTest::keyClick(&editor->Editor(), c.key, Qt::ControlModifier);
            ASSERT_TRUE(waitFor([&] { return QApplication::activeWindow() == &c.dialog; }));
            EXPECT_EQ(QApplication::focusWidget(), &c.dialog.FindEdit());
        }
    }
}

}  // namespace
