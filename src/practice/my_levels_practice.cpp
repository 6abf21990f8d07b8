// The practice manager's levels of the user's own: choosing any level by
// its id, saving a narrowing under a name, renaming and deleting.
#include "cyclic_practice_manager.h"

#include <algorithm>

namespace lirra {

namespace {

Error savedLevelsMissing()
{
    return Error{QStringLiteral("CyclicPracticeManager.Error"), 3,
                 QStringLiteral("There is no saved level with this id; it may have been deleted")};
}

} // namespace

Result<void> CyclicPracticeManager::readSavedLevels()
{
    // Another copy of the app may have changed them since.
    if (!m_with.savedLevels || (m_savedLevelsRead && !m_with.savedLevels->changedSinceRead()))
        return {};
    Result<LevelStore::Read> read = m_with.savedLevels->read();
    if (!read)
        return std::unexpected(read.error());
    m_savedLevels = std::move(read->levels);
    m_savedLevelsRead = true;
    return {};
}

QCoro::Task<Result<void>> CyclicPracticeManager::updateSavedLevels(LevelStore::Change change)
{
    Result<std::vector<Level>> written = co_await m_with.savedLevels->update(std::move(change));
    if (!written)
        co_return std::unexpected(written.error());
    m_savedLevels = std::move(*written);
    for (Level &level : m_savedLevels)
        level.sessions.clear();
    m_savedLevelsRead = true;
    co_return Result<void>{};
}

std::optional<Level> CyclicPracticeManager::savedLevel(std::int64_t id) const
{
    const auto found = std::find_if(m_savedLevels.begin(), m_savedLevels.end(),
                                    [id](const Level &level) { return level.id == id; });
    return found == m_savedLevels.end() ? std::nullopt : std::optional(*found);
}

std::vector<Level> CyclicPracticeManager::levelsToChoose()
{
    generateLevelsIfNeeded();
    static_cast<void>(readSavedLevels());
    std::vector<Level> levels = m_allLevels;
    levels.insert(levels.end(), m_savedLevels.begin(), m_savedLevels.end());
    for (Level &level : levels) {
        level.sessions.clear();
        level.questionLength = m_length;
        level.questionKind = m_kind;
    }
    return levels;
}

HistorySummary CyclicPracticeManager::historySummary(const Level &level)
{
    if (m_currentLevel && m_currentLevel->id == level.id && !m_currentLevel->isCustom)
        return m_summaries[level.id] = summarize(m_currentLevel->sessions);
    if (const auto known = m_summaries.find(level.id); known != m_summaries.end())
        return known->second;
    std::optional<Result<std::vector<Session>>> stored = m_with.storage->loadSessionsNow(level);
    if (!stored || !*stored)
        return {}; // shown as no history; loading the level tells what is wrong
    return m_summaries[level.id] = summarize(withHistory(level, std::move(**stored)).sessions);
}

QCoro::Task<Result<Level>> CyclicPracticeManager::loadSavedLevel(Level level)
{
    level.questionLength = m_length;
    level.questionKind = m_kind;
    Result<std::vector<Session>> sessions = co_await m_with.storage->loadSessions(level);
    if (!sessions)
        co_return std::unexpected(sessions.error());
    level = makeCurrent(std::move(level), std::move(*sessions));
    m_narrowingSessions.clear();
    m_with.preferences->setInteger(level.id, PreferenceKey::savedLevel);
    co_return level;
}

QCoro::Task<Result<Level>> CyclicPracticeManager::loadLevelWithId(std::int64_t id)
{
    generateLevelsIfNeeded();
    if (id < 0) {
        if (Result<void> read = readSavedLevels(); !read)
            co_return std::unexpected(read.error());
    }
    if (std::optional<Level> saved = savedLevel(id))
        co_return co_await loadSavedLevel(std::move(*saved));
    const auto found = std::find_if(m_allLevels.begin(), m_allLevels.end(),
                                    [id](const Level &level) { return level.id == id; });
    if (found == m_allLevels.end())
        co_return std::unexpected(id < 0 ? savedLevelsMissing() : error(ErrorCase::unexpected));
    m_cursor = found - m_allLevels.begin();
    co_return co_await loadLevelAtCursor();
}

QCoro::Task<Result<Level>> CyclicPracticeManager::saveLevel(Level level, QString name)
{
    if (!m_with.savedLevels)
        co_return std::unexpected(error(ErrorCase::unexpected));
    // Holding the turn from the list read to the last line written: a
    // rename or a delete under way never writes an older list over this one.
    const Turns::Turn turn = co_await m_writing.take();
    // Levels that could not be read are never written over.
    if (Result<void> read = readSavedLevels(); !read)
        co_return std::unexpected(read.error());
    const std::vector<Session> history = std::exchange(level.sessions, {});
    // A narrowing's sessions of the other question kinds and lengths go
    // along, each to its own file.
    using Shapes = std::map<std::pair<QuestionKind, int>, std::vector<Session>>;
    const Shapes otherLengths = level.isCustom ? std::exchange(m_narrowingSessions, {}) : Shapes{};
    level.questionLength = m_length;
    level.questionKind = m_kind;
    level.savedId = QUuid::createUuid();
    level.id = savedLevelId(level.savedId);
    level.name = LevelStore::cleanName(name);
    if (level.name.isEmpty())
        level.name = suggestedName(level);
    level.isCustom = false;
    level.spansMultipleOctaves = false;
    level.range = NoteRange::entireOctave;

    Level stored = level;
    stored.sessions.clear();
    const auto add = [stored](std::vector<Level> levels) -> Result<std::vector<Level>> {
        levels.push_back(stored);
        return levels;
    };
    if (Result<void> written = co_await updateSavedLevels(add); !written)
        co_return std::unexpected(written.error());

    // The narrowing's session starts the new level's history, as a stop
    // would have saved it.
    m_currentLevel = level;
    m_with.preferences->setInteger(level.id, PreferenceKey::savedLevel);
    m_summaries[level.id] = {};
    for (const auto &[shape, sessions] : otherLengths) {
        Level ofLength = level;
        ofLength.questionKind = shape.first;
        ofLength.questionLength = shape.second;
        for (const Session &session : sessions) {
            if (session.score.empty())
                continue;
            if (Result<Level> written = co_await saveStopped(ofLength, session); written)
                ofLength = *written;
        }
    }
    m_currentLevel = level;
    m_summaries[level.id] = {};
    Result<Level> saved = level;
    for (const Session &session : history) {
        if (session.score.empty())
            continue;
        saved = co_await saveStopped(level, session);
        if (!saved)
            break;
        level = *saved;
    }
    if (saved)
        startPasses(questionNotes(saved->notes, m_kind));
    co_return saved;
}

QCoro::Task<Result<Level>> CyclicPracticeManager::renameLevel(std::int64_t id, QString name)
{
    const Turns::Turn turn = co_await m_writing.take();
    const QString cleaned = LevelStore::cleanName(name);
    if (!savedLevel(id))
        co_return std::unexpected(savedLevelsMissing());
    if (!m_currentLevel)
        co_return std::unexpected(error(ErrorCase::unexpected));
    if (!cleaned.isEmpty() && cleaned != savedLevel(id)->name) {
        // Renamed in the file as it is now: another copy of the app may
        // have deleted it meanwhile.
        const auto rename = [id, cleaned](std::vector<Level> levels) -> Result<std::vector<Level>> {
            const auto found = std::find_if(levels.begin(), levels.end(),
                                            [id](const Level &level) { return level.id == id; });
            if (found == levels.end())
                return std::unexpected(savedLevelsMissing());
            found->name = cleaned;
            return levels;
        };
        if (Result<void> written = co_await updateSavedLevels(rename); !written)
            co_return std::unexpected(written.error());
    }
    if (m_currentLevel->id == id && m_currentLevel->isSaved())
        m_currentLevel->name = savedLevel(id).value_or(*m_currentLevel).name;
    // A copy made here: QCoro moves from an lvalue it is given to return.
    co_return Result<Level>(*m_currentLevel);
}

QCoro::Task<Result<Level>> CyclicPracticeManager::deleteLevel(std::int64_t id)
{
    Result<void> aside;
    Level deleted;
    {
        const Turns::Turn turn = co_await m_writing.take();
        const std::optional<Level> found = savedLevel(id);
        if (!found)
            co_return std::unexpected(savedLevelsMissing());
        const QUuid savedId = found->savedId;
        deleted = *found;
        // Gone from the file as it is now, whatever else changed in it.
        const auto remove = [id](std::vector<Level> levels) -> Result<std::vector<Level>> {
            std::erase_if(levels, [id](const Level &level) { return level.id == id; });
            return levels;
        };
        if (Result<void> written = co_await updateSavedLevels(remove); !written)
            co_return std::unexpected(written.error());
        m_summaries.erase(id);
        // The level is gone from the list; its history stays, under another name.
        aside = co_await m_with.savedLevels->putHistoryAside(savedId);
    }
    if (!aside)
        co_return std::unexpected(aside.error());
    if (m_currentLevel && m_currentLevel->id == id) {
        // On to the built-in level the deleted one was made from: its key,
        // mode and kind over the whole octave.
        m_with.preferences->setInteger(0, PreferenceKey::savedLevel);
        generateLevelsIfNeeded();
        const auto related = std::find_if(m_allLevels.begin(), m_allLevels.end(), [&deleted](const Level &level) {
            return level.key == deleted.key && level.isMajor == deleted.isMajor && level.isChromatic == deleted.isChromatic
                && level.range == NoteRange::entireOctave;
        });
        if (related != m_allLevels.end())
            m_cursor = related - m_allLevels.begin();
        if (m_cursor < 0 || m_cursor >= std::ssize(m_allLevels))
            m_cursor = 0;
        co_return co_await loadLevelAtCursor();
    }
    if (!m_currentLevel)
        co_return std::unexpected(error(ErrorCase::unexpected));
    co_return Result<Level>(*m_currentLevel);
}

} // namespace lirra
