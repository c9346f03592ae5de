#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <cerrno>
#include <cstring>
#include <optional>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "UniqueDescriptor.h"

namespace platform {
namespace {

QString pathIn(const QString& folder, const char* name)
{
    return folder + QLatin1Char('/') + QLatin1String(name);
}

// Only absolute paths count, as relative ones are meaningless to other processes.
QString absolutePathFrom(const char* variable)
{
    const QString path = QFile::decodeName(qgetenv(variable));
    return QDir::isAbsolutePath(path) ? path : QString();
}

QString homeFolder()
{
    if (QString home = absolutePathFrom("HOME"); !home.isEmpty())
        return home;
    const passwd* entry = ::getpwuid(::geteuid());
    return entry && entry->pw_dir ? QFile::decodeName(entry->pw_dir) : QString();
}

// Creates the folder with no access for others; one that belongs to someone
// else, or is no folder, is not used.
bool isPrivateFolderOfThisUser(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    ::mkdir(native.constData(), 0700);
    struct stat status {};
    if (::lstat(native.constData(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != ::geteuid())
        return false;
    return (status.st_mode & 077) == 0 || ::chmod(native.constData(), 0700) == 0;
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

// This user's folder for the lock and the socket; none when there is no
// folder of the user's own to use.
std::optional<QString> instanceFolder()
{
    const QString runtime = absolutePathFrom("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime;
    // Never a shared folder such as the temporary one: another user's
    // instance must not count as this user's.
    QString cache = absolutePathFrom("XDG_CACHE_HOME");
    if (cache.isEmpty()) {
        const QString home = homeFolder();
        if (home.isEmpty())
            return std::nullopt;
        cache = home + QStringLiteral("/.cache");
    }
    QDir().mkpath(cache);
    const QString folder = cache + QStringLiteral("/Tolvane");
    if (!isPrivateFolderOfThisUser(folder))
        return std::nullopt;
    return folder;
}

}  // namespace

SingleInstance::SingleInstance() = default;

SingleInstance::~SingleInstance() = default;

InstanceLock SingleInstance::acquire()
{
    const std::optional<QString> folder = instanceFolder();
    if (!folder)
        return InstanceLock::Unavailable;
    folder_ = *folder;
    lock_ = std::make_unique<QLockFile>(pathIn(folder_, kInstanceLockName));
    // A live holder never goes stale however long it runs; only a dead one does.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0))
        return InstanceLock::Taken;
    return lock_->error() == QLockFile::LockFailedError ? InstanceLock::HeldByRunningInstance
                                                        : InstanceLock::Unavailable;
}

bool SingleInstance::listen(QObject* owner)
{
    server_ = new QLocalServer(owner);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock makes any socket file left there a dead instance's.
    QLocalServer::removeServer(pathIn(folder_, kRunningProbeName));
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::answerProbes);
    return server_->listen(pathIn(folder_, kRunningProbeName));
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

bool SingleInstance::probeRunningInstance(const QString& folder, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const QByteArray path = QFile::encodeName(pathIn(folder, kRunningProbeName));
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
