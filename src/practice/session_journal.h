#pragma once

#include "model/error.h"
#include "model/music.h"
#include "practice/file_session_storage.h"

#include <QCoroTask>

#include <functional>
#include <memory>
#include <set>
#include <vector>

namespace lirra {

// A finished session, and the level it belongs to.
struct KeptSession {
    std::int64_t levelId = 0;
    Session session;
    QUuid savedId = {}; // of a saved level

    HistoryFile file() const { return {levelId, savedId}; }

    friend bool operator==(const KeptSession &, const KeptSession &) = default;
};

// Which levels there are to add kept sessions to.
using KnownLevels = std::function<bool(const HistoryFile &)>;

// Where finished sessions wait, on disk, while their level's file cannot be
// written, until they can be added to it.
class SessionJournal {
public:
    virtual ~SessionJournal() = default;
    // Done once the session is on disk.
    virtual QCoro::Task<Result<void>> keep(KeptSession kept) = 0;
    // Adds what is kept to the levels' files, oldest first, and forgets it.
    // A level whose file cannot be written keeps its sessions, in order; the
    // first such failure is the answer. A session already in its level's
    // file (an earlier replay cut short) is not added twice. A session of a
    // level `known` does not know (deleted, or never there) stays kept, and
    // no file is made for it; without `known`, every built-in id and every
    // saved level counts as known.
    virtual QCoro::Task<Result<void>> replay(KnownLevels known = {}) = 0;
    // What is kept, oldest first, as last read or written.
    virtual std::vector<KeptSession> kept() const = 0;
};

// The journal as one file, "kept_sessions.txt", in the app's data folder:
// a line per session, the level's id (for a saved level "my_" and its
// uuid), a blank, then the session as its level's file would hold it.
// Appended to like the level files; rewritten whole (beside it, then renamed
// over it) after a replay, which holds the file's lock from the first line
// read to the rename, so that a copy of the app appending meanwhile waits and
// then appends to the new file; removed when empty.
class FileSessionJournal final : public SessionJournal {
public:
    using Folder = std::function<Result<QString>()>;

    // With a worker, the file work runs there, in turn with the storage's.
    FileSessionJournal(Folder folder, FileSessionStorage storage, std::shared_ptr<FileSystem> fs = FileSystem::posix(),
                       std::shared_ptr<FileWorker> worker = nullptr);

    QCoro::Task<Result<void>> keep(KeptSession kept) override;
    QCoro::Task<Result<void>> replay(KnownLevels known = {}) override;
    std::vector<KeptSession> kept() const override { return m_kept; }

    // The app's data folder ("~/.local/share/lirra").
    static Result<QString> standardFolder();

    // The same work in the caller's thread, without the record of what is kept.
    Result<void> append(const KeptSession &kept) const;
    struct Replayed {
        std::vector<KeptSession> left; // what the journal holds afterwards
        Result<void> outcome;
        // The files of levels that are not known, whose sessions stay.
        std::vector<HistoryFile> unplaced;
    };
    Replayed replayNow(const KnownLevels &known = {}) const;
    // Every entry, however many.
    Result<std::vector<KeptSession>> read() const;

    // Told, once per level and run, of sessions kept for a level that does
    // not exist: they stay in the journal.
    void setWarningHandler(std::function<void(const QString &)> handler) { m_warn = std::move(handler); }

    static QByteArray formatLine(const KeptSession &kept);
    static std::optional<KeptSession> parseLine(QByteArrayView line);

    static const QString errorDomain;

private:
    Result<QString> file() const;
    struct Entries {
        std::vector<KeptSession> entries;
        bool damaged = false; // lines that are no entry, or one twice
    };
    Result<Entries> readOpen(int fd, const QString &path) const;

    Folder m_folder;
    FileSessionStorage m_storage;
    std::shared_ptr<FileSystem> m_fs;
    std::shared_ptr<FileWorker> m_worker;
    std::vector<KeptSession> m_kept;
    std::function<void(const QString &)> m_warn;
    std::set<HistoryFile> m_named; // unplaced levels already told of
};

} // namespace lirra
