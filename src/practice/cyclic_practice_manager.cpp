#include "cyclic_practice_manager.h"

#include "model/localization.h"

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
    for (std::int64_t i = std::ssize(notes) - 1; i >= 1; --i)
        std::swap(notes[size_t(i)], notes[size_t(m_with.random->bounded(i + 1))]);
    return notes;
}

QCoro::Task<Result<Level>> CyclicPracticeManager::loadLevelAtCursor()
{
    const std::int64_t position = m_cursor;
    if (position < 0 || position >= std::ssize(m_allLevels))
        co_return std::unexpected(error(ErrorCase::unexpected));
    Level level = m_allLevels[size_t(position)];
    Result<std::vector<Session>> sessions = co_await m_with.storage->loadSessions(level);
    if (!sessions)
        co_return std::unexpected(sessions.error());
    level.sessions = std::move(*sessions);
    if (const auto kept = m_unsavedSessions.find(level.id); kept != m_unsavedSessions.end())
        level.sessions.insert(level.sessions.end(), kept->second.begin(), kept->second.end());
    if (position < std::ssize(m_allLevels) && m_allLevels[size_t(position)].id == level.id)
        m_allLevels[size_t(position)] = level;
    m_currentLevel = level;
    m_with.preferences->setInteger(position - 1, PreferenceKey::levelCursor);
    m_currentNotes = shuffled(level.notes);
    co_return level;
}

QCoro::Task<Result<Level>> CyclicPracticeManager::prepareToPractice()
{
    m_allLevels = m_with.levelGenerator->generateLevels();
    co_return co_await loadNextLevel();
}

QCoro::Task<Result<Level>> CyclicPracticeManager::loadFirstLevel()
{
    if (m_allLevels.empty())
        co_return std::unexpected(error(ErrorCase::unexpected));
    m_cursor = 0;
    co_return co_await loadLevelAtCursor();
}

QCoro::Task<Result<Level>> CyclicPracticeManager::loadRandomLevel()
{
    const std::int64_t n = std::ssize(m_allLevels);
    if (n == 0)
        co_return std::unexpected(error(ErrorCase::unexpected));
    m_cursor = m_with.random->bounded(n);
    co_return co_await loadLevelAtCursor();
}

QCoro::Task<Result<Level>> CyclicPracticeManager::loadPreviousLevel()
{
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
    const std::int64_t n = std::ssize(m_allLevels);
    if (n == 0)
        co_return std::unexpected(error(ErrorCase::unexpected));
    // A cursor below -1 or at the end resumes at the first level.
    m_cursor = m_cursor >= -1 && m_cursor < n - 1 ? m_cursor + 1 : 0;
    co_return co_await loadLevelAtCursor();
}

QCoro::Task<Result<Level>> CyclicPracticeManager::loadLevel(Level level)
{
    m_currentLevel = level;
    m_currentNotes = shuffled(level.notes);
    co_return level;
}

QCoro::Task<Result<Session>> CyclicPracticeManager::startSession()
{
    m_currentSession = Session{m_with.now(), {}};
    co_return *m_currentSession;
}

QCoro::Task<Result<Level>> CyclicPracticeManager::stopSession()
{
    if (!m_currentLevel)
        co_return std::unexpected(error(ErrorCase::unexpected));
    if (!m_currentSession)
        co_return std::unexpected(error(ErrorCase::noSessionInProgress));
    const Session session = *m_currentSession;
    Level level = *m_currentLevel;
    if (level.isCustom) {
        level.sessions = {session};
        co_return level;
    }
    // Sessions kept from an earlier failed save go first, even when this one
    // has no answers to save.
    std::vector<Session> unsaved;
    if (const auto kept = m_unsavedSessions.find(level.id); kept != m_unsavedSessions.end())
        unsaved = kept->second;
    if (!session.score.empty() && std::find(unsaved.begin(), unsaved.end(), session) == unsaved.end())
        unsaved.push_back(session);
    if (unsaved.empty())
        co_return level;
    for (size_t i = 0; i < unsaved.size(); ++i) {
        Result<void> saved = co_await m_with.storage->saveSession(unsaved[i], level);
        if (!saved) {
            m_unsavedSessions[level.id].assign(unsaved.begin() + std::ptrdiff_t(i), unsaved.end());
            Error error = saved.error();
            error.description += QLatin1Char(' ') + localized("sessionKept");
            co_return std::unexpected(std::move(error));
        }
    }
    m_unsavedSessions.erase(level.id);
    // Sessions kept from a failed save are already in the history of a level
    // loaded since.
    for (const Session &written : unsaved) {
        if (std::find(level.sessions.begin(), level.sessions.end(), written) == level.sessions.end())
            level.sessions.push_back(written);
    }
    // The level may have changed while the file was written; the stopped
    // session belongs to the level it was taken from.
    if (m_currentLevel && m_currentLevel->id == level.id && !m_currentLevel->isCustom)
        m_currentLevel = level;
    co_return level;
}

QCoro::Task<Result<Question>> CyclicPracticeManager::loadNextQuestion()
{
    if (!m_currentLevel || m_currentLevel->notes.empty())
        co_return std::unexpected(error(ErrorCase::unexpected));
    const std::int64_t i = m_currentQuestionIndex + 1;
    if (i >= 0 && i < std::ssize(m_currentNotes)) {
        m_currentQuestionIndex = i;
    } else {
        m_currentNotes = shuffled(m_currentLevel->notes);
        m_currentQuestionIndex = 0;
    }
    const Note note = m_currentNotes[size_t(m_currentQuestionIndex)];
    const Level &level = *m_currentLevel;
    m_currentQuestion = Question{
        QUuid::createUuid(),
        note,
        m_with.noteResolutionGenerator->resolution(note, level.key, level.isMajor, level.isChromatic),
    };
    co_return *m_currentQuestion;
}

Result<Session> CyclicPracticeManager::logAnswer(const Question &question, bool right)
{
    if (!m_currentSession)
        return std::unexpected(error(ErrorCase::noSessionInProgress));
    if (m_lastAnsweredQuestion && m_lastAnsweredQuestion->id == question.id)
        return *m_currentSession;
    m_lastAnsweredQuestion = question;
    Score &score = m_currentSession->score[question.answer];
    (right ? score.correct : score.wrong) += 1;
    return *m_currentSession;
}

QCoro::Task<Result<Session>> CyclicPracticeManager::logRightAnswer(Question question)
{
    co_return logAnswer(question, true);
}

QCoro::Task<Result<Session>> CyclicPracticeManager::logWrongAnswer(Question question)
{
    co_return logAnswer(question, false);
}

} // namespace lirra
