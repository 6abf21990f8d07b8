#include "support/await.h"
#include "support/file_layers.h"
#include "support/files.h"
#include "support/memory_preferences.h"
#include "support/notes.h"
#include "support/sessions_folder.h"
#include "support/test_registry.h"

#include "model/generators.h"
#include "practice/cyclic_practice_manager.h"
#include "storage/file_worker.h"
#include "storage/saved_levels.h"
#include "storage/session_journal.h"

#include <QDir>
#include <QJsonDocument>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>

using namespace lirra;
using namespace lirra::test;

namespace {

const QByteArray validEntry = "{\"id\": \"6a4fb1de-1c62-4d3e-9d2c-0f0c1a2b3c4d\", \"name\": \"Thirds\",\n"
    "    \"key\": \"c\", \"major\": true, \"chromatic\": false, \"notes\": [\"c:1\", \"e:1\", \"g:1\"]}";
const QByteArray otherEntry = "{\"id\": \"0b7e6f52-2f1a-4c1d-8e3b-5a6b7c8d9e0f\", \"name\": \"Tritones\",\n"
    "    \"key\": \"fsharp\", \"major\": false, \"chromatic\": true, \"notes\": [\"fsharp:1\", \"c:2\"]}";

QByteArray definitionsWith(std::initializer_list<QByteArray> entries)
{
    QByteArrayList list(entries);
    return "{\"levels\": [" + list.join(",\n") + "]}";
}

QStringList names(const std::vector<Level> &levels)
{
    QStringList result;
    for (const Level &level : levels)
        result << level.name;
    return result;
}

} // namespace

// The user's own levels through real files: saved with their first session,
// practised, found again, kept across restarts, renamed, deleted.
class SavedLevelsTest : public QObject, private SessionsFolderFixture {
    Q_OBJECT

private:
    std::shared_ptr<MemoryPreferences> m_preferences;
    double m_clock = 0;

    QString definitions() const { return folder() + QStringLiteral("/my_levels.json"); }
    std::unique_ptr<CyclicPracticeManager> makeManager(std::shared_ptr<FileSystem> fs = FileSystem::posix(),
                                                      std::shared_ptr<FileWorker> worker = nullptr)
    {
        const QString documents = m_documents;
        auto storage = std::make_shared<FileSessionStorage>([documents]() -> Result<QString> { return documents; }, fs,
                                                            worker);
        CyclicPracticeManager::Collaborators with;
        with.storage = storage;
        with.preferences = m_preferences;
        with.savedLevels = std::make_shared<SavedLevelStore>([storage]() { return storage->sessionsFolder(); }, fs,
                                                             worker);
        with.now = [this] { return m_clock += 60; };
        return std::make_unique<CyclicPracticeManager>(with);
    }
    static Session answerOne(CyclicPracticeManager &manager)
    {
        awaitTask(manager.startSession());
        return *awaitTask(manager.logRightAnswer(*awaitTask(manager.loadNextQuestion())));
    }
    // A narrowing of the first level to C, E and G, practised once and stopped.
    static Level practisedNarrowing(CyclicPracticeManager &manager)
    {
        Level level = *awaitTask(manager.prepareToPractice());
        level.isCustom = true;
        level.sessions.clear();
        level.notes = notes(QStringLiteral("C1 E1 G1"));
        awaitTask(manager.loadLevel(level));
        answerOne(manager);
        return *awaitTask(manager.stopSession());
    }
    int lines(const QString &path) const { return int(readAll(path).count('\n')); }

private slots:
    void init()
    {
        m_clock = 0;
        m_preferences = std::make_shared<MemoryPreferences>();
        newHome();
    }

    void roundTripThroughRealFiles()
    {
        QUuid savedId;
        std::int64_t id = 0;
        {
            auto manager = makeManager();
            const Level narrowing = practisedNarrowing(*manager);
            QCOMPARE(narrowing.sessions.size(), size_t(1));
            // Saved with the session it was practised in.
            const Level saved = *awaitTask(manager->saveLevel(narrowing, QStringLiteral("Thirds")));
            QVERIFY(saved.isSaved() && !saved.isCustom);
            QCOMPARE(saved.name, QStringLiteral("Thirds"));
            QCOMPARE(saved.sessions, narrowing.sessions);
            savedId = saved.savedId;
            id = saved.id;
            QVERIFY(id < 0);
            const QString history = folder() + QStringLiteral("/my_%1.txt").arg(savedId.toString(QUuid::WithoutBraces));
            QCOMPARE(lines(history), 1);
            // Practised like any level, with the durability of any level.
            answerOne(*manager);
            QCOMPARE(awaitTask(manager->stopSession())->sessions.size(), size_t(2));
            QCOMPARE(lines(history), 2);
            QVERIFY(!QFile::exists(file(1)) || lines(file(1)) == 0);
            // Away and back through the list of levels.
            QCOMPARE(awaitTask(manager->loadNextLevel())->id, std::int64_t(2));
            const std::vector<Level> choices = manager->levelsToChoose();
            QCOMPARE(choices.size(), size_t(145));
            QCOMPARE(choices.back().id, id);
            QCOMPARE(manager->historySummary(choices.back()).answers, std::int64_t(2));
            const Level back = *awaitTask(manager->loadLevelWithId(id));
            QCOMPARE(back.sessions.size(), size_t(2));
            QCOMPARE(back.notes, notes(QStringLiteral("C1 E1 G1")));
        }
        {
            // The next run reopens it.
            auto manager = makeManager();
            const Level reopened = *awaitTask(manager->prepareToPractice());
            QCOMPARE(reopened.id, id);
            QCOMPARE(reopened.name, QStringLiteral("Thirds"));
            QCOMPARE(reopened.sessions.size(), size_t(2));
            QCOMPARE(awaitTask(manager->renameLevel(id, QStringLiteral("  Major\nthirds "))).value().name,
                     QStringLiteral("Major thirds"));
            // Renamed, it is the same level to practise: its history, its
            // figures and its notes stay.
            QCOMPARE(manager->historySummary(reopened).answers, std::int64_t(2));
            QCOMPARE(awaitTask(manager->renameLevel(id, QStringLiteral("Major thirds again")))->sessions.size(), size_t(2));
            QVERIFY(awaitTask(manager->loadNextQuestion()).has_value());
            QCOMPARE(awaitTask(manager->renameLevel(id, QStringLiteral("Major thirds"))).value().name,
                     QStringLiteral("Major thirds"));
        }
        {
            auto manager = makeManager();
            QCOMPARE(awaitTask(manager->prepareToPractice())->name, QStringLiteral("Major thirds"));
            // Deleted: gone from the list, its history kept aside.
            const Level shown = *awaitTask(manager->deleteLevel(id));
            QVERIFY(!shown.isSaved());
            // On to the level it was made from: C major, diatonic, the whole octave.
            QVERIFY(shown.key == NoteName::c && shown.isMajor && !shown.isChromatic && shown.range == NoteRange::entireOctave);
            QCOMPARE(manager->levelsToChoose().size(), size_t(144));
            const QString name = QStringLiteral("my_%1.txt").arg(savedId.toString(QUuid::WithoutBraces));
            QVERIFY(!QFile::exists(folder() + QLatin1Char('/') + name));
            QCOMPARE(lines(folder() + QStringLiteral("/deleted_") + name), 2);
        }
        {
            auto manager = makeManager();
            QVERIFY(!awaitTask(manager->prepareToPractice())->isSaved());
            QVERIFY(manager->levelsToChoose().size() == 144);
        }
    }

    // A narrowing practised at one note and as melodies of three, saved:
    // each length's sessions go to their own file; deleted, both go aside.
    void eachLengthOfASavedLevel()
    {
        auto manager = makeManager();
        practisedNarrowing(*manager);
        manager->setQuestionShape(3, MelodyLeap::fifth, QuestionKind::note, false);
        QVERIFY(awaitTask(manager->loadLevelForQuestionLength())->sessions.empty());
        awaitTask(manager->startSession());
        const Question melody = *awaitTask(manager->loadNextQuestion());
        for (std::size_t i = 0; i < melody.length(); ++i)
            awaitTask(manager->logRightAnswer(melody.at(i, {})));
        const Level melodies = *awaitTask(manager->stopSession());
        QCOMPARE(melodies.sessions.size(), size_t(1));
        const Level saved = *awaitTask(manager->saveLevel(melodies, QStringLiteral("Both")));
        QCOMPARE(saved.questionLength, 3);
        QCOMPARE(saved.sessions, melodies.sessions);
        const QString id = saved.savedId.toString(QUuid::WithoutBraces);
        QCOMPARE(lines(folder() + QStringLiteral("/my_%1_n3.txt").arg(id)), 1);
        QCOMPARE(lines(folder() + QStringLiteral("/my_%1.txt").arg(id)), 1);
        manager->setQuestionShape(1, MelodyLeap::fifth, QuestionKind::note, false);
        QCOMPARE(awaitTask(manager->loadLevelForQuestionLength())->sessions.size(), size_t(1));
        awaitTask(manager->deleteLevel(saved.id));
        QCOMPARE(lines(folder() + QStringLiteral("/deleted_my_%1_n3.txt").arg(id)), 1);
        QCOMPARE(lines(folder() + QStringLiteral("/deleted_my_%1.txt").arg(id)), 1);
    }

    // The definitions file as the user may find it: whatever it holds, the
    // entries that can be used load, and the next save writes it whole
    // again, a copy of the damaged one kept aside.
    void damagedDefinitions_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("loaded");
        QTest::addColumn<bool>("keptAside"); // what the file held is copied aside first

        const QByteArray cut = definitionsWith({validEntry, otherEntry});
        QTest::newRow("not JSON") << QByteArray("levels: thirds, tritones") << QStringList{} << true;
        QTest::newRow("empty") << QByteArray() << QStringList{} << false;
        QTest::newRow("cut off in the second entry") << cut.first(cut.indexOf("Tritones")) << QStringList{"Thirds"} << true;
        QTest::newRow("garbage between entries")
            << QByteArray("{\"levels\": [" + validEntry + ", ]]}}, @@ " + otherEntry + "]}")
            << QStringList{"Thirds", "Tritones"} << true;
        QTest::newRow("levels not a list") << QByteArray("{\"levels\": 5}") << QStringList{} << true;
        QTest::newRow("wrong kinds") << definitionsWith({QByteArray(validEntry).replace("true", "\"yes\""),
                                              QByteArray(otherEntry).replace("[\"fsharp:1\", \"c:2\"]", "\"fsharp:1\""),
                                              "{\"id\": 7, \"name\": \"x\", \"key\": \"c\", \"major\": true, \"notes\": [\"c:1\"]}",
                                              "17", "\"text\"", validEntry})
                                     << QStringList{"Thirds"} << true;
        QTest::newRow("unknown notes") << definitionsWith({QByteArray(validEntry).replace("e:1", "h:1"),
                                                QByteArray(otherEntry).replace("c:2", "c:300")})
                                       << QStringList{} << true;
        QTest::newRow("notes outside the key")
            << definitionsWith({QByteArray(validEntry).replace("\"c\",", "\"d\","), otherEntry}) << QStringList{"Tritones"} << true;
        QTest::newRow("no notes") << definitionsWith({QByteArray(validEntry).replace("\"c:1\", \"e:1\", \"g:1\"", "")})
                                  << QStringList{} << true;
        QTest::newRow("empty name") << definitionsWith({QByteArray(validEntry).replace("\"Thirds\"", "\"  \"")}) << QStringList{} << true;
        QTest::newRow("duplicate ids, the first kept")
            << definitionsWith({validEntry, QByteArray(validEntry).replace("Thirds", "Copy"), otherEntry})
            << QStringList{"Thirds", "Tritones"} << true;
        QTest::newRow("huge but readable") << definitionsWith({validEntry, QByteArray(3 << 20, ' ') + otherEntry})
                                           << QStringList{"Thirds", "Tritones"} << false;
        QTest::newRow("huge name, cut short")
            << definitionsWith({QByteArray(validEntry).replace("Thirds", QByteArray(100000, 'T'))})
            << QStringList{QString(SavedLevelStore::maxNameLength, QLatin1Char('T'))} << true;
        QTest::newRow("beyond reason") << definitionsWith({validEntry, QByteArray(SavedLevelStore::maxBytes, ' ')})
                                       << QStringList{} << true;
    }
    void damagedDefinitions()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, loaded);
        QFETCH(bool, keptAside);
        QVERIFY(QDir().mkpath(folder()));
        writeAll(definitions(), bytes);
        auto manager = makeManager();
        QVERIFY(awaitTask(manager->prepareToPractice()).has_value());
        std::vector<Level> levels = manager->levelsToChoose();
        levels.erase(levels.begin(), levels.begin() + 144);
        QCOMPARE(names(levels), loaded);

        const Level narrowing = practisedNarrowing(*manager);
        QVERIFY(awaitTask(manager->saveLevel(narrowing, QStringLiteral("New"))).has_value());
        const SavedLevelStore::Read written = SavedLevelStore::parse(readAll(definitions()));
        QCOMPARE(written.skipped, 0);
        QCOMPARE(names(written.levels), loaded + QStringList{"New"});
        QCOMPARE(QFile::exists(folder() + QStringLiteral("/my_levels.damaged.json")), keptAside);
        if (keptAside)
            QCOMPARE(readAll(folder() + QStringLiteral("/my_levels.damaged.json")), bytes);
    }

    void anIntactFileIsNotCopiedAside()
    {
        QVERIFY(QDir().mkpath(folder()));
        writeAll(definitions(), definitionsWith({validEntry}));
        auto manager = makeManager();
        awaitTask(manager->prepareToPractice());
        QVERIFY(awaitTask(manager->saveLevel(practisedNarrowing(*manager), QString())).has_value());
        QVERIFY(!QFile::exists(folder() + QStringLiteral("/my_levels.damaged.json")));
        // A name left empty is the suggested one: key, mode and notes.
        QCOMPARE(names(SavedLevelStore::parse(readAll(definitions())).levels),
                 (QStringList{"Thirds", "C major: C E G"}));
    }

    // A definitions file that is no file, or cannot be read, keeps nothing
    // from practice, is never waited on, and is never written over.
    void unreadableDefinitions_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("named pipe") << "fifo";
        QTest::newRow("folder") << "folder";
    }
    void unreadableDefinitions()
    {
        QFETCH(QString, kind);
        QVERIFY(QDir().mkpath(folder()));
        if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(definitions()).constData(), 0644), 0);
        else
            QVERIFY(QDir().mkpath(definitions()));
        auto manager = makeManager();
        QCOMPARE(awaitTask(manager->prepareToPractice())->id, std::int64_t(1));
        QCOMPARE(manager->levelsToChoose().size(), size_t(144));
        const Result<Level> saved = awaitTask(manager->saveLevel(practisedNarrowing(*manager), QStringLiteral("New")));
        QVERIFY(!saved);
        QVERIFY2(saved.error().description.contains(QStringLiteral("my_levels.json")), qPrintable(saved.error().description));
        QFileInfo still(definitions());
        QVERIFY(kind == QLatin1String("fifo") ? !still.isFile() && still.exists() : still.isDir());
    }

    // A save that fails at any one of its file calls leaves the file as it
    // was or as it would have been, never anything between, and says so.
    void failuresLoseNothing()
    {
        QVERIFY(QDir().mkpath(folder()));
        writeAll(definitions(), definitionsWith({validEntry}));
        const QByteArray before = readAll(definitions());
        auto faulty = std::make_shared<FaultyFileSystem>();
        for (int at = 0;; ++at) {
            QVERIFY(at < 200);
            writeAll(definitions(), before);
            auto manager = makeManager(faulty);
            faulty->failAt = -1;
            const Level narrowing = practisedNarrowing(*manager);
            faulty->calls.clear();
            faulty->hit = false;
            faulty->failAt = at;
            const Result<Level> saved = awaitTask(manager->saveLevel(narrowing, QStringLiteral("New")));
            const SavedLevelStore::Read now = SavedLevelStore::parse(readAll(definitions()));
            QCOMPARE(now.skipped, 0);
            if (!faulty->hit) {
                QVERIFY(saved.has_value() && saved->isSaved());
                QCOMPARE(names(now.levels), (QStringList{"Thirds", "New"}));
                break;
            }
            if (!saved) {
                const QStringList held = names(now.levels);
                QVERIFY2(held == QStringList{"Thirds"} || held == (QStringList{"Thirds", "New"}),
                         faulty->calls.back());
                QVERIFY(!saved.error().description.isEmpty());
            }
            // Nothing half written is left beside it.
            for (const QString &name : QDir(folder()).entryList(QDir::Files))
                QVERIFY2(name == QLatin1String("my_levels.json") || name.startsWith(QLatin1String("my_")), qPrintable(name));
        }
    }

    // Changes to the list made at once, their writes on the file thread,
    // each build on the one before: none is written over by an older list.
    void changesAtOnceAllLand()
    {
        QVERIFY(QDir().mkpath(folder()));
        writeAll(definitions(), definitionsWith({validEntry, otherEntry}));
        auto manager = makeManager(FileSystem::posix(), std::make_shared<FileWorker>());
        awaitTask(manager->prepareToPractice());
        std::vector<Level> levels = manager->levelsToChoose();
        const std::int64_t thirds = levels[144].id;
        const std::int64_t tritones = levels[145].id;
        const Level narrowing = practisedNarrowing(*manager);
        QCoro::Task<Result<Level>> renaming = manager->renameLevel(thirds, QStringLiteral("Major thirds"));
        QCoro::Task<Result<Level>> deleting = manager->deleteLevel(tritones);
        QCoro::Task<Result<Level>> saving = manager->saveLevel(narrowing, QStringLiteral("New"));
        QVERIFY(awaitTask(std::move(renaming)).has_value());
        QVERIFY(awaitTask(std::move(deleting)).has_value());
        QVERIFY(awaitTask(std::move(saving)).has_value());
        QCOMPARE(names(SavedLevelStore::parse(readAll(definitions())).levels), (QStringList{"Major thirds", "New"}));
        levels = manager->levelsToChoose();
        levels.erase(levels.begin(), levels.begin() + 144);
        QCOMPARE(names(levels), (QStringList{"Major thirds", "New"}));
    }

    // Two copies of the app changing their levels at once, a hundred rounds
    // each of save, rename and delete: every change of both is kept.
    void twoProcessesKeepEveryChange()
    {
        QVERIFY(QDir().mkpath(folder()));
        writeAll(definitions(), definitionsWith({validEntry}));
        QProcess first, second;
        first.start(QStringLiteral(SESSION_APPEND_HELPER), {"levels", m_documents, "A", "100"});
        second.start(QStringLiteral(SESSION_APPEND_HELPER), {"levels", m_documents, "B", "100"});
        QVERIFY(first.waitForFinished(120000) && second.waitForFinished(120000));
        QVERIFY2(first.exitCode() == 0, first.readAllStandardError().constData());
        QVERIFY2(second.exitCode() == 0, second.readAllStandardError().constData());
        QStringList expected{"Thirds"};
        for (int round = 0; round < 100; ++round) {
            if (round % 3 != 0)
                expected << QStringLiteral("A %1 renamed").arg(round) << QStringLiteral("B %1 renamed").arg(round);
        }
        const SavedLevelStore::Read read = SavedLevelStore::parse(readAll(definitions()));
        QCOMPARE(read.skipped, 0);
        QStringList held = names(read.levels);
        held.sort();
        expected.sort();
        QCOMPARE(held, expected);
        // The histories of the deleted ones are aside, none lost, none stray.
        QVERIFY(!QFile::exists(definitions() + QStringLiteral(".new")));
    }

    // my_levels.json kept elsewhere (a synced folder) and linked to: a save
    // changes the file there and the link stays.
    void aLinkedDefinitionsFileStaysLinked()
    {
        QVERIFY(QDir().mkpath(folder()));
        const QString synced = m_home->filePath(QStringLiteral("Sync/lirra/my_levels.json"));
        QVERIFY(QDir().mkpath(QFileInfo(synced).absolutePath()));
        writeAll(synced, definitionsWith({validEntry}));
        QVERIFY(QFile::link(synced, definitions()));
        auto manager = makeManager();
        awaitTask(manager->prepareToPractice());
        QVERIFY(awaitTask(manager->saveLevel(practisedNarrowing(*manager), QStringLiteral("New"))).has_value());
        QVERIFY(QFileInfo(definitions()).isSymLink());
        QCOMPARE(names(SavedLevelStore::parse(readAll(synced)).levels), (QStringList{"Thirds", "New"}));
        QVERIFY(!QFile::exists(synced + QStringLiteral(".new")) && !QFile::exists(definitions() + QStringLiteral(".new")));
    }

    // A saved level's history and a built-in one's can never share a file,
    // and nothing read from the definitions can name a file elsewhere.
    void fileNamesStayApartAndInside_data()
    {
        QTest::addColumn<QByteArray>("id");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("plain") << QByteArray("6a4fb1de-1c62-4d3e-9d2c-0f0c1a2b3c4d") << true;
        QTest::newRow("braced") << QByteArray("{6a4fb1de-1c62-4d3e-9d2c-0f0c1a2b3c4d}") << true;
        QTest::newRow("upper case") << QByteArray("6A4FB1DE-1C62-4D3E-9D2C-0F0C1A2B3C4D") << true;
        QTest::newRow("parent folders") << QByteArray("../../../../tmp/evil") << false;
        QTest::newRow("uuid then a path") << QByteArray("6a4fb1de-1c62-4d3e-9d2c-0f0c1a2b3c4d/../../x") << false;
        QTest::newRow("absolute") << QByteArray("/etc/passwd") << false;
        QTest::newRow("a number") << QByteArray("7") << false;
        QTest::newRow("nul inside") << QByteArray("6a4fb1de-1c62-4d3e-9d2c-0f0c1a2b3c4d\\u0000x") << false;
    }
    void fileNamesStayApartAndInside()
    {
        QFETCH(QByteArray, id);
        QFETCH(bool, accepted);
        const QByteArray entry = QByteArray(validEntry).replace("6a4fb1de-1c62-4d3e-9d2c-0f0c1a2b3c4d", id);
        const SavedLevelStore::Read read = SavedLevelStore::parse(definitionsWith({entry}));
        QCOMPARE(read.levels.size(), size_t(accepted ? 1 : 0));
        if (!accepted)
            return;
        const Level &level = read.levels.front();
        const QString name = HistoryFile::of(level).fileName();
        QCOMPARE(name, QStringLiteral("my_6a4fb1de-1c62-4d3e-9d2c-0f0c1a2b3c4d.txt"));
        QVERIFY(level.id < 0);
        for (const Level &builtIn : DiatonicLevelGenerator().generateLevels()) {
            QVERIFY(builtIn.id > 0);
            QVERIFY(HistoryFile::of(builtIn).fileName() != name);
        }
        // Practised: the one file written is that one, in the sessions folder.
        QVERIFY(QDir().mkpath(folder()));
        writeAll(definitions(), definitionsWith({entry}));
        auto manager = makeManager();
        QCOMPARE(awaitTask(manager->loadLevelWithId(level.id))->name, QStringLiteral("Thirds"));
        answerOne(*manager);
        QVERIFY(awaitTask(manager->stopSession()).has_value());
        QCOMPARE(QDir(folder()).entryList(QDir::Files, QDir::Name),
                 (QStringList{"my_6a4fb1de-1c62-4d3e-9d2c-0f0c1a2b3c4d.txt", "my_levels.json"}));
    }

    // The journal keeps a saved level's sessions by its identity too.
    void journalLinesOfSavedLevels()
    {
        const QUuid id = QUuid::fromString(QStringLiteral("6a4fb1de-1c62-4d3e-9d2c-0f0c1a2b3c4d"));
        const KeptSession kept{savedLevelId(id), Session{2.5, {{Note{NoteName::c, 1}, Score{1, 0}}}}, id};
        const QByteArray line = FileSessionJournal::formatLine(kept);
        QCOMPARE(line, QByteArray("my_6a4fb1de-1c62-4d3e-9d2c-0f0c1a2b3c4d 2.5;c:1:1:0\n"));
        QCOMPARE(FileSessionJournal::parseLine(line.chopped(1)), std::optional(kept));
        QCOMPARE(FileSessionJournal::parseLine("my_../../x 2.5;c:1:1:0"), std::nullopt);
        QCOMPARE(FileSessionJournal::parseLine("7 2.5;c:1:1:0")->savedId, QUuid());
    }
};

LIRRA_TEST(SavedLevelsTest)
#include "saved_levels_test.moc"
