#pragma once

#include "model/error.h"
#include "model/music.h"
#include "practice/file_system.h"
#include "practice/file_worker.h"

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
// only its damaged entries. The file is always written whole, beside the
// old one and renamed over it; a damaged one is first copied aside
// ("my_levels.damaged.json"), so that nothing it held is destroyed.
class SavedLevelStore {
public:
    using Folder = std::function<Result<QString>()>;

    struct Read {
        std::vector<Level> levels;
        int skipped = 0; // entries, or the whole file, that could not be used
        bool altered = false; // a name was too long to keep whole
    };

    // With a worker, writes run there.
    SavedLevelStore(Folder folder, std::shared_ptr<FileSystem> fs = FileSystem::posix(),
                    std::shared_ptr<FileWorker> worker = nullptr);

    // The saved levels, in the file's order; none when there is no file.
    // A file that cannot be read at all (a pipe, no permission) is an error.
    Result<Read> read();
    // Replaces the file with these levels.
    QCoro::Task<Result<void>> write(std::vector<Level> levels);
    Result<void> writeNow(const std::vector<Level> &levels, bool keepDamaged) const;

    // Renames a deleted level's history aside ("deleted_my_<uuid>.txt",
    // numbered when that is taken); nothing to do without one.
    QCoro::Task<Result<void>> putHistoryAside(QUuid savedId);

    // A name as it is kept: on one line, at most `maxNameLength` characters.
    static QString cleanName(const QString &name);

    static Read parse(QByteArrayView bytes);
    static QByteArray format(const std::vector<Level> &levels);
    // A level from one entry, when the entry is whole and its notes belong
    // to its key and mode.
    static std::optional<Level> levelFrom(const QJsonObject &entry);

    static const QString errorDomain;
    static constexpr qsizetype maxBytes = 16 * 1024 * 1024;
    static constexpr qsizetype maxNameLength = 200;

private:
    Result<QString> file() const;

    Folder m_folder;
    std::shared_ptr<FileSystem> m_fs;
    std::shared_ptr<FileWorker> m_worker;
    bool m_damaged = false; // the file last read held something unusable
};

} // namespace lirra
