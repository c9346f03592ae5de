#pragma once
// One IDE per user. The first instance holds a lock file and answers probes
// on a local socket; a later instance of the same user finds the lock taken,
// asks the first one to come to the front and ends. Both live in the user's
// runtime folder ($XDG_RUNTIME_DIR), else in a private folder of the user's
// own cache folder, named after the instance texts. Where no lock can be made
// at all the IDE runs without one.

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

enum class InstanceLock {
    Taken,
    // A live instance of this user holds it.
    HeldByRunningInstance,
    // No lock can be made here (no folder, nothing can be created in it).
    Unavailable,
};

class SingleInstance : public QObject {
    Q_OBJECT
public:
    SingleInstance();
    ~SingleInstance() override;

    // Takes the instance lock. A lock left behind by a killed instance is
    // taken over. Works before the application object exists.
    InstanceLock acquire();
    // Answers probes from later instances for as long as the owner lives (it
    // must end before the application object does); each probe emits
    // bringToFrontRequested.
    bool listen(QObject* owner);

    // The folder of the lock and the socket, once acquire found one.
    const QString& folder() const { return folder_; }

    // Asks the instance running in the folder to come to the front. True when
    // it answered with the probe text within the time-out. Needs no
    // application object, so a second instance ends before it initialises any
    // window system.
    static bool probeRunningInstance(const QString& folder, std::chrono::milliseconds timeout = kProbeTimeout);

signals:
    void bringToFrontRequested();

private:
    void answerProbes();

    std::unique_ptr<QLockFile> lock_;
    QString folder_;
    QPointer<QLocalServer> server_;
};

}  // namespace platform
