#pragma once

#include "storage/file_system.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace lirra::test {

// The system's calls, one step removed, so that a layer on top can watch or
// bend each of them.
class PassThroughFileSystem : public FileSystem {
public:
    int open(const char *path, int flags, mode_t mode) override { return m_os->open(path, flags, mode); }
    int close(int fd) override { return m_os->close(fd); }
    ssize_t pread(int fd, void *buffer, size_t size, off_t offset) override
    {
        return m_os->pread(fd, buffer, size, offset);
    }
    ssize_t write(int fd, const void *buffer, size_t size) override { return m_os->write(fd, buffer, size); }
    off_t lseek(int fd, off_t offset, int whence) override { return m_os->lseek(fd, offset, whence); }
    int fstat(int fd, struct stat *info) override { return m_os->fstat(fd, info); }
    int stat(const char *path, struct stat *info) override { return m_os->stat(path, info); }
    int lstat(const char *path, struct stat *info) override { return m_os->lstat(path, info); }
    ssize_t readlink(const char *path, char *buffer, size_t size) override
    {
        return m_os->readlink(path, buffer, size);
    }
    int ftruncate(int fd, off_t length) override { return m_os->ftruncate(fd, length); }
    int fdatasync(int fd) override { return m_os->fdatasync(fd); }
    int fsync(int fd) override { return m_os->fsync(fd); }
    int flock(int fd, int operation) override { return m_os->flock(fd, operation); }
    int mkdir(const char *path, mode_t mode) override { return m_os->mkdir(path, mode); }
    int rename(const char *from, const char *to) override { return m_os->rename(from, to); }
    int unlink(const char *path) override { return m_os->unlink(path); }

protected:
    std::shared_ptr<FileSystem> m_os = FileSystem::posix();
};

// Makes one call fail, counted from the first: with an errno value, or, for
// a write, by writing half of what it was given.
class FaultyFileSystem final : public PassThroughFileSystem {
public:
    enum class Fault { none, error, shortWrite };

    int failAt = -1;        // the call to fail, counting from 0
    int errorNumber = EIO;  // what it fails with
    Fault fault = Fault::error;
    std::vector<const char *> calls; // the name of each call made
    bool hit = false;

    int open(const char *path, int flags, mode_t mode) override
    {
        return next("open") ? -1 : PassThroughFileSystem::open(path, flags, mode);
    }
    int close(int fd) override
    {
        // The descriptor goes either way, as close(2) promises.
        if (next("close")) {
            PassThroughFileSystem::close(fd);
            errno = errorNumber;
            return -1;
        }
        return PassThroughFileSystem::close(fd);
    }
    ssize_t pread(int fd, void *buffer, size_t size, off_t offset) override
    {
        return next("pread") ? -1 : PassThroughFileSystem::pread(fd, buffer, size, offset);
    }
    ssize_t write(int fd, const void *buffer, size_t size) override
    {
        const bool failing = next("write");
        if (failing && fault == Fault::shortWrite)
            return PassThroughFileSystem::write(fd, buffer, std::max<size_t>(1, size / 2));
        return failing ? -1 : PassThroughFileSystem::write(fd, buffer, size);
    }
    off_t lseek(int fd, off_t offset, int whence) override
    {
        return next("lseek") ? -1 : PassThroughFileSystem::lseek(fd, offset, whence);
    }
    int fstat(int fd, struct stat *info) override { return next("fstat") ? -1 : PassThroughFileSystem::fstat(fd, info); }
    int stat(const char *path, struct stat *info) override
    {
        return next("stat") ? -1 : PassThroughFileSystem::stat(path, info);
    }
    int lstat(const char *path, struct stat *info) override
    {
        return next("lstat") ? -1 : PassThroughFileSystem::lstat(path, info);
    }
    ssize_t readlink(const char *path, char *buffer, size_t size) override
    {
        return next("readlink") ? -1 : PassThroughFileSystem::readlink(path, buffer, size);
    }
    int ftruncate(int fd, off_t length) override
    {
        return next("ftruncate") ? -1 : PassThroughFileSystem::ftruncate(fd, length);
    }
    int fdatasync(int fd) override { return next("fdatasync") ? -1 : PassThroughFileSystem::fdatasync(fd); }
    int fsync(int fd) override { return next("fsync") ? -1 : PassThroughFileSystem::fsync(fd); }
    int flock(int fd, int operation) override { return next("flock") ? -1 : PassThroughFileSystem::flock(fd, operation); }
    int mkdir(const char *path, mode_t mode) override
    {
        return next("mkdir") ? -1 : PassThroughFileSystem::mkdir(path, mode);
    }
    int rename(const char *from, const char *to) override
    {
        return next("rename") ? -1 : PassThroughFileSystem::rename(from, to);
    }
    int unlink(const char *path) override { return next("unlink") ? -1 : PassThroughFileSystem::unlink(path); }

private:
    // Whether this call fails; a short write only ever bends a write.
    bool next(const char *name)
    {
        const bool writing = std::string_view(name) == "write";
        const bool failing = int(calls.size()) == failAt
            && (fault == Fault::error || (fault == Fault::shortWrite && writing));
        calls.push_back(name);
        if (failing) {
            hit = true;
            if (fault == Fault::error)
                errno = errorNumber;
        }
        return failing;
    }
};

// Records every change the calls make to the files under a root, in order,
// so that the state a crash would leave after any of them can be laid out
// again; calls to paths matching `failing` fail with EIO instead (and change
// nothing).
class RecordingFileSystem final : public PassThroughFileSystem {
public:
    struct Change {
        enum Kind { create, write, truncate, sync, makeFolder, rename, remove } kind;
        QString path; // relative to the root
        QString to;   // a rename's target
        qint64 offset = 0;
        QByteArray bytes;

        static Change make(Kind kind, QString path, QString to = {}, qint64 offset = 0, QByteArray bytes = {})
        {
            return Change{kind, std::move(path), std::move(to), offset, std::move(bytes)};
        }
    };

    explicit RecordingFileSystem(QString root) : m_root(std::move(root)) {}

    std::vector<Change> changes;
    QString failing; // a part of the path that fails every call, when set

    int open(const char *path, int flags, mode_t mode) override
    {
        if (fails(path)) {
            errno = EIO;
            return -1;
        }
        struct stat before {};
        const bool existed = m_os->stat(path, &before) == 0;
        const int fd = PassThroughFileSystem::open(path, flags, mode);
        if (fd < 0)
            return fd;
        m_open[fd] = {relative(path), bool(flags & O_APPEND)};
        if (!existed && (flags & O_CREAT))
            changes.push_back(Change::make(Change::create, relative(path)));
        if (flags & O_TRUNC)
            changes.push_back(Change::make(Change::truncate, relative(path), {}, 0, {}));
        return fd;
    }
    int close(int fd) override
    {
        m_open.erase(fd);
        return PassThroughFileSystem::close(fd);
    }
    ssize_t write(int fd, const void *buffer, size_t size) override
    {
        const auto file = m_open.find(fd);
        if (file != m_open.end() && fails(file->second.path)) {
            errno = EIO;
            return -1;
        }
        struct stat info {};
        m_os->fstat(fd, &info);
        const qint64 offset = file != m_open.end() && file->second.append ? info.st_size : m_os->lseek(fd, 0, SEEK_CUR);
        const ssize_t written = PassThroughFileSystem::write(fd, buffer, size);
        if (written > 0 && file != m_open.end())
            changes.push_back(Change::make(Change::write, file->second.path, {}, offset,
                               QByteArray(static_cast<const char *>(buffer), qsizetype(written))));
        return written;
    }
    int ftruncate(int fd, off_t length) override
    {
        const int result = PassThroughFileSystem::ftruncate(fd, length);
        if (result == 0 && m_open.contains(fd))
            changes.push_back(Change::make(Change::truncate, m_open[fd].path, {}, qint64(length), {}));
        return result;
    }
    int fdatasync(int fd) override { return synced(fd, PassThroughFileSystem::fdatasync(fd)); }
    int fsync(int fd) override { return synced(fd, PassThroughFileSystem::fsync(fd)); }
    int mkdir(const char *path, mode_t mode) override
    {
        if (fails(path)) {
            errno = EIO;
            return -1;
        }
        const int result = PassThroughFileSystem::mkdir(path, mode);
        if (result == 0)
            changes.push_back(Change::make(Change::makeFolder, relative(path)));
        return result;
    }
    int rename(const char *from, const char *to) override
    {
        const int result = PassThroughFileSystem::rename(from, to);
        if (result == 0)
            changes.push_back(Change::make(Change::rename, relative(from), relative(to)));
        return result;
    }
    int unlink(const char *path) override
    {
        const int result = PassThroughFileSystem::unlink(path);
        if (result == 0)
            changes.push_back(Change::make(Change::remove, relative(path)));
        return result;
    }

    // Lays out under `root` what the first `count` changes left, the last
    // write cut to `lastWriteBytes` when that is not negative. With
    // `dropUnsynced`, a file's writes after its last sync among them are
    // lost, as a crash may lose what the disk was never told to keep.
    static void replay(const std::vector<Change> &changes, size_t count, const QString &root, qint64 lastWriteBytes,
                       bool dropUnsynced)
    {
        std::map<QString, size_t> lastSync;
        for (size_t i = 0; i < count; ++i) {
            if (changes[i].kind == Change::sync)
                lastSync[changes[i].path] = i;
        }
        for (size_t i = 0; i < count; ++i) {
            const Change &c = changes[i];
            const QString path = root + QLatin1Char('/') + c.path;
            switch (c.kind) {
            case Change::create: {
                QFile file(path);
                file.open(QIODevice::WriteOnly | QIODevice::Append);
                break;
            }
            case Change::write: {
                if (dropUnsynced && (!lastSync.contains(c.path) || lastSync[c.path] < i))
                    break;
                QByteArray bytes = c.bytes;
                if (i + 1 == count && lastWriteBytes >= 0)
                    bytes.truncate(lastWriteBytes);
                QFile file(path);
                if (file.open(QIODevice::ReadWrite) && file.seek(c.offset))
                    file.write(bytes);
                break;
            }
            case Change::truncate:
                QFile::resize(path, c.offset);
                break;
            case Change::sync:
                break;
            case Change::makeFolder:
                QDir().mkpath(path);
                break;
            case Change::rename:
                ::rename(QFile::encodeName(path).constData(), QFile::encodeName(root + QLatin1Char('/') + c.to).constData());
                break;
            case Change::remove:
                QFile::remove(path);
                break;
            }
        }
    }

private:
    struct OpenFile {
        QString path;
        bool append = false;
    };

    QString relative(const QString &path) const { return QDir(m_root).relativeFilePath(path); }
    bool fails(const QString &path) const { return !failing.isEmpty() && path.contains(failing); }
    int synced(int fd, int result)
    {
        if (result == 0 && m_open.contains(fd))
            changes.push_back(Change::make(Change::sync, m_open[fd].path));
        return result;
    }

    QString m_root;
    std::map<int, OpenFile> m_open;
};

} // namespace lirra::test
