#include "saved_levels.h"

#include "model/generators.h"
#include "storage/file_session_storage.h"
#include "storage/safe_files.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QFileInfo>

#include <algorithm>
#include <fcntl.h>
#include <limits>
#include <set>

namespace lirra {

const QString SavedLevelStore::errorDomain = QStringLiteral("SavedLevelStore");

namespace {

const QString fileName = QStringLiteral("my_levels.json");
const QString damagedName = QStringLiteral("my_levels.damaged.json");

std::optional<Note> readNote(const QString &text)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return std::nullopt;
    const std::optional<NoteName> name = FileSessionStorage::readNoteName(QStringView(text).first(colon));
    bool ok = false;
    const uint octave = QStringView(text).sliced(colon + 1).toUInt(&ok);
    if (!name || !ok || octave > 255)
        return std::nullopt;
    return Note{*name, std::uint8_t(octave)};
}

} // namespace

namespace {

// The entries of a file that does not parse as a whole (cut off, or
// damaged in places): every balanced {…} with no object inside it that
// names an id, each handed to `take` to be parsed by itself, until `take`
// wants no more. An entry holds no object; the file's top does.
void forEachEntryCandidate(QByteArrayView bytes, const std::function<bool(QByteArrayView)> &take)
{
    struct Open {
        qsizetype start;
        bool holdsObject;
    };
    std::vector<Open> open;
    bool inString = false;
    bool escaped = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char ch = bytes[i];
        if (inString) {
            if (escaped)
                escaped = false;
            else if (ch == '\\')
                escaped = true;
            else if (ch == '"')
                inString = false;
            continue;
        }
        if (ch == '"') {
            inString = true;
        } else if (ch == '{') {
            if (!open.empty())
                open.back().holdsObject = true;
            open.push_back({i, false});
        } else if (ch == '}' && !open.empty()) {
            const Open entry = open.back();
            open.pop_back();
            if (entry.holdsObject)
                continue;
            const QByteArrayView candidate = bytes.sliced(entry.start, i - entry.start + 1);
            // Only a whole entry names its id: the rest is not parsed at all.
            if (candidate.contains("\"id\"") && !take(candidate))
                return;
        }
    }
}

} // namespace

SavedLevelStore::SavedLevelStore(Folder folder, std::shared_ptr<FileSystem> fs, std::shared_ptr<FileWorker> worker)
    : m_folder(std::move(folder))
    , m_fs(fs ? std::move(fs) : FileSystem::posix())
    , m_worker(std::move(worker))
{
}

Result<QString> SavedLevelStore::file() const
{
    Result<QString> folder = m_folder();
    if (!folder)
        return folder;
    return QDir(*folder).filePath(fileName);
}

std::optional<Level> SavedLevelStore::levelFrom(const QJsonObject &entry)
{
    const QJsonValue id = entry.value(QLatin1String("id"));
    const QJsonValue name = entry.value(QLatin1String("name"));
    const QJsonValue key = entry.value(QLatin1String("key"));
    const QJsonValue major = entry.value(QLatin1String("major"));
    const QJsonValue chromatic = entry.value(QLatin1String("chromatic"));
    const QJsonValue notes = entry.value(QLatin1String("notes"));
    if (!id.isString() || !name.isString() || !key.isString() || !major.isBool() || !notes.isArray()
        || !(chromatic.isBool() || chromatic.isUndefined()))
        return std::nullopt;
    const QUuid savedId = uuidFromText(id.toString());
    const std::optional<NoteName> keyName = FileSessionStorage::readNoteName(key.toString());
    const QString shownName = cleanName(name.toString());
    if (savedId.isNull() || !keyName || shownName.isEmpty())
        return std::nullopt;

    Level level = DiatonicLevelGenerator::makeLevel(savedLevelId(savedId), *keyName, major.toBool(),
                                                    chromatic.toBool(false), NoteRange::entireOctave);
    const std::vector<Note> ofKey = level.notes;
    level.notes.clear();
    for (const QJsonValue &value : notes.toArray()) {
        const std::optional<Note> note = value.isString() ? readNote(value.toString()) : std::nullopt;
        if (!note || std::find(ofKey.begin(), ofKey.end(), *note) == ofKey.end())
            return std::nullopt;
        if (std::find(level.notes.begin(), level.notes.end(), *note) == level.notes.end())
            level.notes.push_back(*note);
    }
    if (level.notes.empty())
        return std::nullopt;
    level.savedId = savedId;
    level.name = shownName;
    return level;
}

SavedLevelStore::Read SavedLevelStore::parse(QByteArrayView bytes)
{
    Read read;
    // An empty file holds nothing to lose.
    if (bytes.trimmed().isEmpty())
        return read;
    std::set<QUuid> seenIds;
    std::set<std::int64_t> seenNumbers;
    // Entry by entry, each made a level at once: nothing the size of the
    // file is built beside it.
    const auto add = [&](const QJsonObject &entry) {
        std::optional<Level> level = levelFrom(entry);
        // The first of two entries with one id is the one kept.
        if (!level || seenIds.contains(level->savedId) || seenNumbers.contains(level->id)) {
            ++read.skipped;
            return;
        }
        // A name cut short is kept whole in the copy put aside.
        if (entry.value(QLatin1String("name")).toString().size() > maxNameLength)
            read.altered = true;
        seenIds.insert(level->savedId);
        seenNumbers.insert(level->id);
        read.levels.push_back(std::move(*level));
    };
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes.toByteArray(), &error);
    if (error.error == QJsonParseError::NoError && document.isObject()
        && document.object().value(QLatin1String("levels")).isArray()) {
        const QJsonArray entries = document.object().value(QLatin1String("levels")).toArray();
        for (qsizetype i = 0; i < entries.size(); ++i) {
            if (std::ssize(read.levels) >= maxLevels) {
                read.skipped += int(std::min<qsizetype>(entries.size() - i, std::numeric_limits<int>::max() / 2));
                break;
            }
            const QJsonValue value = entries.at(i);
            if (value.isObject())
                add(value.toObject());
            else
                ++read.skipped;
        }
    } else {
        // Not whole: what can still be told apart is kept.
        read.skipped = 1;
        forEachEntryCandidate(bytes, [&](QByteArrayView candidate) {
            const QJsonDocument one = QJsonDocument::fromJson(candidate.toByteArray());
            if (one.isObject())
                add(one.object());
            return std::ssize(read.levels) < maxLevels;
        });
    }
    return read;
}

QByteArray SavedLevelStore::format(const std::vector<Level> &levels)
{
    QJsonArray array;
    for (const Level &level : levels) {
        QJsonArray notes;
        for (const Note &note : level.notes)
            notes.append(QStringLiteral("%1:%2").arg(FileSessionStorage::writtenName(note.name)).arg(note.octave));
        array.append(QJsonObject{
            {QStringLiteral("id"), level.savedId.toString(QUuid::WithoutBraces)},
            {QStringLiteral("name"), level.name},
            {QStringLiteral("key"), FileSessionStorage::writtenName(level.key)},
            {QStringLiteral("major"), level.isMajor},
            {QStringLiteral("chromatic"), level.isChromatic},
            {QStringLiteral("notes"), notes},
        });
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("levels"), array}}).toJson(QJsonDocument::Indented);
}

SavedLevelStore::Signature SavedLevelStore::signature() const
{
    const Result<QString> path = file();
    struct stat info {};
    if (!path || m_fs->stat(QFile::encodeName(*path).constData(), &info) != 0)
        return {};
    return Signature{info.st_dev, info.st_ino, info.st_size, qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec};
}

bool SavedLevelStore::changedSinceRead() const
{
    return signature() != m_read;
}

Result<SavedLevelStore::Read> SavedLevelStore::read()
{
    const Result<QString> path = file();
    if (!path)
        return std::unexpected(path.error());
    const Signature before = signature();
    const Result<std::optional<QByteArray>> bytes = readSmallFile(*m_fs, errorDomain, *path, maxBytes);
    if (!bytes) {
        // Far more than any number of levels needs: damage, kept aside whole
        // at the next save.
        if (bytes.error().code == EFBIG) {
            m_read = before;
            return Read{{}, 1};
        }
        return std::unexpected(bytes.error());
    }
    m_read = before;
    return *bytes ? parse(**bytes) : Read{};
}

void SavedLevelStore::removeLeftovers() const
{
    const Result<QString> path = file();
    if (!path)
        return;
    const Result<QString> target = followLinks(*m_fs, errorDomain, *path);
    if (!target)
        return;
    // Under the lock, so that a copy of the app writing right now keeps its file.
    const Result<FolderLock> lock = FolderLock::take(*m_fs, errorDomain, QFileInfo(*target).absolutePath(), 0);
    if (lock)
        removeLeftover(*m_fs, *target);
}

Result<std::vector<Level>> SavedLevelStore::updateNow(const Change &change) const
{
    const Result<QString> path = file();
    if (!path)
        return std::unexpected(path.error());
    const QString folder = QFileInfo(*path).absolutePath();
    if (auto made = ensureFolder(*m_fs, errorDomain, folder, false); !made)
        return std::unexpected(made.error());
    const Result<QString> target = followLinks(*m_fs, errorDomain, *path);
    if (!target)
        return std::unexpected(target.error());
    const QString targetFolder = QFileInfo(*target).absolutePath();
    // From the read to the rename, no other copy of the app changes it.
    const Result<FolderLock> lock = FolderLock::take(*m_fs, errorDomain, targetFolder);
    if (!lock)
        return std::unexpected(lock.error());
    const Result<std::optional<QByteArray>> bytes = readSmallFile(*m_fs, errorDomain, *target, maxBytes);
    const bool tooLarge = !bytes && bytes.error().code == EFBIG;
    // What cannot be read at all (a pipe, no permission) is never written over.
    if (!bytes && !tooLarge)
        return std::unexpected(bytes.error());
    const Read read = tooLarge ? Read{{}, 1} : *bytes ? parse(**bytes) : Read{};
    Result<std::vector<Level>> changed = change(read.levels);
    if (!changed)
        return changed;
    if (read.skipped > 0 || read.altered) {
        const QString aside = QDir(targetFolder).filePath(damagedName);
        bool copied = false;
        if (tooLarge) {
            QFile::remove(aside);
            copied = QFile::copy(*target, aside);
        } else {
            copied = bool(replaceFile(*m_fs, errorDomain, targetFolder, aside, **bytes));
        }
        if (!copied) {
            return std::unexpected(Error{errorDomain, 1,
                                         QStringLiteral("Could not keep a copy of the damaged %1 as %2 before writing it anew")
                                             .arg(*target, aside)});
        }
    }
    if (Result<void> written = replaceFile(*m_fs, errorDomain, targetFolder, *target, format(*changed)); !written)
        return std::unexpected(written.error());
    return changed;
}

QCoro::Task<Result<std::vector<Level>>> SavedLevelStore::update(Change change)
{
    Result<std::vector<Level>> written;
    if (m_worker) {
        std::function<Result<std::vector<Level>>()> job = [self = *this, change = std::move(change)]() {
            return self.updateNow(change);
        };
        written = co_await m_worker->run(std::move(job));
    } else {
        written = updateNow(change);
    }
    // What this copy wrote is what it has read.
    if (written)
        m_read = signature();
    co_return written;
}

QCoro::Task<Result<void>> SavedLevelStore::write(std::vector<Level> levels)
{
    Result<std::vector<Level>> written =
        co_await update([levels = std::move(levels)](std::vector<Level>) -> Result<std::vector<Level>> { return levels; });
    if (!written)
        co_return std::unexpected(written.error());
    co_return Result<void>{};
}

QCoro::Task<Result<void>> SavedLevelStore::putHistoryAside(QUuid savedId)
{
    std::function<Result<void>()> job = [self = *this, savedId]() -> Result<void> {
        const Result<QString> path = self.file();
        if (!path)
            return std::unexpected(path.error());
        const QDir folder = QFileInfo(*path).absoluteDir();
        // Every kind's and length's history goes aside; one never practised
        // has no file.
        for (const HistoryFile &file : HistoryFile(savedLevelId(savedId), savedId).everyShape()) {
            const QString name = file.fileName();
            const QByteArray from = QFile::encodeName(folder.filePath(name));
            struct stat info {};
            if (self.m_fs->stat(from.constData(), &info) != 0)
                continue;
            QString aside = folder.filePath(QStringLiteral("deleted_") + name);
            for (int n = 2; QFile::exists(aside); ++n)
                aside = folder.filePath(QStringLiteral("deleted_%1_%2").arg(n).arg(name));
            if (self.m_fs->rename(from.constData(), QFile::encodeName(aside).constData()) != 0)
                return fileError(errorDomain, QStringLiteral("Could not put aside"), folder.filePath(name), errno);
        }
        return syncFolder(*self.m_fs, errorDomain, folder.absolutePath());
    };
    Result<void> done;
    if (m_worker)
        done = co_await m_worker->run(std::move(job));
    else
        done = job();
    co_return done;
}

} // namespace lirra
