#include "support/fakes.h"
#include "support/notes.h"
#include "support/test_registry.h"

#include "core/announcement.h"
#include "core/app_loop.h"
#include "core/screen_states.h"
#include "model/generators.h"

#include <QTest>

using namespace lirra;
using namespace lirra::test;

namespace {

const Level levelOne = DiatonicLevelGenerator().generateLevels()[0]; // C major: C1 D1 E1 F1

Question question(const char *answer, const char *resolution)
{
    return Question{QUuid::createUuid(), note(QString::fromLatin1(answer)), notes(QString::fromLatin1(resolution))};
}

Session sessionWith(std::initializer_list<std::pair<const char *, Score>> entries)
{
    Session s{100.0, {}};
    for (const auto &[n, score] : entries)
        s.score[note(QString::fromLatin1(n))] = score;
    return s;
}

// The stop of a session started and not yet answered.
const effects::stopSession stopStarted{std::nullopt, false, Session{100.0, {}}};

Highlight lit(const char *n, PaletteColor c)
{
    return Highlight{note(QString::fromLatin1(n)), c};
}

} // namespace

// Drives the reducer through the loop by hand: a scripted effect handler
// records the effects and answers nothing; the test sends every result.
class ReducerTest : public QObject {
    Q_OBJECT

private:
    std::shared_ptr<MemoryPreferences> m_preferences;
    std::shared_ptr<ListTipProvider> m_tips;
    std::shared_ptr<ScriptedEffectHandler> m_handler;
    std::unique_ptr<AppLoop> m_loop;

    const AppState &state() const { return m_loop->state(); }

    // Sends the action; answers the effect it produced, if any.
    std::optional<AppEffect> send(AppAction action)
    {
        const size_t before = m_handler->handled.size();
        m_loop->send(std::move(action));
        drainEvents();
        return m_handler->handled.size() == before ? std::nullopt : std::optional(m_handler->handled.back());
    }

    void ask(const Level &level, const Question &q)
    {
        if (!state().isPracticing) {
            send(actions::didLoadLevel{level});
            QCOMPARE(send(actions::didPressStartStopLevelButton{}), AppEffect(effects::startSession{}));
            QCOMPARE(send(actions::didStartSession{Session{100.0, {}}}), AppEffect(effects::loadNextQuestion{}));
        }
        QCOMPARE(send(actions::didLoadQuestion{q}), AppEffect(effects::playCadence{level, q}));
        QVERIFY(!state().isInteractionEnabled);
        send(actions::didPlayCadence{});
        QVERIFY(state().isInteractionEnabled);
    }

private slots:
    void init()
    {
        AppEnvironment env;
        env.preferences = m_preferences = std::make_shared<MemoryPreferences>();
        env.tipProvider = m_tips = std::make_shared<ListTipProvider>();
        env.logger = std::make_shared<RecordingLogger>();
        m_preferences->setBool(true, PreferenceKey::hasSeenOnboarding);
        m_handler = std::make_shared<ScriptedEffectHandler>();
        m_loop = std::make_unique<AppLoop>(env, AppState{}, [h = m_handler](const AppEnvironment &) { return h; });
    }
    void cleanup()
    {
        drainEvents();
        m_loop.reset();
    }

    void practiceCycle()
    {
        QVERIFY(!state().isInteractionEnabled && !state().level && state().questionsCount == 0);
        QCOMPARE(send(actions::didLoad{}), AppEffect(effects::prepareToPractice{}));
        Level level = levelOne;
        level.sessions = {sessionWith({{"C1", {1, 1}}})};
        const Question q = question("E1", "E1 D1 C1");
        ask(level, q);
        QCOMPARE(state().baseLevel, std::optional(level));

        // A wrong key: red, sounded and logged; the same question stays.
        QCOMPARE(send(actions::didPressNote{note(u"F1")}), AppEffect(effects::logWrongAnswer{note(u"F1"), q}));
        QVERIFY(!state().isInteractionEnabled);
        send(actions::didLogWrongAnswer{sessionWith({{"E1", {0, 1}}})});
        QVERIFY(state().isInteractionEnabled);
        QCOMPARE(state().highlightedNote, std::optional(Highlight{note(u"F1"), PaletteColor::red, Highlight::Mark::wrong}));
        QCOMPARE(state().question, std::optional(q));
        QCOMPARE(state().questionsCount, 1);

        // The right key: each resolution note lit green in turn, then scored.
        QCOMPARE(send(actions::didPressNote{note(u"E1")}), AppEffect(effects::playNoteInResolution{std::nullopt}));
        QCOMPARE(state().currentlyPlayingResolution, notes("E1 D1 C1"));
        for (const char *step : {"E1", "D1", "C1"}) {
            QCOMPARE(send(actions::didPlayNoteInResolution{}),
                     AppEffect(effects::playNoteInResolution{note(QString::fromLatin1(step))}));
            // The key pressed is marked right while it sounds.
            Highlight expected = lit(step, PaletteColor::green);
            expected.mark = QLatin1String(step) == QLatin1String("E1") ? Highlight::Mark::right : Highlight::Mark::none;
            QCOMPARE(state().highlightedNote, std::optional(expected));
        }
        QCOMPARE(send(actions::didPlayNoteInResolution{}), AppEffect(effects::logRightAnswer{note(u"E1"), q}));
        const Session scored = sessionWith({{"E1", {0, 1}}, {"D1", {2, 0}}});
        QCOMPARE(send(actions::didLogRightAnswer{scored}), AppEffect(effects::loadNextQuestion{}));
        QCOMPARE(state().correctIdentifications, 2);
        QCOMPARE(state().accuracy, float(2.0 / 3.0));
        QVERIFY(!state().highlightedNote && state().isInteractionEnabled);

        const Question next = question("D1", "D1 C1");
        ask(level, next);
        QCOMPARE(send(actions::didPressRepeatQuestionButton{}), AppEffect(effects::repeatQuestion{level, next, 1}));
        QVERIFY(!state().isInteractionEnabled);
        // The replaced cadence's end is not the replay's.
        send(actions::didPlayCadence{0});
        QVERIFY(!state().isInteractionEnabled);
        send(actions::didPlayCadence{1});
        QVERIFY(state().isInteractionEnabled);

        // Stop: the level returns with its history; the counts stay until the next session.
        QCOMPARE(send(actions::didPressStartStopLevelButton{}), AppEffect(effects::stopSession{std::nullopt, false, *state().session}));
        level.sessions.push_back(scored);
        send(actions::didLoadLevel{level});
        QVERIFY(!state().session && !state().question && !state().highlightedNote && !state().isPracticing);
        QCOMPARE(state().questionsCount, 3);
        // The figure after the stop follows the session's rule: right answers of all.
        QCOMPARE(state().accuracy, float(level.statistics().pooledAccuracy));
    }

    // Stop works at every moment of a question; an answer whose sound is
    // cut short goes with the stop, and whatever the cut effects answer
    // late changes nothing.
    void stopAtAnyMoment_data()
    {
        QTest::addColumn<QString>("moment");
        QTest::addColumn<QString>("pending"); // the answer the stop records
        QTest::newRow("cadence") << "cadence" << "";
        QTest::newRow("waiting for the answer") << "waiting" << "";
        QTest::newRow("wrong note sounding") << "wrong" << "wrong";
        QTest::newRow("resolution") << "resolution" << "right";
        QTest::newRow("resolution's last note") << "last" << "right";
    }
    void stopAtAnyMoment()
    {
        QFETCH(QString, moment);
        QFETCH(QString, pending);
        const Question q = question("E1", "E1 D1 C1");
        send(actions::didLoadLevel{levelOne});
        send(actions::didPressStartStopLevelButton{});
        send(actions::didStartSession{Session{100.0, {}}});
        send(actions::didLoadQuestion{q});
        if (moment != QLatin1String("cadence"))
            send(actions::didPlayCadence{});
        if (moment == QLatin1String("wrong"))
            send(actions::didPressNote{note(u"F1")});
        if (moment == QLatin1String("resolution") || moment == QLatin1String("last")) {
            send(actions::didPressNote{note(u"E1")});
            send(actions::didPlayNoteInResolution{});
        }
        if (moment == QLatin1String("last")) {
            send(actions::didPlayNoteInResolution{});
            send(actions::didPlayNoteInResolution{});
            QVERIFY(state().currentlyPlayingResolution.empty());
        }
        QVERIFY(navBarState(mainScreenState(state())).isStartStopButtonEnabled);
        QCOMPARE(navBarState(mainScreenState(state())).isRepeatButtonEnabled, pending.isEmpty());
        const std::uint64_t before = state().playback;

        const std::optional<PendingAnswer> recorded =
            pending.isEmpty() ? std::nullopt
                              : std::optional(PendingAnswer{q, pending == QLatin1String("right"),
                                                            note(pending == QLatin1String("right") ? u"E1" : u"F1")});
        const Session running = state().session.value_or(Session{});
        QCOMPARE(send(actions::didPressStartStopLevelButton{}), AppEffect(effects::stopSession{recorded, false, running}));
        QVERIFY(!state().isPracticing && !state().isInteractionEnabled && !state().pendingAnswer);
        QVERIFY(state().playback > before);
        const Session late{100.0, {{note(u"E1"), {1, 0}}}};
        const std::vector<AppAction> lateResults = {
            actions::didPlayCadence{before}, actions::didPlayNoteInResolution{before},
            actions::didLogRightAnswer{late, before}, actions::didLogWrongAnswer{late, before},
            actions::didLoadQuestion{q}, actions::didStartSession{late}};
        for (const AppAction &result : lateResults) {
            QCOMPARE(send(result), std::nullopt);
            QVERIFY(!state().isInteractionEnabled && !state().highlightedNote && !state().isPracticing);
            QCOMPARE(state().questionsCount, 0);
        }
        const MainScreenState main = mainScreenState(state());
        QVERIFY(!main.isStartStopButtonEnabled && !main.isRepeatButtonEnabled && !main.isKeyboardEnabled);
        send(actions::didLoadLevel{levelOne});
        QVERIFY(state().isInteractionEnabled);
    }

    // A melody is named note by note: each note found stays, the position
    // moves on; a wrong note keeps it. The last note found plays the melody
    // again, then the last note's resolution. Each position is scored as a
    // one-note question, and a stop or a replay can come at any of them.
    void melodyAnsweredNoteByNote_data()
    {
        QTest::addColumn<QString>("flow");
        QTest::addColumn<QString>("wrongAt"); // the position first answered wrong, if any
        QTest::newRow("right, note by note") << "through" << "";
        QTest::newRow("wrong then right in the middle") << "through" << "1";
        QTest::newRow("wrong at the last note") << "through" << "2";
        QTest::newRow("a stop while the second note sounds") << "stop" << "";
        QTest::newRow("a replay after the first note") << "replay" << "";
    }
    void melodyAnsweredNoteByNote()
    {
        QFETCH(QString, flow);
        QFETCH(QString, wrongAt);
        Question q = question("D1", "D1 C1");
        q.melody = notes("C1 E1 D1");
        const auto resolutionOf = [](const char *n) {
            return DiatonicNoteResolutionGenerator().resolution(note(QString::fromLatin1(n)), NoteName::c, true, false);
        };
        const Question positions[] = {q.at(0, resolutionOf("C1")), q.at(1, resolutionOf("E1")), q.at(2, q.resolution)};
        QVERIFY(positions[0].id != positions[1].id && positions[1].id != q.id);
        ask(levelOne, q);
        QCOMPARE(announcementText(*state().announcement), QStringLiteral("Note 1 of 3: your answer?"));
        QCOMPARE(mainScreenState(state()).melody, std::optional(MelodySlots{{}, 3, 0}));

        const char *names[] = {"C1", "E1", "D1"};
        const QStringList found = {QStringLiteral("Do"), QStringLiteral("Mi")};
        Session session{100.0, {}};
        for (std::size_t i = 0; i < 3; ++i) {
            const Note n = note(QString::fromLatin1(names[i]));
            if (wrongAt == QString::number(i)) {
                QCOMPARE(send(actions::didPressNote{note(u"F1")}), AppEffect(effects::logWrongAnswer{note(u"F1"), positions[i]}));
                send(actions::didLogWrongAnswer{session});
                QCOMPARE(announcementText(*state().announcement), QStringLiteral("Wrong, try again."));
                QCOMPARE(state().melodyPosition, i);
                QVERIFY(state().isInteractionEnabled);
            }
            if (i == 1 && flow == QLatin1String("stop")) {
                send(actions::didPressNote{n});
                QCOMPARE(send(actions::didPressStartStopLevelButton{}),
                         AppEffect(effects::stopSession{PendingAnswer{positions[1], true, n}, false, session}));
                QVERIFY(!state().isPracticing && !mainScreenState(state()).melody);
                return;
            }
            if (i == 1 && flow == QLatin1String("replay")) {
                QCOMPARE(send(actions::didPressRepeatQuestionButton{}),
                         AppEffect(effects::repeatQuestion{levelOne, q, state().playback + 1}));
                QVERIFY(!state().isInteractionEnabled);
                send(actions::didPlayCadence{state().playback});
                // The notes found stay found; the position waiting is asked again.
                QCOMPARE(state().melodyPosition, size_t(1));
                QCOMPARE(announcementText(*state().announcement), QStringLiteral("Note 2 of 3: your answer?"));
            }
            if (i < 2) {
                QCOMPARE(send(actions::didPressNote{n}), AppEffect(effects::logRightAnswer{n, positions[i], state().playback, true}));
                QCOMPARE(state().highlightedNote, std::optional(Highlight{n, PaletteColor::green, Highlight::Mark::right}));
                session.score[n].correct += 1;
                QCOMPARE(send(actions::didLogRightAnswer{session, state().playback}), std::nullopt);
                QCOMPARE(state().melodyPosition, i + 1);
                QVERIFY(state().isInteractionEnabled);
                QCOMPARE(announcementText(*state().announcement),
                         QStringLiteral("Right. Note %1 of 3: your answer?").arg(i + 2));
                QCOMPARE(mainScreenState(state()).melody,
                         std::optional(MelodySlots{std::vector<QString>(found.begin(), found.begin() + qsizetype(i) + 1), 3, i + 1}));
                // The key found stays marked while the next note waits.
                QCOMPARE(state().highlightedNote, std::optional(Highlight{n, PaletteColor::green, Highlight::Mark::right}));
                continue;
            }
            // The last note: the melody as answered, then the way to the tonic.
            const std::uint64_t playback = state().playback;
            QCOMPARE(send(actions::didPressNote{n}), AppEffect(effects::playNoteInResolution{std::nullopt, playback}));
            QCOMPARE(state().currentlyPlayingResolution, notes("C1 E1 D1 C1"));
            QCOMPARE(mainScreenState(state()).melody->waiting, size_t(3));
            for (const char *step : {"C1", "E1", "D1", "C1"})
                QCOMPARE(send(actions::didPlayNoteInResolution{playback}),
                         AppEffect(effects::playNoteInResolution{note(QString::fromLatin1(step)), playback}));
            QCOMPARE(send(actions::didPlayNoteInResolution{playback}), AppEffect(effects::logRightAnswer{n, positions[2], playback}));
            QCOMPARE(send(actions::didLogRightAnswer{session, playback}), AppEffect(effects::loadNextQuestion{}));
            QCOMPARE(announcementText(*state().announcement), QStringLiteral("Right."));
            QVERIFY(!state().question);
        }
    }

    // A chord is named by its root, in any octave: a wrong root sounds its
    // own chord and the question stays; the right one sounds the chord again
    // and then the tonic chord. A progression is named chord by chord.
    void chordsNamedByTheirRoots_data()
    {
        QTest::addColumn<QString>("roots");   // the chords asked, by root
        QTest::addColumn<QString>("pressed"); // the keys pressed, in order; "stop" stops there
        QTest::addColumn<QStringList>("said");
        QTest::newRow("IV, right in another octave") << "F1" << "F2" << QStringList{"Your answer?", "Right."};
        QTest::newRow("IV, ii first") << "F1" << "D1 F1" << QStringList{"Your answer?", "Wrong, try again.", "Right."};
        QTest::newRow("I: the tonic chord once") << "C1" << "C1" << QStringList{"Your answer?", "Right."};
        QTest::newRow("I vi IV") << "C1 A1 F1" << "C1 A1 F1"
            << QStringList{"Chord 1 of 3: your answer?", "Right. Chord 2 of 3: your answer?",
                           "Right. Chord 3 of 3: your answer?", "Right."};
        QTest::newRow("I vi IV, V for vi") << "C1 A1 F1" << "C1 G1 A1 F1"
            << QStringList{"Chord 1 of 3: your answer?", "Right. Chord 2 of 3: your answer?", "Wrong, try again.",
                           "Right. Chord 3 of 3: your answer?", "Right."};
        QTest::newRow("a stop on the second chord") << "C1 A1 F1" << "C1 A1 stop"
            << QStringList{"Chord 1 of 3: your answer?", "Right. Chord 2 of 3: your answer?"};
    }
    void chordsNamedByTheirRoots()
    {
        QFETCH(QString, roots);
        QFETCH(QString, pressed);
        QFETCH(QStringList, said);
        Level level = levelOne;
        level.questionKind = QuestionKind::chord;
        Settings chords;
        chords.questionKind = QuestionKind::chord;
        send(actions::didLoadLevel{level});
        send(actions::didChangeSettings{chords});
        QCOMPARE(state().settings.questionKind, QuestionKind::chord);
        const auto keysOf = [](const char *root) {
            return chordVoicing(chordOf(note(QString::fromLatin1(root)).name, NoteName::c, true));
        };
        const std::vector<Note> asked = notes(roots);
        Question q{QUuid::createUuid(), asked.back(), resolutionIn(level, asked.back(), QuestionKind::chord), {},
                   QuestionKind::chord, NoteName::c, true};
        if (asked.size() > 1)
            q.melody = asked;
        ask(level, q);
        QStringList heard{announcementText(*state().announcement)};
        Session session{100.0, {}};
        std::size_t position = 0;
        for (const QString &key : pressed.split(u' ')) {
            const Question now = asked.size() > 1
                ? q.at(position, resolutionIn(level, asked[position], QuestionKind::chord)) : q;
            if (key == u"stop"_qs) {
                // The chord found, whose sound the stop cuts short, counts.
                const PendingAnswer cut{now, true, asked[position]};
                QCOMPARE(send(actions::didPressStartStopLevelButton{}), AppEffect(effects::stopSession{cut, false, session}));
                QVERIFY(!state().isPracticing);
                break;
            }
            const Note n = note(key);
            const QByteArray root = QString(QChar(key[0])).toLatin1();
            const std::uint64_t playback = state().playback;
            if (n.name != asked[position].name) {
                QCOMPARE(send(actions::didPressNote{n}),
                         AppEffect(effects::logWrongAnswer{n, now, playback, keysOf(root + "1")}));
                QCOMPARE(state().highlightedNote, std::optional(Highlight{n, PaletteColor::red, Highlight::Mark::wrong}));
                send(actions::didLogWrongAnswer{session, playback});
                heard << announcementText(*state().announcement);
                continue;
            }
            if (position + 1 < asked.size()) {
                QCOMPARE(send(actions::didPressNote{n}),
                         AppEffect(effects::logRightAnswer{n, now, playback, true, keysOf(root + "1")}));
                if (pressed.split(u' ').endsWith(u"stop"_qs) && position == 1)
                    continue; // its sound is cut short by the stop
                send(actions::didLogRightAnswer{session, playback});
                heard << announcementText(*state().announcement);
                ++position;
                continue;
            }
            // The last: the progression again as answered, then the tonic chord.
            QCOMPARE(send(actions::didPressNote{n}), AppEffect(effects::playNoteInResolution{std::nullopt, playback}));
            std::vector<Note> again(asked.begin(), asked.end() - 1);
            for (const Note &step : resolutionIn(level, asked.back(), QuestionKind::chord))
                again.push_back(step);
            QCOMPARE(state().currentlyPlayingResolution, again);
            for (const Note &step : again) {
                const QByteArray name = text({step}).chopped(1).toLatin1();
                QCOMPARE(send(actions::didPlayNoteInResolution{playback}),
                         AppEffect(effects::playNoteInResolution{step, playback, keysOf(name + "1")}));
            }
            QCOMPARE(send(actions::didPlayNoteInResolution{playback}), AppEffect(effects::logRightAnswer{now.answer, now, playback}));
            send(actions::didLogRightAnswer{session, playback});
            heard << announcementText(*state().announcement);
        }
        QCOMPARE(heard, said);
    }

    // A key played outside a session is lit while it is held, and not after.
    void freePlayAndReleases()
    {
        send(actions::didLoadLevel{levelOne});
        QCOMPARE(send(actions::didPressNote{note(u"G1")}), AppEffect(effects::playNote{note(u"G1")}));
        QCOMPARE(send(actions::didPressNote{note(u"G1")}), AppEffect(effects::playNote{note(u"G1")}));
        QCOMPARE(send(actions::didReleaseNote{note(u"A1")}), std::nullopt);
        QCOMPARE(state().highlightedNote, std::optional(lit("G1", PaletteColor::amber)));
        QCOMPARE(send(actions::didReleaseNote{note(u"G1")}), std::nullopt);
        QCOMPARE(state().highlightedNote, std::nullopt);
    }

    void octaveRule_data()
    {
        QTest::addColumn<bool>("multipleOctaves");
        QTest::addColumn<QString>("pressed");
        QTest::addColumn<bool>("right");
        QTest::newRow("one octave, exact note") << false << "C2" << true;
        QTest::newRow("one octave, other octave") << false << "C1" << false;
        QTest::newRow("several octaves, other octave") << true << "C1" << true;
        QTest::newRow("several octaves, other name") << true << "B1" << false;
    }
    void octaveRule()
    {
        QFETCH(bool, multipleOctaves);
        QFETCH(QString, pressed);
        QFETCH(bool, right);
        Level level = levelOne;
        level.spansMultipleOctaves = multipleOctaves;
        ask(level, question("C2", ""));
        const auto effect = send(actions::didPressNote{note(pressed)});
        QVERIFY(effect);
        // An empty resolution goes straight to scoring.
        QCOMPARE(std::holds_alternative<effects::playNoteInResolution>(*effect), right);
        if (right)
            QVERIFY(std::holds_alternative<effects::logRightAnswer>(*send(actions::didPlayNoteInResolution{})));
    }

    void guards()
    {
        QCOMPARE(send(actions::didLoadQuestion{question("C1", "C1")}), std::nullopt); // no level
        QCOMPARE(send(actions::didPressStartStopLevelButton{}), AppEffect(effects::startSession{}));
        QCOMPARE(send(actions::didPressNote{note(u"C1")}), std::nullopt);             // no question
        QCOMPARE(send(actions::didPressRepeatQuestionButton{}), std::nullopt);
        QCOMPARE(send(actions::didSelectNotes{notes("C1")}), std::nullopt);

        // A resolution step that arrives after a level load finds no question.
        send(actions::didLoadLevel{levelOne});
        ask(levelOne, question("E1", "E1 D1 C1"));
        send(actions::didPressNote{note(u"E1")});
        send(actions::didPlayNoteInResolution{});
        send(actions::didLoadLevel{levelOne});
        QCOMPARE(send(actions::didPlayNoteInResolution{}), std::nullopt);
        QCOMPARE(state().currentlyPlayingResolution, notes("D1 C1"));

        // An error changes nothing else; a level load clears the flag, not the error.
        const Error failure{QStringLiteral("test"), 5, QStringLiteral("no disk")};
        send(actions::errorOccurred{failure});
        QVERIFY(state().hasError && state().isPracticing);
        // Closing the error goes back to where it broke in, the session too.
        QCOMPARE(send(actions::didDismissError{}), std::nullopt);
        QVERIFY(!state().hasError && state().isPracticing && state().isInteractionEnabled);
        send(actions::errorOccurred{failure});
        send(actions::didLoadLevel{levelOne});
        QVERIFY(!state().hasError);
        QCOMPARE(state().error, std::optional(failure));
    }

    // An error leaves the controls usable (unless a tip waits), and trying
    // again ends a broken session as the stop button does, or loads the
    // level again.
    void errorsOfferAWayOn_data()
    {
        QTest::addColumn<QString>("when");
        QTest::addColumn<bool>("controls");           // after the error
        QTest::addColumn<AppEffect>("tryAgain");
        QTest::newRow("before any level loaded") << "start" << true << AppEffect(effects::reloadLevel{});
        QTest::newRow("while the cadence plays") << "cadence" << true << AppEffect(stopStarted);
        QTest::newRow("after a failed stop") << "stopped" << true << AppEffect(effects::reloadLevel{});
        QTest::newRow("while a tip waits") << "tip" << false << AppEffect(effects::reloadLevel{});
    }
    void errorsOfferAWayOn()
    {
        QFETCH(QString, when);
        QFETCH(bool, controls);
        QFETCH(AppEffect, tryAgain);
        if (when == QLatin1String("cadence") || when == QLatin1String("stopped")) {
            send(actions::didLoadLevel{levelOne});
            send(actions::didPressStartStopLevelButton{});
            send(actions::didStartSession{Session{100.0, {}}});
            send(actions::didLoadQuestion{question("E1", "E1 D1 C1")});
            QVERIFY(!state().isInteractionEnabled);
        }
        if (when == QLatin1String("stopped")) {
            // Nothing is pressed while the stopped session is saved.
            QCOMPARE(send(actions::didPressStartStopLevelButton{}), AppEffect(stopStarted));
            QVERIFY(!state().isInteractionEnabled && !state().isPracticing);
            QVERIFY(!navBarState(mainScreenState(state())).isStartStopButtonEnabled);
        }
        if (when == QLatin1String("tip")) {
            m_preferences->setBool(false, PreferenceKey::hasSeenOnboarding);
            m_tips->tips = {Tip{Tip::Target::keyboard, QStringLiteral("t"), QStringLiteral("m"), QStringLiteral("a")}};
            send(actions::didLoadLevel{levelOne});
            QVERIFY(state().currentTip);
        }
        const Error failure{QStringLiteral("test"), 5, QStringLiteral("no disk")};
        QCOMPARE(send(actions::errorOccurred{failure}), std::nullopt);
        QVERIFY(state().hasError);
        QCOMPARE(state().isInteractionEnabled, controls);
        const bool wasPractising = state().isPracticing;

        QCOMPARE(send(actions::didPressTryAgain{}), std::optional(tryAgain));
        QVERIFY(!state().isInteractionEnabled && !state().isPracticing);
        QVERIFY(state().hasError); // until the level is back
        QCOMPARE(wasPractising, tryAgain == AppEffect(stopStarted));
        send(actions::didLoadLevel{levelOne});
        QVERIFY(!state().hasError);
        QCOMPARE(state().isInteractionEnabled, !state().currentTip.has_value());
    }

    void levelEditorConfirmation()
    {
        Level base = levelOne;
        base.sessions = {sessionWith({{"C1", {1, 0}}})};
        send(actions::didLoadLevel{base});
        send(actions::didPressConfigureLevelButton{});
        QVERIFY(state().isLevelEditorVisible);
        QCOMPARE(send(actions::didSelectNotes{notes("F1 E1 D1 C1 C1")}), std::nullopt); // the same set

        Level custom = base;
        custom.notes = notes("E1 C1");
        custom.isCustom = true;
        custom.sessions.clear();
        QCOMPARE(send(actions::didSelectNotes{notes("E1 C1")}), AppEffect(effects::loadLevel{custom}));
        send(actions::didDismissLevelEditor{});
        send(actions::didLoadLevel{custom});
        QCOMPARE(state().level->title(), QStringLiteral("C major *"));
        QCOMPARE(state().baseLevel, std::optional(base));
        // The base level's set brings the base level itself back.
        QCOMPARE(send(actions::didSelectNotes{notes("D1 C1 F1 E1")}), AppEffect(effects::loadLevel{base}));
    }

    // Saving notes as a level of the user's own: from the editor, and from
    // the offer that follows a session of an unsaved narrowing.
    void savingLevels()
    {
        send(actions::didLoadLevel{levelOne});
        QVERIFY(!state().offersToSaveLevel);
        Level custom = levelOne;
        custom.notes = notes("E1 C1");
        custom.isCustom = true;
        custom.sessions.clear();
        send(actions::didLoadLevel{custom});
        QVERIFY(!state().offersToSaveLevel); // nothing practised yet

        // The session's stop comes back with its one session: the offer.
        Level stopped = custom;
        stopped.sessions = {sessionWith({{"E1", {1, 0}}})};
        send(actions::didLoadLevel{stopped});
        QVERIFY(state().offersToSaveLevel && mainScreenState(state()).offersToSaveLevel);
        // Its own notes, whatever their order: the session goes along.
        Level kept = stopped;
        kept.notes = notes("C1 E1");
        QCOMPARE(send(actions::didSaveLevel{notes("C1 E1"), QStringLiteral("Thirds")}),
                 AppEffect(effects::saveLevel{kept, QStringLiteral("Thirds")}));
        QVERIFY(!state().offersToSaveLevel);

        // Other notes from the editor start with no history.
        send(actions::didLoadLevel{stopped});
        send(actions::didPressConfigureLevelButton{});
        Level other = stopped;
        other.notes = notes("D1");
        other.sessions.clear();
        QCOMPARE(send(actions::didSaveLevel{notes("D1"), QStringLiteral("D")}),
                 AppEffect(effects::saveLevel{other, QStringLiteral("D")}));
        QVERIFY(!state().isLevelEditorVisible);

        // Waved away, or practised again: no offer.
        send(actions::didLoadLevel{stopped});
        send(actions::didDeclineSavingLevel{});
        QVERIFY(!state().offersToSaveLevel);
        send(actions::didLoadLevel{stopped});
        send(actions::didPressStartStopLevelButton{});
        QVERIFY(!state().offersToSaveLevel);
        QCOMPARE(send(actions::didSaveLevel{notes("C1"), QStringLiteral("x")}), std::nullopt);
    }

    // Every way off an unsaved narrowing that holds answers asks first; the
    // answer saves it and then moves, moves without it, or stays.
    void leavingAnUnsavedNarrowing_data()
    {
        QTest::addColumn<AppAction>("move");
        QTest::addColumn<AppEffect>("moving");
        QTest::addColumn<KeepNarrowing>("choice");
        QTest::addColumn<bool>("answered"); // whether the narrowing holds answers
        // Whether melodies are on show since, the answers held at one note.
        QTest::addColumn<bool>("atAnotherLength");
        const auto row = [](const char *name, AppAction move, AppEffect moving, KeepNarrowing choice, bool answered = true,
                            bool atAnotherLength = false) {
            QTest::newRow(name) << move << moving << choice << answered << atAnotherLength;
        };
        row("Home, discarded", actions::didPressHomeButton{}, effects::loadFirstLevel{}, KeepNarrowing::discard);
        row("random, discarded", actions::didPressRandomButton{}, effects::loadRandomLevel{}, KeepNarrowing::discard);
        row("previous, saved", actions::didPressPreviousLevelButton{}, effects::loadPreviousLevel{}, KeepNarrowing::save);
        row("next, cancelled", actions::didPressNextLevelButton{}, effects::loadNextLevel{}, KeepNarrowing::cancel);
        row("next, saved", actions::didPressNextLevelButton{}, effects::loadNextLevel{}, KeepNarrowing::save);
        row("from the list, saved", actions::didChooseLevel{7}, effects::loadLevelWithId{7}, KeepNarrowing::save);
        row("from the list, discarded", actions::didChooseLevel{7}, effects::loadLevelWithId{7}, KeepNarrowing::discard);
        row("the base level's notes, discarded", actions::didSelectNotes{levelOne.notes}, effects::loadLevel{levelOne},
            KeepNarrowing::discard);
        row("nothing practised: no question", actions::didPressNextLevelButton{}, effects::loadNextLevel{},
            KeepNarrowing::cancel, false);
        row("answered at one note, melodies on show, discarded", actions::didPressNextLevelButton{},
            effects::loadNextLevel{}, KeepNarrowing::discard, true, true);
        row("answered at one note, melodies on show, saved", actions::didPressNextLevelButton{},
            effects::loadNextLevel{}, KeepNarrowing::save, true, true);
    }
    void leavingAnUnsavedNarrowing()
    {
        QFETCH(AppAction, move);
        QFETCH(AppEffect, moving);
        QFETCH(KeepNarrowing, choice);
        QFETCH(bool, answered);
        QFETCH(bool, atAnotherLength);
        send(actions::didLoadLevel{levelOne});
        Level narrowing = levelOne;
        narrowing.notes = notes("E1 C1");
        narrowing.isCustom = true;
        narrowing.sessions.clear();
        if (answered)
            narrowing.sessions = {sessionWith({{"E1", {1, 0}}}), sessionWith({{"C1", {0, 1}}})};
        send(actions::didLoadLevel{narrowing});
        send(actions::didDeclineSavingLevel{}); // waved away, and still not to be lost
        if (atAnotherLength) {
            // Melodies of the same notes: none answered, the notes' answers
            // kept aside by practice, still not to be lost.
            Settings melodies = state().settings;
            melodies.melodyLength = 3;
            send(actions::didChangeSettings{melodies});
            narrowing.questionLength = 3;
            narrowing.sessions.clear();
            send(actions::didLoadLevel{narrowing});
        }
        if (!answered) {
            QCOMPARE(send(move), std::optional(moving));
            QVERIFY(!state().leavingNarrowing);
            return;
        }
        QCOMPARE(send(move), std::nullopt);
        QVERIFY(state().leavingNarrowing);
        const std::optional<AppEffect> next = send(actions::didAnswerLeavingNarrowing{choice});
        QVERIFY(!state().leavingNarrowing);
        QCOMPARE(state().level, std::optional(narrowing));
        if (choice == KeepNarrowing::cancel) {
            QCOMPARE(next, std::nullopt);
            return;
        }
        if (choice == KeepNarrowing::discard) {
            QCOMPARE(next, std::optional(moving));
            return;
        }
        // Saved with both sessions under the offered name, then on.
        QCOMPARE(next, std::optional<AppEffect>(effects::saveLevel{narrowing, QString()}));
        Level saved = narrowing;
        saved.isCustom = false;
        saved.savedId = QUuid::createUuid();
        saved.id = savedLevelId(saved.savedId);
        saved.name = QStringLiteral("C major: C E");
        QCOMPARE(send(actions::didLoadLevel{saved}), std::optional(moving));
        QVERIFY(!state().moveAfterSave);
    }

    // The first level is on show before its sound is checked. Without a
    // sound output the level is there, the error says why, and Space says
    // it again instead of starting; trying again that finds the sound lets
    // practice start.
    void withoutSound()
    {
        const Error silent{QStringLiteral("MIDINotePlayer"), 1, QStringLiteral("no sound output")};
        QCOMPARE(send(actions::didLoadLevel{levelOne, std::nullopt, std::nullopt, true}),
                 std::optional<AppEffect>(effects::checkSound{}));
        QCOMPARE(state().level, std::optional(levelOne));
        QVERIFY(!state().hasError);
        QCOMPARE(send(actions::didCheckSound{SoundCheck{silent}}), std::nullopt);
        QVERIFY(state().hasError && state().error == silent);
        QCOMPARE(state().announcement->kind, Announcement::Kind::error);
        send(actions::didDismissError{});
        QVERIFY(!state().hasError);
        // Any other level loads as well, and the sound is still missing.
        send(actions::didLoadLevel{levelOne});
        const std::uint64_t said = state().announcement->serial;
        QCOMPARE(send(actions::didPressStartStopLevelButton{}), std::nullopt);
        QVERIFY(!state().isPracticing && state().hasError && state().error == silent);
        QCOMPARE(state().announcement->serial, said + 1);
        QCOMPARE(send(actions::didPressTryAgain{}), std::optional<AppEffect>(effects::reloadLevel{}));
        QCOMPARE(send(actions::didLoadLevel{levelOne, std::nullopt, std::nullopt, true}),
                 std::optional<AppEffect>(effects::checkSound{}));
        QVERIFY(!state().hasError && state().soundError);
        send(actions::didCheckSound{SoundCheck{}});
        QVERIFY(!state().hasError && !state().soundError);
        QCOMPARE(send(actions::didPressStartStopLevelButton{}), std::optional<AppEffect>(effects::startSession{}));
    }

    // The list of levels opens where the other navigation works, and what
    // is chosen from it, renamed or deleted goes through the loop.
    void choosingLevels_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<bool>("opens");
        QTest::newRow("level on show") << "idle" << true;
        QTest::newRow("during a session") << "practising" << false;
        QTest::newRow("over the editor") << "editor" << false;
        QTest::newRow("over the accuracy screen") << "accuracy" << false;
        QTest::newRow("under an error") << "error" << false;
        QTest::newRow("during the tour") << "tour" << false;
    }
    void choosingLevels()
    {
        QFETCH(QString, situation);
        QFETCH(bool, opens);
        if (situation == QLatin1String("tour")) {
            m_preferences->setBool(false, PreferenceKey::hasSeenOnboarding);
            m_tips->tips = {Tip{}};
        }
        send(actions::didLoadLevel{levelOne});
        if (situation == QLatin1String("practising"))
            send(actions::didPressStartStopLevelButton{});
        else if (situation == QLatin1String("editor"))
            send(actions::didPressConfigureLevelButton{});
        else if (situation == QLatin1String("accuracy"))
            send(actions::didPressAccuracyRing{});
        else if (situation == QLatin1String("error"))
            send(actions::errorOccurred{Error{{}, 0, QStringLiteral("broken")}});
        QCOMPARE(mainScreenState(state()).isChooseLevelButtonEnabled, opens);
        QCOMPARE(send(actions::didPressChooseLevelButton{}), std::nullopt);
        QCOMPARE(state().isLevelChooserVisible, opens);
        if (!opens)
            return;
        // While it is open the other controls wait.
        const MainScreenState main = mainScreenState(state());
        QVERIFY(!main.isNextButtonEnabled && !main.isStartStopButtonEnabled && !main.isChooseLevelButtonEnabled);
        QCOMPARE(send(actions::didChooseLevel{-42}), AppEffect(effects::loadLevelWithId{-42}));
        QVERIFY(!state().isLevelChooserVisible);
        send(actions::didPressChooseLevelButton{});
        QCOMPARE(send(actions::didRenameLevel{-42, QStringLiteral("New")}),
                 AppEffect(effects::renameLevel{-42, QStringLiteral("New")}));
        QCOMPARE(send(actions::didDeleteLevel{-42}), AppEffect(effects::deleteLevel{-42}));
        QVERIFY(state().isLevelChooserVisible); // open still, to show the list anew
        const std::uint64_t loads = state().levelLoads;
        send(actions::didLoadLevel{levelOne});
        QCOMPARE(state().levelLoads, loads + 1);
        send(actions::didDismissLevelChooser{});
        QVERIFY(!state().isLevelChooserVisible && mainScreenState(state()).isNextButtonEnabled);
    }

    void onboardingTour()
    {
        m_preferences->booleans.clear();
        const Tip one{Tip::Target::titleView, "one", "m", "Next"}, two{Tip::Target::keyboard, "two", "m", "Next"},
            three{Tip::Target::homeButton, "three", "m", "Next"};
        m_tips->tips = {one, two, three};
        send(actions::didLoadLevel{levelOne});
        QCOMPARE(state().currentTip, std::optional(one));
        QVERIFY(!state().isInteractionEnabled);
        send(actions::didLoadLevel{levelOne}); // every load of an unfinished tour moves it on
        QCOMPARE(state().currentTip, std::optional(two));
        send(actions::didDismissTip{});
        QCOMPARE(state().currentTip, std::optional(three));
        QVERIFY(!m_preferences->boolean(PreferenceKey::hasSeenOnboarding));
        send(actions::didDismissTip{});
        QVERIFY(!state().currentTip && state().isInteractionEnabled);
        QVERIFY(m_preferences->boolean(PreferenceKey::hasSeenOnboarding));
        const int calls = m_tips->calls;
        send(actions::didLoadLevel{levelOne});
        QCOMPARE(m_tips->calls, calls); // seen: the provider is not asked again
    }
};

LIRRA_TEST(ReducerTest)
#include "reducer_test.moc"
