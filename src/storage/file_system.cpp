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

// A call, made again for as long as a signal interrupts it.
template <typename Call>
auto uninterrupted(Call call)
{
    decltype(call()) result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

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

namespace {

// Refuses what stands at a path that is not a regular file, naming it.
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

} // namespace

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

Result<void> lockExclusively(FileSystem &fs, int fd, const QString &domain, const QString &path, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (uninterrupted([&] { return fs.flock(fd, LOCK_EX | LOCK_NB); }) == 0)
            return {};
        if (errno != EWOULDBLOCK)
            return fileError(domain, QStringLiteral("Could not lock"), path, errno);
        if (deadline.hasExpired()) {
            return failure(domain, EWOULDBLOCK,
                           QStringLiteral("Could not lock %1: another program has kept it locked for over %2 seconds")
                               .arg(path)
                               .arg(timeoutMs / 1000.0));
        }
        QThread::msleep(20);
    }
}

Result<FolderLock> FolderLock::take(FileSystem &fs, const QString &domain, const QString &folder, int timeoutMs)
{
    const QByteArray native = QFile::encodeName(folder);
    const int fd = uninterrupted([&] { return fs.open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0); });
    if (fd < 0)
        return fileError(domain, QStringLiteral("Could not open the folder"), folder, errno);
    FolderLock lock(fs, fd);
    if (Result<void> locked = lockExclusively(fs, fd, domain, folder, timeoutMs); !locked) {
        // A file system without locks (some network ones) works unlocked,
        // as it did before locks were taken.
        if (locked.error().code == ENOLCK || locked.error().code == EINVAL || locked.error().code == EBADF
            || locked.error().code == ENOTSUP)
            return lock;
        return std::unexpected(locked.error());
    }
    return lock;
}

Result<void> appendLine(FileSystem &fs, const QString &domain, const QString &folder, const QString &path,
                        QByteArray line)
{
    const QByteArray native = QFile::encodeName(path);
    bool created = false;
    std::optional<Descriptor> file;
    // The file may be replaced whole (the journal is, after a replay) while
    // this waits for its lock: a line must go to the file at the path, not
    // to the one that was there, so it opens it again then.
    for (int attempt = 0;; ++attempt) {
        const Result<int> opened = openRegularFile(fs, domain, QStringLiteral("Could not write to"), path,
                                                   O_RDWR | O_APPEND | O_CREAT, &created);
        if (!opened)
            return std::unexpected(opened.error());
        file.emplace(fs, *opened);
        // Another running instance appending to the same file waits here, so
        // that the look at the last byte and the append happen together.
        if (auto locked = lockExclusively(fs, file->fd(), domain, path); !locked)
            return locked;
        struct stat held {};
        struct stat named {};
        if (fs.fstat(file->fd(), &held) != 0)
            return fileError(domain, QStringLiteral("Could not read"), path, errno);
        if (attempt >= 8 || (fs.stat(native.constData(), &named) == 0 && named.st_ino == held.st_ino
                             && named.st_dev == held.st_dev))
            break;
        file.reset();
    }
    struct stat info {};
    if (fs.fstat(file->fd(), &info) != 0)
        return fileError(domain, QStringLiteral("Could not read"), path, errno);
    if (info.st_size > 0) {
        // A line cut off by a failed append must not swallow this one.
        char last = '\n';
        const ssize_t got = uninterrupted([&] { return fs.pread(file->fd(), &last, 1, info.st_size - 1); });
        if (got != 1)
            return fileError(domain, QStringLiteral("Could not read"), path, got < 0 ? errno : EIO);
        if (last != '\n')
            line.prepend('\n');
    }
    const off_t before = info.st_size;
    const auto takeBack = [&](const Error &error) -> Result<void> {
        static_cast<void>(fs.ftruncate(file->fd(), before));
        return std::unexpected(error);
    };
    if (auto written = writeFully(fs, file->fd(), domain, path, line); !written)
        return takeBack(written.error());
    if (uninterrupted([&] { return fs.fdatasync(file->fd()); }) != 0)
        return takeBack(fileError(domain, QStringLiteral("Could not save to disk"), path, errno).error());
    if (created) {
        if (auto entry = syncFolder(fs, domain, folder); !entry)
            return takeBack(entry.error());
    }
    if (const int closeError = file->close(); closeError != 0)
        return fileError(domain, QStringLiteral("Could not close"), path, closeError);
    return {};
}

Result<QString> followLinks(FileSystem &fs, const QString &domain, const QString &path)
{
    QString current = path;
    // As many links as the system itself follows before it gives up.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (fs.lstat(QFile::encodeName(current).constData(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        QByteArray target(4096, Qt::Uninitialized);
        const ssize_t length = fs.readlink(QFile::encodeName(current).constData(), target.data(), size_t(target.size()));
        if (length < 0)
            return fileError(domain, QStringLiteral("Could not follow the link"), current, errno);
        if (length >= target.size())
            return fileError(domain, QStringLiteral("Could not follow the link"), current, ENAMETOOLONG);
        target.truncate(length);
        const QString next = QFile::decodeName(target);
        current = QDir::cleanPath(QDir::isAbsolutePath(next) ? next : QFileInfo(current).dir().filePath(next));
    }
    return fileError(domain, QStringLiteral("Could not follow the links of"), path, ELOOP);
}

Result<void> replaceFile(FileSystem &fs, const QString &domain, const QString &folder, const QString &path,
                         QByteArrayView bytes)
{
    const Result<QString> followed = followLinks(fs, domain, path);
    if (!followed)
        return std::unexpected(followed.error());
    const bool linked = *followed != path;
    const QString target = *followed;
    const QString targetFolder = linked ? QFileInfo(target).absolutePath() : folder;
    const QByteArray native = QFile::encodeName(target);
    struct stat existing {};
    if (fs.stat(native.constData(), &existing) == 0 && !S_ISREG(existing.st_mode))
        return notAFile(domain, QStringLiteral("Could not write to"), target, existing.st_mode);
    if (bytes.isEmpty() && !linked) {
        if (fs.unlink(native.constData()) != 0 && errno != ENOENT)
            return fileError(domain, QStringLiteral("Could not remove"), target, errno);
        return syncFolder(fs, domain, targetFolder);
    }
    const QString next = target + QStringLiteral(".new");
    const QByteArray nativeNext = QFile::encodeName(next);
    const Result<int> opened =
        openRegularFile(fs, domain, QStringLiteral("Could not write to"), next, O_WRONLY | O_CREAT | O_TRUNC);
    if (!opened)
        return std::unexpected(opened.error());
    Descriptor file(fs, *opened);
    const auto giveUp = [&](const Error &error) -> Result<void> {
        file.close();
        static_cast<void>(fs.unlink(nativeNext.constData()));
        return std::unexpected(error);
    };
    if (auto written = writeFully(fs, file.fd(), domain, next, bytes); !written)
        return giveUp(written.error());
    if (uninterrupted([&] { return fs.fdatasync(file.fd()); }) != 0)
        return giveUp(fileError(domain, QStringLiteral("Could not save to disk"), next, errno).error());
    if (const int closeError = file.close(); closeError != 0)
        return giveUp(fileError(domain, QStringLiteral("Could not close"), next, closeError).error());
    if (fs.rename(nativeNext.constData(), native.constData()) != 0)
        return giveUp(fileError(domain, QStringLiteral("Could not replace"), target, errno).error());
    return syncFolder(fs, domain, targetFolder);
}

Result<std::optional<QByteArray>> readSmallFile(FileSystem &fs, const QString &domain, const QString &path,
                                                qsizetype largest)
{
    const Result<int> opened = openRegularFile(fs, domain, QStringLiteral("Could not read"), path, O_RDONLY);
    if (!opened) {
        if (opened.error().code == ENOENT)
            return std::optional<QByteArray>{};
        return std::unexpected(opened.error());
    }
    Descriptor file(fs, *opened);
    struct stat info {};
    if (fs.fstat(file.fd(), &info) != 0)
        return fileError(domain, QStringLiteral("Could not read"), path, errno);
    const auto tooLarge = [&]() {
        return failure(domain, EFBIG,
                       QStringLiteral("Could not read %1: it is larger than %2 bytes, far more than it can hold")
                           .arg(path)
                           .arg(largest));
    };
    if (info.st_size > largest)
        return tooLarge();
    // One byte past the largest tells a file that grew meanwhile.
    const qsizetype expected = std::max<qsizetype>(qsizetype(info.st_size), 0);
    Result<QByteArray> bytes =
        readUpTo(fs, file.fd(), domain, path, std::min(largest, expected + (qsizetype(64) << 10)) + 1);
    if (!bytes)
        return std::unexpected(bytes.error());
    if (bytes->size() > largest)
        return tooLarge();
    return std::optional<QByteArray>(std::move(*bytes));
}

void removeLeftover(FileSystem &fs, const QString &path)
{
    const QByteArray next = QFile::encodeName(path + QStringLiteral(".new"));
    struct stat info {};
    if (fs.lstat(next.constData(), &info) == 0 && S_ISREG(info.st_mode))
        static_cast<void>(fs.unlink(next.constData()));
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
