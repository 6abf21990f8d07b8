#pragma once

#include "model/error.h"
#include "model/music.h"

#include <QCoroTask>

#include <compare>
#include <optional>
#include <vector>

namespace lirra {

// Which file holds a level's history: a built-in level's by its number
// ("sessions_7.txt"), a saved level's by its identity ("my_<uuid>.txt"), so
// that the two kinds can never meet in one file.
struct HistoryFile {
    std::int64_t levelId = 0;
    QUuid savedId;

    HistoryFile(std::int64_t levelId = 0, QUuid savedId = {}) : levelId(levelId), savedId(savedId) {}
    static HistoryFile of(const Level &level) { return {level.id, level.savedId}; }
    // The file's name in the sessions folder. A uuid writes as hex digits
    // and dashes only, whatever text it was read from.
    QString fileName() const;

    friend bool operator==(const HistoryFile &, const HistoryFile &) = default;
    friend bool operator<(const HistoryFile &a, const HistoryFile &b)
    {
        return a.levelId != b.levelId ? a.levelId < b.levelId : a.savedId < b.savedId;
    }
};

class SessionStorage {
public:
    virtual ~SessionStorage() = default;
    // The level's stored sessions, oldest first; only the level's id is used.
    virtual QCoro::Task<Result<std::vector<Session>>> loadSessions(Level level) = 0;
    // Appends one session of the level; a session without answers is not stored.
    virtual QCoro::Task<Result<void>> saveSession(Session session, Level level) = 0;
    // The same as `loadSessions`, at once, for a store that reads without
    // waiting; others have nothing to give this way.
    virtual std::optional<Result<std::vector<Session>>> loadSessionsNow(const Level &level)
    {
        static_cast<void>(level);
        return std::nullopt;
    }
};

} // namespace lirra
