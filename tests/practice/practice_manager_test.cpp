#include "support/await.h"
#include "support/fakes.h"
#include "support/notes.h"
#include "support/test_registry.h"

#include "model/localization.h"
#include "practice/cyclic_practice_manager.h"
#include "practice/melody.h"
#include "storage/file_session_storage.h"
#include "storage/saved_levels.h"
#include "storage/session_journal.h"

#include <QTest>

#include <deque>
#include <set>

using namespace lirra;
using namespace lirra::test;

namespace {

// Scripted values first, then `upper - 1`, which keeps a Fisher–Yates
// shuffle in its original order.
class ScriptedRandom final : public RandomSource {
public:
    std::int64_t bounded(std::int64_t upper) override
    {
        if (values.empty())
            return upper - 1;
        const std::int64_t v = values.front();
        values.pop_front();
        return v % upper;
    }
    std::deque<std::int64_t> values;
};

class MemoryStorage final : public SessionStorage {
public:
    QCoro::Task<Result<std::vector<Session>>> loadSessions(Level level) override
    {
        if (failLoad)
            co_return failure(QStringLiteral("test"), 1, QStringLiteral("cannot read"));
        if (level.questionKind == QuestionKind::chord)
            co_return chords[{level.id, level.questionLength}];
        if (level.questionLength > 1)
            co_return melodies[{level.id, level.questionLength}];
        co_return files[level.id];
    }
    QCoro::Task<Result<void>> saveSession(Session session, Level level) override
    {
        if (failSave)
            co_return failure(QStringLiteral("test"), 2, QStringLiteral("cannot write"));
        if (level.questionKind == QuestionKind::chord)
            chords[{level.id, level.questionLength}].push_back(session);
        else if (level.questionLength > 1)
            melodies[{level.id, level.questionLength}].push_back(session);
        else
            files[level.id].push_back(session);
        co_return Result<void>{};
    }
    std::map<std::int64_t, std::vector<Session>> files;
    // Melodies' histories, by level and length.
    std::map<std::pair<std::int64_t, int>, std::vector<Session>> melodies;
    // Chords' histories, by level and length.
    std::map<std::pair<std::int64_t, int>, std::vector<Session>> chords;
    bool failLoad = false;
    bool failSave = false;
};

class FixedLevels final : public LevelGenerator {
public:
    explicit FixedLevels(size_t count) : m_count(count) {}
    std::vector<Level> generateLevels() const override
    {
        std::vector<Level> levels(m_count);
        for (size_t i = 0; i < m_count; ++i) {
            levels[i].id = std::int64_t(i + 1);
            levels[i].notes = notes("C1 E1 G1");
        }
        return levels;
    }

private:
    size_t m_count;
};

} // namespace

class PracticeManagerTest : public QObject {
    Q_OBJECT

private:
    std::shared_ptr<MemoryStorage> m_storage;
    std::shared_ptr<MemoryPreferences> m_preferences;
    std::shared_ptr<ScriptedRandom> m_random;
    const Error m_unexpected = CyclicPracticeManager::error(CyclicPracticeManager::ErrorCase::unexpected);

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
    std::int64_t storedCursor() const { return m_preferences->integer(PreferenceKey::levelCursor).value_or(-99); }

private slots:
    void init()
    {
        m_storage = std::make_shared<MemoryStorage>();
        m_preferences = std::make_shared<MemoryPreferences>();
        m_random = std::make_shared<ScriptedRandom>();
    }

    void walkingTheCatalogueWrapsAround()
    {
        auto m = manager();
        QCOMPARE(awaitTask(m->prepareToPractice())->id, 1);
        QCOMPARE(storedCursor(), -1);
        QCOMPARE(awaitTask(m->loadPreviousLevel())->id, 144);
        QCOMPARE(storedCursor(), 142);
        QCOMPARE(awaitTask(m->loadNextLevel())->id, 1);
        QCOMPARE(storedCursor(), -1);
        m_random->values = {37};
        QCOMPARE(awaitTask(m->loadRandomLevel())->id, 38);
        QCOMPARE(awaitTask(m->loadFirstLevel())->id, 1);
    }

    void resumesFromTheStoredCursor_data()
    {
        QTest::addColumn<qint64>("stored");
        QTest::addColumn<qint64>("resumedId");
        QTest::newRow("after position 5") << 4ll << 6ll;
        QTest::newRow("the last position") << 143ll << 1ll;
        QTest::newRow("beyond the list") << 500ll << 1ll;
        QTest::newRow("below -1") << -7ll << 1ll;
    }
    void resumesFromTheStoredCursor()
    {
        QFETCH(qint64, stored);
        QFETCH(qint64, resumedId);
        m_preferences->setInteger(stored, PreferenceKey::levelCursor);
        QCOMPARE(awaitTask(manager()->prepareToPractice())->id, resumedId);
    }

    void nothingToPractiseFailsInsteadOfCrashing()
    {
        auto m = manager(std::make_shared<FixedLevels>(0));
        QCOMPARE(awaitTask(m->prepareToPractice()).error(), m_unexpected);
        QCOMPARE(awaitTask(m->loadFirstLevel()).error(), m_unexpected);
        QCOMPARE(awaitTask(m->loadRandomLevel()).error(), m_unexpected);
        QCOMPARE(awaitTask(m->loadPreviousLevel()).error(), m_unexpected);
        QCOMPARE(awaitTask(m->loadNextQuestion()).error(), m_unexpected);
        QCOMPARE(awaitTask(m->stopSession()).error(), m_unexpected);
        Level empty;
        empty.isCustom = true;
        awaitTask(m->loadLevel(empty));
        QCOMPARE(awaitTask(m->loadNextQuestion()).error(), m_unexpected);
    }

    void questionsWalkShuffledPasses()
    {
        m_random->values = {0}; // start index 0, then shuffles that keep the order
        auto m = manager(std::make_shared<FixedLevels>(1));
        awaitTask(m->prepareToPractice());
        // The first pass begins after the random start index.
        QCOMPARE(awaitTask(m->loadNextQuestion())->answer, note(u"E1"));
        QCOMPARE(awaitTask(m->loadNextQuestion())->answer, note(u"G1"));
        m_random->values = {4}; // a start beyond a short level: a fresh pass from its first note
        auto other = manager(std::make_shared<FixedLevels>(1));
        awaitTask(other->prepareToPractice());
        QCOMPARE(awaitTask(other->loadNextQuestion())->answer, note(u"C1"));
        for (int pass = 0; pass < 3; ++pass) {
            m_random->values = {pass};
            std::multiset<std::uint8_t> names;
            std::set<QUuid> ids;
            for (int i = 0; i < 3; ++i) {
                const Question q = *awaitTask(m->loadNextQuestion());
                names.insert(rawValue(q.answer.name));
                ids.insert(q.id);
                QCOMPARE(q.resolution, DiatonicNoteResolutionGenerator().resolution(q.answer, NoteName::c, true, false));
            }
            QCOMPARE(names, (std::multiset<std::uint8_t>{12, 16, 19}));
            QCOMPARE(ids.size(), size_t(3));
        }
    }

    void oneCountPerQuestion()
    {
        auto m = manager();
        awaitTask(m->prepareToPractice());
        const Question early = *awaitTask(m->loadNextQuestion());
        QCOMPARE(awaitTask(m->logRightAnswer(early)).error(),
                 CyclicPracticeManager::error(CyclicPracticeManager::ErrorCase::noSessionInProgress));
        QCOMPARE(awaitTask(m->startSession())->timestamp, 1733472000.25);
        const Question q = *awaitTask(m->loadNextQuestion());
        awaitTask(m->logWrongAnswer(q, Note{NoteName::b, 0}));
        awaitTask(m->logRightAnswer(q));
        const Session after = *awaitTask(m->logWrongAnswer(q, Note{NoteName::a, 0}));
        QCOMPARE(after.score.at(q.answer), (Score{0, 1}));
        // The first answer is what the note was taken for; later ones change nothing.
        const std::map<Confusion, std::int64_t> taken{{Confusion{q.answer, Note{NoteName::b, 0}}, 1}};
        QCOMPARE(after.confusions, taken);
        const Question next = *awaitTask(m->loadNextQuestion());
        QCOMPARE(awaitTask(m->logRightAnswer(next))->confusions, taken);
    }

    // Melodies: questions of the length set, from the level's notes, each
    // position scored once as a note; their history apart from the notes',
    // an unsaved narrowing's too.
    void melodiesKeepTheirOwnHistory()
    {
        auto m = manager(std::make_shared<FixedLevels>(2));
        m_random->values = {0, 1, 2, 0, 1, 2, 0, 1, 2};
        awaitTask(m->prepareToPractice());
        m->setQuestionShape(3, MelodyLeap::fifth, QuestionKind::note, false);
        const Level level = *awaitTask(m->loadLevelForQuestionLength());
        QCOMPARE(level.id, 1);
        QCOMPARE(level.questionLength, 3);
        QCOMPARE(m->levelsToChoose().front().questionLength, 3);
        awaitTask(m->startSession());
        const Question q = *awaitTask(m->loadNextQuestion());
        QCOMPARE(q.length(), size_t(3));
        QCOMPARE(q.answer, q.melody.back());
        for (std::size_t i = 0; i < 3; ++i) {
            QVERIFY(std::find(level.notes.begin(), level.notes.end(), q.noteAt(i)) != level.notes.end());
            if (i > 0)
                QVERIFY(q.noteAt(i) != q.noteAt(i - 1));
        }
        // Each position is a question of its own: the first press counts.
        const Note wrong = q.noteAt(1) == note(u"C1") ? note(u"E1") : note(u"C1");
        awaitTask(m->logRightAnswer(q.at(0, {})));
        awaitTask(m->logWrongAnswer(q.at(1, {}), wrong));
        awaitTask(m->logRightAnswer(q.at(1, {})));
        const Session melody = *awaitTask(m->logRightAnswer(q.at(2, {})));
        const SessionStatistics figures = melody.statistics();
        QCOMPARE(figures.correctCount + figures.wrongCount, 3);
        QCOMPARE(figures.wrongCount, 1);
        QCOMPARE(melody.confusions, (std::map<Confusion, std::int64_t>{{Confusion{q.noteAt(1), wrong}, 1}}));
        QCOMPARE(awaitTask(m->stopSession())->sessions, std::vector<Session>{melody});
        QCOMPARE((m_storage->melodies[{1, 3}]), std::vector<Session>{melody});
        QVERIFY(m_storage->files[1].empty());
        QCOMPARE(m->historySummary(level).answers, 3);

        // One note again: the level's own history, one-note questions.
        m->setQuestionShape(1, MelodyLeap::fifth, QuestionKind::note, false);
        const Level single = *awaitTask(m->loadLevelForQuestionLength());
        QCOMPARE(single.questionLength, 1);
        QVERIFY(single.sessions.empty());
        QCOMPARE(m->historySummary(single).answers, 0);
        QVERIFY(awaitTask(m->loadNextQuestion())->melody.empty());

        // An unsaved narrowing keeps each length's sessions apart.
        Level custom = DiatonicLevelGenerator::makeLevel(1, NoteName::c, true, false, NoteRange::entireOctave);
        custom.isCustom = true;
        awaitTask(m->loadLevel(custom));
        awaitTask(m->startSession());
        const Session one = *awaitTask(m->logRightAnswer(*awaitTask(m->loadNextQuestion())));
        QCOMPARE(awaitTask(m->stopSession())->sessions, std::vector<Session>{one});
        m->setQuestionShape(2, MelodyLeap::steps, QuestionKind::note, false);
        const Level twos = *awaitTask(m->loadLevelForQuestionLength());
        QVERIFY(twos.isCustom && twos.sessions.empty() && twos.questionLength == 2);
        const Question pair = *awaitTask(m->loadNextQuestion());
        QCOMPARE(pair.length(), size_t(2));
        QVERIFY(std::abs(pitchOf(pair.noteAt(1)) - pitchOf(pair.noteAt(0))) <= 2);
        m->setQuestionShape(1, MelodyLeap::steps, QuestionKind::note, false);
        QCOMPARE(awaitTask(m->loadLevelForQuestionLength())->sessions, std::vector<Session>{one});
        QVERIFY(m_storage->files[1].empty());
    }

    // Chords: one per root, the whole octave's two tonics one chord; a
    // wrong root in another octave kept as that root; progressions without
    // a chord twice in a row unless repeats are allowed; the history apart.
    void chordsKeepTheirOwnHistory_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("repeat");
        QTest::newRow("single chords") << 1 << false;
        QTest::newRow("progressions of 4") << 4 << false;
        QTest::newRow("progressions of 5 that may repeat") << 5 << true;
    }
    void chordsKeepTheirOwnHistory()
    {
        QFETCH(int, length);
        QFETCH(bool, repeat);
        auto m = manager();
        awaitTask(m->prepareToPractice());
        m->setQuestionShape(length, MelodyLeap::steps, QuestionKind::chord, repeat);
        Level octave = DiatonicLevelGenerator::makeLevel(3, NoteName::c, true, false, NoteRange::entireOctave);
        QCOMPARE(octave.notes.size(), size_t(8)); // C1 … C2
        octave.isCustom = true;
        const Level level = *awaitTask(m->loadLevel(octave));
        QCOMPARE(level.questionKind, QuestionKind::chord);
        awaitTask(m->startSession());
        std::set<NoteName> asked;
        bool repeated = false;
        for (int i = 0; i < 30; ++i) {
            const Question q = *awaitTask(m->loadNextQuestion());
            QCOMPARE(q.kind, QuestionKind::chord);
            QCOMPARE(q.length(), size_t(length));
            for (std::size_t k = 0; k < q.length(); ++k) {
                // Every root is the lowest of its name: C1, never C2.
                QVERIFY(q.noteAt(k).octave == 1);
                asked.insert(q.noteAt(k).name);
                if (k > 0 && q.noteAt(k) == q.noteAt(k - 1))
                    repeated = true;
            }
            // The chord again, then the tonic chord; the tonic's alone.
            const Note last = q.answer;
            QCOMPARE(q.resolution, last.name == NoteName::c ? std::vector<Note>{last} : (std::vector<Note>{last, note(u"C1")}));
        }
        QCOMPARE(asked.size(), size_t(7));
        QVERIFY(!repeated || repeat);
        if (length == 5)
            QVERIFY(repeated); // 30 progressions of 5 over 7 chords: a repeat is all but sure
        const Question q = *awaitTask(m->loadNextQuestion());
        const Question first = q.at(0, {});
        const Note wrong{first.answer.name == NoteName::g ? NoteName::a : NoteName::g, 2};
        awaitTask(m->logWrongAnswer(first, wrong));
        const Session session = *awaitTask(m->logRightAnswer(first));
        QCOMPARE(session.confusions, (std::map<Confusion, std::int64_t>{{Confusion{first.answer, Note{wrong.name, 1}}, 1}}));
        QCOMPARE(awaitTask(m->stopSession())->sessions, std::vector<Session>{session});

        // Notes again: the narrowing's note history is another.
        m->setQuestionShape(1, MelodyLeap::steps, QuestionKind::note, false);
        const Level notes = *awaitTask(m->loadLevelForQuestionLength());
        QVERIFY(notes.sessions.empty() && notes.questionKind == QuestionKind::note);
        m->setQuestionShape(length, MelodyLeap::steps, QuestionKind::chord, repeat);
        QCOMPARE(awaitTask(m->loadLevelForQuestionLength())->sessions, std::vector<Session>{session});

        // A built-in level's chords go to the chords' history.
        awaitTask(m->loadFirstLevel());
        awaitTask(m->startSession());
        const Question built = *awaitTask(m->loadNextQuestion());
        const Session right = *awaitTask(m->logRightAnswer(built.at(0, {})));
        awaitTask(m->stopSession());
        QCOMPARE((m_storage->chords[{1, length}]), std::vector<Session>{right});
        QVERIFY(m_storage->files[1].empty());
    }

    void stoppingBuiltInAndCustomLevels()
    {
        auto m = manager();
        awaitTask(m->prepareToPractice());
        awaitTask(m->startSession());
        QVERIFY(awaitTask(m->stopSession())->sessions.empty()); // no answers: nothing saved
        QVERIFY(m_storage->files[1].empty());
        // A stopped session takes no more answers: they go to the next one.
        const Question late = *awaitTask(m->loadNextQuestion());
        QVERIFY(awaitTask(m->logRightAnswer(late))->score.empty());
        awaitTask(m->startSession());
        const Session s = *awaitTask(m->logRightAnswer(*awaitTask(m->loadNextQuestion())));
        QCOMPARE(awaitTask(m->stopSession())->sessions, std::vector<Session>{s});
        QCOMPARE(m_storage->files[1], std::vector<Session>{s});

        // A custom level keeps every session practised on it and writes nothing.
        Level custom = DiatonicLevelGenerator::makeLevel(1, NoteName::c, true, false, NoteRange::entireOctave);
        custom.isCustom = true;
        custom.sessions = {s};
        awaitTask(m->loadLevel(custom));
        awaitTask(m->startSession());
        const Session t = *awaitTask(m->logWrongAnswer(*awaitTask(m->loadNextQuestion()), Note{NoteName::b, 0}));
        QCOMPARE(awaitTask(m->stopSession())->sessions, (std::vector<Session>{s, t}));
        QCOMPARE(m_storage->files[1].size(), size_t(1));
    }

    // Adaptive questions follow the level's stored answers and the running
    // session's: a note always missed comes about twice as often as the
    // others.
    void adaptiveQuestionsFollowTheAnswers()
    {
        m_random->values.clear();
        CyclicPracticeManager::Collaborators with;
        with.storage = m_storage;
        with.preferences = m_preferences;
        with.random = std::make_shared<SeededRandomSource>(17);
        Session missed{100, {{note(u"E1"), Score{0, 6}}, {note(u"C1"), Score{6, 0}}, {note(u"D1"), Score{6, 0}}, {note(u"F1"), Score{6, 0}}}};
        m_storage->files[1] = {missed};
        CyclicPracticeManager m(with);
        QCOMPARE(awaitTask(m.prepareToPractice())->notes, notes("C1 D1 E1 F1"));
        awaitTask(m.startSession());
        std::map<QString, int> asked;
        for (int i = 0; i < 600; ++i) {
            const Question q = *awaitTask(m.loadNextQuestion(PracticeMode::adaptive));
            ++asked[text({q.answer})];
            // The running session confirms it: E is missed, the rest known.
            if (q.answer == note(u"E1"))
                awaitTask(m.logWrongAnswer(q, note(u"D1")));
            else
                awaitTask(m.logRightAnswer(q));
        }
        QVERIFY2(asked["E1"] >= 1.8 * asked["C1"], qPrintable(QStringLiteral("E %1, C %2").arg(asked["E1"]).arg(asked["C1"])));
        QCOMPARE(asked["C1"] + asked["D1"] + asked["E1"] + asked["F1"], 600);
    }

    void storageFailures()
    {
        auto m = manager();
        awaitTask(m->prepareToPractice());
        awaitTask(m->loadNextLevel()); // position 1, stored 0
        m_storage->failLoad = true;
        QCOMPARE(awaitTask(m->loadNextLevel()).error().description, QStringLiteral("cannot read"));
        QCOMPARE(storedCursor(), 0);
        m_storage->failLoad = false;
        QCOMPARE(awaitTask(m->loadNextLevel())->id, 4); // the cursor had moved on to position 2

        awaitTask(m->startSession());
        const Session s = *awaitTask(m->logRightAnswer(*awaitTask(m->loadNextQuestion())));
        m_storage->failSave = true;
        // Without a journal the session is kept in memory, and the error says so.
        QCOMPARE(awaitTask(m->stopSession()).error().description,
                 QStringLiteral("cannot write. ") + localized("sessionKeptInMemory").arg(localized("sessionKeptNowhereElse")));
        m_storage->failSave = false;
        QCOMPARE(awaitTask(m->stopSession())->sessions, std::vector<Session>{s}); // appended once
        QCOMPARE(m_storage->files[4], std::vector<Session>{s});
    }

    // The way on after a failure: the level the cursor went to loads again,
    // and navigation works even when practice was never prepared.
    void tryingAgain()
    {
        auto m = manager();
        m_storage->failLoad = true;
        QVERIFY(!awaitTask(m->prepareToPractice()));
        m_storage->failLoad = false;
        QCOMPARE(awaitTask(m->reloadLevel())->id, 1);
        QCOMPARE(storedCursor(), -1);

        auto unprepared = manager();
        QCOMPARE(awaitTask(unprepared->loadNextLevel())->id, 1);
        auto fresh = manager();
        QCOMPARE(awaitTask(fresh->reloadLevel())->id, 1);
    }
};

LIRRA_TEST(PracticeManagerTest)
#include "practice_manager_test.moc"
