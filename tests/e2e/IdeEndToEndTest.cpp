// The IDE with each real device plug-in and QuorinAssembler against its
// emulated target (ZernJTAG behind the adapter board, ZernBrel on the
// Solbus): the sample project is built, loaded, run to a breakpoint, stepped
// and stopped, as a user would from the menus.

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <vector>

#include "ChipBoardEmulator.h"
#include "ChipSolbusEmulator.h"
#include "DebugController.h"
#include "DeviceBinding.h"
#include "DeviceList.h"
#include "EditorWindows.h"
#include "MainSettings.h"
#include "MessageBoxes.h"
#include "ProjectSession.h"
#include "Registry.h"
#include "ScintillaEditor.h"
#include "TFormEditor.h"
#include "TMainForm.h"
#include "TestFolders.h"
#include "WindowThreadWaits.h"

namespace {

using platform::RegistryKey;
using platform::RegistryRoot;

// A 16-bit chip with one code bank, quick to erase and to start.
const char kChipConfiguration[] =
    "[PROCESSOR_FAMILY]\n20\n[EXPECTED ERASE TIME]\n5\n[STARTUP DELAY]\n200\n"
    "[MEMORY BANKS]\n1\nCode, x, 0, 0x10000, 16, 0x800, code\n";

// Connecting, erasing and loading over the emulated link take a few seconds.
constexpr int kLinkWaitMs = 20000;

// A device plug-in and the lines it adds to the Messages window while it
// connects and loads the sample program (the run, the step and the stop add none).
struct DevicePlugin {
    const char* name;
    const char* library;
    const char* optionsKey;
    QStringList (*connectLines)(const QString& port);
    // After "Erasing...".
    QStringList eraseLines;
};

QStringList jtagConnectLines(const QString& port)
{
    return {"Looking for USB JTAG Dongle...",       "Not found.", "Opening serial port...",
            QStringLiteral("Opened %1.").arg(port), "Connected.", "Setting JTAG clock rate to 200 kHz"};
}

QStringList solbusConnectLines(const QString& port)
{
    return {"Opening serial port...", QStringLiteral("Opened %1.").arg(port), "Checking hyperdrive configuration",
            "Hyperdrive turned OFF.", "Connected."};
}

QStringList loadLines(const DevicePlugin& plugin, const QString& port)
{
    return plugin.connectLines(port)
           + QStringList{"Program Size: 14 bytes",
                         "Loading 14 bytes @ 0x0000...",
                         "Entering Loader",
                         "Prompt received.",
                         "Entering Loader",
                         "Prompt received.",
                         "Erasing..."}
           + plugin.eraseLines + QStringList{"Done.", "Post-Load Delay: 0", "Delay Complete"};
}

const DevicePlugin kDevicePlugins[] = {
    {"ZernJTAG",
     ZERNJTAG_PATH,
     "\\Software\\Quorin Semiconductor\\Tolvane\\ZERNJTAGOptions\\",
     jtagConnectLines,
     {"Erasing last block of flash."}},
    {"ZernBrel", ZERNBREL_PATH, "\\Software\\Quorin Semiconductor\\Tolvane\\ZERNBRELOptions\\", solbusConnectLines, {}},
};

// The chip behind the plug-in's own adapter, emulated on a pseudo-terminal.
class EmulatedTarget {
public:
    explicit EmulatedTarget(const std::string& device)
    {
        if (device == "ZernBrel")
            bus_ = std::make_unique<testing_support::ChipSolbusEmulator>();
        else
            board_ = std::make_unique<testing_support::ChipBoardEmulator>();
    }
    zern::chipmodel::ChipModel& chip() { return bus_ ? bus_->chip() : board_->chip(); }
    std::string devicePath() const { return bus_ ? bus_->devicePath() : board_->devicePath(); }

private:
    std::unique_ptr<testing_support::ChipBoardEmulator> board_;
    std::unique_ptr<testing_support::ChipSolbusEmulator> bus_;
};

class IdeEndToEnd : public testing::TestWithParam<DevicePlugin> {
protected:
    void SetUp() override
    {
        qputenv("TOLVANE_PROGRAM_DIR", TOLVANE_BIN_DIR);
        auto devices = RegistryKey::open(RegistryRoot::CurrentUser, devices::kDevicesKey, true);
        ASSERT_TRUE(devices && devices->writeString(GetParam().name, GetParam().library));
        ASSERT_TRUE(
            RegistryKey::open(RegistryRoot::CurrentUser, kSettingsKey, true)->writeString("Device", GetParam().name));

        QFile configuration(folders.file("chip.cfg"));
        ASSERT_TRUE(configuration.open(QIODevice::WriteOnly));
        configuration.write(kChipConfiguration);
        configuration.close();
        auto options = RegistryKey::open(RegistryRoot::CurrentUser, GetParam().optionsKey, true);
        ASSERT_TRUE(options);
        options->writeString("SerialPort", target.devicePath());
        options->writeString("ConfigFile", folders.file("chip.cfg").toStdString());
    }
    void TearDown() override { qunsetenv("TOLVANE_PROGRAM_DIR"); }

    QString sampleProject() { return copySampleProject(folders, TOLVANE_SOURCE_DIR); }
    QString sampleFile(const char* name) const
    {
        return folders.file("blink") + QLatin1Char('/') + QLatin1String(name);
    }

    static QStringList messages(TMainForm& form)
    {
        form.deviceBinding().FlushMessages();
        settle();
        return form.messagesWindow() ? form.messagesWindow()->Lines() : QStringList();
    }
    static TFormEditor* editorOf(TMainForm& form, const QString& path)
    {
        const QList<TFormEditor*> editors = form.editorWindows().Editors();
        const auto found = std::find_if(editors.begin(), editors.end(), [&](TFormEditor* editor) {
            return QFileInfo(editor->FilePath()) == QFileInfo(path);
        });
        return found == editors.end() ? nullptr : *found;
    }
    // The lines of every open editor that carry the execution mark, as "file:line".
    static QStringList markedLines(TMainForm& form)
    {
        QStringList marked;
        for (TFormEditor* editor : form.editorWindows().Editors())
            for (long line = 1; line <= editor->Editor().SendEditor(QsciScintillaBase::SCI_GETLINECOUNT); ++line)
                if (editor->Editor().HasExecutionMarker(static_cast<int>(line)))
                    marked << QFileInfo(editor->FilePath()).fileName() + QLatin1Char(':') + QString::number(line);
        return marked;
    }
    // The chip's code breakpoint slots in use.
    std::vector<uint32_t> chipBreakpoints()
    {
        std::vector<uint32_t> addresses;
        for (const std::optional<uint32_t>& slot : target.chip().codeBreakpoints())
            if (slot)
                addresses.push_back(*slot);
        return addresses;
    }

    ScopedTestFolders folders;
    EmulatedTarget target{GetParam().name};
    platform::RecordingMessageBoxes boxes;
    platform::ScopedMessageBoxes scopedBoxes{boxes};
};

TEST_P(IdeEndToEnd, TheSampleProjectBuildsRunsToABreakpointStepsOverAndStops)
{
    auto form = std::make_unique<TMainForm>();
    form->show();
    settle();
    ASSERT_NE(form->deviceBinding().device(), nullptr);
    ASSERT_EQ(form->deviceBinding().deviceName(), GetParam().name);

    form->openFiles({sampleProject()});
    settle();
    ASSERT_NE(form->projectSession().Project(), nullptr);
    EXPECT_EQ(form->deviceBinding().deviceName(), GetParam().name);
    EXPECT_EQ(form->deviceBinding().compilerName(), "Quorin Assembler");

    // A breakpoint on the second NOP of the delay routine.
    form->OpenFileAtLine(sampleFile("delay.asm"), 3);
    TFormEditor* delay = editorOf(*form, sampleFile("delay.asm"));
    ASSERT_NE(delay, nullptr);
    form->actions.toggleBreakpoint->trigger();
    ASSERT_TRUE(delay->Editor().HasBreakpointMarker(3));

    form->actions.run->trigger();
    ASSERT_TRUE(waitFor([&] { return form->debugControl().DebugState() == DebugController::kHalted; }, kLinkWaitMs))
        << messages(*form).join('\n').toStdString();
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
    const QStringList expected = QStringList{"Compiling...", "Build Successful."}
                                 + loadLines(GetParam(), QString::fromStdString(target.devicePath()));
    EXPECT_EQ(messages(*form), expected);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(target.chip().protocolErrors().empty());

    boxes.answers.push_back(platform::BoxAnswer::No);
    EXPECT_TRUE(form->close());
}

INSTANTIATE_TEST_SUITE_P(DevicePlugins, IdeEndToEnd, testing::ValuesIn(kDevicePlugins),
                         [](const testing::TestParamInfo<DevicePlugin>& info) { return std::string(info.param.name); });

}  // namespace
