#include "support/audio_analysis.h"
#include "support/await.h"
#include "support/files.h"
#include "support/notes.h"
#include "support/sound_server.h"
#include "support/test_registry.h"

#include "audio/midi_note_player.h"
#include "model/localization.h"
#include "model/generators.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <ctime>

using namespace lirra;
using namespace lirra::test;

namespace {

std::unique_ptr<MIDINotePlayer> offline(std::shared_ptr<Logger> logger = nullptr)
{
    MIDINotePlayer::Options options;
    options.output = MIDINotePlayer::Output::offline;
    options.logger = std::move(logger);
    return std::make_unique<MIDINotePlayer>(options);
}

// Live output to the PulseAudio server a test has started.
MIDINotePlayer::Options onTheSoundServer()
{
    MIDINotePlayer::Options options;
    options.drivers = {QStringLiteral("pulseaudio")};
    return options;
}

std::unique_ptr<MIDINotePlayer> preparedOffline()
{
    auto player = offline();
    const Result<void> prepared = awaitTask(player->prepare());
    if (!prepared)
        qFatal("prepare failed: %s", qPrintable(prepared.error().description));
    return player;
}

// Twin recordings first differ a frame or two after a voice starts: its
// envelope starts from zero, and its first tiny values are lost in the
// rounding of whatever else sounds at the time.
constexpr double voiceEmerges = 4;
constexpr double block = 64;

// The pitches sounding after the onset grew far more than their semitone
// neighbours that are not part of the chord.
void verifyPitches(const std::vector<float> &recording, std::int64_t onset, const std::vector<int> &keys)
{
    for (int key : keys) {
        const double own = attackPower(recording, onset, key);
        for (int neighbour : {key - 1, key + 1}) {
            if (std::find(keys.begin(), keys.end(), neighbour) != keys.end())
                continue;
            const double other = attackPower(recording, onset, neighbour);
            QVERIFY2(own > 8 * std::max(other, 1e-3),
                     qPrintable(QStringLiteral("key %1: %2, neighbour %3: %4").arg(key).arg(own).arg(neighbour).arg(other)));
        }
    }
}

} // namespace

class NotePlayerTest : public QObject {
    Q_OBJECT

private slots:
    void singleNote_data()
    {
        QTest::addColumn<QString>("note");
        QTest::addColumn<int>("key");
        QTest::newRow("C1 is middle C") << "C1" << 60;
        QTest::newRow("B0") << "B0" << 59;
        QTest::newRow("F#0") << "F#0" << 54;
        QTest::newRow("A2") << "A2" << 81;
        QTest::newRow("C3 maps like octave 2") << "C3" << 72;
    }
    void singleNote()
    {
        QFETCH(QString, note);
        QFETCH(int, key);
        auto player = preparedOffline();
        auto twin = preparedOffline();
        // Some silence first, so that the note starts at an arbitrary frame.
        awaitTask(player->playNote(Note{NoteName::c, 0}));
        awaitTask(twin->playNote(Note{NoteName::c, 0}));
        const std::int64_t settled = player->recordedFrames() + 80000;
        awaitTask(player->playCadence(Cadence{})); // waits 0.5 s + 4 beats, plays nothing
        awaitTask(twin->playCadence(Cadence{}));

        const std::int64_t call = player->recordedFrames();
        QVERIFY(call > settled);
        awaitTask(player->playNote(lirra::test::note(note)));
        awaitTask(twin->playNote(Note{lirra::test::note(note).name == NoteName::b ? NoteName::a : NoteName::b, 1}));
        QCOMPARE(player->recordedFrames() - call, std::llround(beatsInFrames(0.75)));
        awaitTask(player->playNote(Note{NoteName::c, 0})); // room for the analysis window
        awaitTask(twin->playNote(Note{NoteName::c, 0}));

        // Silent before its lead-in, then sounding from within one block of it.
        const double expected = double(call) + beatsInFrames(MIDINotePlayer::beatPrecision);
        const std::int64_t onset = firstDifference(player->recording(), twin->recording(), call);
        QVERIFY2(onset >= expected && onset <= expected + block + voiceEmerges,
                 qPrintable(QStringLiteral("onset %1, expected %2").arg(onset).arg(expected)));
        QVERIFY(peak(player->recording(), call, onset) < 1e-4f);
        QVERIFY(peak(player->recording(), onset, onset + 4410) > 1e-2f);
        verifyPitches(player->recording(), onset, {key});
        // In tune: the fundamental of the sustained part within 5 cents.
        const double cents = centsFrom(mono(player->recording()), rate, onset + 2205, 13230, key);
        qInfo("key %d: %+.2f cents", key, cents);
        QVERIFY2(std::fabs(cents) <= 5.0, qPrintable(QStringLiteral("%1 cents").arg(cents)));
    }

    // A key pressed sounds with no lead-in, within two blocks (the one the
    // sequencer reads next, and the one its voice starts in); its pitch is
    // the key's, and it hands on after three quarters of a beat.
    void aKeySoundsAtOnce()
    {
        auto player = preparedOffline();
        auto twin = preparedOffline();
        awaitTask(player->playNote(Note{NoteName::c, 0}));
        awaitTask(twin->playNote(Note{NoteName::c, 0}));
        awaitTask(player->playCadence(Cadence{}));
        awaitTask(twin->playCadence(Cadence{}));
        const std::int64_t call = player->recordedFrames();
        awaitTask(player->playKey(Note{NoteName::e, 1}));
        awaitTask(twin->playKey(Note{NoteName::g, 1}));
        QCOMPARE(player->recordedFrames() - call, std::llround(beatsInFrames(0.75)));
        awaitTask(player->playNote(Note{NoteName::c, 0}));
        awaitTask(twin->playNote(Note{NoteName::c, 0}));
        const std::int64_t onset = firstDifference(player->recording(), twin->recording(), call);
        QVERIFY2(onset >= call && onset <= call + 2 * block + voiceEmerges,
                 qPrintable(QStringLiteral("onset %1 frames after the call").arg(onset - call)));
        verifyPitches(player->recording(), onset, {64});
    }

    // The pitch measure on tones whose pitch is known: pure and rich in
    // harmonics, in tune and detuned, with noise; within a cent.
    void aPitchMeasureToTrust_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<double>("cents");
        QTest::addColumn<int>("partials");
        QTest::newRow("a pure middle C") << 60 << 0.0 << 1;
        QTest::newRow("a pure A, 15 cents sharp") << 69 << 15.0 << 1;
        QTest::newRow("a low F, rich, 7.3 cents flat") << 53 << -7.3 << 8;
        QTest::newRow("a high B, rich, 15 cents sharp") << 83 << 15.0 << 8;
        QTest::newRow("a G, rich, 42 cents flat") << 55 << -42.0 << 8;
    }
    void aPitchMeasureToTrust()
    {
        QFETCH(int, key);
        QFETCH(double, cents);
        QFETCH(int, partials);
        const double f = keyFrequency(key) * std::pow(2.0, cents / 1200.0);
        std::vector<float> tone(static_cast<size_t>(rate));
        std::uint32_t noise = 12345;
        for (size_t i = 0; i < tone.size(); ++i) {
            double x = 0;
            for (int h = 1; h <= partials; ++h)
                x += std::sin(2.0 * std::numbers::pi * f * h * double(i) / rate + h) / h;
            noise = noise * 1664525u + 1013904223u;
            x += 0.02 * (double(noise >> 8) / double(1u << 24) - 0.5);
            tone[i] = float(0.3 * x);
        }
        const double measured = centsFrom(tone, rate, 4410, 13230, key);
        QVERIFY2(std::fabs(measured - cents) <= 1.0, qPrintable(QStringLiteral("%1 cents measured").arg(measured)));
    }

    void cadenceChords()
    {
        const Cadence cadence = DiatonicLevelGenerator::majorCadence(NoteName::c);
        const std::vector<std::vector<int>> expectedChords = {{60, 64, 67}, {60, 65, 69}, {59, 62, 67}, {60, 64, 67}};
        auto player = preparedOffline();
        awaitTask(player->playNote(Note{NoteName::c, 0})); // start at an arbitrary frame
        const std::int64_t call = player->recordedFrames();
        awaitTask(player->playCadence(cadence));
        // The wait lasts 0.25 s, then four beats and 0.25 s.
        QCOMPARE(player->recordedFrames() - call, std::llround(0.25 * rate) + std::llround(beatsInFrames(4) + 0.25 * rate));

        for (size_t k = 0; k < 4; ++k) {
            // A twin whose chord k is a semitone higher differs from chord k's onset on.
            Cadence moved = cadence;
            for (int &offset : moved.movement[k])
                offset += 1;
            auto twin = preparedOffline();
            awaitTask(twin->playNote(Note{NoteName::c, 0}));
            awaitTask(twin->playCadence(moved));
            const double expected = double(call) + 0.25 * rate + beatsInFrames(double(k));
            const std::int64_t onset = firstDifference(player->recording(), twin->recording(), call);
            QVERIFY2(onset >= expected && onset <= expected + block + voiceEmerges,
                     qPrintable(QStringLiteral("chord %1 onset %2, expected %3").arg(k).arg(onset).arg(expected)));
            verifyPitches(player->recording(), onset, expectedChords[k]);
        }
    }

    // Stopping ends a cadence under way at once: it answers that it was
    // stopped, none of its chords sound, and what is asked for next plays.
    void stopAllEndsWhatIsUnderWay_data()
    {
        QTest::addColumn<bool>("withANoteSounding");
        QTest::newRow("before the first chord") << false;
        QTest::newRow("while a note sounds") << true;
    }
    void stopAllEndsWhatIsUnderWay()
    {
        QFETCH(bool, withANoteSounding);
        auto player = preparedOffline();
        if (withANoteSounding)
            awaitTask(player->playNote(Note{NoteName::a, 1})); // still ringing afterwards
        const std::int64_t call = player->recordedFrames();
        std::optional<Result<void>> cadence;
        auto run = [](MIDINotePlayer *p, std::optional<Result<void>> *out) -> QCoro::Task<> {
            out->emplace(co_await p->playCadence(DiatonicLevelGenerator::majorCadence(NoteName::c)));
        };
        run(player.get(), &cadence);
        QVERIFY(!cadence); // waiting for its first chord
        player->stopAll();
        QVERIFY(spinUntil([&] { return cadence.has_value(); }));
        QCOMPARE(*cadence, Result<void>(std::unexpected(playbackStopped())));
        QCOMPARE(player->recordedFrames(), call); // it did not wait out its time

        // The next note plays, alone: no chord of the cadence sounds with it.
        QVERIFY(awaitTask(player->playNote(Note{NoteName::d, 1})));
        awaitTask(player->playCadence(Cadence{})); // silent room for the analysis
        const std::int64_t onset = call + std::llround(beatsInFrames(MIDINotePlayer::beatPrecision));
        QVERIFY(sounds(player->recording(), onset, 62));
        for (int chordKey : {64, 67, 65, 69})
            QVERIFY2(attackPower(player->recording(), call + std::llround(0.25 * rate), chordKey) < 1,
                     qPrintable(QString::number(chordKey)));
        // The room comes back with the next note: its reverb tail is as a
        // fresh player's.
        auto fresh = preparedOffline();
        const std::int64_t freshCall = fresh->recordedFrames();
        QVERIFY(awaitTask(fresh->playNote(Note{NoteName::d, 1})));
        awaitTask(fresh->playCadence(Cadence{}));
        const auto tail = [](const std::vector<float> &recording, std::int64_t from) {
            return peak(recording, from + std::llround(1.6 * rate), from + std::llround(2.0 * rate));
        };
        const float freshTail = tail(fresh->recording(), freshCall);
        const float afterStopTail = tail(player->recording(), call);
        QVERIFY2(freshTail > 0 && afterStopTail > freshTail / 2 && afterStopTail < freshTail * 2,
                 qPrintable(QStringLiteral("%1 vs %2").arg(afterStopTail).arg(freshTail)));
        // What was sounding fell silent at once: within a block, its
        // fundamental is down by far more than 20 dB.
        if (withANoteSounding) {
            const double before = power(player->recording(), call - 441, 441, keyFrequency(69));
            const double after = power(player->recording(), call + 64, 441, keyFrequency(69));
            QVERIFY2(after < before / 100, qPrintable(QStringLiteral("%1 then %2").arg(before).arg(after)));
        }
    }

    // Loud enough to hear at a normal volume, never clipped: every key's
    // cadence and its highest and lowest question notes peak between -6
    // and -1 dBFS.
    void loudness()
    {
        auto player = preparedOffline();
        float loudest = 0;
        float quietest = 1;
        QString quietestKey;
        DiatonicLevelGenerator generator;
        for (const Level &level : generator.generateLevels()) {
            if (level.isChromatic || level.notes.size() != 8)
                continue; // one level per key and mode, with its whole scale
            const std::int64_t from = player->recordedFrames();
            QVERIFY(awaitTask(player->playCadence(level.cadence)));
            QVERIFY(awaitTask(player->playNote(level.notes.front())));
            QVERIFY(awaitTask(player->playNote(level.notes.back())));
            const float top = peak(player->recording(), from, player->recordedFrames());
            loudest = std::max(loudest, top);
            if (top < quietest) {
                quietest = top;
                quietestKey = level.title();
            }
        }
        const auto dbfs = [](float value) { return 20.0 * std::log10(double(value)); };
        qInfo("peaks from %.1f dBFS (%s) to %.1f dBFS", dbfs(quietest), qPrintable(quietestKey), dbfs(loudest));
        QVERIFY2(dbfs(loudest) <= -1.0, qPrintable(QString::number(dbfs(loudest))));
        QVERIFY2(dbfs(quietest) >= -6.0, qPrintable(QString::number(dbfs(quietest))));
    }

    void beforePrepareNothingSoundsButTheWaitsHappen()
    {
        auto player = offline();
        awaitTask(player->playNote(Note{NoteName::a, 1}));
        QCOMPARE(player->recordedFrames(), std::llround(beatsInFrames(0.75)));
        // Equal cadences share their rendered chords.
        awaitTask(player->playCadence(DiatonicLevelGenerator::majorCadence(NoteName::g)));
        awaitTask(player->playCadence(DiatonicLevelGenerator().generateLevels()[134].cadence));
        QCOMPARE(player->renderedProgressions(), 1);
        awaitTask(player->playCadence(DiatonicLevelGenerator::minorCadence(NoteName::g)));
        QCOMPARE(player->renderedProgressions(), 2);
        QCOMPARE(peak(player->recording(), 0, player->recordedFrames()), 0.0f);
    }

    void realWaitsAreOnTime()
    {
        MIDINotePlayer::Options options;
        options.output = MIDINotePlayer::Output::live;
        MIDINotePlayer player(options);
        // Whether or not an output started here, it has settled: a note
        // waits for that, and then waits its time with or without sound.
        awaitTask(player.prepare());
        int otherTimerFired = 0;
        QTimer other;
        other.setInterval(5);
        connect(&other, &QTimer::timeout, [&] { ++otherTimerFired; });
        other.start();
        using namespace std::chrono;
        const auto nominal = duration<double>(MIDINotePlayer::secondsForBeats(0.75));
        for (int i = 0; i < 3; ++i) {
            const auto started = steady_clock::now();
            awaitTask(player.playNote(Note{NoteName::c, 1}));
            const auto took = steady_clock::now() - started;
            QVERIFY2(took >= nominal && took <= nominal + 30ms,
                     qPrintable(QStringLiteral("%1 ms").arg(duration<double, std::milli>(took).count())));
        }
        QVERIFY2(otherTimerFired > 100, qPrintable(QString::number(otherTimerFired)));
    }

    void noOutputFailsWithEveryReason()
    {
        // A sound server that is not there, an ALSA without configuration
        // and a driver that does not exist.
        QTemporaryDir dir;
        const QByteArray server = qgetenv("PULSE_SERVER");
        qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(dir.filePath(QStringLiteral("no-server"))));
        qputenv("ALSA_CONFIG_PATH", QFile::encodeName(dir.filePath(QStringLiteral("missing.conf"))));
        MIDINotePlayer::Options options;
        options.output = MIDINotePlayer::Output::live;
        options.drivers = {QStringLiteral("pulseaudio"), QStringLiteral("nosuchdriver"), QStringLiteral("alsa")};
        auto player = std::make_unique<MIDINotePlayer>(options);
        const Result<void> prepared = awaitTask(player->prepare());
        qunsetenv("ALSA_CONFIG_PATH");
        if (server.isNull())
            qunsetenv("PULSE_SERVER");
        else
            qputenv("PULSE_SERVER", server);
        QVERIFY(!prepared);
        // One plain sentence, and the drivers' own words for whoever asks.
        QCOMPARE(prepared.error().description, localized("soundOutputFailed"));
        const QString why = prepared.error().details;
        QVERIFY2(why.contains(QLatin1String("pulseaudio (")) && why.contains(QLatin1String("nosuchdriver ("))
                     && why.contains(QLatin1String("alsa (")),
                 qPrintable(why));
        QVERIFY(!player->isPrepared());
        // Still usable: waits happen, nothing sounds, teardown is safe.
        awaitTask(player->playNote(Note{NoteName::c, 1}));
        player.reset();
    }

    // Live, a stop silences a cadence in the middle of a chord: the block
    // being rendered when it comes is the last with sound in it, so what
    // is heard ends within one buffer.
    void liveStopSilencesAtOnce()
    {
        SoundServer server;
        if (!server.isRunning())
            QSKIP("no PulseAudio server could be started");
        MIDINotePlayer::Options options = onTheSoundServer();
        MIDINotePlayer player(options);
        QVERIFY(awaitTask(player.prepare()));
        QVERIFY(awaitTask(player.instrumentReady()));
        // A new stream takes a while to start on a null sink: a note first.
        QVERIFY(awaitTask(player.playNote(Note{NoteName::c, 1})));
        QVERIFY(spinUntil([&] { return player.renderMarks().firstSound.has_value(); }, 5000));
        QTest::qWait(2500);
        std::optional<Result<void>> cadence;
        auto run = [](MIDINotePlayer *p, std::optional<Result<void>> *out) -> QCoro::Task<> {
            out->emplace(co_await p->playCadence(DiatonicLevelGenerator::majorCadence(NoteName::c)));
        };
        run(&player, &cadence);
        QTest::qWait(1200); // the third chord sounds
        QVERIFY(!cadence);
        QVERIFY(player.renderMarks().lastSound);
        const auto stopped = std::chrono::steady_clock::now();
        player.stopAll();
        QVERIFY(spinUntil([&] { return cadence.has_value(); }, 1000));
        QCOMPARE(*cadence, Result<void>(std::unexpected(playbackStopped())));
        QTest::qWait(1500); // the rest of the cadence's time, and its reverb
        const auto last = *player.renderMarks().lastSound;
        const double after = std::chrono::duration<double, std::milli>(last - stopped).count();
        qInfo("last sound %.1f ms after the stop; one buffer is %.1f ms", after, player.outputLatencyMs());
        QVERIFY2(after <= player.outputLatencyMs(), qPrintable(QString::number(after)));
    }

    // A key pressed as soon as the window is there, before the output
    // started beside it has reported, waits for it and sounds.
    void liveKeyBeforeTheOutputHasStarted()
    {
        SoundServer server;
        if (!server.isRunning())
            QSKIP("no PulseAudio server could be started");
        MIDINotePlayer::Options options = onTheSoundServer();
        auto logger = std::make_shared<RecordingLogger>();
        options.logger = logger;
        MIDINotePlayer player(options);
        QVERIFY(!player.isPrepared());
        const Result<void> played = awaitTask(player.playKey(Note{NoteName::e, 1}));
        QVERIFY2(played, played ? "" : qPrintable(played.error().description));
        QVERIFY(player.isPrepared());
        QVERIFY(spinUntil([&] { return player.renderMarks().firstSound.has_value(); }, 5000));
        // It plays with the buffer the server granted; one that is not the
        // 512 frames asked for is logged once, however often it is prepared.
        QVERIFY(awaitTask(player.prepare()));
        const int granted = int(std::lround(player.outputLatencyMs() * 44.1));
        QVERIFY2(granted >= 128 && granted <= 4096, qPrintable(QString::number(granted)));
        const QStringList notices = logger->linesAt(LogLevel::warning).filter(QStringLiteral("🔈"));
        QCOMPARE(notices.size(), granted == 512 ? 0 : 1);
        if (granted != 512)
            QVERIFY2(notices.first().contains(QStringLiteral("%1 frames").arg(granted)), qPrintable(notices.first()));
    }

    // Live, the instrument loads beside the app: a bank missing is told by
    // `prepare`, a bank that only proves damaged when FluidSynth reads it is
    // told as soon as that is known, and every note after says so.
    void liveInstrumentFailures_data()
    {
        QTest::addColumn<bool>("damaged"); // else missing
        QTest::newRow("missing") << false;
        QTest::newRow("damaged inside") << true;
    }
    void liveInstrumentFailures()
    {
        QFETCH(bool, damaged);
        SoundServer server;
        if (!server.isRunning())
            QSKIP("no PulseAudio server could be started");
        QTemporaryDir files;
        const QString bank = files.filePath(QStringLiteral("bank.sf2"));
        if (damaged)
            writeAll(bank, QByteArray("RIFF\x10\0\0\0sfbkLIST", 16) + QByteArray(64, '\x7f'));
        MIDINotePlayer::Options options = onTheSoundServer();
        options.soundFont = bank;
        options.fallbackSoundFonts = {files.filePath(QStringLiteral("none.sf2"))};
        MIDINotePlayer player(options);
        const Result<void> prepared = awaitTask(player.prepare());
        QCOMPARE(prepared.has_value(), damaged);
        const Result<void> ready = awaitTask(player.instrumentReady());
        QVERIFY(!ready);
        QCOMPARE(ready.error().description, localized("instrumentFailed"));
        QVERIFY2(ready.error().details.contains(bank + (damaged ? QStringLiteral(": it is damaged") : QStringLiteral(": there is no such file"))),
                 qPrintable(ready.error().details));
        const Result<void> played = awaitTask(player.playNote(Note{NoteName::c, 1}));
        QVERIFY(!played);
        QCOMPARE(played.error(), ready.error());
    }

    // On a real sound server: the renderer sleeps until a note is due, wakes
    // for it, sounds it after its lead-in, and sleeps again once the note and
    // its reverb are over.
    void liveOutputSleepsWhenIdle()
    {
        SoundServer server;
        if (!server.isRunning())
            QSKIP("no PulseAudio server could be started");
        MIDINotePlayer::Options options = onTheSoundServer();
        MIDINotePlayer player(options);
        const Result<void> prepared = awaitTask(player.prepare());
        QVERIFY2(prepared, prepared ? "" : qPrintable(prepared.error().description));
        QCOMPARE(player.driverName(), QStringLiteral("pulseaudio"));
        // A fresh null sink starts its first stream within two seconds.
        QTest::qWait(2500);
        QVERIFY(!player.renderMarks().wokeUp); // asleep since its first silent blocks

        using Clock = std::chrono::steady_clock;
        // The lead-in, in the output's blocks.
        const double blockFrames = player.outputBlockFrames();
        const double leadBlocks = MIDINotePlayer::secondsForBeats(MIDINotePlayer::beatPrecision) * 44100.0 / blockFrames;
        for (int note = 0; note < 2; ++note) {
            const Clock::time_point asked = Clock::now();
            player.playNote(Note{NoteName::g, 1});
            QVERIFY(spinUntil([&] { return player.renderMarks().firstSound > asked; }, 2000));
            const auto marks = player.renderMarks();
            // It woke for the note, and the note starts after its lead-in,
            // counted in the blocks rendered since: the output's own time,
            // which a busy machine cannot stretch.
            QVERIFY(marks.wokeUp && *marks.wokeUp > asked);
            const double blocksToSound = double(marks.firstSoundAtBlock - marks.wokeAtBlock);
            QVERIFY2(blocksToSound >= std::floor(leadBlocks) && blocksToSound <= std::ceil(leadBlocks) + 1,
                     qPrintable(QStringLiteral("%1 blocks for a lead-in of %2").arg(blocksToSound).arg(leadBlocks)));
            // A beat of note and two seconds of reverb, then the renderer
            // sleeps: it hands the output no block, not even a silent one,
            // however busy the machine is meanwhile.
            QVERIFY2(spinUntil([&] { return player.renderMarks().asleep; }, 8000), "the renderer never went to sleep");
            const std::uint64_t asleepAt = player.renderMarks().blocks;
            QTest::qWait(1000);
            QCOMPARE(player.renderMarks().blocks, asleepAt);
            QVERIFY(player.renderMarks().asleep);
        }
    }

    // The live output counts the blocks that took longer to render than
    // they last: none while it keeps up, each one starved on purpose.
    void underrunsCounted_data()
    {
        QTest::addColumn<int>("stalledBlocks");
        QTest::addColumn<int>("stallMs");
        QTest::newRow("kept up") << 0 << 0;
        QTest::newRow("three blocks held back 40 ms each") << 3 << 40;
        QTest::newRow("one block held back 30 ms") << 1 << 30;
    }
    void underrunsCounted()
    {
        QFETCH(int, stalledBlocks);
        QFETCH(int, stallMs);
        SoundServer server;
        if (!server.isRunning())
            QSKIP("no PulseAudio server could be started");
        MIDINotePlayer player(onTheSoundServer());
        const Result<void> prepared = awaitTask(player.prepare());
        QVERIFY2(prepared, prepared ? "" : qPrintable(prepared.error().description));
        QTest::qWait(2500);
        QCOMPARE(player.renderMarks().underruns, 0u);
        // Two notes, the second while the first still sounds; the stall
        // comes once the first is under way, so the stream is running.
        player.playKey(Note{NoteName::c, 1});
        QVERIFY(spinUntil([&] { return player.renderMarks().firstSound.has_value(); }, 2000));
        QTest::qWait(100);
        player.stallRendering(stalledBlocks, std::chrono::milliseconds(stallMs));
        player.playKey(Note{NoteName::e, 1});
        QVERIFY2(spinUntil([&] { return player.renderMarks().asleep; }, 8000), "the renderer never went to sleep");
        QCOMPARE(player.renderMarks().underruns, std::uint64_t(stalledBlocks));
    }

    // With no bank to play, the player says so, naming each file and what is
    // wrong with it, instead of playing silence; another bank that loads
    // stands in with a warning.
    void missingInstrument_data()
    {
        QTest::addColumn<QString>("instrument");
        QTest::addColumn<QString>("fallback");
        QTest::addColumn<QString>("problem"); // empty when a bank loads
        QTest::addColumn<QString>("warning");
        QTest::newRow("no instrument anywhere")
            << "/nonexistent/sound_font.sf2" << "/nonexistent/default.sf2"
            << "No instrument could be loaded, so nothing would sound: /nonexistent/sound_font.sf2: there is no such "
               "file; /nonexistent/default.sf2: there is no such file."
            << "";
        QTest::newRow("a folder and a damaged bank")
            << "folder" << "damaged"
            << "No instrument could be loaded, so nothing would sound: folder: it is a folder; damaged: it is damaged"
            << "";
        QTest::newRow("not a SoundFont, then the system's bank")
            << "not a bank" << LIRRA_TEST_SOUND_FONT << "" << "not a bank could not be loaded (not a bank: it is not a SoundFont file); using";
    }
    void missingInstrument()
    {
        QFETCH(QString, instrument);
        QFETCH(QString, fallback);
        QFETCH(QString, problem);
        QFETCH(QString, warning);
        QTemporaryDir files;
        const auto place = [&files](QString name) {
            if (name == QLatin1String("folder")) {
                QDir().mkpath(files.filePath(name));
            } else if (name == QLatin1String("damaged")) {
                writeAll(files.filePath(name), QByteArray("RIFF\x10\0\0\0sfbkLIST", 16) + QByteArray(64, '\x7f'));
            } else if (name == QLatin1String("not a bank")) {
                writeAll(files.filePath(name), "MThd this is a MIDI file");
            } else {
                return name;
            }
            return files.filePath(name);
        };
        instrument = place(instrument);
        fallback = place(fallback);
        problem.replace(QLatin1String("folder:"), files.filePath(QStringLiteral("folder:")))
            .replace(QLatin1String("damaged:"), files.filePath(QStringLiteral("damaged:")));
        warning.replace(QLatin1String("not a bank"), files.filePath(QStringLiteral("not a bank")));

        auto logger = std::make_shared<RecordingLogger>();
        MIDINotePlayer::Options options;
        options.output = MIDINotePlayer::Output::offline;
        options.soundFont = instrument;
        options.fallbackSoundFonts = {fallback};
        options.logger = logger;
        MIDINotePlayer player(options);
        const Result<void> prepared = awaitTask(player.prepare());
        const Result<void> played = awaitTask(player.playNote(Note{NoteName::e, 1}));
        if (problem.isEmpty()) {
            QVERIFY(prepared && played);
            QCOMPARE(logger->linesAt(LogLevel::warning).size(), 1);
            QVERIFY2(logger->linesAt(LogLevel::warning).front().contains(warning),
                     qPrintable(logger->linesAt(LogLevel::warning).front() + QStringLiteral(" lacks ") + warning));
            QVERIFY(peak(player.recording(), 0, player.recordedFrames()) > 1e-2f);
        } else {
            QVERIFY(!prepared && !played);
            QCOMPARE(prepared.error().description, localized("instrumentFailed"));
            QVERIFY2(prepared.error().details.startsWith(problem), qPrintable(prepared.error().details));
            QCOMPARE(played.error(), prepared.error());
            QCOMPARE(peak(player.recording(), 0, player.recordedFrames()), 0.0f);
            // Once the bank is put right, preparing again loads it.
            QFile::remove(fallback);
            QVERIFY(QFile::link(QStringLiteral(LIRRA_TEST_SOUND_FONT), fallback) || !fallback.startsWith(files.path()));
            if (fallback.startsWith(files.path())) {
                QVERIFY(awaitTask(player.prepare()));
                QVERIFY(awaitTask(player.playNote(Note{NoteName::e, 1})));
            }
        }
    }
};

LIRRA_TEST(NotePlayerTest)
#include "note_player_test.moc"
