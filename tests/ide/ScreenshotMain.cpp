// Renders the main window to a PNG for a person to look at: default
// settings, the fake device plug-in installed and selected, and the project
// named on the command line opened.

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "DeviceBinding.h"
#include "DeviceList.h"
#include "FakeDeviceScript.h"
#include "MainSettings.h"
#include "Registry.h"
#include "TMainForm.h"

namespace {

bool installFakeDevice()
{
    using platform::RegistryKey;
    using platform::RegistryRoot;
    auto devices = RegistryKey::open(RegistryRoot::CurrentUser, devices::kDevicesKey, true);
    auto settings = RegistryKey::open(RegistryRoot::CurrentUser, kSettingsKey, true);
    return devices && settings && devices->writeString("Fake Device", FAKE_DEVICE)
           && settings->writeString("Device", "Fake Device");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s output.png [project.prj]\n", argv[0]);
        return 2;
    }
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.filePath(QStringLiteral("user")).toLocal8Bit());
    qputenv("XDG_CONFIG_DIRS", settings.filePath(QStringLiteral("machine")).toLocal8Bit());
    QApplication application(argc, argv);
    FakeDeviceScript script;
    script.install();
    if (!installFakeDevice()) {
        std::fprintf(stderr, "cannot write the settings in %s\n", qPrintable(settings.path()));
        return 1;
    }
    TMainForm form;
    form.show();
    if (argc == 3)
        form.openFiles({QString::fromLocal8Bit(argv[2])});
    // A line the device sends, as it does while it works.
    script.sendMessage("Fake Device: ready.");
    form.deviceBinding().FlushMessages();
    bool saved = false;
    QTimer::singleShot(500, &form, [&] {
        saved = form.grab().save(QString::fromLocal8Bit(argv[1]), "PNG");
        // quit() would close the windows, and the project window would ask to save.
        QCoreApplication::exit(0);
    });
    application.exec();
    if (!saved)
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return saved ? 0 : 1;
}
