// The session's flow: start and stop, the cadence and the question, the keys
// pressed, right and wrong answers and the resolution.
#include "reducers.h"

#include "core/hearing.h"
#include "core/screen_states.h"

namespace lirra::reducing {

Reduction reduceSession(AppState state, const SessionAction &action, Preferences &/*preferences*/, TipProvider &/*tipProvider*/)
{
    using namespace actions;
    using E = std::optional<AppEffect>;

    const auto withoutEffect = [&state]() { return Reduction{std::move(state), std::nullopt}; };
    const auto stopPractising = [&state]() { return endSession(std::move(state)); };

    return std::visit(overloaded{
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
        [&](const didLoadQuestion &a) {
            if (!state.level || !state.isPracticing)
                return withoutEffect();
            state.hasError = false;
            state.notice.reset();
            state.question = a.question;
            state.melodyPosition = 0;
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
        [&](const didPlayCadence &a) {
            if (!state.isPracticing || a.playback != state.playback)
                return withoutEffect();
            state.isInteractionEnabled = true;
            announce(state, Announcement::Kind::questionReady);
            return withoutEffect();
        },
        [&](const didPressNote &a) {
            const Note n = a.note;
            if (!state.isPracticing) {
                state.highlightedNote = Highlight{n, PaletteColor::amber};
                E effect = effects::playNote{n, chordSounded(state, n)};
                return Reduction{std::move(state), std::move(effect)};
            }
            if (!state.level || !state.question)
                return withoutEffect();
            const Question question = *state.question;
            const Question asked = askedNow(state);
            // A chord is named by its root in any octave.
            const bool right = n.name == asked.answer.name
                && (state.level->spansMultipleOctaves || question.kind == QuestionKind::chord
                    || n.octave == asked.answer.octave);
            state.pendingAnswer = PendingAnswer{asked, right, n};
            const bool lastNote = state.melodyPosition + 1 >= question.length();
            if (right && !lastNote) {
                // A melody's note before its last: it sounds and is found,
                // and the next position waits.
                state.highlightedNote = Highlight{n, PaletteColor::green, Highlight::Mark::right};
                state.isInteractionEnabled = false;
                if (contrastDue(state)) {
                    const Note pressed = *state.firstWrongAnswer;
                    state.hearing = Hearing{Hearing::Kind::contrast, contrastSteps(*state.level, pressed, asked),
                                            Confusion{asked.answer, pressed}};
                    return continueHearing(std::move(state), false);
                }
                E effect = effects::logRightAnswer{n, asked, state.playback, true, chordSounded(state, n)};
                return Reduction{std::move(state), std::move(effect)};
            }
            if (right) {
                state.highlightedNote = Highlight{n, PaletteColor::green, Highlight::Mark::right};
                state.isInteractionEnabled = false;
                // The melody once more as answered, then the last note's
                // way to the tonic.
                state.currentlyPlayingResolution = question.melody;
                if (!state.currentlyPlayingResolution.empty())
                    state.currentlyPlayingResolution.pop_back();
                state.currentlyPlayingResolution.insert(state.currentlyPlayingResolution.end(),
                                                        question.resolution.begin(), question.resolution.end());
                if (!state.currentlyPlayingResolution.empty())
                    state.highlightedNote = resolutionHighlight(state, state.currentlyPlayingResolution.front());
                return Reduction{std::move(state), E(effects::playNoteInResolution{std::nullopt, state.playback})};
            }
            state.highlightedNote = Highlight{n, PaletteColor::red, Highlight::Mark::wrong};
            state.isInteractionEnabled = false;
            if (!state.firstWrongAnswer)
                state.firstWrongAnswer = n;
            E effect = effects::logWrongAnswer{n, asked, state.playback, chordSounded(state, n)};
            return Reduction{std::move(state), std::move(effect)};
        },
        [&](const didReleaseNote &a) {
            // A key played outside a session is lit while it is held.
            if (!state.isPracticing && state.highlightedNote && state.highlightedNote->note == a.note
                && state.highlightedNote->color == PaletteColor::amber)
                state.highlightedNote.reset();
            return withoutEffect();
        },
        [&](const didLogRightAnswer &a) {
            if (!state.isPracticing || a.playback != state.playback)
                return withoutEffect();
            applySession(state, a.session);
            state.pendingAnswer.reset();
            if (state.question && state.melodyPosition + 1 < state.question->length()) {
                // On to the melody's next note; the one found stays marked.
                ++state.melodyPosition;
                state.firstWrongAnswer.reset();
                state.isInteractionEnabled = true;
                announce(state, Announcement::Kind::right);
                return withoutEffect();
            }
            announce(state, Announcement::Kind::right);
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
        [&](const didLogWrongAnswer &a) {
            if (!state.isPracticing || a.playback != state.playback)
                return withoutEffect();
            applySession(state, a.session);
            announce(state, Announcement::Kind::wrong);
            state.pendingAnswer.reset();
            state.isInteractionEnabled = true;
            return withoutEffect();
        },
        [&](const didPlayNoteInResolution &a) {
            if (!state.question || !state.isPracticing || a.playback != state.playback)
                return withoutEffect();
            if (!state.currentlyPlayingResolution.empty()) {
                const Note first = state.currentlyPlayingResolution.front();
                state.highlightedNote = resolutionHighlight(state, first);
                state.currentlyPlayingResolution.erase(state.currentlyPlayingResolution.begin());
                E effect = effects::playNoteInResolution{first, state.playback, chordSounded(state, first)};
                return Reduction{std::move(state), std::move(effect)};
            }
            const Question asked = askedNow(state);
            if (contrastDue(state)) {
                const Note pressed = *state.firstWrongAnswer;
                state.hearing = Hearing{Hearing::Kind::contrast, contrastSteps(*state.level, pressed, asked),
                                        Confusion{asked.answer, pressed}};
                return continueHearing(std::move(state), false);
            }
            E effect = effects::logRightAnswer{asked.answer, asked, state.playback};
            return Reduction{std::move(state), std::move(effect)};
        },
    }, action);
}

} // namespace lirra::reducing
