#pragma once

#include "core/app_environment.h"
#include "core/effect_handler.h"

namespace lirra {

// Carries effects out against the services of the environment, one step
// after another; a failing step is logged once and answered with
// errorOccurred. Nothing is retried or undone.
class AppEffectHandler final : public EffectHandler {
public:
    explicit AppEffectHandler(AppEnvironment environment);

    // Never throws: an exception from a service, running out of memory
    // included, comes back as errorOccurred too.
    QCoro::Task<std::optional<AppAction>> handle(AppEffect effect) override;

private:
    QCoro::Task<std::optional<AppAction>> perform(AppEffect effect);
    // errorOccurred, logged; nothing for playback that was stopped, which
    // ends the effect where it is.
    std::optional<AppAction> failed(const Error &error);
    // With `checksSound`, whether the sound works is asked next.
    std::optional<AppAction> loaded(const Result<Level> &level, bool checksSound = false);
    // How the sound output fared, its failure logged like any other.
    AppAction soundChecked(const Result<void> &sound);
    // A note, or the chord sounded for it, at once when it is a key pressed.
    static QCoro::Task<Result<void>> sound(NotePlayer &player, Note note, std::vector<int> chord, bool key);
    // The MIDI keys of a chord question's chords, in the order they sound.
    static std::vector<std::vector<int>> questionChords(const Level &level, const Question &question);

    AppEnvironment m_environment;
};

} // namespace lirra
