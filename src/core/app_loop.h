#pragma once

#include "core/app_action.h"
#include "core/app_environment.h"
#include "core/app_state.h"
#include "core/effect_handler.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

namespace lirra {

struct AppLoopDelegate {
    std::function<void(const AppState &)> didUpdateState;
};

// Owns the one AppState and is the only place where it changes.
// The state the app starts in: the settings as the preferences keep them.
AppState startingState(const AppEnvironment &environment);

class AppLoop final : public QObject {
    Q_OBJECT
public:
    using EffectHandlerFactory = std::function<std::shared_ptr<EffectHandler>(const AppEnvironment &)>;

    // With no factory the loop uses AppEffectHandler over its environment.
    AppLoop(AppEnvironment environment, AppState initialState, EffectHandlerFactory makeEffectHandler = {});
    ~AppLoop() override;

    // Logs the action, reduces it, publishes the new state and starts the
    // effect, if any, on a later turn of the event loop. Main thread only.
    void send(AppAction action);

    const AppState &state() const { return m_state; }
    std::optional<AppLoopDelegate> delegate;

    // From now on actions are still reduced, but no effect is started: for
    // the app's last moments, so that what runs can end and nothing new
    // begins.
    void shutDown() { m_shuttingDown = true; }
    // Effects started and not finished yet.
    int effectsInFlight() const { return m_effectsInFlight; }
    // Stops of a session started and not finished yet: their session is
    // not saved until then.
    int stopsInFlight() const { return m_stopsInFlight; }

private:
    friend struct EffectInFlight;
    std::shared_ptr<EffectHandler> effectHandler();

    AppEnvironment m_environment;
    AppState m_state;
    EffectHandlerFactory m_makeEffectHandler;
    std::shared_ptr<EffectHandler> m_effectHandler;
    bool m_shuttingDown = false;
    int m_effectsInFlight = 0;
    int m_stopsInFlight = 0;
};

} // namespace lirra
