#include "DeviceMessageQueue.h"

#include <QThread>

DeviceMessageQueue::DeviceMessageQueue(std::function<void(const QString&)> deliver, QObject* parent)
    : QObject(parent), deliver_(std::move(deliver))
{}

void DeviceMessageQueue::post(const char* line)
{
    QString text = QString::fromLocal8Bit(line ? line : "");
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    bool postDrain = false;
    {
        std::lock_guard lock(mutex_);
        lines_.push_back(std::move(text));
        postDrain = !drainPosted_;
        drainPosted_ = true;
    }
    if (QThread::currentThread() == thread())
        drain();
    else if (postDrain)
        QMetaObject::invokeMethod(this, &DeviceMessageQueue::drain, Qt::QueuedConnection);
}

void DeviceMessageQueue::drain()
{
    for (;;) {
        QString line;
        {
            std::lock_guard lock(mutex_);
            if (lines_.empty()) {
                drainPosted_ = false;
                return;
            }
            line = std::move(lines_.front());
            lines_.pop_front();
        }
        deliver_(line);
    }
}
