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
    QCoreApplication::quit();
}

bool applicationEndRequested()
{
    return endRequested;
}

}  // namespace platform
