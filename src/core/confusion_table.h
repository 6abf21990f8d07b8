#pragma once

#include "core/app_state.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace lirra {

// How often each note of a level was first answered with each other note,
// over some of its sessions.
struct ConfusionTable {
    // The rows (asked) and the columns (answered), in the level's order.
    std::vector<Note> notes;
    // counts[asked][answered]; on the diagonal, the questions first
    // answered right.
    std::vector<std::vector<std::int64_t>> counts;
    // The largest count off the diagonal, 0 without confusions.
    std::int64_t mostConfused = 0;

    friend bool operator==(const ConfusionTable &, const ConfusionTable &) = default;
};

// The table over the last `recent` sessions, or over all with 0. Notes
// answered that the level does not hold (a level narrowed since) get a
// column of their own after the level's.
ConfusionTable confusionTable(const std::vector<Session> &sessions, const std::vector<Note> &notes, std::size_t recent);

// The sessions the confusion view shows, and how it names notes.
struct ConfusionViewState {
    NoteName key = NoteName::c;
    bool isMajor = true;
    NoteNaming naming = NoteNaming::solfege;
    // Of chords: the notes are their roots, named by numeral.
    QuestionKind kind = QuestionKind::note;
    QString levelHeading;
    std::vector<Note> notes;
    // The level's stored sessions, the running one last.
    std::vector<Session> sessions;

    friend bool operator==(const ConfusionViewState &, const ConfusionViewState &) = default;
};

ConfusionViewState confusionViewState(const AppState &state);

} // namespace lirra
