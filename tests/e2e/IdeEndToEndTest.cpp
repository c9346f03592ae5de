// The IDE with each real device plug-in and QuorinAssembler against its
// emulated target: the sample project is built, loaded, run to a breakpoint,
// stepped and stopped, as a user would from the menus.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <gtest/gtest.h>
#include <memory>

#include "DebugController.h"
#include "DeviceList.h"
#include "IdeEndToEndFixture.h"
#include "ProjectSession.h"
#include "Registry.h"

namespace {

using platform::RegistryKey;
using platform::RegistryRoot;

class EachDevicePlugin : public IdeEndToEnd, public testing::WithParamInterface<const DevicePlugin*> {
protected:
    EachDevicePlugin() : IdeEndToEnd(*GetParam()) {}
};

TEST_P(EachDevicePlugin, TheSampleProjectBuildsRunsToABreakpointStepsOverAndStops)
{
    auto form = std::make_unique<TMainForm>();
    form->show();
    settle();
    ASSERT_NE(form->deviceBinding().device(), nullptr);
    ASSERT_EQ(form->deviceBinding().deviceName(), plugin.name);

    form->openFiles({sampleProject()});
    settle();
    ASSERT_NE(form->projectSession().Project(), nullptr);
    EXPECT_EQ(form->deviceBinding().deviceName(), plugin.name);
    EXPECT_EQ(form->deviceBinding().compilerName(), "Quorin Assembler");

    // A breakpoint on the second NOP of the delay routine.
    form->OpenFileAtLine(sampleFile("delay.asm"), 3);
    TFormEditor* delay = editorOf(*form, sampleFile("delay.asm"));
    ASSERT_NE(delay, nullptr);
    form->actions.toggleBreakpoint->trigger();
    ASSERT_TRUE(delay->Editor().HasBreakpointMarker(3));

    form->actions.run->trigger();
    ASSERT_TRUE(waitUntilHalted(*form)) << messages(*form).join('\n').toStdString();
    EXPECT_EQ(markedLines(*form), QStringList{"delay.asm:3"});
    EXPECT_EQ(form->editorWindows().FrontEditor(), delay);
    // The program reached the flash (CALL delay, one word on), the editor's breakpoint the chip.
    EXPECT_EQ(target.chip().code(4, 2), (std::vector<uint8_t>{0x01, 0x3D}));
    const uint32_t breakpoint = target.chip().programCounter();
    EXPECT_EQ(chipBreakpoints(), std::vector<uint32_t>{breakpoint});
    EXPECT_TRUE(target.chip().halted());
    EXPECT_TRUE(form->actions.stepOver->isEnabled());

    // Taken away while halted, the breakpoint leaves the chip at once.
    form->actions.toggleBreakpoint->trigger();
    EXPECT_FALSE(delay->Editor().HasBreakpointMarker(3));
    EXPECT_TRUE(chipBreakpoints().empty());

    form->actions.stepOver->trigger();
    ASSERT_TRUE(waitFor(
        [&] {
            return form->debugControl().DebugState() == DebugController::kHalted
                   && markedLines(*form) != QStringList{"delay.asm:3"};
        },
        kLinkWaitMs))
        << messages(*form).join('\n').toStdString();
    EXPECT_EQ(markedLines(*form), QStringList{"delay.asm:4"});
    EXPECT_EQ(target.chip().programCounter(), breakpoint + 1);
    // The run to the next line took its own breakpoint away again.
    EXPECT_TRUE(chipBreakpoints().empty());

    form->actions.stop->trigger();
    settle();
    EXPECT_EQ(form->debugControl().DebugState(), DebugController::kIdle);
    EXPECT_TRUE(markedLines(*form).isEmpty());
    EXPECT_FALSE(delay->IsReadOnly());
    EXPECT_TRUE(form->actions.run->isEnabled());
    EXPECT_FALSE(form->actions.stepOver->isEnabled());

    // The build's lines, then the device's own from connecting and loading.
    const QStringList expected = QStringList{"Compiling...", "Build Successful."} + loadLines();
    EXPECT_EQ(messages(*form), expected);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(target.chip().protocolErrors().empty());

    boxes.answers.push_back(platform::BoxAnswer::No);
    EXPECT_TRUE(form->close());
}

TEST_P(EachDevicePlugin, AMissingConfigurationFileStaysToldInTheMessagesWindowOnceTheProjectIsOpen)
{
    const QString missing = folders.file("absent/ZERN7100.cfg");
    ASSERT_TRUE(RegistryKey::open(RegistryRoot::CurrentUser, plugin.optionsKey, true)
                    ->writeString("ConfigFile", missing.toStdString()));
    // The project places the Messages window anew after it has chosen its device.
    auto form = startWithSampleProject();
    ASSERT_NE(form->projectSession().Project(), nullptr);
    EXPECT_TRUE(messages(*form).contains(QStringLiteral("Unable to find configuration file: ") + missing))
        << messages(*form).join('\n').toStdString();
    boxes.answers.push_back(platform::BoxAnswer::No);
    EXPECT_TRUE(form->close());
}

INSTANTIATE_TEST_SUITE_P(DevicePlugins, EachDevicePlugin, testing::Values(&kZernJtag, &kZernBrel),
                         [](const testing::TestParamInfo<const DevicePlugin*>& info) {
                             return std::string(info.param->name);
                         });

// A first start after an install: no settings of the user's, only the
// machine-wide device list. The real plug-in is selected, its compilers fill
// the Compiler menu, and the process keeps the folder it was started in.
TEST(IdeFirstStart, SelectsTheInstalledDeviceAndKeepsTheCurrentFolder)
{
    ScopedTestFolders folders;
    qputenv("TOLVANE_PROGRAM_DIR", TOLVANE_BIN_DIR);
    ASSERT_TRUE(RegistryKey::open(RegistryRoot::LocalMachine, devices::kDevicesKey, true)
                    ->writeString("ZernJTAG", ZERNJTAG_PATH));
    ASSERT_FALSE(QFile::exists(folders.registryFile()));
    const QString startFolder = QDir::currentPath();
    platform::RecordingMessageBoxes boxes;
    platform::ScopedMessageBoxes scoped(boxes);
    {
        TMainForm form;
        ASSERT_NE(form.deviceBinding().device(), nullptr);
        EXPECT_EQ(form.deviceBinding().deviceName(), "ZernJTAG");
        EXPECT_TRUE(form.menus.compiler->menuAction()->isVisible());
        EXPECT_EQ(form.deviceBinding().compilerName(), "Quorin Assembler");
        EXPECT_EQ(QDir::currentPath().toStdString(), startFolder.toStdString());
        EXPECT_TRUE(boxes.boxes.empty());
    }
    qunsetenv("TOLVANE_PROGRAM_DIR");
}

}  // namespace
