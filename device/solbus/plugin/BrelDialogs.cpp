// ZernBrel's dialogs as Qt dialogs, modal over the host's windows and always
// on the host's window thread.

#include "BrelDialogs.h"

#include <QApplication>
#include <QThread>
#include <functional>
#include <memory>

#include "DataBreakpointTool.h"
#include "DeviceDialogFrame.h"
#include "TDialogSerialSelector.h"
#include "TOKRightDlg.h"
#include "ZernDevice.h"

namespace zernbrel {
namespace {

// What the data breakpoint shows again next time; kept by the device object.
struct BrelDialogMemory {
    zern::DataBreakpointEntry dataBreakpoint;
};

BrelDialogMemory& memoryOf(zern::ZernDevice& device)
{
    std::shared_ptr<void>& memory = device.dialogMemory();
    if (!memory)
        memory = std::make_shared<BrelDialogMemory>();
    return *static_cast<BrelDialogMemory*>(memory.get());
}

void onWindowThread(const std::function<void()>& show)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (QThread::currentThread() == application->thread())
        show();
    else
        QMetaObject::invokeMethod(application, show, Qt::BlockingQueuedConnection);
}

// The host's window handed over as an owner, when it is one of this process's widgets.
QWidget* ownerOf(void* window)
{
    for (QWidget* widget : QApplication::allWidgets())
        if (widget == window)
            return widget;
    return QApplication::activeWindow();
}

}  // namespace

bool dialogsAvailable()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

std::optional<std::string> runOptionsDialog(const std::string& optionsKeyPath, const std::string& configFile,
                                            void* ownerWindow)
{
    std::optional<std::string> accepted;
    onWindowThread([&] {
        TDialogSerialSelector dialog(optionsKeyPath, ownerOf(ownerWindow));
        dialog.SetConfigFile(QString::fromStdString(configFile));
        if (zern::execCentred(dialog) == QDialog::Accepted)
            accepted = dialog.ConfigFile().toStdString();
    });
    return accepted;
}

void runToolDialog(int port)
{
    onWindowThread([port] {
        TOKRightDlg dialog(port, QApplication::activeWindow());
        zern::execCentred(dialog);
    });
}

void runDataBreakpointDialog(zern::ZernDevice& device)
{
    onWindowThread([&device] { zern::runDataBreakpointTool(device, memoryOf(device).dataBreakpoint); });
}

}  // namespace zernbrel
