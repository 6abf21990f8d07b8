#include "chord_gathering.h"

#include "model/chords.h"

#include <algorithm>

namespace lirra {

std::optional<Note> ChordGathering::press(Note note, std::int64_t atMs)
{
    std::optional<Note> before;
    if (!m_notes.empty() && atMs - m_lastMs > gapMs)
        before = take();
    m_notes.push_back(note);
    m_lastMs = atMs;
    return before;
}

std::optional<std::int64_t> ChordGathering::dueAt() const
{
    if (m_notes.empty())
        return std::nullopt;
    return m_lastMs + gapMs;
}

std::optional<Note> ChordGathering::take()
{
    const std::vector<Note> notes = std::exchange(m_notes, {});
    if (notes.empty())
        return std::nullopt;
    std::vector<NoteName> names;
    for (const Note &note : notes)
        names.push_back(note.name);
    if (const std::optional<NoteName> root = triadRoot(names)) {
        // The root as it was pressed, its lowest octave.
        std::optional<Note> pressed;
        for (const Note &note : notes) {
            if (note.name == *root && (!pressed || note.octave < pressed->octave))
                pressed = note;
        }
        return pressed;
    }
    return notes.front();
}

} // namespace lirra
