#include "session_summary.h"

#include "practice/adaptive_order.h"

#include <algorithm>
#include <unordered_map>

namespace lirra {

SessionSummary summarizeSession(const Session &session, const std::vector<Session> &before, double stoppedAt)
{
    SessionSummary summary;
    summary.seconds = std::max(0.0, stoppedAt - session.timestamp);
    const SessionStatistics stats = session.statistics();
    summary.right = stats.correctCount;
    summary.questions = saturatingAdd(stats.correctCount, stats.wrongCount);
    summary.accuracy = stats.accuracy;

    const std::unordered_map<Note, Score> earlier = evidenceOf(before, before.size()).scores;
    const auto answersOf = [](const Score &score) {
        return double(std::max<std::int64_t>(score.correct, 0)) + double(std::max<std::int64_t>(score.wrong, 0));
    };
    const auto accuracyOf = [&answersOf](const Score &score) {
        const double total = answersOf(score);
        return total > 0 ? double(std::max<std::int64_t>(score.correct, 0)) / total : 0.0;
    };
    // Notes in a fixed order, so that a tie names the same note every time.
    std::vector<std::pair<Note, Score>> answered(session.score.begin(), session.score.end());
    std::sort(answered.begin(), answered.end(), [](const auto &a, const auto &b) {
        return std::pair(a.first.octave, index(a.first.name)) < std::pair(b.first.octave, index(b.first.name));
    });
    for (const auto &[note, score] : answered) {
        const auto old = earlier.find(note);
        if (old == earlier.end() || answersOf(old->second) <= 0)
            continue;
        const double rise = accuracyOf(score) - accuracyOf(old->second);
        if (rise > summary.improvement + 1e-9) {
            summary.improvement = rise;
            summary.mostImproved = note;
        }
    }

    // Either way round is one pair, named the way it was heard more often.
    std::map<Confusion, std::int64_t> pairs;
    for (const auto &[confusion, count] : session.confusions) {
        const Confusion flipped{confusion.answered, confusion.asked};
        const Confusion key = flipped < confusion ? flipped : confusion;
        pairs[key] = saturatingAdd(pairs[key], count);
    }
    const auto countOf = [&session](const Confusion &confusion) {
        const auto it = session.confusions.find(confusion);
        return it == session.confusions.end() ? std::int64_t(0) : it->second;
    };
    for (const auto &[pair, count] : pairs) {
        if (count > summary.confusedCount) {
            summary.confusedCount = count;
            const Confusion flipped{pair.answered, pair.asked};
            summary.mostConfused = countOf(flipped) > countOf(pair) ? flipped : pair;
        }
    }
    return summary;
}

} // namespace lirra
