#pragma once

#include "core/app_state.h"
#include "model/settings.h"

#include <optional>
#include <vector>

namespace lirra {

// A run of text in one palette colour, or in the default colour.
struct TextSegment {
    QString text;
    std::optional<PaletteColor> color;

    friend bool operator==(const TextSegment &, const TextSegment &) = default;
};
using StyledText = std::vector<TextSegment>;

QString plainText(const StyledText &text);

struct NavBarState;

// Above the keys while a melody is asked: a slot per note, the notes found
// so far by the names the keys give them, and the position waiting.
struct MelodySlots {
    std::vector<QString> found;
    std::size_t length = 0;
    // The slot waiting for its note; `length` once every note is found.
    std::size_t waiting = 0;
    friend bool operator==(const MelodySlots &, const MelodySlots &) = default;
};

struct MainScreenState {
    enum class StartStopMode { start, stop };

    NoteName key = NoteName::c;
    bool isMajor = true;
    NoteNaming naming = NoteNaming::solfege;
    // Of chords: each key stands for the chord on it.
    QuestionKind kind = QuestionKind::note;
    bool isPreviousButtonEnabled = false;
    bool isNextButtonEnabled = false;
    bool isConfigureButtonEnabled = false;
    bool isChooseLevelButtonEnabled = false;
    // The preferences can be changed over a session too: they apply from
    // the next note.
    bool isPreferencesButtonEnabled = false;
    bool isStartStopButtonEnabled = false;
    StartStopMode startStopButtonMode = StartStopMode::start;
    bool isRepeatButtonEnabled = false;
    bool isScoreLabelHidden = true;
    std::optional<StyledText> scoreText;
    std::optional<QString> scoreAccessibilityText;
    // Keeping the stopped narrowing as a level of the user's own is offered.
    bool offersToSaveLevel = false;
    // What the three counts are ("6 right · 1 wrong · 7 questions"), with them.
    std::optional<QString> scoreLegend;
    float accuracy = 0;
    // False before any answer: the figure is then no figure at all.
    bool hasAccuracy = false;
    bool isAccuracyRingEnabled = false;
    bool isKeyboardEnabled = false;
    std::vector<Note> activeNotes;
    std::optional<Highlight> highlightedNote;
    std::optional<Tip> tip;
    // Under the keys: which note is heard between questions, or what the
    // last session came to.
    std::optional<QString> caption;
    std::optional<MelodySlots> melody;

    friend bool operator==(const MainScreenState &, const MainScreenState &) = default;
};

MainScreenState mainScreenState(const AppState &state);

struct NavBarState {
    using StartStopMode = MainScreenState::StartStopMode;

    bool isPreviousButtonEnabled = false;
    bool isNextButtonEnabled = false;
    bool isConfigureButtonEnabled = false;
    bool isChooseLevelButtonEnabled = false;
    bool isPreferencesButtonEnabled = false;
    bool isStartStopButtonEnabled = false;
    StartStopMode startStopButtonMode = StartStopMode::start;
    bool isRepeatButtonEnabled = false;
    bool isScoreLabelHidden = true;
    std::optional<StyledText> scoreText;
    std::optional<QString> scoreAccessibilityText;
    std::optional<QString> scoreLegend;
    float accuracy = 0;
    bool hasAccuracy = false;
    bool isAccuracyRingEnabled = false;

    friend bool operator==(const NavBarState &, const NavBarState &) = default;
};

NavBarState navBarState(const MainScreenState &main);

struct LevelEditorScreenState {
    NoteName key = NoteName::c;
    std::vector<Note> allNotes;      // what can be chosen: the base level's notes
    std::vector<Note> selectedNotes; // the selection to start from: the current level's notes
    bool isMajor = true;
    NoteNaming naming = NoteNaming::solfege;

    friend bool operator==(const LevelEditorScreenState &, const LevelEditorScreenState &) = default;
};

LevelEditorScreenState levelEditorScreenState(const AppState &state);

// One stored session of a level on the progress chart.
struct ProgressPoint {
    double timestamp = 0; // seconds since 1970-01-01 00:00 UTC
    double accuracy = 0;
    std::int64_t right = 0;
    std::int64_t total = 0;

    friend bool operator==(const ProgressPoint &, const ProgressPoint &) = default;
};

struct AccuracyScreenState {
    enum class Context { session, level };

    Context context = Context::level;
    NoteName key = NoteName::c;
    bool isMajor = true;
    NoteNaming naming = NoteNaming::solfege;
    // Of chords: the keys are their roots, named by numeral.
    QuestionKind kind = QuestionKind::note;
    AccuracyPerNote accuracyPerNote;
    std::vector<Note> activeNotes;
    // In the level context: the level's stored sessions, oldest first (the
    // newest hundred), and its accuracy over all of them.
    std::vector<ProgressPoint> progress;
    double levelAccuracy = 0;
    // Which level: "C major · lower half · diatonic".
    QString levelHeading;
    // For each note first taken for another, the one it was taken for most
    // often (over the session, or over the level's sessions), and how often.
    std::vector<Confusion> heardAs;
    // How often, for each entry of `heardAs`.
    std::vector<std::int64_t> heardAsCounts;

    friend bool operator==(const AccuracyScreenState &, const AccuracyScreenState &) = default;
};

AccuracyScreenState accuracyScreenState(const AppState &state);

} // namespace lirra
