#pragma once

#include <QObject>

#include <chrono>
#include <coroutine>
#include <cstdint>
#include <map>
#include <memory>

namespace lirra {

// The sleeps in progress of one owner, so that they can all be ended early.
class Sleeps {
public:
    std::uint64_t add(std::coroutine_handle<> handle, bool *cancelled);
    // The sleep's handle, once: false when it has ended already.
    bool take(std::uint64_t id, std::coroutine_handle<> *handle);
    // Ends every sleep in progress; each resumes, cancelled, on a later turn
    // of the event loop of `context`.
    void cancelAll(QObject *context);

private:
    struct Sleeper {
        std::coroutine_handle<> handle;
        bool *cancelled;
    };
    std::uint64_t m_next = 0;
    std::map<std::uint64_t, Sleeper> m_sleeping;
};

// Awaiting this suspends for at least `duration` without blocking the event
// loop. It uses precise timers and checks the monotonic clock on waking, so
// it never returns early, unless its owner's sleeps are cancelled: then it
// returns false at once. While the context object is gone it never returns.
class PreciseSleep {
public:
    PreciseSleep(std::chrono::nanoseconds duration, QObject *context, std::shared_ptr<Sleeps> sleeps)
        : m_duration(duration), m_context(context), m_sleeps(std::move(sleeps)) {}

    bool await_ready() const noexcept { return m_duration.count() <= 0; }
    void await_suspend(std::coroutine_handle<> handle);
    // True when it slept its whole time.
    bool await_resume() const noexcept { return !m_cancelled; }

private:
    std::chrono::nanoseconds m_duration;
    QObject *m_context;
    std::shared_ptr<Sleeps> m_sleeps;
    bool m_cancelled = false;
};

} // namespace lirra
