// The live sound path, measured on a real sound server. Runs the app (the
// real window, loop and live note player) in this process, records the
// server's monitor of the default sink with parec while a session is started
// from the toolbar, then finds the onsets of the cadence and the note in the
// recording with aubio, and the pitch of the note and of each chord tone by
// the spectrum around its key (aubio's own pitch estimate reads piano notes
// some 35 cents sharp). Then it presses keys with the renderer idle and
// times the way to the first rendered sound, and measures the CPU the
// process uses while it sits idle.
// Usage: live_timing [--check] [--idle-runs N] [--presses N] [--melody N] [--soak S] [--keep <file.wav>]
// With --soak it then plays the level's keys for S seconds, one every
// quarter of a beat with up to a dozen sounding, and counts the blocks that
// took longer to render than they last (underruns).
// With --melody the questions are melodies of N notes: each note's onset,
// its distance from the one before and its pitch are measured too.
// With --check it exits with 1 when a figure misses its goal.
// Prints, as its last line:
//   live_timing onset_interval_error_ms_max=<a> note_pitch_error_cents=<b>
//     chord_tone_pitch_error_cents=<b2> chord_pitches_ok=<c>/<measured> wake_after_press_ms=<d>
//     first_sound_after_press_ms=<e> bare_wake_ms=<e2> output_latency_ms=<f> idle_cpu_pct=<g> underruns=<u>
//     dropouts=<d>
// dropouts counts the stretches of digital silence inside the recorded
// sound, where the output ran dry (underruns counts only the blocks the
// renderer itself was late with).
// bare_wake_ms is the machine's own time to wake an idle thread and compute
// about a block; the press's goal is 10 ms more than that.
#include "core/app_loop.h"
#include "core/production_environment.h"
#include "model/localization.h"
#include "screens/app.h"
#include "screens/app_delegate.h"
#include "screens/main_screen.h"
#include "storage/settings_preferences.h"
#include "widgets/keyboard.h"

#include "measures.h"
#include "support/audio_analysis.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <numeric>
#include <optional>
#include <set>
#include <sys/resource.h>
#include <thread>
#include <tuple>
#include <unistd.h>

using namespace lirra;
using bench::median;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double beatMs = 60000.0 / MIDINotePlayer::bpm;

void spinFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// Waits in the event loop, looking every 2 ms.
bool spinUntil(const std::function<bool()> &done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || deadline.hasExpired())
            loop.quit();
    });
    poll.start(2);
    if (!done())
        loop.exec();
    return done();
}

double processCpuSeconds()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = stat.readAll().split(')').value(1).trimmed().split(' ');
    // utime and stime are fields 14 and 15; the split starts at field 3.
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / double(sysconf(_SC_CLK_TCK));
}

struct Faults {
    long minor = 0;
    long major = 0;
};

Faults faults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return {usage.ru_minflt, usage.ru_majflt};
}

// What this machine itself takes from a press to a first block, done the
// plainest way: on the next turn of the event loop a thread of our own that
// has waited on a condition variable, as the renderer does, is woken, reads
// half a megabyte it last touched before the rest (about what a voice's
// samples and the synth's state come to) and does about a block's worth of
// arithmetic. The press is judged against it, as start-up is against a bare
// window: a machine that is slow to get going after a rest delays every
// program's sound, not only ours.
double bareWakeMs(int restMs)
{
    std::vector<float> memory(size_t(512 * 1024 / sizeof(float)), 1.0f);
    std::mutex mutex;
    std::condition_variable wake;
    bool go = false;
    std::atomic<bool> finished = false;
    Clock::time_point done;
    std::thread sleeper([&] {
        std::unique_lock lock(mutex);
        wake.wait(lock, [&] { return go; });
        volatile double sum = std::accumulate(memory.begin(), memory.end(), 0.0);
        for (int i = 0; i < 4096; ++i)
            sum = sum + std::sin(i * 0.001);
        done = Clock::now();
        finished = true;
    });
    spinFor(restMs);
    const Clock::time_point asked = Clock::now();
    QTimer::singleShot(0, [&] {
        {
            std::lock_guard lock(mutex);
            go = true;
        }
        wake.notify_all();
    });
    spinUntil([&] { return finished.load(); }, 5000);
    sleeper.join();
    return std::chrono::duration<double, std::milli>(done - asked).count();
}

// One value per line, or the first two columns of each line.
std::vector<std::pair<double, double>> run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
    std::vector<std::pair<double, double>> rows;
    for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> columns = line.simplified().split(' ');
        if (!line.trimmed().isEmpty())
            rows.emplace_back(columns.value(0).toDouble(), columns.value(1).toDouble());
    }
    return rows;
}

// The power of each pitch class in 93 ms of the recording from `at`, from
// sox's spectrum of it (90 Hz to 2.5 kHz).
std::array<double, 12> chroma(const QString &wav, double at)
{
    QProcess sox;
    sox.start(QStringLiteral("sox"), {wav, QStringLiteral("-n"), QStringLiteral("trim"), QString::number(at),
                                      QStringLiteral("0.0929"), QStringLiteral("stat"), QStringLiteral("-freq")});
    if (!sox.waitForFinished(30000))
        qFatal("sox failed");
    std::array<double, 12> power{};
    for (const QByteArray &line : sox.readAllStandardError().split('\n')) {
        const QList<QByteArray> columns = line.simplified().split(' ');
        bool isNumber = false;
        const double frequency = columns.value(0).toDouble(&isNumber);
        if (columns.size() != 2 || !isNumber || frequency < 90 || frequency > 2500)
            continue;
        const double midi = 69 + 12 * std::log2(frequency / 440.0);
        const auto pitchClass = size_t((std::lround(midi) % 12 + 12) % 12);
        power[pitchClass] += std::pow(columns.value(1).toDouble(), 2);
    }
    return power;
}

// The samples of parec's 16-bit mono WAV file, as floats.
std::vector<float> readWav(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    const QByteArray bytes = file.readAll();
    const qsizetype data = bytes.indexOf("data");
    std::vector<float> samples;
    if (data < 0)
        return samples;
    const auto *pcm = reinterpret_cast<const qint16 *>(bytes.constData() + data + 8);
    const qsizetype count = (bytes.size() - data - 8) / 2;
    samples.reserve(size_t(count));
    for (qsizetype i = 0; i < count; ++i)
        samples.push_back(float(pcm[i]) / 32768.0f);
    return samples;
}

// Where the output ran dry while something sounded: runs of at least 128
// frames of digital silence (a decaying piano never holds exactly 0 that
// long) between `from` and `to`. The sink fills a starved stream with
// zeros, so each is a stall of the output, the sound server or the machine.
struct Dropouts {
    int count = 0;
    double ms = 0;
};
Dropouts dropoutsIn(const std::vector<float> &samples, double sampleRate, double from, double to)
{
    Dropouts found;
    const auto end = std::min(samples.size(), size_t(std::max(0.0, to * sampleRate)));
    size_t run = 0;
    for (size_t i = size_t(std::max(0.0, from * sampleRate)); i <= end; ++i) {
        if (i < end && samples[i] == 0.0f) {
            ++run;
            continue;
        }
        if (run >= 128) {
            ++found.count;
            found.ms += 1000.0 * double(run) / sampleRate;
        }
        run = 0;
    }
    return found;
}

double frequencyMidi(double midi)
{
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    applyDarkAppearance();
    installTranslations();
    const QStringList arguments = application.arguments();
    const bool check = arguments.contains(QStringLiteral("--check"));
    const auto option = [&](const char *name, const QString &fallback) {
        const qsizetype at = arguments.indexOf(QLatin1String(name));
        return at >= 0 ? arguments.value(at + 1, fallback) : fallback;
    };
    const int idleRuns = option("--idle-runs", QStringLiteral("5")).toInt();
    const int presses = option("--presses", QStringLiteral("5")).toInt();
    const int soakSeconds = option("--soak", QStringLiteral("0")).toInt();

    QTemporaryDir home;
    const QString documents = home.filePath(QStringLiteral("Documents"));
    QDir().mkpath(documents);
    const QString wav = option("--keep", home.filePath(QStringLiteral("monitor.wav")));
    EnvironmentSetup setup;
    setup.documentsFolder = [documents]() -> Result<QString> { return documents; };
    auto preferences = std::make_shared<SettingsPreferences>(home.filePath(QStringLiteral("lirra.json")));
    preferences->setBool(true, PreferenceKey::hasSeenOnboarding);
    if (const int melody = option("--melody", QStringLiteral("1")).toInt(); melody > 1)
        preferences->setInteger(melody, PreferenceKey::melodyLength);
    setup.preferences = preferences;
    AppDelegate app(setup);
    app.applicationDidFinishLaunching();
    const auto state = [&app]() -> const AppState & { return app.loop()->state(); };
    if (!spinUntil([&] { return state().level || state().hasError; }, 20000) || state().hasError)
        qFatal("the app did not load its first level: %s",
               state().error ? qPrintable(state().error->description) : "timed out");
    auto *player = static_cast<MIDINotePlayer *>(app.environment().notePlayer.get());
    std::printf("driver=%s output_latency_ms=%.1f\n", qPrintable(player->driverName()), player->outputLatencyMs());

    // Idle: the window is open and nothing sounds.
    spinFor(1000);
    std::vector<double> idle;
    for (int i = 0; i < idleRuns; ++i) {
        const double before = processCpuSeconds();
        spinFor(10000);
        idle.push_back(100.0 * (processCpuSeconds() - before) / 10.0);
        std::printf("idle run %d: %.2f %% of a core\n", i + 1, idle.back());
    }

    // A session started from the toolbar, recorded from the sink's monitor.
    QProcess recorder;
    recorder.start(QStringLiteral("parec"), {QStringLiteral("--device=@DEFAULT_MONITOR@"), QStringLiteral("--rate=44100"),
                                             QStringLiteral("--channels=1"), QStringLiteral("--format=s16le"),
                                             QStringLiteral("--file-format=wav"), wav});
    if (!recorder.waitForStarted())
        qFatal("parec did not start");
    spinFor(700);
    auto *start = qobject_cast<QToolButton *>(app.toolbarItem(QStringLiteral("startStopSessionButton")));
    const Clock::time_point clicked = Clock::now();
    QTest::mouseClick(start, Qt::LeftButton);
    if (!spinUntil([&] { return state().question && state().isInteractionEnabled; }, 20000))
        qFatal("the cadence and the note did not play");
    const Level level = *state().level;
    const Question question = *state().question;
    spinFor(1500);
    recorder.terminate();
    if (!recorder.waitForFinished(5000))
        qFatal("parec did not stop");
    // The renderer woke for the cadence and stayed awake through the note: a
    // later wake means it slept while something was due, which would also
    // leave a dropout in the recording.
    const auto wokeUp = player->renderMarks().wokeUp;
    const bool sleptWhileSounding = !wokeUp || *wokeUp - clicked > std::chrono::milliseconds(500);

    // Key presses with the renderer asleep: the session is stopped and the
    // last note has died away before each.
    QTest::mouseClick(start, Qt::LeftButton);
    spinUntil([&] { return !state().isPracticing && state().isInteractionEnabled; }, 20000);
    KeyboardView *keyboard = app.app()->main()->keyboardView();
    std::vector<double> wakes, sounds, bares;
    for (int i = 0; i < presses; ++i) {
        // The machine's own figure first, after the same rest.
        bares.push_back(bareWakeMs(4500));
        spinFor(4500);
        Key *key = keyboard->key(level.notes[size_t(i) % level.notes.size()]);
        const QPoint point(key->width() / 2, key->height() * 4 / 5);
        const Faults faultsBefore = faults();
        const Clock::time_point pressed = Clock::now();
        QTest::mousePress(key, Qt::LeftButton, {}, point);
        spinUntil([&] {
            const auto marks = player->renderMarks();
            return marks.firstSound && *marks.firstSound > pressed;
        }, 2000);
        const Faults faultsAfter = faults();
        QTest::mouseRelease(key, Qt::LeftButton, {}, point);
        const auto marks = player->renderMarks();
        const auto since = [](const auto &mark, Clock::time_point from) {
            return mark && *mark > from ? std::chrono::duration<double, std::milli>(*mark - from).count() : NAN;
        };
        const double asked = since(marks.wakeAsked, pressed);
        const double woke = since(marks.wokeUp, pressed);
        const double sound = since(marks.firstSound, pressed);
        if (!std::isnan(woke))
            wakes.push_back(woke);
        if (!std::isnan(sound))
            sounds.push_back(sound);
        std::printf("press %d: woke after %.2f ms, first sound rendered after %.2f ms "
                    "(asked to wake after %.2f, woke %.2f later, sounded %.2f after that; %ld minor and %ld major "
                    "page faults); the bare machine: %.2f ms\n",
                    i + 1, woke, sound, asked, woke - asked, sound - woke, faultsAfter.minor - faultsBefore.minor,
                    faultsAfter.major - faultsBefore.major, bares.back());
    }

    if (soakSeconds > 0) {
        const std::uint64_t before = player->renderMarks().underruns;
        const std::uint64_t blocksBefore = player->renderMarks().blocks;
        const double cpuBefore = processCpuSeconds();
        QElapsedTimer soak;
        soak.start();
        QTimer keys;
        std::size_t next = 0;
        QObject::connect(&keys, &QTimer::timeout, [&] {
            player->playKey(level.notes[next++ % level.notes.size()]);
        });
        keys.setTimerType(Qt::PreciseTimer);
        keys.start(int(beatMs / 4));
        spinFor(soakSeconds * 1000);
        keys.stop();
        const double seconds = soak.elapsed() / 1000.0;
        std::printf("soak: %.0f s, %zu keys, %llu blocks, %llu underruns, %.1f %% of a core\n", seconds, next,
                    static_cast<unsigned long long>(player->renderMarks().blocks - blocksBefore),
                    static_cast<unsigned long long>(player->renderMarks().underruns - before),
                    100.0 * (processCpuSeconds() - cpuBefore) / seconds);
        spinFor(3000);
    }

    // The recording: four chords a beat apart, then the note.
    const auto onsets = run(QStringLiteral("aubioonset"), {QStringLiteral("-i"), wav, QStringLiteral("-H"), QStringLiteral("64"),
                                                             QStringLiteral("-B"), QStringLiteral("512"), QStringLiteral("-M"),
                                                             QStringLiteral("0.2"), QStringLiteral("-s"), QStringLiteral("-60")});
    const std::vector<float> samples = readWav(wav);
    // The fundamental near a key from 50 ms after an onset, for 0.3 s.
    const auto centsAt = [&](double at, int key) {
        return lirra::test::centsFrom(samples, 44100.0, std::llround((at + 0.05) * 44100.0), 13230, key);
    };
    std::printf("onsets (s):");
    for (const auto &[at, unused] : onsets)
        std::printf(" %.4f", at);
    std::printf("\n");

    const std::vector<std::vector<int>> chords = MIDINotePlayer::chords(level.cadence);
    std::vector<double> expected;
    for (size_t k = 0; k < chords.size(); ++k)
        expected.push_back(double(k) * beatMs);
    // The question's notes, a beat apart after the cadence.
    for (std::size_t k = 0; k < question.length(); ++k)
        expected.push_back(250.0 + MIDINotePlayer::secondsForBeats(4 + MIDINotePlayer::beatPrecision + double(k)) * 1000.0);
    const size_t chordCount = chords.size();

    // A dropout (the sink filling a starved stream with silence) may move
    // what follows it either way, swallow an attack and spoil a spectrum
    // taken across it. The output was late, not the schedule: an interval or
    // a pitch with a dropout in it is reported and set aside, and the rest
    // are judged. So each event is looked for where it belongs after the one
    // before it (the first onset is the first chord), within 60 ms, widened
    // by twice the silence the dropouts in between left; other onsets (a
    // chord's own partials, the click at a dropout's end) are left aside.
    const auto dropoutsBetween = [&](double from, double to) {
        return dropoutsIn(samples, 44100.0, std::max(from, onsets.empty() ? 0.0 : onsets.front().first), to);
    };
    std::vector<std::optional<double>> found(expected.size());
    std::vector<bool> spoiled(expected.size(), false);
    bool allFound = !onsets.empty();
    if (!onsets.empty())
        found[0] = onsets.front().first;
    for (size_t i = 1; i < expected.size() && allFound; ++i) {
        size_t before = i - 1;
        while (!found[before])
            --before;
        const double due = *found[before] + (expected[i] - expected[before]) / 1000.0;
        const Dropouts between = dropoutsBetween(*found[before], due + 0.06);
        const double slack = 0.06 + 2.0 * between.ms / 1000.0;
        for (const auto &[at, unused] : onsets) {
            if (std::fabs(at - due) <= slack && (!found[i] || std::fabs(at - due) < std::fabs(*found[i] - due)))
                found[i] = at;
        }
        spoiled[i] = between.count > 0;
        if (!found[i] && !spoiled[i])
            allFound = false;
    }
    const auto at = [&](size_t i) { return *found[i]; };
    // Where an event's sound is measured: 400 ms from its onset.
    const auto soundSpoiled = [&](size_t i) {
        return !found[i] || dropoutsBetween(at(i), at(i) + 0.4).count > 0;
    };
    Dropouts dropouts;
    double intervalError = NAN;
    double noteCents = NAN;
    double chordCents = NAN;
    int chordsMeasured = 0;
    int chordsOk = 0;
    int intervalsMeasured = 0;
    int notesMeasured = 0;
    if (allFound) {
        dropouts = dropoutsBetween(at(0), at(0) + expected.back() / 1000.0 + 0.4);
        std::printf("dropouts while sounding: %d, %.1f ms in all\n", dropouts.count, dropouts.ms);
        const auto interval = [&](size_t i, const char *what) {
            if (!found[i] || !found[i - 1] || spoiled[i]) {
                std::printf("%s: the output ran dry in between, not counted\n", what);
                return;
            }
            const double ms = (at(i) - at(i - 1)) * 1000.0;
            std::printf("%s: %.2f ms (a beat is %.2f ms)\n", what, ms, beatMs);
            ++intervalsMeasured;
            intervalError = std::max(std::isnan(intervalError) ? 0.0 : intervalError, std::fabs(ms - beatMs));
        };
        for (size_t i = 1; i < chordCount; ++i)
            interval(i, qPrintable(QStringLiteral("chord %1 to %2").arg(i).arg(i + 1)));
        for (std::size_t k = chordCount; k < found.size(); ++k) {
            if (found[k])
                std::printf("chord 1 to note %zu: %.2f ms (%.2f ms expected)\n", k - chordCount + 1,
                            (at(k) - at(0)) * 1000.0, expected[k]);
            if (k > chordCount)
                interval(k, qPrintable(QStringLiteral("note %1 to %2").arg(k - chordCount).arg(k - chordCount + 1)));
        }
        // A chord's pitch: its two strongest pitch classes are tones of the chord.
        for (size_t i = 0; i < chordCount; ++i) {
            if (soundSpoiled(i)) {
                std::printf("chord %zu: the output ran dry while it sounded, not measured\n", i + 1);
                continue;
            }
            ++chordsMeasured;
            const std::array<double, 12> power = chroma(wav, at(i) + 0.04);
            std::array<size_t, 12> order{};
            std::iota(order.begin(), order.end(), 0);
            std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return power[a] > power[b]; });
            const auto inChord = [&](size_t pitchClass) {
                return std::any_of(chords[i].begin(), chords[i].end(), [&](int key) { return size_t(key % 12) == pitchClass; });
            };
            const bool ok = inChord(order[0]) && inChord(order[1]);
            chordsOk += ok ? 1 : 0;
            std::printf("chord %zu: strongest pitch classes %zu and %zu, %s;", i + 1, order[0], order[1],
                        ok ? "tones of the chord" : "not both in the chord");
            // Each tone of the chord, by the fundamental near its key.
            for (int key : chords[i]) {
                const double cents = centsAt(at(i), key);
                std::printf(" %d %+.1f", key, cents);
                if (std::isnan(chordCents) || std::fabs(cents) > std::fabs(chordCents))
                    chordCents = cents;
            }
            std::printf(" cents\n");
        }
        for (std::size_t k = 0; k < question.length(); ++k) {
            const int asked = MIDINotePlayer::keyNumber(question.noteAt(k));
            if (soundSpoiled(chordCount + k)) {
                std::printf("note %zu: the output ran dry while it sounded, not measured\n", k + 1);
                continue;
            }
            ++notesMeasured;
            const double cents = centsAt(at(chordCount + k), asked);
            if (std::isnan(noteCents) || std::fabs(cents) > std::fabs(noteCents))
                noteCents = cents;
            std::printf("note %zu: key %d (%.1f Hz) heard %+.2f cents from it\n", k + 1, asked, frequencyMidi(asked), cents);
        }
    } else {
        std::fprintf(stderr, "live_timing: not every chord and the note were found in the recording\n");
    }

    const double idleCpu = median(idle);
    const double wake = median(wakes);
    const double sound = median(sounds);
    const double bare = median(bares);
    std::printf("live_timing onset_interval_error_ms_max=%.2f note_pitch_error_cents=%.1f chord_tone_pitch_error_cents=%.1f "
                "chord_pitches_ok=%d/%d "
                "wake_after_press_ms=%.2f first_sound_after_press_ms=%.2f bare_wake_ms=%.2f output_latency_ms=%.1f "
                "idle_cpu_pct=%.2f underruns=%llu dropouts=%d\n",
                intervalError, noteCents, chordCents, chordsOk, chordsMeasured, wake, sound, bare, player->outputLatencyMs(), idleCpu,
                static_cast<unsigned long long>(player->renderMarks().underruns), dropouts.count);
    if (!check)
        return 0;
    // Each figure against its goal; a miss says by how much.
    // A key pressed is scheduled at once, with no lead-in: it sounds within
    // 10 ms of what the machine takes to wake an idle thread of its own.
    const double soundGoal = 10.0 + bare;
    const std::tuple<const char *, double, double> goals[] = {
        {"onset_interval_error_ms_max", intervalError, 3.0},
        {"note_pitch_error_cents", std::fabs(noteCents), 5.0},
        {"chord_tone_pitch_error_cents", std::fabs(chordCents), 5.0},
        {"chords_not_heard_as_chords", double(chordsMeasured - chordsOk), 0.0},
        {"first_sound_after_press_ms", sound, soundGoal},
        {"idle_cpu_pct", idleCpu, 1.0},
    };
    bool ok = true;
    // A figure with nothing left to judge fails: every interval, chord or
    // note had a dropout in it, or the recording lacked them.
    const std::pair<const char *, int> measured[] = {
        {"intervals", intervalsMeasured}, {"chords", chordsMeasured}, {"notes", notesMeasured}};
    for (const auto &[what, count] : measured) {
        if (count > 0)
            continue;
        ok = false;
        std::fprintf(stderr, "live_timing: no %s could be measured\n", what);
    }
    if (sleptWhileSounding) {
        ok = false;
        std::fprintf(stderr, "live_timing: the renderer slept and woke again while the cadence and the note were due\n");
    }
    for (const auto &[name, value, goal] : goals) {
        if (value <= goal)
            continue;
        ok = false;
        std::fprintf(stderr, "live_timing: %s is %.2f, over its goal of %.2f by %.2f\n", name, value, goal, value - goal);
    }
    if (!ok && dropouts.count > 0)
        std::fprintf(stderr, "live_timing: the output ran dry %d times while it sounded (%.1f ms of silence): "
                             "the sound server or the machine stalled for longer than the output's buffer\n",
                     dropouts.count, dropouts.ms);
    return ok ? 0 : 1;
}
