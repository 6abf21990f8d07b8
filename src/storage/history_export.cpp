#include "history_export.h"

#include "model/generators.h"
#include "model/level_labels.h"
#include "storage/confusion_lines.h"
#include "storage/file_session_storage.h"
#include "storage/file_worker.h"
#include "storage/last_lines.h"
#include "storage/safe_files.h"
#include "storage/saved_levels.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <limits>
#include <set>
#include <sys/stat.h>

namespace lirra {

namespace {

const QString domain = QStringLiteral("HistoryExport");

std::vector<std::pair<Note, Score>> sortedScore(const Session &session)
{
    std::vector<std::pair<Note, Score>> entries(session.score.begin(), session.score.end());
    std::sort(entries.begin(), entries.end(), [](const auto &a, const auto &b) {
        return std::pair(index(a.first.name), a.first.octave) < std::pair(index(b.first.name), b.first.octave);
    });
    return entries;
}

// A CSV field: quoted when it holds a separator, a quote or a line break.
QByteArray field(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\n') && !bytes.contains('\r'))
        return bytes;
    bytes.replace("\"", "\"\"");
    return '"' + bytes + '"';
}

QByteArray number(double value)
{
    return QByteArray::number(value, 'g', 17);
}

// The moment in local time with its offset, as ISO 8601 writes it:
// "2024-12-06T09:00:00+01:00".
QString localTime(double timestamp)
{
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(qint64(std::llround(timestamp * 1000)));
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

// "7,C minor,," or "-123,D minor,Thirds,": a row's first fields.
QByteArray levelFields(const Level &level)
{
    return QByteArray::number(qint64(level.id)) + ',' + field(levelHeading(level)) + ','
        + field(level.isSaved() ? level.name : QString()) + ',';
}

Result<void> writeWhole(FileSystem &fs, const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    return replaceFile(fs, domain, info.absolutePath(), info.absoluteFilePath(), bytes);
}

} // namespace

std::size_t HistoryExport::levelCount() const
{
    std::set<std::int64_t> ids;
    for (const ExportedLevel &level : levels)
        ids.insert(level.level.id);
    return ids.size();
}

std::size_t HistoryExport::sessionCount() const
{
    std::size_t count = 0;
    for (const ExportedLevel &level : levels)
        count += level.sessions.size();
    return count;
}

HistoryExport readHistory(const QString &sessionsFolder, FileSystem &fs)
{
    HistoryExport history;
    std::vector<Level> levels = DiatonicLevelGenerator().generateLevels();
    SavedLevelStore saved([sessionsFolder]() -> Result<QString> { return sessionsFolder; });
    if (const Result<SavedLevelStore::Read> read = saved.read(); !read) {
        history.skipped << read.error().description;
        history.unreadable << QStringLiteral("my_levels.json");
    } else {
        levels.insert(levels.end(), read->levels.begin(), read->levels.end());
        if (read->skipped > 0)
            history.skipped << QStringLiteral("my_levels.json: %1 damaged entries skipped.").arg(read->skipped);
    }

    // Every line of every file: an export is the whole history, not the
    // newest part the screens read.
    LastLinesLimits whole = LastLinesLimits::all();
    whole.isRecord = [](QByteArrayView line) { return FileSessionStorage::parseLine(line).has_value(); };
    LastLinesLimits wholeConfusions = LastLinesLimits::all();
    wholeConfusions.isRecord = isConfusionLine;
    const auto tellDamaged = [&history](const QString &file, int count) {
        if (count > 0)
            history.skipped << QStringLiteral("%1: %2 damaged %3 skipped.")
                                   .arg(file)
                                   .arg(count)
                                   .arg(count == 1 ? QStringLiteral("line") : QStringLiteral("lines"));
    };
    // Each level's one-note history, then its melodies' of each length,
    // then its chords' likewise.
    std::vector<Level> histories;
    for (const Level &level : levels) {
        for (const HistoryFile &file : HistoryFile::of(level).everyShape()) {
            Level ofLength = level;
            ofLength.questionLength = file.length;
            ofLength.questionKind = file.kind;
            histories.push_back(std::move(ofLength));
        }
    }
    for (Level &level : histories) {
        const QString name = HistoryFile::of(level).fileName();
        const QString path = QDir(sessionsFolder).filePath(name);
        // A length never practised has no file, and nothing to tell.
        struct stat info {};
        const bool mayBeMissing = level.questionLength > 1 || level.questionKind != QuestionKind::note;
        if (mayBeMissing && fs.lstat(QFile::encodeName(path).constData(), &info) != 0 && errno == ENOENT)
            continue;
        const auto lines = readLastLinesOf(fs, domain, path, whole);
        if (!lines) {
            history.skipped << lines.error().description;
            history.unreadable << name;
            continue;
        }
        ExportedLevel exported{std::move(level), {}};
        exported.sessions.reserve(lines->lines.size());
        for (const QByteArray &line : lines->lines) {
            if (std::optional<Session> session = FileSessionStorage::parseLine(QByteArrayView(line)))
                exported.sessions.push_back(std::move(*session));
        }
        tellDamaged(name, lines->passedOver);
        const QString confusionsName = confusionsFileName(name);
        const auto confusions =
            readLastLinesOf(fs, domain, QDir(sessionsFolder).filePath(confusionsName), wholeConfusions);
        if (!confusions) {
            history.skipped << confusions.error().description;
            history.unreadable << confusionsName;
        } else {
            attachConfusions(exported.sessions, confusions->lines);
            tellDamaged(confusionsName, confusions->passedOver);
        }
        if (!exported.sessions.empty())
            history.levels.push_back(std::move(exported));
    }
    return history;
}

QByteArray historyJson(const HistoryExport &history)
{
    QJsonArray sessions;
    for (const ExportedLevel &exported : history.levels) {
        for (const Session &session : exported.sessions) {
            QJsonObject entry{
                {QStringLiteral("level"), qint64(exported.level.id)},
                {QStringLiteral("title"), levelHeading(exported.level)},
                {QStringLiteral("timestamp"), session.timestamp},
                {QStringLiteral("time"), localTime(session.timestamp)},
                {QStringLiteral("length"), exported.level.questionLength},
                {QStringLiteral("kind"), kindText(exported.level.questionKind)},
            };
            if (exported.level.isSaved())
                entry.insert(QStringLiteral("name"), exported.level.name);
            QJsonArray notes;
            for (const auto &[note, score] : sortedScore(session)) {
                notes.append(QJsonObject{
                    {QStringLiteral("note"), FileSessionStorage::writtenName(note.name)},
                    {QStringLiteral("octave"), int(note.octave)},
                    {QStringLiteral("correct"), qint64(score.correct)},
                    {QStringLiteral("wrong"), qint64(score.wrong)},
                });
            }
            entry.insert(QStringLiteral("notes"), notes);
            QJsonArray confusions;
            for (const auto &[confusion, count] : session.confusions) {
                confusions.append(QJsonObject{
                    {QStringLiteral("asked"), QString::fromLatin1(writtenNote(confusion.asked))},
                    {QStringLiteral("answered"), QString::fromLatin1(writtenNote(confusion.answered))},
                    {QStringLiteral("count"), qint64(count)},
                });
            }
            entry.insert(QStringLiteral("confusions"), confusions);
            sessions.append(entry);
        }
    }
    const QJsonObject root{{QStringLiteral("version"), 1}, {QStringLiteral("sessions"), sessions}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QByteArray sessionsCsv(const HistoryExport &history)
{
    // The local time, the length and the kind last, so that the columns
    // before stay where they were.
    QByteArray csv = "level,title,name,timestamp,note,octave,correct,wrong,time,length,kind\n";
    for (const ExportedLevel &exported : history.levels) {
        const QByteArray level = levelFields(exported.level);
        for (const Session &session : exported.sessions) {
            for (const auto &[note, score] : sortedScore(session)) {
                csv += level + number(session.timestamp) + ',' + FileSessionStorage::writtenName(note.name).toUtf8() + ','
                    + QByteArray::number(note.octave) + ',' + QByteArray::number(qint64(score.correct)) + ','
                    + QByteArray::number(qint64(score.wrong)) + ',' + localTime(session.timestamp).toLatin1() + ','
                    + QByteArray::number(exported.level.questionLength) + ','
                    + kindText(exported.level.questionKind).toLatin1() + '\n';
            }
        }
    }
    return csv;
}

QByteArray confusionsCsv(const HistoryExport &history)
{
    QByteArray csv = "level,title,name,timestamp,asked,answered,count,time,length,kind\n";
    for (const ExportedLevel &exported : history.levels) {
        for (const Session &session : exported.sessions) {
            for (const auto &[confusion, count] : session.confusions) {
                csv += levelFields(exported.level) + number(session.timestamp) + ',' + writtenNote(confusion.asked) + ','
                    + writtenNote(confusion.answered) + ',' + QByteArray::number(qint64(count)) + ','
                    + localTime(session.timestamp).toLatin1() + ','
                    + QByteArray::number(exported.level.questionLength) + ','
                    + kindText(exported.level.questionKind).toLatin1() + '\n';
            }
        }
    }
    return csv;
}

Result<void> exportJson(const HistoryExport &history, const QString &path, FileSystem &fs)
{
    return writeWhole(fs, path, historyJson(history));
}

Result<void> exportCsv(const HistoryExport &history, const QString &folder, FileSystem &fs)
{
    if (Result<void> made = ensureFolder(fs, domain, QFileInfo(folder).absoluteFilePath(), true); !made)
        return made;
    if (Result<void> written = writeWhole(fs, QDir(folder).filePath(QStringLiteral("sessions.csv")), sessionsCsv(history)); !written)
        return written;
    return writeWhole(fs, QDir(folder).filePath(QStringLiteral("confusions.csv")), confusionsCsv(history));
}

HistoryWriter::HistoryWriter(SessionsFolder sessionsFolder, std::shared_ptr<FileSystem> fs)
    : m_sessionsFolder(std::move(sessionsFolder))
    , m_fs(std::move(fs))
{
}

QCoro::Task<Result<HistoryWriter::Written>> HistoryWriter::write(Format format, QString path)
{
    const Result<QString> folder = m_sessionsFolder();
    if (!folder)
        co_return std::unexpected(folder.error());
    if (!m_worker)
        m_worker = std::make_shared<FileWorker>();
    const std::shared_ptr<FileWorker> worker = m_worker;
    // A named function: GCC 12 can destroy a temporary in an awaited
    // expression twice.
    std::function<Result<Written>()> job = [folder = *folder, fs = m_fs, path, format]() -> Result<Written> {
        const HistoryExport history = readHistory(folder, *fs);
        const Result<void> written =
            format == Format::json ? exportJson(history, path, *fs) : exportCsv(history, path, *fs);
        if (!written)
            return std::unexpected(written.error());
        return Written{history.sessionCount(), history.levelCount(), history.skipped};
    };
    Result<Written> outcome = co_await worker->run(std::move(job));
    co_return outcome;
}

} // namespace lirra
