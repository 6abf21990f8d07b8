#pragma once

#include "core/app_loop.h"

#include <QCoreApplication>

#include <functional>

namespace lirra::bench {

// Plays the user against an app loop without a window: waits for states
// and sends what a user's clicks would send.
class LoopDriver {
public:
    explicit LoopDriver(AppLoop &loop) : m_loop(loop) {}

    const AppState &state() const { return m_loop.state(); }

    // Turns the event loop until the condition holds; an error ends the program.
    void spinUntil(const std::function<bool(const AppState &)> &condition) const
    {
        while (!condition(state())) {
            if (state().hasError)
                qFatal("the session failed: %s", qPrintable(state().error->description));
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
    }

    // Loads the first level and dismisses the tour.
    void start()
    {
        m_loop.send(actions::didLoad{});
        spinUntil([](const AppState &s) { return s.level.has_value(); });
        while (state().currentTip)
            m_loop.send(actions::didDismissTip{});
    }

    // Answers the question on the keys once they open: a wrong key first when
    // asked (another note of the level), then the right one; returns when the
    // next question has been asked.
    void answer(bool wrongFirst)
    {
        spinUntil([](const AppState &s) { return s.question && s.isInteractionEnabled; });
        const Question question = *state().question;
        if (wrongFirst) {
            const std::vector<Note> &notes = state().level->notes;
            const Note wrong = question.answer == notes.front() ? notes.back() : notes.front();
            m_loop.send(actions::didPressNote{wrong});
            spinUntil([](const AppState &s) { return s.isInteractionEnabled; });
        }
        m_loop.send(actions::didPressNote{question.answer});
        spinUntil([&](const AppState &s) { return s.question && s.question->id != question.id; });
    }

    // Presses stop once the keys are open and waits for the level to come
    // back with one more stored session; returns that session.
    Session stop()
    {
        spinUntil([](const AppState &s) { return s.isInteractionEnabled; });
        const size_t before = state().level->sessions.size();
        m_loop.send(actions::didPressStartStopLevelButton{});
        spinUntil([&](const AppState &s) {
            return !s.isPracticing && s.level && s.level->sessions.size() == before + 1;
        });
        return state().level->sessions.back();
    }

    void startSession() { m_loop.send(actions::didPressStartStopLevelButton{}); }

private:
    AppLoop &m_loop;
};

} // namespace lirra::bench
