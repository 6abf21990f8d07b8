#pragma once

#include "model/error.h"
#include "model/level_store.h"
#include "model/music.h"
#include "storage/file_system.h"
#include "storage/file_worker.h"

#include <QCoroTask>
#include <QJsonObject>

#include <functional>
#include <memory>
#include <vector>

namespace lirra {

// The levels the user saved, defined in one file, "my_levels.json", in the
// sessions folder beside their histories:
//   {"levels": [{"id": "<uuid>", "name": "Thirds", "key": "c", "major": true,
//                "chromatic": false, "notes": ["c:1", "e:1", "g:1"]}]}
// Reading skips what it cannot use, entry by entry: a damaged file loses
// only its damaged entries. Every change reads the file again and writes it
// whole, beside the old one and renamed over it (the file a link leads to,
// when it is a link), all under a lock on its folder, so that two running
// copies of the app never write back a list that misses the other's change.
// A damaged file is first copied aside ("my_levels.damaged.json"), so that
// nothing it held is destroyed.
class SavedLevelStore final : public LevelStore {
public:
    using Folder = std::function<Result<QString>()>;

    // With a worker, writes run there.
    SavedLevelStore(Folder folder, std::shared_ptr<FileSystem> fs = FileSystem::posix(),
                    std::shared_ptr<FileWorker> worker = nullptr);

    // The saved levels, in the file's order; none when there is no file.
    // A file that cannot be read at all (a pipe, no permission) is an error.
    Result<Read> read() override;
    // Whether the file may have changed since it was last read here (another
    // copy of the app changed it).
    bool changedSinceRead() const override;

    // Reads the file afresh under its lock, changes its levels and writes
    // them; the answer is the levels written.
    QCoro::Task<Result<std::vector<Level>>> update(Change change) override;
    Result<std::vector<Level>> updateNow(const Change &change) const;
    // Replaces the file with these levels.
    QCoro::Task<Result<void>> write(std::vector<Level> levels);
    // Removes what a write cut short by the end of the process left beside
    // the file.
    void removeLeftovers() const override;

    // Renames a deleted level's history aside ("deleted_my_<uuid>.txt",
    // numbered when that is taken); nothing to do without one.
    QCoro::Task<Result<void>> putHistoryAside(QUuid savedId) override;

    static Read parse(QByteArrayView bytes);
    static QByteArray format(const std::vector<Level> &levels);
    // A level from one entry, when the entry is whole and its notes belong
    // to its key and mode.
    static std::optional<Level> levelFrom(const QJsonObject &entry);

    static const QString errorDomain;
    // A level takes about 250 bytes: room for ten thousand of them and more.
    static constexpr qsizetype maxBytes = 4 * 1024 * 1024;
    // More entries than that are damage, not levels anyone made.
    static constexpr int maxLevels = 10000;

private:
    Result<QString> file() const;
    // What identifies the file's contents as last read: its inode, size and
    // time of change.
    struct Signature {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = -1;
        qint64 changed = 0;
        friend bool operator==(const Signature &, const Signature &) = default;
    };
    Signature signature() const;

    Folder m_folder;
    std::shared_ptr<FileSystem> m_fs;
    std::shared_ptr<FileWorker> m_worker;
    Signature m_read;
};

} // namespace lirra
