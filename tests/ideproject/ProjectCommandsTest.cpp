// The main window's project commands with the fake device plug-in, driven
// through the menus: Open Project, and projects changed during a debug run.

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>
#include <memory>

#include "DebugController.h"
#include "EditorWindows.h"
#include "FakeDeviceMainWindow.h"
#include "MessageBoxes.h"
#include "ModalSteps.h"
#include "ProjectSession.h"
#include "Registry.h"
#include "TFormEditor.h"
#include "TMainForm.h"
#include "TestFolders.h"
#include "WindowThreadWaits.h"

namespace {

class ProjectCommands : public FakeDeviceMainWindowTest {
protected:
    QString file(const QString& name, const QByteArray& text) const
    {
        const QString path = folders.file("work") + QLatin1Char('/') + name;
        QDir().mkpath(folders.file("work"));
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(text);
        return path;
    }
    static void choose(TMainForm& form, QMenu* menu, QAction* entry)
    {
        chooseMenuEntry(form, *menu, *entry);
        settle();
    }
    static QStringList enabledDebugActions(const TMainForm& form)
    {
        const MainActions& a = form.actions;
        QStringList enabled;
        for (QAction* action :
             {a.run, a.pause, a.stop, a.stepInto, a.stepOver, a.stepOut, a.runToCursor, a.make, a.buildAll})
            if (action->isEnabled())
                enabled << action->text();
        return enabled;
    }
};

TEST_F(ProjectCommands, ChangingTheProjectDuringADebugRunLeavesTheDebugActionsToTheDebugState)
{
    settings()->writeBool("AlwaysAllowRun", true);
    auto form = start();
    QTest::keyClick(form.get(), Qt::Key_F5);
    ASSERT_TRUE(waitFor([&] { return called("Run"); }));
    const QStringList running{"Pause", "Stop"};
    EXPECT_EQ(enabledDebugActions(*form), running);

    choose(*form, form->menus.project, form->actions.newProject);
    ASSERT_NE(form->projectSession().Project(), nullptr);
    EXPECT_EQ(enabledDebugActions(*form), running);

    script.releaseRun();
    ASSERT_TRUE(waitFor([&] { return form->debugControl().DebugState() == DebugController::kHalted; }));
    const QStringList halted{"Run", "Stop", "Step Into", "Step Over", "Step Out", "Run To Cursor"};
    EXPECT_EQ(enabledDebugActions(*form), halted);

    boxes.answers = {platform::BoxAnswer::No};
    choose(*form, form->menus.project, form->actions.closeProject);
    ASSERT_EQ(form->projectSession().Project(), nullptr);
    EXPECT_EQ(enabledDebugActions(*form), halted);

    // Once the run is over the project decides again: there is none.
    QTest::mouseClick(form->toolBars.debug->widgetForAction(form->actions.stop), Qt::LeftButton);
    EXPECT_EQ(form->debugControl().DebugState(), DebugController::kIdle);
    EXPECT_EQ(enabledDebugActions(*form), QStringList{"Run"});
    choose(*form, form->menus.project, form->actions.newProject);
    EXPECT_EQ(enabledDebugActions(*form), QStringList({"Run", "Step Into", "Run To Cursor", "Make", "Build All"}));
}

struct OpenedByOpenProject {
    const char* typed;  // into the dialog's name field, which starts in the work folder
    const char* project;
    const char* editor;
    const char* error;
};

TEST_F(ProjectCommands, OpenProjectTakesEveryFileButASourceForAProject)
{
    const QByteArray project = "[FILES]\r\nblink.asm\r\ndelay.asm\r\n[DEVICE]\r\nFake Device\r\n";
    file("blink.prj", project);
    file("board.project", project);
    file("old.prj", QByteArray(project).replace("\r\n", "\r"));
    file("blink.asm", "        NOP\n");
    file("delay.asm", "        NOP\n");
    const QString notes = file("notes.txt", "shopping list\rmilk\r");

    const OpenedByOpenProject cases[] = {
        {"board.project", "board.project", nullptr, nullptr},
        {"blink", "blink.prj", nullptr, nullptr},
        {"delay.asm", "blink.prj", "delay.asm", nullptr},
        {"old.prj", "old.prj", "delay.asm", nullptr},
        {"notes.txt", nullptr, "delay.asm",
         "Unable to read %1: it holds no project section, so it is no project file."},
    };
    auto form = start();
    form->openDir = folders.file("work");
    for (const OpenedByOpenProject& row : cases) {
        const std::string name = row.typed;
        QString suffix;
        onNextDialog<QFileDialog>([&](QFileDialog& dialog) {
            suffix = dialog.defaultSuffix();
            typeFileName(dialog, QLatin1String(row.typed));
        });
        boxes.boxes.clear();
        boxes.answers = {platform::BoxAnswer::No};
        choose(*form, form->menus.project, form->actions.openProject);
        EXPECT_EQ(suffix, "prj") << name;

        TFormProject* opened = form->projectSession().Project();
        EXPECT_EQ(opened ? QFileInfo(opened->ProjectPath()).fileName() : QString(), QLatin1String(row.project)) << name;
        EXPECT_EQ(opened ? opened->GetProjectFiles().size() : 2, 2) << name;
        TFormEditor* front = form->editorWindows().FrontEditor();
        EXPECT_EQ(front ? QFileInfo(front->FilePath()).fileName() : QString(), QLatin1String(row.editor)) << name;
        const std::string error = row.error ? QString::fromLatin1(row.error).arg(notes).toStdString() : "";
        EXPECT_EQ(
            boxes.boxes.empty() || boxes.boxes.back().caption != "Error! - Tolvane" ? "" : boxes.boxes.back().text,
            error)
            << name;
    }
}

}  // namespace
