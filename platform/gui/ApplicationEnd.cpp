#include "ApplicationEnd.h"

#include <QCoreApplication>
#include <atomic>

namespace platform {
namespace {

std::atomic<bool> endRequested{false};

}  // namespace

void endApplication()
{
    endRequested = true;
    // Queued, so that a loop that starts after the request ends at once.
    if (QCoreApplication* application = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            application, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
}

bool applicationEndRequested()
{
    return endRequested;
}

}  // namespace platform
