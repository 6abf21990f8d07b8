#include "cyclic_practice_manager.h"

#include <QRandomGenerator>
#include <QUuid>

#include <algorithm>
#include <chrono>

namespace lirra {

std::int64_t SystemRandomSource::bounded(std::int64_t upper)
{
    return QRandomGenerator::system()->bounded(qint64(upper));
}

Error CyclicPracticeManager::error(ErrorCase which)
{
    const QString domain = QStringLiteral("CyclicPracticeManager.Error");
    switch (which) {
    case ErrorCase::noSessionInProgress:
        return Error{domain, 0, QStringLiteral("No practice session is in progress")};
    case ErrorCase::unexpected:
        break;
    }
    return Error{domain, 1, QStringLiteral("Unexpected state: there is no level to practise")};
}

double CyclicPracticeManager::systemNow()
{
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

CyclicPracticeManager::CyclicPracticeManager(Collaborators collaborators)
    : m_with(std::move(collaborators))
{
    m_currentQuestionIndex = m_with.random->bounded(5);
    m_cursor = m_with.preferences->integer(PreferenceKey::levelCursor).value_or(-1);
}

std::vector<Note> CyclicPracticeManager::shuffled(std::vector<Note> notes)
{
    shuffle(notes, *m_with.random);
    return notes;
}

void CyclicPracticeManager::startPasses(const std::vector<Note> &notes)
{
    m_currentNotes = shuffled(notes);
    m_adaptive.reset(notes);
}

PracticeEvidence CyclicPracticeManager::evidence() const
{
    // Only the sessions the evidence weighs, not the whole history.
    std::vector<Session> sessions;
    if (m_currentLevel) {
        const std::vector<Session> &stored = m_currentLevel->sessions;
        sessions.assign(stored.end() - std::ptrdiff_t(std::min(stored.size(), recentSessions)), stored.end());
    }
    if (m_currentSession)
        sessions.push_back(*m_currentSession);
    return evidenceOf(sessions, recentSessions);
}

Question CyclicPracticeManager::questionFor(Note note) const
{
    const Level &level = *m_currentLevel;
    if (m_kind == QuestionKind::chord)
        return Question{QUuid::createUuid(), note, resolutionIn(level, note, m_kind), {}, m_kind, level.key, level.isMajor};
    return Question{
        QUuid::createUuid(),
        note,
        m_with.noteResolutionGenerator->resolution(note, level.key, level.isMajor, level.isChromatic),
    };
}

void CyclicPracticeManager::generateLevelsIfNeeded()
{
    // A cursor operation before practice was prepared (its preparation
    // failed before the levels were made) makes them first.
    if (m_allLevels.empty())
        m_allLevels = m_with.levelGenerator->generateLevels();
}

QCoro::Task<Result<Level>> CyclicPracticeManager::loadLevelAtCursor()
{
    const std::int64_t position = m_cursor;
    if (position < 0 || position >= std::ssize(m_allLevels))
        co_return std::unexpected(error(ErrorCase::unexpected));
    Level level = m_allLevels[size_t(position)];
    level.questionLength = m_length;
    level.questionKind = m_kind;
    Result<std::vector<Session>> sessions = co_await m_with.storage->loadSessions(level);
    if (!sessions)
        co_return std::unexpected(sessions.error());
    level = makeCurrent(std::move(level), std::move(*sessions));
    m_narrowingSessions.clear();
    m_with.preferences->setInteger(position - 1, PreferenceKey::levelCursor);
    m_with.preferences->setInteger(0, PreferenceKey::savedLevel);
    co_return level;
}

Level CyclicPracticeManager::withHistory(Level level, std::vector<Session> stored) const
{
    level.sessions = std::move(stored);
    const std::vector<Session> kept = keptSessionsOf(HistoryFile::of(level));
    return withSessions(std::move(level), kept);
}

Level CyclicPracticeManager::makeCurrent(Level level, std::vector<Session> stored)
{
    level = withHistory(std::move(level), std::move(stored));
    m_summaries[level.id] = summarize(level.sessions);
    m_currentLevel = level;
    startPasses(askedNotes());
    return level;
}

QCoro::Task<Result<Level>> CyclicPracticeManager::prepareToPractice()
{
    m_allLevels = m_with.levelGenerator->generateLevels();
    {
        // What an earlier run kept goes to its files first; what cannot be
        // written yet stays kept and counts in its level's history.
        const Turns::Turn turn = co_await m_writing.take();
        co_await writeKept();
    }
    // Back at the level of the user's own practised last, when it still
    // exists; the saved levels that cannot be read show as none.
    if (m_with.savedLevels)
        m_with.savedLevels->removeLeftovers();
    static_cast<void>(readSavedLevels());
    if (const std::int64_t saved = m_with.preferences->integer(PreferenceKey::savedLevel).value_or(0); saved < 0) {
        if (std::optional<Level> level = savedLevel(saved))
            co_return co_await loadSavedLevel(std::move(*level));
    }
    co_return co_await loadNextLevel();
}

QCoro::Task<Result<Level>> CyclicPracticeManager::loadFirstLevel()
{
    generateLevelsIfNeeded();
    if (m_allLevels.empty())
        co_return std::unexpected(error(ErrorCase::unexpected));
    m_cursor = 0;
    co_return co_await loadLevelAtCursor();
}

QCoro::Task<Result<Level>> CyclicPracticeManager::loadRandomLevel()
{
    generateLevelsIfNeeded();
    const std::int64_t n = std::ssize(m_allLevels);
    if (n == 0)
        co_return std::unexpected(error(ErrorCase::unexpected));
    m_cursor = m_with.random->bounded(n);
    co_return co_await loadLevelAtCursor();
}

QCoro::Task<Result<Level>> CyclicPracticeManager::loadPreviousLevel()
{
    generateLevelsIfNeeded();
    const std::int64_t n = std::ssize(m_allLevels);
    if (n == 0)
        co_return std::unexpected(error(ErrorCase::unexpected));
    // A cursor outside the list (a stored value from a longer list, or a
    // damaged one) wraps to the last level.
    m_cursor = m_cursor >= 1 && m_cursor <= n ? m_cursor - 1 : n - 1;
    co_return co_await loadLevelAtCursor();
}

QCoro::Task<Result<Level>> CyclicPracticeManager::loadNextLevel()
{
    generateLevelsIfNeeded();
    const std::int64_t n = std::ssize(m_allLevels);
    if (n == 0)
        co_return std::unexpected(error(ErrorCase::unexpected));
    // A cursor below -1 or at the end resumes at the first level.
    m_cursor = m_cursor >= -1 && m_cursor < n - 1 ? m_cursor + 1 : 0;
    co_return co_await loadLevelAtCursor();
}

QCoro::Task<Result<Level>> CyclicPracticeManager::reloadLevel()
{
    generateLevelsIfNeeded();
    const std::int64_t n = std::ssize(m_allLevels);
    if (n == 0)
        co_return std::unexpected(error(ErrorCase::unexpected));
    {
        const Turns::Turn turn = co_await m_writing.take();
        co_await writeKept();
    }
    if (m_currentLevel && m_currentLevel->isSaved()) {
        if (std::optional<Level> level = savedLevel(m_currentLevel->id))
            co_return co_await loadSavedLevel(std::move(*level));
    }
    // A cursor that never reached a level starts at the first.
    if (m_cursor < 0 || m_cursor >= n)
        m_cursor = 0;
    co_return co_await loadLevelAtCursor();
}

QCoro::Task<Result<Level>> CyclicPracticeManager::loadLevel(Level level)
{
    // Another narrowing (or none) starts without the last one's sessions.
    if (!m_currentLevel || !m_currentLevel->isCustom || m_currentLevel->notes != level.notes)
        m_narrowingSessions.clear();
    level.questionLength = m_length;
    level.questionKind = m_kind;
    m_currentLevel = level;
    startPasses(askedNotes());
    co_return level;
}

QCoro::Task<Result<Session>> CyclicPracticeManager::startSession()
{
    m_currentSession = Session{m_with.now(), {}};
    m_sessionUnsaved = false;
    m_sessionEnded = false;
    // A copy, made here: QCoro moves from an lvalue it is given to return,
    // and the running session must stay.
    co_return Result<Session>(*m_currentSession);
}

QCoro::Task<Result<Level>> CyclicPracticeManager::stopSession()
{
    if (!m_currentLevel)
        co_return std::unexpected(error(ErrorCase::unexpected));
    if (!m_currentSession)
        co_return std::unexpected(error(ErrorCase::noSessionInProgress));
    // A session is saved once for the answers it holds, never again, and
    // takes no answer after that.
    const bool unsaved = std::exchange(m_sessionUnsaved, false);
    m_sessionEnded = true;
    const Session session = unsaved ? *m_currentSession : Session{m_currentSession->timestamp, {}};
    Level level = *m_currentLevel;
    if (level.isCustom) {
        // An unsaved narrowing keeps every session practised on it, for as
        // long as it is the level, so that saving it keeps them all.
        if (unsaved && !m_currentSession->score.empty())
            level.sessions.push_back(*m_currentSession);
        m_currentLevel = level;
        co_return level;
    }
    const Turns::Turn turn = co_await m_writing.take();
    // A save that held the turn meanwhile may have added to the history.
    if (m_currentLevel && m_currentLevel->id == level.id && !m_currentLevel->isCustom)
        level = *m_currentLevel;
    co_return co_await saveStopped(std::move(level), session);
}

QCoro::Task<Result<Question>> CyclicPracticeManager::loadNextQuestion(PracticeMode mode)
{
    if (!m_currentLevel || m_currentLevel->notes.empty())
        co_return std::unexpected(error(ErrorCase::unexpected));
    if (mode == PracticeMode::adaptive) {
        const Note first = m_adaptive.next(evidence(), *m_with.random);
        m_currentQuestion = questionStartingOn(first, mode);
        co_return Result<Question>(*m_currentQuestion);
    }
    const std::int64_t i = m_currentQuestionIndex + 1;
    if (i >= 0 && i < std::ssize(m_currentNotes)) {
        m_currentQuestionIndex = i;
    } else {
        m_currentNotes = shuffled(askedNotes());
        m_currentQuestionIndex = 0;
    }
    m_currentQuestion = questionStartingOn(m_currentNotes[size_t(m_currentQuestionIndex)], mode);
    co_return Result<Question>(*m_currentQuestion);
}

Result<Session> CyclicPracticeManager::logAnswer(const Question &question, std::optional<Note> wrongNote)
{
    if (!m_currentSession)
        return std::unexpected(error(ErrorCase::noSessionInProgress));
    // An answer that comes after its session was saved (an effect that
    // ends after the stop) changes nothing: the session is on disk as it was.
    if (m_sessionEnded || (m_lastAnsweredQuestion && m_lastAnsweredQuestion->id == question.id))
        return *m_currentSession;
    m_lastAnsweredQuestion = question;
    m_sessionUnsaved = true;
    Score &score = m_currentSession->score[question.answer];
    // A chord's root pressed in another octave is the same chord.
    if (wrongNote && question.kind == QuestionKind::chord && m_currentLevel)
        wrongNote = rootAmong(m_currentLevel->notes, wrongNote->name);
    (wrongNote ? score.wrong : score.correct) += 1;
    if (wrongNote)
        m_currentSession->confusions[Confusion{question.answer, *wrongNote}] += 1;
    return *m_currentSession;
}

QCoro::Task<Result<Session>> CyclicPracticeManager::logRightAnswer(Question question)
{
    co_return logAnswer(question, std::nullopt);
}

QCoro::Task<Result<Session>> CyclicPracticeManager::logWrongAnswer(Question question, Note answered)
{
    co_return logAnswer(question, answered);
}

} // namespace lirra
