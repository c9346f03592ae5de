// The debug windows with the real ZernJTAG plug-in against the board
// emulator: halted at a breakpoint of the sample project, the Registers
// window shows the chip's registers, a register and a memory word typed into
// the windows reach the chip, the breakpoint list, the editors' markers and
// the chip's breakpoint slots agree through add, remove, save and reload and
// while the target runs, and nothing connects before the user debugs.

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QItemSelectionModel>
#include <QTableView>
#include <memory>
#include <set>

#include "BreakpointList.h"
#include "DebugController.h"
#include "GridEditing.h"
#include "IdeEndToEndFixture.h"
#include "ProjectSession.h"
#include "TFormBreakPoint.h"
#include "TFormMemory.h"
#include "TFormRegisters.h"
#include "ToolWindows.h"

namespace {

class DebugViewsEndToEnd : public IdeEndToEnd {
protected:
    // Sets or clears the breakpoint at the line through the front editor, as the Toggle Breakpoint action does.
    static void toggleAt(TMainForm& form, const QString& file, int line)
    {
        form.OpenFileAtLine(file, line);
        form.actions.toggleBreakpoint->trigger();
    }
    static bool runToBreakpoint(TMainForm& form)
    {
        form.actions.run->trigger();
        return waitUntilHalted(form);
    }
    static QStringList listed(TMainForm& form)
    {
        QStringList rows;
        for (const SourceBreakpoint& row : form.breakpointList().rows())
            rows << QFileInfo(row.file).fileName() + QLatin1Char(':') + QString::number(row.line);
        return rows;
    }
    // Sorted by file name and line.
    static QStringList marked(TMainForm& form)
    {
        QStringList lines;
        for (TFormEditor* editor : form.editorWindows().Editors())
            for (int line = 1; line <= 12; ++line)
                if (editor->Editor().HasBreakpointMarker(line))
                    lines << QFileInfo(editor->FilePath()).fileName() + QLatin1Char(':') + QString::number(line);
        lines.sort();
        return lines;
    }
    // The code address of a source line, as the device maps it.
    static uint32_t addressOf(TMainForm& form, const QString& file, int line)
    {
        unsigned address = 0;
        form.deviceBinding().device()->LineToAddress(QFile::encodeName(file).constData(), line, &address);
        return address;
    }
    static QString cellText(QTableView* grid, int row, int column)
    {
        return grid->model()->index(row, column).data().toString();
    }
};

TEST_F(DebugViewsEndToEnd, HaltedAtABreakpointTheWindowsShowAndEditTheChip)
{
    auto form = startWithSampleProject();
    // Values the program leaves alone.
    target.chip().setRegister(0, 1, 0x1234);
    target.chip().setData(2 * 0x25, {0x34, 0x12});
    toggleAt(*form, sampleFile("delay.asm"), 3);
    ASSERT_TRUE(runToBreakpoint(*form)) << messages(*form).join('\n').toStdString();

    ToolWindows& windows = form->toolWindows();
    form->actions.showRegisters->trigger();
    form->actions.showMemory->trigger();
    // Room for a few rows of words, and the breakpoints in a dock site of
    // their own, so that all three windows show.
    windows.create(tolvane::kViewMemory, QRect(0, 0, 800, 260), TDockableForm::kDockBottom);
    windows.create(tolvane::kViewBreakpoints, QRect(0, 0, 400, 130), TDockableForm::kDockTop);
    auto* registers = windows.openWindowAs<TFormRegisters>(tolvane::kViewRegisters);
    auto* memory = windows.openWindowAs<TFormMemory>(tolvane::kViewMemory);
    ASSERT_TRUE(registers && memory && windows.openWindow(tolvane::kViewBreakpoints));
    settle();

    // The chip's registers, by group: "Core" lists A0, A1 and SP.
    EXPECT_EQ(registers->groupCombo()->count(), 2);
    EXPECT_EQ(registers->groupCombo()->currentText(), "Core");
    QTableView* grid = registers->grid();
    QStringList shown;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        if (!grid->isRowHidden(row))
            shown << cellText(grid, row, RegisterTableModel::Name);
    EXPECT_EQ(shown, QStringList({"A0", "A1", "SP"}));
    EXPECT_EQ(cellText(grid, 1, RegisterTableModel::Hexadecimal), "1234");
    EXPECT_EQ(cellText(grid, 1, RegisterTableModel::Decimal), "4660");

    // A register typed in place reaches the chip and reads back.
    ASSERT_TRUE(typeIntoCell(*grid, grid->model()->index(1, RegisterTableModel::Hexadecimal), "0xBEEF"));
    EXPECT_EQ(target.chip().registerValue(0, 1), 0xBEEF);
    EXPECT_EQ(cellText(grid, 1, RegisterTableModel::Decimal), "48879");

    // A word of the data bank the same way.
    memory->bankCombo()->setCurrentIndex(1);
    settle();
    EXPECT_EQ(memory->bankCombo()->currentText(), "Data");
    QTableView* words = memory->grid();
    EXPECT_EQ(cellText(words, 2, 5), "1234");
    ASSERT_TRUE(typeIntoCell(*words, words->model()->index(2, 6), "C0DE"));
    EXPECT_EQ(target.chip().data(2 * 0x26, 2), (std::vector<uint8_t>{0xDE, 0xC0}));
    EXPECT_EQ(cellText(words, 2, 6), "C0DE");

    // The picture of the halted IDE with the three windows docked.
    settle();
    const QImage image = form->grab().toImage();
    ASSERT_TRUE(QDir().mkpath(SCREENSHOT_DIR));
    EXPECT_TRUE(image.save(QStringLiteral(SCREENSHOT_DIR "/debug-windows-halted.png")));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(target.chip().protocolErrors().empty());

    EXPECT_TRUE(stopAndClose(*form));
}

TEST_F(DebugViewsEndToEnd, TheListTheMarkersAndTheChipAgreeThroughRemoveSaveAndReload)
{
    auto form = startWithSampleProject();
    const QString blink = sampleFile("blink.asm");
    const QString delay = sampleFile("delay.asm");
    toggleAt(*form, delay, 3);
    ASSERT_TRUE(runToBreakpoint(*form)) << messages(*form).join('\n').toStdString();
    const uint32_t inDelay = addressOf(*form, delay, 3);
    const uint32_t inLoop = addressOf(*form, blink, 3);

    // Added while halted: in the list, marked, and in a chip slot at once.
    toggleAt(*form, blink, 3);
    EXPECT_EQ(listed(*form), QStringList({"delay.asm:3", "blink.asm:3"}));
    EXPECT_EQ(marked(*form), QStringList({"blink.asm:3", "delay.asm:3"}));
    std::vector<uint32_t> expected{inDelay, inLoop};
    std::sort(expected.begin(), expected.end());
    std::vector<uint32_t> held = chipBreakpoints();
    std::sort(held.begin(), held.end());
    EXPECT_EQ(held, expected);

    // Removed in the Breakpoints window: gone from the list, the editor and the chip.
    form->actions.showBreakpoints->trigger();
    auto* window = form->toolWindows().openWindowAs<TFormBreakPoint>(tolvane::kViewBreakpoints);
    ASSERT_NE(window, nullptr);
    window->grid()->selectionModel()->select(window->grid()->model()->index(0, 0),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    window->removeAction()->trigger();
    EXPECT_EQ(listed(*form), QStringList{"blink.asm:3"});
    EXPECT_EQ(marked(*form), QStringList{"blink.asm:3"});
    EXPECT_EQ(chipBreakpoints(), std::vector<uint32_t>{inLoop});

    // Saved, then changed without saving.
    ASSERT_EQ(form->projectSession().SaveProject(), kSaveGoOn);
    toggleAt(*form, delay, 4);
    EXPECT_EQ(listed(*form), QStringList({"blink.asm:3", "delay.asm:4"}));
    EXPECT_EQ(chipBreakpoints().size(), 2u);
    ASSERT_TRUE(stopAndClose(*form));
    form.reset();
    QFile saved(sampleFile("blink.prj"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().endsWith("[BREAKPOINTS]\r\nblink.asm;3\r\n"));

    // After a restart the list and the markers are the saved ones, and a
    // debug start gives the chip exactly those.
    form = startWithSampleProject();
    EXPECT_EQ(listed(*form), QStringList{"blink.asm:3"});
    form->OpenFileAtLine(delay, 1);
    EXPECT_EQ(marked(*form), QStringList{"blink.asm:3"});
    ASSERT_TRUE(runToBreakpoint(*form)) << messages(*form).join('\n').toStdString();
    // A fresh link knows nothing of the slots the last session left set in
    // the emulated chip, so only the addresses are compared.
    held = chipBreakpoints();
    EXPECT_EQ(std::set<uint32_t>(held.begin(), held.end()), std::set<uint32_t>{inLoop});
    EXPECT_EQ(target.chip().programCounter(), inLoop);
    EXPECT_EQ(markedLines(*form), QStringList{"blink.asm:3"});
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Save changes to blink.prj?");

    EXPECT_TRUE(stopAndClose(*form));
}

TEST_F(DebugViewsEndToEnd, BreakpointsChangedWhileTheTargetRunsStopItThere)
{
    auto form = startWithSampleProject();
    const QString blink = sampleFile("blink.asm");
    const QString delay = sampleFile("delay.asm");
    toggleAt(*form, blink, 3);
    ASSERT_TRUE(runToBreakpoint(*form)) << messages(*form).join('\n').toStdString();
    const uint32_t inDelay = addressOf(*form, delay, 3);

    // The chip runs on past its breakpoints until the test lets it halt, so
    // that the changes are made while it surely runs.
    zern::chipmodel::FaultPlan pastBreakpoints;
    pastBreakpoints.neverHalts = true;
    target.chip().setFaults(pastBreakpoints);
    form->actions.run->trigger();
    ASSERT_EQ(form->debugControl().DebugState(), DebugController::kRunning);
    toggleAt(*form, blink, 3);
    toggleAt(*form, delay, 3);
    EXPECT_EQ(chipBreakpoints(), std::vector<uint32_t>{inDelay});
    target.chip().setFaults({});
    ASSERT_TRUE(waitUntilHalted(*form));
    EXPECT_EQ(target.chip().programCounter(), inDelay);
    EXPECT_EQ(markedLines(*form), QStringList{"delay.asm:3"});
    EXPECT_EQ(listed(*form), QStringList{"delay.asm:3"});
    EXPECT_EQ(chipBreakpoints(), std::vector<uint32_t>{inDelay});

    EXPECT_TRUE(stopAndClose(*form));
}

TEST_F(DebugViewsEndToEnd, AProjectSavedWithDebugWindowsOpenConnectsOnlyWhenTheUserDebugs)
{
    ASSERT_TRUE(addWindowLines(sampleProject(), {"24;0;0;300;400;9", "25;0;0;800;200;11"}));
    auto form = startWithSampleProject();
    ASSERT_NE(form->toolWindows().openWindow(tolvane::kViewRegisters), nullptr);
    ASSERT_NE(form->toolWindows().openWindow(tolvane::kViewMemory), nullptr);
    form->deviceBinding().SelectDeviceByName(QString::fromLatin1(plugin.name));
    form->actions.refreshAll->trigger();
    settle();
    EXPECT_FALSE(messages(*form).contains("Opening serial port...")) << messages(*form).join('\n').toStdString();
    EXPECT_TRUE(boxes.boxes.empty());

    // Debugging connects, and the windows show the chip once it halts.
    toggleAt(*form, sampleFile("blink.asm"), 3);
    ASSERT_TRUE(runToBreakpoint(*form)) << messages(*form).join('\n').toStdString();
    EXPECT_TRUE(messages(*form).contains("Opening serial port..."));
    form->actions.showRegisters->trigger();
    settle();
    auto* registers = form->toolWindows().openWindowAs<TFormRegisters>(tolvane::kViewRegisters);
    EXPECT_EQ(cellText(registers->grid(), 0, RegisterTableModel::Name), "A0");

    EXPECT_TRUE(stopAndClose(*form));
}

}  // namespace
