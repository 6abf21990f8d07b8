#pragma once

#include "model/music.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace lirra {

// What a stopped session came to, said when it stops.
struct SessionSummary {
    double seconds = 0;
    std::int64_t right = 0;
    std::int64_t questions = 0;
    double accuracy = 0;
    // The note whose accuracy rose most above its accuracy in the sessions
    // before, by how much (0 to 1); absent when none rose.
    std::optional<Note> mostImproved;
    double improvement = 0;
    // The two notes most often taken for each other, either way round, and
    // how often; absent without confusions.
    std::optional<Confusion> mostConfused;
    std::int64_t confusedCount = 0;

    friend bool operator==(const SessionSummary &, const SessionSummary &) = default;
};

// The session stopped at `stoppedAt` (seconds since 1970), measured
// against the level's sessions before it.
SessionSummary summarizeSession(const Session &session, const std::vector<Session> &before, double stoppedAt);

} // namespace lirra
