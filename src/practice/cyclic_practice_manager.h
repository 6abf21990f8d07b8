#pragma once

#include "model/generators.h"
#include "model/kept_sessions.h"
#include "model/level_store.h"
#include "model/preferences.h"
#include "model/session_storage.h"
#include "practice/adaptive_order.h"
#include "practice/practice_manager.h"
#include "practice/random_source.h"
#include "practice/turns.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace lirra {

// Walks the built-in levels with a cursor that wraps at both ends, runs
// sessions and asks every note of a level once per shuffled pass. Beside
// them it keeps the levels the user saved, each with a history of its own.
//
// A finished session whose save fails is kept: in the journal when there is
// one and it can be written, else in memory. What is kept is written to the
// levels' files, oldest first, before every later save, when practice is
// prepared, on the way on after a failure and before the app closes; until
// then it counts in its level's history. A session kept for a level stays
// behind the ones kept before it, so each file stays in the order the
// sessions were finished.
class CyclicPracticeManager final : public PracticeManager {
public:
    enum class ErrorCase { noSessionInProgress, unexpected };
    static Error error(ErrorCase which);

    struct Collaborators {
        std::shared_ptr<SessionStorage> storage;
        std::shared_ptr<Preferences> preferences;
        std::shared_ptr<LevelGenerator> levelGenerator = std::make_shared<DiatonicLevelGenerator>();
        std::shared_ptr<NoteResolutionGenerator> noteResolutionGenerator =
            std::make_shared<DiatonicNoteResolutionGenerator>();
        std::shared_ptr<RandomSource> random = std::make_shared<SystemRandomSource>();
        // Seconds since 1970-01-01 00:00 UTC, with fractions.
        std::function<double()> now = systemNow;
        // Where failed saves are kept on disk; without one, in memory only.
        std::shared_ptr<SessionJournal> journal;
        // The user's own levels; without a store there are none.
        std::shared_ptr<LevelStore> savedLevels;
    };

    explicit CyclicPracticeManager(Collaborators collaborators);

    QCoro::Task<Result<Level>> prepareToPractice() override;
    QCoro::Task<Result<Level>> loadFirstLevel() override;
    QCoro::Task<Result<Level>> loadRandomLevel() override;
    QCoro::Task<Result<Level>> loadPreviousLevel() override;
    QCoro::Task<Result<Level>> loadNextLevel() override;
    QCoro::Task<Result<Level>> loadLevel(Level level) override;
    void setQuestionShape(int length, MelodyLeap leap, QuestionKind kind, bool repeat) override;
    QCoro::Task<Result<Level>> loadLevelForQuestionLength() override;
    QCoro::Task<Result<Session>> startSession() override;
    QCoro::Task<Result<Level>> stopSession() override;
    QCoro::Task<Result<Question>> loadNextQuestion(PracticeMode mode = PracticeMode::cycle) override;
    std::vector<Question> questionsToHear(std::size_t count) override;
    QCoro::Task<Result<Session>> logRightAnswer(Question question) override;
    QCoro::Task<Result<Session>> logWrongAnswer(Question question, Note answered) override;
    QCoro::Task<Result<Level>> reloadLevel() override;
    QCoro::Task<int> saveBeforeQuit() override;
    std::vector<Level> levelsToChoose() override;
    HistorySummary historySummary(const Level &level) override;
    QCoro::Task<Result<Level>> loadLevelWithId(std::int64_t id) override;
    QCoro::Task<Result<Level>> saveLevel(Level level, QString name) override;
    QCoro::Task<Result<Level>> renameLevel(std::int64_t id, QString name) override;
    QCoro::Task<Result<Level>> deleteLevel(std::int64_t id) override;

    static double systemNow();

    // Finished sessions kept in memory only, oldest first.
    std::vector<KeptSession> sessionsKeptInMemory() const;

private:
    // How a failed save was kept.
    struct Kept {
        bool onDisk = false;
        std::optional<Error> journalError; // why not, when not
    };

    QCoro::Task<Result<Level>> loadLevelAtCursor();
    // Loads a level of the user's own, the cursor staying where it is.
    QCoro::Task<Result<Level>> loadSavedLevel(Level level);
    // The level with its stored history and what is kept for it.
    Level withHistory(Level level, std::vector<Session> stored) const;
    // The level and its history, with what is kept for it, made current.
    Level makeCurrent(Level level, std::vector<Session> stored);
    // Reads the saved levels when they are not read yet or could not be.
    Result<void> readSavedLevels();
    // Changes the saved levels as the file holds them now, and keeps what
    // was written.
    QCoro::Task<Result<void>> updateSavedLevels(LevelStore::Change change);
    std::optional<Level> savedLevel(std::int64_t id) const;
    void generateLevelsIfNeeded();
    // What is kept for a level, oldest first: the journal's, then memory's.
    std::vector<Session> keptSessionsOf(const HistoryFile &file) const;
    // The level with the sessions added to its history, each once.
    static Level withSessions(Level level, const std::vector<Session> &sessions);
    bool holdsKept(const HistoryFile &file) const;
    // Holding the turn: writes what is kept, then the stopped session.
    QCoro::Task<Result<Level>> saveStopped(Level level, Session session);
    // Holding the turn: writes what is kept to the levels' files.
    QCoro::Task<Result<void>> writeKept();
    // The levels there are, built-in and saved, whose kept sessions may go
    // to their files.
    KnownLevels knownLevels();
    QCoro::Task<Kept> keep(KeptSession session);
    static Error keptError(Error error, const Kept &kept);
    Result<Session> logAnswer(const Question &question, std::optional<Note> wrongNote);
    std::vector<Note> shuffled(std::vector<Note> notes);
    // A new shuffled pass, and a fresh adaptive order, over the notes.
    void startPasses(const std::vector<Note> &notes);
    // The running session's answers with the level's recent ones.
    PracticeEvidence evidence() const;
    Question questionFor(Note note) const;
    // What the current level's questions ask about: its notes, or its
    // chords' roots.
    std::vector<Note> askedNotes() const;
    // A question of the kind and length set, starting on `first`; adaptive
    // draws each next note with the weights it draws single notes with.
    Question questionStartingOn(Note first, PracticeMode mode);
    // The melody as a question: its last note asked, with that note's
    // resolution.
    Question melodyQuestion(std::vector<Note> melody) const;

    Collaborators m_with;
    std::vector<Level> m_allLevels;
    std::int64_t m_cursor = -1;
    std::optional<Level> m_currentLevel;
    std::optional<Session> m_currentSession;
    // The current session holds answers that no stop has saved (or kept) yet.
    bool m_sessionUnsaved = false;
    // The current session was stopped or saved for a quit: it is finished.
    bool m_sessionEnded = false;
    std::optional<Question> m_currentQuestion;
    std::int64_t m_currentQuestionIndex = 0;
    std::vector<Note> m_currentNotes;
    AdaptiveOrder m_adaptive;
    std::optional<Question> m_lastAnsweredQuestion;
    // Finished sessions that neither their level's file nor the journal
    // took, per level id, oldest first.
    std::map<HistoryFile, std::vector<Session>> m_unsavedSessions;
    std::vector<Level> m_savedLevels;
    bool m_savedLevelsRead = false;
    // What each level's history came to when last read or written, by id.
    std::map<std::int64_t, HistorySummary> m_summaries;
    // Writing takes turns, so that sessions reach each file in order and a
    // quit waits for a stop already under way.
    Turns m_writing;
    int m_length = 1;
    MelodyLeap m_leap = MelodyLeap::fifth;
    QuestionKind m_kind = QuestionKind::note;
    bool m_repeat = false;
    // An unsaved narrowing's sessions of the kinds and lengths not on show.
    std::map<std::pair<QuestionKind, int>, std::vector<Session>> m_narrowingSessions;
};

} // namespace lirra
