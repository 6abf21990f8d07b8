#include "support/loop_harness.h"
#include "support/notes.h"
#include "support/test_registry.h"

#include "model/generators.h"

#include <QTest>

using namespace lirra;
using namespace lirra::test;

namespace {

Question anyQuestion()
{
    return Question{QUuid::createUuid(), note(u"E1"), notes("E1 D1 C1")};
}

} // namespace

// How the settings steer a session: which questions start with a cadence,
// and what a change of settings asks of the effect handler.
class SettingsFlowTest : public QObject {
    Q_OBJECT

private:
    LoopHarness m_app;

    const AppState &state() const { return m_app.state(); }
    std::optional<AppEffect> send(AppAction action) { return m_app.send(std::move(action)); }
    void start(const Settings &settings)
    {
        m_app.start(settings, cMajor);
        QCOMPARE(m_app.handler->handled.front(), AppEffect(effects::prepareToPractice{settings}));
    }
    // Starts a session and asks questions; "C" for each that starts with the
    // cadence, "-" for each that does not.
    QString session(int questions)
    {
        send(actions::didPressStartStopLevelButton{});
        send(actions::didStartSession{Session{100.0, {}}});
        QString heard;
        for (int i = 0; i < questions; ++i) {
            const Question q = anyQuestion();
            const std::optional<AppEffect> effect = send(actions::didLoadQuestion{q});
            const auto *play = effect ? std::get_if<effects::playCadence>(&*effect) : nullptr;
            if (!play)
                return heard + QStringLiteral("?");
            heard += play->withCadence ? QLatin1Char('C') : QLatin1Char('-');
            send(actions::didPlayCadence{state().playback});
        }
        send(actions::didPressStartStopLevelButton{});
        send(actions::didLoadLevel{cMajor});
        return heard;
    }

private slots:
    void cleanup() { m_app.stop(); }

    void cadenceFrequency_data()
    {
        QTest::addColumn<int>("every");
        QTest::addColumn<QString>("heard");
        QTest::newRow("before every question") << 1 << "CCCCCCC";
        QTest::newRow("every second") << 2 << "C-C-C-C";
        QTest::newRow("every third") << 3 << "C--C--C";
        QTest::newRow("only at the start") << 0 << "C------";
        QTest::newRow("rarer than the session") << 16 << "C------";
    }
    void cadenceFrequency()
    {
        QFETCH(int, every);
        QFETCH(QString, heard);
        Settings settings;
        settings.cadenceEvery = every;
        start(settings);
        QCOMPARE(session(7), heard);
        // Each session starts with the cadence again.
        QCOMPARE(session(7), heard);
    }

    // A cadence for another key than the one last heard plays whatever the
    // count says; a repeat always plays it.
    void keyChangesAndRepeats()
    {
        Settings settings;
        settings.cadenceEvery = 0;
        start(settings);
        send(actions::didPressStartStopLevelButton{});
        send(actions::didStartSession{Session{100.0, {}}});
        const auto ask = [this]() {
            const std::optional<AppEffect> effect = send(actions::didLoadQuestion{anyQuestion()});
            send(actions::didPlayCadence{state().playback});
            return effect ? std::get<effects::playCadence>(*effect).withCadence : false;
        };
        QVERIFY(ask());
        QVERIFY(!ask());
        const auto repeat = send(actions::didPressRepeatQuestionButton{});
        QVERIFY(repeat && std::holds_alternative<effects::repeatQuestion>(*repeat));
        send(actions::didPlayCadence{state().playback});
        QVERIFY(!ask());
        // Another key's cadence: as if the level had moved on mid-session.
        AppState moved = state();
        moved.level = DiatonicLevelGenerator().generateLevels()[20];
        QVERIFY(moved.level->cadence != cMajor.cadence);
        m_app.restart(AppEnvironment{nullptr, nullptr, std::make_shared<ListTipProvider>(),
                                     std::make_shared<MemoryPreferences>(), nullptr},
                      moved);
        QVERIFY(ask());
        QVERIFY(!ask());
    }

    // A change is stored and applied; a new instrument is previewed on the
    // tonic, but never over a question.
    void changes_data()
    {
        QTest::addColumn<bool>("practising");
        QTest::addColumn<bool>("newInstrument");
        QTest::addColumn<bool>("previewed");
        QTest::addColumn<QString>("change"); // the setting, beside the instrument
        QTest::newRow("instrument, between sessions") << false << true << true << "tempo";
        QTest::newRow("instrument, in a session") << true << true << false << "tempo";
        QTest::newRow("tempo, between sessions") << false << false << false << "tempo";
        QTest::newRow("tempo, in a session") << true << false << false << "tempo";
        QTest::newRow("melodies of 3, between sessions") << false << false << false << "length";
        // A session's answers belong to one length: the length waits, with
        // a word why, and the rest of the change is made.
        QTest::newRow("melodies of 3, in a session") << true << false << false << "length";
        QTest::newRow("the leap, in a session") << true << false << false << "leap";
    }
    void changes()
    {
        QFETCH(bool, practising);
        QFETCH(bool, newInstrument);
        QFETCH(bool, previewed);
        QFETCH(QString, change);
        const Settings before;
        start(before);
        send(actions::didLoadLevel{DiatonicLevelGenerator().generateLevels()[20]});
        if (practising)
            send(actions::didPressStartStopLevelButton{});
        Settings after = before;
        if (newInstrument)
            after.instrument = Preset{0, 48};
        else if (change == QLatin1String("length"))
            after.melodyLength = 3;
        else if (change == QLatin1String("leap"))
            after.melodyLeap = MelodyLeap::steps;
        else
            after.tempo = 72;
        if (change == QLatin1String("length") && practising) {
            after.tempo = 72;
            const std::optional<AppEffect> effect = send(actions::didChangeSettings{after});
            QVERIFY(effect);
            QCOMPARE(std::get<effects::applySettings>(*effect).settings.melodyLength, 1);
            QCOMPARE(state().settings.tempo, 72);
            QCOMPARE(state().notice, std::optional(QStringLiteral("Stop the session to change the question length.")));
            return;
        }
        const std::optional<AppEffect> effect = send(actions::didChangeSettings{after});
        QVERIFY(effect);
        const auto &apply = std::get<effects::applySettings>(*effect);
        QCOMPARE(apply.settings, after);
        QCOMPARE(apply.previous, before);
        QCOMPARE(apply.preview.has_value(), previewed);
        if (previewed)
            QCOMPARE(*apply.preview, (Note{state().level->key, 1}));
        QCOMPARE(state().settings, after);
        // The same settings again: nothing to do.
        QVERIFY(!send(actions::didChangeSettings{after}));
    }
};

LIRRA_TEST(SettingsFlowTest)
#include "settings_flow_test.moc"
