#pragma once

#include "core/palette_color.h"
#include "model/error.h"
#include "model/music.h"
#include "model/tip.h"

#include <optional>
#include <vector>

namespace lirra {

struct Highlight {
    Note note;
    PaletteColor color = PaletteColor::amber;

    friend bool operator==(const Highlight &, const Highlight &) = default;
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
    std::optional<Highlight> highlightedNote;
    bool hasError = false;
    bool isInteractionEnabled = false;
    std::vector<Note> currentlyPlayingResolution;
    std::optional<Error> error;
    std::optional<Tip> currentTip;
};

} // namespace lirra
