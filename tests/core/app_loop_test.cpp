#include "support/fakes.h"
#include "support/notes.h"
#include "support/test_registry.h"

#include "core/app_loop.h"
#include "model/generators.h"

#include <QTest>

using namespace lirra;
using namespace lirra::test;

class AppLoopTest : public QObject {
    Q_OBJECT

private:
    std::shared_ptr<RecordingLogger> m_logger;
    std::shared_ptr<ScriptedEffectHandler> m_handler;
    std::unique_ptr<AppLoop> m_loop;

private slots:
    void init()
    {
        AppEnvironment env;
        env.preferences = std::make_shared<MemoryPreferences>();
        env.preferences->setBool(true, PreferenceKey::hasSeenOnboarding);
        env.tipProvider = std::make_shared<ListTipProvider>();
        env.logger = m_logger = std::make_shared<RecordingLogger>();
        m_handler = std::make_shared<ScriptedEffectHandler>();
        m_loop = std::make_unique<AppLoop>(env, AppState{}, [h = m_handler](const AppEnvironment &) { return h; });
    }
    void cleanup()
    {
        drainEvents();
        m_loop.reset();
    }

    void logsOncePerActionBeforeReducing()
    {
        std::vector<AppState> seen;
        m_loop->delegate = AppLoopDelegate{[&](const AppState &s) { seen.push_back(s); }};
        m_logger->onWrite = [&] { QVERIFY(!m_loop->state().isLevelEditorVisible); };
        m_loop->send(actions::didPressConfigureLevelButton{});
        m_logger->onWrite = nullptr;
        QCOMPARE(m_logger->linesAt(LogLevel::standard), QStringList{QStringLiteral("👆 didPressConfigureLevel")});
        QVERIFY(m_loop->state().isLevelEditorVisible);

        m_logger->standardEnabled = false;
        m_loop->send(actions::didReleaseNote{Note{}});        // changes nothing, still published
        m_loop->send(actions::didPressRepeatQuestionButton{}); // a failed guard, still published
        QCOMPARE(m_logger->lines.size(), size_t(1));
        QCOMPARE(seen.size(), size_t(3));
        QVERIFY(seen.back().isLevelEditorVisible);
    }

    void effectsStartAfterSendReturnsAndAnswerThroughIt()
    {
        QStringList order;
        m_handler->answer = [](const AppEffect &effect) -> std::optional<AppAction> {
            if (std::holds_alternative<effects::prepareToPractice>(effect))
                return actions::didLoadLevel{DiatonicLevelGenerator().generateLevels()[6]};
            return std::nullopt;
        };
        m_loop->delegate = AppLoopDelegate{[&](const AppState &s) { order << (s.level ? "level" : "state"); }};
        m_loop->send(actions::didLoad{});
        order << QStringLiteral("returned");
        QVERIFY(m_handler->handled.empty());
        QVERIFY(spinUntil([&] { return m_loop->state().level.has_value(); }));
        QCOMPARE(order, (QStringList{"state", "returned", "level"}));
        QCOMPARE(m_logger->linesAt(LogLevel::standard), (QStringList{"✅  didLoad", "✅ didLoadLevel - 7 - C minor"}));
    }

    // A pressed key's sound starts inside `send`, before the screens hear of
    // the press; what it leads to still comes on a later turn.
    void aPressedKeySoundsBeforeTheScreens()
    {
        QStringList order;
        m_handler->answer = [](const AppEffect &effect) -> std::optional<AppAction> {
            if (std::holds_alternative<effects::playNote>(effect))
                return actions::didPressConfigureLevelButton{};
            return std::nullopt;
        };
        m_loop->delegate = AppLoopDelegate{[&](const AppState &s) {
            order << QStringLiteral("screens%1 after %2 effects").arg(s.isLevelEditorVisible ? " (answer)" : "").arg(m_handler->handled.size());
        }};
        m_loop->send(actions::didPressNote{note(u"E1")});
        order << QStringLiteral("returned");
        QCOMPARE(m_handler->handled.size(), size_t(1));
        QCOMPARE(m_handler->handled[0], AppEffect(effects::playNote{note(u"E1")}));
        QVERIFY(spinUntil([&] { return m_loop->state().isLevelEditorVisible; }));
        QCOMPARE(order, (QStringList{"screens after 1 effects", "returned", "screens (answer) after 1 effects"}));
    }

    void severalEffectsInFlight()
    {
        Gate gate;
        m_handler->gate = &gate;
        for (const Note &n : notes("C1 E1 G1"))
            m_loop->send(actions::didPressNote{n});
        QVERIFY(spinUntil([&] { return m_handler->inFlight == 3; }));
        QCOMPARE(m_handler->handled[2], AppEffect(effects::playNote{note(u"G1")}));
        // An answer that finds its loop gone is dropped.
        m_handler->answer = [](const AppEffect &) -> std::optional<AppAction> { return actions::didPlayCadence{}; };
        m_loop.reset();
        gate.open();
        QCOMPARE(m_handler->inFlight, 0);
    }

    void descriptions_data()
    {
        const QUuid id(QStringLiteral("{0fa1b2c3-d4e5-4f60-8a7b-9c8d7e6f5a4b}"));
        QTest::addColumn<AppAction>("action");
        QTest::addColumn<QString>("text");
        QTest::newRow("press") << AppAction(actions::didPressNote{note(u"C#2")}) << "🎹 didPressNote - C♯ / D♭ (2)";
        QTest::newRow("select") << AppAction(actions::didSelectNotes{notes("C1 D#1 C2")})
                                << R"(☑️ didSelectNotes ["C", "D♯ / E♭", "C"])";
        QTest::newRow("select none") << AppAction(actions::didSelectNotes{}) << "☑️ didSelectNotes []";
        QTest::newRow("session") << AppAction(actions::didStartSession{Session{1733472000.5, {}}})
                                 << "✅ didStartSession at 1733472000.5";
        QTest::newRow("question") << AppAction(actions::didLoadQuestion{Question{id, note(u"G1"), {}}})
                                  << "✅ didLoadQuestion - 0FA1B2C3-D4E5-4F60-8A7B-9C8D7E6F5A4B - G";
        QTest::newRow("wrong") << AppAction(actions::didLogWrongAnswer{Session{3.0, {}}})
                               << "😅 didLogWrongAnswer in session started at 3.0";
        QTest::newRow("error") << AppAction(actions::errorOccurred{Error{{}, 0, QStringLiteral("disk full")}})
                               << "❌ errorOccurred - disk full";
        QTest::newRow("accuracy view") << AppAction(actions::didDismissAccuracyScreen{}) << "👆 didDismissAccuracyView";
    }
    void descriptions()
    {
        QFETCH(AppAction, action);
        QFETCH(QString, text);
        QCOMPARE(description(action), text);
    }
};

LIRRA_TEST(AppLoopTest)
#include "app_loop_test.moc"
