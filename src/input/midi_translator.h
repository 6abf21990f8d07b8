#pragma once

#include "model/note.h"

#include <cstdint>
#include <span>
#include <vector>

namespace lirra {

// A key of the on-screen keyboard pressed or released.
struct NoteInput {
    Note note;
    bool pressed = true;

    friend bool operator==(const NoteInput &, const NoteInput &) = default;
};

// The on-screen key a MIDI key number answers: 60 (middle C) is C in octave
// 1, 72 is C in octave 2; keys outside 60–83 fold by whole octaves into them.
Note keyboardNote(int midiKey);

// Turns the bytes of one MIDI source into key presses and releases: note-on
// presses (with velocity 0 it releases), note-off releases. Running status
// carries over between calls; other channel messages and every system
// message are skipped, and real-time bytes may come anywhere.
class MidiTranslator {
public:
    std::vector<NoteInput> translate(std::span<const std::uint8_t> bytes);

private:
    std::uint8_t m_status = 0; // the running status; 0 when none
    bool m_inSysEx = false;
    int m_systemDataLeft = 0;   // data bytes of a system common message still to skip
    std::uint8_t m_data[2] = {};
    int m_dataCount = 0;
};

} // namespace lirra
