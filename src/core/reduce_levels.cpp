// Levels and navigation: loading a level, moving to another, narrowing its
// notes, saving, renaming and deleting levels of the user's own.
#include "reducers.h"

#include "core/hearing.h"
#include "core/screen_states.h"
#include "model/localization.h"
#include "model/preferences.h"
#include "practice/tip_provider.h"

#include <algorithm>
#include <utility>

namespace lirra::reducing {

Reduction reduceLevels(AppState state, const LevelAction &action, Preferences &preferences, TipProvider &tipProvider)
{
    using namespace actions;
    using E = std::optional<AppEffect>;

    const auto withoutEffect = [&state]() { return Reduction{std::move(state), std::nullopt}; };

    return std::visit(overloaded{
        [&](const didLoad &) { return Reduction{std::move(state), E(effects::prepareToPractice{state.settings})}; },
        [&](const didPressHomeButton &) { return leave(std::move(state), {LeaveNarrowing::To::firstLevel, 0, {}}); },
        [&](const didPressRandomButton &) { return leave(std::move(state), {LeaveNarrowing::To::randomLevel, 0, {}}); },
        [&](const didPressPreviousLevelButton &) {
            return leave(std::move(state), {LeaveNarrowing::To::previousLevel, 0, {}});
        },
        [&](const didPressNextLevelButton &) { return leave(std::move(state), {LeaveNarrowing::To::nextLevel, 0, {}}); },
        [&](const didPressConfigureLevelButton &) {
            state.isLevelEditorVisible = true;
            return withoutEffect();
        },
        [&](const didDismissLevelEditor &) {
            state.isLevelEditorVisible = false;
            return withoutEffect();
        },
        [&](const didSelectNotes &a) {
            return leave(std::move(state), {LeaveNarrowing::To::otherNotes, 0, a.notes});
        },
        [&](const didPressChooseLevelButton &) {
            // Exactly when its button is enabled.
            if (!mainScreenState(state).isChooseLevelButtonEnabled)
                return withoutEffect();
            state.isLevelChooserVisible = true;
            return withoutEffect();
        },
        [&](const didDismissLevelChooser &) {
            state.isLevelChooserVisible = false;
            return withoutEffect();
        },
        [&](const didChooseLevel &a) {
            state.isLevelChooserVisible = false;
            if (state.isPracticing)
                return withoutEffect();
            return leave(std::move(state), {LeaveNarrowing::To::levelWithId, a.levelId, {}});
        },
        [&](const didSaveLevel &a) {
            if (state.isPracticing || !state.level)
                return withoutEffect();
            E effect = saveNarrowing(state, a.notes, a.name);
            state.isLevelEditorVisible = false;
            state.offersToSaveLevel = false;
            return Reduction{std::move(state), std::move(effect)};
        },
        [&](const didRenameLevel &a) {
            if (state.isPracticing)
                return withoutEffect();
            return Reduction{std::move(state), E(effects::renameLevel{a.levelId, a.name})};
        },
        [&](const didDeleteLevel &a) {
            if (state.isPracticing)
                return withoutEffect();
            return Reduction{std::move(state), E(effects::deleteLevel{a.levelId})};
        },
        [&](const didDeclineSavingLevel &) {
            state.offersToSaveLevel = false;
            return withoutEffect();
        },
        [&](const didAnswerLeavingNarrowing &a) {
            if (!state.leavingNarrowing)
                return withoutEffect();
            LeaveNarrowing move = *std::exchange(state.leavingNarrowing, std::nullopt);
            switch (a.choice) {
            case KeepNarrowing::cancel:
                return withoutEffect();
            case KeepNarrowing::discard:
                return moveAway(std::move(state), std::move(move));
            case KeepNarrowing::save:
                break;
            }
            // Saved under the name the offer suggests, then on to where the
            // user was going.
            E effect = saveNarrowing(state, {}, QString());
            state.offersToSaveLevel = false;
            state.moveAfterSave = std::move(move);
            return Reduction{std::move(state), std::move(effect)};
        },
        [&](const didLoadLevel &a) {
            const Level &l = a.level;
            // Another level than the one on show is said, as it is shown;
            // so is another question length, whose history it now shows.
            const bool moved = state.level && (state.level->id != l.id || state.level->notes != l.notes
                                               || state.level->isCustom != l.isCustom
                                               || state.level->questionLength != l.questionLength
                                               || state.level->questionKind != l.questionKind);
            const bool sameNarrowing = state.level && l.isCustom && !l.isSaved() && state.level->isCustom
                && state.level->notes == l.notes;
            if (!sameNarrowing)
                state.narrowingAnsweredAtOtherLengths = false;
            state.hasError = false;
            state.level = l;
            ++state.levelLoads;
            state.sessionSummary = a.summary;
            state.hearing.reset();
            if (moved && !a.stopped)
                announce(state, Announcement::Kind::level);
            if (a.stopped) {
                const SessionStatistics kept = a.stopped->statistics();
                const std::int64_t answers = saturatingAdd(kept.correctCount, kept.wrongCount);
                announce(state, answers > 0 ? Announcement::Kind::sessionSaved : Announcement::Kind::sessionStopped);
                state.announcement->right = kept.correctCount;
                state.announcement->answers = answers;
            }
            const LevelStatistics stats = l.statistics();
            // The figure a session shows, over all the level's answers, so
            // that a stop does not change it.
            state.accuracy = float(stats.pooledAccuracy);
            state.accuracyPerNote = stats.accuracyPerNote;
            state.session.reset();
            state.question.reset();
            state.highlightedNote.reset();
            state.isInteractionEnabled = true;
            if (!l.isCustom)
                state.baseLevel = l;
            state.offersToSaveLevel = l.isCustom && std::any_of(l.sessions.begin(), l.sessions.end(),
                                                                [](const Session &s) { return !s.score.empty(); });
            if (!preferences.boolean(PreferenceKey::hasSeenOnboarding)) {
                state.currentTip = tipProvider.nextTip();
                state.isInteractionEnabled = !state.currentTip.has_value();
            }
            state.notice.reset();
            // The narrowing is saved: on to where the user was going.
            if (state.moveAfterSave && !l.isCustom)
                return moveAway(std::move(state), *std::exchange(state.moveAfterSave, std::nullopt));
            if (a.checksSound)
                return Reduction{std::move(state), E(effects::checkSound{})};
            return withoutEffect();
        },
        [&](const didCheckSound &a) {
            state.soundError = a.sound.failure;
            // What a quit saved without asking is said once, at the start.
            if (const std::optional<QString> kept = preferences.text(PreferenceKey::keptAtQuit);
                kept && !kept->isEmpty()) {
                state.notice = localized("narrowingKeptAtQuit").arg(*kept);
                preferences.setText(QString(), PreferenceKey::keptAtQuit);
                announce(state, Announcement::Kind::notice);
            }
            if (state.soundError) {
                state.error = state.soundError;
                state.hasError = true;
                state.isInteractionEnabled = !state.currentTip.has_value();
                announce(state, Announcement::Kind::error);
            }
            return withoutEffect();
        },
    }, action);
}

} // namespace lirra::reducing
