#pragma once
// The IDE with a real device plug-in and QuorinAssembler against the plug-in's
// emulated target (ZernJTAG, the default, behind the adapter board; ZernBrel
// on the Solbus): the plug-in installed and selected, the chip's
// configuration, and the sample project copied into the test's folder.

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
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
#include "Registry.h"
#include "ScintillaEditor.h"
#include "TFormEditor.h"
#include "TMainForm.h"
#include "TestFolders.h"
#include "WindowThreadWaits.h"

// A 16-bit chip with a code and a data bank, quick to erase and to start;
// four registers in two groups (A0 and A1 in "Core", R5 in "Pointers", SP in both).
inline constexpr char kChipConfiguration[] =
    "[PROCESSOR_FAMILY]\n20\n[EXPECTED ERASE TIME]\n5\n[STARTUP DELAY]\n200\n"
    "[REGISTER_GROUPS]\n2\nCore\nPointers\n"
    "[REGISTERS]\n0, 0, A0, 1, 16\n0, 1, A1, 1, 16\n1, 5, R5, 2, 16\n1, 6, SP, 3, 16\n"
    "[MEMORY BANKS]\n2\nCode, x, 0, 0x10000, 16, 0x800, code\nData, x, 0, 0, 16, 0x100, data\n";

// Connecting, erasing and loading over the emulated link take a few seconds.
inline constexpr int kLinkWaitMs = 20000;

// A device plug-in and the lines it adds to the Messages window while it
// connects and loads the sample program (a run, a step and a stop add none).
struct DevicePlugin {
    const char* name;
    const char* library;
    const char* optionsKey;
    QStringList (*connectLines)(const QString& port);
    // After "Erasing...".
    QStringList eraseLines;
};

inline QStringList jtagConnectLines(const QString& port)
{
    return {"Looking for USB JTAG Dongle...",       "Not found.", "Opening serial port...",
            QStringLiteral("Opened %1.").arg(port), "Connected.", "Setting JTAG clock rate to 200 kHz"};
}

inline QStringList solbusConnectLines(const QString& port)
{
    return {"Opening serial port...", QStringLiteral("Opened %1.").arg(port), "Checking hyperdrive configuration",
            "Hyperdrive turned OFF.", "Connected."};
}

inline const DevicePlugin kZernJtag = {"ZernJTAG",
                                       ZERNJTAG_PATH,
                                       "\\Software\\Quorin Semiconductor\\Tolvane\\ZERNJTAGOptions\\",
                                       jtagConnectLines,
                                       {"Erasing last block of flash."}};
inline const DevicePlugin kZernBrel = {
    "ZernBrel", ZERNBREL_PATH, "\\Software\\Quorin Semiconductor\\Tolvane\\ZERNBRELOptions\\", solbusConnectLines, {}};

// The chip behind the plug-in's own adapter, emulated on a pseudo-terminal.
class EmulatedTarget {
public:
    explicit EmulatedTarget(const DevicePlugin& plugin)
    {
        if (&plugin == &kZernBrel)
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

class IdeEndToEnd : public testing::Test {
protected:
    explicit IdeEndToEnd(const DevicePlugin& plugin = kZernJtag) : plugin(plugin), target(plugin) {}

    void SetUp() override
    {
        qputenv("TOLVANE_PROGRAM_DIR", TOLVANE_BIN_DIR);
        auto devices = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, devices::kDevicesKey, true);
        ASSERT_TRUE(devices && devices->writeString(plugin.name, plugin.library));
        ASSERT_TRUE(platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, kSettingsKey, true)
                        ->writeString("Device", plugin.name));

        QFile configuration(folders.file("chip.cfg"));
        ASSERT_TRUE(configuration.open(QIODevice::WriteOnly));
        configuration.write(kChipConfiguration);
        configuration.close();
        auto options = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, plugin.optionsKey, true);
        ASSERT_TRUE(options);
        options->writeString("SerialPort", target.devicePath());
        options->writeString("ConfigFile", folders.file("chip.cfg").toStdString());
    }
    void TearDown() override { qunsetenv("TOLVANE_PROGRAM_DIR"); }

    // The plug-in's lines while the sample program is loaded.
    QStringList loadLines() const
    {
        return plugin.connectLines(QString::fromStdString(target.devicePath()))
               + QStringList{"Program Size: 14 bytes",
                             "Loading 14 bytes @ 0x0000...",
                             "Entering Loader",
                             "Prompt received.",
                             "Entering Loader",
                             "Prompt received.",
                             "Erasing..."}
               + plugin.eraseLines + QStringList{"Done.", "Post-Load Delay: 0", "Delay Complete"};
    }

    // A copy the test changed already is kept.
    QString sampleProject() { return copySampleProject(folders, TOLVANE_SOURCE_DIR); }
    // The main window, large enough for docked tool windows, with the sample project open.
    std::unique_ptr<TMainForm> startWithSampleProject()
    {
        auto form = std::make_unique<TMainForm>();
        form->resize(1400, 900);
        form->show();
        settle();
        form->openFiles({sampleProject()});
        settle();
        return form;
    }
    static bool waitUntilHalted(TMainForm& form)
    {
        return waitFor([&] { return form.debugControl().DebugState() == DebugController::kHalted; }, kLinkWaitMs);
    }
    // Ends the debug run and closes without saving the project; gives whether the window closed.
    [[nodiscard]] bool stopAndClose(TMainForm& form)
    {
        form.actions.stop->trigger();
        boxes.answers.push_back(platform::BoxAnswer::No);
        return form.close();
    }
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

    const DevicePlugin& plugin;
    ScopedTestFolders folders;
    EmulatedTarget target;
    platform::RecordingMessageBoxes boxes;
    platform::ScopedMessageBoxes scopedBoxes{boxes};
};
