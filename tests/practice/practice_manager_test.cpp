#include "support/fakes.h"
#include "support/notes.h"
#include "support/test_registry.h"

#include "practice/cyclic_practice_manager.h"
#include "practice/file_session_storage.h"
#include "practice/settings_preferences.h"

#include <QCoroTask>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <set>

using namespace lirra;
using namespace lirra::test;

namespace {

// Answers scripted values first, then `upper - 1`, which keeps a
// Fisher–Yates shuffle in its original order.
class ScriptedRandom final : public RandomSource {
public:
    std::int64_t bounded(std::int64_t upper) override
    {
        if (!values.empty()) {
            const std::int64_t v = values.front();
            values.pop_front();
            return v % upper;
        }
        return upper - 1;
    }
    std::deque<std::int64_t> values;
};

class MemoryStorage final : public SessionStorage {
public:
    QCoro::Task<Result<std::vector<Session>>> loadSessions(Level level) override
    {
        ++loads;
        if (failLoad)
            co_return failure(QStringLiteral("test"), 1, QStringLiteral("cannot read"));
        co_return files[level.id];
    }
    QCoro::Task<Result<void>> saveSession(Session session, Level level) override
    {
        if (failSave)
            co_return failure(QStringLiteral("test"), 2, QStringLiteral("cannot write"));
        files[level.id].push_back(session);
        co_return Result<void>{};
    }
    std::map<std::int64_t, std::vector<Session>> files;
    bool failLoad = false;
    bool failSave = false;
    int loads = 0;
};

// Every operation of this manager completes without suspending when its
// collaborators do; this runs one and takes its result.
template <typename T>
T run(QCoro::Task<T> task)
{
    std::optional<T> result;
    auto wrapper = [](QCoro::Task<T> t, std::optional<T> &out) -> QCoro::Task<> { out = co_await t; };
    wrapper(std::move(task), result);
    if (!result)
        qFatal("the operation did not complete");
    return std::move(*result);
}

class ThreeNoteLevels final : public LevelGenerator {
public:
    std::vector<Level> generateLevels() const override
    {
        std::vector<Level> levels;
        for (int id = 1; id <= 4; ++id) {
            Level level;
            level.id = id;
            level.notes = notes("C1 E1 G1");
            levels.push_back(level);
        }
        return levels;
    }
};

class NoLevels final : public LevelGenerator {
public:
    std::vector<Level> generateLevels() const override { return {}; }
};

} // namespace

class PracticeManagerTest : public QObject {
    Q_OBJECT

private:
    std::shared_ptr<MemoryStorage> m_storage;
    std::shared_ptr<MemoryPreferences> m_preferences;
    std::shared_ptr<ScriptedRandom> m_random;

    std::unique_ptr<CyclicPracticeManager> manager(std::shared_ptr<LevelGenerator> levels = nullptr)
    {
        CyclicPracticeManager::Collaborators with;
        with.storage = m_storage;
        with.preferences = m_preferences;
        with.random = m_random;
        with.now = [] { return 1733472000.25; };
        if (levels)
            with.levelGenerator = levels;
        return std::make_unique<CyclicPracticeManager>(with);
    }
    std::optional<std::int64_t> storedCursor() const { return m_preferences->integer(PreferenceKey::levelCursor); }

private slots:
    void init()
    {
        m_storage = std::make_shared<MemoryStorage>();
        m_preferences = std::make_shared<MemoryPreferences>();
        m_random = std::make_shared<ScriptedRandom>();
    }

    void firstRunAndWrapAround()
    {
        auto m = manager();
        Level level = run(m->prepareToPractice()).value();
        QCOMPARE(level.id, 1);
        QCOMPARE(storedCursor(), std::optional<std::int64_t>(-1));

        level = run(m->loadPreviousLevel()).value();
        QCOMPARE(level.id, 144);
        QCOMPARE(storedCursor(), std::optional<std::int64_t>(142));
        level = run(m->loadNextLevel()).value();
        QCOMPARE(level.id, 1);
        QCOMPARE(storedCursor(), std::optional<std::int64_t>(-1));
        level = run(m->loadNextLevel()).value();
        QCOMPARE(level.id, 2);

        m_random->values = {37};
        QCOMPARE(run(m->loadRandomLevel()).value().id, 38);
        QCOMPARE(run(m->loadFirstLevel()).value().id, 1);
    }

    void resumeFromTheStoredCursor_data()
    {
        QTest::addColumn<qint64>("stored");
        QTest::addColumn<qint64>("resumedId");
        QTest::newRow("after position 5") << 4ll << 6ll;
        QTest::newRow("nothing stored yet") << -1ll << 1ll;
        QTest::newRow("the last position") << 143ll << 1ll;
        QTest::newRow("beyond the list") << 500ll << 1ll;
        QTest::newRow("below -1") << -7ll << 1ll;
    }
    void resumeFromTheStoredCursor()
    {
        QFETCH(qint64, stored);
        QFETCH(qint64, resumedId);
        m_preferences->setInteger(stored, PreferenceKey::levelCursor);
        QCOMPARE(run(manager()->prepareToPractice()).value().id, resumedId);
    }

    void withoutLevelsEveryCursorOperationFails()
    {
        auto m = manager(std::make_shared<NoLevels>());
        const Error unexpected = CyclicPracticeManager::error(CyclicPracticeManager::ErrorCase::unexpected);
        QCOMPARE(run(m->prepareToPractice()).error(), unexpected);
        QCOMPARE(run(m->loadFirstLevel()).error(), unexpected);
        QCOMPARE(run(m->loadRandomLevel()).error(), unexpected);
        QCOMPARE(run(m->loadPreviousLevel()).error(), unexpected);
        QCOMPARE(run(m->loadNextLevel()).error(), unexpected);
        QCOMPARE(run(m->loadNextQuestion()).error(), unexpected);
        QCOMPARE(run(m->stopSession()).error(), unexpected);
        QCOMPARE(m_storage->loads, 0);
    }

    void levelWithoutNotesHasNoQuestion()
    {
        auto m = manager();
        Level empty;
        empty.isCustom = true;
        run(m->loadLevel(empty));
        QCOMPARE(run(m->loadNextQuestion()).error(),
                 CyclicPracticeManager::error(CyclicPracticeManager::ErrorCase::unexpected));
    }

    void loadingReplacesTheHistory()
    {
        auto m = manager();
        m_storage->files[1] = {Session{1.0, {{note(u"C1"), Score{1, 0}}}}};
        Level level = run(m->prepareToPractice()).value();
        QCOMPARE(level.sessions.size(), size_t(1));
        m_storage->files[1].clear();
        run(m->loadNextLevel());
        level = run(m->loadPreviousLevel()).value();
        QVERIFY(level.sessions.empty());
    }

    void everyNoteOncePerPass()
    {
        m_random->values = {0}; // start index 0
        auto m = manager();
        run(m->prepareToPractice());
        // The first pass begins after the start index: positions 1 to 3.
        QCOMPARE(run(m->loadNextQuestion()).value().answer, note(u"D1"));
        QCOMPARE(run(m->loadNextQuestion()).value().answer, note(u"E1"));
        QCOMPARE(run(m->loadNextQuestion()).value().answer, note(u"F1"));
        for (int pass = 0; pass < 3; ++pass) {
            m_random->values = {pass, pass + 1};
            std::multiset<std::uint8_t> names;
            std::set<QUuid> ids;
            for (int i = 0; i < 4; ++i) {
                const Question q = run(m->loadNextQuestion()).value();
                names.insert(rawValue(q.answer.name));
                ids.insert(q.id);
                QCOMPARE(q.resolution, DiatonicNoteResolutionGenerator().resolution(q.answer, NoteName::c, true, false));
            }
            QCOMPARE(names, (std::multiset<std::uint8_t>{12, 14, 16, 17}));
            QCOMPARE(ids.size(), size_t(4));
        }
    }

    void firstQuestionComesAfterTheRandomStart_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("firstAnswer");
        // With the shuffle kept in order, level 3 is C1 D1 E1 F1 G1 A1 B1 C2.
        QTest::newRow("start 0") << 0 << "D1";
        QTest::newRow("start 1") << 1 << "E1";
        QTest::newRow("start 4") << 4 << "A1";
    }
    void firstQuestionComesAfterTheRandomStart()
    {
        QFETCH(int, start);
        QFETCH(QString, firstAnswer);
        m_random->values = {start};
        m_preferences->setInteger(1, PreferenceKey::levelCursor);
        auto m = manager();
        QCOMPARE(run(m->prepareToPractice()).value().id, 3);
        QCOMPARE(run(m->loadNextQuestion()).value().answer, note(firstAnswer));
    }

    void shortLevelStartsAFreshPass()
    {
        m_random->values = {4};
        auto m = manager(std::make_shared<ThreeNoteLevels>());
        run(m->prepareToPractice());
        QCOMPARE(run(m->loadNextQuestion()).value().answer, note(u"C1"));
        QCOMPARE(run(m->loadNextQuestion()).value().answer, note(u"E1"));
    }

    void answersAreCountedOncePerQuestion()
    {
        auto m = manager();
        run(m->prepareToPractice());
        const Question early = run(m->loadNextQuestion()).value();
        QCOMPARE(run(m->logRightAnswer(early)).error(),
                 CyclicPracticeManager::error(CyclicPracticeManager::ErrorCase::noSessionInProgress));

        const Session started = run(m->startSession()).value();
        QCOMPARE(started.timestamp, 1733472000.25);
        QVERIFY(started.score.empty());

        const Question q = run(m->loadNextQuestion()).value();
        Session s = run(m->logWrongAnswer(q)).value();
        QCOMPARE(s.score.at(q.answer), (Score{0, 1}));
        s = run(m->logRightAnswer(q)).value();
        s = run(m->logWrongAnswer(q)).value();
        QCOMPARE(s.score.at(q.answer), (Score{0, 1}));
        QCOMPARE(s.timestamp, started.timestamp);

        const Question r = run(m->loadNextQuestion()).value();
        s = run(m->logRightAnswer(r)).value();
        s = run(m->logRightAnswer(r)).value();
        QCOMPARE(s.statistics().correctCount + s.statistics().wrongCount, 2);
    }

    void stoppingABuiltInLevelSavesItsSession()
    {
        auto m = manager();
        run(m->prepareToPractice());
        run(m->startSession());
        QCOMPARE(run(m->stopSession()).value().sessions.size(), size_t(0)); // no answers: nothing saved
        QVERIFY(m_storage->files[1].empty());

        const Question q = run(m->loadNextQuestion()).value();
        const Session s = run(m->logRightAnswer(q)).value();
        const Level stopped = run(m->stopSession()).value();
        QCOMPARE(stopped.sessions, std::vector<Session>{s});
        QCOMPARE(m_storage->files[1], std::vector<Session>{s});
    }

    void stoppingACustomLevelKeepsOnlyThatSession()
    {
        auto m = manager();
        run(m->prepareToPractice());
        Level custom = DiatonicLevelGenerator::makeLevel(1, NoteName::c, true, false, NoteRange::entireOctave);
        custom.isCustom = true;
        custom.notes = notes("C1 G1");
        custom.sessions = {Session{1.0, {{note(u"C1"), Score{1, 0}}}}};
        QCOMPARE(run(m->loadLevel(custom)).value(), custom);
        run(m->startSession());
        const Session s = run(m->logWrongAnswer(run(m->loadNextQuestion()).value())).value();
        const Level stopped = run(m->stopSession()).value();
        QCOMPARE(stopped.sessions, std::vector<Session>{s});
        QVERIFY(m_storage->files.empty() || m_storage->files[1].empty());
        QCOMPARE(run(m->stopSession()).value().sessions, std::vector<Session>{s});
    }

    void storageFailures()
    {
        auto m = manager();
        run(m->prepareToPractice());
        run(m->loadNextLevel()); // position 1, stored 0
        m_storage->failLoad = true;
        QCOMPARE(run(m->loadNextLevel()).error().description, QStringLiteral("cannot read"));
        QCOMPARE(storedCursor(), std::optional<std::int64_t>(0)); // preference unchanged
        m_storage->failLoad = false;
        // The cursor had moved to position 2, so the next step lands on 3.
        QCOMPARE(run(m->loadNextLevel()).value().id, 4);

        run(m->startSession());
        const Session s = run(m->logRightAnswer(run(m->loadNextQuestion()).value())).value();
        m_storage->failSave = true;
        QCOMPARE(run(m->stopSession()).error().description, QStringLiteral("cannot write"));
        m_storage->failSave = false;
        // Nothing was appended by the failed stop; a second stop saves once.
        QCOMPARE(run(m->stopSession()).value().sessions, std::vector<Session>{s});
    }

    void resumesAcrossRunsOverTheSameFiles()
    {
        QTemporaryDir home;
        const QString documents = home.path();
        const auto files = std::make_shared<FileSessionStorage>([documents]() -> Result<QString> { return documents; });
        const QString settings = home.filePath(QStringLiteral("lirra.json"));
        const auto makeManager = [&] {
            CyclicPracticeManager::Collaborators with;
            with.storage = files;
            with.preferences = std::make_shared<SettingsPreferences>(settings);
            return std::make_unique<CyclicPracticeManager>(with);
        };

        Session played;
        {
            auto first = makeManager();
            run(first->prepareToPractice());
            run(first->loadNextLevel());
            QCOMPARE(run(first->loadNextLevel()).value().id, 3);
            run(first->startSession());
            played = run(first->logRightAnswer(run(first->loadNextQuestion()).value())).value();
            run(first->stopSession());
        }
        auto second = makeManager();
        const Level resumed = run(second->prepareToPractice()).value();
        QCOMPARE(resumed.id, 3);
        QCOMPARE(resumed.sessions.size(), size_t(1));
        QCOMPARE(resumed.sessions.front().score, played.score);
    }
};

LIRRA_TEST(PracticeManagerTest)
#include "practice_manager_test.moc"
