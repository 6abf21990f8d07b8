#include "session_journal.h"

#include "practice/confusion_lines.h"
#include "practice/last_lines.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <charconv>
#include <fcntl.h>
#include <map>
#include <set>

namespace lirra {

const QString FileSessionJournal::errorDomain = QStringLiteral("SessionJournal");

FileSessionJournal::FileSessionJournal(Folder folder, FileSessionStorage storage, std::shared_ptr<FileSystem> fs,
                                       std::shared_ptr<FileWorker> worker)
    : m_folder(std::move(folder))
    , m_storage(std::move(storage))
    , m_fs(fs ? std::move(fs) : FileSystem::posix())
    , m_worker(std::move(worker))
{
}

Result<QString> FileSessionJournal::standardFolder()
{
    return userFolder(QStandardPaths::AppDataLocation, errorDomain);
}

QByteArray FileSessionJournal::formatLine(const KeptSession &kept)
{
    const QByteArray level = kept.savedId.isNull() ? QByteArray::number(qint64(kept.levelId))
                                                   : "my_" + kept.savedId.toByteArray(QUuid::WithoutBraces);
    QByteArray line = level + ' ' + FileSessionStorage::formatLine(kept.session);
    // The session's confusions ride after a tab, which no session line holds.
    if (const QByteArray confusions = formatConfusions(kept.session.confusions); !confusions.isEmpty()) {
        line.chop(1);
        line += '\t' + confusions + '\n';
    }
    return line;
}

std::optional<KeptSession> FileSessionJournal::parseLine(QByteArrayView line)
{
    const qsizetype blank = line.indexOf(' ');
    if (blank <= 0)
        return std::nullopt;
    std::int64_t id = 0;
    QUuid savedId;
    const QByteArrayView level = line.first(blank);
    if (level.startsWith("my_")) {
        savedId = uuidFromText(QString::fromLatin1(level.sliced(3)));
        if (savedId.isNull())
            return std::nullopt;
        id = savedLevelId(savedId);
    } else {
        const char *begin = line.data();
        const auto [end, ec] = std::from_chars(begin, begin + blank, id);
        if (ec != std::errc() || end != begin + blank)
            return std::nullopt;
    }
    QByteArrayView rest = line.sliced(blank + 1);
    QByteArrayView confusions;
    if (const qsizetype tab = rest.indexOf('\t'); tab >= 0) {
        confusions = rest.sliced(tab + 1);
        rest = rest.first(tab);
    }
    std::optional<Session> session = FileSessionStorage::parseLine(rest);
    if (!session)
        return std::nullopt;
    if (!confusions.isEmpty())
        session->confusions = parseConfusions(QString::fromLatin1(confusions));
    return KeptSession{id, std::move(*session), savedId};
}

Result<QString> FileSessionJournal::file() const
{
    Result<QString> folder = m_folder();
    if (!folder)
        return folder;
    return QDir(*folder).filePath(QStringLiteral("kept_sessions.txt"));
}

Result<void> FileSessionJournal::append(const KeptSession &kept) const
{
    const Result<QString> path = file();
    if (!path)
        return std::unexpected(path.error());
    // The folder is made when there is something to keep in it, not before.
    const QString folder = QFileInfo(*path).absolutePath();
    if (auto made = ensureFolder(*m_fs, errorDomain, folder, true); !made)
        return std::unexpected(made.error());
    return appendLine(*m_fs, errorDomain, folder, *path, formatLine(kept));
}

Result<std::vector<KeptSession>> FileSessionJournal::read() const
{
    const Result<QString> path = file();
    if (!path)
        return std::unexpected(path.error());
    LastLinesLimits limits;
    limits.count = readLines;
    const auto lines = readLastLinesOf(*m_fs, errorDomain, *path, limits);
    if (!lines)
        return std::unexpected(lines.error());
    std::vector<KeptSession> entries;
    for (const QByteArray &line : *lines) {
        if (auto entry = parseLine(line); entry && std::find(entries.begin(), entries.end(), *entry) == entries.end())
            entries.push_back(std::move(*entry));
    }
    return entries;
}

FileSessionJournal::Replayed FileSessionJournal::replayNow() const
{
    const Result<QString> path = file();
    if (!path)
        return {m_kept, std::unexpected(path.error())};
    const Result<std::vector<KeptSession>> entries = read();
    if (!entries)
        return {m_kept, std::unexpected(entries.error())};
    // A journal with nothing readable in it is gone through all the same,
    // so that its damage goes with it.
    struct stat info {};
    if (entries->empty() && m_fs->stat(QFile::encodeName(*path).constData(), &info) != 0)
        return {{}, {}};

    // Level by level, in one append each: the sessions its file does not
    // end with already (a replay that ended before the journal was
    // rewritten added them). A level whose file fails keeps its sessions;
    // the other levels go on.
    std::vector<HistoryFile> levels;
    std::map<HistoryFile, std::vector<Session>> sessionsOf;
    for (const KeptSession &entry : *entries) {
        if (!sessionsOf.contains(entry.file()))
            levels.push_back(entry.file());
        sessionsOf[entry.file()].push_back(entry.session);
    }
    std::set<HistoryFile> failed;
    Result<void> outcome;
    for (const HistoryFile &level : levels) {
        const std::vector<Session> &kept = sessionsOf[level];
        Result<void> written;
        if (Result<std::vector<Session>> stored = m_storage.load(level, FileSessionStorage::keptLines + int(kept.size()));
            !stored) {
            written = std::unexpected(stored.error());
        } else {
            std::vector<Session> missing;
            for (const Session &session : kept) {
                if (std::find(stored->begin(), stored->end(), session) == stored->end())
                    missing.push_back(session);
            }
            written = m_storage.save(missing, level);
        }
        if (!written) {
            failed.insert(level);
            if (outcome)
                outcome = std::move(written);
        }
    }
    std::vector<KeptSession> left;
    for (const KeptSession &entry : *entries) {
        if (failed.contains(entry.file()))
            left.push_back(entry);
    }
    if (left.size() == entries->size() && !entries->empty())
        return {left, outcome};
    QByteArray bytes;
    for (const KeptSession &entry : left)
        bytes += formatLine(entry);
    if (Result<void> rewritten = replaceFile(*m_fs, errorDomain, QFileInfo(*path).absolutePath(), *path, bytes);
        !rewritten) {
        // The journal still holds what was added: the next replay finds it
        // in the levels' files.
        return {*entries, outcome ? std::unexpected(rewritten.error()) : outcome};
    }
    return {left, outcome};
}

QCoro::Task<Result<void>> FileSessionJournal::keep(KeptSession kept)
{
    Result<void> written;
    if (m_worker) {
        std::function<Result<void>()> job = [self = *this, kept]() { return self.append(kept); };
        written = co_await m_worker->run(std::move(job));
    } else {
        written = append(kept);
    }
    if (written)
        m_kept.push_back(std::move(kept));
    co_return written;
}

QCoro::Task<Result<void>> FileSessionJournal::replay()
{
    // Nearly always there is no journal at all: that is seen here, without
    // a trip to the worker and back.
    if (m_kept.empty()) {
        const Result<QString> path = file();
        struct stat info {};
        if (path && m_fs->stat(QFile::encodeName(*path).constData(), &info) != 0 && errno == ENOENT)
            co_return Result<void>{};
    }
    Replayed replayed;
    if (m_worker) {
        std::function<Replayed()> job = [self = *this]() { return self.replayNow(); };
        replayed = co_await m_worker->run(std::move(job));
    } else {
        replayed = replayNow();
    }
    m_kept = std::move(replayed.left);
    co_return replayed.outcome;
}

} // namespace lirra
