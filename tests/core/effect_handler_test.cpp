#include "support/await.h"
#include "support/fakes.h"
#include "support/test_registry.h"

#include "core/app_effect_handler.h"
#include "model/generators.h"

#include <QTest>

using namespace lirra;
using namespace lirra::test;

namespace {

// Writes each operation's name into the shared journal and answers a fixed
// value, or fails when told to.
class JournalPracticeManager final : public PracticeManager {
public:
    explicit JournalPracticeManager(std::shared_ptr<QStringList> journal) : journal(std::move(journal)) {}

    QCoro::Task<Result<Level>> prepareToPractice() override { co_return answer("prepareToPractice", level); }
    QCoro::Task<Result<Level>> loadFirstLevel() override { co_return answer("loadFirstLevel", level); }
    QCoro::Task<Result<Level>> loadRandomLevel() override { co_return answer("loadRandomLevel", level); }
    QCoro::Task<Result<Level>> loadPreviousLevel() override { co_return answer("loadPreviousLevel", level); }
    QCoro::Task<Result<Level>> loadNextLevel() override { co_return answer("loadNextLevel", level); }
    QCoro::Task<Result<Level>> loadLevel(Level given) override { co_return answer("loadLevel", given); }
    void setQuestionShape(int length, MelodyLeap leap, QuestionKind kind, bool repeat) override
    {
        journal->append(QStringLiteral("setQuestionShape %1 %2").arg(length).arg(leapText(leap))
                        + (kind == QuestionKind::chord ? QStringLiteral(" chords") : QString())
                        + (repeat ? QStringLiteral(" repeating") : QString()));
    }
    QCoro::Task<Result<Level>> loadLevelForQuestionLength() override
    {
        co_return answer("loadLevelForQuestionLength", level);
    }
    QCoro::Task<Result<Session>> startSession() override { co_return answer("startSession", session); }
    QCoro::Task<Result<Level>> stopSession() override { co_return answer("stopSession", level); }
    QCoro::Task<Result<Question>> loadNextQuestion(PracticeMode mode) override
    {
        co_return answer(mode == PracticeMode::adaptive ? "loadNextQuestion adaptive" : "loadNextQuestion", question);
    }
    std::vector<Question> questionsToHear(std::size_t count) override
    {
        *journal << QStringLiteral("questionsToHear %1").arg(count);
        return {question};
    }
    QCoro::Task<Result<Session>> logRightAnswer(Question) override { co_return answer("logRightAnswer", session); }
    QCoro::Task<Result<Session>> logWrongAnswer(Question, Note) override { co_return answer("logWrongAnswer", session); }
    QCoro::Task<Result<Level>> reloadLevel() override { co_return answer("reloadLevel", level); }
    QCoro::Task<int> saveBeforeQuit() override
    {
        *journal << QStringLiteral("saveBeforeQuit");
        co_return 0;
    }
    std::vector<Level> levelsToChoose() override { return {level}; }
    HistorySummary historySummary(const Level &) override { return {}; }
    QCoro::Task<Result<Level>> loadLevelWithId(std::int64_t) override { co_return answer("loadLevelWithId", level); }
    QCoro::Task<Result<Level>> saveLevel(Level given, QString) override { co_return answer("saveLevel", given); }
    QCoro::Task<Result<Level>> renameLevel(std::int64_t, QString) override { co_return answer("renameLevel", level); }
    QCoro::Task<Result<Level>> deleteLevel(std::int64_t) override { co_return answer("deleteLevel", level); }

    std::shared_ptr<QStringList> journal;
    bool fail = false;
    // Thrown from every operation that answers a value, when set.
    std::function<void()> raise;
    Level level = DiatonicLevelGenerator::makeLevel(5, NoteName::c, true, true, NoteRange::secondHalfOfOctave);
    Session session{42.0, {{Note{NoteName::g, 1}, Score{1, 0}}}};
    Question question{QUuid::createUuid(), Note{NoteName::g, 1}, {}};

private:
    template <typename T>
    Result<T> answer(const char *operation, const T &value)
    {
        *journal << QString::fromLatin1(operation);
        if (raise)
            raise();
        if (fail)
            return failure(QStringLiteral("test"), 2, QStringLiteral("the practice failed"));
        return value;
    }
};

} // namespace

class EffectHandlerTest : public QObject {
    Q_OBJECT

private:
    std::shared_ptr<QStringList> m_journal;
    std::shared_ptr<JournalNotePlayer> m_player;
    std::shared_ptr<JournalPracticeManager> m_practice;
    std::shared_ptr<RecordingLogger> m_logger;
    std::unique_ptr<AppEffectHandler> m_handler;
    const Question m_question{QUuid::createUuid(), Note{NoteName::e, 2}, {}};

private slots:
    void init()
    {
        m_journal = std::make_shared<QStringList>();
        AppEnvironment env;
        env.notePlayer = m_player = std::make_shared<JournalNotePlayer>(m_journal);
        env.practiceManager = m_practice = std::make_shared<JournalPracticeManager>(m_journal);
        env.logger = m_logger = std::make_shared<RecordingLogger>();
        m_handler = std::make_unique<AppEffectHandler>(env);
    }

    void stepsAndAnswers_data()
    {
        const Level level = DiatonicLevelGenerator::makeLevel(20, NoteName::f, false, false, NoteRange::secondHalfOfOctave);
        QTest::addColumn<AppEffect>("effect");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("answer"); // the start of the answer's log line
        // The level does not wait for the sound output; its check comes after.
        QTest::newRow("prepare, then resume") << AppEffect(effects::prepareToPractice{})
                                              << QStringList{"setQuestionShape 1 fifth", "prepareToPractice"}
                                              << "✅ didLoadLevel - 5";
        QTest::newRow("the sound checked") << AppEffect(effects::checkSound{}) << QStringList{"prepare"}
                                           << "🔊 didCheckSound";
        Settings melodies;
        melodies.melodyLength = 3;
        melodies.melodyLeap = MelodyLeap::steps;
        QTest::newRow("another question length shows that length's history")
            << AppEffect(effects::applySettings{melodies, Settings{}, std::nullopt})
            << QStringList{"setQuestionShape 3 steps", "loadLevelForQuestionLength"} << "✅ didLoadLevel - 5";
        Settings stepwise;
        stepwise.melodyLeap = MelodyLeap::steps;
        QTest::newRow("another leap only shapes the questions to come")
            << AppEffect(effects::applySettings{stepwise, Settings{}, std::nullopt})
            << QStringList{"setQuestionShape 1 steps"} << "";
        Question melody = m_question;
        melody.melody = {Note{NoteName::c, 1}, Note{NoteName::d, 1}, m_question.answer};
        QTest::newRow("a melody: its notes a beat each, the last as the question's")
            << AppEffect(effects::playCadence{level, melody}) << QStringList{"cadence 5", "note 0/1", "note 2/1", "note 4/2"}
            << "🎶 didPlayCadence";
        QTest::newRow("a melody's note before its last sounds before it is recorded")
            << AppEffect(effects::logRightAnswer{Note{NoteName::d, 1}, m_question, 0, true})
            << QStringList{"note 2/1", "logRightAnswer"} << "👏 didLogRightAnswer";
        // F minor: iv is B♭ minor, V C major (raised leading tone), i F minor.
        Question progression{QUuid::createUuid(), Note{NoteName::c, 1}, {}, {Note{NoteName::aSharp, 1}, Note{NoteName::c, 1}},
                             QuestionKind::chord, NoteName::f, false};
        QTest::newRow("a progression: its chords a beat each, the last as the question's")
            << AppEffect(effects::playCadence{level, progression})
            << QStringList{"cadence 5", "progression 46 58 61 65 | 48 60 64 67"} << "🎶 didPlayCadence";
        QTest::newRow("a chord of a progression found sounds at once, before it is recorded")
            << AppEffect(effects::logRightAnswer{Note{NoteName::aSharp, 1}, progression.at(0, {}), 0, true, {46, 58, 61, 65}})
            << QStringList{"key chord 46 58 61 65", "logRightAnswer"} << "👏 didLogRightAnswer";
        QTest::newRow("a wrong root's chord sounds at once") << AppEffect(effects::logWrongAnswer{Note{NoteName::g, 1}, progression, 0, {43, 55, 58, 62}})
                                                             << QStringList{"key chord 43 55 58 62", "logWrongAnswer"} << "😅 didLogWrongAnswer";
        QTest::newRow("a resolution's chord keeps to the beat")
            << AppEffect(effects::playNoteInResolution{Note{NoteName::f, 1}, 0, {41, 53, 56, 60}})
            << QStringList{"chord 41 53 56 60"} << "🎵 didPlayNoteInResolution";
        QTest::newRow("try again: the level, its sound checked after") << AppEffect(effects::reloadLevel{})
                                                                       << QStringList{"reloadLevel"} << "✅ didLoadLevel - 5";
        QTest::newRow("cadence, then the note") << AppEffect(effects::repeatQuestion{level, m_question})
                                                << QStringList{"stopAll", "cadence 5", "note 4/2"} << "🎶 didPlayCadence";
        QTest::newRow("the first playing of a question") << AppEffect(effects::playCadence{level, m_question})
                                                         << QStringList{"cadence 5", "note 4/2"} << "🎶 didPlayCadence";
        // No cadence due: the log says the question played alone.
        QTest::newRow("a question without its cadence") << AppEffect(effects::playCadence{level, m_question, 0, false})
                                                        << QStringList{"note 4/2"}
                                                        << "🎵 didPlayQuestion - no cadence due";
        // A stop silences first, then records the answer it cut short.
        QTest::newRow("stop") << AppEffect(effects::stopSession{}) << QStringList{"stopAll", "stopSession"}
                              << "✅ didLoadLevel - 5";
        QTest::newRow("stop during a resolution")
            << AppEffect(effects::stopSession{PendingAnswer{m_question, true, m_question.answer}})
            << QStringList{"stopAll", "logRightAnswer", "stopSession"} << "✅ didLoadLevel - 5";
        QTest::newRow("stop during a wrong note")
            << AppEffect(effects::stopSession{PendingAnswer{m_question, false, Note{NoteName::b, 0}}})
            << QStringList{"stopAll", "logWrongAnswer", "stopSession"} << "✅ didLoadLevel - 5";
        QTest::newRow("a free note answers nothing") << AppEffect(effects::playNote{Note{NoteName::a, 1}})
                                                     << QStringList{"note 9/1"} << "";
        QTest::newRow("resolution start plays nothing") << AppEffect(effects::playNoteInResolution{std::nullopt})
                                                        << QStringList{} << "🎵 didPlayNoteInResolution";
        QTest::newRow("the wrong key sounds first") << AppEffect(effects::logWrongAnswer{Note{NoteName::b, 1}, m_question})
                                                    << QStringList{"note 11/1", "logWrongAnswer"} << "😅 didLogWrongAnswer";
    }
    void stepsAndAnswers()
    {
        QFETCH(AppEffect, effect);
        QFETCH(QStringList, steps);
        QFETCH(QString, answer);
        const std::optional<AppAction> action = awaitTask(m_handler->handle(effect));
        QCOMPARE(action ? description(*action).left(answer.size()) : QString(), answer);
        QCOMPARE(*m_journal, steps);
        QVERIFY(m_logger->lines.empty());
    }

    void failuresAreLoggedOnceAndReported_data()
    {
        QTest::addColumn<AppEffect>("effect");
        QTest::addColumn<bool>("soundFails");
        QTest::addColumn<QStringList>("steps");
        // Without sound the check says why nothing plays.
        QTest::newRow("the sound output fails") << AppEffect(effects::checkSound{}) << true << QStringList{"prepare"};
        QTest::newRow("the levels cannot be prepared") << AppEffect(effects::prepareToPractice{}) << false
                                                       << QStringList{"setQuestionShape 1 fifth", "prepareToPractice"};
        QTest::newRow("the wrong key cannot sound: not recorded")
            << AppEffect(effects::logWrongAnswer{Note{NoteName::b, 1}, m_question}) << true << QStringList{"note 11/1"};
        QTest::newRow("the answer cannot be recorded: the key still sounded")
            << AppEffect(effects::logWrongAnswer{Note{NoteName::b, 1}, m_question}) << false
            << QStringList{"note 11/1", "logWrongAnswer"};
        QTest::newRow("a free note fails") << AppEffect(effects::playNote{Note{}}) << true << QStringList{"note 0/1"};
    }
    void failuresAreLoggedOnceAndReported()
    {
        QFETCH(AppEffect, effect);
        QFETCH(bool, soundFails);
        QFETCH(QStringList, steps);
        m_player->failPrepare = m_player->failPlay = soundFails;
        m_practice->fail = !soundFails;
        const auto action = awaitTask(m_handler->handle(effect));
        QVERIFY(action);
        QString reason;
        if (const auto *checked = std::get_if<actions::didCheckSound>(&*action)) {
            QVERIFY(checked->sound.failure);
            reason = checked->sound.failure->description;
        } else {
            QVERIFY(std::holds_alternative<actions::errorOccurred>(*action));
            reason = std::get<actions::errorOccurred>(*action).error.description;
        }
        QCOMPARE(reason, soundFails ? QStringLiteral("the sound failed") : QStringLiteral("the practice failed"));
        QCOMPARE(*m_journal, steps);
        QCOMPARE(m_logger->linesAt(LogLevel::error), QStringList{reason});
    }

    // A service that throws ends its effect with an error the user sees,
    // never with a chain that silently stops.
    void exceptionsBecomeErrors_data()
    {
        QTest::addColumn<AppEffect>("effect");
        QTest::addColumn<int>("kind"); // 0: out of memory, 1: a standard exception, 2: anything else
        QTest::addColumn<QString>("reason");
        QTest::newRow("out of memory loading a level") << AppEffect(effects::loadNextLevel{}) << 0
                                                       << "There was not enough memory to finish what Lirra was doing.";
        QTest::newRow("a standard exception stopping") << AppEffect(effects::stopSession{}) << 1
                                                       << "Lirra could not finish what it was doing: disk on fire.";
        QTest::newRow("anything thrown while answering") << AppEffect(effects::logRightAnswer{Note{}, m_question}) << 2
                                                         << "Lirra could not finish what it was doing.";
    }
    void exceptionsBecomeErrors()
    {
        QFETCH(AppEffect, effect);
        QFETCH(int, kind);
        QFETCH(QString, reason);
        m_practice->raise = [kind]() {
            if (kind == 0)
                throw std::bad_alloc();
            if (kind == 1)
                throw std::runtime_error("disk on fire");
            throw 42;
        };
        const auto action = awaitTask(m_handler->handle(effect));
        QVERIFY(action && std::holds_alternative<actions::errorOccurred>(*action));
        QCOMPARE(std::get<actions::errorOccurred>(*action).error.description, reason);
        QCOMPARE(m_logger->linesAt(LogLevel::error), QStringList{reason});
    }
};

LIRRA_TEST(EffectHandlerTest)
#include "effect_handler_test.moc"
