#include "support/await.h"
#include "support/fakes.h"
#include "support/notes.h"
#include "support/test_registry.h"

#include "core/app_effect_handler.h"
#include "model/generators.h"

#include <QTest>

using namespace lirra;
using namespace lirra::test;

namespace {

// Answers every operation with a fixed value, or with a failure when told.
class JournalPracticeManager final : public PracticeManager {
public:
    explicit JournalPracticeManager(std::shared_ptr<QStringList> journal) : journal(std::move(journal)) {}

    QCoro::Task<Result<Level>> prepareToPractice() override { co_return level(QStringLiteral("prepareToPractice")); }
    QCoro::Task<Result<Level>> loadFirstLevel() override { co_return level(QStringLiteral("loadFirstLevel")); }
    QCoro::Task<Result<Level>> loadRandomLevel() override { co_return level(QStringLiteral("loadRandomLevel")); }
    QCoro::Task<Result<Level>> loadPreviousLevel() override { co_return level(QStringLiteral("loadPreviousLevel")); }
    QCoro::Task<Result<Level>> loadNextLevel() override { co_return level(QStringLiteral("loadNextLevel")); }
    QCoro::Task<Result<Level>> loadLevel(Level given) override
    {
        *journal << QStringLiteral("loadLevel");
        if (fail)
            co_return failure(QStringLiteral("test"), 2, QStringLiteral("the practice failed"));
        co_return given;
    }
    QCoro::Task<Result<Session>> startSession() override { co_return session(QStringLiteral("startSession")); }
    QCoro::Task<Result<Level>> stopSession() override { co_return level(QStringLiteral("stopSession")); }
    QCoro::Task<Result<Question>> loadNextQuestion() override
    {
        *journal << QStringLiteral("loadNextQuestion");
        if (fail)
            co_return failure(QStringLiteral("test"), 2, QStringLiteral("the practice failed"));
        co_return theQuestion;
    }
    QCoro::Task<Result<Session>> logRightAnswer(Question) override { co_return session(QStringLiteral("logRightAnswer")); }
    QCoro::Task<Result<Session>> logWrongAnswer(Question) override { co_return session(QStringLiteral("logWrongAnswer")); }

    std::shared_ptr<QStringList> journal;
    bool fail = false;
    Level theLevel = DiatonicLevelGenerator::makeLevel(5, NoteName::c, true, true, NoteRange::secondHalfOfOctave);
    Session theSession{42.0, {{Note{NoteName::g, 1}, Score{1, 0}}}};
    Question theQuestion{QUuid::createUuid(), Note{NoteName::g, 1}, {}};

private:
    Result<Level> level(const QString &operation)
    {
        *journal << operation;
        if (fail)
            return failure(QStringLiteral("test"), 2, QStringLiteral("the practice failed"));
        return theLevel;
    }
    Result<Session> session(const QString &operation)
    {
        *journal << operation;
        if (fail)
            return failure(QStringLiteral("test"), 2, QStringLiteral("the practice failed"));
        return theSession;
    }
};

QString kind(const std::optional<AppAction> &action)
{
    if (!action)
        return QStringLiteral("nothing");
    const QString text = description(*action);
    return text.section(QLatin1Char(' '), 1, 1);
}

} // namespace

class EffectHandlerTest : public QObject {
    Q_OBJECT

private:
    std::shared_ptr<QStringList> m_journal;
    std::shared_ptr<JournalNotePlayer> m_player;
    std::shared_ptr<JournalPracticeManager> m_practice;
    std::shared_ptr<RecordingLogger> m_logger;
    std::unique_ptr<AppEffectHandler> m_handler;

    std::optional<AppAction> handle(AppEffect effect) { return awaitTask(m_handler->handle(std::move(effect))); }

private slots:
    void init()
    {
        m_journal = std::make_shared<QStringList>();
        m_player = std::make_shared<JournalNotePlayer>(m_journal);
        m_practice = std::make_shared<JournalPracticeManager>(m_journal);
        m_logger = std::make_shared<RecordingLogger>();
        AppEnvironment env;
        env.notePlayer = m_player;
        env.practiceManager = m_practice;
        env.logger = m_logger;
        m_handler = std::make_unique<AppEffectHandler>(env);
    }

    void stepsAndAnswers_data()
    {
        const Level level = DiatonicLevelGenerator::makeLevel(20, NoteName::f, false, false, NoteRange::secondHalfOfOctave);
        const Question question{QUuid::createUuid(), Note{NoteName::e, 2}, {}};
        QTest::addColumn<AppEffect>("effect");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("answer");
        QTest::newRow("prepare") << AppEffect(effects::prepareToPractice{})
                                 << QStringList{"prepare", "prepareToPractice"} << "didLoadLevel";
        QTest::newRow("first") << AppEffect(effects::loadFirstLevel{}) << QStringList{"loadFirstLevel"} << "didLoadLevel";
        QTest::newRow("random") << AppEffect(effects::loadRandomLevel{}) << QStringList{"loadRandomLevel"} << "didLoadLevel";
        QTest::newRow("previous") << AppEffect(effects::loadPreviousLevel{}) << QStringList{"loadPreviousLevel"}
                                  << "didLoadLevel";
        QTest::newRow("next") << AppEffect(effects::loadNextLevel{}) << QStringList{"loadNextLevel"} << "didLoadLevel";
        QTest::newRow("level") << AppEffect(effects::loadLevel{level}) << QStringList{"loadLevel"} << "didLoadLevel";
        QTest::newRow("start") << AppEffect(effects::startSession{}) << QStringList{"startSession"} << "didStartSession";
        QTest::newRow("stop") << AppEffect(effects::stopSession{}) << QStringList{"stopSession"} << "didLoadLevel";
        QTest::newRow("question") << AppEffect(effects::loadNextQuestion{}) << QStringList{"loadNextQuestion"}
                                  << "didLoadQuestion";
        QTest::newRow("cadence") << AppEffect(effects::playCadence{level, question})
                                 << QStringList{"cadence 5", "note 4/2"} << "didPlayCadence";
        QTest::newRow("repeat") << AppEffect(effects::repeatQuestion{level, question})
                                << QStringList{"cadence 5", "note 4/2"} << "didPlayCadence";
        QTest::newRow("free note") << AppEffect(effects::playNote{Note{NoteName::a, 1}}) << QStringList{"note 9/1"}
                                   << "nothing";
        QTest::newRow("resolution step") << AppEffect(effects::playNoteInResolution{Note{NoteName::d, 1}})
                                         << QStringList{"note 2/1"} << "didPlayNoteInResolution";
        QTest::newRow("resolution start") << AppEffect(effects::playNoteInResolution{std::nullopt}) << QStringList{}
                                          << "didPlayNoteInResolution";
        QTest::newRow("right") << AppEffect(effects::logRightAnswer{Note{NoteName::b, 1}, question})
                               << QStringList{"logRightAnswer"} << "didLogRightAnswer";
        QTest::newRow("wrong sounds first") << AppEffect(effects::logWrongAnswer{Note{NoteName::b, 1}, question})
                                            << QStringList{"note 11/1", "logWrongAnswer"} << "didLogWrongAnswer";
    }
    void stepsAndAnswers()
    {
        QFETCH(AppEffect, effect);
        QFETCH(QStringList, steps);
        QFETCH(QString, answer);
        QCOMPARE(kind(handle(effect)), answer);
        QCOMPARE(*m_journal, steps);
        QVERIFY(m_logger->lines.empty());
    }

    void answersCarryTheServicesResults()
    {
        const auto loaded = handle(effects::loadNextLevel{});
        QCOMPARE(std::get<actions::didLoadLevel>(*loaded).level, m_practice->theLevel);
        const auto question = handle(effects::loadNextQuestion{});
        QCOMPARE(std::get<actions::didLoadQuestion>(*question).question, m_practice->theQuestion);
        const auto wrong = handle(effects::logWrongAnswer{Note{}, m_practice->theQuestion});
        QCOMPARE(std::get<actions::didLogWrongAnswer>(*wrong).session, m_practice->theSession);
    }

    void failuresAreLoggedOnceAndReported_data()
    {
        const Question question{QUuid::createUuid(), Note{NoteName::e, 2}, {}};
        QTest::addColumn<AppEffect>("effect");
        QTest::addColumn<bool>("soundFails");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("reason");
        QTest::newRow("prepare fails: no level list") << AppEffect(effects::prepareToPractice{}) << true
                                                      << QStringList{"prepare"} << "the sound failed";
        QTest::newRow("wrong key cannot sound: not recorded")
            << AppEffect(effects::logWrongAnswer{Note{NoteName::b, 1}, question}) << true << QStringList{"note 11/1"}
            << "the sound failed";
        QTest::newRow("wrong answer cannot be recorded, the key still sounded")
            << AppEffect(effects::logWrongAnswer{Note{NoteName::b, 1}, question}) << false
            << QStringList{"note 11/1", "logWrongAnswer"} << "the practice failed";
        QTest::newRow("cadence fails: no note") << AppEffect(effects::playCadence{Level{}, question}) << true
                                                << QStringList{"cadence -1"} << "the sound failed";
        QTest::newRow("free note fails") << AppEffect(effects::playNote{Note{}}) << true << QStringList{"note 0/1"}
                                         << "the sound failed";
        QTest::newRow("stop fails") << AppEffect(effects::stopSession{}) << false << QStringList{"stopSession"}
                                    << "the practice failed";
    }
    void failuresAreLoggedOnceAndReported()
    {
        QFETCH(AppEffect, effect);
        QFETCH(bool, soundFails);
        QFETCH(QStringList, steps);
        QFETCH(QString, reason);
        m_player->failPrepare = m_player->failPlay = soundFails;
        m_practice->fail = !soundFails;
        const auto answer = handle(effect);
        QVERIFY(answer && std::holds_alternative<actions::errorOccurred>(*answer));
        QCOMPARE(std::get<actions::errorOccurred>(*answer).error.description, reason);
        QCOMPARE(*m_journal, steps);
        QCOMPARE(m_logger->linesAt(LogLevel::error), QStringList{reason});
    }
};

LIRRA_TEST(EffectHandlerTest)
#include "effect_handler_test.moc"
