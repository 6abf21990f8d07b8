#include "single_instance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace lirra {

namespace {

// A folder that is the user's alone: owned by them, no link, mode 0700.
bool isPrivateFolder(const QString &path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode)
        && info.st_uid == ::geteuid() && (info.st_mode & 0077) == 0;
}

bool addressOf(const QString &path, sockaddr_un *address)
{
    const QByteArray native = QFile::encodeName(path);
    *address = {};
    address->sun_family = AF_UNIX;
    if (size_t(native.size()) >= sizeof address->sun_path)
        return false;
    std::memcpy(address->sun_path, native.constData(), size_t(native.size()));
    return true;
}

// Sends one line and waits for the answer, within the deadline.
bool askToShow(const QString &path, const QDeadlineTimer &deadline)
{
    sockaddr_un address{};
    if (!addressOf(path, &address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    bool answered = false;
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
        && ::write(fd, "show\n", 5) == 5) {
        pollfd reply{fd, POLLIN, 0};
        const int waited = ::poll(&reply, 1, int(std::max<qint64>(0, deadline.remainingTime())));
        char byte = 0;
        answered = waited == 1 && ::read(fd, &byte, 1) == 1 && byte == 'o';
    }
    ::close(fd);
    return answered;
}

} // namespace

SingleInstance::SingleInstance(QString name)
    : m_name(std::move(name))
{
}

SingleInstance::~SingleInstance()
{
    if (m_socket >= 0) {
        delete m_notifier;
        ::close(m_socket);
        ::unlink(QFile::encodeName(m_socketPath).constData());
    }
    if (m_lock >= 0)
        ::close(m_lock);
}

QString SingleInstance::runtimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && isPrivateFolder(runtime))
        return runtime;
    const QString own = QDir::tempPath() + QStringLiteral("/lirra-%1").arg(::geteuid());
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    return isPrivateFolder(own) ? own : QString();
}

QString SingleInstance::standardName()
{
    const QString settings = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QByteArray hash = QCryptographicHash::hash(QFile::encodeName(settings), QCryptographicHash::Sha256).toHex();
    return QStringLiteral("lirra-") + QString::fromLatin1(hash.left(16));
}

SingleInstance::Claim SingleInstance::claim()
{
    const QString folder = runtimeFolder();
    if (folder.isEmpty())
        return Claim::alone;
    m_socketPath = QDir(folder).filePath(m_name + QStringLiteral(".socket"));
    const QByteArray lockPath = QFile::encodeName(QDir(folder).filePath(m_name + QStringLiteral(".lock")));
    m_lock = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_lock < 0)
        return Claim::alone;
    const QDeadlineTimer deadline(answerTimeoutMs);
    for (;;) {
        if (::flock(m_lock, LOCK_EX | LOCK_NB) == 0)
            break;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return Claim::alone;
        // The copy holding it may still be starting: its socket comes soon.
        if (askToShow(m_socketPath, deadline))
            return Claim::handedOver;
        if (deadline.hasExpired())
            return Claim::alone;
        QThread::msleep(50);
    }
    // Ours now; a socket left by a copy that was killed goes.
    ::unlink(QFile::encodeName(m_socketPath).constData());
    sockaddr_un address{};
    if (!addressOf(m_socketPath, &address))
        return Claim::first;
    m_socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_socket >= 0
        && (::bind(m_socket, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || ::listen(m_socket, 8) != 0)) {
        ::close(m_socket);
        m_socket = -1;
    }
    return Claim::first;
}

void SingleInstance::listen(std::function<void()> show)
{
    m_show = std::move(show);
    if (m_socket < 0 || m_notifier)
        return;
    m_notifier = new QSocketNotifier(m_socket, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SingleInstance::answer);
}

void SingleInstance::answer()
{
    for (;;) {
        const int peer = ::accept4(m_socket, nullptr, nullptr, SOCK_CLOEXEC);
        if (peer < 0)
            return;
        // One short line; whatever else comes is not read.
        pollfd request{peer, POLLIN, 0};
        char line[16] = {};
        const bool asked = ::poll(&request, 1, 500) == 1 && ::read(peer, line, sizeof line - 1) > 0
            && std::strncmp(line, "show", 4) == 0;
        if (asked && m_show)
            m_show();
        static_cast<void>(::write(peer, "ok\n", 3));
        ::close(peer);
    }
}

} // namespace lirra
