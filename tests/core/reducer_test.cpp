#include "support/fakes.h"
#include "support/notes.h"
#include "support/test_registry.h"

#include "core/app_loop.h"
#include "model/generators.h"

#include <QTest>

using namespace lirra;
using namespace lirra::test;

namespace {

Level levelOne()
{
    return DiatonicLevelGenerator::makeLevel(1, NoteName::c, true, false, NoteRange::firstHalfOfOctave);
}

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

Tip tip(Tip::Target target, const char *title)
{
    return Tip{target, QString::fromLatin1(title), QStringLiteral("message"), QStringLiteral("Next")};
}

} // namespace

// Drives the reducer through the loop by hand: a scripted effect handler
// records the effects and answers nothing, the test sends every result.
class ReducerTest : public QObject {
    Q_OBJECT

private:
    std::shared_ptr<MemoryPreferences> m_preferences;
    std::shared_ptr<ListTipProvider> m_tips;
    std::shared_ptr<ScriptedEffectHandler> m_handler;
    std::unique_ptr<AppLoop> m_loop;

    const AppState &state() const { return m_loop->state(); }

    // Sends the action and answers the effect it produced, if any.
    std::optional<AppEffect> send(AppAction action)
    {
        const size_t before = m_handler->handled.size();
        m_loop->send(std::move(action));
        drainEvents();
        if (m_handler->handled.size() == before)
            return std::nullopt;
        return m_handler->handled.back();
    }

    void startPractising(const Level &level)
    {
        send(actions::didLoadLevel{level});
        QCOMPARE(send(actions::didPressStartStopLevelButton{}), AppEffect(effects::startSession{}));
        QCOMPARE(send(actions::didStartSession{Session{100.0, {}}}), AppEffect(effects::loadNextQuestion{}));
    }

    void ask(const Question &q)
    {
        QCOMPARE(send(actions::didLoadQuestion{q}), AppEffect(effects::playCadence{*state().level, q}));
        QCOMPARE(send(actions::didPlayCadence{}), std::nullopt);
        QVERIFY(state().isInteractionEnabled);
    }

private slots:
    void init()
    {
        m_preferences = std::make_shared<MemoryPreferences>();
        m_preferences->setBool(true, PreferenceKey::hasSeenOnboarding);
        m_tips = std::make_shared<ListTipProvider>();
        m_handler = std::make_shared<ScriptedEffectHandler>();
        AppEnvironment env;
        env.preferences = m_preferences;
        env.tipProvider = m_tips;
        env.logger = std::make_shared<RecordingLogger>();
        auto handler = m_handler;
        m_loop = std::make_unique<AppLoop>(env, AppState{}, [handler](const AppEnvironment &) { return handler; });
    }
    void cleanup()
    {
        drainEvents();
        m_loop.reset();
    }

    void practiceCycle()
    {
        QCOMPARE(send(actions::didLoad{}), AppEffect(effects::prepareToPractice{}));
        Level level = levelOne();
        level.sessions = {sessionWith({{"C1", {1, 1}}})};
        QCOMPARE(send(actions::didLoadLevel{level}), std::nullopt);
        QVERIFY(state().isInteractionEnabled);
        QCOMPARE(state().accuracy, 0.125f); // C1 at 1/2, three notes never asked
        QCOMPARE(state().baseLevel, std::optional(level));

        startPractising(level);
        QVERIFY(state().isPracticing);
        QCOMPARE(state().questionsCount, 0);

        const Question q = question("E1", "E1 D1 C1");
        ask(q);

        // A wrong key: red, sounded and logged; the same question stays.
        QCOMPARE(send(actions::didPressNote{note(u"F1")}), AppEffect(effects::logWrongAnswer{note(u"F1"), q}));
        QCOMPARE(state().highlightedNote, std::optional(Highlight{note(u"F1"), PaletteColor::red}));
        QVERIFY(!state().isInteractionEnabled);
        QCOMPARE(send(actions::didLogWrongAnswer{sessionWith({{"E1", {0, 1}}})}), std::nullopt);
        QVERIFY(state().isInteractionEnabled);
        QCOMPARE(state().highlightedNote, std::optional(Highlight{note(u"F1"), PaletteColor::red}));
        QCOMPARE(state().question, std::optional(q));
        QCOMPARE(state().questionsCount, 1);
        QCOMPARE(state().correctIdentifications, 0);
        QCOMPARE(state().accuracy, 0.0f);

        // The right key: each resolution note lit green in turn, then scored.
        QCOMPARE(send(actions::didPressNote{note(u"E1")}), AppEffect(effects::playNoteInResolution{std::nullopt}));
        QVERIFY(!state().isInteractionEnabled);
        QCOMPARE(state().currentlyPlayingResolution, notes("E1 D1 C1"));
        for (const char *step : {"E1", "D1", "C1"}) {
            const Note n = note(QString::fromLatin1(step));
            QCOMPARE(send(actions::didPlayNoteInResolution{}), AppEffect(effects::playNoteInResolution{n}));
            QCOMPARE(state().highlightedNote, std::optional(Highlight{n, PaletteColor::green}));
        }
        QVERIFY(state().currentlyPlayingResolution.empty());
        QCOMPARE(send(actions::didPlayNoteInResolution{}), AppEffect(effects::logRightAnswer{note(u"E1"), q}));
        QCOMPARE(send(actions::didLogRightAnswer{sessionWith({{"E1", {0, 1}}, {"D1", {2, 0}}})}),
                 AppEffect(effects::loadNextQuestion{}));
        QCOMPARE(state().questionsCount, 3);
        QCOMPARE(state().correctIdentifications, 2);
        QCOMPARE(state().accuracy, float(2.0 / 3.0));
        QCOMPARE(state().accuracyPerNote.at(note(u"D1")), 1.0);
        QVERIFY(!state().highlightedNote);
        QVERIFY(state().isInteractionEnabled);

        const Question next = question("D1", "D1 C1");
        ask(next);
        QCOMPARE(send(actions::didPressRepeatQuestionButton{}), AppEffect(effects::repeatQuestion{level, next}));
        QVERIFY(!state().isInteractionEnabled);
        send(actions::didPlayCadence{});

        // Stop: the level comes back with its history; counts stay until the next session.
        QCOMPARE(send(actions::didPressStartStopLevelButton{}), AppEffect(effects::stopSession{}));
        QVERIFY(!state().isPracticing);
        Level stopped = level;
        stopped.sessions.push_back(sessionWith({{"E1", {0, 1}}, {"D1", {2, 0}}}));
        QCOMPARE(send(actions::didLoadLevel{stopped}), std::nullopt);
        QVERIFY(!state().session && !state().question && !state().highlightedNote);
        QCOMPARE(state().questionsCount, 3);
        QCOMPARE(state().accuracy, float((0.5 + 1.0 + 0.0 + 0.0) / 4.0));
    }

    void freePlay()
    {
        send(actions::didLoadLevel{levelOne()});
        QCOMPARE(send(actions::didPressNote{note(u"G1")}), AppEffect(effects::playNote{note(u"G1")}));
        QCOMPARE(send(actions::didPressNote{note(u"G1")}), AppEffect(effects::playNote{note(u"G1")}));
        QCOMPARE(state().highlightedNote, std::optional(Highlight{note(u"G1"), PaletteColor::amber}));
        QCOMPARE(send(actions::didReleaseNote{note(u"G1")}), std::nullopt);
        QCOMPARE(state().highlightedNote, std::optional(Highlight{note(u"G1"), PaletteColor::amber}));
        QCOMPARE(m_handler->handled.size(), size_t(2));
    }

    void octaveRule_data()
    {
        QTest::addColumn<bool>("multipleOctaves");
        QTest::addColumn<QString>("pressed");
        QTest::addColumn<bool>("right");
        QTest::newRow("one octave, exact note") << false << "C2" << true;
        QTest::newRow("one octave, other octave") << false << "C1" << false;
        QTest::newRow("one octave, other name") << false << "D2" << false;
        QTest::newRow("several octaves, other octave") << true << "C1" << true;
        QTest::newRow("several octaves, other name") << true << "B1" << false;
    }
    void octaveRule()
    {
        QFETCH(bool, multipleOctaves);
        QFETCH(QString, pressed);
        QFETCH(bool, right);
        Level level = levelOne();
        level.spansMultipleOctaves = multipleOctaves;
        startPractising(level);
        ask(question("C2", "C2"));
        const std::optional<AppEffect> effect = send(actions::didPressNote{note(pressed)});
        QVERIFY(effect);
        QCOMPARE(std::holds_alternative<effects::playNoteInResolution>(*effect), right);
        QCOMPARE(std::holds_alternative<effects::logWrongAnswer>(*effect), !right);
    }

    void emptyResolutionGoesStraightToScoring()
    {
        startPractising(levelOne());
        const Question q = question("D1", "");
        ask(q);
        QCOMPARE(send(actions::didPressNote{note(u"D1")}), AppEffect(effects::playNoteInResolution{std::nullopt}));
        QCOMPARE(state().highlightedNote, std::optional(Highlight{note(u"D1"), PaletteColor::green}));
        QCOMPARE(send(actions::didPlayNoteInResolution{}), AppEffect(effects::logRightAnswer{note(u"D1"), q}));
    }

    void staleResolutionStepAfterLevelLoad()
    {
        startPractising(levelOne());
        ask(question("E1", "E1 D1 C1"));
        send(actions::didPressNote{note(u"E1")});
        send(actions::didPlayNoteInResolution{});
        QCOMPARE(send(actions::didLoadLevel{levelOne()}), std::nullopt);
        QCOMPARE(send(actions::didPlayNoteInResolution{}), std::nullopt);
        QCOMPARE(state().currentlyPlayingResolution, notes("D1 C1"));
        QVERIFY(!state().highlightedNote);
    }

    void guardsWithoutLevelOrQuestion()
    {
        QCOMPARE(send(actions::didLoadQuestion{question("C1", "C1")}), std::nullopt);
        QVERIFY(!state().question);
        QCOMPARE(send(actions::didPressStartStopLevelButton{}), AppEffect(effects::startSession{}));
        QCOMPARE(send(actions::didPressNote{note(u"C1")}), std::nullopt);
        QCOMPARE(send(actions::didPressRepeatQuestionButton{}), std::nullopt);
        QCOMPARE(send(actions::didPlayNoteInResolution{}), std::nullopt);
        QCOMPARE(send(actions::didSelectNotes{notes("C1")}), std::nullopt);
    }

    void levelEditorConfirmation()
    {
        Level base = levelOne();
        base.sessions = {sessionWith({{"C1", {1, 0}}})};
        send(actions::didLoadLevel{base});
        QCOMPARE(send(actions::didPressConfigureLevelButton{}), std::nullopt);
        QVERIFY(state().isLevelEditorVisible);

        // The same set in another order changes nothing.
        QCOMPARE(send(actions::didSelectNotes{notes("F1 E1 D1 C1 C1")}), std::nullopt);

        // A subset becomes a custom level, in the order chosen.
        Level custom = base;
        custom.notes = notes("E1 C1");
        custom.isCustom = true;
        custom.sessions.clear();
        QCOMPARE(send(actions::didSelectNotes{notes("E1 C1")}), AppEffect(effects::loadLevel{custom}));
        QVERIFY(state().isLevelEditorVisible);
        send(actions::didDismissLevelEditor{});
        QVERIFY(!state().isLevelEditorVisible);
        send(actions::didLoadLevel{custom});
        QCOMPARE(state().level->title(), QStringLiteral("C major *"));
        QCOMPARE(state().baseLevel, std::optional(base));

        // The base level's set brings the base level itself back.
        QCOMPARE(send(actions::didSelectNotes{notes("D1 C1 F1 E1")}), AppEffect(effects::loadLevel{base}));
    }

    void sessionWithAnswersShowsAtOnce()
    {
        send(actions::didLoadLevel{levelOne()});
        send(actions::didPressStartStopLevelButton{});
        send(actions::didStartSession{sessionWith({{"C1", {3, 1}}})});
        QCOMPARE(state().questionsCount, 4);
        QCOMPARE(state().correctIdentifications, 3);
        QCOMPARE(state().accuracy, 0.75f);
    }

    void errorsAndRecovery()
    {
        send(actions::didLoadLevel{levelOne()});
        send(actions::didPressStartStopLevelButton{});
        const Error failure{QStringLiteral("test"), 5, QStringLiteral("no disk")};
        QCOMPARE(send(actions::errorOccurred{failure}), std::nullopt);
        QVERIFY(state().hasError);
        QVERIFY(state().isPracticing); // nothing rolled back
        send(actions::didLoadLevel{levelOne()});
        QVERIFY(!state().hasError);
        QCOMPARE(state().error, std::optional(failure));
    }

    void simpleActions()
    {
        QCOMPARE(send(actions::didPressHomeButton{}), AppEffect(effects::loadFirstLevel{}));
        QCOMPARE(send(actions::didPressRandomButton{}), AppEffect(effects::loadRandomLevel{}));
        QCOMPARE(send(actions::didPressPreviousLevelButton{}), AppEffect(effects::loadPreviousLevel{}));
        QCOMPARE(send(actions::didPressNextLevelButton{}), AppEffect(effects::loadNextLevel{}));
        QCOMPARE(send(actions::didPressAccuracyRing{}), std::nullopt);
        QVERIFY(state().isAccuracyScreenVisible);
        send(actions::didDismissAccuracyScreen{});
        QVERIFY(!state().isAccuracyScreenVisible);
    }

    void onboardingTour()
    {
        m_preferences->booleans.clear();
        m_tips->tips = {tip(Tip::Target::startStopButton, "one"), tip(Tip::Target::keyboard, "two")};

        send(actions::didLoadLevel{levelOne()});
        QCOMPARE(state().currentTip, std::optional(m_tips->tips[0]));
        QVERIFY(!state().isInteractionEnabled);
        send(actions::didDismissTip{});
        QCOMPARE(state().currentTip, std::optional(m_tips->tips[1]));
        QVERIFY(!state().isInteractionEnabled);
        QVERIFY(!m_preferences->boolean(PreferenceKey::hasSeenOnboarding));
        send(actions::didDismissTip{});
        QVERIFY(!state().currentTip);
        QVERIFY(state().isInteractionEnabled);
        QVERIFY(m_preferences->boolean(PreferenceKey::hasSeenOnboarding));

        // Seen: later loads no longer ask the provider.
        const int calls = m_tips->calls;
        send(actions::didLoadLevel{levelOne()});
        QCOMPARE(m_tips->calls, calls);
        QVERIFY(state().isInteractionEnabled);
    }

    void levelLoadsAdvanceAnUnfinishedTour()
    {
        m_preferences->booleans.clear();
        m_tips->tips = {tip(Tip::Target::titleView, "one"), tip(Tip::Target::homeButton, "two")};
        send(actions::didLoadLevel{levelOne()});
        send(actions::didLoadLevel{levelOne()});
        QCOMPARE(state().currentTip, std::optional(m_tips->tips[1]));
        send(actions::didLoadLevel{levelOne()});
        QVERIFY(!state().currentTip);
        QVERIFY(state().isInteractionEnabled);
        // Only a dismissal records the tour as seen.
        QVERIFY(!m_preferences->boolean(PreferenceKey::hasSeenOnboarding));
    }
};

LIRRA_TEST(ReducerTest)
#include "reducer_test.moc"
