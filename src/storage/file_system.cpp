#include "file_system.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace lirra {

namespace {

class PosixFileSystem final : public FileSystem {
public:
    int open(const char *path, int flags, mode_t mode) override { return ::open(path, flags, mode); }
    int close(int fd) override { return ::close(fd); }
    ssize_t pread(int fd, void *buffer, size_t size, off_t offset) override
    {
        return ::pread(fd, buffer, size, offset);
    }
    ssize_t write(int fd, const void *buffer, size_t size) override { return ::write(fd, buffer, size); }
    off_t lseek(int fd, off_t offset, int whence) override { return ::lseek(fd, offset, whence); }
    int fstat(int fd, struct stat *info) override { return ::fstat(fd, info); }
    int stat(const char *path, struct stat *info) override { return ::stat(path, info); }
    int lstat(const char *path, struct stat *info) override { return ::lstat(path, info); }
    ssize_t readlink(const char *path, char *buffer, size_t size) override { return ::readlink(path, buffer, size); }
    int ftruncate(int fd, off_t length) override { return ::ftruncate(fd, length); }
    int fdatasync(int fd) override { return ::fdatasync(fd); }
    int fsync(int fd) override { return ::fsync(fd); }
    int flock(int fd, int operation) override { return ::flock(fd, operation); }
    int mkdir(const char *path, mode_t mode) override { return ::mkdir(path, mode); }
    int rename(const char *from, const char *to) override { return ::rename(from, to); }
    int unlink(const char *path) override { return ::unlink(path); }
};

bool isDirectory(FileSystem &fs, const QByteArray &path)
{
    struct stat info {};
    return fs.stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

std::shared_ptr<FileSystem> FileSystem::posix()
{
    static const std::shared_ptr<FileSystem> system = std::make_shared<PosixFileSystem>();
    return system;
}

int Descriptor::close()
{
    if (m_fd < 0)
        return 0;
    const int fd = std::exchange(m_fd, -1);
    return m_fs->close(fd) == 0 ? 0 : errno;
}

std::unexpected<Error> fileError(const QString &domain, const QString &what, const QString &path, int error)
{
    return failure(domain, error,
                   QStringLiteral("%1 %2: %3").arg(what, path, QString::fromLocal8Bit(std::strerror(error))));
}

std::unexpected<Error> notAFile(const QString &domain, const QString &what, const QString &path, mode_t mode)
{
    // A folder keeps the system's own words, as every other refusal does.
    if (S_ISDIR(mode))
        return fileError(domain, what, path, EISDIR);
    QString kind = QStringLiteral("not a regular file");
    if (S_ISFIFO(mode))
        kind = QStringLiteral("a named pipe (FIFO)");
    else if (S_ISCHR(mode) || S_ISBLK(mode))
        kind = QStringLiteral("a device");
    else if (S_ISSOCK(mode))
        kind = QStringLiteral("a socket");
    return failure(domain, EINVAL, QStringLiteral("%1 %2: it is %3, not a file").arg(what, path, kind));
}

Result<int> openRegularFile(FileSystem &fs, const QString &domain, const QString &what, const QString &path,
                            int flags, bool *created)
{
    const QByteArray native = QFile::encodeName(path);
    // A look first, so that a named pipe is never opened for writing (and a
    // device never touched); the look after opening settles a race.
    struct stat before {};
    const bool existed = fs.stat(native.constData(), &before) == 0;
    if (existed && !S_ISREG(before.st_mode))
        return notAFile(domain, what, path, before.st_mode);
    if (!existed && !(flags & O_CREAT))
        return fileError(domain, what, path, errno);

    const int fd = uninterrupted([&] { return fs.open(native.constData(), flags | O_NONBLOCK | O_CLOEXEC, 0666); });
    if (fd < 0)
        return fileError(domain, what, path, errno);
    Descriptor file(fs, fd);
    struct stat info {};
    if (fs.fstat(fd, &info) != 0)
        return fileError(domain, what, path, errno);
    if (!S_ISREG(info.st_mode))
        return notAFile(domain, what, path, info.st_mode);
    if (created)
        *created = !existed;
    // Regular files ignore O_NONBLOCK; it stays on.
    return file.release();
}

Result<void> writeFully(FileSystem &fs, int fd, const QString &domain, const QString &path, QByteArrayView bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = fs.write(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return fileError(domain, QStringLiteral("Could not write to"), path, errno);
        if (written == 0)
            return fileError(domain, QStringLiteral("Could not write to"), path, ENOSPC);
        done += written;
    }
    return {};
}

Result<QByteArray> readUpTo(FileSystem &fs, int fd, const QString &domain, const QString &path, qsizetype limit)
{
    QByteArray bytes(limit, Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < limit) {
        const ssize_t got =
            uninterrupted([&] { return fs.pread(fd, bytes.data() + filled, size_t(limit - filled), off_t(filled)); });
        if (got < 0)
            return fileError(domain, QStringLiteral("Could not read"), path, errno);
        if (got == 0)
            break;
        filled += got;
    }
    bytes.truncate(filled);
    return bytes;
}

Result<void> syncFolder(FileSystem &fs, const QString &domain, const QString &folder)
{
    const QByteArray native = QFile::encodeName(folder);
    const int fd = uninterrupted([&] { return fs.open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0); });
    if (fd < 0)
        return fileError(domain, QStringLiteral("Could not open the folder"), folder, errno);
    Descriptor directory(fs, fd);
    const int result = uninterrupted([&] { return fs.fsync(fd); });
    // Some file systems cannot sync a folder at all; their entries are as
    // durable as they get.
    if (result != 0 && errno != EINVAL && errno != ENOTSUP)
        return fileError(domain, QStringLiteral("Could not save to disk the folder"), folder, errno);
    return {};
}

Result<void> ensureFolder(FileSystem &fs, const QString &domain, const QString &path, bool intermediates)
{
    const QByteArray native = QFile::encodeName(path);
    if (isDirectory(fs, native))
        return {};
    const QString parent = QFileInfo(path).absolutePath();
    if (intermediates && parent != path) {
        if (auto made = ensureFolder(fs, domain, parent, true); !made)
            return made;
    }
    if (fs.mkdir(native.constData(), 0777) != 0) {
        if (errno == EEXIST && isDirectory(fs, native))
            return {};
        // The system's "File exists" does not say what is wrong.
        if (errno == EEXIST)
            return failure(domain, EEXIST,
                           QStringLiteral("Could not create the folder %1: a file stands where the folder belongs").arg(path));
        return fileError(domain, QStringLiteral("Could not create the folder"), path, errno);
    }
    return syncFolder(fs, domain, parent);
}

Result<QString> userFolder(QStandardPaths::StandardLocation location, const QString &domain)
{
    const QString path = QStandardPaths::writableLocation(location);
    const QString home = qEnvironmentVariable("HOME");
    // Qt puts a missing home at the root, so that folders made from it start
    // with two slashes; one given by its own variable (XDG_DATA_HOME, …) is
    // fine without a home.
    const bool fromHome = path.isEmpty() || path.startsWith(QLatin1String("//")) || !QDir::isAbsolutePath(path);
    if ((home.isEmpty() || !QDir::isAbsolutePath(home)) && fromHome) {
        return failure(domain, ENOENT,
                       QStringLiteral("There is no home folder to keep your practice in: the HOME environment "
                                      "variable is %1, so the folder would be \u201c%2\u201d. Start Lirra with "
                                      "HOME set to your home folder.")
                           .arg(home.isEmpty() ? QStringLiteral("not set") : QStringLiteral("\u201c%1\u201d").arg(home),
                                QDir::cleanPath(path.isEmpty() ? QStringLiteral("/") : path)));
    }
    if (path.isEmpty())
        return failure(domain, ENOENT, QStringLiteral("The folder %1 could not be found").arg(QStandardPaths::displayName(location)));
    return path;
}

} // namespace lirra
