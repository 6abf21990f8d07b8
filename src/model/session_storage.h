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
// that the two kinds can never meet in one file. Melodies of N notes keep
// a file of their own beside it ("sessions_7_n3.txt", "my_<uuid>_n3.txt"),
// and chords theirs ("chords_7.txt", "chords_my_<uuid>_n3.txt").
struct HistoryFile {
    std::int64_t levelId = 0;
    QUuid savedId;
    int length = 1;
    QuestionKind kind = QuestionKind::note;

    HistoryFile(std::int64_t levelId = 0, QUuid savedId = {}, int length = 1, QuestionKind kind = QuestionKind::note)
        : levelId(levelId), savedId(savedId), length(length), kind(kind) {}
    static HistoryFile of(const Level &level)
    {
        return {level.id, level.savedId, level.questionLength, level.questionKind};
    }
    // The same level's files of every kind and question length: notes
    // first, one note first.
    std::vector<HistoryFile> everyShape() const;
    // The file's name in the sessions folder. A uuid writes as hex digits
    // and dashes only, whatever text it was read from.
    QString fileName() const;

    friend bool operator==(const HistoryFile &, const HistoryFile &) = default;
    friend bool operator<(const HistoryFile &a, const HistoryFile &b)
    {
        if (a.levelId != b.levelId)
            return a.levelId < b.levelId;
        if (a.savedId != b.savedId)
            return a.savedId < b.savedId;
        return a.kind != b.kind ? a.kind < b.kind : a.length < b.length;
    }
};

class SessionStorage {
public:
    virtual ~SessionStorage() = default;
    // The level's stored sessions, oldest first; only the level's id and
    // question length are used.
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
