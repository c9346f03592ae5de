#include "JtagDialogTraits.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <cstring>

#include "DataBreakpointTool.h"
#include "DeviceDialogFrame.h"
#include "JtagDeviceTools.h"
#include "JtagOptions.h"
#include "TDialogDebugState.h"
#include "TDialogSerialSelector.h"
#include "TrafficLog.h"
#include "ZernDevice.h"
#include "ZernJtagTraits.h"

namespace zern {
namespace {

// What the tools show again next time; kept by the device object.
struct JtagDialogMemory {
    DataBreakpointEntry dataBreakpoint;
    QString logFileName = QDir::home().filePath(QStringLiteral("jtag_debug.txt"));
};

JtagDialogMemory& memoryOf(ZernDevice& device)
{
    std::shared_ptr<void>& memory = device.dialogMemory();
    if (!memory)
        memory = std::make_shared<JtagDialogMemory>();
    return *static_cast<JtagDialogMemory*>(memory.get());
}

bool windowsAvailable()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

void showDebugLog(ZernDevice& device)
{
    JtagDialogMemory& memory = memoryOf(device);
    auto& log = dynamic_cast<TrafficLog&>(device.trafficLog());
    TDialogDebugState dialog(log, memory.logFileName, QApplication::activeWindow());
    execCentred(dialog);
    memory.logFileName = dialog.EditName->text();
}

}  // namespace

const DeviceTraits& zernJtagTraitsWithDialogs()
{
    static const DeviceTraits traits = [] {
        DeviceTraits withDialogs = kZernJtagTraits;
        withDialogs.showOptions = showJtagOptions;
        withDialogs.runMenuItem = runJtagMenuItem;
        return withDialogs;
    }();
    return traits;
}

bool showJtagOptions(ZernDevice& device, void* ownerWindow)
{
    if (!windowsAvailable())
        return showOptionsWithoutWindows(device, ownerWindow);
    TDialogSerialSelector dialog(device, static_cast<QWidget*>(ownerWindow));
    if (execCentred(dialog) != QDialog::Accepted)
        return false;
    applyOptions(device, QFile::encodeName(dialog.EditConfigFile->text()).toStdString(), dialog.clockKHz());
    return true;
}

void runJtagMenuItem(ZernDevice& device, const char* caption)
{
    if (!windowsAvailable()) {
        runMenuItemWithoutWindows(device, caption);
        return;
    }
    if (std::strcmp(caption, kDataBreakpointCaption) == 0)
        runDataBreakpointTool(device, memoryOf(device).dataBreakpoint);
    else if (std::strcmp(caption, kDebugLogCaption) == 0)
        showDebugLog(device);
}

}  // namespace zern
