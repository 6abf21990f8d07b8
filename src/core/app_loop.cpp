#include "app_loop.h"

#include "core/app_effect_handler.h"
#include "core/event_loop.h"
#include "core/reducer.h"
#include "practice/practice_settings.h"

#include <QPointer>

namespace lirra {

AppState startingState(const AppEnvironment &environment)
{
    AppState state;
    if (environment.preferences)
        state.settings = readSettings(*environment.preferences);
    return state;
}

// Counts an effect as in flight for as long as it lives.
struct EffectInFlight {
    EffectInFlight(QPointer<AppLoop> loop, bool stop) : loop(std::move(loop)), stop(stop)
    {
        if (this->loop) {
            ++this->loop->m_effectsInFlight;
            if (stop)
                ++this->loop->m_stopsInFlight;
        }
    }
    EffectInFlight(const EffectInFlight &) = delete;
    EffectInFlight &operator=(const EffectInFlight &) = delete;
    ~EffectInFlight()
    {
        if (!loop)
            return;
        --loop->m_effectsInFlight;
        if (stop)
            --loop->m_stopsInFlight;
    }
    QPointer<AppLoop> loop;
    bool stop;
};

namespace {

// Whether an effect starts with the sound of a key the user pressed.
bool soundsAKey(const AppEffect &effect)
{
    if (const auto *right = std::get_if<effects::logRightAnswer>(&effect))
        return right->playsNote;
    return std::holds_alternative<effects::playNote>(effect) || std::holds_alternative<effects::logWrongAnswer>(effect);
}

// One effect, started on the next turn of the event loop, or `atOnce` when
// it sounds a key the user pressed: that sound is due before anything else
// is done for the press, the screens' update and their painting included.
// Either way the action an effect leads to is sent on a later turn, so that
// `send` never runs inside `send`. The task owns a share of the handler, so
// a handler outlives the loop while any of its effects is still running.
QCoro::Task<> runEffect(QPointer<AppLoop> loop, std::shared_ptr<EffectHandler> handler, AppEffect effect,
                        bool atOnce)
{
    const EffectInFlight counted(loop, std::holds_alternative<effects::stopSession>(effect));
    if (!atOnce)
        co_await NextEventLoopTurn{};
    std::optional<AppAction> next;
    // An exception nobody awaits would vanish with the task, and the chain
    // of effects with it: it ends as an error the user sees instead.
    try {
        next = co_await handler->handle(std::move(effect));
    } catch (...) {
        next = actions::errorOccurred{
            Error{QStringLiteral("AppLoop"), 1, QStringLiteral("Lirra could not finish what it was doing.")}};
    }
    if (atOnce)
        co_await NextEventLoopTurn{};
    if (next && loop)
        loop->send(std::move(*next));
}

} // namespace

AppLoop::AppLoop(AppEnvironment environment, AppState initialState, EffectHandlerFactory makeEffectHandler)
    : m_environment(std::move(environment))
    , m_state(std::move(initialState))
    , m_makeEffectHandler(std::move(makeEffectHandler))
{
}

AppLoop::~AppLoop() = default;

std::shared_ptr<EffectHandler> AppLoop::effectHandler()
{
    if (!m_effectHandler) {
        m_effectHandler = m_makeEffectHandler ? m_makeEffectHandler(m_environment)
                                              : std::make_shared<AppEffectHandler>(m_environment);
    }
    return m_effectHandler;
}

void AppLoop::send(AppAction action)
{
    Logger *logger = m_environment.logger.get();
    if (logger && logger->isEnabled(LogLevel::standard))
        logger->write(LogLevel::standard, description(action));

    Reduction next = reduce(m_state, std::move(action), *m_environment.preferences, *m_environment.tipProvider);
    m_state = std::move(next.state);

    // A pressed key's sound goes first; the screens follow.
    const bool runs = next.effect && !m_shuttingDown;
    const bool soundFirst = runs && soundsAKey(*next.effect);
    if (soundFirst)
        runEffect(QPointer<AppLoop>(this), effectHandler(), std::move(*next.effect), true);

    if (delegate && delegate->didUpdateState)
        delegate->didUpdateState(m_state);

    if (runs && !soundFirst)
        runEffect(QPointer<AppLoop>(this), effectHandler(), std::move(*next.effect), false);
}

} // namespace lirra
