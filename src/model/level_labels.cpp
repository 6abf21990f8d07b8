#include "level_labels.h"

#include "localization.h"
#include "note_naming.h"

#include <algorithm>

namespace lirra {

QString keyTitle(NoteName key, bool isMajor)
{
    // "%1" is the key's name as it is, "%k" in lower case: German writes a
    // major key with a capital and a minor one without (C-Dur, c-Moll).
    const QString format = localized(isMajor ? "levelTitle.major" : "levelTitle.minor");
    const QString name = letterName(tonicSpelling(key, isMajor));
    return QString(format).replace(QLatin1String("%k"), name.toLower()).replace(QLatin1String("%1"), name);
}

QString keyTitle(const Level &level)
{
    QString text = keyTitle(level.key, level.isMajor);
    if (level.isCustom)
        text += QStringLiteral(" *");
    if (level.spansMultipleOctaves)
        text += QStringLiteral(" · 8..");
    return text;
}

QString rangeName(NoteRange range)
{
    switch (range) {
    case NoteRange::firstHalfOfOctave: return localized("range.lowerHalf");
    case NoteRange::secondHalfOfOctave: return localized("range.upperHalf");
    case NoteRange::entireOctave: break;
    }
    return localized("range.wholeOctave");
}

QString natureName(bool isChromatic)
{
    return localized(isChromatic ? "nature.chromatic" : "nature.diatonic");
}

QString notesText(const Level &level, NoteNaming naming)
{
    std::vector<Note> notes = level.notes;
    std::sort(notes.begin(), notes.end(), [](Note a, Note b) {
        return std::pair(a.octave, index(a.name)) < std::pair(b.octave, index(b.name));
    });
    QStringList names;
    for (const Note &note : notes)
        names << noteLabel(note.name, level.key, level.isMajor, naming, NamePlace::levelNotes);
    return names.join(QLatin1Char(' '));
}

QString levelName(const Level &level)
{
    return level.isSaved() && !level.name.isEmpty() ? level.name : keyTitle(level);
}

QString levelDetails(const Level &level)
{
    const QString dot = QStringLiteral(" · ");
    // Melodies and chords have histories of their own, and say so.
    QString melodies;
    if (level.questionKind == QuestionKind::chord)
        melodies = dot + (level.questionLength > 1 ? localized("progressionsOf").arg(level.questionLength) : localized("chords"));
    else if (level.questionLength > 1)
        melodies = dot + localized("melodiesOf").arg(level.questionLength);
    if (level.isSaved())
        return keyTitle(level) + dot + localized("myLevel") + melodies;
    if (level.isCustom)
        return notesText(level) + melodies;
    return rangeName(level.range) + dot + natureName(level.isChromatic) + melodies;
}

QString levelHeading(const Level &level)
{
    return levelName(level) + QStringLiteral(" · ") + levelDetails(level);
}

QString suggestedName(const Level &level)
{
    Level plain = level;
    plain.isCustom = false;
    plain.spansMultipleOctaves = false;
    return localized("suggestedLevelName").arg(keyTitle(plain), notesText(level));
}

HistorySummary summarize(const std::vector<Session> &sessions)
{
    HistorySummary summary;
    // The accuracy in floating point, as the level's own figure is worked
    // out, so that both say the same of counts near 2^63.
    double right = 0;
    double wrong = 0;
    for (const Session &session : sessions) {
        const SessionStatistics stats = session.statistics();
        const std::int64_t answers = saturatingAdd(stats.correctCount, stats.wrongCount);
        if (answers <= 0)
            continue;
        summary.answers = saturatingAdd(summary.answers, answers);
        for (const auto &[note, score] : session.score) {
            right += double(std::max<std::int64_t>(score.correct, 0));
            wrong += double(std::max<std::int64_t>(score.wrong, 0));
        }
        if (!summary.lastPractised || session.timestamp > *summary.lastPractised)
            summary.lastPractised = session.timestamp;
    }
    if (right + wrong > 0)
        summary.accuracy = std::clamp(right / (right + wrong), 0.0, 1.0);
    return summary;
}

} // namespace lirra
