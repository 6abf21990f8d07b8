#include "support/await.h"
#include "support/file_layers.h"
#include "support/files.h"
#include "support/memory_preferences.h"
#include "support/test_registry.h"

#include "model/localization.h"
#include "practice/cyclic_practice_manager.h"
#include "storage/file_session_storage.h"
#include "storage/saved_levels.h"
#include "storage/session_journal.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <map>

using namespace lirra;
using namespace lirra::test;

namespace {

struct Folders {
    QString root;
    QString documents() const { return root + QStringLiteral("/Documents"); }
    QString data() const { return root + QStringLiteral("/data"); }
    QString levelFile(std::int64_t id) const
    {
        return documents() + QStringLiteral("/lirra_sessions/sessions_%1.txt").arg(id);
    }
};

// The practice manager over the real storage and journal, on a file layer.
struct Practice {
    Practice(const Folders &at, std::shared_ptr<FileSystem> fs)
    {
        const QString documents = at.documents();
        const QString data = at.data();
        FileSessionStorage files([documents]() -> Result<QString> { return documents; }, fs);
        CyclicPracticeManager::Collaborators with;
        with.storage = std::make_shared<FileSessionStorage>(files);
        with.journal = std::make_shared<FileSessionJournal>([data]() -> Result<QString> { return data; }, files, fs);
        with.preferences = std::make_shared<MemoryPreferences>();
        with.now = [this] { return clock += 60.25; };
        manager = std::make_unique<CyclicPracticeManager>(with);
    }
    // A session with one right answer, stopped; what the stop answered.
    std::pair<Session, Result<Level>> practiseAndStop()
    {
        awaitTask(manager->startSession());
        const Session session = *awaitTask(manager->logRightAnswer(*awaitTask(manager->loadNextQuestion())));
        return {session, awaitTask(manager->stopSession())};
    }

    double clock = 1733472000;
    std::unique_ptr<CyclicPracticeManager> manager;
};

struct Acknowledged {
    std::int64_t level;
    Session session;
    size_t afterChange; // how many changes had reached the files when the stop answered
};

std::vector<Session> linesOf(const QString &path, int *glued)
{
    std::vector<Session> sessions;
    for (const QByteArray &line : readAll(path).split('\n')) {
        if (line.count(';') > 1)
            ++*glued;
        if (auto session = FileSessionStorage::parseLine(QByteArrayView(line)))
            sessions.push_back(*session);
    }
    return sessions;
}

} // namespace

// Saves recorded call by call, then every state a crash could leave laid out
// again and opened by a fresh app: every session a stop answered for (saved,
// or kept on disk) is there, whole and once; no two records run together;
// and no session is in both the journal and its level's file.
class CrashConsistencyTest : public QObject {
    Q_OBJECT

private slots:
    void everyPrefixRecovers_data()
    {
        QTest::addColumn<int>("variant");
        QTest::newRow("each change whole") << 0;
        QTest::newRow("the last write torn") << 1;
        QTest::newRow("writes never synced lost") << 2;
    }
    void everyPrefixRecovers()
    {
        QFETCH(int, variant);
        QTemporaryDir recorded;
        const Folders at{recorded.path()};
        QDir().mkpath(at.documents());
        auto fs = std::make_shared<RecordingFileSystem>(at.root);
        std::vector<Acknowledged> acknowledged;
        {
            Practice practice(at, fs);
            QCOMPARE(awaitTask(practice.manager->prepareToPractice())->id, 1);
            const auto stop = [&](std::int64_t level, bool saved) {
                auto [session, result] = practice.practiseAndStop();
                QCOMPARE(result.has_value(), saved);
                if (!saved)
                    QVERIFY(result.error().description.endsWith(localized("sessionKept")));
                acknowledged.push_back({level, session, fs->changes.size()});
            };
            stop(1, true);
            fs->failing = QStringLiteral("sessions_1.txt"); // level 1's file fails from here
            stop(1, false);                                 // kept in the journal
            stop(1, false);                                 // kept behind it
            QCOMPARE(awaitTask(practice.manager->loadNextLevel())->id, 2);
            stop(2, true);                                  // another level saves as ever
            fs->failing.clear();
            stop(2, true);                                  // and writes what level 1 kept first
            QCOMPARE(awaitTask(practice.manager->loadPreviousLevel())->sessions.size(), size_t(3));
            stop(1, true);
        }
        QVERIFY(!QFileInfo::exists(at.data() + QStringLiteral("/kept_sessions.txt")));
        QVERIFY(fs->changes.size() > 20);

        int prefixes = 0;
        for (size_t count = 0; count <= fs->changes.size(); ++count) {
            const bool lastIsWrite = count > 0 && fs->changes[count - 1].kind == RecordingFileSystem::Change::write;
            if (variant == 1 && !lastIsWrite)
                continue;
            QTemporaryDir crashed;
            const Folders after{crashed.path()};
            QDir().mkpath(after.documents());
            const qint64 torn = variant == 1 ? fs->changes[count - 1].bytes.size() / 2 : -1;
            RecordingFileSystem::replay(fs->changes, count, after.root, torn, variant == 2);
            ++prefixes;

            // The app starts on what the crash left.
            Practice practice(after, FileSystem::posix());
            QVERIFY(awaitTask(practice.manager->prepareToPractice()));
            const QString where = QStringLiteral("after %1 of %2 changes").arg(count).arg(fs->changes.size());
            int glued = 0;
            std::map<std::int64_t, std::vector<Session>> stored{{1, linesOf(after.levelFile(1), &glued)},
                                                                {2, linesOf(after.levelFile(2), &glued)}};
            QVERIFY2(glued == 0, qPrintable(where));
            for (const Acknowledged &a : acknowledged) {
                if (a.afterChange > count)
                    continue;
                const auto &lines = stored[a.level];
                QVERIFY2(std::count(lines.begin(), lines.end(), a.session) == 1,
                         qPrintable(QStringLiteral("%1: session %2 of level %3").arg(where).arg(a.session.timestamp).arg(a.level)));
            }
            for (const auto &[level, lines] : stored) {
                for (const Session &s : lines)
                    QVERIFY2(std::count(lines.begin(), lines.end(), s) == 1, qPrintable(where));
            }
            FileSessionJournal journal([d = after.data()]() -> Result<QString> { return d; },
                                       FileSessionStorage([d = after.documents()]() -> Result<QString> { return d; }));
            const auto stillKept = journal.read();
            QVERIFY(stillKept);
            for (const KeptSession &k : *stillKept) {
                const auto &lines = stored[k.levelId];
                QVERIFY2(std::find(lines.begin(), lines.end(), k.session) == lines.end(), qPrintable(where));
            }
        }
        qInfo("%d crash states replayed from %zu recorded changes", prefixes, fs->changes.size());
    }
};

LIRRA_TEST(CrashConsistencyTest)
#include "crash_consistency_test.moc"
