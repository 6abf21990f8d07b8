#pragma once

#include "model/generators.h"
#include "practice/practice_manager.h"
#include "practice/preferences.h"
#include "practice/random_source.h"
#include "practice/session_storage.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace lirra {

// Walks the built-in levels with a cursor that wraps at both ends, runs
// sessions and asks every note of a level once per shuffled pass. A session
// whose save fails is kept in memory and saved, before the next one, at the
// next stop of its level.
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
    };

    explicit CyclicPracticeManager(Collaborators collaborators);

    QCoro::Task<Result<Level>> prepareToPractice() override;
    QCoro::Task<Result<Level>> loadFirstLevel() override;
    QCoro::Task<Result<Level>> loadRandomLevel() override;
    QCoro::Task<Result<Level>> loadPreviousLevel() override;
    QCoro::Task<Result<Level>> loadNextLevel() override;
    QCoro::Task<Result<Level>> loadLevel(Level level) override;
    QCoro::Task<Result<Session>> startSession() override;
    QCoro::Task<Result<Level>> stopSession() override;
    QCoro::Task<Result<Question>> loadNextQuestion() override;
    QCoro::Task<Result<Session>> logRightAnswer(Question question) override;
    QCoro::Task<Result<Session>> logWrongAnswer(Question question) override;

    static double systemNow();

private:
    QCoro::Task<Result<Level>> loadLevelAtCursor();
    Result<Session> logAnswer(const Question &question, bool right);
    std::vector<Note> shuffled(std::vector<Note> notes);

    Collaborators m_with;
    std::vector<Level> m_allLevels;
    std::int64_t m_cursor = -1;
    std::optional<Level> m_currentLevel;
    std::optional<Session> m_currentSession;
    std::optional<Question> m_currentQuestion;
    std::int64_t m_currentQuestionIndex = 0;
    std::vector<Note> m_currentNotes;
    std::optional<Question> m_lastAnsweredQuestion;
    // Finished sessions of built-in levels whose save failed, per level id,
    // oldest first; written before the next session of that level.
    std::map<std::int64_t, std::vector<Session>> m_unsavedSessions;
};

} // namespace lirra
