#include "generators.h"

#include <algorithm>
#include <array>

namespace lirra {

namespace {

constexpr std::array<NoteName, 12> keyOrder = {
    NoteName::c, NoteName::f, NoteName::aSharp, NoteName::dSharp, NoteName::gSharp, NoteName::cSharp,
    NoteName::fSharp, NoteName::b, NoteName::e, NoteName::a, NoteName::d, NoteName::g,
};

constexpr std::array<NoteRange, 3> ranges = {
    NoteRange::firstHalfOfOctave, NoteRange::secondHalfOfOctave, NoteRange::entireOctave,
};

std::vector<int> degrees(bool isMajor, bool isChromatic, NoteRange range)
{
    if (isChromatic) {
        switch (range) {
        case NoteRange::firstHalfOfOctave: return {0, 1, 2, 3, 4, 5};
        case NoteRange::secondHalfOfOctave: return {6, 7, 8, 9, 10, 11, 12};
        case NoteRange::entireOctave: return {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
        }
    }
    switch (range) {
    case NoteRange::firstHalfOfOctave:
        return isMajor ? std::vector{0, 2, 4, 5} : std::vector{0, 2, 3, 5};
    case NoteRange::secondHalfOfOctave:
        return isMajor ? std::vector{7, 9, 11, 12} : std::vector{7, 8, 11, 12};
    case NoteRange::entireOctave:
        return isMajor ? std::vector{0, 2, 4, 5, 7, 9, 11, 12} : std::vector{0, 2, 3, 5, 7, 8, 11, 12};
    }
    return {};
}

// Octave 1 from the key up to b, octave 2 once the scale has passed c.
Note placed(NoteName key, NoteName name)
{
    return Note{name, std::uint8_t(index(name) < index(key) ? 2 : 1)};
}

} // namespace

std::vector<Level> DiatonicLevelGenerator::generateLevels() const
{
    std::vector<Level> levels;
    levels.reserve(144);
    std::int64_t id = 1;
    for (NoteName key : keyOrder) {
        for (bool isMajor : {true, false}) {
            for (bool isChromatic : {false, true}) {
                for (NoteRange range : ranges)
                    levels.push_back(makeLevel(id++, key, isMajor, isChromatic, range));
            }
        }
    }
    return levels;
}

Level DiatonicLevelGenerator::makeLevel(std::int64_t id, NoteName key, bool isMajor, bool isChromatic,
                                        NoteRange range)
{
    Level level;
    level.id = id;
    level.key = key;
    level.isMajor = isMajor;
    level.isChromatic = isChromatic;
    for (int d : degrees(isMajor, isChromatic, range)) {
        const NoteName name = transposed(key, d);
        if (name == key && d != 0)
            level.notes.push_back(Note{name, 2});
        else
            level.notes.push_back(placed(key, name));
    }
    level.cadence = isMajor ? majorCadence(key) : minorCadence(key);
    level.spansMultipleOctaves = false;
    level.range = range;
    level.isCustom = false;
    return level;
}

std::vector<Note> DiatonicLevelGenerator::notesOfKey(NoteName key, bool isMajor)
{
    return makeLevel(0, key, isMajor, true, NoteRange::entireOctave).notes;
}

Cadence DiatonicLevelGenerator::majorCadence(NoteName key)
{
    return Cadence{
        {key, transposed(key, 4), transposed(key, 7)},
        {key, transposed(key, 5), transposed(key, 7), key},
        {{0, 0, 0}, {0, 1, 2}, {-1, -2, 0}, {0, 0, 0}},
    };
}

Cadence DiatonicLevelGenerator::minorCadence(NoteName key)
{
    return Cadence{
        {key, transposed(key, 3), transposed(key, 7)},
        {key, transposed(key, 5), transposed(key, 7), key},
        {{0, 0, 0}, {0, 2, 1}, {-1, -1, 0}, {0, 0, 0}},
    };
}

std::vector<Note> DiatonicNoteResolutionGenerator::resolution(Note answer, NoteName key, bool isMajor,
                                                              bool /*isChromatic*/) const
{
    if (answer.name == key)
        return {answer};

    const int d = semitones(answer.name, key);
    std::vector<int> lower = isMajor ? std::vector{0, 2, 4, 5} : std::vector{0, 2, 3, 5};
    std::vector<int> upper = isMajor ? std::vector{7, 9, 11} : std::vector{7, 8, 11};
    const auto insertSorted = [](std::vector<int> &list, int value) {
        if (std::find(list.begin(), list.end(), value) == list.end())
            list.insert(std::upper_bound(list.begin(), list.end(), value), value);
    };
    insertSorted(lower, d);
    insertSorted(upper, d);

    std::vector<int> walk;
    if (d <= 5) {
        const auto at = std::find(lower.begin(), lower.end(), d);
        walk.assign(std::make_reverse_iterator(at + 1), lower.rend());
    } else {
        walk.assign(std::find(upper.begin(), upper.end(), d), upper.end());
    }

    std::vector<Note> notes;
    notes.reserve(walk.size() + 1);
    for (int e : walk)
        notes.push_back(placed(key, transposed(key, e)));
    if (d > 5)
        notes.push_back(Note{key, 2});
    return notes;
}

std::vector<Note> resolutionIn(const Level &level, Note answer, QuestionKind kind)
{
    if (kind == QuestionKind::note)
        return DiatonicNoteResolutionGenerator().resolution(answer, level.key, level.isMajor, level.isChromatic);
    if (answer.name == level.key)
        return {answer};
    return {answer, tonicOf(level)};
}

} // namespace lirra
