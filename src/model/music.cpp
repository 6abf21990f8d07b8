#include "music.h"

#include "localization.h"

#include <algorithm>
#include <limits>

namespace lirra {

size_t qHash(const Cadence &cadence, size_t seed) noexcept
{
    const auto combine = [](size_t h, size_t v) {
        return h ^ (v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2));
    };
    seed = combine(seed, cadence.voices.size());
    for (NoteName name : cadence.voices)
        seed = combine(seed, size_t(rawValue(name)));
    seed = combine(seed, cadence.roots.size());
    for (NoteName name : cadence.roots)
        seed = combine(seed, size_t(rawValue(name)));
    seed = combine(seed, cadence.movement.size());
    for (const auto &row : cadence.movement) {
        seed = combine(seed, row.size());
        for (int offset : row)
            seed = combine(seed, size_t(std::int64_t(offset)));
    }
    return seed;
}

std::int64_t saturatingAdd(std::int64_t a, std::int64_t b)
{
    std::int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
    return sum;
}

namespace {

// The fraction right, from 0 to 1, worked out in floating point so that it
// stays right where the whole-number sum would have stopped.
double fractionRight(double correct, double wrong)
{
    const double total = correct + wrong;
    return total > 0 ? std::clamp(correct / total, 0.0, 1.0) : 0.0;
}

} // namespace

SessionStatistics Session::statistics() const
{
    SessionStatistics result;
    double correct = 0;
    double wrong = 0;
    for (const auto &[note, s] : score) {
        // A negative count is damage, read as none.
        const std::int64_t c = std::max<std::int64_t>(s.correct, 0);
        const std::int64_t w = std::max<std::int64_t>(s.wrong, 0);
        result.correctCount = saturatingAdd(result.correctCount, c);
        result.wrongCount = saturatingAdd(result.wrongCount, w);
        correct += double(c);
        wrong += double(w);
        if (c > 0 || w > 0)
            result.accuracyPerNote[note] = fractionRight(double(c), double(w));
    }
    result.accuracy = fractionRight(correct, wrong);
    return result;
}

LevelStatistics Level::statistics() const
{
    std::unordered_map<Note, std::pair<double, double>> answers; // right, wrong
    for (const Session &session : sessions) {
        for (const auto &[note, s] : session.score) {
            auto &[right, wrong] = answers[note];
            right += double(std::max<std::int64_t>(s.correct, 0));
            wrong += double(std::max<std::int64_t>(s.wrong, 0));
        }
    }
    LevelStatistics result;
    double right = 0;
    double wrong = 0;
    for (const auto &[note, counts] : answers) {
        if (counts.first + counts.second > 0)
            result.accuracyPerNote[note] = fractionRight(counts.first, counts.second);
        right += counts.first;
        wrong += counts.second;
    }
    result.pooledAccuracy = fractionRight(right, wrong);
    if (!notes.empty()) {
        double sum = 0;
        for (const Note &note : notes) {
            const auto it = result.accuracyPerNote.find(note);
            sum += it == result.accuracyPerNote.end() ? 0.0 : it->second;
        }
        result.accuracy = std::clamp(sum / double(notes.size()), 0.0, 1.0);
    }
    return result;
}

QString Level::title() const
{
    // "%1" is the key's name as it is, "%k" in lower case: German writes a
    // major key with a capital and a minor one without (C-Dur, c-Moll).
    // A black key's two names each get the mode: cis-Moll / des-Moll.
    const QString format = localized(isMajor ? "levelTitle.major" : "levelTitle.minor");
    QStringList names = localizedName(key).split(QStringLiteral(" / "));
    for (QString &name : names)
        name = QString(format).replace(QLatin1String("%k"), name.toLower()).replace(QLatin1String("%1"), name);
    QString text = names.join(QStringLiteral(" / "));
    if (isCustom)
        text += QStringLiteral(" *");
    if (spansMultipleOctaves)
        text += QStringLiteral(" · 8..");
    return text;
}

Note Question::noteAt(std::size_t position) const
{
    if (melody.empty())
        return answer;
    return melody[std::min(position, melody.size() - 1)];
}

Question Question::at(std::size_t position, std::vector<Note> positionResolution) const
{
    if (melody.empty())
        return *this;
    position = std::min(position, melody.size() - 1);
    // Derived from the melody's id, so that a position answered twice (a
    // stop while its answer sounds) counts once.
    const QUuid positionId = QUuid::createUuidV5(id, QString::number(position));
    Question asked = *this;
    asked.id = positionId;
    asked.answer = melody[position];
    asked.resolution = std::move(positionResolution);
    asked.melody.clear();
    return asked;
}

std::vector<Note> questionNotes(const std::vector<Note> &notes, QuestionKind kind)
{
    if (kind == QuestionKind::note)
        return notes;
    std::vector<Note> roots;
    for (const Note &note : notes) {
        auto same = std::find_if(roots.begin(), roots.end(), [&](const Note &root) { return root.name == note.name; });
        if (same == roots.end())
            roots.push_back(note);
        else if (note.octave < same->octave)
            *same = note;
    }
    return roots;
}

Note rootAmong(const std::vector<Note> &notes, NoteName root)
{
    for (const Note &note : questionNotes(notes, QuestionKind::chord)) {
        if (note.name == root)
            return note;
    }
    return Note{root, 1};
}

Note tonicOf(const Level &level)
{
    std::optional<Note> tonic;
    for (const Note &note : level.notes) {
        if (note.name == level.key && (!tonic || note.octave < tonic->octave))
            tonic = note;
    }
    return tonic.value_or(Note{level.key, 1});
}

std::int64_t savedLevelId(const QUuid &savedId)
{
    const QByteArray bytes = savedId.toRfc4122();
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits = (bits << 8) | std::uint8_t(std::uint8_t(bytes[i]) ^ std::uint8_t(bytes[i + 8]));
    // 52 bits: the number stays exact where it is kept as a JSON number.
    return -1 - std::int64_t(bits & 0x000f'ffff'ffff'ffffULL);
}

QUuid uuidFromText(QStringView text)
{
    const QUuid id = QUuid::fromString(text);
    if (id.isNull())
        return {};
    const bool exact = text.compare(id.toString(QUuid::WithoutBraces), Qt::CaseInsensitive) == 0
        || text.compare(id.toString(QUuid::WithBraces), Qt::CaseInsensitive) == 0;
    return exact ? id : QUuid();
}

QString uuidText(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

} // namespace lirra
