#pragma once
// Carries the device's message lines to the window thread. A line may come
// from the worker thread during a run: it is copied and queued without
// waiting for the window thread (a blocking hand-over would deadlock with a
// device change that waits for the worker). Lines keep their arrival order,
// also against lines that arrive on the window thread itself.

#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <mutex>

class DeviceMessageQueue : public QObject {
    Q_OBJECT
public:
    explicit DeviceMessageQueue(std::function<void(const QString&)> deliver, QObject* parent = nullptr);

    // Safe from any thread.
    void post(const char* line);
    // Delivers every queued line now (window thread only).
    void drain();

private:
    std::function<void(const QString&)> deliver_;
    std::mutex mutex_;
    std::deque<QString> lines_;
    bool drainPosted_ = false;
};
