#pragma once

#include "audio/note_player.h"
#include "core/effect_handler.h"
#include "model/logger.h"
#include "support/memory_preferences.h"
#include "practice/tip_provider.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <coroutine>
#include <functional>
#include <map>
#include <vector>

namespace lirra::test {

class ListTipProvider final : public TipProvider {
public:
    explicit ListTipProvider(std::vector<Tip> tour = {}) : tips(std::move(tour)) {}
    std::optional<Tip> nextTip() override
    {
        ++calls;
        if (next >= tips.size())
            return std::nullopt;
        return tips[next++];
    }
    void restart() override { next = 0; }
    std::vector<Tip> tips;
    size_t next = 0;
    int calls = 0;
};

class RecordingLogger final : public Logger {
public:
    bool isEnabled(LogLevel level) const override { return level == LogLevel::standard ? standardEnabled : true; }
    void write(LogLevel level, const QString &line) override
    {
        if (onWrite)
            onWrite();
        lines.push_back({level, line});
    }

    QStringList linesAt(LogLevel level) const
    {
        QStringList result;
        for (const auto &[l, text] : lines)
            result << (l == level ? text : QString());
        result.removeAll(QString());
        return result;
    }

    bool standardEnabled = true;
    std::vector<std::pair<LogLevel, QString>> lines;
    std::function<void()> onWrite;
};

// A door that coroutines wait at until the test opens it.
class Gate {
public:
    struct Awaiter {
        Gate *gate;
        bool await_ready() const noexcept { return gate->m_open; }
        void await_suspend(std::coroutine_handle<> handle) { gate->m_waiting.push_back(handle); }
        void await_resume() const noexcept {}
    };
    Awaiter operator co_await() { return Awaiter{this}; }
    void open()
    {
        m_open = true;
        auto waiting = std::move(m_waiting);
        for (auto handle : waiting)
            handle.resume();
    }
    size_t waiting() const { return m_waiting.size(); }

private:
    bool m_open = false;
    std::vector<std::coroutine_handle<>> m_waiting;
};

// Records every effect; answers with `answer` (nothing by default), after
// waiting at `gate` when one is set.
class ScriptedEffectHandler final : public EffectHandler {
public:
    QCoro::Task<std::optional<AppAction>> handle(AppEffect effect) override
    {
        handled.push_back(effect);
        ++inFlight;
        if (gate)
            co_await *gate;
        --inFlight;
        co_return answer ? answer(effect) : std::nullopt;
    }

    std::vector<AppEffect> handled;
    int inFlight = 0;
    Gate *gate = nullptr;
    std::function<std::optional<AppAction>(const AppEffect &)> answer;
};

// Records what it is asked to play, in order, into a shared journal.
class JournalNotePlayer final : public NotePlayer {
public:
    explicit JournalNotePlayer(std::shared_ptr<QStringList> journal = std::make_shared<QStringList>())
        : journal(std::move(journal)) {}

    QCoro::Task<Result<void>> prepare() override
    {
        *journal << QStringLiteral("prepare");
        co_return outcome(failPrepare);
    }
    QCoro::Task<Result<void>> playNote(Note note) override
    {
        *journal << QStringLiteral("note %1/%2").arg(index(note.name)).arg(note.octave);
        played.push_back(note);
        co_return outcome(failPlay);
    }
    QCoro::Task<Result<void>> playCadence(Cadence cadence) override
    {
        *journal << QStringLiteral("cadence %1").arg(cadence.voices.empty() ? -1 : index(cadence.voices.front()));
        co_return outcome(failPlay);
    }
    void stopAll() override { *journal << QStringLiteral("stopAll"); }
    QCoro::Task<Result<void>> playChord(std::vector<int> keys, bool atOnce) override
    {
        *journal << QStringLiteral("%1 %2").arg(atOnce ? QStringLiteral("key chord") : QStringLiteral("chord"), keysText(keys));
        co_return outcome(failPlay);
    }
    QCoro::Task<Result<void>> playProgression(std::vector<std::vector<int>> chords) override
    {
        QStringList each;
        for (const std::vector<int> &keys : chords)
            each << keysText(keys);
        *journal << QStringLiteral("progression ") + each.join(QStringLiteral(" | "));
        co_return outcome(failPlay);
    }

    std::shared_ptr<QStringList> journal;
    std::vector<Note> played;
    bool failPrepare = false;
    bool failPlay = false;

private:
    static QString keysText(const std::vector<int> &keys)
    {
        QStringList numbers;
        for (const int key : keys)
            numbers << QString::number(key);
        return numbers.join(QLatin1Char(' '));
    }
    static Result<void> outcome(bool fail)
    {
        if (fail)
            return failure(QStringLiteral("test"), 1, QStringLiteral("the sound failed"));
        return {};
    }
};

// Turns the event loop until `done` holds or the time is up.
inline bool spinUntil(const std::function<bool()> &done, int timeoutMs = 10000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

inline void drainEvents()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace lirra::test
