#include "support/fakes.h"
#include "support/notes.h"
#include "support/test_registry.h"

#include "core/app_loop.h"
#include "model/generators.h"

#include <QTest>

using namespace lirra;
using namespace lirra::test;

namespace {

class SnoopingLogger final : public Logger {
public:
    bool isEnabled(LogLevel) const override { return enabled; }
    void write(LogLevel, const QString &line) override
    {
        lines << line;
        if (snoop)
            snoop();
    }
    bool enabled = true;
    QStringList lines;
    std::function<void()> snoop;
};

} // namespace

class AppLoopTest : public QObject {
    Q_OBJECT

private:
    std::shared_ptr<MemoryPreferences> m_preferences;
    std::shared_ptr<SnoopingLogger> m_logger;
    std::shared_ptr<ScriptedEffectHandler> m_handler;
    std::unique_ptr<AppLoop> m_loop;

    AppEnvironment environment()
    {
        AppEnvironment env;
        env.preferences = m_preferences;
        env.tipProvider = std::make_shared<ListTipProvider>();
        env.logger = m_logger;
        return env;
    }

private slots:
    void init()
    {
        m_preferences = std::make_shared<MemoryPreferences>();
        m_preferences->setBool(true, PreferenceKey::hasSeenOnboarding);
        m_logger = std::make_shared<SnoopingLogger>();
        m_handler = std::make_shared<ScriptedEffectHandler>();
        auto handler = m_handler;
        m_loop = std::make_unique<AppLoop>(environment(), AppState{},
                                           [handler](const AppEnvironment &) { return handler; });
    }
    void cleanup()
    {
        drainEvents();
        m_loop.reset();
    }

    void initialState()
    {
        const AppState &s = m_loop->state();
        QVERIFY(!s.isPracticing && !s.isLevelEditorVisible && !s.isAccuracyScreenVisible && !s.hasError);
        QVERIFY(!s.isInteractionEnabled);
        QVERIFY(!s.level && !s.baseLevel && !s.session && !s.question && !s.highlightedNote && !s.error
                && !s.currentTip);
        QCOMPARE(s.questionsCount, 0);
        QCOMPARE(s.correctIdentifications, 0);
        QCOMPARE(s.accuracy, 0.0f);
        QVERIFY(s.accuracyPerNote.empty() && s.currentlyPlayingResolution.empty());
    }

    void logsOncePerActionBeforeReducing()
    {
        QList<bool> editorVisibleWhileLogging;
        m_logger->snoop = [&] { editorVisibleWhileLogging << m_loop->state().isLevelEditorVisible; };
        m_loop->send(actions::didPressConfigureLevelButton{});
        QCOMPARE(m_logger->lines, QStringList{QStringLiteral("👆 didPressConfigureLevel")});
        QCOMPARE(editorVisibleWhileLogging, QList<bool>{false});
        QVERIFY(m_loop->state().isLevelEditorVisible);

        m_logger->enabled = false;
        m_loop->send(actions::didDismissLevelEditor{});
        QCOMPARE(m_logger->lines.size(), 1);
        QVERIFY(!m_loop->state().isLevelEditorVisible);
    }

    void delegateSeesEveryState()
    {
        std::vector<AppState> seen;
        m_loop->delegate = AppLoopDelegate{[&](const AppState &s) { seen.push_back(s); }};
        m_loop->send(actions::didPressAccuracyRing{});
        m_loop->send(actions::didReleaseNote{Note{}});        // changes nothing, still published
        m_loop->send(actions::didPressRepeatQuestionButton{}); // guard fails, still published
        m_loop->send(actions::didDismissAccuracyScreen{});
        QCOMPARE(seen.size(), size_t(4));
        QVERIFY(seen[0].isAccuracyScreenVisible && seen[2].isAccuracyScreenVisible);
        QVERIFY(!seen[3].isAccuracyScreenVisible);
    }

    void effectsStartAfterSendReturns()
    {
        QStringList order;
        m_handler->answer = [](const AppEffect &effect) -> std::optional<AppAction> {
            if (std::holds_alternative<effects::prepareToPractice>(effect))
                return actions::didLoadLevel{DiatonicLevelGenerator::makeLevel(7, NoteName::c, true, false,
                                                                               NoteRange::entireOctave)};
            return std::nullopt;
        };
        m_loop->delegate = AppLoopDelegate{[&](const AppState &s) {
            order << (s.level ? QStringLiteral("level") : QStringLiteral("state"));
        }};
        m_loop->send(actions::didLoad{});
        order << QStringLiteral("returned");
        QVERIFY(m_handler->handled.empty());
        QVERIFY(spinUntil([&] { return m_loop->state().level.has_value(); }));
        QCOMPARE(order, (QStringList{"state", "returned", "level"}));
        QCOMPARE(m_handler->handled.size(), size_t(1));
        QCOMPARE(m_logger->lines, (QStringList{"✅  didLoad", "✅ didLoadLevel - 7 - C major"}));
    }

    void severalEffectsInFlight()
    {
        Gate gate;
        m_handler->gate = &gate;
        for (const Note &n : notes("C1 E1 G1"))
            m_loop->send(actions::didPressNote{n});
        QVERIFY(spinUntil([&] { return m_handler->inFlight == 3; }));
        QCOMPARE(m_handler->handled[0], AppEffect(effects::playNote{note(u"C1")}));
        QCOMPARE(m_handler->handled[2], AppEffect(effects::playNote{note(u"G1")}));
        gate.open();
        QCOMPARE(m_handler->inFlight, 0);
    }

    void effectOutlivesItsLoop()
    {
        Gate gate;
        m_handler->gate = &gate;
        m_handler->answer = [](const AppEffect &) -> std::optional<AppAction> { return actions::didPlayCadence{}; };
        m_loop->send(actions::didPressNote{note(u"C1")});
        QVERIFY(spinUntil([&] { return m_handler->inFlight == 1; }));
        m_loop.reset();
        gate.open(); // the answer finds no loop and is dropped
        QCOMPARE(m_handler->inFlight, 0);
    }

    void descriptions_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("text");
        QTest::newRow("press") << 0 << "🎹 didPressNote - C♯ / D♭ (2)";
        QTest::newRow("release") << 1 << "🎹 didReleaseNote - E (1)";
        QTest::newRow("select") << 2 << R"(☑️ didSelectNotes ["C", "D♯ / E♭", "C"])";
        QTest::newRow("select none") << 3 << "☑️ didSelectNotes []";
        QTest::newRow("level") << 4 << "✅ didLoadLevel - 20 - F minor";
        QTest::newRow("session") << 5 << "✅ didStartSession at 1733472000.5";
        QTest::newRow("question") << 6 << "✅ didLoadQuestion - 0FA1B2C3-D4E5-4F60-8A7B-9C8D7E6F5A4B - G";
        QTest::newRow("right") << 7 << "👏 didLogRightAnswer in session started at 3.0";
        QTest::newRow("wrong") << 8 << "😅 didLogWrongAnswer in session started at 2.25";
        QTest::newRow("error") << 9 << "❌ errorOccurred - disk full";
        QTest::newRow("didLoad keeps two blanks") << 10 << "✅  didLoad";
        QTest::newRow("accuracy view") << 11 << "👆 didDismissAccuracyView";
    }
    void descriptions()
    {
        QFETCH(int, which);
        QFETCH(QString, text);
        const QUuid id(QStringLiteral("{0fa1b2c3-d4e5-4f60-8a7b-9c8d7e6f5a4b}"));
        const std::vector<AppAction> cases = {
            actions::didPressNote{note(u"C#2")},
            actions::didReleaseNote{note(u"E1")},
            actions::didSelectNotes{notes("C1 D#1 C2")},
            actions::didSelectNotes{},
            actions::didLoadLevel{DiatonicLevelGenerator().generateLevels()[19]},
            actions::didStartSession{Session{1733472000.5, {}}},
            actions::didLoadQuestion{Question{id, note(u"G1"), {}}},
            actions::didLogRightAnswer{Session{3.0, {}}},
            actions::didLogWrongAnswer{Session{2.25, {}}},
            actions::errorOccurred{Error{{}, 0, QStringLiteral("disk full")}},
            actions::didLoad{},
            actions::didDismissAccuracyScreen{},
        };
        QCOMPARE(description(cases[size_t(which)]), text);
    }

    void effectEquality()
    {
        const AppEffect silent = effects::playNoteInResolution{std::nullopt};
        const AppEffect sounding = effects::playNoteInResolution{note(u"C1")};
        QVERIFY(!(silent == sounding));
        QVERIFY(silent == AppEffect(effects::playNoteInResolution{std::nullopt}));
        QVERIFY(!(AppEffect(effects::loadNextLevel{}) == AppEffect(effects::loadFirstLevel{})));
        const Question q{QUuid::createUuid(), note(u"C1"), {}};
        QVERIFY(!(AppEffect(effects::logRightAnswer{note(u"C1"), q}) == AppEffect(effects::logWrongAnswer{note(u"C1"), q})));
    }
};

LIRRA_TEST(AppLoopTest)
#include "app_loop_test.moc"
