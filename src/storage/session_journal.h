#pragma once

#include "model/error.h"
#include "model/kept_sessions.h"
#include "model/music.h"
#include "storage/file_session_storage.h"

#include <QCoroTask>

#include <functional>
#include <memory>
#include <set>
#include <vector>

namespace lirra {

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
