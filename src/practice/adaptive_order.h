#pragma once

#include "model/music.h"
#include "practice/random_source.h"

#include <cstdint>
#include <map>
#include <optional>
#include <unordered_map>
#include <vector>

namespace lirra {

// What the recent answers of a level say about each of its notes.
struct PracticeEvidence {
    std::unordered_map<Note, Score> scores;
    std::map<Confusion, std::int64_t> confusions;
};

// How many of a level's sessions adaptive practice weighs, the running one
// among them.
inline constexpr std::size_t recentSessions = 5;

// The answers and confusions of the last `recent` sessions, summed.
PracticeEvidence evidenceOf(const std::vector<Session> &sessions, std::size_t recent = recentSessions);

// Wrong answers out of all, counted as if one right and one wrong answer
// came first: an unheard note stands at 0.5, and a single slip does not
// make a note look lost.
double errorRate(const PracticeEvidence &evidence, Note note);
// The share of the two notes' answers in which one was taken for the
// other, either way round; 0 to 1.
double confusionRate(const PracticeEvidence &evidence, Note a, Note b);
// How strongly a note is drawn after `previous`: 1, plus up to 6 for its
// error rate, plus up to 6 for its confusion with the note just asked.
double adaptiveWeight(const PracticeEvidence &evidence, Note note, std::optional<Note> previous);

// The questions of adaptive practice. A pass asks every note once, and half
// as many questions again (rounded down) drawn by `adaptiveWeight`, so weak
// and confused notes come back within the pass, mixed among the others. The
// same note is never asked twice running (but in a level of one note), and
// a pass ends only when every note has been asked in it.
class AdaptiveOrder {
public:
    // Starts a fresh pass over the notes.
    void reset(std::vector<Note> notes);
    // The next note; the notes must not be empty.
    Note next(const PracticeEvidence &evidence, RandomSource &random);

private:
    std::vector<Note> m_notes;
    std::vector<Note> m_unasked;
    std::int64_t m_slotsLeft = 0;
    std::optional<Note> m_last;
};

// Up to `count` different notes that most need hearing, the highest error
// rates first, ties in random order.
std::vector<Note> notesToHear(std::vector<Note> notes, const PracticeEvidence &evidence, std::size_t count,
                              RandomSource &random);

} // namespace lirra
