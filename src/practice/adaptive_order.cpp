#include "adaptive_order.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace lirra {

namespace {

// Counts read from a file can be anything up to 2^63 - 1: sums of them are
// worked out in floating point, where they neither wrap nor stop short.
double answersTo(const PracticeEvidence &evidence, Note note)
{
    const auto it = evidence.scores.find(note);
    return it == evidence.scores.end()
        ? 0.0
        : double(std::max<std::int64_t>(it->second.correct, 0)) + double(std::max<std::int64_t>(it->second.wrong, 0));
}

double confusionsOf(const PracticeEvidence &evidence, Note asked, Note answered)
{
    const auto it = evidence.confusions.find(Confusion{asked, answered});
    return it == evidence.confusions.end() ? 0.0 : double(std::max<std::int64_t>(it->second, 0));
}

// Weights as whole numbers for the random source, to a thousandth.
std::int64_t scaled(double weight)
{
    return std::max<std::int64_t>(1, std::llround(weight * 1000));
}

} // namespace

PracticeEvidence evidenceOf(const std::vector<Session> &sessions, std::size_t recent)
{
    PracticeEvidence evidence;
    const std::size_t first = sessions.size() > recent ? sessions.size() - recent : 0;
    for (std::size_t i = first; i < sessions.size(); ++i) {
        for (const auto &[note, score] : sessions[i].score) {
            Score &sum = evidence.scores[note];
            sum.correct = saturatingAdd(sum.correct, score.correct);
            sum.wrong = saturatingAdd(sum.wrong, score.wrong);
        }
        for (const auto &[confusion, count] : sessions[i].confusions) {
            std::int64_t &sum = evidence.confusions[confusion];
            sum = saturatingAdd(sum, count);
        }
    }
    return evidence;
}

double errorRate(const PracticeEvidence &evidence, Note note)
{
    const auto it = evidence.scores.find(note);
    const double wrong = it == evidence.scores.end() ? 0 : double(std::max<std::int64_t>(it->second.wrong, 0));
    return std::clamp((wrong + 1) / (answersTo(evidence, note) + 2), 0.0, 1.0);
}

double confusionRate(const PracticeEvidence &evidence, Note a, Note b)
{
    if (a == b)
        return 0;
    const double answers = answersTo(evidence, a) + answersTo(evidence, b);
    if (answers <= 0)
        return 0;
    const double mixed = confusionsOf(evidence, a, b) + confusionsOf(evidence, b, a);
    return std::clamp(mixed / answers, 0.0, 1.0);
}

double adaptiveWeight(const PracticeEvidence &evidence, Note note, std::optional<Note> previous)
{
    const double confused = previous ? confusionRate(evidence, note, *previous) : 0;
    return 1 + 6 * errorRate(evidence, note) + 6 * confused;
}

void AdaptiveOrder::reset(std::vector<Note> notes)
{
    m_notes = std::move(notes);
    m_unasked.clear();
    m_slotsLeft = 0;
    m_last.reset();
}

Note AdaptiveOrder::next(const PracticeEvidence &evidence, RandomSource &random)
{
    if (m_slotsLeft <= 0) {
        m_unasked = m_notes;
        m_slotsLeft = std::ssize(m_notes) + std::ssize(m_notes) / 2;
    }
    // Once the slots left are only enough for the notes not yet asked, the
    // pass asks those.
    const bool mustCover = std::ssize(m_unasked) >= m_slotsLeft;
    std::vector<Note> candidates = mustCover ? m_unasked : m_notes;
    if (candidates.size() > 1 && m_last)
        std::erase(candidates, *m_last);

    std::vector<std::int64_t> weights;
    std::int64_t total = 0;
    for (const Note &note : candidates) {
        weights.push_back(scaled(adaptiveWeight(evidence, note, m_last)));
        total += weights.back();
    }
    std::int64_t draw = random.bounded(total);
    std::size_t chosen = 0;
    while (chosen + 1 < candidates.size() && draw >= weights[chosen])
        draw -= weights[chosen++];

    const Note note = candidates[chosen];
    std::erase(m_unasked, note);
    --m_slotsLeft;
    m_last = note;
    return note;
}

std::vector<Note> notesToHear(std::vector<Note> notes, const PracticeEvidence &evidence, std::size_t count,
                              RandomSource &random)
{
    std::unordered_set<Note> seen;
    std::erase_if(notes, [&seen](Note note) { return !seen.insert(note).second; });
    shuffle(notes, random);
    std::stable_sort(notes.begin(), notes.end(), [&evidence](Note a, Note b) {
        return errorRate(evidence, a) > errorRate(evidence, b);
    });
    if (notes.size() > count)
        notes.resize(count);
    return notes;
}

} // namespace lirra
