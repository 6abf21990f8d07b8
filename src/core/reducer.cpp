#include "reducers.h"

#include "core/hearing.h"
#include "core/screen_states.h"
#include "model/generators.h"
#include "model/localization.h"
#include "model/preferences.h"
#include "practice/tip_provider.h"

#include <algorithm>
#include <type_traits>
#include <unordered_set>
#include <utility>

namespace lirra {

namespace reducing {

namespace {

// Every action is taken by exactly one concern's reducer: none stands in two
// groups.
template <typename Action, typename Group>
constexpr bool inGroup = false;
template <typename Action, typename... Actions>
constexpr bool inGroup<Action, std::variant<Actions...>> = (std::is_same_v<Action, Actions> || ...);

template <typename Action>
constexpr int groupsOf = int(inGroup<Action, SessionAction>) + int(inGroup<Action, LevelAction>)
    + int(inGroup<Action, ScreenAction>) + int(inGroup<Action, HearingAction>);

template <typename... Actions>
constexpr bool eachInOneGroup(std::variant<Actions...> *)
{
    return ((groupsOf<Actions> == 1) && ...);
}
static_assert(eachInOneGroup(static_cast<AppAction *>(nullptr)), "an action belongs to exactly one group");

} // namespace

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

// Ends the session under way: whatever plays is cut short and nothing it
// answers counts any more; an answer whose sound is cut short is
// recorded still. Nothing is pressed while the stopped session is being
// saved: the level it comes back with enables the controls again.
Reduction endSession(AppState state)
{
    using E = std::optional<AppEffect>;
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
}

} // namespace reducing

using namespace reducing;

bool holdsUnsavedPractice(const AppState &state)
{
    if (!state.level || !state.level->isCustom || state.level->isSaved())
        return false;
    const auto answered = [](const Session &session) { return !session.score.empty(); };
    return state.narrowingAnsweredAtOtherLengths
        || std::any_of(state.level->sessions.begin(), state.level->sessions.end(), answered)
        || (state.isPracticing && ((state.session && answered(*state.session)) || state.pendingAnswer));
}

Question askedNow(const AppState &state)
{
    if (!state.question)
        return {};
    const Question &question = *state.question;
    if (question.length() <= 1)
        return question;
    const std::size_t position = std::min(state.melodyPosition, question.length() - 1);
    if (position + 1 == question.length())
        return question.at(position, question.resolution);
    const Note note = question.noteAt(position);
    std::vector<Note> resolution;
    if (state.level)
        resolution = resolutionIn(*state.level, note, question.kind);
    return question.at(position, std::move(resolution));
}

std::vector<int> chordSounded(const AppState &state, std::optional<Note> note)
{
    if (!note || !state.level || state.settings.questionKind != QuestionKind::chord)
        return {};
    return chordVoicing(chordOf(note->name, state.level->key, state.level->isMajor));
}

Reduction reduce(AppState state, AppAction action, Preferences &preferences, TipProvider &tipProvider)
{
    return std::visit(
        [&](auto &&a) -> Reduction {
            using A = std::decay_t<decltype(a)>;
            if constexpr (inGroup<A, SessionAction>)
                return reduceSession(std::move(state), SessionAction(std::move(a)), preferences, tipProvider);
            else if constexpr (inGroup<A, LevelAction>)
                return reduceLevels(std::move(state), LevelAction(std::move(a)), preferences, tipProvider);
            else if constexpr (inGroup<A, ScreenAction>)
                return reduceScreens(std::move(state), ScreenAction(std::move(a)), preferences, tipProvider);
            else
                return reduceHearing(std::move(state), HearingAction(std::move(a)), preferences, tipProvider);
        },
        std::move(action));
}

} // namespace lirra
