#pragma once

#include "core/app_action.h"
#include "core/app_effect.h"
#include "core/app_state.h"

#include <optional>

namespace lirra {

class Preferences;
class TipProvider;

struct Reduction {
    AppState state;
    std::optional<AppEffect> effect;
};

// The next state and at most one effect. Consults the preferences and the tip
// provider for the onboarding tour; does no slow work.
Reduction reduce(AppState state, AppAction action, Preferences &preferences, TipProvider &tipProvider);

} // namespace lirra
