#pragma once

#include "model/error.h"

#include <QByteArray>
#include <QStandardPaths>
#include <QString>

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

// How long a file or a folder locked by another program is waited for
// before the work that needs it fails.
inline constexpr int lockTimeoutMs = 2000;

// Takes an exclusive lock on the open file, waiting at most
// `lockTimeoutMs` for a holder to let go.
Result<void> lockExclusively(FileSystem &fs, int fd, const QString &domain, const QString &path,
                             int timeoutMs = lockTimeoutMs);

// An exclusive lock on a folder, for work that reads a file in it and
// replaces it, so that two running copies of the app take turns and neither
// writes back what it read before the other's change. Where the file system
// has no locks the work goes on without one.
class FolderLock {
public:
    static Result<FolderLock> take(FileSystem &fs, const QString &domain, const QString &folder,
                                   int timeoutMs = lockTimeoutMs);
    FolderLock(FolderLock &&other) noexcept = default;
    FolderLock &operator=(FolderLock &&) = delete;

private:
    FolderLock(FileSystem &fs, int fd) : m_fd(std::make_unique<Descriptor>(fs, fd)) {}
    std::unique_ptr<Descriptor> m_fd; // closing it lets go
};

// Appends one line (or several, each ending in a line feed) to a regular
// file in `folder`, creating it if need be, and returns once they are on
// disk. They go in one append-mode write under an exclusive lock, after a
// line feed when the file ends in a cut-off line. On any failure the file is cut back
// to where it was: no half line stays behind, and no line that may not be on
// disk is left to be taken for saved.
Result<void> appendLine(FileSystem &fs, const QString &domain, const QString &folder, const QString &path,
                        QByteArray line);

// The path a file is written at: where a symbolic link at `path` leads,
// link after link, so that a file kept elsewhere (a synced folder) and
// linked to stays where it is; `path` itself when it is no link.
Result<QString> followLinks(FileSystem &fs, const QString &domain, const QString &path);

// Replaces a regular file with `bytes`, all or nothing, on disk when it
// returns: written beside it, synced, renamed over it. A symbolic link is
// followed, the file it leads to replaced in its own folder and the link
// kept. What stands there and is not a regular file is refused, named.
// No bytes remove the file (a linked one is emptied instead). `folder` is
// the path's folder.
Result<void> replaceFile(FileSystem &fs, const QString &domain, const QString &folder, const QString &path,
                         QByteArrayView bytes);

// The whole of a small regular file, at most `largest` bytes; none when
// there is no file. A larger file, or what is not a regular file, is an
// error naming it. The file is never waited on (a named pipe) and never held
// in memory beyond `largest` and one byte.
Result<std::optional<QByteArray>> readSmallFile(FileSystem &fs, const QString &domain, const QString &path,
                                                qsizetype largest);

// Removes "<path>.new", what a replace cut short by the end of the process
// left behind, when it is a regular file; the file itself was never touched.
void removeLeftover(FileSystem &fs, const QString &path);

// One of the user's standard folders. Without a home folder (HOME unset or
// not absolute) there is none: the error says so and names the path that
// would have been used, instead of a folder at the root of the disk.
Result<QString> userFolder(QStandardPaths::StandardLocation location, const QString &domain);

} // namespace lirra
