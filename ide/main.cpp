#include <QApplication>
#include <QDir>
#include <QFile>
#include <exception>

#include "ApplicationEnd.h"
#include "CommandLine.h"
#include "MainSettings.h"
#include "MessageBoxes.h"
#include "QtMessageBoxes.h"
#include "SingleInstance.h"
#include "TMainForm.h"

namespace {

const char* stateWord(const TMainForm& form)
{
    return form.isMinimized() ? "minimized" : "normal";
}

// Tests learn through this file that a later start brought the window
// forward, with its state before and after.
void reportBroughtToFront(const char* before, const TMainForm& form)
{
    const QString report = qEnvironmentVariable("TOLVANE_TEST_FRONT_REPORT");
    if (report.isEmpty())
        return;
    QFile file(report);
    if (file.open(QIODevice::Append))
        file.write(QByteArray("front ") + before + ' ' + stateWord(form) + '\n');
}

int runIde(QApplication& application, platform::SingleInstance* instance)
{
    const QStringList files = absoluteFileArguments(application.arguments().mid(1), QDir::currentPath());
    application.setApplicationName(QStringLiteral("Tolvane"));
    TMainForm form;
    if (platform::applicationEndRequested())
        return 0;
    form.show();
    // Files named on the command line: projects by their extension, the rest in editors.
    form.openFiles(files);
    if (instance) {
        QObject::connect(instance, &platform::SingleInstance::bringToFrontRequested, &form, [&form] {
            const char* before = stateWord(form);
            form.bringToFront();
            reportBroughtToFront(before, form);
        });
        instance->listen(&form);
    }
    application.exec();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    // A later instance ends before it initialises the window system.
    platform::SingleInstance instance;
    const bool single = !multipleInstancesAllowed();
    if (single && !instance.acquire()) {
        platform::SingleInstance::probeRunningInstance();
        return 0;
    }

    QApplication application(argc, argv);
    platform::DefaultQtMessageBoxes boxes;
    try {
        return runIde(application, single ? &instance : nullptr);
    } catch (const std::exception& error) {
        platform::messageBoxes().show("Tolvane", error.what(), platform::BoxButtons::Ok, platform::BoxIcon::Error);
    }
    return 0;
}
