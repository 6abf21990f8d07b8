#pragma once

#include "model/error.h"

#include <QByteArray>
#include <QStandardPaths>
#include <QString>

#include <cerrno>
#include <memory>
#include <optional>
#include <utility>
#include <sys/stat.h>
#include <sys/types.h>

namespace lirra {

// The file calls the stores make, one per POSIX call, each answering as its
// namesake does (-1 and errno on failure), so that a test can record the
// calls or make any one of them fail.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual int open(const char *path, int flags, mode_t mode) = 0;
    virtual int close(int fd) = 0;
    virtual ssize_t pread(int fd, void *buffer, size_t size, off_t offset) = 0;
    virtual ssize_t write(int fd, const void *buffer, size_t size) = 0;
    virtual off_t lseek(int fd, off_t offset, int whence) = 0;
    virtual int fstat(int fd, struct stat *info) = 0;
    virtual int stat(const char *path, struct stat *info) = 0;
    virtual int lstat(const char *path, struct stat *info) = 0;
    virtual ssize_t readlink(const char *path, char *buffer, size_t size) = 0;
    virtual int ftruncate(int fd, off_t length) = 0;
    virtual int fdatasync(int fd) = 0;
    virtual int fsync(int fd) = 0;
    virtual int flock(int fd, int operation) = 0;
    virtual int mkdir(const char *path, mode_t mode) = 0;
    virtual int rename(const char *from, const char *to) = 0;
    virtual int unlink(const char *path) = 0;

    // The operating system's own calls.
    static std::shared_ptr<FileSystem> posix();
};

// A descriptor closed on every way out, unless released.
class Descriptor {
public:
    Descriptor(FileSystem &fs, int fd) : m_fs(&fs), m_fd(fd) {}
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0)
            m_fs->close(m_fd);
    }
    int fd() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    // Closes it now; the close's failure, if any, as an errno value (0 for none).
    int close();
    // Hands the descriptor over; it is no longer closed here.
    int release() { return std::exchange(m_fd, -1); }

private:
    FileSystem *m_fs;
    int m_fd;
};

// "<what> <path>: <reason>", the reason in the system's words.
std::unexpected<Error> fileError(const QString &domain, const QString &what, const QString &path, int error);
// Refuses what stands at a path that is not a regular file, naming it.
std::unexpected<Error> notAFile(const QString &domain, const QString &what, const QString &path, mode_t mode);

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


// Opens a regular file (symbolic links followed) without ever blocking: a
// named pipe, a device, a socket or a folder at the path is refused at once
// with an error naming it. `flags` are open(2)'s; O_NONBLOCK and O_CLOEXEC
// are added. A missing file with O_CREAT is created; `created` says so.
Result<int> openRegularFile(FileSystem &fs, const QString &domain, const QString &what, const QString &path,
                            int flags, bool *created = nullptr);

// Writes all of `bytes` at the descriptor's position, through short writes
// and interruptions.
Result<void> writeFully(FileSystem &fs, int fd, const QString &domain, const QString &path, QByteArrayView bytes);

// Reads the file from its start until its end or `limit` bytes, whichever
// comes first, through short reads and interruptions.
Result<QByteArray> readUpTo(FileSystem &fs, int fd, const QString &domain, const QString &path, qsizetype limit);
// Makes the folder's entries (a file created or renamed in it) durable.
Result<void> syncFolder(FileSystem &fs, const QString &domain, const QString &folder);

// Creates the folder when nothing, or something that is not a folder, stands
// at its path (which then fails); with `intermediates` its missing parents
// too. Each folder created is made durable in its parent.
Result<void> ensureFolder(FileSystem &fs, const QString &domain, const QString &path, bool intermediates);

// One of the user's standard folders. Without a home folder (HOME unset or
// not absolute) there is none: the error says so and names the path that
// would have been used, instead of a folder at the root of the disk.
Result<QString> userFolder(QStandardPaths::StandardLocation location, const QString &domain);

} // namespace lirra
