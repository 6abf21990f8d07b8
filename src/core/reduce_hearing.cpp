// Hearing: the listening blocks and contrasts between questions.
#include "reducers.h"

#include "core/hearing.h"
#include "core/screen_states.h"

namespace lirra::reducing {

Reduction reduceHearing(AppState state, const HearingAction &action, Preferences &/*preferences*/, TipProvider &/*tipProvider*/)
{
    using namespace actions;
    using E = std::optional<AppEffect>;

    const auto withoutEffect = [&state]() { return Reduction{std::move(state), std::nullopt}; };

    return std::visit(overloaded{
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
    }, action);
}

} // namespace lirra::reducing
