// Dialogs and settings: the screens over the keys, the preferences, the tour,
// errors, the screen reader and the export.
#include "reducers.h"

#include "core/hearing.h"
#include "core/screen_states.h"
#include "model/localization.h"
#include "model/preferences.h"
#include "practice/tip_provider.h"

#include <utility>

namespace lirra::reducing {

Reduction reduceScreens(AppState state, const ScreenAction &action, Preferences &preferences, TipProvider &tipProvider)
{
    using namespace actions;
    using E = std::optional<AppEffect>;

    const auto withoutEffect = [&state]() { return Reduction{std::move(state), std::nullopt}; };
    const auto stopPractising = [&state]() { return endSession(std::move(state)); };

    return std::visit(overloaded{
        [&](const didPressAccuracyRing &) {
            state.isAccuracyScreenVisible = true;
            return withoutEffect();
        },
        [&](const didDismissAccuracyScreen &) {
            state.isAccuracyScreenVisible = false;
            return withoutEffect();
        },
        [&](const didPressConfusionsButton &) {
            if (!state.level)
                return withoutEffect();
            state.isConfusionViewVisible = true;
            return withoutEffect();
        },
        [&](const didDismissConfusions &) {
            state.isConfusionViewVisible = false;
            return withoutEffect();
        },
        [&](const didPressPreferencesButton &) {
            if (!mainScreenState(state).isPreferencesButtonEnabled)
                return withoutEffect();
            state.isPreferencesVisible = true;
            return withoutEffect();
        },
        [&](const didDismissPreferences &) {
            state.isPreferencesVisible = false;
            return withoutEffect();
        },
        [&](const didChangeSettings &a) {
            Settings settings = a.settings;
            // A session's answers belong to one kind's and length's history:
            // they change between sessions.
            if (state.isPracticing && !sameHistory(settings, state.settings)) {
                const bool kindChanged = settings.questionKind != state.settings.questionKind;
                settings.melodyLength = state.settings.melodyLength;
                settings.questionKind = state.settings.questionKind;
                state.notice = localized(kindChanged ? "chords.notNow" : "melody.notNow");
                announce(state, Announcement::Kind::notice);
            }
            if (settings == state.settings)
                return withoutEffect();
            // What the narrowing holds at this length stays to be saved or
            // discarded when it is left, whatever the length then.
            if (!sameHistory(settings, state.settings) && holdsUnsavedPractice(state))
                state.narrowingAnsweredAtOtherLengths = true;
            const Settings previous = std::exchange(state.settings, settings);
            // A new instrument is heard at once, on the tonic, unless a
            // question would be muddled by it.
            std::optional<Note> preview;
            if (a.settings.instrument != previous.instrument && !state.isPracticing)
                preview = Note{state.level ? state.level->key : NoteName::c, 1};
            E effect = effects::applySettings{settings, previous, preview};
            return Reduction{std::move(state), std::move(effect)};
        },
        [&](const didSkipTour &) {
            if (!state.currentTip)
                return withoutEffect();
            // For good: the tour does not come back at the next start.
            state.currentTip.reset();
            announce(state, Announcement::Kind::tourClosed);
            state.isInteractionEnabled = state.level.has_value();
            preferences.setBool(true, PreferenceKey::hasSeenOnboarding);
            return withoutEffect();
        },
        [&](const didRequestTour &) {
            // From the start, over the level on show; not into a session or
            // over another screen. In a session it says when.
            if (state.isPracticing) {
                state.notice = localized("tour.notNow");
                announce(state, Announcement::Kind::notice);
                return withoutEffect();
            }
            if (!state.level || state.hasError || state.isLevelEditorVisible || state.isAccuracyScreenVisible
                || !state.isInteractionEnabled)
                return withoutEffect();
            tipProvider.restart();
            state.currentTip = tipProvider.nextTip();
            state.isInteractionEnabled = !state.currentTip.has_value();
            return withoutEffect();
        },
        [&](const didDismissTip &) {
            state.currentTip = tipProvider.nextTip();
            state.isInteractionEnabled = !state.currentTip.has_value();
            if (!state.currentTip)
                preferences.setBool(true, PreferenceKey::hasSeenOnboarding);
            return withoutEffect();
        },
        [&](const errorOccurred &a) {
            state.error = a.error;
            state.hasError = true;
            // A move that waited for a save that failed is not made.
            state.moveAfterSave.reset();
            // The error screen offers a way on: the controls work again (a
            // session can be stopped, another level chosen), unless a tip
            // is waiting to be dismissed.
            state.isInteractionEnabled = !state.currentTip.has_value();
            announce(state, Announcement::Kind::error);
            return withoutEffect();
        },
        [&](const didDismissError &) {
            // Back to where the error broke in; what it said stays logged.
            if (!state.level)
                return withoutEffect();
            state.hasError = false;
            return withoutEffect();
        },
        [&](const didPressTryAgain &) {
            state.isInteractionEnabled = false;
            state.highlightedNote.reset();
            // A session the error broke into ends as the stop button ends
            // it, keeping its answers; otherwise the level is loaded again.
            if (state.isPracticing)
                return stopPractising();
            return Reduction{std::move(state), E(effects::reloadLevel{})};
        },
        [&](const didChangeScreenReader &a) {
            state.screenReaderActive = a.active;
            return withoutEffect();
        },
        [&](const didChooseExportDestination &a) {
            // One export at a time: a second waits for the first to be told.
            if (state.isExporting || a.path.isEmpty())
                return withoutEffect();
            state.isExporting = true;
            return Reduction{std::move(state), effects::exportHistory{a.format, a.path}};
        },
        [&](const didExportHistory &a) {
            state.isExporting = false;
            state.exportOutcome = a.outcome;
            ++state.exportsEnded;
            return withoutEffect();
        },
    }, action);
}

} // namespace lirra::reducing
