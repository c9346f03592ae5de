// ZernBrel's dialogs as Qt dialogs, modal over the host's windows and always
// on the host's window thread.

#include "BrelDialogs.h"

#include <QApplication>
#include <QThread>
#include <functional>

#include "TDialogSerialSelector.h"
#include "TOKRightDlg.h"

namespace zernbrel {
namespace {

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
        if (dialog.exec() == QDialog::Accepted)
            accepted = dialog.ConfigFile().toStdString();
    });
    return accepted;
}

void runToolDialog(int port)
{
    onWindowThread([port] {
        TOKRightDlg dialog(port, QApplication::activeWindow());
        dialog.exec();
    });
}

}  // namespace zernbrel
