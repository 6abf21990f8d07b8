#pragma once

#include "model/note.h"

#include <QKeySequence>

#include <optional>

namespace lirra {

// A key of musical typing, by its place on the keyboard: the notes of the
// home row and the row above it, and the two octave keys.
enum class TypingKey {
    c, cSharp, d, dSharp, e, f, fSharp, g, gSharp, a, aSharp, b, cAbove,
    octaveDown, octaveUp,
};

// The typing key at a place on the keyboard, as software instruments find
// it: by the keycode of the key (X11 and Wayland give the same, the kernel's
// code plus 8), whatever letter the layout puts there, so that the home row
// plays on AZERTY, QWERTZ and every other layout alike. An event without a
// keycode (one a test or a tool made up) is placed by the letter a US layout
// has there.
std::optional<TypingKey> typingKey(quint32 nativeScanCode, int qtKey);

// The keycode of a typing key's place.
quint32 keycodeOf(TypingKey key);

// The number row's keys 1 to 7, by their place as typing keys are (on
// AZERTY too, where they type & é " ' ( - è): the degree, or none.
std::optional<int> degreeKey(quint32 nativeScanCode, int qtKey);

// Musical typing on the home row, as common software instruments have it:
// the keys where a US keyboard has A S D F G H J K play the white keys from
// C, those where it has W E T Y U the black keys between them, and those
// where it has Z and X move the typed octave down and up within the
// keyboard's octaves 1 and 2.
class TypingKeyboard {
public:
    // The note a key plays in the typed octave; absent for the octave keys
    // and for notes beyond the keyboard's octaves.
    std::optional<Note> note(TypingKey key) const;
    // Moves the typed octave for the octave keys; false for any other key.
    bool moveOctave(TypingKey key);
    std::uint8_t octave() const { return m_octave; }

    static constexpr std::uint8_t lowestOctave = 1;
    static constexpr std::uint8_t highestOctave = 2;

private:
    std::uint8_t m_octave = lowestOctave;
};

// What the keys outside musical typing do.
enum class Command {
    startStop,
    repeat,
    previousLevel,
    nextLevel,
    firstLevel,
    randomLevel,
    configureLevel,
    accuracy,
    confirm, // done on the modal screens, the tour's button
    cancel,  // cancel, or done where there is nothing to cancel
    quit,    // save the practice and close the app
    tour,    // the tour of the controls, from its start
    chooseLevel, // the list of every level, found by typing
    saveLevel,   // keep the notes chosen as a level of the user's own
    preferences, // how the app sounds, paces and names notes
    confusions,  // the table of what each note is taken for, from the accuracy screen
    questionLength, // one note, then melodies of 2 … 5 notes, then one note again
    questionKind,   // notes, then chords, then notes again
};

// The keys of a command; the first is the one its control's tooltip shows.
QList<QKeySequence> shortcuts(Command command);

} // namespace lirra
