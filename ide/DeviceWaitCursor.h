#pragma once
// The hourglass for a long operation, restored on every way out.
#include <QGuiApplication>

class DeviceWaitCursor {
public:
    DeviceWaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~DeviceWaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    DeviceWaitCursor(const DeviceWaitCursor&) = delete;
    DeviceWaitCursor& operator=(const DeviceWaitCursor&) = delete;
};
