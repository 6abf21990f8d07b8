// Measures the note player: how far each rendered note and chord starts from
// its ideal time over a session of cadences and notes, how long `prepare`
// takes with the app's instrument, the player's peak memory, and how much
// faster than real time the offline output renders. Prints, as its last line:
//   audio_timing onset_error_ms_max=<x> prepare_ms=<y> render_speed_x=<z> peak_rss_mb=<w>
#include "audio/midi_note_player.h"
#include "model/generators.h"

#include "measures.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <optional>

using namespace lirra;
using bench::median;

namespace {

constexpr double rate = 44100;

template <typename T>
T awaitTask(QCoro::Task<T> task)
{
    std::optional<T> result;
    auto run = [](QCoro::Task<T> t, std::optional<T> &out) -> QCoro::Task<> { out.emplace(co_await t); };
    run(std::move(task), result);
    while (!result)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    return std::move(*result);
}

std::unique_ptr<MIDINotePlayer> offlinePlayer()
{
    MIDINotePlayer::Options options;
    options.output = MIDINotePlayer::Output::offline;
    auto player = std::make_unique<MIDINotePlayer>(options);
    if (!awaitTask(player->prepare()))
        qFatal("prepare failed");
    return player;
}

// One question of a session: its cadence and its note.
struct Step {
    Cadence cadence;
    Note note;
};

// What a step changes in a twin render so that one event sounds different.
struct Change {
    size_t step;
    int chord; // -1: the note
};

void play(MIDINotePlayer &player, const std::vector<Step> &steps, std::optional<Change> change,
          std::vector<std::int64_t> *calls)
{
    const size_t last = change ? change->step : steps.size() - 1;
    for (size_t i = 0; i <= last; ++i) {
        Step step = steps[i];
        if (change && change->step == i) {
            if (change->chord >= 0) {
                for (int &offset : step.cadence.movement[size_t(change->chord)])
                    offset += 1;
            } else {
                step.note.name = transposed(step.note.name, 1);
            }
        }
        if (calls)
            calls->push_back(player.recordedFrames());
        awaitTask(player.playCadence(step.cadence));
        awaitTask(player.playNote(step.note));
    }
}

std::int64_t firstDifference(const std::vector<float> &a, const std::vector<float> &b, std::int64_t from)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = size_t(from) * 2; i < n; ++i) {
        if (a[i] != b[i])
            return std::int64_t(i / 2);
    }
    return -1;
}

double peakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// In a fresh process: prepare one live-less player with the app's instrument,
// play a cadence and a note, and report the time to prepare and the memory.
int prepareOnly()
{
    MIDINotePlayer::Options options;
    options.output = MIDINotePlayer::Output::offline;
    MIDINotePlayer player(options);
    QElapsedTimer timer;
    timer.start();
    if (!awaitTask(player.prepare()))
        return 1;
    const double prepareMs = double(timer.nsecsElapsed()) / 1e6;
    awaitTask(player.playCadence(DiatonicLevelGenerator::majorCadence(NoteName::c)));
    awaitTask(player.playNote(Note{NoteName::e, 1}));
    std::printf("%.3f %.3f\n", prepareMs, peakRssMb());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (app.arguments().contains(QStringLiteral("--prepare-only")))
        return prepareOnly();

    // Prepare time and memory, each in a fresh process so that nothing is cached.
    std::vector<double> prepareMs, rssMb;
    for (int i = 0; i < 7; ++i) {
        QProcess child;
        child.start(app.applicationFilePath(), {QStringLiteral("--prepare-only")});
        if (!child.waitForFinished(60000) || child.exitCode() != 0)
            qFatal("the prepare run failed");
        const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
        prepareMs.push_back(fields.value(0).toDouble());
        rssMb.push_back(fields.value(1).toDouble());
    }

    // A session of questions in several keys.
    const std::vector<Level> levels = DiatonicLevelGenerator().generateLevels();
    QRandomGenerator random(2024);
    std::vector<Step> steps;
    for (int i = 0; i < 8; ++i) {
        const Level &level = levels[size_t(random.bounded(int(levels.size())))];
        steps.push_back({level.cadence, level.notes[size_t(random.bounded(int(level.notes.size())))]});
    }

    auto reference = offlinePlayer();
    std::vector<std::int64_t> calls;
    QElapsedTimer renderTimer;
    renderTimer.start();
    play(*reference, steps, std::nullopt, &calls);
    const double renderSeconds = double(renderTimer.nsecsElapsed()) / 1e9;
    const double audioSeconds = double(reference->recordedFrames()) / rate;

    // Each event's onset: the first frame where a twin render, identical but
    // for that event a semitone higher, departs from the reference. A voice's
    // first frame is silent (its envelope starts at zero), so the voice
    // started one frame earlier.
    const double beat = MIDINotePlayer::secondsForBeats(1) * rate;
    double worstMs = 0;
    double sumMs = 0;
    int events = 0;
    for (size_t s = 0; s < steps.size(); ++s) {
        for (int chord = -1; chord < 4; ++chord) {
            auto twin = offlinePlayer();
            play(*twin, steps, Change{s, chord}, nullptr);
            // The note is played once the cadence's two waits are over.
            const double noteCall = double(calls[s] + std::llround(0.25 * rate) + std::llround(4 * beat + 0.25 * rate));
            const double ideal = chord >= 0 ? double(calls[s]) + 0.25 * rate + chord * beat
                                            : noteCall + MIDINotePlayer::beatPrecision * beat;
            const std::int64_t differs = firstDifference(reference->recording(), twin->recording(), calls[s]);
            if (differs < 0)
                qFatal("a twin render did not differ");
            const double errorMs = (double(differs - 1) - ideal) / rate * 1000.0;
            worstMs = std::max(worstMs, std::fabs(errorMs));
            sumMs += std::fabs(errorMs);
            ++events;
        }
    }

    std::printf("events=%d onset_error_ms_mean=%.3f session_audio_s=%.1f render_s=%.3f\n", events, sumMs / events,
                audioSeconds, renderSeconds);
    std::printf("prepare_runs=%zu prepare_ms_min=%.1f prepare_ms_max=%.1f\n", prepareMs.size(),
                *std::min_element(prepareMs.begin(), prepareMs.end()),
                *std::max_element(prepareMs.begin(), prepareMs.end()));
    std::printf("audio_timing onset_error_ms_max=%.3f prepare_ms=%.1f render_speed_x=%.0f peak_rss_mb=%.1f\n", worstMs,
                median(prepareMs), audioSeconds / renderSeconds, median(rssMb));
    return 0;
}
