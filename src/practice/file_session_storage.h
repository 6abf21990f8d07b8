#pragma once

#include "practice/session_storage.h"

#include <QByteArray>

#include <functional>
#include <optional>

namespace lirra {

// Finished sessions of built-in levels, one line per session, in
// "<documents>/lirra_sessions/sessions_<id>.txt".
class FileSessionStorage final : public SessionStorage {
public:
    using DocumentsFolder = std::function<Result<QString>()>;

    // By default the user's documents folder, created when missing.
    explicit FileSessionStorage(DocumentsFolder documentsFolder = standardDocumentsFolder);

    QCoro::Task<Result<std::vector<Session>>> loadSessions(Level level) override;
    QCoro::Task<Result<void>> saveSession(Session session, Level level) override;

    // The same work without the task wrapper.
    Result<std::vector<Session>> load(std::int64_t levelId) const;
    Result<void> save(const Session &session, std::int64_t levelId) const;

    static Result<QString> standardDocumentsFolder();

    // One stored line, with its line feed.
    static QByteArray formatLine(const Session &session);
    // A stored line without its line break; absent when the line holds no
    // readable entry.
    static std::optional<Session> parseLine(QStringView line);

    static constexpr int keptLines = 100;

private:
    Result<QString> sessionsFolder() const;
    // The level's file in the sessions folder, which it creates if need be.
    Result<QString> levelFile(std::int64_t levelId) const;

    DocumentsFolder m_documentsFolder;
};

} // namespace lirra
