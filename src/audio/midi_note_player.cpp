#include "midi_note_player.h"

#include "audio/fluid_library.h"
#include "audio/fluid_log.h"
#include "audio/instrument.h"
#include "audio/offline_clock.h"
#include "audio/synth_engine.h"
#include "audio/waits.h"

#include <QCoreApplication>
#include <QCoroFuture>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QPromise>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <map>
#include <mutex>

namespace lirra {

namespace {

const QString errorDomain = QStringLiteral("MIDINotePlayer");

std::chrono::nanoseconds seconds(double value)
{
    return std::chrono::nanoseconds(std::llround(value * 1e9));
}

} // namespace

MIDINotePlayer::MIDINotePlayer(Options options)
    : m_options(std::move(options))
{
    if (m_options.output == Output::offline)
        m_offline = std::make_unique<OfflineClock>(m_options.sampleRate, m_options.keepRecording, this);
    // A live output starts at the first `prepare`, or the first sound asked
    // for: after the window and its first level, which it would slow down
    // by opening FluidSynth and reaching the sound server beside them.
}

MIDINotePlayer::~MIDINotePlayer()
{
    // The engine outlives the worker that may still be loading into it.
    if (m_worker.joinable())
        m_worker.join();
}

QString MIDINotePlayer::resourceSoundFont()
{
    const QString name = QStringLiteral("sound_font.sf2");
    const QString installed =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../" LIRRA_DATA_SUBDIR "/") + name;
    if (QFileInfo::exists(installed))
        return QFileInfo(installed).absoluteFilePath();
    return QStringLiteral(LIRRA_BUILD_RESOURCE_DIR "/") + name;
}

int MIDINotePlayer::keyNumber(Note note)
{
    const int base = note.octave == 0 ? 48 : note.octave == 1 ? 60 : 72;
    return base + index(note.name);
}

std::vector<std::vector<int>> MIDINotePlayer::chords(const Cadence &cadence)
{
    std::vector<std::vector<int>> result;
    for (const auto &row : cadence.movement) {
        std::vector<int> chord;
        for (size_t j = 0; j < row.size() && j < cadence.voices.size(); ++j) {
            const int key = 60 + index(cadence.voices[j]) + row[j];
            if (key >= 0)
                chord.push_back(key);
        }
        result.push_back(std::move(chord));
    }
    return result;
}

bool MIDINotePlayer::isPrepared() const
{
    return m_engine != nullptr;
}

MIDINotePlayer::RenderMarks MIDINotePlayer::renderMarks() const
{
    if (!m_engine)
        return {};
    std::lock_guard lock(m_engine->renderMutex);
    return RenderMarks{m_engine->wakeAsked, m_engine->wokeUp, m_engine->firstSound, m_engine->lastSound, m_engine->blocks,
                       m_engine->sleeping, m_engine->underruns, m_engine->wokeAtBlock, m_engine->firstSoundAtBlock};
}

void MIDINotePlayer::stallRendering(int blocks, std::chrono::microseconds each)
{
    if (!m_engine)
        return;
    std::lock_guard lock(m_engine->renderMutex);
    m_engine->stallBlocks = blocks;
    m_engine->stall = each;
}

double MIDINotePlayer::outputLatencyMs() const
{
    return m_engine ? m_engine->latencyMs : 0;
}

int MIDINotePlayer::outputBlockFrames() const
{
    return m_engine ? m_engine->blockFrames : 0;
}

QString MIDINotePlayer::driverName() const
{
    return m_engine ? m_engine->driverName : QString();
}

const std::vector<float> &MIDINotePlayer::recording() const
{
    static const std::vector<float> none;
    return m_offline ? m_offline->recording() : none;
}

std::int64_t MIDINotePlayer::recordedFrames() const
{
    return m_offline ? m_offline->rendered() : 0;
}

void MIDINotePlayer::warn(const QString &line)
{
    if (m_options.logger && m_options.logger->isEnabled(LogLevel::warning))
        m_options.logger->write(LogLevel::warning, line);
}

QCoro::Task<Result<void>> MIDINotePlayer::prepare()
{
    if (m_engine) {
        // Prepared before, but without an instrument: its file may have been
        // put right since.
        co_await instrumentLoaded();
        if (m_instrumentError) {
            takeInstrument(loadInstrument(*m_engine));
        }
        if (m_instrumentError)
            co_return std::unexpected(*m_instrumentError);
        co_return Result<void>{};
    }
    if (m_offline) {
        auto engine = std::make_unique<Engine>();
        if (Result<void> built = buildEngine(*engine); !built)
            co_return built;
        takeInstrument(loadInstrument(*engine));
        m_offline->attach(engine->synth);
        m_engine = std::move(engine);
        applyToSynth();
        if (m_instrumentError)
            co_return std::unexpected(*m_instrumentError);
        co_return Result<void>{};
    }

    if (!m_worker.joinable())
        startLiveEngine();
    const Result<void> built = co_await m_engineReady;
    if (m_engine)
        co_return co_await prepare(); // another prepare took it meanwhile
    if (!built) {
        // Another prepare may try again from the start (one that waited
        // beside this one finds the worker joined).
        if (m_worker.joinable())
            m_worker.join();
        m_starting.reset();
        co_return built;
    }
    m_engine = std::move(m_starting);
    if (!m_engine->outputNotice.isEmpty())
        warn(m_engine->outputNotice);
    // A missing or broken bank is told now, not at the first silent note; a
    // look at the files costs far less than the load under way.
    if (const std::optional<Error> filesProblem = instrumentFilesProblem(instrumentCandidates(m_engine->settings))) {
        co_await instrumentLoaded();
        if (!m_instrumentError)
            m_instrumentError = filesProblem;
        co_return std::unexpected(*m_instrumentError);
    }
    co_return Result<void>{};
}

QCoro::Task<Result<void>> MIDINotePlayer::instrumentReady()
{
    if (m_worker.joinable() && !m_instrumentReady.isFinished())
        co_await m_instrumentReady;
    co_await instrumentLoaded();
    if (m_instrumentError)
        co_return std::unexpected(*m_instrumentError);
    co_return Result<void>{};
}

QCoro::Task<> MIDINotePlayer::instrumentLoaded()
{
    // A sound asked for before the live output was started, or while it
    // starts, waits for it; after it failed, nothing sounds and nothing
    // waits.
    if (!m_engine && !m_offline && (!m_outputTried || m_worker.joinable()))
        co_await prepare();
    if (m_engine && m_worker.joinable() && !m_instrumentReady.isFinished())
        co_await m_instrumentReady;
    if (m_worker.joinable() && m_instrumentReady.isFinished() && !m_workerInstrumentTaken) {
        m_workerInstrumentTaken = true;
        m_instrumentError = m_workerInstrumentError;
        if (!m_instrumentError)
            applyToSynth();
    }
}

double MIDINotePlayer::nowFrame() const
{
    if (m_offline)
        return double(m_offline->rendered());
    if (!m_engine)
        return 0;
    return double(m_engine->tick()) / m_engine->ticksPerSecond * m_options.sampleRate;
}

void MIDINotePlayer::schedule(short track, Voice voice, double frame)
{
    // The sequencer runs on the synth's sample clock: before each 64-frame
    // block it reads the time as whole milliseconds, turns that into ticks
    // and dispatches what is due; a voice started there sounds from the next
    // block. So the tick the sequencer reads one block before the first block
    // boundary at or after `frame` makes the note start on that boundary,
    // never before its time and less than a block after it.
    constexpr double block = 64;
    const double rate = m_options.sampleRate;
    const auto firstBlock = std::int64_t(std::ceil(frame / block - 1e-9));
    const std::int64_t dispatchBlock = std::max<std::int64_t>(0, firstBlock - 1);
    const auto msec = long(1000.0 * double(dispatchBlock * std::int64_t(block)) / rate);
    const auto tick = static_cast<unsigned int>(double(msec) * m_engine->ticksPerSecond / 1000.0);

    fluid_event_t *event = fluid().new_fluid_event();
    if (!event)
        return;
    m_engine->unmuteEffects();
    fluid().fluid_event_set_source(event, track);
    fluid().fluid_event_set_dest(event, m_engine->synthClient);
    const auto duration = unsigned(std::lround(beatSeconds(voice.beats) * m_engine->ticksPerSecond));
    fluid().fluid_event_note(event, voice.channel, short(voice.key), short(voice.velocity), duration);
    fluid().fluid_sequencer_send_at(m_engine->sequencer, event, tick, 1);
    // Until the note has ended and its reverb has died away.
    m_engine->keepBusyUntil(std::int64_t(tick) + duration + std::int64_t(2.0 * m_engine->ticksPerSecond));
    fluid().delete_fluid_event(event);
}

QCoro::Task<bool> MIDINotePlayer::wait(std::chrono::nanoseconds duration)
{
    if (m_offline)
        co_return co_await m_offline->sleep(duration);
    // A named awaiter: GCC 12 can destroy a temporary one twice.
    PreciseSleep sleep(duration, this, m_sleeps);
    co_return co_await sleep;
}

void MIDINotePlayer::stopAll()
{
    if (m_engine) {
        // Everything queued goes, and what sounds stops at the next block
        // (a reset would let notes ring out through their release).
        fluid().fluid_sequencer_remove_events(m_engine->sequencer, -1, -1, -1);
        fluid().fluid_synth_all_sounds_off(m_engine->synth, -1);
        m_droneKey.reset();
        // The room's reverb and chorus would ring on for most of a second:
        // they are silenced too, and decay unheard until the next note.
        m_engine->muteEffects();
    }
    m_sleeps->cancelAll(this);
    if (m_offline)
        m_offline->cancelAll();
}

QCoro::Task<Result<void>> MIDINotePlayer::playNote(Note note)
{
    co_return co_await playVoice(Voice{instrumentChannel, keyNumber(note)});
}

QCoro::Task<Result<void>> MIDINotePlayer::playKey(Note note)
{
    co_return co_await playVoice(Voice{instrumentChannel, keyNumber(note)}, false);
}

QCoro::Task<Result<void>> MIDINotePlayer::playVoices(std::vector<Voice> voices, bool leadIn)
{
    co_await instrumentLoaded();
    if (m_instrumentError)
        co_return std::unexpected(*m_instrumentError);
    if (m_engine) {
        const double lead = leadIn ? beatSeconds(beatPrecision) * m_options.sampleRate : 0.0;
        const double at = nowFrame() + lead;
        for (const Voice &voice : voices)
            schedule(m_engine->noteTrack, voice, at);
    }
    co_return co_await rest(0.75);
}

QCoro::Task<Result<void>> MIDINotePlayer::playCadence(Cadence cadence)
{
    // The chords start 0.25 s from now, the first one without a lead-in, one
    // beat apart. They are queued now, ahead of their time, so that the synth
    // can start each on its block; a chord cannot sound in part while the
    // others are being queued.
    co_await instrumentLoaded();
    if (m_instrumentError)
        co_return std::unexpected(*m_instrumentError);
    const double start = nowFrame() + 0.25 * m_options.sampleRate;
    auto cached = m_chordProgressions.find(cadence);
    if (cached == m_chordProgressions.end()) {
        cached = m_chordProgressions.emplace(cadence, chords(cadence)).first;
        ++m_renderCount;
    }
    if (m_engine) {
        const double beat = beatSeconds(1) * m_options.sampleRate;
        double at = start;
        for (const auto &chord : cached->second) {
            for (int key : chord)
                schedule(m_engine->chordTrack, Voice{instrumentChannel, key}, at);
            at += beat;
        }
    }

    if (!co_await wait(seconds(0.25)) || !co_await wait(seconds(beatSeconds(4) + 0.25)))
        co_return std::unexpected(playbackStopped());
    co_return Result<void>{};
}

Result<void> MIDINotePlayer::saveRecording(const QString &path) const
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return failure(errorDomain, 2, QStringLiteral("Could not write %1: %2").arg(path, file.errorString()));
    const std::vector<float> &samples = recording();
    const auto u32 = [](quint32 v) { return QByteArray(reinterpret_cast<const char *>(&v), 4); };
    const auto u16 = [](quint16 v) { return QByteArray(reinterpret_cast<const char *>(&v), 2); };
    const quint32 rate = quint32(m_options.sampleRate);
    const quint32 dataBytes = quint32(samples.size() * 2);
    QByteArray header;
    header += "RIFF" + u32(36 + dataBytes) + "WAVE";
    header += "fmt " + u32(16) + u16(1) + u16(2) + u32(rate) + u32(rate * 4) + u16(4) + u16(16);
    header += "data" + u32(dataBytes);
    QByteArray data(qsizetype(dataBytes), Qt::Uninitialized);
    auto *out = reinterpret_cast<qint16 *>(data.data());
    for (size_t i = 0; i < samples.size(); ++i)
        out[i] = qint16(std::lround(std::clamp(samples[i], -1.0f, 1.0f) * 32767.0f));
    if (file.write(header) != header.size() || file.write(data) != data.size())
        return failure(errorDomain, 2, QStringLiteral("Could not write %1: %2").arg(path, file.errorString()));
    return {};
}

} // namespace lirra
