#include "support/audio_analysis.h"
#include "support/await.h"
#include "support/fakes.h"
#include "support/files.h"
#include "support/notes.h"
#include "support/test_registry.h"

#include "core/app_loop.h"
#include "core/production_environment.h"
#include "storage/confusion_lines.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <numeric>

using namespace lirra;
using namespace lirra::test;

namespace {

// The whole app without a window: the real loop, effect handler, practice
// manager, session files and preferences in a temporary home, and the note
// player rendering offline on its virtual clock.
struct HeadlessApp {
    explicit HeadlessApp(const QString &home, const Settings &settings = {})
    {
        EnvironmentSetup setup = offlineSetup(home);
        setup.logger = logger;
        environment = makeEnvironment(setup);
        notePlayer = static_cast<MIDINotePlayer *>(environment.notePlayer.get());
        AppState initial;
        initial.settings = settings;
        loop = std::make_unique<AppLoop>(environment, initial);
        loop->delegate = AppLoopDelegate{[this](const AppState &state) {
            published.push_back({state, notePlayer->recordedFrames()});
        }};
    }
    ~HeadlessApp()
    {
        drainEvents();
        loop.reset();
    }

    const AppState &state() const { return loop->state(); }
    // Starts at the first level and dismisses the tour, as a returning user finds it.
    bool startPastTheTour()
    {
        loop->send(actions::didLoad{});
        if (!waitFor([](const AppState &s) { return s.level.has_value(); }))
            return false;
        while (state().currentTip)
            loop->send(actions::didDismissTip{});
        return true;
    }
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

// A call to the note player as the session should make it, and the frame
// its note should start at.
struct Call {
    std::optional<Cadence> cadence;
    Note note;
    double frame = 0;
    bool isQuestion = false;
    // A key pressed: it sounds at once, without a lead-in.
    bool isKey = false;
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
        const QStringList log = app->logger->linesAt(LogLevel::standard);
        QCOMPARE(log.mid(0, 2), (QStringList{"✅  didLoad", "✅ didLoadLevel - 1 - C major"}));
        const Level level = *app->state().level;
        int tips = 0;
        for (; app->state().currentTip; ++tips)
            app->loop->send(actions::didDismissTip{});
        QCOMPARE(tips, 12);

        app->loop->send(actions::didPressStartStopLevelButton{});
        std::vector<Call> script;
        std::unordered_map<Note, Score> counts;
        std::int64_t questionsAsked = 0;
        const auto asked = [&](const Question &q) {
            const auto at = std::find_if(app->published.begin(), app->published.end(), [&](const auto &p) {
                return p.state.question && p.state.question->id == q.id;
            });
            const double cadence = double(at->frame);
            script.push_back({level.cadence, {}, cadence});
            const double noteCall = cadence + std::llround(0.25 * rate) + std::llround(beatsInFrames(4) + 0.25 * rate);
            script.push_back({std::nullopt, q.answer, noteCall + beatsInFrames(0.05), true});
        };
        for (bool wrongFirst : {true, false, true, false, true}) {
            QVERIFY(app->waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }));
            const Question question = *app->state().question;
            asked(question);
            if (wrongFirst) {
                const Note wrong = question.answer == level.notes.front() ? level.notes.back() : level.notes.front();
                script.push_back({std::nullopt, wrong, double(app->notePlayer->recordedFrames()) + 64, false, true});
                app->loop->send(actions::didPressNote{wrong});
                QVERIFY(app->waitFor([](const AppState &s) { return s.isInteractionEnabled; }));
                QCOMPARE(app->state().question, std::optional(question));
                QCOMPARE(app->state().highlightedNote, std::optional(Highlight{wrong, PaletteColor::red, Highlight::Mark::wrong}));
            }
            (wrongFirst ? counts[question.answer].wrong : counts[question.answer].correct) += 1;

            const size_t before = app->published.size();
            app->loop->send(actions::didPressNote{question.answer});
            QVERIFY(app->waitFor([&](const AppState &s) {
                return s.question && s.question->id != question.id && s.isInteractionEnabled;
            }));
            // One state per resolution step, its note lit green while it plays.
            std::vector<Note> lit;
            for (size_t i = before + 1; i < app->published.size(); ++i) {
                const auto &[state, frame] = app->published[i];
                if (state.highlightedNote && state.highlightedNote->color == PaletteColor::green
                    && state.currentlyPlayingResolution.size() + lit.size() + 1 == question.resolution.size()) {
                    lit.push_back(state.highlightedNote->note);
                    script.push_back({std::nullopt, lit.back(), double(frame) + beatsInFrames(0.05)});
                }
            }
            QCOMPARE(lit, question.resolution);
            QCOMPARE(app->state().questionsCount, ++questionsAsked); // only first answers count
        }
        asked(*app->state().question); // asked before the stop
        const float running = app->state().accuracy;
        app->loop->send(actions::didPressStartStopLevelButton{});
        QVERIFY(app->waitFor([](const AppState &s) { return !s.isPracticing && s.level && !s.level->sessions.empty(); }));
        qInfo("recorded %.1f s of practice in %.2f s", double(app->notePlayer->recordedFrames()) / rate,
              double(wallClock.elapsed()) / 1000.0);

        // One line in the level's file, holding what was answered.
        QFile file(home.path() + QStringLiteral("/Documents/lirra_sessions/sessions_1.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 2);
        QCOMPARE(FileSessionStorage::parseLine(QString::fromLatin1(lines[0]))->score, counts);
        // Beside it, what each question answered wrongly first was taken for.
        QFile confusionsFile(home.path() + QStringLiteral("/Documents/lirra_sessions/confusions_1.txt"));
        QVERIFY(confusionsFile.open(QIODevice::ReadOnly));
        const QByteArray confusionLine = confusionsFile.readAll();
        QVERIFY(confusionLine.startsWith(lines[0].left(lines[0].indexOf(';') + 1)));
        std::int64_t taken = 0;
        for (const auto &[confusion, count] : parseConfusions(QString::fromLatin1(confusionLine.mid(confusionLine.indexOf(';') + 1).trimmed())))
            taken += count;
        QVERIFY2(taken == 3, confusionLine.constData()); // the three questions answered wrongly first
        const Level stopped = *app->state().level;
        // The level's first session: the figure the session showed stays.
        QCOMPARE(app->state().accuracy, running);
        QCOMPARE(app->state().accuracy, float(stopped.statistics().pooledAccuracy));
        QCOMPARE(app->state().accuracyPerNote, stopped.statistics().accuracyPerNote);

        // What was heard is exactly those calls, back to back: a fresh player
        // given them renders the same recording, sample for sample. Each note
        // sounds at its pitch from its frame.
        const std::vector<float> &recording = app->notePlayer->recording();
        MIDINotePlayer reference(offlineSetup(home.path()).player);
        QVERIFY(awaitTask(reference.prepare()));
        for (const Call &call : script) {
            if (call.cadence)
                awaitTask(reference.playCadence(*call.cadence));
            else if (call.isQuestion)
                awaitTask(reference.playQuestionNote(call.note));
            else if (call.isKey)
                awaitTask(reference.playKey(call.note));
            else
                awaitTask(reference.playNote(call.note));
            if (!call.cadence)
                QVERIFY(sounds(recording, std::int64_t(call.frame), MIDINotePlayer::keyNumber(call.note)));
        }
        QVERIFY(reference.recording() == recording);

        // A later run over the same home resumes there, with the session in its history.
        const float accuracy = app->state().accuracy;
        app.reset();
        HeadlessApp again(home.path());
        again.loop->send(actions::didLoad{});
        QVERIFY(again.waitFor([](const AppState &s) { return s.level || s.hasError; }));
        QCOMPARE(again.state().level->sessions.size(), size_t(1));
        QCOMPARE(again.state().accuracy, accuracy);
        QVERIFY(!again.state().currentTip && again.state().isInteractionEnabled);
    }

    // Whatever the preferences file holds, the app starts: at the stored
    // level when the cursor reads as an integer, else at the first; with the
    // tour unless a stored true could be read. Loading the level rewrites the
    // file as a whole JSON object.
    void damagedPreferencesAtStartUp_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("tour");
        QTest::newRow("intact") << QByteArray(R"({"practice.level.cursor": 4, "user.has.seen.onboarding": true})") << 6 << false;
        QTest::newRow("empty") << QByteArray() << 1 << true;
        QTest::newRow("truncated") << QByteArray("{\"user.has.seen.onboarding\": true, \"practice.level.cu") << 1 << true;
        QTest::newRow("not JSON") << QByteArray("cursor = 4\n") << 1 << true;
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe{\x01\"", 6) << 1 << true;
        QTest::newRow("an array") << QByteArray("[4, true]") << 1 << true;
        QTest::newRow("text cursor") << QByteArray(R"({"practice.level.cursor": "4", "user.has.seen.onboarding": true})") << 1 << false;
        QTest::newRow("1e30") << QByteArray(R"({"practice.level.cursor": 1e30, "user.has.seen.onboarding": "true"})") << 1 << true;
        QTest::newRow("below -1") << QByteArray(R"({"practice.level.cursor": -7, "user.has.seen.onboarding": true})") << 1 << false;
        QTest::newRow("true cursor, 1 as the flag") << QByteArray(R"({"practice.level.cursor": true, "user.has.seen.onboarding": 1})") << 1 << true;
        QTest::newRow("object cursor") << QByteArray(R"({"practice.level.cursor": {"a": 1}, "user.has.seen.onboarding": false})") << 1 << true;
        QTest::newRow("fraction") << QByteArray(R"({"practice.level.cursor": 4.5})") << 1 << true;
    }
    void damagedPreferencesAtStartUp()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, level);
        QFETCH(bool, tour);
        QTemporaryDir home;
        const QString path = home.filePath(QStringLiteral("lirra.json"));
        writeAll(path, file);
        HeadlessApp app(home.path());
        app.loop->send(actions::didLoad{});
        QVERIFY(app.waitFor([](const AppState &s) { return s.level || s.hasError; }));
        QCOMPARE(app.state().level->id, level);
        QCOMPARE(app.state().currentTip.has_value(), tour);

        // The file is written on a later turn of the event loop.
        QJsonDocument rewritten;
        QVERIFY(spinUntil([&] {
            rewritten = QJsonDocument::fromJson(readAll(path));
            return rewritten.isObject()
                && rewritten.object().value(storedName(PreferenceKey::levelCursor)).toInteger(-99) == level - 2;
        }));
        QCOMPARE(rewritten.object().value(storedName(PreferenceKey::hasSeenOnboarding)) == QJsonValue(true), !tour);
    }

    // A stop at any moment of a question silences what is queued at once,
    // records the answer it cut short, and nothing the cut effects answer
    // afterwards lights or enables anything.
    void stopAtAnyMoment_data()
    {
        QTest::addColumn<QString>("moment");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("wrong");
        QTest::newRow("cadence") << "cadence" << 0 << 0;
        QTest::newRow("question note") << "note" << 0 << 0;
        QTest::newRow("wrong note") << "wrong" << 0 << 1;
        QTest::newRow("resolution") << "resolution" << 1 << 0;
    }
    void stopAtAnyMoment()
    {
        QFETCH(QString, moment);
        QFETCH(int, right);
        QFETCH(int, wrong);
        QTemporaryDir home;
        HeadlessApp app(home.path());
        QVERIFY(app.startPastTheTour());
        const Level level = *app.state().level;

        // The stop goes in right behind the state of the moment, as a click
        // on the next turn of the event loop would.
        std::int64_t stoppedAt = -1;
        const auto stopWhen = [&](std::function<bool(const AppState &)> moment) {
            app.loop->delegate = AppLoopDelegate{[&app, &stoppedAt, moment](const AppState &state) {
                app.published.push_back({state, app.notePlayer->recordedFrames()});
                if (stoppedAt < 0 && state.isPracticing && moment(state)) {
                    stoppedAt = app.notePlayer->recordedFrames();
                    QMetaObject::invokeMethod(app.loop.get(), [&app]() {
                        app.loop->send(actions::didPressStartStopLevelButton{});
                    }, Qt::QueuedConnection);
                }
            }};
        };
        std::optional<Question> asked;
        if (moment == QLatin1String("cadence")) {
            stopWhen([](const AppState &s) { return s.question.has_value(); });
            app.loop->send(actions::didPressStartStopLevelButton{});
        } else {
            app.loop->send(actions::didPressStartStopLevelButton{});
            QVERIFY(app.waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }));
            asked = app.state().question;
            if (moment == QLatin1String("note")) {
                // A replay: the stop comes while its cadence is over and the note sounds.
                stopWhen([](const AppState &) { return false; });
                app.loop->send(actions::didPressRepeatQuestionButton{});
                const std::int64_t noteAt = app.notePlayer->recordedFrames() + std::llround(0.5 * rate + beatsInFrames(4));
                QVERIFY(spinUntil([&] { return app.notePlayer->recordedFrames() >= noteAt; }, 60000));
                stoppedAt = app.notePlayer->recordedFrames();
                app.loop->send(actions::didPressStartStopLevelButton{});
            } else {
                stopWhen([](const AppState &s) { return s.pendingAnswer.has_value(); });
                const Note answer = asked->answer;
                const Note other = answer == level.notes.front() ? level.notes.back() : level.notes.front();
                app.loop->send(actions::didPressNote{moment == QLatin1String("wrong") ? other : answer});
            }
        }
        QVERIFY(app.waitFor([](const AppState &s) { return !s.isPracticing && s.isInteractionEnabled; }));
        QVERIFY(stoppedAt >= 0);
        drainEvents();
        // Everything queued went: nothing rendered past the stop's moment but
        // what was already due, and nothing published after it lit a key.
        const std::int64_t after = app.notePlayer->recordedFrames();
        QVERIFY2(after - stoppedAt <= std::llround(beatsInFrames(0.75)),
                 qPrintable(QStringLiteral("%1 frames after the stop").arg(after - stoppedAt)));
        QVERIFY(!app.state().highlightedNote && !app.state().isPracticing && !app.state().pendingAnswer);
        const QStringList log = app.logger->linesAt(LogLevel::standard);
        // No question came after the one the stop cut short.
        QCOMPARE(log.filter(QStringLiteral("didLoadQuestion")).size(), 1);

        // The session holds the answer whose sound was cut short.
        const std::vector<Session> &sessions = app.state().level->sessions;
        if (right + wrong == 0) {
            QVERIFY(sessions.empty());
        } else {
            QCOMPARE(sessions.size(), size_t(1));
            const SessionStatistics stats = sessions.front().statistics();
            QCOMPARE(stats.correctCount, right);
            QCOMPARE(stats.wrongCount, wrong);
        }

        // The next note plays alone: no chord or resolution note left over.
        const std::int64_t free = app.notePlayer->recordedFrames();
        app.loop->send(actions::didPressNote{Note{NoteName::d, 1}});
        QVERIFY(spinUntil([&] { return app.notePlayer->recordedFrames() > free; }, 60000));
        drainEvents();
        QCOMPARE(app.notePlayer->recordedFrames(), free + std::llround(beatsInFrames(0.75)));
        const std::int64_t onset = free + std::llround(beatsInFrames(MIDINotePlayer::beatPrecision));
        QVERIFY(sounds(app.notePlayer->recording(), onset, 62));
        for (int other : {60, 64, 65, 67, 69, 71})
            QVERIFY2(attackPower(app.notePlayer->recording(), onset, other) < 1, qPrintable(QString::number(other)));
    }

    // With the cadence every third question, at a brisk tempo, the cadence's
    // first chord is heard before questions 1, 4 and 7 and before no other;
    // the others follow the last answer's resolution after a beat.
    void cadenceEveryThirdQuestion()
    {
        QTemporaryDir home;
        Settings settings;
        settings.cadenceEvery = 3;
        settings.tempo = 160;
        HeadlessApp app(home.path(), settings);
        QVERIFY(app.startPastTheTour());
        app.loop->send(actions::didPressStartStopLevelButton{});
        std::vector<std::pair<std::int64_t, std::int64_t>> asked; // question loaded, answer awaited
        for (int i = 0; i < 7; ++i) {
            QVERIFY(app.waitFor([&](const AppState &s) {
                return s.question && s.isInteractionEnabled && s.questionsAsked == i + 1;
            }));
            const auto loaded = std::find_if(app.published.begin(), app.published.end(), [&](const auto &p) {
                return p.state.question == app.state().question;
            });
            asked.emplace_back(loaded->frame, app.notePlayer->recordedFrames());
            app.loop->send(actions::didPressNote{app.state().question->answer});
        }
        QVERIFY(app.waitFor([](const AppState &s) { return s.questionsAsked == 8; }));
        app.loop->send(actions::didPressStartStopLevelButton{});
        QVERIFY(app.waitFor([](const AppState &s) { return !s.isPracticing && s.isInteractionEnabled; }));

        const double beat = MIDINotePlayer::secondsForBeats(1, settings.tempo) * rate;
        QString heard;
        for (const auto &[loaded, awaited] : asked) {
            // C major's tonic chord, from where the cadence would start.
            const std::int64_t chord = loaded + std::llround(0.25 * rate);
            const int tonicChord[] = {60, 64, 67};
            const bool cadence = std::all_of(std::begin(tonicChord), std::end(tonicChord), [&](int key) {
                return sounds(app.notePlayer->recording(), chord, key);
            });
            heard += cadence ? QLatin1Char('C') : QLatin1Char('-');
            const double wait = double(awaited - loaded);
            const double expected = cadence ? 0.5 * rate + 4.75 * beat : 1.75 * beat;
            QVERIFY2(std::fabs(wait - expected) < 2, qPrintable(QStringLiteral("%1 frames, expected %2").arg(wait).arg(expected)));
        }
        QCOMPARE(heard, QStringLiteral("C--C--C"));
    }

    // Melodies of three, rendered: after the cadence the notes one beat
    // apart, each found note heard as it is named; the session's line in
    // the melodies' file, and a one-note session of the same level in its own.
    void melodiesOfThreeRendered()
    {
        QTemporaryDir home;
        Settings settings;
        settings.melodyLength = 3;
        HeadlessApp app(home.path(), settings);
        QVERIFY(app.startPastTheTour());
        QCOMPARE(app.state().level->questionLength, 3);
        app.loop->send(actions::didPressStartStopLevelButton{});
        const double beat = beatsInFrames(1);
        std::unordered_map<Note, Score> counts;
        QStringList onsets;
        for (int i = 0; i < 3; ++i) {
            QVERIFY(app.waitFor([&](const AppState &s) {
                return s.question && s.isInteractionEnabled && s.questionsAsked == i + 1 && s.melodyPosition == 0;
            }));
            const Question question = *app.state().question;
            QCOMPARE(question.length(), size_t(3));
            const auto loaded = std::find_if(app.published.begin(), app.published.end(), [&](const auto &p) {
                return p.state.question && p.state.question->id == question.id;
            });
            // The keys open once the whole melody has sounded.
            const double wait = double(app.notePlayer->recordedFrames() - loaded->frame);
            const double expected = 0.5 * rate + 6.75 * beat;
            QVERIFY2(std::fabs(wait - expected) < 2, qPrintable(QStringLiteral("%1 frames, expected %2").arg(wait).arg(expected)));
            // Each note's onset where its fundamental rises most, within a
            // tenth of a beat of where it belongs.
            const std::vector<float> &recording = app.notePlayer->recording();
            double previous = 0;
            for (std::size_t k = 0; k < 3; ++k) {
                const int key = MIDINotePlayer::keyNumber(question.noteAt(k));
                const double due = double(loaded->frame) + 0.5 * rate + 4 * beat + double(k) * beat;
                QVERIFY(sounds(recording, std::int64_t(due), key));
                std::int64_t onset = 0;
                double rise = -1;
                for (auto t = std::int64_t(due - 0.1 * beat); t <= std::int64_t(due + 0.1 * beat); t += 16) {
                    const double r = power(recording, t, 2048, keyFrequency(key)) - power(recording, t - 2048, 2048, keyFrequency(key));
                    if (r > rise) {
                        rise = r;
                        onset = t;
                    }
                }
                const double seconds = double(onset - loaded->frame) / rate;
                if (k > 0) {
                    const double apart = double(onset) - previous;
                    QVERIFY2(std::fabs(apart - beat) < 0.02 * rate, qPrintable(QStringLiteral("%1 frames apart").arg(apart)));
                }
                previous = double(onset);
                onsets << QStringLiteral("%1 s").arg(seconds, 0, 'f', 3);
            }
            // Named note by note; the second note of the second melody
            // first taken for another.
            for (std::size_t k = 0; k < 3; ++k) {
                const Note asked = question.noteAt(k);
                QVERIFY(app.waitFor([&](const AppState &s) { return s.isInteractionEnabled && s.melodyPosition == k; }));
                QCOMPARE(app.state().question->id, question.id);
                const bool wrongFirst = i == 1 && k == 1;
                if (wrongFirst) {
                    const Note wrong = asked == app.state().level->notes.front() ? app.state().level->notes.back()
                                                                                  : app.state().level->notes.front();
                    app.loop->send(actions::didPressNote{wrong});
                    QVERIFY(app.waitFor([&](const AppState &s) { return s.isInteractionEnabled && !s.pendingAnswer; }));
                    QCOMPARE(app.state().melodyPosition, k);
                }
                (wrongFirst ? counts[asked].wrong : counts[asked].correct) += 1;
                app.loop->send(actions::didPressNote{asked});
            }
        }
        qInfo("melody onsets after the question was loaded: %s (a beat is %.3f s)", qPrintable(onsets.join(", ")), beat / rate);
        QVERIFY(app.waitFor([](const AppState &s) { return s.questionsAsked == 4 && s.isInteractionEnabled; }));
        QCOMPARE(app.state().questionsCount, 9); // three notes a melody
        app.loop->send(actions::didPressStartStopLevelButton{});
        QVERIFY(app.waitFor([](const AppState &s) { return !s.isPracticing && s.level && !s.level->sessions.empty(); }));

        const QString folder = home.path() + QStringLiteral("/Documents/lirra_sessions/");
        const QList<QByteArray> lines = readAll(folder + QStringLiteral("sessions_1_n3.txt")).split('\n');
        QCOMPARE(lines.size(), 2);
        QCOMPARE(FileSessionStorage::parseLine(QString::fromLatin1(lines[0]))->score, counts);
        QVERIFY(QFile::exists(folder + QStringLiteral("confusions_1_n3.txt")));
        QVERIFY(!QFile::exists(folder + QStringLiteral("sessions_1.txt")));

        // One note again: the same level, its own history and file.
        Settings single = app.state().settings;
        single.melodyLength = 1;
        app.loop->send(actions::didChangeSettings{single});
        QVERIFY(app.waitFor([](const AppState &s) { return s.level && s.level->questionLength == 1; }));
        QVERIFY(app.state().level->sessions.empty());
        app.loop->send(actions::didPressStartStopLevelButton{});
        QVERIFY(app.waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }));
        QVERIFY(app.state().question->melody.empty());
        app.loop->send(actions::didPressNote{app.state().question->answer});
        QVERIFY(app.waitFor([](const AppState &s) { return s.questionsAsked == 2 && s.isInteractionEnabled; }));
        app.loop->send(actions::didPressStartStopLevelButton{});
        QVERIFY(app.waitFor([](const AppState &s) { return !s.isPracticing && s.level && !s.level->sessions.empty(); }));
        QCOMPARE(readAll(folder + QStringLiteral("sessions_1.txt")).count('\n'), 1);
        QCOMPARE(readAll(folder + QStringLiteral("sessions_1_n3.txt")).count('\n'), 1);
        QVERIFY(app.logger->linesAt(LogLevel::standard).filter(QRegularExpression(QStringLiteral(
                    "^✅ didLoadQuestion - [0-9A-F-]{36} - [A-G][^,]*, [A-G][^,]*, [A-G][^,]*$"))).size() >= 3);
    }

    // Chords, rendered: after the cadence the chord asked, its three pitch
    // classes the strongest in the recording; named by the root, once with
    // a wrong root first; the answers in the chords' files, and a session of
    // notes on the same level in its own file.
    void chordsRendered()
    {
        QTemporaryDir home;
        Settings settings;
        settings.questionKind = QuestionKind::chord;
        HeadlessApp app(home.path(), settings);
        QVERIFY(app.startPastTheTour());
        QCOMPARE(app.state().level->questionKind, QuestionKind::chord);
        app.loop->send(actions::didPressStartStopLevelButton{});
        const double beat = beatsInFrames(1);
        std::unordered_map<Note, Score> counts;
        QStringList measured;
        for (int i = 0; i < 4; ++i) {
            QVERIFY(app.waitFor([&](const AppState &s) {
                return s.question && s.isInteractionEnabled && s.questionsAsked == i + 1;
            }));
            const Question question = *app.state().question;
            QCOMPARE(question.kind, QuestionKind::chord);
            const auto loaded = std::find_if(app.published.begin(), app.published.end(), [&](const auto &p) {
                return p.state.question && p.state.question->id == question.id;
            });
            // Where the chord sounds, a quarter beat in: each pitch class's
            // power summed over the octaves a chord is voiced in.
            const auto from = std::int64_t(double(loaded->frame) + 0.5 * rate + 4.25 * beat);
            std::array<double, 12> classes{};
            for (int key = 40; key <= 76; ++key)
                classes[size_t(key % 12)] += power(app.notePlayer->recording(), from, 8192, keyFrequency(key));
            std::array<int, 12> order{};
            std::iota(order.begin(), order.end(), 0);
            std::sort(order.begin(), order.end(), [&](int a, int b) { return classes[size_t(a)] > classes[size_t(b)]; });
            const Chord chord = chordOf(question.answer.name, NoteName::c, true);
            std::vector<int> strongest(order.begin(), order.begin() + 3);
            std::vector<int> expected;
            for (const NoteName name : chord.notes())
                expected.push_back(index(name));
            std::sort(strongest.begin(), strongest.end());
            std::sort(expected.begin(), expected.end());
            QCOMPARE(strongest, expected);
            measured << QStringLiteral("%1: %2 %3 %4, then %5 at %6 dB").arg(chord.numeral, pitchClassName(order[0]),
                                                                             pitchClassName(order[1]), pitchClassName(order[2]),
                                                                             pitchClassName(order[3]))
                            .arg(10 * std::log10(classes[size_t(order[3])] / classes[size_t(order[2])]), 0, 'f', 1);
            // The second question first answered with another root; every
            // right answer pressed an octave up.
            if (i == 1) {
                const Note wrong = question.answer == app.state().level->notes.front() ? app.state().level->notes.back()
                                                                                        : app.state().level->notes.front();
                app.loop->send(actions::didPressNote{wrong});
                QVERIFY(app.waitFor([&](const AppState &s) { return s.isInteractionEnabled && !s.pendingAnswer; }));
                QVERIFY(app.state().question && app.state().question->id == question.id);
            }
            (i == 1 ? counts[question.answer].wrong : counts[question.answer].correct) += 1;
            app.loop->send(actions::didPressNote{Note{question.answer.name, 2}});
        }
        qInfo("pitch classes measured, strongest first: %s", qPrintable(measured.join(QStringLiteral("; "))));
        QVERIFY(app.waitFor([](const AppState &s) { return s.questionsAsked == 5 && s.isInteractionEnabled; }));
        app.loop->send(actions::didPressStartStopLevelButton{});
        QVERIFY(app.waitFor([](const AppState &s) { return !s.isPracticing && s.level && !s.level->sessions.empty(); }));

        const QString folder = home.path() + QStringLiteral("/Documents/lirra_sessions/");
        const QList<QByteArray> lines = readAll(folder + QStringLiteral("chords_1.txt")).split('\n');
        QCOMPARE(lines.size(), 2);
        QCOMPARE(FileSessionStorage::parseLine(QString::fromLatin1(lines[0]))->score, counts);
        QCOMPARE(readAll(folder + QStringLiteral("chord_confusions_1.txt")).count('\n'), 1);
        QVERIFY(!QFile::exists(folder + QStringLiteral("sessions_1.txt")));
        QVERIFY(app.logger->linesAt(LogLevel::standard).filter(QRegularExpression(QStringLiteral(
                    "^✅ didLoadQuestion - [0-9A-F-]{36} - (I|ii|iii|IV)$"))).size() >= 4);

        // Notes again: the same level, its own history and file.
        Settings notes = app.state().settings;
        notes.questionKind = QuestionKind::note;
        app.loop->send(actions::didChangeSettings{notes});
        QVERIFY(app.waitFor([](const AppState &s) { return s.level && s.level->questionKind == QuestionKind::note; }));
        QVERIFY(app.state().level->sessions.empty());
        app.loop->send(actions::didPressStartStopLevelButton{});
        QVERIFY(app.waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }));
        QCOMPARE(app.state().question->kind, QuestionKind::note);
        app.loop->send(actions::didPressNote{app.state().question->answer});
        QVERIFY(app.waitFor([](const AppState &s) { return s.questionsAsked == 2 && s.isInteractionEnabled; }));
        app.loop->send(actions::didPressStartStopLevelButton{});
        QVERIFY(app.waitFor([](const AppState &s) { return !s.isPracticing && s.level && !s.level->sessions.empty(); }));
        QCOMPARE(readAll(folder + QStringLiteral("sessions_1.txt")).count('\n'), 1);
        QCOMPARE(readAll(folder + QStringLiteral("chords_1.txt")).count('\n'), 1);
    }

    void storageThatCannotBeWritten()
    {
        QTemporaryDir home;
        HeadlessApp app(home.path());
        QVERIFY(app.startPastTheTour());
        app.loop->send(actions::didPressStartStopLevelButton{});
        QVERIFY(app.waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }));
        const Question question = *app.state().question;
        app.loop->send(actions::didPressNote{question.answer == Note{NoteName::c, 1} ? Note{NoteName::d, 1} : Note{NoteName::c, 1}});
        QVERIFY(app.waitFor([](const AppState &s) { return s.isInteractionEnabled; }));

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
        QVERIFY(!app.state().highlightedNote); // cleared by the stop press, not by the failure
        QCOMPARE(app.logger->linesAt(LogLevel::error), QStringList{app.state().error->description});
    }
};

LIRRA_TEST(RecordedSessionTest)
#include "recorded_session_test.moc"
