#include "support/loop_harness.h"
#include "support/notes.h"
#include "support/test_registry.h"

#include "core/announcement.h"
#include "model/generators.h"

#include <QTest>

using namespace lirra;
using namespace lirra::test;

namespace {

Session answered(std::int64_t right, std::int64_t wrong)
{
    Session session{100.0, {}};
    session.score[note(u"D1")] = Score{right, wrong};
    return session;
}

} // namespace

// What a screen reader is told, and when: after the sound it is about, never
// over the next cadence when a pause is asked for.
class AnnouncementTest : public QObject {
    Q_OBJECT

private:
    LoopHarness m_app;

    const AppState &state() const { return m_app.state(); }
    std::optional<AppEffect> send(AppAction action) { return m_app.send(std::move(action)); }
    QString said() const { return state().announcement ? announcementText(*state().announcement) : QString(); }
    std::uint64_t serial() const { return state().announcement ? state().announcement->serial : 0; }

    // Past the cadence of a session's first question, D asked.
    void askFirstQuestion(int speechPause = 0)
    {
        Settings settings;
        settings.speechPause = speechPause;
        m_app.start(settings, cMajor);
        send(actions::didPressStartStopLevelButton{});
        send(actions::didStartSession{Session{100.0, {}}});
        send(actions::didLoadQuestion{questionOf(u"D1")});
        send(actions::didPlayCadence{state().playback});
    }

private slots:
    void cleanup() { m_app.stop(); }

    void questionReadyOnlyOnceTheNoteHasPlayed()
    {
        Settings settings;
        m_app.start(settings, cMajor);
        QVERIFY(!state().announcement);
        send(actions::didPressStartStopLevelButton{});
        send(actions::didStartSession{Session{100.0, {}}});
        send(actions::didLoadQuestion{questionOf(u"D1")});
        QVERIFY(!state().announcement);
        // A cadence cut short by a stop says nothing.
        send(actions::didPlayCadence{state().playback + 1});
        QVERIFY(!state().announcement);
        send(actions::didPlayCadence{state().playback});
        QCOMPARE(said(), QStringLiteral("Your answer?"));
    }

    // The verdict comes once the answer is recorded: after the wrong key has
    // sounded, after the right one's whole resolution. A wrong answer never
    // names the note.
    void verdicts()
    {
        askFirstQuestion();
        const std::uint64_t ready = serial();
        send(actions::didPressNote{note(u"E1")});
        QCOMPARE(state().highlightedNote->mark, Highlight::Mark::wrong);
        QCOMPARE(serial(), ready);
        send(actions::didLogWrongAnswer{answered(0, 1), state().playback});
        QCOMPARE(said(), QStringLiteral("Wrong, try again."));
        QVERIFY(!said().contains(QLatin1Char('D')));

        send(actions::didPressNote{note(u"D1")});
        QCOMPARE(state().highlightedNote->mark, Highlight::Mark::right);
        // D's resolution: D marked right while it sounds, then C unmarked.
        QList<Highlight::Mark> marks;
        std::optional<AppEffect> effect = send(actions::didPlayNoteInResolution{state().playback});
        while (effect && std::holds_alternative<effects::playNoteInResolution>(*effect)) {
            marks << state().highlightedNote->mark;
            QCOMPARE(said(), QStringLiteral("Wrong, try again."));
            effect = send(actions::didPlayNoteInResolution{state().playback});
        }
        QCOMPARE(marks, (QList<Highlight::Mark>{Highlight::Mark::right, Highlight::Mark::none}));
        QVERIFY(effect && std::holds_alternative<effects::logRightAnswer>(*effect));
        QCOMPARE(said(), QStringLiteral("Wrong, try again."));
        send(actions::didLogRightAnswer{answered(0, 1), state().playback});
        QCOMPARE(said(), QStringLiteral("Right."));
    }

    // The pause before a cadence comes after an answer, never before the
    // session's first question.
    void speechPause_data()
    {
        QTest::addColumn<int>("pause");
        QTest::addColumn<bool>("reader"); // a screen reader reads the app
        QTest::addColumn<int>("beats");
        QTest::newRow("none, as ever") << 0 << true << 0;
        QTest::newRow("two beats") << 2 << false << 2;
        QTest::newRow("automatic, no screen reader: none") << int(Settings::automaticPause) << false << 0;
        QTest::newRow("automatic, a screen reader: one beat") << int(Settings::automaticPause) << true << 1;
    }
    void speechPause()
    {
        QFETCH(int, pause);
        QFETCH(bool, reader);
        QFETCH(int, beats);
        Settings settings;
        settings.speechPause = pause;
        m_app.start(settings, cMajor);
        send(actions::didChangeScreenReader{reader});
        send(actions::didPressStartStopLevelButton{});
        send(actions::didStartSession{Session{100.0, {}}});
        auto first = send(actions::didLoadQuestion{questionOf(u"D1")});
        QCOMPARE(std::get<effects::playCadence>(*first).pauseBeats, 0);
        send(actions::didPlayCadence{state().playback});
        send(actions::didPressNote{note(u"D1")});
        while (state().pendingAnswer)
            if (auto e = send(actions::didPlayNoteInResolution{state().playback}); e && std::holds_alternative<effects::logRightAnswer>(*e))
                send(actions::didLogRightAnswer{answered(1, 0), state().playback});
        auto second = send(actions::didLoadQuestion{questionOf(u"E1")});
        QCOMPARE(std::get<effects::playCadence>(*second).pauseBeats, beats);
    }

    // A stop says whether anything was kept, with the score kept; an error
    // says what the error screen says.
    void stopsAndErrors_data()
    {
        QTest::addColumn<bool>("withAnswers");
        QTest::addColumn<QString>("text");
        QTest::newRow("answers kept") << true << "Session saved: 2 of 3 right.";
        QTest::newRow("nothing answered") << false << "Session stopped.";
    }
    void stopsAndErrors()
    {
        QFETCH(bool, withAnswers);
        QFETCH(QString, text);
        askFirstQuestion();
        auto stop = send(actions::didPressStartStopLevelButton{});
        QVERIFY(stop && std::holds_alternative<effects::stopSession>(*stop));
        const std::uint64_t before = serial();
        send(actions::didLoadLevel{cMajor, std::nullopt, withAnswers ? answered(2, 1) : Session{100.0, {}}});
        QCOMPARE(serial(), before + 1);
        QCOMPARE(said(), text);
        // A level loaded otherwise says nothing.
        send(actions::didLoadLevel{cMajor});
        QCOMPARE(serial(), before + 1);

        send(actions::errorOccurred{Error{QStringLiteral("NotePlayer"), 1, QStringLiteral("No sound output")}});
        QCOMPARE(said(), QStringLiteral("Something went wrong: No sound output"));
    }
};

LIRRA_TEST(AnnouncementTest)
#include "announcement_test.moc"
