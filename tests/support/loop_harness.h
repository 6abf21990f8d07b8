#pragma once

#include "support/fakes.h"

#include "core/app_loop.h"
#include "model/generators.h"
#include "support/notes.h"

#include <QTest>

#include <memory>
#include <optional>

namespace lirra::test {

// The first built-in level, C major's lower half: C1 D1 E1 F1.
inline const Level cMajor = DiatonicLevelGenerator().generateLevels()[0];

// A question of a note ("E1") in C major, with its resolution.
inline Question questionOf(const char16_t *text)
{
    const Note asked = note(text);
    return Question{QUuid::createUuid(), asked, DiatonicNoteResolutionGenerator().resolution(asked, NoteName::c, true, false)};
}

// An app loop whose effects are recorded, not performed: a test sends
// actions and reads the state and the effect each one asked for.
class LoopHarness {
public:
    // A loop with the settings, past the tour, showing the level.
    void start(const Settings &settings, const Level &level)
    {
        AppEnvironment env;
        auto preferences = std::make_shared<MemoryPreferences>();
        preferences->setBool(true, PreferenceKey::hasSeenOnboarding);
        env.preferences = preferences;
        env.tipProvider = std::make_shared<ListTipProvider>();
        env.logger = std::make_shared<RecordingLogger>();
        handler = std::make_shared<ScriptedEffectHandler>();
        AppState initial;
        initial.settings = settings;
        restart(env, initial);
        send(actions::didLoad{});
        send(actions::didLoadLevel{level});
    }
    // The same recorder behind a new loop from the state given.
    void restart(const AppEnvironment &env, const AppState &initial)
    {
        loop = std::make_unique<AppLoop>(env, initial, [h = handler](const AppEnvironment &) { return h; });
    }
    const AppState &state() const { return loop->state(); }
    // The effect the action asked for, if any.
    std::optional<AppEffect> send(AppAction action)
    {
        const size_t before = handler->handled.size();
        loop->send(std::move(action));
        drainEvents();
        return handler->handled.size() == before ? std::nullopt : std::optional(handler->handled.back());
    }
    void stop()
    {
        drainEvents();
        loop.reset();
    }

    std::shared_ptr<ScriptedEffectHandler> handler;
    std::unique_ptr<AppLoop> loop;
};

} // namespace lirra::test
