// The IDE with ZernJTAG and QuorinAssembler against the board emulator: a
// debug run after the device's configuration was read again, and a memory
// bank whose words are not whole bytes in the Memory window.

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <memory>

#include "DebugController.h"
#include "GridEditing.h"
#include "IdeEndToEndFixture.h"
#include "ModalSteps.h"
#include "ProductKey.h"
#include "TFormMemory.h"
#include "ToolWindows.h"

namespace {

using platform::RegistryKey;
using platform::RegistryRoot;

class IdeSession : public IdeEndToEnd {
protected:
    // Sets a breakpoint on the second NOP of the delay routine and runs, with
    // the tool buttons, until the target halts.
    bool runToTheDelayBreakpoint(TMainForm& form)
    {
        form.OpenFileAtLine(sampleFile("delay.asm"), 3);
        QTest::mouseClick(form.toolBars.debug->widgetForAction(form.actions.toggleBreakpoint), Qt::LeftButton);
        QTest::mouseClick(form.toolBars.debug->widgetForAction(form.actions.run), Qt::LeftButton);
        const bool halted = waitUntilHalted(form);
        if (!halted)
            form.actions.stop->trigger();
        return halted;
    }
};

TEST_F(IdeSession, AfterTheDeviceOptionsAreAcceptedTheLastBuildStillHaltsAtItsBreakpointAndShowsTheLine)
{
    // Debug runs take the last build as it is.
    ASSERT_TRUE(RegistryKey::open(RegistryRoot::CurrentUser, std::string(tolvane::kProductKey) + plugin.name, true)
                    ->writeString("SkipBuilding", "1"));
    auto form = startWithSampleProject();
    QTest::keyClick(form.get(), Qt::Key_F7);
    ASSERT_TRUE(messages(*form).contains("Build Successful.")) << messages(*form).join('\n').toStdString();
    bool accepted = false;
    onNextDialog<QDialog>([&](QDialog& dialog) {
        press(dialog.findChild<QPushButton*>(QStringLiteral("ButtonOK")));
        accepted = !dialog.isVisible();
    });
    chooseMenuEntry(*form, *form->menus.device, *form->actions.deviceOptions);
    ASSERT_TRUE(accepted);

    ASSERT_TRUE(runToTheDelayBreakpoint(*form)) << messages(*form).join('\n').toStdString();
    EXPECT_EQ(markedLines(*form), QStringList{"delay.asm:3"});
    EXPECT_EQ(chipBreakpoints(), std::vector<uint32_t>{target.chip().programCounter()});
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(stopAndClose(*form));
}

TEST_F(IdeSession, TheMemoryWindowShowsAndEditsABankOfTwelveBitWords)
{
    // Words 0x20 on of twelve bits, two bytes each, from byte 0x300 of the chip's data memory.
    QFile configuration(folders.file("chip.cfg"));
    ASSERT_TRUE(configuration.open(QIODevice::WriteOnly));
    configuration.write(QByteArray(kChipConfiguration)
                            .replace("[MEMORY BANKS]\n2\n", "[MEMORY BANKS]\n3\n")
                            .append("Narrow, x, 0x40, 0x300, 12, 0x30, other\n"));
    configuration.close();
    target.chip().setData(0x300 + 2 * 3, {0x34, 0xF2});
    auto form = startWithSampleProject();
    ASSERT_TRUE(runToTheDelayBreakpoint(*form)) << messages(*form).join('\n').toStdString();

    form->actions.showMemory->trigger();
    form->toolWindows().create(tolvane::kViewMemory, QRect(0, 0, 800, 260), TDockableForm::kDockBottom);
    auto* memory = form->toolWindows().openWindowAs<TFormMemory>(tolvane::kViewMemory);
    ASSERT_NE(memory, nullptr);
    settle();
    ASSERT_EQ(memory->bankCombo()->count(), 3);
    memory->bankCombo()->setFocus();
    QTest::keyClick(memory->bankCombo(), Qt::Key_Down);
    QTest::keyClick(memory->bankCombo(), Qt::Key_Down);
    settle();
    EXPECT_EQ(memory->bankCombo()->currentText(), "Narrow");

    QTableView* words = memory->grid();
    EXPECT_EQ(words->model()->headerData(0, Qt::Vertical).toString(), "0x20");
    EXPECT_EQ(words->model()->index(0, 3).data().toString(), "234");
    ASSERT_TRUE(typeIntoCell(*words, words->model()->index(0, 5), "ABC"));
    EXPECT_EQ(target.chip().data(0x300 + 2 * 5, 2), (std::vector<uint8_t>{0xBC, 0x0A}));
    EXPECT_EQ(words->model()->index(0, 5).data().toString(), "ABC");
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(stopAndClose(*form));
}

}  // namespace
