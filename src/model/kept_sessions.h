#pragma once

// Where practice keeps finished sessions its level's file would not take:
// the interface a journal on disk implements.

#include "model/error.h"
#include "model/music.h"
#include "model/session_storage.h"

#include <QCoroTask>

#include <functional>
#include <vector>

namespace lirra {

// A finished session, and the level it belongs to.
struct KeptSession {
    std::int64_t levelId = 0;
    Session session;
    QUuid savedId = {}; // of a saved level
    int length = 1;     // of the questions, as `Level.questionLength`
    QuestionKind kind = QuestionKind::note;

    HistoryFile file() const { return {levelId, savedId, length, kind}; }

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

} // namespace lirra
