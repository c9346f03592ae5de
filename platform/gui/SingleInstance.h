#pragma once
// One IDE per user session. The first instance holds a lock file and answers
// probes on a local socket; a later instance finds the lock taken, asks the
// first one to come to the front and ends. Both live in $XDG_RUNTIME_DIR (the
// temporary folder when it is unset), named after the instance texts.

#include <QLocalServer>
#include <QObject>
#include <QPointer>
#include <chrono>
#include <memory>

class QLockFile;

namespace platform {

inline constexpr const char kInstanceLockName[] = "Tolvane-{5B1C3E70-2A9D-4F16-9C3B-7E2D40A1C8F5}";
inline constexpr const char kRunningProbeName[] = "UWM_IS_APPLICATION_RUNNING-{5B1C3E70-2A9D-4F16-9C3B-7E2D40A1C8F5}";
inline constexpr std::chrono::milliseconds kProbeTimeout{200};

QString instanceFolder();

class SingleInstance : public QObject {
    Q_OBJECT
public:
    SingleInstance();
    ~SingleInstance() override;

    // Takes the instance lock; false when another live instance holds it. A
    // lock left behind by a killed instance is taken over. Works before the
    // application object exists.
    bool acquire();
    // Answers probes from later instances for as long as the owner lives (it
    // must end before the application object does); each probe emits
    // bringToFrontRequested.
    bool listen(QObject* owner);

    // Asks the running instance to come to the front. True when it answered
    // with the probe text within the time-out. Needs no application object, so
    // a second instance ends before it initialises any window system.
    static bool probeRunningInstance(std::chrono::milliseconds timeout = kProbeTimeout);

signals:
    void bringToFrontRequested();

private:
    void answerProbes();

    std::unique_ptr<QLockFile> lock_;
    QPointer<QLocalServer> server_;
};

}  // namespace platform
