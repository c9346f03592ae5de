// The debug windows in the main window with the fake device selected: Window
// > Show, the refresh after a stop, the device's feature answers and the
// column switches across a restart.
#include <QAction>
#include <QTableView>
#include <gtest/gtest.h>
#include <memory>

#include "BreakpointList.h"
#include "DeviceBinding.h"
#include "DeviceList.h"
#include "FakeDeviceScript.h"
#include "MainSettings.h"
#include "MessageBoxes.h"
#include "Registry.h"
#include "TFormBreakPoint.h"
#include "TFormMemory.h"
#include "TFormRegisters.h"
#include "TMainForm.h"
#include "TestFolders.h"
#include "ToolWindows.h"
#include "WindowThreadWaits.h"

namespace {

using platform::RegistryKey;
using platform::RegistryRoot;

class MainWindowViews : public testing::Test {
protected:
    void SetUp() override
    {
        script.install();
        script.features = {tolvane::kViewRegisters, tolvane::kViewMemory};
        script.enabledViews = script.features;
        script.registers = {{"A0", 1, 16, 0, "0"}};
        script.banks = {{"Data", 0, 16, {1, 2, 3}, false}};
        auto devices = RegistryKey::open(RegistryRoot::CurrentUser, devices::kDevicesKey, true);
        ASSERT_TRUE(devices && devices->writeString("Fake Device", FAKE_DEVICE));
        ASSERT_TRUE(
            RegistryKey::open(RegistryRoot::CurrentUser, kSettingsKey, true)->writeString("Device", "Fake Device"));
    }
    std::unique_ptr<TMainForm> start()
    {
        auto form = std::make_unique<TMainForm>();
        form->show();
        settle();
        return form;
    }
    int count(const std::string& call)
    {
        int found = 0;
        for (const std::string& logged : script.takeCalls())
            found += logged == call ? 1 : 0;
        return found;
    }

    ScopedTestFolders folders;
    FakeDeviceScript script;
    platform::RecordingMessageBoxes boxes;
    platform::ScopedMessageBoxes scopedBoxes{boxes};
};

TEST_F(MainWindowViews, ShownWindowsDockWhereTheyBelongAndOnlyTheRefreshedOnesAreRefreshed)
{
    auto form = start();
    form->actions.showRegisters->trigger();
    form->actions.showMemory->trigger();
    form->actions.showBreakpoints->trigger();
    ToolWindows& windows = form->toolWindows();
    auto* registers = windows.openWindowAs<TFormRegisters>(tolvane::kViewRegisters);
    auto* memory = windows.openWindowAs<TFormMemory>(tolvane::kViewMemory);
    auto* breakpoints = windows.openWindowAs<TFormBreakPoint>(tolvane::kViewBreakpoints);
    ASSERT_TRUE(registers && memory && breakpoints);
    EXPECT_EQ(form->dockWidgetArea(registers), Qt::RightDockWidgetArea);
    EXPECT_EQ(form->dockWidgetArea(memory), Qt::BottomDockWidgetArea);
    EXPECT_EQ(form->dockWidgetArea(breakpoints), Qt::RightDockWidgetArea);
    // The Breakpoints window came last and covers the Registers window.
    EXPECT_FALSE(registers->IsShowing());
    EXPECT_EQ(breakpoints->grid()->model(), static_cast<QAbstractItemModel*>(&form->breakpointList()));

    script.takeCalls();
    form->actions.refreshAll->trigger();
    EXPECT_EQ(count("Refresh"), 0);  // the fake device does not log its Refresh
    EXPECT_TRUE(registers->RefreshPending());
    form->actions.showRegisters->trigger();
    settle();
    EXPECT_FALSE(registers->RefreshPending());
    EXPECT_EQ(registers->model().index(0, RegisterTableModel::Name).data().toString(), "A0");

    // Another device without the registers view closes the window.
    script.features = {tolvane::kViewMemory};
    form->deviceBinding().SelectDeviceByName("Fake Device");
    settle();
    EXPECT_EQ(windows.openWindow(tolvane::kViewRegisters), nullptr);
    EXPECT_NE(windows.openWindow(tolvane::kViewMemory), nullptr);
    EXPECT_NE(windows.openWindow(tolvane::kViewBreakpoints), nullptr);
    EXPECT_TRUE(form->close());
}

TEST_F(MainWindowViews, ColumnSwitchesSurviveARestart)
{
    {
        auto form = start();
        form->actions.showRegisters->trigger();
        auto* registers = form->toolWindows().openWindowAs<TFormRegisters>(tolvane::kViewRegisters);
        ASSERT_NE(registers, nullptr);
        registers->MenuItemClicked(RegisterTableModel::Binary);
        registers->MenuItemClicked(RegisterTableModel::Address);
        EXPECT_TRUE(form->close());
    }
    auto form = start();
    form->actions.showRegisters->trigger();
    auto* registers = form->toolWindows().openWindowAs<TFormRegisters>(tolvane::kViewRegisters);
    ASSERT_NE(registers, nullptr);
    const ViewSwitches switches = registers->switches();
    EXPECT_TRUE(switches.hex);
    EXPECT_TRUE(switches.decimal);
    EXPECT_FALSE(switches.binary);
    EXPECT_TRUE(switches.address);
    EXPECT_EQ(registers->columnOf(RegisterTableModel::Address), 3);
    EXPECT_TRUE(form->close());
}

}  // namespace
