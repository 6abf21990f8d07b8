#pragma once

#include "music.h"
#include "settings.h"

#include <QString>

#include <optional>

namespace lirra {

// How a level is named for the user. `Level.title` stays the key and mode
// alone ("C major"); these tell the levels of one key and mode apart.

// The key and mode by the one name musicians give the key: "B♭ major",
// "F♯ minor", "es-Moll", "la♭ majeur" (not "A♯ major / B♭ major"), with a
// narrowing's " *" and a span's " · 8..". `Level.title` keeps both names of
// a black key, as the log has them.
QString keyTitle(const Level &level);
QString keyTitle(NoteName key, bool isMajor);

// "lower half", "upper half", "whole octave".
QString rangeName(NoteRange range);
// "diatonic" or "chromatic".
QString natureName(bool isChromatic);
// The level's notes from the lowest up, as the key writes them ("C D E F";
// E♭ minor's "E♭ F G♭ A♭", every note by its degree above the tonic as the
// key is written).
QString notesText(const Level &level, NoteNaming naming = NoteNaming::solfege);
// What the user calls the level: a saved level's own name, else its title.
QString levelName(const Level &level);
// What sets the level apart from the others of its key and mode:
// "lower half · diatonic", a narrowing's notes, a saved level's key and mode.
QString levelDetails(const Level &level);
// Both: "C major · lower half · diatonic".
QString levelHeading(const Level &level);
// A name to offer when the user saves the level's notes: key, mode and notes.
QString suggestedName(const Level &level);

// What a level's history comes to, for a list of levels.
struct HistorySummary {
    std::int64_t answers = 0;
    double accuracy = 0; // right answers out of all
    std::optional<double> lastPractised; // seconds since 1970-01-01 00:00 UTC
    friend bool operator==(const HistorySummary &, const HistorySummary &) = default;
};

HistorySummary summarize(const std::vector<Session> &sessions);

} // namespace lirra
