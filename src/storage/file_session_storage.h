#pragma once

#include "model/session_storage.h"
#include "storage/file_system.h"
#include "storage/file_worker.h"

#include <QByteArray>

#include <functional>
#include <memory>
#include <optional>

namespace lirra {

// Finished sessions of levels, one line per session, in
// "<documents>/lirra_sessions/sessions_<id>.txt" for a built-in level and
// "my_<uuid>.txt" beside it for a saved one. Only regular files are read
// or written; every append is on disk before it is reported done.
class FileSessionStorage final : public SessionStorage {
public:
    using DocumentsFolder = std::function<Result<QString>()>;

    // By default the user's documents folder, created when missing, the
    // system's file calls, and the work done in the caller's thread.
    explicit FileSessionStorage(DocumentsFolder documentsFolder = standardDocumentsFolder,
                                std::shared_ptr<FileSystem> fs = FileSystem::posix(),
                                std::shared_ptr<FileWorker> worker = nullptr);

    // With a worker, saves run there; loads run in the caller's thread.
    QCoro::Task<Result<std::vector<Session>>> loadSessions(Level level) override;
    QCoro::Task<Result<void>> saveSession(Session session, Level level) override;
    std::optional<Result<std::vector<Session>>> loadSessionsNow(const Level &level) override
    {
        return load(HistoryFile::of(level));
    }

    // The same work in the caller's thread. `load` keeps the newest `count` lines.
    Result<std::vector<Session>> load(const HistoryFile &file, int count = keptLines) const;
    Result<void> save(const Session &session, const HistoryFile &file) const;
    // Several sessions of a level in one append: all on disk, or none.
    Result<void> save(const std::vector<Session> &sessions, const HistoryFile &file) const;
    // The folder the histories are in, made when missing.
    Result<QString> sessionsFolder() const;

    static Result<QString> standardDocumentsFolder();

    // One stored line, with its line feed.
    static QByteArray formatLine(const Session &session);
    // A stored line without its line break; absent when the line holds no
    // readable entry.
    static std::optional<Session> parseLine(QStringView line);
    // The same from the raw bytes of a line; invalid UTF-8 reads as no session.
    static std::optional<Session> parseLine(QByteArrayView bytes);

    // A note name as the files write it ("csharp"), and read back (any
    // case, flat aliases too).
    static QString writtenName(NoteName name);
    static std::optional<NoteName> readNoteName(QStringView text);

    static constexpr int keptLines = 100;
    static const QString errorDomain;

    std::shared_ptr<FileSystem> fileSystem() const { return m_fs; }
    std::shared_ptr<FileWorker> worker() const { return m_worker; }

private:
    // The level's file in the sessions folder, which it creates if need be.
    Result<QString> levelFile(const HistoryFile &file) const;

    DocumentsFolder m_documentsFolder;
    std::shared_ptr<FileSystem> m_fs;
    std::shared_ptr<FileWorker> m_worker;
};

} // namespace lirra
