#pragma once

#include "audio/instrument.h"
#include "audio/note_player.h"
#include "audio/waits.h"
#include "model/logger.h"

#include <QFuture>
#include <QObject>
#include <QStringList>

#include <chrono>
#include <memory>
#include <optional>
#include <thread>
#include <unordered_map>
#include <vector>

namespace lirra {

// Plays notes and cadences through FluidSynth: a synth with a sequencer, the
// instrument on channel 0, the question note on channel 1 (the same
// instrument, louder when emphasised) and the drone on channel 2.
//
// Live output goes to an audio driver. Offline output has no driver: the
// synth renders into a recording, and every wait renders exactly its length
// of audio and resumes on a later turn of the event loop (a virtual clock),
// so a whole session runs much faster than real time and leaves a record of
// what a user would hear.
class MIDINotePlayer final : public QObject, public NotePlayer {
    Q_OBJECT
public:
    enum class Output { live, offline };

    struct Options {
        Output output = Output::live;
        // The instrument; empty means the app's resource "sound_font.sf2".
        QString soundFont;
        // Tried in order when the instrument cannot be loaded; empty means the
        // system's default General MIDI bank.
        QStringList fallbackSoundFonts;
        // Live output: FluidSynth audio drivers, tried in order.
        QStringList drivers = {QStringLiteral("pulseaudio"), QStringLiteral("alsa")};
        double sampleRate = 44100;
        // Offline output: keep what was rendered (12 hours would take 15 GB).
        bool keepRecording = true;
        std::shared_ptr<Logger> logger;
    };

    // The default tempo.
    static constexpr double bpm = 110.0;
    static constexpr double beatPrecision = 0.05;
    static constexpr double noteDurationInBeats = 1.0;
    static constexpr int noteVelocity = 76;
    static constexpr int ticksPerBeat = 1000;

    explicit MIDINotePlayer(Options options);
    ~MIDINotePlayer() override;

    QCoro::Task<Result<void>> prepare() override;
    QCoro::Task<Result<void>> playNote(Note note) override;
    QCoro::Task<Result<void>> playCadence(Cadence cadence) override;
    QCoro::Task<Result<void>> instrumentReady() override;
    void stopAll() override;
    void apply(const Settings &settings) override;
    QCoro::Task<Result<void>> playQuestionNote(Note note) override;
    QCoro::Task<Result<void>> playKey(Note note) override;
    QCoro::Task<Result<void>> playMelody(std::vector<Note> melody) override;
    QCoro::Task<Result<void>> playChord(std::vector<int> keys, bool atOnce) override;
    QCoro::Task<Result<void>> playProgression(std::vector<std::vector<int>> chords) override;
    QCoro::Task<Result<void>> rest(double beats) override;
    void holdDrone(NoteName key) override;
    std::vector<InstrumentChoice> instruments() const override;

    static int keyNumber(Note note);
    static std::vector<std::vector<int>> chords(const Cadence &cadence);
    static double secondsForBeats(double beats, double tempo = bpm) { return beats * 60.0 / tempo; }
    // The velocity and channel volume (CC 7) that raise a note by `decibels`
    // above one at `noteVelocity` and the default channel volume; a
    // SoundFont attenuates each by 40·log10(127/value) dB.
    struct Loudness {
        int velocity;
        int channelVolume;
    };
    static Loudness emphasised(double decibels);
    // The synth's gain for a volume of 0–100, before the headroom.
    static double gainForVolume(int volume);
    // The preset a channel plays, as FluidSynth reports it; absent before
    // an instrument has loaded.
    std::optional<Preset> presetOn(int channel) const;
    enum Channel { instrumentChannel = 0, questionChannel = 1, droneChannel = 2 };
    static QString resourceSoundFont();
    // Names the app's sound on PulseAudio and PipeWire (the mixer's name
    // and icon instead of the synthesizer's), unless the user set them.
    // Before any thread starts: it sets environment variables.
    static void nameOutput(const QString &name, const QString &iconName);

    bool isPrepared() const;
    // Live output: when the renderer last woke from idle to render, and when
    // it first rendered sound after that (absent until it has).
    struct RenderMarks {
        // When a note last asked the sleeping renderer to wake, when it
        // woke, and when it first finished a block with sound in it.
        std::optional<std::chrono::steady_clock::time_point> wakeAsked;
        std::optional<std::chrono::steady_clock::time_point> wokeUp;
        std::optional<std::chrono::steady_clock::time_point> firstSound;
        // When it last finished rendering a block with sound in it.
        std::optional<std::chrono::steady_clock::time_point> lastSound;
        // Blocks handed to the output since the start, silent ones too: it
        // stays the same while the renderer sleeps, however busy the machine.
        std::uint64_t blocks = 0;
        // Waiting for something to sound, handing the output nothing.
        bool asleep = false;
        // Blocks that took longer to render than they last: the output ran
        // dry while it waited for each.
        std::uint64_t underruns = 0;
        // The blocks (counted as `blocks`) in which it last woke and first
        // sounded after: the way from a wake to a sound in the output's own
        // time, whatever the machine's.
        std::uint64_t wokeAtBlock = 0;
        std::uint64_t firstSoundAtBlock = 0;
    };
    RenderMarks renderMarks() const;
    // Starves the live output on purpose: each of the next `blocks` blocks
    // it renders waits `each` first.
    void stallRendering(int blocks, std::chrono::microseconds each);
    // The live output's buffer latency in milliseconds, the frames each
    // rendered block holds, and the driver in use.
    double outputLatencyMs() const;
    int outputBlockFrames() const;
    QString driverName() const;
    // Cadences rendered into chords so far (the cache is never evicted).
    int renderedProgressions() const { return m_renderCount; }

    // Offline output only.
    double sampleRate() const { return m_options.sampleRate; }
    // Stereo samples, interleaved left and right.
    const std::vector<float> &recording() const;
    std::int64_t recordedFrames() const;
    // Saves the recording as 16-bit stereo PCM.
    Result<void> saveRecording(const QString &path) const;

private:
    struct Engine;
    class OfflineClock;

    // The synth, the sequencer and, live, the output; the instrument apart.
    Result<void> buildEngine(Engine &engine) const;
    InstrumentOutcome loadInstrument(Engine &engine) const;
    // On this thread: logs the outcome's warning and keeps its error.
    void takeInstrument(const InstrumentOutcome &outcome);
    QStringList instrumentCandidates(fluid_settings_t *settings) const;
    // On a worker thread: the engine, then the instrument.
    void startLiveEngine();
    QCoro::Task<> instrumentLoaded();

    // False when `stopAll` ended it early.
    QCoro::Task<bool> wait(std::chrono::nanoseconds duration);
    double nowFrame() const;
    struct Voice {
        int channel = instrumentChannel;
        int key = 60;
        int velocity = noteVelocity;
        double beats = noteDurationInBeats;
    };
    void schedule(short track, Voice voice, double frame);
    // A chord's keys as the instrument's voices.
    static std::vector<Voice> instrumentVoices(const std::vector<int> &keys);
    // A question's note: on its own channel, as long and as loud as the
    // settings ask.
    Voice questionVoice(Note note) const;
    // Schedules voices together a lead-in from now (or, without one, in the
    // next block); returns after 0.75 beats.
    QCoro::Task<Result<void>> playVoices(std::vector<Voice> voices, bool leadIn = true);
    QCoro::Task<Result<void>> playVoice(Voice voice, bool leadIn = true) { return playVoices({voice}, leadIn); }
    // Sounds one beat apart from a lead-in from now, the last as a question's
    // note; returns three quarters of a beat after the last.
    QCoro::Task<Result<void>> playInBeats(std::vector<std::vector<Voice>> sounds);
    double beatSeconds(double beats) const { return secondsForBeats(beats, m_settings.tempo); }
    // Puts the chosen instruments on their channels, and the gain and the
    // question's loudness on the synth, once an instrument has loaded.
    void applyToSynth();
    void releaseDrone();
    void warn(const QString &line);

    Options m_options;
    std::unique_ptr<Engine> m_engine;
    // The live engine while its worker builds it, until `prepare` takes it.
    std::unique_ptr<Engine> m_starting;
    std::thread m_worker;
    QFuture<Result<void>> m_engineReady;
    QFuture<void> m_instrumentReady;
    // What the worker's load of the instrument came to; read once it is done.
    std::optional<Error> m_workerInstrumentError;
    bool m_workerInstrumentTaken = false;
    // The live output has been started once (and may have failed).
    bool m_outputTried = false;
    // No instrument is loaded: every note fails with this, never silence.
    std::optional<Error> m_instrumentError;
    std::unique_ptr<OfflineClock> m_offline;
    std::shared_ptr<Sleeps> m_sleeps = std::make_shared<Sleeps>();
    std::unordered_map<Cadence, std::vector<std::vector<int>>> m_chordProgressions;
    Settings m_settings;
    std::optional<NoteName> m_droneKey;
    // The preset asked for that the bank does not have, once warned about.
    std::optional<Preset> m_missingPreset;
    int m_renderCount = 0;
};

} // namespace lirra
