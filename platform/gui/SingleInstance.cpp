#include "SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include <algorithm>

namespace platform {
namespace {

QString pathIn(const char* name)
{
    return instanceFolder() + QLatin1Char('/') + QLatin1String(name);
}

QByteArray probeText()
{
    return QByteArray(kRunningProbeName) + '\n';
}

}  // namespace

QString instanceFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(QString::fromLocal8Bit(runtime)).exists())
        return QString::fromLocal8Bit(runtime);
    return QDir::tempPath();
}

SingleInstance::SingleInstance() : lock_(std::make_unique<QLockFile>(pathIn(kInstanceLockName)))
{
    // A live holder never goes stale however long it runs; only a dead one does.
    lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire()
{
    return lock_->tryLock(0);
}

bool SingleInstance::listen()
{
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock makes any socket file left there a dead instance's.
    QLocalServer::removeServer(pathIn(kRunningProbeName));
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::answerProbes);
    return server_->listen(pathIn(kRunningProbeName));
}

void SingleInstance::answerProbes()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            if (socket->readLine(probeText().size() + 1) != probeText()) {
                socket->abort();
                return;
            }
            socket->write(probeText());
            socket->flush();
            emit bringToFrontRequested();
        });
    }
}

bool SingleInstance::probeRunningInstance(std::chrono::milliseconds timeout)
{
    QElapsedTimer clock;
    clock.start();
    const auto remaining = [&] { return std::max<qint64>(0, timeout.count() - clock.elapsed()); };
    QLocalSocket socket;
    socket.connectToServer(pathIn(kRunningProbeName));
    if (!socket.waitForConnected(int(remaining())))
        return false;
    socket.write(probeText());
    socket.flush();
    if (socket.bytesToWrite() > 0 && !socket.waitForBytesWritten(int(remaining())))
        return false;
    QByteArray answer;
    while (!answer.endsWith('\n') && answer.size() <= probeText().size()) {
        if (remaining() == 0 || !socket.waitForReadyRead(int(remaining())))
            return false;
        answer += socket.readAll();
    }
    return answer == probeText();
}

}  // namespace platform
