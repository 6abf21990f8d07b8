#include "note_naming.h"

#include "model/level_labels.h"
#include "model/localization.h"

#include <algorithm>
#include <array>

namespace lirra {

namespace {

constexpr std::array<int, 7> naturalPitch = {0, 2, 4, 5, 7, 9, 11};

struct Degree {
    int number;     // 1 … 7
    int alteration; // against the major scale
};

// Semitones above the tonic → the degree that names them.
constexpr std::array<Degree, 12> degrees = {{
    {1, 0}, {2, -1}, {2, 0}, {3, -1}, {3, 0}, {4, 0}, {4, 1}, {5, 0}, {6, -1}, {6, 0}, {7, -1}, {7, 0},
}};

QString text(const char *key, const QString &language)
{
    return language.isEmpty() ? localized(key) : localizedIn(language, key);
}

} // namespace

Spelling tonicSpelling(NoteName key, bool isMajor)
{
    using enum NoteName;
    switch (key) {
    case cSharp: return isMajor ? Spelling{1, -1} : Spelling{0, 1};
    case dSharp: return {2, -1};
    case fSharp: return {3, 1};
    case gSharp: return isMajor ? Spelling{5, -1} : Spelling{4, 1};
    case aSharp: return {6, -1};
    default: break;
    }
    const int pitch = index(key);
    for (int letter = 0; letter < 7; ++letter) {
        if (naturalPitch[size_t(letter)] == pitch)
            return {letter, 0};
    }
    return {};
}

Spelling spelling(NoteName name, NoteName key, bool isMajor)
{
    const Spelling tonic = tonicSpelling(key, isMajor);
    const Degree degree = degrees[size_t(semitones(name, key))];
    const int letter = (tonic.letter + degree.number - 1) % 7;
    // The alteration that brings the letter to the pitch, the nearest way.
    int alteration = (index(name) - naturalPitch[size_t(letter)] + 12) % 12;
    if (alteration > 6)
        alteration -= 12;
    return {letter, alteration};
}

QString degreeName(NoteName name, NoteName key)
{
    const Degree degree = degrees[size_t(semitones(name, key))];
    const QString number = QString::number(degree.number);
    if (degree.alteration < 0)
        return QStringLiteral("♭") + number;
    if (degree.alteration > 0)
        return QStringLiteral("♯") + number;
    return number;
}

QString letterName(Spelling spelling, const QString &language)
{
    // Each language names every letter and alteration in its table: German
    // writes E♭ as "Es" and B♭ as "B", which no rule of letter and sign gives.
    static constexpr std::array<std::array<const char *, 5>, 7> keys = {{
        {"note.Cbb", "note.Cb", "note.C", "note.C#", "note.C##"},
        {"note.Dbb", "note.Db", "note.D", "note.D#", "note.D##"},
        {"note.Ebb", "note.Eb", "note.E", "note.E#", "note.E##"},
        {"note.Fbb", "note.Fb", "note.F", "note.F#", "note.F##"},
        {"note.Gbb", "note.Gb", "note.G", "note.G#", "note.G##"},
        {"note.Abb", "note.Ab", "note.A", "note.A#", "note.A##"},
        {"note.Bbb", "note.Bb", "note.B", "note.B#", "note.B##"},
    }};
    const int letter = std::clamp(spelling.letter, 0, 6);
    const int alteration = std::clamp(spelling.alteration, -2, 2);
    return text(keys[size_t(letter)][size_t(alteration + 2)], language);
}

QString syllableForKey(NoteName name, NoteName key, const QString &language)
{
    static constexpr std::array<const char *, 12> keys = {
        "do", "ra", "re", "me", "mi", "fa", "fi", "sol", "le", "la", "te", "ti",
    };
    const QString syllable = text(keys[size_t(semitones(name, key))], language);
    return syllable.left(1).toUpper() + syllable.mid(1);
}

QString noteLabel(NoteName name, NoteName key, bool isMajor, NoteNaming naming, NamePlace place,
                  const QString &language)
{
    switch (naming) {
    case NoteNaming::solfegeForKey: return syllableForKey(name, key, language);
    case NoteNaming::lettersForKey: return letterName(spelling(name, key, isMajor), language);
    case NoteNaming::degrees: return degreeName(name, key);
    case NoteNaming::solfege: break;
    }
    switch (place) {
    case NamePlace::practiceKeys: return solfegeSyllables()[semitones(name, key)];
    case NamePlace::levelNotes: return letterName(spelling(name, key, isMajor), language);
    case NamePlace::noteLists: break;
    }
    return localizedName(name);
}

QString takenFor(const QString &name, Note asked, Note answered)
{
    if (asked.name != answered.name || asked.octave == answered.octave)
        return name;
    return localized(answered.octave > asked.octave ? "note.octaveAbove" : "note.octaveBelow").arg(name);
}

QString answerLabel(NoteName name, NoteName key, bool isMajor, NoteNaming naming, NamePlace place, QuestionKind kind)
{
    if (kind == QuestionKind::chord)
        return chordOf(name, key, isMajor).numeral;
    return noteLabel(name, key, isMajor, naming, place);
}

} // namespace lirra
