#include "melody.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace lirra {

namespace {

// Draws an index by the weights, which are positive.
std::size_t drawWeighted(const std::vector<double> &weights, RandomSource &random)
{
    double total = 0;
    for (const double w : weights)
        total += w;
    constexpr std::int64_t resolution = std::int64_t(1) << 30;
    double draw = double(random.bounded(resolution)) / double(resolution) * total;
    std::size_t chosen = 0;
    while (chosen + 1 < weights.size() && draw >= weights[chosen])
        draw -= weights[chosen++];
    return chosen;
}

int sign(int value)
{
    return (value > 0) - (value < 0);
}

Note nextNote(const std::vector<Note> &notes, const std::vector<Note> &melody, int widest, const NoteWeight &weight,
              RandomSource &random)
{
    const Note previous = melody.back();
    const int from = pitchOf(previous);
    const int lastMove = melody.size() >= 2 ? from - pitchOf(melody[melody.size() - 2]) : 0;

    std::vector<Note> others;
    for (const Note &note : notes) {
        if (note != previous && std::find(others.begin(), others.end(), note) == others.end())
            others.push_back(note);
    }
    if (others.empty())
        return previous; // a level of one note can only say it again

    std::vector<Note> near;
    for (const Note &note : others) {
        if (std::abs(pitchOf(note) - from) <= widest)
            near.push_back(note);
    }
    if (near.empty()) {
        int nearest = 1000;
        for (const Note &note : others)
            nearest = std::min(nearest, std::abs(pitchOf(note) - from));
        for (const Note &note : others) {
            if (std::abs(pitchOf(note) - from) == nearest)
                near.push_back(note);
        }
    }

    std::vector<Note> steps;
    std::vector<Note> leaps;
    for (const Note &note : near)
        (std::abs(pitchOf(note) - from) <= widestStep ? steps : leaps).push_back(note);
    // Songs move mostly by step: two moves in three, when there is a choice.
    const std::vector<Note> &moves = steps.empty() ? leaps
        : leaps.empty()                            ? steps
        : random.bounded(3) < 2                    ? steps
                                                   : leaps;

    const bool afterLeap = std::abs(lastMove) > widestStep;
    std::vector<double> weights;
    for (const Note &note : moves) {
        double w = std::max(weight ? weight(note, previous) : 1.0, 1e-6);
        // A leap is mostly answered by a move back the other way.
        if (afterLeap && sign(pitchOf(note) - from) == -sign(lastMove))
            w *= 3;
        weights.push_back(w);
    }
    return moves[drawWeighted(weights, random)];
}

} // namespace

int pitchOf(Note note)
{
    return int(note.octave) * 12 + index(note.name);
}

std::vector<Note> makeMelody(const std::vector<Note> &notes, Note first, int length, MelodyLeap leap,
                             const NoteWeight &weight, RandomSource &random)
{
    std::vector<Note> melody{first};
    if (notes.empty())
        return melody;
    const int widest = leapSemitones(leap);
    while (std::ssize(melody) < length)
        melody.push_back(nextNote(notes, melody, widest, weight, random));
    return melody;
}

std::vector<Note> makeProgression(const std::vector<Note> &roots, Note first, int length, bool repeat,
                                  const NoteWeight &weight, RandomSource &random)
{
    std::vector<Note> progression{first};
    while (std::ssize(progression) < length) {
        const Note previous = progression.back();
        std::vector<Note> candidates;
        for (const Note &root : roots) {
            if ((repeat || root != previous) && std::find(candidates.begin(), candidates.end(), root) == candidates.end())
                candidates.push_back(root);
        }
        if (candidates.empty()) {
            progression.push_back(previous);
            continue;
        }
        std::vector<double> weights;
        for (const Note &root : candidates)
            weights.push_back(std::max(weight ? weight(root, previous) : 1.0, 1e-6));
        progression.push_back(candidates[drawWeighted(weights, random)]);
    }
    return progression;
}

} // namespace lirra
