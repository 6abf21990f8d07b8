#include "confusion_lines.h"

#include "model/timestamp.h"
#include "storage/file_session_storage.h"

#include <QStringDecoder>

#include <charconv>
#include <unordered_map>

namespace lirra {

QByteArray writtenNote(Note note)
{
    return FileSessionStorage::writtenName(note.name).toLatin1() + QByteArray::number(note.octave);
}

namespace {

// "dsharp1": the name, then the octave's digits.
std::optional<Note> readNote(QStringView text)
{
    qsizetype digits = text.size();
    while (digits > 0 && text[digits - 1].isDigit())
        --digits;
    if (digits == 0 || digits == text.size() || text.size() - digits > 3)
        return std::nullopt;
    const std::optional<NoteName> name = FileSessionStorage::readNoteName(text.first(digits));
    bool ok = false;
    const int octave = text.sliced(digits).toInt(&ok);
    if (!name || !ok || octave > 255)
        return std::nullopt;
    return Note{*name, std::uint8_t(octave)};
}

std::optional<std::int64_t> readCount(QStringView text)
{
    const QByteArray latin = text.toLatin1();
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(latin.constData(), latin.constData() + latin.size(), value);
    if (latin.size() != text.size() || latin.isEmpty() || ec != std::errc() || end != latin.constData() + latin.size()
        || value <= 0)
        return std::nullopt;
    return value;
}

} // namespace

QByteArray formatConfusions(const std::map<Confusion, std::int64_t> &confusions)
{
    QByteArray entries;
    for (const auto &[confusion, count] : confusions) {
        if (count <= 0)
            continue;
        if (!entries.isEmpty())
            entries += ',';
        entries += writtenNote(confusion.asked) + '>' + writtenNote(confusion.answered) + ':' + QByteArray::number(qint64(count));
    }
    return entries;
}

std::map<Confusion, std::int64_t> parseConfusions(QStringView entries)
{
    std::map<Confusion, std::int64_t> confusions;
    for (QStringView entry : entries.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const qsizetype arrow = entry.indexOf(QLatin1Char('>'));
        const qsizetype colon = entry.lastIndexOf(QLatin1Char(':'));
        if (arrow <= 0 || colon <= arrow)
            continue;
        const std::optional<Note> asked = readNote(entry.first(arrow));
        const std::optional<Note> answered = readNote(entry.sliced(arrow + 1, colon - arrow - 1));
        const std::optional<std::int64_t> count = readCount(entry.sliced(colon + 1));
        if (asked && answered && count && !(*asked == *answered))
            confusions[Confusion{*asked, *answered}] = *count;
    }
    return confusions;
}

QByteArray formatConfusionLine(const Session &session)
{
    const QByteArray entries = formatConfusions(session.confusions);
    if (entries.isEmpty())
        return {};
    return formatTimestamp(session.timestamp).toLatin1() + ';' + entries + '\n';
}

namespace {

// A line's timestamp as its session's line writes it, and its entries;
// nothing for a line that holds no readable entry.
std::optional<std::pair<QString, std::map<Confusion, std::int64_t>>> parseConfusionLine(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString line = decoder.decode(bytes);
    const qsizetype semicolon = line.indexOf(QLatin1Char(';'));
    if (decoder.hasError() || semicolon <= 0)
        return std::nullopt;
    std::map<Confusion, std::int64_t> confusions = parseConfusions(QStringView(line).sliced(semicolon + 1));
    bool isNumber = false;
    const double timestamp = QStringView(line).first(semicolon).toDouble(&isNumber);
    if (confusions.empty() || !isNumber)
        return std::nullopt;
    return std::pair(formatTimestamp(timestamp), std::move(confusions));
}

} // namespace

bool isConfusionLine(QByteArrayView line)
{
    return parseConfusionLine(line).has_value();
}

void attachConfusions(std::vector<Session> &sessions, const std::vector<QByteArray> &lines, int *damaged)
{
    std::unordered_map<QString, std::map<Confusion, std::int64_t>> byTimestamp;
    for (const QByteArray &bytes : lines) {
        auto parsed = parseConfusionLine(bytes);
        if (!parsed) {
            if (damaged)
                ++*damaged;
            continue;
        }
        byTimestamp[parsed->first] = std::move(parsed->second);
    }
    for (Session &session : sessions) {
        const auto found = byTimestamp.find(formatTimestamp(session.timestamp));
        if (found != byTimestamp.end())
            session.confusions = found->second;
    }
}

QString confusionsFileName(const QString &sessionsFileName)
{
    // "sessions_7.txt" → "confusions_7.txt"; "my_<uuid>.txt" → "confusions_my_<uuid>.txt";
    // "chords_7.txt" → "chord_confusions_7.txt".
    if (sessionsFileName.startsWith(QLatin1String("chords_")))
        return QStringLiteral("chord_confusions_") + sessionsFileName.mid(7);
    if (sessionsFileName.startsWith(QLatin1String("sessions_")))
        return QStringLiteral("confusions_") + sessionsFileName.mid(9);
    return QStringLiteral("confusions_") + sessionsFileName;
}

} // namespace lirra
