#include "safe_files.h"

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
        // Often: another copy of the app that works on the same files lets
        // the lock go only for the moment between two of its changes.
        QThread::usleep(2000);
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

} // namespace lirra
