#include <QDir>
#include <QFile>
#include <cstdio>
#include <exception>

#include "Application.h"
#include "ApplicationEnd.h"
#include "CommandLine.h"
#include "MainSettings.h"
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

// True when this start is the one that runs: it holds the lock, or no lock
// can be made at all. A later start of the same user ends before it
// initialises the window system.
bool takeInstanceLock(platform::SingleInstance& instance, bool& holdsLock)
{
    holdsLock = false;
    if (multipleInstancesAllowed())
        return true;
    switch (instance.acquire()) {
    case platform::InstanceLock::Taken:
        holdsLock = true;
        return true;
    case platform::InstanceLock::HeldByRunningInstance:
        platform::SingleInstance::probeRunningInstance(instance.folder());
        return false;
    case platform::InstanceLock::Unavailable:
        std::fprintf(stderr, "Ostravel: no instance lock can be made; another running IDE is not looked for.\n");
        return true;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    platform::SingleInstance instance;
    bool holdsLock = false;
    if (!takeInstanceLock(instance, holdsLock))
        return 0;

    platform::Application application(argc, argv);
    platform::DefaultQtMessageBoxes boxes;
    try {
        return runIde(application, holdsLock ? &instance : nullptr);
    } catch (const std::exception& error) {
        platform::showException(error);
    } catch (...) {
        platform::showUnknownException();
    }
    return 0;
}
