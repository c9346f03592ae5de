#include "HourglassCursor.h"

#include <QCursor>
#include <QGuiApplication>
#include <QThread>

namespace platform {
namespace {

bool onWindowThread()
{
    QCoreApplication* application = QCoreApplication::instance();
    return qobject_cast<QGuiApplication*>(application) && QThread::currentThread() == application->thread();
}

}  // namespace

HourglassCursor::HourglassCursor() : active_(onWindowThread())
{
    if (active_)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

HourglassCursor::~HourglassCursor()
{
    if (active_)
        QGuiApplication::restoreOverrideCursor();
}

}  // namespace platform
