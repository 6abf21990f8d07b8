#pragma once

#include "model/music.h"
#include "model/settings.h"
#include "practice/random_source.h"

#include <functional>
#include <optional>
#include <vector>

namespace lirra {

// Moves of at most this many semitones are steps; wider ones are leaps.
inline constexpr int widestStep = 2;

// The note's height in semitones, to measure moves by.
int pitchOf(Note note);

// How strongly a note is drawn after the one before it (none for a melody's
// first note); 1 for every note draws them evenly.
using NoteWeight = std::function<double(Note note, std::optional<Note> previous)>;

// A melody of `length` notes from the level's notes, starting on `first`.
// Each next note is another than the one before, at most `leap` away; when
// no other note is that near, the nearest. Where the level allows both,
// about two moves in three are steps, and after a leap the way back is
// three times as likely as going on. Within that, `weight` decides.
std::vector<Note> makeMelody(const std::vector<Note> &notes, Note first, int length, MelodyLeap leap,
                             const NoteWeight &weight, RandomSource &random);

// A progression of `length` chords by their roots, starting on `first`:
// each next root any of `roots` by `weight`, but the one before only when
// `repeat` allows it (or when there is no other).
std::vector<Note> makeProgression(const std::vector<Note> &roots, Note first, int length, bool repeat,
                                  const NoteWeight &weight, RandomSource &random);

} // namespace lirra
