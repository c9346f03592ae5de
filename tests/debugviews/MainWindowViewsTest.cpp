// The debug windows in the main window with the fake device selected: Window
// > Show, the refresh after a stop, the device's feature answers, the column
// switches across a restart, the project's window lines, no device reads
// outside a debug run, and a picture of the halted IDE with the device's
// windows docked.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTableView>
#include <gtest/gtest.h>
#include <memory>
#include <set>

#include "BreakpointList.h"
#include "DebugController.h"
#include "DebugViewsFixture.h"
#include "DeviceBinding.h"
#include "DeviceList.h"
#include "FakeDeviceScript.h"
#include "MainSettings.h"
#include "MessageBoxes.h"
#include "ProjectHost.h"
#include "ProjectSession.h"
#include "Registry.h"
#include "TFormBreakPoint.h"
#include "TFormCallStack.h"
#include "TFormMemory.h"
#include "TFormRegisters.h"
#include "TFormStatistics.h"
#include "TFormTrace.h"
#include "TFormVariables.h"
#include "TFormWatches.h"
#include "TMainForm.h"
#include "TestFolders.h"
#include "ToolWindows.h"
#include "WindowThreadWaits.h"

namespace {

using platform::RegistryKey;
using platform::RegistryRoot;
using RegistryKeyPointer = decltype(RegistryKey::open(RegistryRoot::CurrentUser, "", false));

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
    RegistryKeyPointer settings() { return RegistryKey::open(RegistryRoot::CurrentUser, kSettingsKey, true); }
    // Runs and lets the device halt, as at a breakpoint; a released run returns at once.
    static bool runToHalt(TMainForm& form, FakeDeviceScript& script)
    {
        script.releaseRun();
        form.actions.run->trigger();
        return waitFor([&] { return form.debugControl().DebugState() == DebugController::kHalted; });
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
    settings()->writeBool("AlwaysAllowRun", true);
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

    // The windows read the target only in a debug run that has halted.
    ASSERT_TRUE(runToHalt(*form, script));
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

TEST_F(MainWindowViews, OutsideADebugRunNoWindowAsksTheDevice)
{
    script.offerRicherViews();
    const int views[] = {tolvane::kViewCallStack,  tolvane::kViewRegisters, tolvane::kViewMemory,
                         tolvane::kViewStatistics, tolvane::kViewVariables, tolvane::kViewTrace,
                         tolvane::kViewWatches};
    // A project saved with every debug window open.
    const QString project = copySampleProject(folders, TOLVANE_SOURCE_DIR);
    QStringList lines;
    for (int view : views)
        lines << QStringLiteral("%1;0;0;300;200;%2").arg(view).arg(TDockableForm::kFloat);
    ASSERT_TRUE(addWindowLines(project, lines));

    auto form = start();
    form->openFiles({project});
    settle();
    form->deviceBinding().SelectDeviceByName("Fake Device");
    settle();
    for (QAction* show : {form->actions.showRegisters, form->actions.showMemory, form->actions.showWatches})
        show->trigger();
    form->actions.refreshAll->trigger();
    settle();
    for (const std::string& call : script.takeCalls())
        for (const char* read : {"IsViewEnabled", "GetRegister", "GetMemoryBank", "ReadMemory", "HasFeature 43",
                                 "GetCallStack", "GetCycleCount", "GetTraceInfo", "GetVariable"})
            EXPECT_NE(call.rfind(read, 0), 0u) << call;
    for (int view : views) {
        ASSERT_NE(form->toolWindows().openWindow(view), nullptr) << view;
        EXPECT_TRUE(showsNotAccessible(*form->toolWindows().openWindow(view))) << view;
    }
    boxes.answers.push_back(platform::BoxAnswer::No);
    EXPECT_TRUE(form->close());
}

TEST_F(MainWindowViews, ColumnSwitchesSurviveARestart)
{
    {
        auto form = start();
        form->actions.showRegisters->trigger();
        auto* registers = form->toolWindows().openWindowAs<TFormRegisters>(tolvane::kViewRegisters);
        ASSERT_NE(registers, nullptr);
        registers->columns().MenuItemClicked(RegisterTableModel::Binary);
        registers->columns().MenuItemClicked(RegisterTableModel::Address);
        EXPECT_TRUE(form->close());
    }
    auto form = start();
    form->actions.showRegisters->trigger();
    auto* registers = form->toolWindows().openWindowAs<TFormRegisters>(tolvane::kViewRegisters);
    ASSERT_NE(registers, nullptr);
    const ViewSwitches switches = registers->columns().switches();
    EXPECT_TRUE(switches.hex);
    EXPECT_TRUE(switches.decimal);
    EXPECT_FALSE(switches.binary);
    EXPECT_TRUE(switches.address);
    EXPECT_EQ(registers->columns().columnOf(RegisterTableModel::Address), 3);
    EXPECT_TRUE(form->close());
}

TEST_F(MainWindowViews, TheRicherViewsDockWhereTheyBelongAndARefreshAfterAStopReachesEachOne)
{
    script.offerRicherViews();
    settings()->writeBool("AlwaysAllowRun", true);
    auto form = start();
    const MainActions& a = form->actions;
    for (QAction* show : {a.showCallStack, a.showStatistics, a.showTrace, a.showVariables, a.showWatches}) {
        ASSERT_TRUE(show->isVisible()) << show->text().toStdString();
        show->trigger();
    }
    ToolWindows& windows = form->toolWindows();
    const std::pair<int, Qt::DockWidgetArea> sites[] = {{tolvane::kViewCallStack, Qt::RightDockWidgetArea},
                                                        {tolvane::kViewStatistics, Qt::BottomDockWidgetArea},
                                                        {tolvane::kViewTrace, Qt::RightDockWidgetArea},
                                                        {tolvane::kViewVariables, Qt::RightDockWidgetArea},
                                                        {tolvane::kViewWatches, Qt::RightDockWidgetArea}};
    for (const auto& [view, site] : sites) {
        ASSERT_NE(windows.openWindow(view), nullptr) << view;
        EXPECT_EQ(form->dockWidgetArea(windows.openWindow(view)), site) << view;
    }

    // After a stop each window has read the device, or reads when its tab is raised.
    script.takeCalls();
    ASSERT_TRUE(runToHalt(*form, script));
    const std::vector<std::string> afterStop = script.takeCalls();
    const std::pair<int, const char*> reads[] = {{tolvane::kViewCallStack, "GetCallStack"},
                                                 {tolvane::kViewStatistics, "GetCycleCount"},
                                                 {tolvane::kViewTrace, "GetTraceInfo"},
                                                 {tolvane::kViewVariables, "GetVariableCount"},
                                                 {tolvane::kViewWatches, "GetVariableCount"}};
    for (const auto& [view, read] : reads) {
        TDockableForm* window = windows.openWindow(view);
        const bool readNow = std::count(afterStop.begin(), afterStop.end(), read) > 0;
        EXPECT_TRUE(readNow || window->RefreshPending()) << view;
    }
    a.showCallStack->trigger();
    settle();
    EXPECT_FALSE(windows.openWindow(tolvane::kViewCallStack)->RefreshPending());
    EXPECT_EQ(windows.openWindowAs<TFormCallStack>(tolvane::kViewCallStack)->model().rowCount(), 3);

    // Watch Selected reaches the Watches window through the main window.
    a.showVariables->trigger();
    settle();
    auto* variables = windows.openWindowAs<TFormVariables>(tolvane::kViewVariables);
    variables->grid()->setCurrentIndex(variables->model().index(1, ValueGridModel::Name));
    variables->watchAction()->trigger();
    settle();
    auto* watches = windows.openWindowAs<TFormWatches>(tolvane::kViewWatches);
    EXPECT_TRUE(watches->IsShowing());
    ASSERT_EQ(watches->model().rowCount(), 1);
    EXPECT_EQ(watches->model().index(0, ValueGridModel::Decimal).data().toString(), "300");

    // Trace Execution starts and stops the device's trace.
    a.traceExecution->trigger();
    EXPECT_TRUE(script.tracing);
    a.traceExecution->trigger();
    EXPECT_FALSE(script.tracing);

    a.stop->trigger();
    EXPECT_TRUE(waitFor([&] { return form->debugControl().DebugState() == DebugController::kIdle; }));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(form->close());
}

TEST_F(MainWindowViews, VariablesAndWatchesColumnSwitchesSurviveARestart)
{
    script.offerRicherViews();
    {
        auto form = start();
        form->actions.showVariables->trigger();
        form->actions.showWatches->trigger();
        auto* variables = form->toolWindows().openWindowAs<TFormVariables>(tolvane::kViewVariables);
        auto* watches = form->toolWindows().openWindowAs<TFormWatches>(tolvane::kViewWatches);
        ASSERT_TRUE(variables && watches);
        variables->columns().MenuItemClicked(ValueGridModel::Decimal);
        watches->columns().MenuItemClicked(ValueGridModel::Address);
        watches->columns().MenuItemClicked(ValueGridModel::Hexadecimal);
        EXPECT_TRUE(form->close());
    }
    const auto key = settings();
    EXPECT_EQ(key->readBool("VariablesShowDecimal"), false);
    EXPECT_EQ(key->readBool("VariablesShowAddress"), false);
    EXPECT_EQ(key->readBool("WatchesShowHex"), false);
    EXPECT_EQ(key->readBool("WatchesShowAddress"), true);

    auto form = start();
    form->actions.showVariables->trigger();
    form->actions.showWatches->trigger();
    ValueColumns& variables = form->toolWindows().openWindowAs<TFormVariables>(tolvane::kViewVariables)->columns();
    ValueColumns& watches = form->toolWindows().openWindowAs<TFormWatches>(tolvane::kViewWatches)->columns();
    EXPECT_FALSE(variables.switches().decimal);
    EXPECT_TRUE(variables.switches().hex);
    EXPECT_EQ(variables.visibleColumns(), 3);
    EXPECT_TRUE(watches.switches().address);
    EXPECT_FALSE(watches.switches().hex);
    EXPECT_EQ(watches.columnOf(ValueGridModel::Address), 3);
    EXPECT_TRUE(form->close());
}

TEST_F(MainWindowViews, TheProjectKeepsTheRicherWindowsInItsWindowLines)
{
    script.offerRicherViews();
    const QString project = copySampleProject(folders, TOLVANE_SOURCE_DIR);
    {
        auto form = start();
        form->openFiles({project});
        settle();
        const MainActions& a = form->actions;
        for (QAction* show : {a.showWatches, a.showTrace, a.showStatistics, a.showVariables, a.showCallStack})
            show->trigger();
        ASSERT_EQ(form->projectSession().SaveProject(), kSaveGoOn);
        boxes.answers.push_back(platform::BoxAnswer::No);
        EXPECT_TRUE(form->close());
    }
    QFile saved(project);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(saved.readAll());
    const qsizetype from = text.indexOf(QStringLiteral("[WINDOWS]\r\n"));
    const qsizetype to = text.indexOf(QStringLiteral("[BREAKPOINTS]"));
    ASSERT_TRUE(from >= 0 && to > from);
    QStringList ids;
    for (const QString& line : text.mid(from, to - from).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).mid(1))
        ids << line.section(QLatin1Char(';'), 0, 0);
    EXPECT_EQ(ids, QStringList({"21", "22", "23", "26", "27", "31", "29"}));

    auto form = start();
    form->openFiles({project});
    settle();
    for (int view : kFakeRicherViews)
        EXPECT_NE(form->toolWindows().openWindow(view), nullptr) << view;
    boxes.answers.push_back(platform::BoxAnswer::No);
    EXPECT_TRUE(form->close());
}

TEST_F(MainWindowViews, HaltedWithTheRicherWindowsDockedThePictureShowsThem)
{
    script.offerRicherViews();
    settings()->writeBool("AlwaysAllowRun", true);
    const QString blink = QFileInfo(copySampleProject(folders, TOLVANE_SOURCE_DIR)).absolutePath() + "/blink.asm";
    script.lineAddresses[{blink.toStdString(), 3}] = 0x104;
    script.programCounter = 0x104;
    auto form = start();
    form->resize(1500, 950);
    form->OpenFileAtLine(blink, 1);
    ToolWindows& windows = form->toolWindows();
    // One window to a place, so that each shows: the call stack on the left,
    // variables above watches on the right, the trace beside the statistics
    // at the bottom.
    windows.create(tolvane::kViewCallStack, QRect(0, 0, 220, 300), TDockableForm::kDockLeft);
    auto* variables = windows.create(tolvane::kViewVariables, QRect(0, 0, 560, 300), TDockableForm::kDockRight);
    auto* trace = windows.create(tolvane::kViewTrace, QRect(0, 0, 900, 330), TDockableForm::kDockBottom);
    auto* watches =
        qobject_cast<TFormWatches*>(windows.create(tolvane::kViewWatches, std::nullopt, TDockableForm::kFloatHidden));
    auto* statistics = windows.create(tolvane::kViewStatistics, std::nullopt, TDockableForm::kFloatHidden);
    ASSERT_TRUE(variables && trace && watches && statistics);
    for (auto [beside, split, along] : {std::tuple(variables, static_cast<TDockableForm*>(watches), Qt::Vertical),
                                        std::tuple(trace, statistics, Qt::Horizontal)}) {
        form->splitDockWidget(beside, split, along);
        split->setFloating(false);
        split->ShowInPage();
    }
    settle();
    for (const char* name : {"count", "Count", "total"})
        watches->AddWatchRow(QString::fromLatin1(name));
    ASSERT_TRUE(runToHalt(*form, script));
    settle();

    auto* shownTrace = qobject_cast<TFormTrace*>(trace);
    EXPECT_EQ(shownTrace->model().rowCount(), 4096);
    EXPECT_EQ(qobject_cast<TFormStatistics*>(statistics)->executionTimeText(), "01:02:03.004");
    EXPECT_EQ(watches->model().index(1, ValueGridModel::Decimal).data().toString(), "N/A");
    const QImage image = form->grab().toImage();
    ASSERT_TRUE(QDir().mkpath(SCREENSHOT_DIR));
    EXPECT_TRUE(image.save(QStringLiteral(SCREENSHOT_DIR "/debug-windows-richer-device.png")));
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 8u);
    EXPECT_TRUE(boxes.boxes.empty());

    form->actions.stop->trigger();
    EXPECT_TRUE(waitFor([&] { return form->debugControl().DebugState() == DebugController::kIdle; }));
    EXPECT_TRUE(form->close());
}

}  // namespace
