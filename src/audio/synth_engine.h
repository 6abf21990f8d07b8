#pragma once

// The live synthesizer behind MIDINotePlayer: FluidSynth's objects, the render
// callback that sleeps while nothing sounds, and the live measurements. Only
// the player's source includes it.

#include "audio/fluid_library.h"
#include "audio/pulse_output.h"
#include "audio/midi_note_player.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace lirra {

struct MIDINotePlayer::Engine {
    fluid_settings_t *settings = nullptr;
    fluid_synth_t *synth = nullptr;
    fluid_sequencer_t *sequencer = nullptr;
    fluid_audio_driver_t *driver = nullptr;
    // Or, on PulseAudio, a stream of the app's own.
    std::unique_ptr<PulseOutput> pulse;
    fluid_seq_id_t synthClient = -1;
    fluid_seq_id_t chordTrack = -1;
    fluid_seq_id_t noteTrack = -1;
    double ticksPerSecond = 0;
    QString driverName;
    double latencyMs = 0;
    // What each call of `render` fills.
    int blockFrames = 0;
    // For the log, once: the sound server granted another buffer.
    QString outputNotice;
    // The live output renders while a note is due or sounding: until the
    // sequencer's time reaches `busyUntilTick`, or while a voice sounds.
    // Otherwise the driver's thread waits in the render callback, so the
    // stream runs dry and neither the app nor the sound server has anything
    // to do; the synth's clock, and with it the sequencer's, stands still
    // meanwhile. Scheduling a note wakes the thread at once.
    std::mutex renderMutex;
    std::condition_variable renderWake;
    std::int64_t busyUntilTick = 0;
    bool stopping = false;
    // Only a driver that runs its own thread may be kept waiting; JACK and
    // SDL call from their real-time threads and get silence instead.
    bool mayWait = true;
    // A new PulseAudio stream takes its first writes slowly (up to two
    // seconds on a null sink) if it waits before them, so the first blocks
    // are rendered at once, silent, before the renderer may sleep.
    int primingBlocks = 8;
    // Render thread only, read under the mutex: for the live measurements.
    bool sleeping = false;
    bool soundSinceWaking = false;
    std::optional<std::chrono::steady_clock::time_point> wakeAsked;
    std::optional<std::chrono::steady_clock::time_point> wokeUp;
    std::optional<std::chrono::steady_clock::time_point> firstSound;
    std::optional<std::chrono::steady_clock::time_point> lastSound;
    std::uint64_t blocks = 0;
    std::uint64_t wokeAtBlock = 0;
    std::uint64_t firstSoundAtBlock = 0;
    // Underruns: blocks that took longer to render than they last, so that
    // the output ran dry while it waited for them. (The time the driver
    // spends handing a block to the server is not counted: it waits there
    // because the server's buffer is full.)
    double sampleRate = 44100;
    std::uint64_t underruns = 0;
    // For tests: the next `stallBlocks` rendered blocks wait `stall` first.
    int stallBlocks = 0;
    std::chrono::microseconds stall{0};
    bool effectsMuted = false;
    double reverbLevel = 0;
    double chorusLevel = 0;

    bool isBusy() const
    {
        return std::int64_t(fluid().fluid_sequencer_get_tick(sequencer)) < busyUntilTick
            || fluid().fluid_synth_get_active_voice_count(synth) > 0;
    }

    void keepBusyUntil(std::int64_t tick)
    {
        {
            std::lock_guard lock(renderMutex);
            busyUntilTick = std::max(busyUntilTick, tick);
            if (sleeping)
                wakeAsked = std::chrono::steady_clock::now();
        }
        renderWake.notify_all();
    }

    static int render(void *data, int frames, int, float *[], int outputs, float *out[])
    {
        auto *engine = static_cast<Engine *>(data);
        std::unique_lock lock(engine->renderMutex);
        const bool priming = engine->primingBlocks > 0;
        if (priming)
            --engine->primingBlocks;
        else if (!engine->isBusy())
            engine->sleeping = true;
        if (engine->mayWait)
            engine->renderWake.wait(lock, [engine, priming] { return priming || engine->stopping || engine->isBusy(); });
        ++engine->blocks;
        if (engine->stopping || (!priming && !engine->isBusy())) {
            for (int i = 0; i < outputs; ++i)
                std::fill_n(out[i], frames, 0.0f);
            return FLUID_OK;
        }
        if (engine->sleeping) {
            engine->sleeping = false;
            engine->soundSinceWaking = false;
            engine->wokeUp = std::chrono::steady_clock::now();
            engine->wokeAtBlock = engine->blocks;
        }
        const auto started = std::chrono::steady_clock::now();
        const auto stall = engine->stallBlocks > 0 ? engine->stall : std::chrono::microseconds(0);
        if (engine->stallBlocks > 0)
            --engine->stallBlocks;
        lock.unlock();
        if (stall.count() > 0)
            std::this_thread::sleep_for(stall);
        const int result = fluid().fluid_synth_write_float(engine->synth, frames, out[0], 0, 1, out[1], 0, 1);
        const bool audible = std::any_of(out[0], out[0] + frames, [](float sample) { return std::fabs(sample) > 1e-4f; });
        lock.lock();
        if (std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count() > frames / engine->sampleRate)
            ++engine->underruns;
        if (audible) {
            const auto now = std::chrono::steady_clock::now();
            engine->lastSound = now;
            if (!engine->soundSinceWaking) {
                engine->soundSinceWaking = true;
                engine->firstSound = now;
                engine->firstSoundAtBlock = engine->blocks;
            }
        }
        return result;
    }

    // Main thread only.
    void muteEffects()
    {
        if (effectsMuted)
            return;
        fluid().fluid_synth_get_reverb_group_level(synth, 0, &reverbLevel);
        fluid().fluid_synth_get_chorus_group_level(synth, 0, &chorusLevel);
        fluid().fluid_synth_set_reverb_group_level(synth, -1, 0.0);
        fluid().fluid_synth_set_chorus_group_level(synth, -1, 0.0);
        effectsMuted = true;
    }
    void unmuteEffects()
    {
        if (!effectsMuted)
            return;
        fluid().fluid_synth_set_reverb_group_level(synth, -1, reverbLevel);
        fluid().fluid_synth_set_chorus_group_level(synth, -1, chorusLevel);
        effectsMuted = false;
    }

    ~Engine() { teardown(); }

    // Reverse order of creation: the driver stops rendering before anything
    // it renders goes away. Safe to call twice and on a half-built engine.
    void teardown()
    {
        if (pulse) {
            {
                std::lock_guard lock(renderMutex);
                stopping = true;
            }
            renderWake.notify_all();
            pulse.reset();
        }
        if (driver) {
            {
                std::lock_guard lock(renderMutex);
                stopping = true;
            }
            renderWake.notify_all();
            fluid().delete_fluid_audio_driver(driver);
            driver = nullptr;
        }
        if (sequencer) {
            for (fluid_seq_id_t *client : {&noteTrack, &chordTrack, &synthClient}) {
                if (*client >= 0)
                    fluid().fluid_sequencer_unregister_client(sequencer, *client);
                *client = -1;
            }
        }
        if (synth) {
            fluid().delete_fluid_synth(synth);
            synth = nullptr;
        }
        if (sequencer) {
            fluid().delete_fluid_sequencer(sequencer);
            sequencer = nullptr;
        }
        if (settings) {
            fluid().delete_fluid_settings(settings);
            settings = nullptr;
        }
    }

    std::int64_t tick() const { return std::int64_t(fluid().fluid_sequencer_get_tick(sequencer)); }
};

} // namespace lirra
