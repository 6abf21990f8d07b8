#pragma once

#include "model/error.h"
#include "model/music.h"

#include <QCoroTask>

#include <vector>

namespace lirra {

class SessionStorage {
public:
    virtual ~SessionStorage() = default;
    // The level's stored sessions, oldest first; only the level's id is used.
    virtual QCoro::Task<Result<std::vector<Session>>> loadSessions(Level level) = 0;
    // Appends one session of the level; a session without answers is not stored.
    virtual QCoro::Task<Result<void>> saveSession(Session session, Level level) = 0;
};

} // namespace lirra
