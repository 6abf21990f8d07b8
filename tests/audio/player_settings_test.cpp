#include "support/audio_analysis.h"
#include "support/await.h"
#include "support/fakes.h"
#include "support/sound_server.h"
#include "support/test_registry.h"

#include "audio/midi_note_player.h"
#include "model/generators.h"

#include <QTest>

#include <cmath>

using namespace lirra;
using namespace lirra::test;

namespace {

constexpr double block = 64;

std::unique_ptr<MIDINotePlayer> prepared(const Settings &settings, std::shared_ptr<Logger> logger = nullptr)
{
    MIDINotePlayer::Options options;
    options.output = MIDINotePlayer::Output::offline;
    options.logger = std::move(logger);
    auto player = std::make_unique<MIDINotePlayer>(options);
    player->apply(settings);
    if (const Result<void> ready = awaitTask(player->prepare()); !ready)
        qFatal("prepare failed: %s", qPrintable(ready.error().description));
    return player;
}

Settings withTempo(int tempo)
{
    Settings settings;
    settings.tempo = tempo;
    return settings;
}

double decibels(double ratio)
{
    return 20.0 * std::log10(ratio);
}

// The root-mean-square level of a stretch of the recording.
double rms(const std::vector<float> &stereo, std::int64_t from, std::int64_t to)
{
    double sum = 0;
    std::int64_t count = 0;
    for (std::int64_t i = from * 2; i < to * 2 && size_t(i) < stereo.size(); ++i, ++count)
        sum += double(stereo[size_t(i)]) * double(stereo[size_t(i)]);
    return count ? std::sqrt(sum / double(count)) : 0;
}

// The powers of a note's first harmonics relative to its fundamental, in dB.
std::vector<double> harmonicProfile(const std::vector<float> &stereo, std::int64_t from, int key)
{
    constexpr std::int64_t window = 8192;
    const double fundamental = power(stereo, from, window, keyFrequency(key));
    std::vector<double> profile;
    for (int harmonic = 2; harmonic <= 8; ++harmonic)
        profile.push_back(10.0 * std::log10((power(stereo, from, window, harmonic * keyFrequency(key)) + 1e-12) / fundamental));
    return profile;
}

} // namespace

class PlayerSettingsTest : public QObject {
    Q_OBJECT

private slots:
    // The cadence's chords follow each other a beat apart at the tempo, and
    // every wait lasts its beats at that tempo.
    void tempo_data()
    {
        QTest::addColumn<int>("tempo");
        QTest::newRow("60 BPM") << 60;
        QTest::newRow("110 BPM") << 110;
        QTest::newRow("200 BPM") << 200;
    }
    void tempo()
    {
        QFETCH(int, tempo);
        const Cadence cadence = DiatonicLevelGenerator::majorCadence(NoteName::c);
        auto player = prepared(withTempo(tempo));
        awaitTask(player->playNote(Note{NoteName::c, 0})); // an arbitrary start
        const std::int64_t call = player->recordedFrames();
        awaitTask(player->playCadence(cadence));
        const double beat = MIDINotePlayer::secondsForBeats(1, tempo) * rate;
        QCOMPARE(player->recordedFrames() - call, std::llround(0.25 * rate) + std::llround(4 * beat + 0.25 * rate));
        const std::int64_t note = player->recordedFrames();
        awaitTask(player->playNote(Note{NoteName::e, 1}));
        QCOMPARE(player->recordedFrames() - note, std::llround(0.75 * beat));
        const std::int64_t pause = player->recordedFrames();
        awaitTask(player->rest(2));
        QCOMPARE(player->recordedFrames() - pause, std::llround(2 * beat));

        // Each chord's onset, found where a twin whose chord k is a semitone
        // higher first differs.
        std::vector<std::int64_t> onsets;
        for (size_t k = 0; k < cadence.movement.size(); ++k) {
            Cadence moved = cadence;
            for (int &offset : moved.movement[k])
                offset += 1;
            auto twin = prepared(withTempo(tempo));
            awaitTask(twin->playNote(Note{NoteName::c, 0}));
            awaitTask(twin->playCadence(moved));
            onsets.push_back(firstDifference(player->recording(), twin->recording(), call));
        }
        QString measured;
        for (size_t k = 1; k < onsets.size(); ++k) {
            const double interval = double(onsets[k] - onsets[k - 1]);
            measured += QStringLiteral(" %1").arg(interval / rate * 1000.0, 0, 'f', 1);
            QVERIFY2(std::fabs(interval - beat) <= block,
                     qPrintable(QStringLiteral("chord %1 came %2 frames after the one before, a beat is %3").arg(k).arg(interval).arg(beat)));
        }
        qInfo("%d BPM: a beat is %.1f ms; chords came after%s ms", tempo, beat / rate * 1000.0, qPrintable(measured));
    }

    // The question note stands out from every other note by the emphasis.
    void emphasis_data()
    {
        QTest::addColumn<int>("emphasis");
        QTest::addColumn<int>("key");
        for (int emphasis : {0, 3, 6, 9, 12}) {
            QTest::addRow("%d dB, E", emphasis) << emphasis << 64;
            QTest::addRow("%d dB, low A", emphasis) << emphasis << 57;
        }
    }
    void emphasis()
    {
        QFETCH(int, emphasis);
        QFETCH(int, key);
        Settings settings;
        settings.questionEmphasis = emphasis;
        auto player = prepared(settings);
        const Note note{static_cast<NoteName>(12 + key % 12), std::uint8_t(key / 12 - 4)};
        QCOMPARE(MIDINotePlayer::keyNumber(note), key);
        const std::int64_t plain = player->recordedFrames();
        awaitTask(player->playNote(note));
        awaitTask(player->rest(3));
        const std::int64_t question = player->recordedFrames();
        awaitTask(player->playQuestionNote(note));
        awaitTask(player->rest(3));
        const double raised = decibels(double(peak(player->recording(), question, player->recordedFrames()))
                                       / double(peak(player->recording(), plain, question)));
        qInfo("emphasis %d dB: the question note peaks %.2f dB above a key press", emphasis, raised);
        QVERIFY2(std::fabs(raised - emphasis) <= 1.0, qPrintable(QString::number(raised)));
    }

    // The drone sounds the tonic and the fifth under the question and the
    // answer when it is on, soft enough not to mask the question note; the
    // stop ends it.
    void drone()
    {
        struct Heard {
            double tonicInQuestion, tonicInAnswer, fifthInAnswer; // power at the drone's pitches
            double droneLevel, questionLevel;                     // RMS over half a second
            bool silentAfterStop;
        };
        const auto render = [](bool on) {
            Settings settings;
            settings.drone = on;
            auto player = prepared(settings);
            // The drone alone first, then the cadence over it.
            player->holdDrone(NoteName::d);
            awaitTask(player->rest(4));
            const double droneLevel = rms(player->recording(), player->recordedFrames() - 22050, player->recordedFrames());
            awaitTask(player->playCadence(DiatonicLevelGenerator::majorCadence(NoteName::d)));
            player->holdDrone(NoteName::d); // the first question: it holds on
            const std::int64_t question = player->recordedFrames();
            awaitTask(player->playQuestionNote(Note{NoteName::fSharp, 1}));
            awaitTask(player->rest(3));
            const std::int64_t answer = player->recordedFrames();
            player->holdDrone(NoteName::d); // the next question: it holds on
            awaitTask(player->playNote(Note{NoteName::fSharp, 1}));
            awaitTask(player->rest(3));
            player->stopAll();
            awaitTask(player->rest(1));
            const std::int64_t stopped = player->recordedFrames();
            awaitTask(player->rest(2));
            const auto &r = player->recording();
            constexpr int tonic = 38; // D an octave and a seventh below middle C
            return Heard{power(r, question + 4410, 16384, keyFrequency(tonic)), power(r, answer + 4410, 16384, keyFrequency(tonic)),
                         power(r, answer + 4410, 16384, keyFrequency(tonic + 7)), droneLevel,
                         rms(r, question + 2205, question + 2205 + 22050),
                         peak(r, stopped, player->recordedFrames()) < 1e-4f};
        };
        const Heard on = render(true);
        const Heard off = render(false);
        const double tonicRise = 10 * std::log10(std::min(on.tonicInQuestion / off.tonicInQuestion, on.tonicInAnswer / off.tonicInAnswer));
        const double fifthRise = 10 * std::log10(on.fifthInAnswer / off.fifthInAnswer);
        const double below = decibels(on.questionLevel / on.droneLevel);
        qInfo("with the drone the tonic is %.1f dB and the fifth %.1f dB stronger; the drone sounds %.1f dB below the question note",
              tonicRise, fifthRise, below);
        QVERIFY2(tonicRise > 15 && fifthRise > 10, qPrintable(QStringLiteral("%1 %2").arg(tonicRise).arg(fifthRise)));
        QVERIFY2(below >= 12.0, qPrintable(QString::number(below)));
        QVERIFY(off.droneLevel < 1e-6);
        QVERIFY(on.silentAfterStop && off.silentAfterStop);
    }

    // Turning the drone off lets it die away at once, mid-session.
    void droneTurnedOff()
    {
        Settings settings;
        settings.drone = true;
        auto player = prepared(settings);
        player->holdDrone(NoteName::c);
        awaitTask(player->rest(2));
        QVERIFY(peak(player->recording(), 0, player->recordedFrames()) > 1e-3f);
        settings.drone = false;
        player->apply(settings);
        awaitTask(player->rest(8)); // the release
        const std::int64_t from = player->recordedFrames();
        player->holdDrone(NoteName::c); // the next question: none now
        awaitTask(player->rest(2));
        QVERIFY(peak(player->recording(), from, player->recordedFrames()) < 1e-4f);
    }

    // A chosen preset plays on the instrument's and the question's channels
    // and sounds unlike the piano; one the bank lacks falls back to the piano.
    void instrument_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("played");
        QTest::newRow("piano") << "0:0" << "0:0";
        QTest::newRow("strings") << "0:48" << "0:48";
        QTest::newRow("flute") << "0:73" << "0:73";
        QTest::newRow("not in the bank") << "5:77" << "0:0";
    }
    void instrument()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, played);
        Settings settings;
        settings.instrument = *presetFromText(chosen);
        auto logger = std::make_shared<RecordingLogger>();
        auto player = prepared(settings, logger);
        const QStringList lines = logger->linesAt(LogLevel::warning);
        for (int channel : {MIDINotePlayer::instrumentChannel, MIDINotePlayer::questionChannel})
            QCOMPARE(player->presetOn(channel), presetFromText(played));
        QCOMPARE(lines.filter(QStringLiteral("has no instrument")).size(), chosen == played ? 0 : 1);

        auto piano = prepared(Settings{});
        const Note note{NoteName::a, 1};
        for (MIDINotePlayer *each : {player.get(), piano.get()}) {
            awaitTask(each->playQuestionNote(note));
            awaitTask(each->rest(2));
        }
        const auto profile = harmonicProfile(player->recording(), 4410, 69);
        const auto pianos = harmonicProfile(piano->recording(), 4410, 69);
        double largest = 0;
        for (size_t i = 0; i < profile.size(); ++i)
            largest = std::max(largest, std::fabs(profile[i] - pianos[i]));
        qInfo("%s: its harmonics differ from the piano's by up to %.1f dB", qPrintable(played), largest);
        if (played == QLatin1String("0:0"))
            QVERIFY2(largest < 0.01, qPrintable(QString::number(largest)));
        else
            QVERIFY2(largest > 6.0, qPrintable(QString::number(largest)));
    }

    // The list offered to choose from is the bank's own, without drum kits.
    void instrumentsOfTheBank()
    {
        MIDINotePlayer::Options options;
        options.output = MIDINotePlayer::Output::offline;
        MIDINotePlayer player(options);
        QVERIFY(player.instruments().empty()); // nothing loaded yet
        QVERIFY(awaitTask(player.prepare()));
        const std::vector<InstrumentChoice> choices = player.instruments();
        QVERIFY2(choices.size() >= 128, qPrintable(QString::number(choices.size())));
        QCOMPARE(choices.front().preset, Preset{});
        QVERIFY(!choices.front().name.isEmpty());
        QVERIFY(std::none_of(choices.begin(), choices.end(), [](const InstrumentChoice &c) { return c.preset.bank == 128; }));
        QVERIFY(std::any_of(choices.begin(), choices.end(), [](const InstrumentChoice &c) { return c.preset == Preset{0, 48}; }));
    }

    // Live, the instrument loads beside the app: its list is there once it
    // has loaded, before anything has played, and the chosen preset is on
    // the channel by the first note.
    void liveInstrumentsBeforeAnyNote()
    {
        SoundServer server;
        if (!server.isRunning())
            QSKIP("no PulseAudio server could be started");
        MIDINotePlayer::Options options;
        options.drivers = {QStringLiteral("pulseaudio")};
        MIDINotePlayer player(options);
        Settings settings;
        settings.instrument = Preset{0, 40};
        player.apply(settings);
        QVERIFY(awaitTask(player.prepare()));
        QVERIFY(spinUntil([&] { return !player.instruments().empty(); }, 10000));
        QVERIFY(player.instruments().size() >= 128);
        QVERIFY(awaitTask(player.playNote(Note{NoteName::a, 1})));
        QCOMPARE(player.presetOn(MIDINotePlayer::instrumentChannel), std::optional(Preset{0, 40}));
    }

    // The volume scales everything, from silence to the full level, and the
    // loudest question never clips.
    void volume_data()
    {
        QTest::addColumn<int>("volume");
        QTest::addColumn<double>("belowFull");
        QTest::newRow("full") << 100 << 0.0;
        QTest::newRow("half") << 50 << 18.06;
        QTest::newRow("a tenth") << 10 << 60.0;
        QTest::newRow("silent") << 0 << 1000.0;
    }
    void volume()
    {
        QFETCH(int, volume);
        QFETCH(double, belowFull);
        Settings settings;
        settings.volume = volume;
        auto player = prepared(settings);
        auto full = prepared(Settings{});
        const Cadence cadence = DiatonicLevelGenerator::majorCadence(NoteName::g);
        for (MIDINotePlayer *each : {player.get(), full.get()})
            awaitTask(each->playCadence(cadence));
        const float top = peak(full->recording(), 0, full->recordedFrames());
        const float own = peak(player->recording(), 0, player->recordedFrames());
        if (volume == 0) {
            QCOMPARE(own, 0.0f);
            return;
        }
        const double below = decibels(double(top) / double(own));
        QVERIFY2(std::fabs(below - belowFull) <= 0.5, qPrintable(QString::number(below)));
    }

    void loudestSettingsNeverClip()
    {
        Settings settings;
        settings.questionEmphasis = Settings::maxEmphasis;
        settings.drone = true;
        auto player = prepared(settings);
        float loudest = 0;
        for (const Level &level : DiatonicLevelGenerator().generateLevels()) {
            if (level.isChromatic || level.notes.size() != 8)
                continue;
            const std::int64_t from = player->recordedFrames();
            awaitTask(player->playCadence(level.cadence));
            player->holdDrone(level.key);
            for (const Note &note : level.notes)
                awaitTask(player->playQuestionNote(note));
            player->stopAll();
            loudest = std::max(loudest, peak(player->recording(), from, player->recordedFrames()));
        }
        qInfo("with the drone and the most emphasis, every key peaks at or below %.1f dBFS", decibels(double(loudest)));
        QVERIFY2(loudest < 0.95f, qPrintable(QString::number(double(loudest))));
    }
};

LIRRA_TEST(PlayerSettingsTest)
#include "player_settings_test.moc"
