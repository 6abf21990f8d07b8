#pragma once

// Writing the user's files so that nothing is lost: locks that wait a
// bounded time, appends that leave no half line, replaces that are all or
// nothing and keep links, small files read without waiting or growing, and
// what a cut-short replace left behind.

#include "storage/file_system.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

namespace lirra {

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

} // namespace lirra
