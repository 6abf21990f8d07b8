#pragma once

// The reducer's parts: one reducer per concern (see the action groups), and
// what they share. Only the reducer's own files include this.

#include "core/app_action.h"
#include "core/app_effect.h"
#include "core/app_state.h"
#include "core/reducer.h"

#include <unordered_set>
#include <vector>

namespace lirra {

class Preferences;
class TipProvider;

namespace reducing {

template <class... Ts>
struct overloaded : Ts... { using Ts::operator()...; };
// Spelled out for compilers without deduction for aggregates (clang 14).
template <class... Ts>
overloaded(Ts...) -> overloaded<Ts...>;

Reduction reduceSession(AppState state, const SessionAction &action, Preferences &preferences, TipProvider &tipProvider);
Reduction reduceLevels(AppState state, const LevelAction &action, Preferences &preferences, TipProvider &tipProvider);
Reduction reduceScreens(AppState state, const ScreenAction &action, Preferences &preferences, TipProvider &tipProvider);
Reduction reduceHearing(AppState state, const HearingAction &action, Preferences &preferences, TipProvider &tipProvider);

std::unordered_set<Note> asSet(const std::vector<Note> &notes);
// The session's answers and figures on show.
void applySession(AppState &state, const Session &session);
// Whether the next question starts with the cadence.
bool cadenceDue(const AppState &state, const Level &level);
// A note of a right answer's resolution, marked right while it is the key
// that was pressed.
Highlight resolutionHighlight(const AppState &state, Note note);
// The effect that moves from the level on show.
Reduction moveAway(AppState state, LeaveNarrowing move);
// A move away from the level on show, asking first when it would lose the
// answers of an unsaved narrowing.
Reduction leave(AppState state, LeaveNarrowing move);
// The narrowing on show as a level of the user's own, with its sessions.
effects::saveLevel saveNarrowing(const AppState &state, std::vector<Note> notes, QString name);
// Ends the session under way (see its definition).
Reduction endSession(AppState state);

} // namespace reducing

} // namespace lirra
