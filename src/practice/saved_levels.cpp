#include "saved_levels.h"

#include "model/generators.h"
#include "practice/file_session_storage.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <fcntl.h>
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

QString SavedLevelStore::cleanName(const QString &text)
{
    const qsizetype limit = maxNameLength;
    QString name;
    for (const QChar ch : text)
        name += ch.category() == QChar::Other_Control || ch == QChar::LineSeparator ? QLatin1Char(' ') : ch;
    name = name.simplified();
    if (name.size() > limit)
        name = name.first(limit).trimmed();
    return name;
}

namespace {

// The entries of a file that does not parse as a whole (cut off, or
// damaged in places): every balanced {…} with no object inside it, each to
// be parsed by itself. An entry holds no object; the file's top does.
std::vector<QByteArrayView> entryCandidates(QByteArrayView bytes)
{
    std::vector<QByteArrayView> found;
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
            if (!open.back().holdsObject)
                found.push_back(bytes.sliced(open.back().start, i - open.back().start + 1));
            open.pop_back();
        }
    }
    return found;
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
    std::vector<QJsonObject> entries;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes.toByteArray(), &error);
    if (error.error == QJsonParseError::NoError && document.isObject()
        && document.object().value(QLatin1String("levels")).isArray()) {
        for (const QJsonValue &value : document.object().value(QLatin1String("levels")).toArray()) {
            if (value.isObject())
                entries.push_back(value.toObject());
            else
                ++read.skipped;
        }
    } else {
        // Not whole: what can still be told apart is kept.
        read.skipped = 1;
        for (QByteArrayView candidate : entryCandidates(bytes)) {
            const QJsonDocument one = QJsonDocument::fromJson(candidate.toByteArray());
            if (one.isObject())
                entries.push_back(one.object());
        }
    }
    std::set<QUuid> seenIds;
    std::set<std::int64_t> seenNumbers;
    for (const QJsonObject &entry : entries) {
        std::optional<Level> level = levelFrom(entry);
        // The first of two entries with one id is the one kept.
        if (!level || seenIds.contains(level->savedId) || seenNumbers.contains(level->id)) {
            ++read.skipped;
            continue;
        }
        // A name cut short is kept whole in the copy put aside.
        if (entry.value(QLatin1String("name")).toString().size() > maxNameLength)
            read.altered = true;
        seenIds.insert(level->savedId);
        seenNumbers.insert(level->id);
        read.levels.push_back(std::move(*level));
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

Result<SavedLevelStore::Read> SavedLevelStore::read()
{
    const Result<QString> path = file();
    if (!path)
        return std::unexpected(path.error());
    struct stat info {};
    if (m_fs->stat(QFile::encodeName(*path).constData(), &info) != 0 && errno == ENOENT) {
        m_damaged = false;
        return Read{};
    }
    const Result<int> opened = openRegularFile(*m_fs, errorDomain, QStringLiteral("Could not read"), *path, O_RDONLY);
    if (!opened)
        return std::unexpected(opened.error());
    Descriptor fd(*m_fs, *opened);
    const Result<QByteArray> bytes = readUpTo(*m_fs, fd.fd(), errorDomain, *path, maxBytes + 1);
    if (!bytes)
        return std::unexpected(bytes.error());
    // Far more than any number of levels needs: damage, kept aside whole
    // at the next save.
    Read read = bytes->size() > maxBytes ? Read{{}, 1} : parse(*bytes);
    m_damaged = read.skipped > 0 || read.altered;
    return read;
}

Result<void> SavedLevelStore::writeNow(const std::vector<Level> &levels, bool keepDamaged) const
{
    const Result<QString> path = file();
    if (!path)
        return std::unexpected(path.error());
    const QString folder = QFileInfo(*path).absolutePath();
    if (auto made = ensureFolder(*m_fs, errorDomain, folder, false); !made)
        return made;
    if (keepDamaged) {
        const QString aside = QDir(folder).filePath(damagedName);
        QFile::remove(aside);
        if (QFile::exists(*path) && !QFile::copy(*path, aside)) {
            return std::unexpected(Error{errorDomain, 1,
                                         QStringLiteral("Could not keep a copy of the damaged %1 as %2 before writing it anew")
                                             .arg(*path, aside)});
        }
    }
    return replaceFile(*m_fs, errorDomain, folder, *path, format(levels));
}

QCoro::Task<Result<void>> SavedLevelStore::write(std::vector<Level> levels)
{
    const bool keepDamaged = m_damaged;
    Result<void> written;
    if (m_worker) {
        std::function<Result<void>()> job = [self = *this, levels = std::move(levels), keepDamaged]() {
            return self.writeNow(levels, keepDamaged);
        };
        written = co_await m_worker->run(std::move(job));
    } else {
        written = writeNow(levels, keepDamaged);
    }
    if (written)
        m_damaged = false;
    co_return written;
}

QCoro::Task<Result<void>> SavedLevelStore::putHistoryAside(QUuid savedId)
{
    std::function<Result<void>()> job = [self = *this, savedId]() -> Result<void> {
        const Result<QString> path = self.file();
        if (!path)
            return std::unexpected(path.error());
        const QDir folder = QFileInfo(*path).absoluteDir();
        const QString name = HistoryFile(savedLevelId(savedId), savedId).fileName();
        const QByteArray from = QFile::encodeName(folder.filePath(name));
        struct stat info {};
        if (self.m_fs->stat(from.constData(), &info) != 0)
            return {};
        QString aside = folder.filePath(QStringLiteral("deleted_") + name);
        for (int n = 2; QFile::exists(aside); ++n)
            aside = folder.filePath(QStringLiteral("deleted_%1_%2").arg(n).arg(name));
        if (self.m_fs->rename(from.constData(), QFile::encodeName(aside).constData()) != 0)
            return fileError(errorDomain, QStringLiteral("Could not put aside"), folder.filePath(name), errno);
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
