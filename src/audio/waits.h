#pragma once

#include <QObject>

#include <chrono>
#include <coroutine>

namespace lirra {

// Awaiting this suspends for at least `duration` without blocking the event
// loop. It uses precise timers and checks the monotonic clock on waking, so
// it never returns early; while the context object is gone it never returns.
class PreciseSleep {
public:
    PreciseSleep(std::chrono::nanoseconds duration, QObject *context)
        : m_duration(duration), m_context(context) {}

    bool await_ready() const noexcept { return m_duration.count() <= 0; }
    void await_suspend(std::coroutine_handle<> handle);
    void await_resume() const noexcept {}

private:
    std::chrono::nanoseconds m_duration;
    QObject *m_context;
};

} // namespace lirra
