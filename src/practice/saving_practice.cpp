// The practice manager's saves: a stopped session written after what is
// kept, a failed save kept in the journal or in memory and counted in its
// level meanwhile, what is kept written to the levels' files in order, and
// the save before a quit.
#include "cyclic_practice_manager.h"

#include "model/localization.h"

#include <algorithm>
#include <set>

namespace lirra {

bool CyclicPracticeManager::holdsKept(const HistoryFile &file) const
{
    return !keptSessionsOf(file).empty();
}

std::vector<Session> CyclicPracticeManager::keptSessionsOf(const HistoryFile &file) const
{
    std::vector<Session> kept;
    if (m_with.journal) {
        for (const KeptSession &k : m_with.journal->kept()) {
            if (k.file() == file)
                kept.push_back(k.session);
        }
    }
    if (const auto memory = m_unsavedSessions.find(file); memory != m_unsavedSessions.end())
        kept.insert(kept.end(), memory->second.begin(), memory->second.end());
    return kept;
}

Level CyclicPracticeManager::withSessions(Level level, const std::vector<Session> &sessions)
{
    // A session both kept and in the file (written while the level loaded)
    // counts once.
    for (const Session &session : sessions) {
        if (std::find(level.sessions.begin(), level.sessions.end(), session) == level.sessions.end())
            level.sessions.push_back(session);
    }
    return level;
}

QCoro::Task<int> CyclicPracticeManager::saveBeforeQuit()
{
    const Turns::Turn turn = co_await m_writing.take();
    const bool unsaved = std::exchange(m_sessionUnsaved, false);
    if (unsaved && m_currentLevel && !m_currentLevel->isCustom && m_currentSession) {
        m_sessionEnded = true;
        co_await saveStopped(*m_currentLevel, *m_currentSession);
    }
    else
        co_await writeKept();
    co_return int(sessionsKeptInMemory().size());
}

std::vector<KeptSession> CyclicPracticeManager::sessionsKeptInMemory() const
{
    std::vector<KeptSession> kept;
    for (const auto &[file, sessions] : m_unsavedSessions) {
        for (const Session &session : sessions)
            kept.push_back(KeptSession{file.levelId, session, file.savedId, file.length});
    }
    return kept;
}

namespace {

// A description as a sentence of its own, so that another can follow it.
QString asSentence(QString text)
{
    text = text.trimmed();
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('.')) && !text.endsWith(QLatin1Char('!'))
        && !text.endsWith(QLatin1Char('?')))
        text += QLatin1Char('.');
    return text;
}

} // namespace

Error CyclicPracticeManager::keptError(Error error, const Kept &kept)
{
    QString followUp;
    if (kept.onDisk) {
        followUp = localized("sessionKept");
    } else {
        const QString why = kept.journalError ? asSentence(kept.journalError->description)
                                              : localized("sessionKeptNowhereElse");
        followUp = localized("sessionKeptInMemory").arg(why);
    }
    error.description = asSentence(error.description) + QLatin1Char(' ') + followUp;
    return error;
}

QCoro::Task<CyclicPracticeManager::Kept> CyclicPracticeManager::keep(KeptSession session)
{
    Kept kept;
    // Behind sessions of its level that only memory holds, it stays in
    // memory too, so that it never reaches the file before them.
    if (m_with.journal && !m_unsavedSessions.contains(session.file())) {
        const Result<void> written = co_await m_with.journal->keep(session);
        if (written) {
            kept.onDisk = true;
            co_return kept;
        }
        kept.journalError = written.error();
    }
    m_unsavedSessions[session.file()].push_back(std::move(session.session));
    co_return kept;
}

KnownLevels CyclicPracticeManager::knownLevels()
{
    generateLevelsIfNeeded();
    std::set<HistoryFile> files;
    const auto addEveryLength = [&files](const Level &level) {
        for (const HistoryFile &file : HistoryFile::of(level).everyShape())
            files.insert(file);
    };
    for (const Level &level : m_allLevels)
        addEveryLength(level);
    // Saved levels that cannot be read are not known: their kept sessions
    // wait in the journal rather than start a history without a level.
    static_cast<void>(readSavedLevels());
    for (const Level &level : m_savedLevels)
        addEveryLength(level);
    return [files = std::move(files)](const HistoryFile &file) { return files.contains(file); };
}

QCoro::Task<Result<void>> CyclicPracticeManager::writeKept()
{
    Result<void> outcome;
    if (m_with.journal) {
        if (Result<void> replayed = co_await m_with.journal->replay(knownLevels()); !replayed)
            outcome = std::move(replayed);
    }
    // What only memory holds is newer than what the journal holds.
    const std::map<HistoryFile, std::vector<Session>> memory = std::exchange(m_unsavedSessions, {});
    for (const auto &[file, sessions] : memory) {
        Level level;
        level.id = file.levelId;
        level.savedId = file.savedId;
        level.questionLength = file.length;
        level.questionKind = file.kind;
        for (const Session &session : sessions) {
            if (!holdsKept(file)) {
                Result<void> saved = co_await m_with.storage->saveSession(session, level);
                if (saved)
                    continue;
                if (outcome)
                    outcome = std::move(saved);
            }
            KeptSession kept{file.levelId, session, file.savedId, file.length, file.kind};
            co_await keep(std::move(kept));
        }
    }
    co_return outcome;
}

QCoro::Task<Result<Level>> CyclicPracticeManager::saveStopped(Level level, Session session)
{
    const HistoryFile file = HistoryFile::of(level);
    const std::vector<Session> keptBefore = keptSessionsOf(file);
    const Result<void> flushed = co_await writeKept();
    const Error stillKept = flushed ? Error{QStringLiteral("CyclicPracticeManager.Error"), 2,
                                            QStringLiteral("Sessions kept from an earlier save could not be written")}
                                    : flushed.error();

    if (!session.score.empty()) {
        // A newer session waits behind the ones still kept for its level.
        KeptSession stopped{level.id, session, level.savedId, level.questionLength, level.questionKind};
        if (holdsKept(file)) {
            const Kept kept = co_await keep(std::move(stopped));
            co_return std::unexpected(keptError(stillKept, kept));
        }
        if (Result<void> saved = co_await m_with.storage->saveSession(session, level); !saved) {
            const Kept kept = co_await keep(std::move(stopped));
            co_return std::unexpected(keptError(saved.error(), kept));
        }
    } else if (holdsKept(file)) {
        co_return std::unexpected(keptError(stillKept, Kept{!m_unsavedSessions.contains(file), std::nullopt}));
    }

    // What was kept for this level is in its file now, and the stopped
    // session after it; a level loaded since counts the kept ones already.
    std::vector<Session> written = keptBefore;
    if (!session.score.empty())
        written.push_back(session);
    level = withSessions(std::move(level), written);
    if (level.questionLength == m_length && level.questionKind == m_kind)
        m_summaries[level.id] = summarize(level.sessions);
    // The level may have changed while the file was written; the stopped
    // session belongs to the level it was taken from.
    if (m_currentLevel && m_currentLevel->id == level.id && !m_currentLevel->isCustom
        && m_currentLevel->questionLength == level.questionLength && m_currentLevel->questionKind == level.questionKind)
        m_currentLevel = level;
    co_return level;
}

} // namespace lirra
