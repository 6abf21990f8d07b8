#include "file_session_storage.h"

#include "model/timestamp.h"
#include "storage/confusion_lines.h"
#include "storage/last_lines.h"
#include "storage/safe_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <limits>
#include <fcntl.h>

namespace lirra {

const QString FileSessionStorage::errorDomain = QStringLiteral("FileSessionStorage");

namespace {

constexpr std::array<const char *, 12> writtenNames = {
    "c", "csharp", "d", "dsharp", "e", "f", "fsharp", "g", "gsharp", "a", "asharp", "b",
};

std::optional<NoteName> readName(QStringView field)
{
    const QString lower = field.toString().toLower();
    for (size_t i = 0; i < writtenNames.size(); ++i) {
        if (lower == QLatin1String(writtenNames[i]))
            return allNoteNames[i];
    }
    static const std::pair<const char *, NoteName> flats[] = {
        {"dflat", NoteName::cSharp}, {"eflat", NoteName::dSharp}, {"gflat", NoteName::fSharp},
        {"aflat", NoteName::gSharp}, {"bflat", NoteName::aSharp},
    };
    for (const auto &[text, name] : flats) {
        if (lower == QLatin1String(text))
            return name;
    }
    return std::nullopt;
}

template <typename Int>
std::optional<Int> readInteger(QStringView field)
{
    const QByteArray latin = field.toLatin1();
    if (latin.size() != field.size() || latin.isEmpty())
        return std::nullopt;
    const char *begin = latin.constData();
    const char *end = begin + latin.size();
    if (*begin == '+') {
        ++begin;
        if (begin == end || *begin == '-')
            return std::nullopt;
    }
    Int value{};
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

QList<QStringView> nonEmptySplit(QStringView text, QChar separator)
{
    return text.split(separator, Qt::SkipEmptyParts);
}

} // namespace

QString FileSessionStorage::writtenName(NoteName name)
{
    return QLatin1String(writtenNames[size_t(index(name))]);
}

std::optional<NoteName> FileSessionStorage::readNoteName(QStringView text)
{
    return readName(text);
}

FileSessionStorage::FileSessionStorage(DocumentsFolder documentsFolder, std::shared_ptr<FileSystem> fs,
                                       std::shared_ptr<FileWorker> worker)
    : m_documentsFolder(std::move(documentsFolder))
    , m_fs(fs ? std::move(fs) : FileSystem::posix())
    , m_worker(std::move(worker))
{
}

Result<QString> FileSessionStorage::standardDocumentsFolder()
{
    Result<QString> path = userFolder(QStandardPaths::DocumentsLocation, errorDomain);
    if (!path)
        return path;
    if (auto made = ensureFolder(*FileSystem::posix(), errorDomain, *path, true); !made)
        return std::unexpected(made.error());
    return path;
}

Result<QString> FileSessionStorage::sessionsFolder() const
{
    Result<QString> documents = m_documentsFolder();
    if (!documents)
        return documents;
    const QString folder = QDir(*documents).filePath(QStringLiteral("lirra_sessions"));
    if (auto made = ensureFolder(*m_fs, errorDomain, folder, false); !made)
        return std::unexpected(made.error());
    return folder;
}

QByteArray FileSessionStorage::formatLine(const Session &session)
{
    std::vector<std::pair<Note, Score>> entries(session.score.begin(), session.score.end());
    std::sort(entries.begin(), entries.end(), [](const auto &a, const auto &b) {
        if (a.first.name != b.first.name)
            return a.first.name < b.first.name;
        return a.first.octave < b.first.octave;
    });
    QByteArray line = formatTimestamp(session.timestamp).toLatin1();
    line += ';';
    bool firstEntry = true;
    for (const auto &[note, score] : entries) {
        if (!firstEntry)
            line += ',';
        firstEntry = false;
        line += writtenNames[size_t(index(note.name))];
        line += ':' + QByteArray::number(note.octave) + ':' + QByteArray::number(qint64(score.correct)) + ':'
            + QByteArray::number(qint64(score.wrong));
    }
    line += '\n';
    return line;
}

std::optional<Session> FileSessionStorage::parseLine(QStringView line)
{
    const QList<QStringView> pieces = nonEmptySplit(line, QLatin1Char(';'));
    if (pieces.size() != 2)
        return std::nullopt;
    Session session;
    session.timestamp = parseDouble(pieces[0]).value_or(0.0);
    for (QStringView entry : nonEmptySplit(pieces[1], QLatin1Char(','))) {
        const QList<QStringView> fields = nonEmptySplit(entry, QLatin1Char(':'));
        if (fields.size() != 4)
            continue;
        const auto name = readName(fields[0]);
        const auto octave = readInteger<std::uint8_t>(fields[1]);
        const auto correct = readInteger<std::int64_t>(fields[2]);
        const auto wrong = readInteger<std::int64_t>(fields[3]);
        // A count below zero is no count: the entry is damaged.
        if (!name || !octave || !correct || !wrong || *correct < 0 || *wrong < 0)
            continue;
        session.score[Note{*name, *octave}] = Score{*correct, *wrong};
    }
    if (session.score.empty())
        return std::nullopt;
    return session;
}

std::optional<Session> FileSessionStorage::parseLine(QByteArrayView bytes)
{
    // Without the separator it is no record: told apart without decoding,
    // so that a file of long junk lines is passed over quickly.
    if (!bytes.contains(';'))
        return std::nullopt;
    // A line that is not valid UTF-8 is malformed: skipped like any other.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return parseLine(QStringView(text));
}

Result<QString> FileSessionStorage::levelFile(const HistoryFile &file) const
{
    const Result<QString> folder = sessionsFolder();
    if (!folder)
        return folder;
    return QDir(*folder).filePath(file.fileName());
}

Result<std::vector<Session>> FileSessionStorage::load(const HistoryFile &file, int count) const
{
    const Result<QString> found = levelFile(file);
    if (!found)
        return std::unexpected(found.error());
    LastLinesLimits limits;
    limits.count = count;
    // Damaged lines take no room: the newest good sessions are read however
    // much junk follows them.
    limits.isRecord = [](QByteArrayView line) { return parseLine(line).has_value(); };
    const auto lines = readLastLinesOf(*m_fs, errorDomain, *found, limits);
    if (!lines)
        return std::unexpected(lines.error());
    std::vector<Session> sessions;
    sessions.reserve(lines->lines.size());
    for (const QByteArray &bytes : lines->lines) {
        if (auto session = parseLine(QByteArrayView(bytes)))
            sessions.push_back(std::move(*session));
    }
    if (sessions.empty())
        return sessions;
    // A session's confusions may have been written more than once, when
    // its save was tried again: twice the lines cover the sessions read.
    limits.count = count > std::numeric_limits<int>::max() / 2 ? count : count * 2;
    limits.isRecord = isConfusionLine;
    const QString confusions = QFileInfo(*found).dir().filePath(confusionsFileName(file.fileName()));
    const auto confusionLines = readLastLinesOf(*m_fs, errorDomain, confusions, limits);
    if (!confusionLines)
        return std::unexpected(confusionLines.error());
    attachConfusions(sessions, confusionLines->lines);
    return sessions;
}

Result<void> FileSessionStorage::save(const Session &session, const HistoryFile &file) const
{
    return save(std::vector<Session>{session}, file);
}

Result<void> FileSessionStorage::save(const std::vector<Session> &sessions, const HistoryFile &file) const
{
    QByteArray lines;
    QByteArray confusionLines;
    for (const Session &session : sessions) {
        if (!session.score.empty()) {
            lines += formatLine(session);
            confusionLines += formatConfusionLine(session);
        }
    }
    if (lines.isEmpty())
        return {};
    const Result<QString> path = levelFile(file);
    if (!path)
        return std::unexpected(path.error());
    const QString folder = QFileInfo(*path).absolutePath();
    // The confusions first: a session on disk has them on disk too. When
    // the session's own line then fails, the save is tried again later and
    // writes them again, and a reader takes the last.
    if (!confusionLines.isEmpty()) {
        const QString confusions = QDir(folder).filePath(confusionsFileName(file.fileName()));
        if (Result<void> kept = appendLine(*m_fs, errorDomain, folder, confusions, std::move(confusionLines)); !kept)
            return kept;
    }
    return appendLine(*m_fs, errorDomain, folder, *path, std::move(lines));
}

// A load stays in the caller's thread: it reads a bounded tail of one
// regular file and never waits on a pipe or a device, and a level shown
// without a trip to another thread and back is shown sooner.
QCoro::Task<Result<std::vector<Session>>> FileSessionStorage::loadSessions(Level level)
{
    co_return load(HistoryFile::of(level));
}

QCoro::Task<Result<void>> FileSessionStorage::saveSession(Session session, Level level)
{
    if (!m_worker)
        co_return save(session, HistoryFile::of(level));
    // A named function: GCC 12 can destroy a temporary in an awaited
    // expression twice.
    std::function<Result<void>()> job = [storage = *this, session = std::move(session), file = HistoryFile::of(level)]() {
        return storage.save(session, file);
    };
    Result<void> saved = co_await m_worker->run(std::move(job));
    co_return saved;
}

} // namespace lirra
