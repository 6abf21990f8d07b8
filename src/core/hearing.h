#pragma once

#include "core/reducer.h"

#include <vector>

namespace lirra {

// After this many questions of an adaptive session, a listening block.
inline constexpr std::int64_t questionsBetweenListening = 12;
inline constexpr std::size_t notesPerListening = 3;

// A beat's rest, then each note's resolution (the note first), a beat's
// rest between two notes.
std::vector<HeardStep> listeningSteps(const std::vector<Question> &questions);
// The note pressed with its resolution in the level's key, a beat's rest,
// then the note asked with its resolution.
std::vector<HeardStep> contrastSteps(const Level &level, Note pressed, const Question &asked);

// Plays the first step of what is to be heard; once a step has played, the
// next. The step under way stays first, for what the screen says. With no
// step left it goes on: a contrast records the right answer it followed, a
// listening block asks the next question.
Reduction continueHearing(AppState state, bool stepPlayed);

// An adaptive session that has just finished its twelfth question (its
// 24th, …) hears a block before the next.
bool listeningDue(const AppState &state);
// A question first answered wrong and now right ends with a contrast.
bool contrastDue(const AppState &state);

} // namespace lirra
