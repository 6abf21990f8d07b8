// Building the live synthesizer step by step, each step checked: FluidSynth's
// settings, synth, sequencer and tracks, then the first audio driver that
// starts; and loading the instrument on the engine's own thread.
#include "audio/synth_engine.h"

#include "audio/fluid_library.h"
#include "audio/fluid_log.h"
#include "audio/instrument.h"
#include "model/localization.h"

#include <QPromise>

#include <thread>

namespace lirra {

namespace {

const QString errorDomain = QStringLiteral("MIDINotePlayer");

} // namespace

void MIDINotePlayer::nameOutput(const QString &name, const QString &iconName)
{
    // FluidSynth's driver names its client "FluidSynth"; libpulse lets a
    // PULSE_PROP_OVERRIDE_<property> variable replace what a client sets.
    const std::pair<const char *, QString> properties[] = {
        {"PULSE_PROP_OVERRIDE_application.name", name},
        {"PULSE_PROP_OVERRIDE_application.icon_name", iconName},
        {"PULSE_PROP_OVERRIDE_application.id", iconName},
        // What FluidSynth's driver would set itself (see buildEngine).
        {"PULSE_PROP_media.role", QStringLiteral("music")},
    };
    for (const auto &[variable, value] : properties) {
        if (!qEnvironmentVariableIsSet(variable))
            qputenv(variable, value.toUtf8());
    }
}

Result<void> MIDINotePlayer::buildEngine(Engine &engine) const
{
    const auto fail = [](const QString &what) { return failure(errorDomain, 1, what); };

    if (Result<void> opened = openFluidLibrary(); !opened)
        return opened;
    installFluidLog();
    engine.settings = fluid().new_fluid_settings();
    if (!engine.settings)
        return fail(QStringLiteral("The synthesizer's settings could not be created"));
    fluid().fluid_settings_setnum(engine.settings, "synth.sample-rate", m_options.sampleRate);
    engine.sampleRate = m_options.sampleRate;
    // Samples load on first use: FluidR3 would otherwise take ~150 MB and half a second.
    fluid().fluid_settings_setint(engine.settings, "synth.dynamic-sample-loading", 1);
    // Each voice keeps its velocity; the output is raised 8 dB so that a
    // session peaks between about -4 and -2 dBFS in every key, loud enough
    // beside other programs and never clipped.
    fluid().fluid_settings_setnum(engine.settings, "synth.gain", 2.5);
    // A cadence's chords with their release tails need a few dozen voices at
    // most; the default 256 only make the synth slower to create.
    fluid().fluid_settings_setint(engine.settings, "synth.polyphony", 64);
    fluid().fluid_settings_setint(engine.settings, "audio.pulseaudio.adjust-latency", 0);
    // With a media role, the PulseAudio driver sets PULSE_PROP_media.role
    // in the environment on the thread that starts it, while the main thread
    // may read the environment (fontconfig does at start-up): a crash now
    // and then. The role is set once, before any thread, by `nameOutput`.
    fluid().fluid_settings_setstr(engine.settings, "audio.pulseaudio.media-role", "");

    engine.synth = fluid().new_fluid_synth(engine.settings);
    if (!engine.synth)
        return fail(QStringLiteral("The synthesizer could not be created"));
    // A synth that has handled no event yet renders uninitialised samples
    // while it holds no instrument (FluidSynth 2.3); silencing it first
    // settles it before anything renders.
    fluid().fluid_synth_all_sounds_off(engine.synth, -1);

    engine.sequencer = fluid().new_fluid_sequencer2(0);
    if (!engine.sequencer)
        return fail(QStringLiteral("The sequencer could not be created"));
    // The tempo: one tick is a thousandth of a beat at 110 beats per minute.
    engine.ticksPerSecond = bpm / 60.0 * ticksPerBeat;
    fluid().fluid_sequencer_set_time_scale(engine.sequencer, engine.ticksPerSecond);
    engine.synthClient = fluid().fluid_sequencer_register_fluidsynth(engine.sequencer, engine.synth);
    if (engine.synthClient == FLUID_FAILED)
        return fail(QStringLiteral("The sequencer could not be connected to the synthesizer"));
    engine.chordTrack = fluid().fluid_sequencer_register_client(engine.sequencer, "chords", nullptr, nullptr);
    engine.noteTrack = fluid().fluid_sequencer_register_client(engine.sequencer, "notes", nullptr, nullptr);
    if (engine.chordTrack == FLUID_FAILED || engine.noteTrack == FLUID_FAILED)
        return fail(QStringLiteral("The sequencer's tracks could not be created"));
    if (m_options.output == Output::offline)
        return {};

    QStringList reasons;
    FluidLogCapture capture;
    for (const QString &name : std::as_const(m_options.drivers)) {
        if (name == QLatin1String("pulseaudio")) {
            // 512 frames ahead (11.6 ms at 44.1 kHz), refilled 128 at a
            // time: FluidSynth's own driver hands the server whole periods
            // and ran dry with 512 in most recordings, so it needed 1024.
            // A key pressed while nothing sounds is not held back by the
            // buffer: the stream has run dry, and plays what comes at once.
            Result<std::unique_ptr<PulseOutput>> started =
                PulseOutput::start({int(m_options.sampleRate), 512, 128}, &Engine::render, &engine);
            if (started) {
                engine.pulse = std::move(*started);
                engine.driverName = name;
                engine.mayWait = true;
                engine.blockFrames = engine.pulse->blockFrames();
                // A new stream takes its first writes slowly (see
                // primingBlocks): as many frames as FluidSynth's 8 periods.
                engine.primingBlocks = 8 * 1024 / engine.blockFrames;
                engine.latencyMs = 1000.0 * engine.pulse->bufferFrames() / m_options.sampleRate;
                engine.outputNotice = engine.pulse->grantNotice();
                return {};
            }
            reasons << QStringLiteral("%1 (%2)").arg(name, started.error().description);
            continue;
        }
        // ALSA and OSS keep two periods of 256 frames.
        const int periodSize = 256;
        fluid().fluid_settings_setint(engine.settings, "audio.period-size", periodSize);
        fluid().fluid_settings_setint(engine.settings, "audio.periods", 2);
        fluid().fluid_settings_setstr(engine.settings, "audio.driver", name.toLatin1().constData());
        engine.mayWait = name == QLatin1String("alsa") || name == QLatin1String("oss");
        engine.latencyMs = 1000.0 * periodSize * 2 / m_options.sampleRate;
        engine.blockFrames = periodSize;
        engine.driver = fluid().new_fluid_audio_driver2(engine.settings, &Engine::render, &engine);
        const QString why = capture.take();
        if (engine.driver) {
            engine.driverName = name;
            return {};
        }
        reasons << QStringLiteral("%1 (%2)").arg(name, why.isEmpty() ? QStringLiteral("did not start") : why);
    }
    Error failed{errorDomain, 1, localized("soundOutputFailed"),
                 QStringLiteral("No audio output could be started: %1")
                     .arg(reasons.isEmpty() ? QStringLiteral("no driver to try") : reasons.join(QStringLiteral("; ")))};
    return std::unexpected(std::move(failed));
}

InstrumentOutcome MIDINotePlayer::loadInstrument(Engine &engine) const
{
    // The channels the instrument plays on get it here, on the thread that
    // loads it, so that its samples are read there and not at the first key.
    return lirra::loadInstrument(engine.synth, instrumentCandidates(engine.settings), {instrumentChannel, questionChannel});
}

void MIDINotePlayer::takeInstrument(const InstrumentOutcome &outcome)
{
    if (!outcome.warning.isEmpty())
        warn(outcome.warning);
    m_instrumentError = outcome.error;
    if (!m_instrumentError)
        applyToSynth();
}

QStringList MIDINotePlayer::instrumentCandidates(fluid_settings_t *settings) const
{
    return lirra::instrumentCandidates(m_options.soundFont.isEmpty() ? resourceSoundFont() : m_options.soundFont,
                                       m_options.fallbackSoundFonts, settings);
}

void MIDINotePlayer::startLiveEngine()
{
    m_outputTried = true;
    m_starting = std::make_unique<Engine>();
    QPromise<Result<void>> engineReady;
    QPromise<void> instrumentReady;
    m_engineReady = engineReady.future();
    m_instrumentReady = instrumentReady.future();
    m_worker = std::thread([this, engine = m_starting.get(), engineReady = std::move(engineReady),
                            instrumentReady = std::move(instrumentReady)]() mutable {
        engineReady.start();
        instrumentReady.start();
        Result<void> built = buildEngine(*engine);
        const bool running = built.has_value();
        engineReady.addResult(std::move(built));
        engineReady.finish();
        if (running) {
            const InstrumentOutcome outcome = loadInstrument(*engine);
            m_workerInstrumentError = outcome.error;
            if (!outcome.warning.isEmpty())
                QMetaObject::invokeMethod(this, [this, warning = outcome.warning]() { warn(warning); },
                                          Qt::QueuedConnection);
        }
        instrumentReady.finish();
    });
}

} // namespace lirra
