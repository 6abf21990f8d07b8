#pragma once

#include <QCoreApplication>
#include <QMetaObject>

#include <coroutine>
#include <deque>

namespace lirra {

// Lets coroutines on the event loop's thread take turns: one holds the turn
// from `co_await turns.take()` until its `Turn` goes away; the others wait,
// in the order they came, and the next resumes on a later turn of the loop.
class Turns {
public:
    class Turn {
    public:
        explicit Turn(Turns *turns) : m_turns(turns) {}
        Turn(Turn &&other) noexcept : m_turns(std::exchange(other.m_turns, nullptr)) {}
        Turn(const Turn &) = delete;
        Turn &operator=(const Turn &) = delete;
        Turn &operator=(Turn &&) = delete;
        ~Turn()
        {
            if (m_turns)
                m_turns->pass();
        }

    private:
        Turns *m_turns;
    };

    struct Awaiter {
        Turns *turns;
        bool await_ready() noexcept
        {
            if (turns->m_taken)
                return false;
            turns->m_taken = true;
            return true;
        }
        void await_suspend(std::coroutine_handle<> handle) { turns->m_waiting.push_back(handle); }
        Turn await_resume() noexcept { return Turn(turns); }
    };

    Awaiter take() { return Awaiter{this}; }

private:
    void pass()
    {
        if (m_waiting.empty()) {
            m_taken = false;
            return;
        }
        const std::coroutine_handle<> next = m_waiting.front();
        m_waiting.pop_front();
        if (QCoreApplication *application = QCoreApplication::instance())
            QMetaObject::invokeMethod(application, [next]() { next.resume(); }, Qt::QueuedConnection);
        else
            next.resume();
    }

    bool m_taken = false;
    std::deque<std::coroutine_handle<>> m_waiting;
};

} // namespace lirra
