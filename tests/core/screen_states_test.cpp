#include "support/notes.h"
#include "support/test_registry.h"

#include "core/screen_states.h"

#include <QTest>

using namespace lirra;
using namespace lirra::test;

class ScreenStatesTest : public QObject {
    Q_OBJECT

private slots:
    void enablingRules_data()
    {
        QTest::addColumn<bool>("interaction");
        QTest::addColumn<bool>("practising");
        QTest::addColumn<bool>("overlay");
        QTest::addColumn<QString>("moment");
        QTest::addColumn<QString>("enabled");
        QTest::newRow("free play") << true << false << false << "" << "navigation startStop ring keyboard";
        QTest::newRow("busy outside a session") << false << false << false << "" << "";
        QTest::newRow("answering") << true << true << false << "question" << "startStop repeat ring keyboard";
        // Stop and replay reach into the cadence and the question note.
        QTest::newRow("cadence") << false << true << false << "question" << "startStop repeat";
        QTest::newRow("before the first question") << false << true << false << "" << "startStop";
        // An answer is heard: its resolution leads on, so no replay.
        QTest::newRow("answer sounding") << false << true << false << "pending" << "startStop";
        QTest::newRow("a tip waits") << false << true << false << "tip" << "";
        QTest::newRow("an overlay is open") << true << true << true << "question" << "keyboard";
        QTest::newRow("an overlay during the cadence") << false << true << true << "question" << "";
    }
    void enablingRules()
    {
        QFETCH(bool, interaction);
        QFETCH(bool, practising);
        QFETCH(bool, overlay);
        QFETCH(QString, moment);
        QFETCH(QString, enabled);
        AppState state;
        state.isInteractionEnabled = interaction;
        state.isPracticing = practising;
        state.isAccuracyScreenVisible = overlay;
        const Question asked{{}, note(u"E1"), {}};
        if (moment == QLatin1String("question") || moment == QLatin1String("pending"))
            state.question = asked;
        if (moment == QLatin1String("pending"))
            state.pendingAnswer = PendingAnswer{asked, true};
        if (moment == QLatin1String("tip"))
            state.currentTip = Tip{Tip::Target::keyboard, QStringLiteral("t"), QStringLiteral("m"), QStringLiteral("a")};
        const NavBarState bar = navBarState(mainScreenState(state));
        QStringList seen;
        if (bar.isPreviousButtonEnabled && bar.isNextButtonEnabled && bar.isConfigureButtonEnabled)
            seen << QStringLiteral("navigation");
        if (bar.isStartStopButtonEnabled)
            seen << QStringLiteral("startStop");
        if (bar.isRepeatButtonEnabled)
            seen << QStringLiteral("repeat");
        if (bar.isAccuracyRingEnabled)
            seen << QStringLiteral("ring");
        if (mainScreenState(state).isKeyboardEnabled)
            seen << QStringLiteral("keyboard");
        QCOMPARE(seen.join(QLatin1Char(' ')), enabled);
        QCOMPARE(bar.startStopButtonMode == NavBarState::StartStopMode::stop, practising);
        QCOMPARE(bar.isScoreLabelHidden, !practising);
    }

    void scoreText()
    {
        AppState state;
        state.isPracticing = true;
        QCOMPARE(mainScreenState(state).scoreText, std::optional(StyledText{})); // present, empty
        QVERIFY(!mainScreenState(state).scoreAccessibilityText);
        state.correctIdentifications = 3;
        state.questionsCount = 5;
        const MainScreenState main = mainScreenState(state);
        QCOMPARE(*main.scoreText, (StyledText{{"3", PaletteColor::green}, {" · ", {}}, {"2", PaletteColor::red},
                                              {" · ", {}}, {"5", PaletteColor::teal}}));
        QCOMPARE(main.scoreAccessibilityText, std::optional(QStringLiteral("3 of 5 right")));
        state.isPracticing = false; // after the session: the counts stay, the sentence goes
        QCOMPARE(plainText(*mainScreenState(state).scoreText), QStringLiteral("3 · 2 · 5"));
        QVERIFY(!mainScreenState(state).scoreAccessibilityText);
    }

    // The accuracy screen names, for each note first taken for another, the
    // one it was taken for most often: over the level's sessions, or over
    // the session under way; a tie goes to the lower note.
    void heardAs()
    {
        const auto session = [](double timestamp, std::initializer_list<std::pair<const char *, std::pair<const char *, int>>> taken) {
            Session s{timestamp, {{note(u"C1"), Score{1, 1}}}};
            for (const auto &[asked, answered] : taken)
                s.confusions[Confusion{note(QString::fromLatin1(asked)), note(QString::fromLatin1(answered.first))}] = answered.second;
            return s;
        };
        AppState state;
        state.level = Level{};
        state.level->notes = notes("C1 D1 E1 F1");
        state.level->sessions = {session(1, {{"E1", {"D#1", 1}}, {"E1", {"F1", 2}}, {"C1", {"D1", 1}}}),
                                 session(2, {{"E1", {"D#1", 2}}, {"F1", {"E1", 1}}, {"F1", {"G1", 1}}})};
        AccuracyScreenState accuracy = accuracyScreenState(state);
        QCOMPARE(accuracy.heardAs, (std::vector<Confusion>{{note(u"C1"), note(u"D1")}, {note(u"E1"), note(u"D#1")},
                                                            {note(u"F1"), note(u"E1")}}));
        QCOMPARE(accuracy.heardAsCounts, (std::vector<std::int64_t>{1, 3, 1}));

        state.session = session(3, {{"D1", {"C1", 1}}});
        accuracy = accuracyScreenState(state);
        QCOMPARE(accuracy.context, AccuracyScreenState::Context::session);
        QCOMPARE(accuracy.heardAs, (std::vector<Confusion>{{note(u"D1"), note(u"C1")}}));
        state.session = Session{4, {}};
        QVERIFY(accuracyScreenState(state).heardAs.empty());

        // A note taken for itself an octave away is said so, not "Do heard as Do".
        AppState stopped;
        stopped.level = Level{};
        stopped.level->notes = notes("C1 G1 C2");
        stopped.sessionSummary = SessionSummary{60, 3, 4, 0.75, std::nullopt, 0, Confusion{note(u"C1"), note(u"C2")}, 4};
        const QString caption = mainScreenState(stopped).caption.value_or(QString());
        QVERIFY2(caption.endsWith(QStringLiteral("Most confused: Do heard as the Do above (4×).")), qPrintable(caption));
        stopped.sessionSummary->mostConfused = Confusion{note(u"C2"), note(u"C1")};
        QVERIFY(mainScreenState(stopped).caption->contains(QStringLiteral("Do heard as the Do below")));
    }
};

LIRRA_TEST(ScreenStatesTest)
#include "screen_states_test.moc"
