// How the player follows the user's settings: instruments on their channels,
// the question note's length and loudness, the drone and the volume.

#include "audio/fluid_library.h"
#include "audio/midi_note_player.h"
#include "audio/synth_engine.h"

#include <algorithm>
#include <cmath>

namespace lirra {

namespace {

// Held soft and long under the questions, so a sustained sound serves best;
// the first of these the bank has, else the instrument itself.
constexpr Preset dronePresets[] = {{0, 19}, {0, 20}, {0, 16}, {0, 48}};
constexpr int droneVelocity = 48;
constexpr int droneChannelVolume = 38;

fluid_sfont_t *loadedBank(fluid_synth_t *synth)
{
    return fluid().fluid_synth_sfcount(synth) > 0 ? fluid().fluid_synth_get_sfont(synth, 0) : nullptr;
}

bool hasPreset(fluid_sfont_t *bank, Preset preset)
{
    return bank && fluid().fluid_sfont_get_preset(bank, preset.bank, preset.program);
}

} // namespace

MIDINotePlayer::Loudness MIDINotePlayer::emphasised(double decibels)
{
    // Velocity first, then the channel volume above its default of 100.
    const double factor = std::pow(10.0, std::max(0.0, decibels) / 40.0);
    const int velocity = std::min(127, int(std::lround(noteVelocity * factor)));
    const double product = noteVelocity * 100.0 * factor;
    const int channelVolume = std::clamp(int(std::lround(product / velocity)), 0, 127);
    return {velocity, channelVolume};
}

double MIDINotePlayer::gainForVolume(int volume)
{
    // The synth's gain at full volume raises the output 8 dB, so that a
    // session peaks between about -4 and -2 dBFS. Below, a cube, as sound
    // servers map their sliders: half way is about 18 dB down.
    const double fraction = std::clamp(volume, 0, Settings::maxVolume) / double(Settings::maxVolume);
    return 2.5 * fraction * fraction * fraction;
}

void MIDINotePlayer::apply(const Settings &settings)
{
    const bool droneWasOn = m_settings.drone;
    m_settings = settings;
    if (droneWasOn && !settings.drone)
        releaseDrone();
    applyToSynth();
}

void MIDINotePlayer::applyToSynth()
{
    if (!m_engine || m_instrumentError)
        return;
    fluid_synth_t *synth = m_engine->synth;
    fluid_sfont_t *bank = loadedBank(synth);
    if (!bank)
        return;
    const int bankId = fluid().fluid_sfont_get_id(bank);
    Preset preset = m_settings.instrument;
    if (!hasPreset(bank, preset)) {
        if (m_missingPreset != preset)
            warn(QStringLiteral("⚠️ The sound font has no instrument %1; playing %2 instead")
                     .arg(presetText(preset), presetText(Preset{})));
        m_missingPreset = preset;
        preset = Preset{};
    }
    for (int channel : {instrumentChannel, questionChannel}) {
        if (presetOn(channel) != preset)
            fluid().fluid_synth_program_select(synth, channel, bankId, preset.bank, preset.program);
    }
    const Loudness question = emphasised(m_settings.questionEmphasis);
    fluid().fluid_synth_cc(synth, questionChannel, 7, question.channelVolume);

    // Louder question notes take the headroom first: above what the
    // loudest note may gain unclipped, the whole output comes down.
    const double headroomDb = 5.0;
    const double over = std::max(0.0, m_settings.questionEmphasis - headroomDb);
    fluid().fluid_synth_set_gain(synth, float(gainForVolume(m_settings.volume) * std::pow(10.0, -over / 20.0)));
}

std::optional<Preset> MIDINotePlayer::presetOn(int channel) const
{
    if (!m_engine)
        return std::nullopt;
    int bankId = 0;
    int bank = 0;
    int program = 0;
    if (fluid().fluid_synth_get_program(m_engine->synth, channel, &bankId, &bank, &program) != FLUID_OK
        || !fluid().fluid_synth_get_channel_preset(m_engine->synth, channel))
        return std::nullopt;
    return Preset{bank, program};
}

std::vector<InstrumentChoice> MIDINotePlayer::instruments() const
{
    std::vector<InstrumentChoice> result;
    // Live, the worker's load may have ended without anything having played
    // since, so its outcome is read where it lies.
    const bool loading = m_worker.joinable() && !m_instrumentReady.isFinished();
    const bool untaken = m_worker.joinable() && !m_workerInstrumentTaken;
    if (!m_engine || loading || (untaken ? m_workerInstrumentError : m_instrumentError))
        return result;
    fluid_sfont_t *bank = loadedBank(m_engine->synth);
    if (!bank)
        return result;
    fluid().fluid_sfont_iteration_start(bank);
    while (fluid_preset_t *preset = fluid().fluid_sfont_iteration_next(bank)) {
        const int number = fluid().fluid_preset_get_banknum(preset);
        // Bank 128 holds the drum kits: no pitch to name.
        if (number == 128)
            continue;
        const char *name = fluid().fluid_preset_get_name(preset);
        result.push_back({Preset{number, fluid().fluid_preset_get_num(preset)},
                          QString::fromUtf8(name ? name : "").trimmed()});
    }
    std::sort(result.begin(), result.end(), [](const InstrumentChoice &a, const InstrumentChoice &b) {
        return std::pair(a.preset.bank, a.preset.program) < std::pair(b.preset.bank, b.preset.program);
    });
    return result;
}

MIDINotePlayer::Voice MIDINotePlayer::questionVoice(Note note) const
{
    const Loudness loudness = emphasised(m_settings.questionEmphasis);
    return Voice{questionChannel, keyNumber(note), loudness.velocity, double(m_settings.questionBeats)};
}

QCoro::Task<Result<void>> MIDINotePlayer::playQuestionNote(Note note)
{
    co_return co_await playVoice(questionVoice(note));
}

QCoro::Task<Result<void>> MIDINotePlayer::playMelody(std::vector<Note> melody)
{
    std::vector<std::vector<Voice>> sounds;
    for (const Note &note : melody)
        sounds.push_back({Voice{instrumentChannel, keyNumber(note)}});
    co_return co_await playInBeats(std::move(sounds));
}

std::vector<MIDINotePlayer::Voice> MIDINotePlayer::instrumentVoices(const std::vector<int> &keys)
{
    std::vector<Voice> voices;
    for (const int key : keys)
        voices.push_back(Voice{instrumentChannel, key});
    return voices;
}

QCoro::Task<Result<void>> MIDINotePlayer::playChord(std::vector<int> keys, bool atOnce)
{
    co_return co_await playVoices(instrumentVoices(keys), !atOnce);
}

QCoro::Task<Result<void>> MIDINotePlayer::playProgression(std::vector<std::vector<int>> chords)
{
    std::vector<std::vector<Voice>> sounds;
    for (const std::vector<int> &chord : chords)
        sounds.push_back(instrumentVoices(chord));
    co_return co_await playInBeats(std::move(sounds));
}

QCoro::Task<Result<void>> MIDINotePlayer::playInBeats(std::vector<std::vector<Voice>> sounds)
{
    if (sounds.empty())
        co_return Result<void>{};
    co_await instrumentLoaded();
    if (m_instrumentError)
        co_return std::unexpected(*m_instrumentError);
    const double beats = double(sounds.size() - 1);
    if (m_engine) {
        const double beat = beatSeconds(1) * m_options.sampleRate;
        const double start = nowFrame() + beatSeconds(beatPrecision) * m_options.sampleRate;
        // The last sounds as a question's note: on its channel, as long and
        // as loud as the settings ask.
        const Voice asked = questionVoice(Note{});
        for (std::size_t i = 0; i < sounds.size(); ++i) {
            for (Voice voice : sounds[i]) {
                if (i + 1 == sounds.size()) {
                    voice.channel = asked.channel;
                    voice.velocity = asked.velocity;
                    voice.beats = asked.beats;
                }
                schedule(m_engine->noteTrack, voice, start + double(i) * beat);
            }
        }
    }
    // Done as a single note is, three quarters of a beat after the last.
    co_return co_await rest(beats + 0.75);
}

QCoro::Task<Result<void>> MIDINotePlayer::rest(double beats)
{
    const std::chrono::nanoseconds duration(std::llround(beatSeconds(beats) * 1e9));
    const bool slept = co_await wait(duration);
    if (!slept)
        co_return std::unexpected(playbackStopped());
    co_return Result<void>{};
}

void MIDINotePlayer::holdDrone(NoteName key)
{
    if (!m_settings.drone) {
        releaseDrone();
        return;
    }
    if (!m_engine || m_instrumentError || m_droneKey == key)
        return;
    releaseDrone();
    fluid_synth_t *synth = m_engine->synth;
    fluid_sfont_t *bank = loadedBank(synth);
    if (!bank)
        return;
    Preset preset = m_settings.instrument;
    for (const Preset candidate : dronePresets) {
        if (hasPreset(bank, candidate)) {
            preset = candidate;
            break;
        }
    }
    if (presetOn(droneChannel) != preset)
        fluid().fluid_synth_program_select(synth, droneChannel, fluid().fluid_sfont_get_id(bank), preset.bank, preset.program);
    fluid().fluid_synth_cc(synth, droneChannel, 7, droneChannelVolume);
    // No chorus: its wavering pitch would blur the tonic the drone is for.
    fluid().fluid_synth_cc(synth, droneChannel, 93, 0);
    // Tonic and fifth an octave and more below middle C, under every note
    // a question asks.
    const int tonic = 36 + index(key);
    m_engine->unmuteEffects();
    for (int note : {tonic, tonic + 7})
        fluid().fluid_synth_noteon(synth, droneChannel, note, droneVelocity);
    m_engine->keepBusyUntil(m_engine->tick());
    m_droneKey = key;
}

void MIDINotePlayer::releaseDrone()
{
    if (m_engine && m_droneKey)
        fluid().fluid_synth_all_notes_off(m_engine->synth, droneChannel);
    m_droneKey.reset();
}

} // namespace lirra
