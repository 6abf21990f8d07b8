#pragma once

#include "model/note.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace lirra {

// What a question asks to name: a note, or the root of a chord of the key.
enum class QuestionKind { note, chord };

QString kindText(QuestionKind kind);
std::optional<QuestionKind> kindFromText(const QString &text);

enum class ChordQuality { major, minor, diminished };

// A triad of a key, named by its root's function in that key.
struct Chord {
    NoteName root = NoteName::c;
    ChordQuality quality = ChordQuality::major;
    // "I", "♭II", "ii°", "♮vi": upper case major, lower case minor, °
    // diminished; an accidental where the root is not on the key's scale.
    QString numeral;

    // Root, third and fifth.
    std::array<NoteName, 3> notes() const;

    friend bool operator==(const Chord &, const Chord &) = default;
};

// The chord a key builds on a root, by the root's semitones above the tonic.
// Major: I ♭II ii ♭III iii IV ♯iv° V ♭VI vi ♭VII vii°. Minor: i ♭II ii° III
// ♮iii iv ♯iv° V VI ♮vi VII vii°, with the raised leading tone in V and vii°
// and the parallel major's iii and vi.
Chord chordOf(NoteName root, NoteName key, bool isMajor);

// MIDI key numbers to play the chord by: the triad in close position, root
// lowest, between G3 and F♯4, and its root an octave below it.
std::vector<int> chordVoicing(const Chord &chord);

// The root of the major, minor or diminished triad the pitch classes make,
// in any inversion and spacing, doubled notes and all; none when they make
// no such triad.
std::optional<NoteName> triadRoot(const std::vector<NoteName> &names);

// The root of a key's chord on a degree of its scale, 1 to 7: major's, or
// natural minor's (III, VI and VII on the lowered degrees).
NoteName degreeRoot(NoteName key, bool isMajor, int degree);

// "F major chord", in the user's language, its root as the key writes it.
QString chordName(const Chord &chord, NoteName key, bool isMajor);

} // namespace lirra
