#pragma once

// The offline output's virtual clock. Only the player's source includes it.

#include "audio/fluid_library.h"
#include "audio/midi_note_player.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <cmath>
#include <coroutine>
#include <map>
#include <vector>

namespace lirra {

// The virtual clock of the offline output. Waiters wake in order of their
// wake time; each wake renders audio up to that time first.
class MIDINotePlayer::OfflineClock {
public:
    OfflineClock(double sampleRate, bool keep, QObject *context)
        : m_sampleRate(sampleRate), m_keep(keep), m_context(context) {}

    struct Sleep {
        OfflineClock *clock;
        std::int64_t frames;
        bool cancelled = false;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> handle)
        {
            clock->enqueue(clock->m_rendered + frames, handle, &cancelled);
        }
        // True when it slept its whole time.
        bool await_resume() const noexcept { return !cancelled; }
    };

    Sleep sleep(std::chrono::nanoseconds duration)
    {
        const double frames = std::round(double(duration.count()) * 1e-9 * m_sampleRate);
        return Sleep{this, std::max<std::int64_t>(0, std::int64_t(frames))};
    }

    // Every sleep ends now, cancelled, without the clock moving on.
    void cancelAll()
    {
        const auto waking = std::exchange(m_waiters, {});
        for (const auto &[when, waiter] : waking) {
            *waiter.second = true;
            QTimer::singleShot(0, m_context, [handle = waiter.first]() { handle.resume(); });
        }
    }

    void attach(fluid_synth_t *synth) { m_synth = synth; }

    const std::vector<float> &recording() const { return m_recording; }
    std::int64_t rendered() const { return m_rendered; }

private:
    void enqueue(std::int64_t wakeFrame, std::coroutine_handle<> handle, bool *cancelled)
    {
        m_waiters.emplace(std::make_pair(wakeFrame, m_sequence++), std::make_pair(handle, cancelled));
        schedulePump();
    }

    void schedulePump()
    {
        if (m_pumpScheduled)
            return;
        m_pumpScheduled = true;
        QTimer::singleShot(0, m_context, [this]() { pump(); });
    }

    void pump()
    {
        m_pumpScheduled = false;
        if (m_waiters.empty())
            return;
        const auto first = m_waiters.begin();
        const std::int64_t wakeFrame = first->first.first;
        const std::coroutine_handle<> handle = first->second.first;
        m_waiters.erase(first);
        render(wakeFrame);
        if (!m_waiters.empty())
            schedulePump();
        // May end with this clock destroyed: nothing touches it afterwards.
        handle.resume();
    }

    void render(std::int64_t untilFrame)
    {
        constexpr std::int64_t block = 4096;
        while (m_rendered < untilFrame) {
            const std::int64_t frames = std::min(block, untilFrame - m_rendered);
            // Unkept audio is rendered all the same, over the last block.
            const size_t at = m_keep ? m_recording.size() : 0;
            if (m_recording.size() < at + size_t(frames) * 2)
                m_recording.resize(at + size_t(frames) * 2, 0.0f);
            if (m_synth) {
                float *out = m_recording.data() + at;
                fluid().fluid_synth_write_float(m_synth, int(frames), out, 0, 2, out, 1, 2);
            }
            m_rendered += frames;
        }
    }

    double m_sampleRate;
    bool m_keep;
    QObject *m_context;
    fluid_synth_t *m_synth = nullptr;
    std::vector<float> m_recording;
    std::int64_t m_rendered = 0;
    std::int64_t m_sequence = 0;
    std::map<std::pair<std::int64_t, std::int64_t>, std::pair<std::coroutine_handle<>, bool *>> m_waiters;
    bool m_pumpScheduled = false;
};

} // namespace lirra
