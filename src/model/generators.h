#pragma once

#include "music.h"

#include <vector>

namespace lirra {

class LevelGenerator {
public:
    virtual ~LevelGenerator() = default;
    virtual std::vector<Level> generateLevels() const = 0;
};

// The 144 built-in levels: for each key on the circle of fourths from C,
// major then minor, diatonic then chromatic, three ranges each.
class DiatonicLevelGenerator final : public LevelGenerator {
public:
    std::vector<Level> generateLevels() const override;

    static Level makeLevel(std::int64_t id, NoteName key, bool isMajor, bool isChromatic, NoteRange range);
    // Every note a level of the key and mode can hold: the chromatic octave
    // from the key up to the key an octave higher.
    static std::vector<Note> notesOfKey(NoteName key, bool isMajor);
    static Cadence majorCadence(NoteName key);
    static Cadence minorCadence(NoteName key);
};

class NoteResolutionGenerator {
public:
    virtual ~NoteResolutionGenerator() = default;
    // The notes that lead from `answer` by scale steps to the nearer tonic.
    virtual std::vector<Note> resolution(Note answer, NoteName key, bool isMajor, bool isChromatic) const = 0;
};

class DiatonicNoteResolutionGenerator final : public NoteResolutionGenerator {
public:
    std::vector<Note> resolution(Note answer, NoteName key, bool isMajor, bool isChromatic) const override;
};

// What follows a right answer in the level's key: a note's way to the
// tonic; a chord once more and then the tonic chord (the tonic chord alone
// when it was asked).
std::vector<Note> resolutionIn(const Level &level, Note answer, QuestionKind kind);

} // namespace lirra
