#pragma once

#include "core/app_state.h"
#include "model/error.h"
#include "model/music.h"
#include "model/settings.h"
#include "practice/session_summary.h"
#include <optional>

#include <QString>

#include <cstdint>
#include <variant>
#include <vector>

namespace lirra {

// What becomes of practice on an unsaved narrowing when the user leaves it.
enum class KeepNarrowing { save, discard, cancel };

// Whether the sound output could be started, asked after the first level and
// after trying again.
struct SoundCheck {
    std::optional<Error> failure;
    friend bool operator==(const SoundCheck &, const SoundCheck &) = default;
};

namespace actions {
struct didPressNote { Note note; };
struct didReleaseNote { Note note; };
struct didSelectNotes { std::vector<Note> notes; };
struct didLoadLevel {
    Level level;
    // After a stop that asked for one.
    std::optional<SessionSummary> summary = {};
    // After a stop: the session as it was kept.
    std::optional<Session> stopped = {};
    // At the start and on trying again: whether the sound output works is
    // asked next, while the level is already on show.
    bool checksSound = false;
};
struct didCheckSound { SoundCheck sound; };
struct didStartSession { Session session; };
struct didLoadQuestion { Question question; };
// `playback` is the state's `playback` when the effect that answers with
// the action started; an older one is a result nobody waits for any more.
struct didLogRightAnswer { Session session; std::uint64_t playback = 0; };
struct didLogWrongAnswer { Session session; std::uint64_t playback = 0; };
struct errorOccurred { Error error; };
struct didLoad {};
struct didDismissTip {};
struct didPressHomeButton {};
struct didPressRandomButton {};
struct didPressPreviousLevelButton {};
struct didPressNextLevelButton {};
struct didPressConfigureLevelButton {};
struct didPressStartStopLevelButton {};
struct didPressRepeatQuestionButton {};
struct didPressAccuracyRing {};
struct didDismissAccuracyScreen {};
struct didDismissLevelEditor {};
struct didPlayNoteInResolution { std::uint64_t playback = 0; };
// The question has sounded, after its cadence or, when none was due, alone.
struct didPlayCadence { std::uint64_t playback = 0; bool withCadence = true; };
struct didPressTryAgain {};
struct didDismissError {};
struct didSkipTour {};
struct didRequestTour {};
struct didPressChooseLevelButton {};
struct didDismissLevelChooser {};
// Any level, built-in or saved, by its `Level.id`.
struct didChooseLevel { std::int64_t levelId = 0; };
// Saves the notes as a level of the user's own. Notes that are the unsaved
// narrowing on show take its session along.
struct didSaveLevel { std::vector<Note> notes; QString name; };
struct didRenameLevel { std::int64_t levelId = 0; QString name; };
struct didDeleteLevel { std::int64_t levelId = 0; };
struct didDeclineSavingLevel {};
struct didChangeSettings { Settings settings; };
struct didPressPreferencesButton {};
struct didDismissPreferences {};
// The notes of a listening block, with their resolutions.
struct didLoadQuestionsToHear { std::vector<Question> questions; std::uint64_t playback = 0; };
struct didPlayHeardNote { std::uint64_t playback = 0; };
struct didSkipListening {};
struct didPressConfusionsButton {};
struct didDismissConfusions {};
// The user's answer to leaving an unsaved narrowing that holds answers.
struct didAnswerLeavingNarrowing { KeepNarrowing choice = KeepNarrowing::cancel; };
// A screen reader began or stopped reading the app.
struct didChangeScreenReader { bool active = false; };
// The user chose where to export every level's history.
struct didChooseExportDestination { ExportFormat format = ExportFormat::json; QString path; };
struct didExportHistory { ExportOutcome outcome; };
} // namespace actions

// Each action belongs to exactly one concern, and that concern's reducer
// takes it; `AppAction` joins the four.

// The session's flow: starting and stopping, the cadence and the question, the keys pressed and what they answered.
using SessionAction = std::variant<
    actions::didPressStartStopLevelButton,
    actions::didPressRepeatQuestionButton,
    actions::didStartSession,
    actions::didLoadQuestion,
    actions::didPlayCadence,
    actions::didPressNote,
    actions::didReleaseNote,
    actions::didLogRightAnswer,
    actions::didLogWrongAnswer,
    actions::didPlayNoteInResolution>;

// Levels and navigation: the level on show, moving to another, choosing notes, saving, renaming and deleting levels of one's own.
using LevelAction = std::variant<
    actions::didLoad,
    actions::didPressHomeButton,
    actions::didPressRandomButton,
    actions::didPressPreviousLevelButton,
    actions::didPressNextLevelButton,
    actions::didPressConfigureLevelButton,
    actions::didDismissLevelEditor,
    actions::didSelectNotes,
    actions::didPressChooseLevelButton,
    actions::didDismissLevelChooser,
    actions::didChooseLevel,
    actions::didSaveLevel,
    actions::didRenameLevel,
    actions::didDeleteLevel,
    actions::didDeclineSavingLevel,
    actions::didAnswerLeavingNarrowing,
    actions::didLoadLevel,
    actions::didCheckSound>;

// Dialogs and settings: the screens over the keys, the preferences, the tour, errors, the screen reader and the export.
using ScreenAction = std::variant<
    actions::didPressAccuracyRing,
    actions::didDismissAccuracyScreen,
    actions::didPressConfusionsButton,
    actions::didDismissConfusions,
    actions::didPressPreferencesButton,
    actions::didDismissPreferences,
    actions::didChangeSettings,
    actions::didSkipTour,
    actions::didRequestTour,
    actions::didDismissTip,
    actions::errorOccurred,
    actions::didDismissError,
    actions::didPressTryAgain,
    actions::didChangeScreenReader,
    actions::didChooseExportDestination,
    actions::didExportHistory>;

// Hearing: the listening blocks and contrasts that play notes to hear between questions.
using HearingAction = std::variant<
    actions::didLoadQuestionsToHear,
    actions::didPlayHeardNote,
    actions::didSkipListening>;

namespace detail {
template <typename... Groups>
struct JoinedGroups;
template <typename... A, typename... B, typename... C, typename... D>
struct JoinedGroups<std::variant<A...>, std::variant<B...>, std::variant<C...>, std::variant<D...>> {
    using type = std::variant<A..., B..., C..., D...>;
};
} // namespace detail

// Every action: the four groups' together.
using AppAction = detail::JoinedGroups<SessionAction, LevelAction, ScreenAction, HearingAction>::type;

// The action's one-line log text.
QString description(const AppAction &action);

} // namespace lirra
