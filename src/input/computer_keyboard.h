#pragma once

#include "model/note.h"

#include <QKeySequence>

#include <optional>

namespace lirra {

// Musical typing on the home row, as common software instruments have it:
// A S D F G H J K play the white keys from C, W E T Y U the black keys
// between them. Z and X move the typed octave down and up within the
// keyboard's octaves 1 and 2.
class TypingKeyboard {
public:
    // The note a key plays in the typed octave; absent for other keys and
    // for notes beyond the keyboard's octaves.
    std::optional<Note> note(int qtKey) const;
    // Moves the typed octave for Z and X; false for any other key.
    bool moveOctave(int qtKey);
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
};

// The keys of a command; the first is the one its control's tooltip shows.
QList<QKeySequence> shortcuts(Command command);

} // namespace lirra
