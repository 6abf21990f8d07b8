#pragma once

#include "model/note.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace lirra {

// MIDI keys struck together answer as one chord. Each press within `gapMs`
// of the one before joins it; once that gap has passed with no other, what
// the presses make is one answer: the root of the triad they make, in any
// inversion and spacing, doubled notes and all; or, when they make none (a
// single key among them), the first key pressed.
class ChordGathering {
public:
    static constexpr std::int64_t gapMs = 50;

    // A press at `atMs` (milliseconds on any steady clock). What the presses
    // before it came to, when it comes after their gap.
    std::optional<Note> press(Note note, std::int64_t atMs);
    // When what is gathered is due to be taken; none while nothing is.
    std::optional<std::int64_t> dueAt() const;
    // What the presses gathered make, and a fresh start.
    std::optional<Note> take();

private:
    std::vector<Note> m_notes;
    std::int64_t m_lastMs = 0;
};

} // namespace lirra
