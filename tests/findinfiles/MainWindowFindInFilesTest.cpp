// Find in Files in the whole IDE: the Edit menu's command on the sample
// project with an edited editor, the results window as tool window 30, and
// Window > Show.
#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>
#include <memory>

#include "AbstractDevice.h"
#include "EditorWindows.h"
#include "MessageBoxes.h"
#include "ModalSteps.h"
#include "ProjectSession.h"
#include "TDialogFindInFiles.h"
#include "TFormEditor.h"
#include "TFormFindInFiles.h"
#include "TMainForm.h"
#include "TestFolders.h"
#include "ToolWindows.h"
#include "WindowThreadWaits.h"

namespace {

class MainWindowFindInFiles : public testing::Test {
protected:
    std::unique_ptr<TMainForm> start()
    {
        auto form = std::make_unique<TMainForm>();
        form->show();
        settle();
        return form;
    }

    ScopedTestFolders folders;
    platform::RecordingMessageBoxes boxes;
    platform::ScopedMessageBoxes scopedBoxes{boxes};
};

TEST_F(MainWindowFindInFiles, TheProjectIsSearchedWithItsEditedEditorAndAHitOpensItsFile)
{
    auto form = start();
    form->openFiles({copySampleProject(folders, TOLVANE_SOURCE_DIR)});
    settle();
    TFormEditor* blink = form->editorWindows().FindEditor(folders.file("blink/blink.asm"));
    ASSERT_NE(blink, nullptr);
    blink->Editor().SendEditor(QsciScintillaBase::SCI_SETTEXT, 0, "; only an unsaved delay call\r\n");

    onNextDialog<TDialogFindInFiles>([](TDialogFindInFiles& dialog) {
        EXPECT_TRUE(dialog.ProjectButton().isEnabled());
        typeInto(&dialog.TextEdit(), QStringLiteral("delay"));
        tick(&dialog.ProjectButton(), true);
        press(&dialog.OkButton());
    });
    form->actions.findInFiles->trigger();
    auto* results = form->toolWindows().openWindowAs<TFormFindInFiles>(tolvane::kViewFindInFiles);
    ASSERT_NE(results, nullptr);
    ASSERT_TRUE(waitFor([results] { return !results->Searching(); }));
    EXPECT_EQ(form->dockWidgetArea(results), Qt::BottomDockWidgetArea);

    const QStringList lines = results->Lines();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], folders.file("blink/blink.asm") + QStringLiteral(" (1): ; only an unsaved delay call"));
    for (const QString& line : lines.mid(1))
        EXPECT_TRUE(line.startsWith(folders.file("blink/delay.asm") + QStringLiteral(" ("))) << line.toStdString();

    results->ListBox().setCurrentIndex(results->Results().index(1));
    results->ListBoxDblClick();
    TFormEditor* delay = form->editorWindows().FrontEditor();
    ASSERT_NE(delay, nullptr);
    EXPECT_EQ(delay->FilePath(), folders.file("blink/delay.asm"));
    // Case is not asked to match: the delay file's first hit is its title, "Delay".
    EXPECT_EQ(QString::fromStdString(delay->Editor().SelectedText()).toLower(), QStringLiteral("delay"));
    EXPECT_EQ(delay->CurrentLine(), results->Results().lineAt(1).find->line);
}

TEST_F(MainWindowFindInFiles, WithoutAProjectOnlyFoldersAreSearchedAndShowMakesTheWindowAtTheBottom)
{
    auto form = start();
    onNextDialog<TDialogFindInFiles>([](TDialogFindInFiles& dialog) {
        EXPECT_FALSE(dialog.ProjectButton().isEnabled());
        EXPECT_TRUE(dialog.DirectoriesButton().isChecked());
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    form->actions.findInFiles->trigger();
    EXPECT_EQ(form->toolWindows().openWindow(tolvane::kViewFindInFiles), nullptr);

    form->actions.showFindInFiles->trigger();
    TDockableForm* window = form->toolWindows().openWindow(tolvane::kViewFindInFiles);
    ASSERT_NE(qobject_cast<TFormFindInFiles*>(window), nullptr);
    EXPECT_EQ(form->dockWidgetArea(window), Qt::BottomDockWidgetArea);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Find In Files"));
}

}  // namespace
