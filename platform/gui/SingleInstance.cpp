#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "UniqueDescriptor.h"

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

// True when the socket is ready for the events before the deadline.
bool waitUntil(int fd, short events, std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, int(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        return ready == 1 && (entry.revents & events);
    }
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

bool SingleInstance::listen(QObject* owner)
{
    server_ = new QLocalServer(owner);
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
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const QByteArray path = QFile::encodeName(pathIn(kRunningProbeName));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));

    const UniqueDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (socket.fd < 0 || ::connect(socket.fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0)
        return false;
    const QByteArray probe = probeText();
    if (!waitUntil(socket.fd, POLLOUT, deadline)
        || ::send(socket.fd, probe.constData(), size_t(probe.size()), MSG_NOSIGNAL) != probe.size())
        return false;
    QByteArray answer;
    while (!answer.endsWith('\n') && answer.size() < probe.size()) {
        char buffer[256];
        if (!waitUntil(socket.fd, POLLIN, deadline))
            return false;
        const ssize_t count = ::recv(socket.fd, buffer, sizeof(buffer), 0);
        if (count <= 0)
            return false;
        answer.append(buffer, count);
    }
    return answer == probe;
}

}  // namespace platform
