#include "file_session_storage.h"

#include "model/timestamp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lirra {

namespace {

const QString errorDomain = QStringLiteral("FileSessionStorage");

QString osReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

std::unexpected<Error> fileError(const QString &what, const QString &path, int error)
{
    return failure(errorDomain, error, QStringLiteral("%1 %2: %3").arg(what, path, osReason(error)));
}

// Closes a descriptor on every way out.
struct FileDescriptor {
    int fd = -1;
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    int release() { return std::exchange(fd, -1); }
};

bool isDirectory(const QByteArray &path)
{
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Creates the folder when nothing, or something that is not a folder,
// stands at its path; with `intermediates` its missing parents too.
Result<void> ensureFolder(const QString &path, bool intermediates)
{
    const QByteArray native = QFile::encodeName(path);
    if (isDirectory(native))
        return {};
    if (intermediates) {
        const QString parent = QFileInfo(path).absolutePath();
        if (parent != path) {
            if (auto made = ensureFolder(parent, true); !made)
                return made;
        }
    }
    if (::mkdir(native.constData(), 0777) != 0 && !(errno == EEXIST && isDirectory(native)))
        return fileError(QStringLiteral("Could not create the folder"), path, errno);
    return {};
}

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

// Line breaks of the stored text: LF, VT, FF, CR, NEL, LS and PS, and NUL,
// which no record holds but a crash can leave behind where a record was
// about to be written. Splits raw bytes; a multi-byte break cut by the start
// of `bytes` is not seen, which only touches the first piece.
std::vector<QByteArrayView> splitLines(QByteArrayView bytes)
{
    std::vector<QByteArrayView> pieces;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        int breakLength = 0;
        if ((byte >= 0x0A && byte <= 0x0D) || byte == 0)
            breakLength = 1;
        else if (byte == 0xC2 && i + 1 < n && static_cast<unsigned char>(bytes[i + 1]) == 0x85)
            breakLength = 2;
        else if (byte == 0xE2 && i + 2 < n && static_cast<unsigned char>(bytes[i + 1]) == 0x80
                 && (static_cast<unsigned char>(bytes[i + 2]) & 0xFE) == 0xA8)
            breakLength = 3;
        if (breakLength) {
            pieces.push_back(bytes.sliced(start, i - start));
            i += breakLength;
            start = i;
        } else {
            ++i;
        }
    }
    pieces.push_back(bytes.sliced(start));
    return pieces;
}

// Reads from the end of the file only as far as its last `count` non-empty
// lines need. Lines come back oldest first.
Result<std::vector<QByteArray>> readLastLines(int fd, const QString &path, qint64 size, int count)
{
    QByteArray buffer;
    qint64 start = size;
    qint64 chunk = 64 * 1024;
    for (;;) {
        const qint64 from = std::max<qint64>(0, start - chunk);
        QByteArray part(start - from, Qt::Uninitialized);
        qint64 done = 0;
        while (done < part.size()) {
            const ssize_t got = ::pread(fd, part.data() + done, size_t(part.size() - done), off_t(from + done));
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                return fileError(QStringLiteral("Could not read"), path, errno);
            }
            if (got == 0)
                break;
            done += got;
        }
        part.truncate(done);
        buffer.prepend(part);
        start = from;

        const std::vector<QByteArrayView> pieces = splitLines(buffer);
        // Unless the buffer reaches the start of the file, its first piece
        // may be the tail of a longer line.
        const size_t first = start == 0 ? 0 : 1;
        std::vector<QByteArrayView> lines;
        for (size_t i = first; i < pieces.size(); ++i) {
            if (!pieces[i].isEmpty())
                lines.push_back(pieces[i]);
        }
        if (std::ssize(lines) >= count || start == 0) {
            const size_t skip = lines.size() > size_t(count) ? lines.size() - size_t(count) : 0;
            std::vector<QByteArray> kept;
            kept.reserve(lines.size() - skip);
            for (size_t i = skip; i < lines.size(); ++i)
                kept.push_back(lines[i].toByteArray());
            return kept;
        }
        chunk *= 2;
    }
}

} // namespace

FileSessionStorage::FileSessionStorage(DocumentsFolder documentsFolder)
    : m_documentsFolder(std::move(documentsFolder))
{
}

Result<QString> FileSessionStorage::standardDocumentsFolder()
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (path.isEmpty())
        return failure(errorDomain, ENOENT, QStringLiteral("The documents folder could not be found"));
    if (auto made = ensureFolder(path, true); !made)
        return std::unexpected(made.error());
    return path;
}

Result<QString> FileSessionStorage::sessionsFolder() const
{
    Result<QString> documents = m_documentsFolder();
    if (!documents)
        return documents;
    const QString folder = QDir(*documents).filePath(QStringLiteral("lirra_sessions"));
    if (auto made = ensureFolder(folder, false); !made)
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
        if (!name || !octave || !correct || !wrong)
            continue;
        session.score[Note{*name, *octave}] = Score{*correct, *wrong};
    }
    if (session.score.empty())
        return std::nullopt;
    return session;
}

Result<QString> FileSessionStorage::levelFile(std::int64_t levelId) const
{
    const Result<QString> folder = sessionsFolder();
    if (!folder)
        return folder;
    return QDir(*folder).filePath(QStringLiteral("sessions_%1.txt").arg(levelId));
}

Result<std::vector<Session>> FileSessionStorage::load(std::int64_t levelId) const
{
    const Result<QString> found = levelFile(levelId);
    if (!found)
        return std::unexpected(found.error());
    const QString &path = *found;
    const QByteArray native = QFile::encodeName(path);

    FileDescriptor file{::open(native.constData(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) {
        if (errno == ENOENT)
            return std::vector<Session>{};
        return fileError(QStringLiteral("Could not open"), path, errno);
    }
    struct stat info {};
    if (::fstat(file.fd, &info) != 0)
        return fileError(QStringLiteral("Could not read"), path, errno);
    if (S_ISDIR(info.st_mode))
        return fileError(QStringLiteral("Could not read"), path, EISDIR);

    const auto lines = readLastLines(file.fd, path, info.st_size, keptLines);
    if (!lines)
        return std::unexpected(lines.error());

    std::vector<Session> sessions;
    sessions.reserve(lines->size());
    for (const QByteArray &bytes : *lines) {
        // A line that is not valid UTF-8 is malformed: skipped like any other.
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        const QString text = decoder.decode(bytes);
        if (decoder.hasError())
            continue;
        if (auto session = parseLine(text))
            sessions.push_back(std::move(*session));
    }
    return sessions;
}

Result<void> FileSessionStorage::save(const Session &session, std::int64_t levelId) const
{
    if (session.score.empty())
        return {};
    const Result<QString> found = levelFile(levelId);
    if (!found)
        return std::unexpected(found.error());
    const QString &path = *found;
    const QByteArray native = QFile::encodeName(path);

    FileDescriptor file{::open(native.constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0666)};
    if (file.fd < 0)
        return fileError(QStringLiteral("Could not open"), path, errno);
    // Another running instance appending to the same file waits here, so
    // that the look at the last byte and the append happen together.
    while (::flock(file.fd, LOCK_EX) != 0) {
        if (errno != EINTR)
            return fileError(QStringLiteral("Could not lock"), path, errno);
    }
    struct stat info {};
    if (::fstat(file.fd, &info) != 0)
        return fileError(QStringLiteral("Could not read"), path, errno);

    QByteArray bytes = formatLine(session);
    if (info.st_size > 0) {
        // A line cut off by a failed append must not swallow this one.
        char last = '\n';
        if (::pread(file.fd, &last, 1, info.st_size - 1) != 1)
            return fileError(QStringLiteral("Could not read"), path, errno);
        if (last != '\n')
            bytes.prepend('\n');
    }
    // One append-mode write per line: another process appending at the same
    // time cannot land inside it. A write cut short (a full disk, the file
    // size limit) is finished to learn why it failed, then the file is cut
    // back to where it was, so that no half record stays behind.
    const off_t before = info.st_size;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(file.fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            const int reason = written < 0 ? errno : ENOSPC;
            if (done > 0)
                static_cast<void>(::ftruncate(file.fd, before));
            return fileError(QStringLiteral("Could not write to"), path, reason);
        }
        done += written;
    }
    if (::close(file.release()) != 0)
        return fileError(QStringLiteral("Could not close"), path, errno);
    return {};
}

QCoro::Task<Result<std::vector<Session>>> FileSessionStorage::loadSessions(Level level)
{
    co_return load(level.id);
}

QCoro::Task<Result<void>> FileSessionStorage::saveSession(Session session, Level level)
{
    co_return save(session, level.id);
}

} // namespace lirra
