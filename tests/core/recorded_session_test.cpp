#include "support/audio_analysis.h"
#include "support/await.h"
#include "support/fakes.h"
#include "support/notes.h"
#include "support/test_registry.h"

#include "core/app_loop.h"
#include "core/production_environment.h"
#include "practice/settings_preferences.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace lirra;
using namespace lirra::test;

namespace {

constexpr double rate = 44100;

double beats(double count)
{
    return MIDINotePlayer::secondsForBeats(count) * rate;
}

// The whole app without a window: the real loop, effect handler, practice
// manager, session files and preferences in a temporary home, and the note
// player rendering offline on its virtual clock.
struct HeadlessApp {
    explicit HeadlessApp(const QString &home, MIDINotePlayer::Options player = offlineOptions())
    {
        const QString documents = home + QStringLiteral("/Documents");
        QDir().mkpath(documents);
        EnvironmentSetup setup;
        setup.player = player;
        setup.documentsFolder = [documents]() -> Result<QString> { return documents; };
        setup.preferences = std::make_shared<SettingsPreferences>(home + QStringLiteral("/lirra.json"));
        setup.logger = logger;
        environment = makeEnvironment(setup);
        notePlayer = static_cast<MIDINotePlayer *>(environment.notePlayer.get());
        loop = std::make_unique<AppLoop>(environment, AppState{});
        loop->delegate = AppLoopDelegate{[this](const AppState &state) {
            published.push_back({state, notePlayer->recordedFrames()});
        }};
    }
    ~HeadlessApp()
    {
        drainEvents();
        loop.reset();
    }

    static MIDINotePlayer::Options offlineOptions()
    {
        MIDINotePlayer::Options options;
        options.output = MIDINotePlayer::Output::offline;
        return options;
    }

    const AppState &state() const { return loop->state(); }
    bool waitFor(const std::function<bool(const AppState &)> &condition)
    {
        return spinUntil([&] { return condition(state()); }, 60000);
    }

    struct Published {
        AppState state;
        std::int64_t frame;
    };

    std::shared_ptr<RecordingLogger> logger = std::make_shared<RecordingLogger>();
    AppEnvironment environment;
    MIDINotePlayer *notePlayer = nullptr;
    std::unique_ptr<AppLoop> loop;
    std::vector<Published> published;
};

// Something that should sound at a frame, and its keys.
struct Expected {
    QString what;
    double frame;
    std::vector<int> keys;
};

// A call to the note player, as the session should have made it.
struct Call {
    std::optional<Cadence> cadence;
    Note note;
};

} // namespace

class RecordedSessionTest : public QObject {
    Q_OBJECT

private slots:
    void aPracticeSessionEndToEnd()
    {
        QTemporaryDir home;
        QElapsedTimer wallClock;
        wallClock.start();
        auto app = std::make_unique<HeadlessApp>(home.path());

        // Start-up resumes at the first level and starts the first-run tour.
        app->loop->send(actions::didLoad{});
        QVERIFY(app->waitFor([](const AppState &s) { return s.level || s.hasError; }));
        QVERIFY(!app->state().hasError);
        const QStringList log = app->logger->linesAt(LogLevel::standard);
        QCOMPARE(log.value(0), QStringLiteral("✅  didLoad"));
        QCOMPARE(log.value(1), QStringLiteral("✅ didLoadLevel - 1 - C major"));
        const Level level = *app->state().level;
        QCOMPARE(level.notes, notes("C1 D1 E1 F1"));
        int tips = 0;
        while (app->state().currentTip) {
            app->loop->send(actions::didDismissTip{});
            ++tips;
        }
        QCOMPARE(tips, 12);
        QVERIFY(app->state().isInteractionEnabled);

        app->loop->send(actions::didPressStartStopLevelButton{});
        std::vector<Expected> expected;
        std::unordered_map<Note, Score> counts;
        const std::vector<std::vector<int>> chords = MIDINotePlayer::chords(level.cadence);
        std::int64_t questionsAsked = 0;
        std::vector<Call> script;
        for (bool wrongFirst : {true, false, true, false, true}) {
            QVERIFY(app->waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }));
            const Question question = *app->state().question;
            // When the question arrived, its cadence began.
            const auto asked = std::find_if(app->published.begin(), app->published.end(), [&](const auto &p) {
                return p.state.question && p.state.question->id == question.id;
            });
            const double cadence = double(asked->frame);
            for (size_t k = 0; k < chords.size(); ++k)
                expected.push_back({QStringLiteral("chord %1").arg(k), cadence + 0.25 * rate + beats(double(k)), chords[k]});
            const double noteCall = cadence + std::llround(0.25 * rate) + std::llround(beats(4) + 0.25 * rate);
            expected.push_back({QStringLiteral("question"), noteCall + beats(0.05), {MIDINotePlayer::keyNumber(question.answer)}});
            script.push_back({level.cadence, {}});
            script.push_back({std::nullopt, question.answer});

            if (wrongFirst) {
                const Note wrong = question.answer == level.notes.front() ? level.notes.back() : level.notes.front();
                expected.push_back({QStringLiteral("wrong key"), double(app->notePlayer->recordedFrames()) + beats(0.05),
                                    {MIDINotePlayer::keyNumber(wrong)}});
                script.push_back({std::nullopt, wrong});
                app->loop->send(actions::didPressNote{wrong});
                QCOMPARE(app->state().highlightedNote, std::optional(Highlight{wrong, PaletteColor::red}));
                QVERIFY(app->waitFor([](const AppState &s) { return s.isInteractionEnabled; }));
                QCOMPARE(app->state().question, std::optional(question));
                QCOMPARE(app->state().highlightedNote, std::optional(Highlight{wrong, PaletteColor::red}));
                counts[question.answer].wrong += 1;
            } else {
                counts[question.answer].correct += 1;
            }

            const size_t before = app->published.size();
            app->loop->send(actions::didPressNote{question.answer});
            QVERIFY(app->waitFor([&](const AppState &s) {
                return s.question && s.question->id != question.id && s.isInteractionEnabled;
            }));
            // Each resolution note lit green in turn, one state per step.
            std::vector<Note> lit;
            for (size_t i = before + 1; i < app->published.size(); ++i) {
                const auto &[state, frame] = app->published[i];
                if (!state.highlightedNote || state.highlightedNote->color != PaletteColor::green)
                    continue;
                if (state.currentlyPlayingResolution.size() + lit.size() + 1 != question.resolution.size())
                    continue; // the state that started the chain, before the first step
                lit.push_back(state.highlightedNote->note);
                script.push_back({std::nullopt, state.highlightedNote->note});
                expected.push_back({QStringLiteral("resolution %1").arg(lit.size()), double(frame) + beats(0.05),
                                    {MIDINotePlayer::keyNumber(state.highlightedNote->note)}});
            }
            QCOMPARE(lit, question.resolution);
            // Only the first answer to each question counts.
            ++questionsAsked;
            QCOMPARE(app->state().questionsCount, questionsAsked);
        }

        // The next question was asked before the stop.
        script.push_back({level.cadence, {}});
        script.push_back({std::nullopt, app->state().question->answer});
        app->loop->send(actions::didPressStartStopLevelButton{});
        QVERIFY(app->waitFor([](const AppState &s) { return !s.isPracticing && s.level && !s.level->sessions.empty(); }));
        const double lengthSeconds = double(app->notePlayer->recordedFrames()) / rate;
        qInfo("recorded %.1f s of practice in %.2f s", lengthSeconds, double(wallClock.elapsed()) / 1000.0);

        // One line in the level's file, holding what was answered.
        QFile file(home.path() + QStringLiteral("/Documents/lirra_sessions/sessions_1.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 2);
        const auto stored = FileSessionStorage::parseLine(QString::fromLatin1(lines[0]));
        QVERIFY(stored);
        QCOMPARE(stored->score, counts);
        const Level stopped = *app->state().level;
        QCOMPARE(stopped.sessions.back().score, counts);
        QCOMPARE(app->state().accuracy, float(stopped.statistics().accuracy));
        QCOMPARE(app->state().accuracyPerNote, stopped.statistics().accuracyPerNote);

        // What was heard is exactly those calls, back to back: a fresh player
        // given them renders the same recording, sample for sample.
        const std::vector<float> &recording = app->notePlayer->recording();
        MIDINotePlayer reference(HeadlessApp::offlineOptions());
        QVERIFY(awaitTask(reference.prepare()));
        for (const Call &call : script) {
            if (call.cadence)
                awaitTask(reference.playCadence(*call.cadence));
            else
                awaitTask(reference.playNote(call.note));
        }
        QCOMPARE(reference.recordedFrames(), app->notePlayer->recordedFrames());
        QVERIFY(reference.recording() == recording);

        // Every chord, question, wrong key and resolution note at its time,
        // with its pitches.
        for (const Expected &e : expected) {
            for (int key : e.keys)
                QVERIFY2(sounds(recording, std::int64_t(e.frame), key), qPrintable(QStringLiteral("%1: key %2").arg(e.what).arg(key)));
        }
        // Resolution steps follow each other 0.75 beat apart.
        for (size_t i = 1; i < expected.size(); ++i) {
            if (expected[i].what.startsWith(QLatin1String("resolution ")) && expected[i].what != QLatin1String("resolution 1"))
                QCOMPARE(std::llround(expected[i].frame - expected[i - 1].frame), std::llround(beats(0.75)));
        }

        // A later run over the same home resumes there, with the session in its history.
        const float accuracy = app->state().accuracy;
        app.reset();
        HeadlessApp again(home.path());
        again.loop->send(actions::didLoad{});
        QVERIFY(again.waitFor([](const AppState &s) { return s.level || s.hasError; }));
        QCOMPARE(again.state().level->id, 1);
        QCOMPARE(again.state().level->sessions.size(), size_t(1));
        QCOMPARE(again.state().accuracy, accuracy);
        QVERIFY(!again.state().currentTip);
        QVERIFY(again.state().isInteractionEnabled);
    }

    void storageThatCannotBeWritten()
    {
        QTemporaryDir home;
        HeadlessApp app(home.path());
        app.loop->send(actions::didLoad{});
        QVERIFY(app.waitFor([](const AppState &s) { return s.level.has_value(); }));
        while (app.state().currentTip)
            app.loop->send(actions::didDismissTip{});
        app.loop->send(actions::didPressStartStopLevelButton{});
        QVERIFY(app.waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }));
        const Question question = *app.state().question;
        const Note wrong = question.answer == Note{NoteName::c, 1} ? Note{NoteName::d, 1} : Note{NoteName::c, 1};
        app.loop->send(actions::didPressNote{wrong});
        QVERIFY(app.waitFor([](const AppState &s) { return s.isInteractionEnabled; }));
        QCOMPARE(app.state().highlightedNote, std::optional(Highlight{wrong, PaletteColor::red}));

        // The folder of the session files becomes a plain file.
        const QString folder = home.path() + QStringLiteral("/Documents/lirra_sessions");
        QVERIFY(QDir(folder).removeRecursively());
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        app.loop->send(actions::didPressStartStopLevelButton{});
        QVERIFY(app.waitFor([](const AppState &s) { return s.hasError; }));
        QVERIFY(app.state().error->description.contains(folder));
        QCOMPARE(app.state().question, std::optional(question));
        QVERIFY(!app.state().isPracticing);
        // The stop press itself clears the red key; the failure changes nothing more.
        QVERIFY(!app.state().highlightedNote);
        QCOMPARE(app.logger->linesAt(LogLevel::error), QStringList{app.state().error->description});
    }

    void failingPrepareEndsStartUp()
    {
        QTemporaryDir home;
        MIDINotePlayer::Options live;
        live.output = MIDINotePlayer::Output::live;
        live.drivers = {QStringLiteral("nosuchdriver")};
        HeadlessApp app(home.path(), live);
        app.loop->send(actions::didLoad{});
        QVERIFY(app.waitFor([](const AppState &s) { return s.hasError; }));
        QVERIFY(!app.state().level);
        QVERIFY(app.state().error->description.contains(QLatin1String("nosuchdriver")));
        QVERIFY(app.logger->linesAt(LogLevel::standard).last().startsWith(QStringLiteral("❌ errorOccurred - ")));
        // The level list was never built.
        app.loop->send(actions::didPressNextLevelButton{});
        QVERIFY(app.waitFor([](const AppState &s) { return s.error && s.error->code == 1; }));
        QVERIFY(!app.state().level);
    }
};

LIRRA_TEST(RecordedSessionTest)
#include "recorded_session_test.moc"
