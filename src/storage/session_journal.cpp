#include "session_journal.h"

#include "model/settings.h"
#include "storage/confusion_lines.h"
#include "storage/last_lines.h"
#include "storage/safe_files.h"

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
    QByteArray level = kept.savedId.isNull() ? QByteArray::number(qint64(kept.levelId))
                                             : "my_" + kept.savedId.toByteArray(QUuid::WithoutBraces);
    // Melodies and chords as their files are named: "7_n3", "my_<uuid>_n3",
    // "chords_7", "chords_my_<uuid>_n3".
    if (kept.length > 1)
        level += "_n" + QByteArray::number(kept.length);
    if (kept.kind == QuestionKind::chord)
        level.prepend("chords_");
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
    QByteArrayView level = line.first(blank);
    QuestionKind kind = QuestionKind::note;
    if (level.startsWith("chords_")) {
        kind = QuestionKind::chord;
        level = level.sliced(7);
    }
    int length = 1;
    if (const qsizetype mark = level.lastIndexOf("_n"); mark > 0) {
        const QByteArrayView digits = level.sliced(mark + 2);
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), length);
        if (ec != std::errc() || end != digits.data() + digits.size() || length < 2
            || length > Settings::maxMelodyLength)
            return std::nullopt;
        level = level.first(mark);
    }
    if (level.startsWith("my_")) {
        savedId = uuidFromText(QString::fromLatin1(level.sliced(3)));
        if (savedId.isNull())
            return std::nullopt;
        id = savedLevelId(savedId);
    } else {
        const char *begin = level.data();
        const auto [end, ec] = std::from_chars(begin, begin + level.size(), id);
        if (ec != std::errc() || end != begin + level.size())
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
    return KeptSession{id, std::move(*session), savedId, length, kind};
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

Result<FileSessionJournal::Entries> FileSessionJournal::readOpen(int fd, const QString &path) const
{
    struct stat info {};
    if (m_fs->fstat(fd, &info) != 0)
        return fileError(errorDomain, QStringLiteral("Could not read"), path, errno);
    LastLinesLimits limits = LastLinesLimits::all();
    limits.isRecord = [](QByteArrayView line) { return parseLine(line).has_value(); };
    const auto lines = readLastLines(*m_fs, fd, info.st_size, errorDomain, path, limits);
    if (!lines)
        return std::unexpected(lines.error());
    Entries read;
    read.damaged = lines->passedOver > 0;
    std::set<std::pair<HistoryFile, QByteArray>> seen;
    for (const QByteArray &line : lines->lines) {
        std::optional<KeptSession> entry = parseLine(line);
        // The same session kept twice is one session.
        if (entry && seen.insert({entry->file(), formatLine(*entry)}).second)
            read.entries.push_back(std::move(*entry));
        else
            read.damaged = true;
    }
    return read;
}

Result<std::vector<KeptSession>> FileSessionJournal::read() const
{
    const Result<QString> path = file();
    if (!path)
        return std::unexpected(path.error());
    const Result<int> opened = openRegularFile(*m_fs, errorDomain, QStringLiteral("Could not read"), *path, O_RDONLY);
    if (!opened) {
        if (opened.error().code == ENOENT)
            return std::vector<KeptSession>{};
        return std::unexpected(opened.error());
    }
    Descriptor journal(*m_fs, *opened);
    Result<Entries> read = readOpen(journal.fd(), *path);
    if (!read)
        return std::unexpected(read.error());
    return std::move(read->entries);
}

FileSessionJournal::Replayed FileSessionJournal::replayNow(const KnownLevels &known) const
{
    const Result<QString> path = file();
    if (!path)
        return {m_kept, std::unexpected(path.error()), {}};
    const QByteArray native = QFile::encodeName(*path);
    // The journal's lock is held from the first line read to the rename of
    // what is left over it: an append waits, then finds the new file.
    std::optional<Descriptor> journal;
    for (int attempt = 0;; ++attempt) {
        const Result<int> opened =
            openRegularFile(*m_fs, errorDomain, QStringLiteral("Could not read"), *path, O_RDONLY);
        if (!opened) {
            if (opened.error().code == ENOENT)
                return {{}, {}, {}};
            return {m_kept, std::unexpected(opened.error()), {}};
        }
        journal.emplace(*m_fs, *opened);
        if (Result<void> locked = lockExclusively(*m_fs, journal->fd(), errorDomain, *path); !locked)
            return {m_kept, std::unexpected(locked.error()), {}};
        struct stat held {};
        struct stat named {};
        if (m_fs->fstat(journal->fd(), &held) != 0)
            return {m_kept, fileError(errorDomain, QStringLiteral("Could not read"), *path, errno), {}};
        if (m_fs->stat(native.constData(), &named) != 0 && errno == ENOENT)
            return {{}, {}, {}}; // another replay emptied it meanwhile
        if (attempt >= 8 || (named.st_ino == held.st_ino && named.st_dev == held.st_dev))
            break;
        journal.reset();
    }
    const Result<Entries> read = readOpen(journal->fd(), *path);
    if (!read)
        return {m_kept, std::unexpected(read.error()), {}};
    const std::vector<KeptSession> *entries = &read->entries;
    const KnownLevels isKnown = known ? known : [](const HistoryFile &file) {
        return file.savedId.isNull() ? file.levelId > 0 : file.levelId < 0;
    };

    // Level by level, in one append each: the sessions its file does not
    // end with already (a replay that ended before the journal was
    // rewritten added them). A level whose file fails keeps its sessions;
    // the other levels go on.
    std::vector<HistoryFile> levels;
    std::map<HistoryFile, std::vector<Session>> sessionsOf;
    std::set<HistoryFile> stays;
    std::vector<HistoryFile> unplaced;
    for (const KeptSession &entry : *entries) {
        if (!isKnown(entry.file())) {
            if (stays.insert(entry.file()).second)
                unplaced.push_back(entry.file());
            continue;
        }
        if (!sessionsOf.contains(entry.file()))
            levels.push_back(entry.file());
        sessionsOf[entry.file()].push_back(entry.session);
    }
    Result<void> outcome;
    for (const HistoryFile &level : levels) {
        const std::vector<Session> &kept = sessionsOf[level];
        Result<void> written;
        const int reading = int(std::min<std::size_t>(kept.size() + FileSessionStorage::keptLines, 1 << 30));
        if (Result<std::vector<Session>> stored = m_storage.load(level, reading); !stored) {
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
            stays.insert(level);
            if (outcome)
                outcome = std::move(written);
        }
    }
    std::vector<KeptSession> left;
    for (const KeptSession &entry : *entries) {
        if (stays.contains(entry.file()))
            left.push_back(entry);
    }
    // Nothing placed and nothing damaged: the journal stays as it is.
    if (left.size() == entries->size() && !read->damaged && !entries->empty())
        return {left, outcome, unplaced};
    QByteArray bytes;
    for (const KeptSession &entry : left)
        bytes += formatLine(entry);
    if (Result<void> rewritten = replaceFile(*m_fs, errorDomain, QFileInfo(*path).absolutePath(), *path, bytes);
        !rewritten) {
        // The journal still holds what was added: the next replay finds it
        // in the levels' files.
        return {*entries, outcome ? std::unexpected(rewritten.error()) : outcome, unplaced};
    }
    return {left, outcome, unplaced};
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

QCoro::Task<Result<void>> FileSessionJournal::replay(KnownLevels known)
{
    // Nearly always there is no journal at all: that is seen here, without
    // a trip to the worker and back.
    if (m_kept.empty()) {
        const Result<QString> path = file();
        struct stat info {};
        if (path && m_fs->stat(QFile::encodeName(*path).constData(), &info) != 0 && errno == ENOENT) {
            // Only a rewrite under the journal's lock writes beside it: with
            // no journal, what is there is left from one the end of the
            // process cut short.
            removeLeftover(*m_fs, *path);
            co_return Result<void>{};
        }
    }
    Replayed replayed;
    if (m_worker) {
        std::function<Replayed()> job = [self = *this, known]() { return self.replayNow(known); };
        replayed = co_await m_worker->run(std::move(job));
    } else {
        replayed = replayNow(known);
    }
    m_kept = std::move(replayed.left);
    for (const HistoryFile &level : replayed.unplaced) {
        if (!m_named.insert(level).second || !m_warn)
            continue;
        const Result<QString> path = file();
        m_warn(QStringLiteral("%1 keeps sessions of a level that does not exist (%2); they stay there.")
                   .arg(path ? *path : QStringLiteral("kept_sessions.txt"), level.fileName()));
    }
    co_return replayed.outcome;
}

} // namespace lirra
