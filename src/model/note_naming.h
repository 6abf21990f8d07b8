#pragma once

#include "model/note.h"
#include "model/settings.h"

#include <QString>

namespace lirra {

// A note as a key writes it: a letter (0 for C … 6 for B) and how many
// semitones it is raised (−2 … 2).
struct Spelling {
    int letter = 0;
    int alteration = 0;
    friend bool operator==(const Spelling &, const Spelling &) = default;
};

// The tonic as its key is written: D♭ major and C♯ minor, F♯ major and
// minor, E♭ minor (not D♯), A♭ major and G♯ minor, B♭ either way.
Spelling tonicSpelling(NoteName key, bool isMajor);

// By function, in major and minor alike: the degrees 1 ♭2 2 ♭3 3 4 ♯4 5 ♭6
// 6 ♭7 7 above the tonic, each on the letter its number counts up to (F
// major's fourth is B♭, E♭ minor's third G♭, C♯ minor's leading tone B♯).
Spelling spelling(NoteName name, NoteName key, bool isMajor);

// "1", "♭2" … "7".
QString degreeName(NoteName name, NoteName key);

// A spelled letter in a language's own names ("E♭", "Es", "mi♭"); an empty
// language is the app's.
QString letterName(Spelling spelling, const QString &language = {});

// The movable-do syllable of a note's function ("Me" for a minor third).
QString syllableForKey(NoteName name, NoteName key, const QString &language = {});

// Where a note's name is shown. Out of the box the practice keys show
// syllables, lists of notes letters, and a level's notes letters chosen
// between a black key's two names.
enum class NamePlace { practiceKeys, noteLists, levelNotes };

QString noteLabel(NoteName name, NoteName key, bool isMajor, NoteNaming naming, NamePlace place,
                  const QString &language = {});

// A note where it stands for an answer: its label, or when chords are
// asked the numeral of the chord on it in the key ("IV").
QString answerLabel(NoteName name, NoteName key, bool isMajor, NoteNaming naming, NamePlace place, QuestionKind kind);

// The note a question was taken for, named as a sentence names it: its own
// name (`name`), or, for the note asked an octave away, "the C above" or
// "the C below", so that "C heard as the C above" never reads "C heard as C".
QString takenFor(const QString &name, Note asked, Note answered);

} // namespace lirra
