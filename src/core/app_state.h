#pragma once

#include "core/palette_color.h"
#include "model/error.h"
#include "model/music.h"
#include "model/settings.h"
#include "model/tip.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace lirra {

struct Highlight {
    Note note;
    PaletteColor color = PaletteColor::amber;

    friend bool operator==(const Highlight &, const Highlight &) = default;
};

// An answer given but not yet recorded: its note or resolution still sounds.
struct PendingAnswer {
    Question question;
    bool isRight = false;
    Note pressed = {};
    friend bool operator==(const PendingAnswer &, const PendingAnswer &) = default;
};

// Everything the user sees is a function of this value.
struct AppState {
    bool isPracticing = false;
    std::optional<Level> level;
    std::optional<Level> baseLevel; // the last loaded level that is not custom
    std::optional<Session> session;
    std::optional<Question> question;
    std::int64_t questionsCount = 0;
    std::int64_t correctIdentifications = 0;
    float accuracy = 0;
    AccuracyPerNote accuracyPerNote;
    bool isLevelEditorVisible = false;
    bool isAccuracyScreenVisible = false;
    bool isLevelChooserVisible = false;
    bool isPreferencesVisible = false;
    // A stopped session of an unsaved narrowing holds answers: keeping the
    // narrowing as a level of the user's own, with it, is offered.
    bool offersToSaveLevel = false;
    std::optional<Highlight> highlightedNote;
    bool hasError = false;
    bool isInteractionEnabled = false;
    std::vector<Note> currentlyPlayingResolution;
    std::optional<Error> error;
    std::optional<Tip> currentTip;
    std::optional<PendingAnswer> pendingAnswer;
    // Goes up whenever what plays is cut short (a stop, a replay), so that
    // the results of effects started before are told from current ones.
    std::uint64_t playback = 0;
    // Goes up with every level loaded, the same one again included (after
    // a rename, say), so that lists of levels know to look again.
    std::uint64_t levelLoads = 0;
    // How the user practises, as read at start-up and changed since.
    Settings settings;
    // The questions of the session so far, and the cadence last played in
    // it: what decides whether the next question starts with one.
    std::int64_t questionsAsked = 0;
    std::optional<Cadence> cadenceHeard;
};

} // namespace lirra
