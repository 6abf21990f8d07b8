#include "music.h"

#include "localization.h"

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

SessionStatistics Session::statistics() const
{
    SessionStatistics result;
    for (const auto &[note, s] : score) {
        result.correctCount += s.correct;
        result.wrongCount += s.wrong;
        const std::int64_t n = s.correct + s.wrong;
        if (n >= 1)
            result.accuracyPerNote[note] = double(s.correct) / double(n);
    }
    const std::int64_t total = result.correctCount + result.wrongCount;
    result.accuracy = total > 0 ? double(result.correctCount) / double(total) : 0.0;
    return result;
}

LevelStatistics Level::statistics() const
{
    std::unordered_map<Note, std::int64_t> correct;
    std::unordered_map<Note, std::int64_t> wrong;
    std::unordered_map<Note, std::int64_t> attempts;
    for (const Session &session : sessions) {
        for (const auto &[note, s] : session.score) {
            correct[note] += s.correct;
            wrong[note] += s.wrong;
            attempts[note] = correct[note] + wrong[note];
        }
    }
    LevelStatistics result;
    for (const auto &[note, c] : correct) {
        const std::int64_t n = attempts[note];
        if (n >= 1)
            result.accuracyPerNote[note] = double(c) / double(n);
    }
    if (!notes.empty()) {
        double sum = 0;
        for (const Note &note : notes) {
            const auto it = result.accuracyPerNote.find(note);
            sum += it == result.accuracyPerNote.end() ? 0.0 : it->second;
        }
        result.accuracy = sum / double(notes.size());
    }
    return result;
}

QString Level::title() const
{
    QString text = localizedName(key) + QLatin1Char(' ') + localized(isMajor ? "major" : "minor");
    if (isCustom)
        text += QStringLiteral(" *");
    if (spansMultipleOctaves)
        text += QStringLiteral(" · 8..");
    return text;
}

QString uuidText(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

} // namespace lirra
