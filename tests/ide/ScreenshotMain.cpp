// Renders the main window to a PNG for a person to look at: default
// settings, the fake device plug-in installed and selected, and the project
// named on the command line opened. With --debug-windows the device offers
// its richer views, the target is halted and those windows are shown; with
// --keep-open the IDE stays up after the picture, for a person or a driver.

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "DebugController.h"
#include "DeviceBinding.h"
#include "DeviceList.h"
#include "FakeDeviceScript.h"
#include "MainSettings.h"
#include "QtMessageBoxes.h"
#include "Registry.h"
#include "TMainForm.h"

namespace {

bool installFakeDevice(bool allowRun)
{
    using platform::RegistryKey;
    using platform::RegistryRoot;
    auto devices = RegistryKey::open(RegistryRoot::CurrentUser, devices::kDevicesKey, true);
    auto settings = RegistryKey::open(RegistryRoot::CurrentUser, kSettingsKey, true);
    return devices && settings && devices->writeString("Fake Device", FAKE_DEVICE)
           && settings->writeString("Device", "Fake Device")
           && (!allowRun || settings->writeBool("AlwaysAllowRun", true));
}

// Runs without a project and lets the device halt at once.
bool haltTarget(TMainForm& form, FakeDeviceScript& script)
{
    script.releaseRun();
    form.actions.run->trigger();
    QElapsedTimer clock;
    clock.start();
    while (form.debugControl().DebugState() != DebugController::kHalted && clock.elapsed() < 5000)
        QApplication::processEvents();
    return form.debugControl().DebugState() == DebugController::kHalted;
}

}  // namespace

int main(int argc, char** argv)
{
    bool debugWindows = false;
    bool keepOpen = false;
    int first = 1;
    for (; first < argc && std::strncmp(argv[first], "--", 2) == 0; ++first) {
        debugWindows |= std::strcmp(argv[first], "--debug-windows") == 0;
        keepOpen |= std::strcmp(argv[first], "--keep-open") == 0;
    }
    if (argc - first < 1 || argc - first > 2) {
        std::fprintf(stderr, "usage: %s [--debug-windows] [--keep-open] output.png [project.prj]\n", argv[0]);
        return 2;
    }
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.filePath(QStringLiteral("user")).toLocal8Bit());
    qputenv("XDG_CONFIG_DIRS", settings.filePath(QStringLiteral("machine")).toLocal8Bit());
    QApplication application(argc, argv);
    platform::DefaultQtMessageBoxes boxes;
    FakeDeviceScript script;
    if (debugWindows)
        script.offerRicherViews();
    script.install();
    if (!installFakeDevice(debugWindows)) {
        std::fprintf(stderr, "cannot write the settings in %s\n", qPrintable(settings.path()));
        return 1;
    }
    TMainForm form;
    form.show();
    if (argc - first == 2)
        form.openFiles({QString::fromLocal8Bit(argv[first + 1])});
    // A line the device sends, as it does while it works.
    script.sendMessage("Fake Device: ready.");
    form.deviceBinding().FlushMessages();
    if (debugWindows) {
        if (!haltTarget(form, script)) {
            std::fprintf(stderr, "the fake device did not halt\n");
            return 1;
        }
        const MainActions& a = form.actions;
        for (QAction* show : {a.showStatistics, a.showTrace, a.showWatches, a.showCallStack, a.showVariables})
            show->trigger();
    }
    bool saved = false;
    QTimer::singleShot(500, &form, [&] {
        saved = form.grab().save(QString::fromLocal8Bit(argv[first]), "PNG");
        // quit() would close the windows, and the project window would ask to save.
        if (!keepOpen)
            QCoreApplication::exit(0);
    });
    application.exec();
    if (!saved)
        std::fprintf(stderr, "cannot write %s\n", argv[first]);
    return saved ? 0 : 1;
}
