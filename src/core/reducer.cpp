#include "reducer.h"

#include "core/hearing.h"
#include "core/screen_states.h"
#include "model/localization.h"
#include "model/preferences.h"
#include "practice/tip_provider.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace lirra {

namespace {

template <class... Ts>
struct overloaded : Ts... { using Ts::operator()...; };
// Spelled out for compilers without deduction for aggregates (clang 14).
template <class... Ts>
overloaded(Ts...) -> overloaded<Ts...>;

std::unordered_set<Note> asSet(const std::vector<Note> &notes)
{
    return {notes.begin(), notes.end()};
}

void applySession(AppState &state, const Session &session)
{
    state.hasError = false;
    state.session = session;
    const SessionStatistics stats = session.statistics();
    state.correctIdentifications = stats.correctCount;
    state.questionsCount = saturatingAdd(stats.correctCount, stats.wrongCount);
    state.accuracy = float(stats.accuracy);
    state.accuracyPerNote = stats.accuracyPerNote;
}

// A session's first question starts with the cadence, and so does one in
// another key than the cadence last heard; otherwise every Nth question,
// or none when N is 0.
bool cadenceDue(const AppState &state, const Level &level)
{
    if (state.questionsAsked == 0 || state.cadenceHeard != level.cadence)
        return true;
    const int every = state.settings.cadenceEvery;
    return every > 0 && state.questionsAsked % every == 0;
}

// A note of a right answer's resolution, marked right while it is the
// key that was pressed.
Highlight resolutionHighlight(const AppState &state, Note note)
{
    const bool pressed = state.pendingAnswer && state.pendingAnswer->pressed == note;
    return Highlight{note, PaletteColor::green, pressed ? Highlight::Mark::right : Highlight::Mark::none};
}

// The effect that moves from the level on show.
Reduction moveAway(AppState state, LeaveNarrowing move)
{
    using E = std::optional<AppEffect>;
    switch (move.to) {
    case LeaveNarrowing::To::firstLevel: return Reduction{std::move(state), E(effects::loadFirstLevel{})};
    case LeaveNarrowing::To::randomLevel: return Reduction{std::move(state), E(effects::loadRandomLevel{})};
    case LeaveNarrowing::To::previousLevel: return Reduction{std::move(state), E(effects::loadPreviousLevel{})};
    case LeaveNarrowing::To::nextLevel: return Reduction{std::move(state), E(effects::loadNextLevel{})};
    case LeaveNarrowing::To::levelWithId:
        return Reduction{std::move(state), E(effects::loadLevelWithId{move.levelId})};
    case LeaveNarrowing::To::otherNotes:
        break;
    }
    if (!state.level || asSet(move.notes) == asSet(state.level->notes))
        return Reduction{std::move(state), std::nullopt};
    if (state.baseLevel && asSet(move.notes) == asSet(state.baseLevel->notes)) {
        E effect = effects::loadLevel{*state.baseLevel};
        return Reduction{std::move(state), std::move(effect)};
    }
    Level custom = *state.level;
    custom.notes = std::move(move.notes);
    custom.isCustom = true;
    custom.sessions.clear();
    custom.savedId = QUuid();
    custom.name.clear();
    return Reduction{std::move(state), E(effects::loadLevel{std::move(custom)})};
}

// A move away from the level on show, unless it would lose the answers of
// an unsaved narrowing: then the user is asked first.
Reduction leave(AppState state, LeaveNarrowing move)
{
    if (holdsUnsavedPractice(state)) {
        state.leavingNarrowing = std::move(move);
        return Reduction{std::move(state), std::nullopt};
    }
    return moveAway(std::move(state), std::move(move));
}

// The narrowing on show as a level of the user's own, with its sessions.
effects::saveLevel saveNarrowing(const AppState &state, std::vector<Note> notes, QString name)
{
    Level level = *state.level;
    if (notes.empty())
        notes = level.notes;
    // The narrowing's stopped sessions go along; other notes start with no
    // history.
    if (!level.isCustom || asSet(notes) != asSet(level.notes))
        level.sessions.clear();
    level.notes = std::move(notes);
    level.isCustom = true;
    level.savedId = QUuid();
    level.name.clear();
    return effects::saveLevel{std::move(level), std::move(name)};
}

} // namespace

bool holdsUnsavedPractice(const AppState &state)
{
    if (!state.level || !state.level->isCustom || state.level->isSaved())
        return false;
    const auto answered = [](const Session &session) { return !session.score.empty(); };
    return std::any_of(state.level->sessions.begin(), state.level->sessions.end(), answered)
        || (state.isPracticing && ((state.session && answered(*state.session)) || state.pendingAnswer));
}

Reduction reduce(AppState state, AppAction action, Preferences &preferences, TipProvider &tipProvider)
{
    using namespace actions;
    using E = std::optional<AppEffect>;

    const auto withoutEffect = [&state]() { return Reduction{std::move(state), std::nullopt}; };
    // Ends the session under way: whatever plays is cut short and nothing it
    // answers counts any more; an answer whose sound is cut short is
    // recorded still. Nothing is pressed while the stopped session is being
    // saved: the level it comes back with enables the controls again.
    const auto stopPractising = [&state]() {
        state.isPracticing = false;
        state.isInteractionEnabled = false;
        state.highlightedNote.reset();
        ++state.playback;
        state.currentlyPlayingResolution.clear();
        state.hearing.reset();
        effects::stopSession stop{std::exchange(state.pendingAnswer, std::nullopt)};
        // Adaptive practice says what the session came to, when it came to
        // an answer.
        const bool answered = stop.pendingAnswer || (state.session && !state.session->score.empty());
        if (state.session)
            stop.session = *state.session;
        if (state.settings.mode == PracticeMode::adaptive && state.session && state.level && answered) {
            stop.summarize = true;
            stop.before = state.level->sessions;
        }
        return Reduction{std::move(state), E(std::move(stop))};
    };

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
        [&](const didPressAccuracyRing &) {
            state.isAccuracyScreenVisible = true;
            return withoutEffect();
        },
        [&](const didDismissAccuracyScreen &) {
            state.isAccuracyScreenVisible = false;
            return withoutEffect();
        },
        [&](const didPlayCadence &a) {
            if (!state.isPracticing || a.playback != state.playback)
                return withoutEffect();
            state.isInteractionEnabled = true;
            announce(state, Announcement::Kind::questionReady);
            return withoutEffect();
        },
        [&](const didReleaseNote &a) {
            // A key played outside a session is lit while it is held.
            if (!state.isPracticing && state.highlightedNote && state.highlightedNote->note == a.note
                && state.highlightedNote->color == PaletteColor::amber)
                state.highlightedNote.reset();
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
        [&](const didPressStartStopLevelButton &) {
            if (state.isPracticing)
                return stopPractising();
            // Without sound there is nothing to practise: it says why again.
            if (state.soundError) {
                state.error = state.soundError;
                state.hasError = true;
                announce(state, Announcement::Kind::error);
                return withoutEffect();
            }
            state.notice.reset();
            state.isPracticing = true;
            state.highlightedNote.reset();
            state.offersToSaveLevel = false;
            state.isLevelChooserVisible = false;
            return Reduction{std::move(state), E(effects::startSession{})};
        },
        [&](const didPressRepeatQuestionButton &) {
            if (!state.isPracticing || !state.level || !state.question || state.pendingAnswer)
                return withoutEffect();
            // The question starts again from its cadence, whatever of it
            // still sounds.
            state.isInteractionEnabled = false;
            state.highlightedNote.reset();
            ++state.playback;
            E effect = effects::repeatQuestion{*state.level, *state.question, state.playback};
            return Reduction{std::move(state), std::move(effect)};
        },
        [&](const didStartSession &a) {
            if (!state.isPracticing)
                return withoutEffect();
            applySession(state, a.session);
            state.highlightedNote.reset();
            state.isInteractionEnabled = true;
            state.questionsAsked = 0;
            state.cadenceHeard.reset();
            state.sessionSummary.reset();
            state.hearing.reset();
            return Reduction{std::move(state), E(effects::loadNextQuestion{state.settings.mode})};
        },
        [&](const didLogRightAnswer &a) {
            if (!state.isPracticing || a.playback != state.playback)
                return withoutEffect();
            applySession(state, a.session);
            announce(state, Announcement::Kind::right);
            state.pendingAnswer.reset();
            state.question.reset();
            state.highlightedNote.reset();
            state.isInteractionEnabled = true;
            if (listeningDue(state)) {
                state.isInteractionEnabled = false;
                E effect = effects::loadQuestionsToHear{notesPerListening, state.playback};
                return Reduction{std::move(state), std::move(effect)};
            }
            return Reduction{std::move(state), E(effects::loadNextQuestion{state.settings.mode})};
        },
        [&](const didLoadQuestionsToHear &a) {
            if (!state.isPracticing || a.playback != state.playback)
                return withoutEffect();
            if (a.questions.empty())
                return Reduction{std::move(state), E(effects::loadNextQuestion{state.settings.mode})};
            state.hearing = Hearing{Hearing::Kind::listening, listeningSteps(a.questions), std::nullopt};
            state.isInteractionEnabled = false;
            return continueHearing(std::move(state), false);
        },
        [&](const didPlayHeardNote &a) {
            if (!state.isPracticing || a.playback != state.playback || !state.hearing)
                return withoutEffect();
            return continueHearing(std::move(state), true);
        },
        [&](const didSkipListening &) {
            if (!state.isPracticing || !state.hearing || state.hearing->kind != Hearing::Kind::listening)
                return withoutEffect();
            ++state.playback;
            state.hearing.reset();
            state.highlightedNote.reset();
            return Reduction{std::move(state), E(effects::loadNextQuestion{state.settings.mode, true})};
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
        [&](const didLogWrongAnswer &a) {
            if (!state.isPracticing || a.playback != state.playback)
                return withoutEffect();
            applySession(state, a.session);
            announce(state, Announcement::Kind::wrong);
            state.pendingAnswer.reset();
            state.isInteractionEnabled = true;
            return withoutEffect();
        },
        [&](const didLoadQuestion &a) {
            if (!state.level || !state.isPracticing)
                return withoutEffect();
            state.hasError = false;
            state.notice.reset();
            state.question = a.question;
            state.firstWrongAnswer.reset();
            state.highlightedNote.reset();
            state.isInteractionEnabled = false;
            const bool withCadence = cadenceDue(state, *state.level);
            // Only an answer before it has anything to be said about it.
            const int chosen = state.settings.speechPause;
            const int pause = state.questionsAsked == 0 ? 0
                : chosen == Settings::automaticPause ? (state.screenReaderActive ? 1 : 0)
                                                     : chosen;
            ++state.questionsAsked;
            if (withCadence)
                state.cadenceHeard = state.level->cadence;
            E effect = effects::playCadence{*state.level, a.question, state.playback, withCadence, pause};
            return Reduction{std::move(state), std::move(effect)};
        },
        [&](const didPressNote &a) {
            const Note n = a.note;
            if (!state.isPracticing) {
                state.highlightedNote = Highlight{n, PaletteColor::amber};
                return Reduction{std::move(state), E(effects::playNote{n})};
            }
            if (!state.level || !state.question)
                return withoutEffect();
            const Question question = *state.question;
            const bool right = n.name == question.answer.name
                && (state.level->spansMultipleOctaves || n.octave == question.answer.octave);
            state.pendingAnswer = PendingAnswer{question, right, n};
            if (right) {
                state.highlightedNote = Highlight{n, PaletteColor::green, Highlight::Mark::right};
                state.isInteractionEnabled = false;
                state.currentlyPlayingResolution = question.resolution;
                if (!state.currentlyPlayingResolution.empty())
                    state.highlightedNote = resolutionHighlight(state, state.currentlyPlayingResolution.front());
                return Reduction{std::move(state), E(effects::playNoteInResolution{std::nullopt, state.playback})};
            }
            state.highlightedNote = Highlight{n, PaletteColor::red, Highlight::Mark::wrong};
            state.isInteractionEnabled = false;
            if (!state.firstWrongAnswer)
                state.firstWrongAnswer = n;
            return Reduction{std::move(state), E(effects::logWrongAnswer{n, question, state.playback})};
        },
        [&](const didPlayNoteInResolution &a) {
            if (!state.question || !state.isPracticing || a.playback != state.playback)
                return withoutEffect();
            if (!state.currentlyPlayingResolution.empty()) {
                const Note first = state.currentlyPlayingResolution.front();
                state.highlightedNote = resolutionHighlight(state, first);
                state.currentlyPlayingResolution.erase(state.currentlyPlayingResolution.begin());
                return Reduction{std::move(state), E(effects::playNoteInResolution{first, state.playback})};
            }
            if (contrastDue(state)) {
                const Note pressed = *state.firstWrongAnswer;
                state.hearing = Hearing{Hearing::Kind::contrast, contrastSteps(*state.level, pressed, *state.question),
                                        Confusion{state.question->answer, pressed}};
                return continueHearing(std::move(state), false);
            }
            E effect = effects::logRightAnswer{state.question->answer, *state.question, state.playback};
            return Reduction{std::move(state), std::move(effect)};
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
            if (a.settings == state.settings)
                return withoutEffect();
            const Settings previous = std::exchange(state.settings, a.settings);
            // A new instrument is heard at once, on the tonic, unless a
            // question would be muddled by it.
            std::optional<Note> preview;
            if (a.settings.instrument != previous.instrument && !state.isPracticing)
                preview = Note{state.level ? state.level->key : NoteName::c, 1};
            E effect = effects::applySettings{a.settings, previous, preview};
            return Reduction{std::move(state), std::move(effect)};
        },
        [&](const didLoadLevel &a) {
            const Level &l = a.level;
            // Another level than the one on show is said, as it is shown.
            const bool moved = state.level && (state.level->id != l.id || state.level->notes != l.notes
                                               || state.level->isCustom != l.isCustom);
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
            if (a.sound) {
                state.soundError = a.sound->failure;
                // What a quit saved without asking is said once, at the start.
                if (const std::optional<QString> kept = preferences.text(PreferenceKey::keptAtQuit);
                    kept && !kept->isEmpty()) {
                    state.notice = localized("narrowingKeptAtQuit").arg(*kept);
                    preferences.setText(QString(), PreferenceKey::keptAtQuit);
                    announce(state, Announcement::Kind::notice);
                }
            }
            if (state.soundError && a.sound) {
                state.error = state.soundError;
                state.hasError = true;
                state.isInteractionEnabled = !state.currentTip.has_value();
                announce(state, Announcement::Kind::error);
            }
            // The narrowing is saved: on to where the user was going.
            if (state.moveAfterSave && !l.isCustom)
                return moveAway(std::move(state), *std::exchange(state.moveAfterSave, std::nullopt));
            return withoutEffect();
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
    }, std::move(action));
}

} // namespace lirra
