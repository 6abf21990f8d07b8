#include "support/await.h"
#include "support/fakes.h"
#include "support/files.h"
#include "support/memory_preferences.h"
#include "support/sessions_folder.h"
#include "support/test_registry.h"

#include "model/localization.h"
#include "practice/cyclic_practice_manager.h"
#include "storage/file_session_storage.h"
#include "storage/safe_files.h"
#include "storage/saved_levels.h"
#include "storage/session_journal.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <QElapsedTimer>

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace lirra;
using namespace lirra::test;

// Real failures of the file layer, each taken away again before the next stop.
class KeptSessionsTest : public QObject, private SessionsFolderFixture {
    Q_OBJECT

private:
    QString journal() const { return m_home->filePath(QStringLiteral("data/kept_sessions.txt")); }
    double m_clock = 0;
    std::unique_ptr<QProcess> m_holder; // another program holding a lock

    std::unique_ptr<CyclicPracticeManager> makeManager()
    {
        const QString documents = m_documents;
        const QString data = m_home->filePath(QStringLiteral("data"));
        FileSessionStorage files([documents]() -> Result<QString> { return documents; });
        CyclicPracticeManager::Collaborators with;
        with.storage = std::make_shared<FileSessionStorage>(files);
        with.journal = std::make_shared<FileSessionJournal>([data]() -> Result<QString> { return data; }, files);
        with.preferences = std::make_shared<MemoryPreferences>();
        with.now = [this] { return m_clock += 60; };
        return std::make_unique<CyclicPracticeManager>(with);
    }
    static Session answerOne(CyclicPracticeManager &manager)
    {
        awaitTask(manager.startSession());
        return *awaitTask(manager.logRightAnswer(*awaitTask(manager.loadNextQuestion())));
    }
    void placeObstacle(const QString &obstacle)
    {
        if (obstacle == QLatin1String("folder is a file")) {
            QVERIFY(QDir(folder()).removeRecursively());
            writeAll(folder(), "in the way");
        } else if (obstacle == QLatin1String("file is a folder")) {
            QVERIFY(QDir().mkpath(file()));
        } else if (obstacle == QLatin1String("locked elsewhere")) {
            QVERIFY(QDir().mkpath(folder()));
            writeAll(file(), QByteArray());
            m_holder = std::make_unique<QProcess>();
            // -o: the lock stays with flock itself, and goes when it is killed.
            m_holder->start(QStringLiteral("flock"), {QStringLiteral("-x"), QStringLiteral("-o"), file(), QStringLiteral("sleep"), QStringLiteral("60")});
            QVERIFY(m_holder->waitForStarted());
            // Held once a lock of our own cannot be had.
            QFile probe(file());
            QVERIFY(probe.open(QIODevice::ReadOnly));
            QVERIFY(spinUntil([&] {
                if (::flock(probe.handle(), LOCK_EX | LOCK_NB) != 0)
                    return true;
                ::flock(probe.handle(), LOCK_UN);
                return false;
            }));
        } else {
            QCOMPARE(::chmod(QFile::encodeName(folder()).constData(), 0555), 0);
        }
    }
    void removeObstacle(const QString &obstacle)
    {
        if (obstacle == QLatin1String("folder is a file"))
            QVERIFY(QFile::remove(folder()));
        else if (obstacle == QLatin1String("file is a folder"))
            QVERIFY(QDir().rmdir(file()));
        else if (obstacle == QLatin1String("locked elsewhere")) {
            m_holder->kill();
            m_holder->waitForFinished();
            m_holder.reset();
        } else
            QCOMPARE(::chmod(QFile::encodeName(folder()).constData(), 0755), 0);
    }

private slots:
    void init()
    {
        m_clock = 0;
        newHome();
    }

    // A stop whose save fails keeps the session in the journal, on disk:
    // the app may close, and the next start writes it to the level's file
    // once the obstacle is gone.
    void aFailedSaveIsKept_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<bool>("namesTheFolder"); // else the level's file
        QTest::addColumn<QString>("reason");
        QTest::newRow("the sessions folder is a file") << "folder is a file" << true << "a file stands where the folder belongs";
        QTest::newRow("the level's file is a folder") << "file is a folder" << false << "Is a directory";
        QTest::newRow("the folder cannot be written") << "read-only folder" << false << "Permission denied";
        // flock -x sessions_1.txt sleep 60, beside the app: the stop ends as a
        // failed save does, within seconds.
        QTest::newRow("another program holds the file's lock")
            << "locked elsewhere" << false << "another program has kept it locked for over 2 seconds";
    }
    void aFailedSaveIsKept()
    {
        QFETCH(QString, obstacle);
        QFETCH(bool, namesTheFolder);
        QFETCH(QString, reason);
        if (obstacle == QLatin1String("read-only folder") && ::geteuid() == 0)
            QSKIP("root writes into read-only folders; scripts/test runs this row again as the user nobody");

        Session first;
        {
            auto manager = makeManager();
            QCOMPARE(awaitTask(manager->prepareToPractice())->id, 1);
            placeObstacle(obstacle);
            first = answerOne(*manager);
            QElapsedTimer clock;
            clock.start();
            const auto failed = awaitTask(manager->stopSession());
            QVERIFY(clock.elapsed() < 3 * lockTimeoutMs);
            QVERIFY(!failed);
            const QString why = failed.error().description;
            const QString verb = namesTheFolder                              ? QStringLiteral("create the folder")
                : obstacle == QLatin1String("locked elsewhere") ? QStringLiteral("lock")
                                                                           : QStringLiteral("write to");
            QVERIFY2(why.startsWith(QStringLiteral("Could not %1 %2: %3. ").arg(verb, namesTheFolder ? folder() : file(), reason)),
                     qPrintable(why));
            QVERIFY2(why.endsWith(localized("sessionKept")), qPrintable(why));
            QVERIFY(!awaitTask(manager->stopSession())); // stopped again, it is kept once
            QCOMPARE(readAll(journal()), QByteArray("1 ") + FileSessionStorage::formatLine(first));
            // Nothing only in memory: closing loses nothing.
            QCOMPARE(awaitTask(manager->saveBeforeQuit()), 0);
            // The kept session counts in the level's history until it is written.
            removeObstacle(obstacle);
            QCOMPARE(awaitTask(manager->loadFirstLevel())->sessions, std::vector<Session>{first});
            QVERIFY(!QFileInfo::exists(file()) || readAll(file()).isEmpty());
        }

        // The next start writes it to its file, once, and empties the journal.
        auto manager = makeManager();
        QCOMPARE(awaitTask(manager->prepareToPractice())->sessions, std::vector<Session>{first});
        QCOMPARE(readAll(file()), FileSessionStorage::formatLine(first));
        QVERIFY(!QFileInfo::exists(journal()));
        const Session second = answerOne(*manager);
        QCOMPARE(awaitTask(manager->stopSession())->sessions, (std::vector<Session>{first, second}));
        QCOMPARE(readAll(file()), FileSessionStorage::formatLine(first) + FileSessionStorage::formatLine(second));
    }

    // Without a journal to keep it in, the session lives in memory: the
    // error says it will be lost when the app closes, and a later save that
    // succeeds writes it first.
    void keptInMemoryWhenTheJournalFailsToo()
    {
        auto manager = makeManager();
        awaitTask(manager->prepareToPractice());
        placeObstacle(QStringLiteral("file is a folder"));
        writeAll(m_home->filePath(QStringLiteral("data")), "a file where the journal's folder goes");
        const Session first = answerOne(*manager);
        const auto failed = awaitTask(manager->stopSession());
        QVERIFY(!failed);
        const QString why = failed.error().description;
        const QString journalWhy = QStringLiteral("Could not create the folder %1: a file stands where the folder belongs.").arg(m_home->filePath(QStringLiteral("data")));
        QCOMPARE(why, QStringLiteral("Could not write to %1: Is a directory. %2")
                          .arg(file(), localized("sessionKeptInMemory").arg(journalWhy)));
        QCOMPARE(manager->sessionsKeptInMemory(), (std::vector<KeptSession>{{1, first}}));
        // Still nowhere to write it: closing now would lose it.
        QCOMPARE(awaitTask(manager->saveBeforeQuit()), 1);

        // A session stopped behind it waits behind it.
        const Session second = answerOne(*manager);
        QVERIFY(!awaitTask(manager->stopSession()));
        QCOMPARE(manager->sessionsKeptInMemory(), (std::vector<KeptSession>{{1, first}, {1, second}}));

        removeObstacle(QStringLiteral("file is a folder"));
        QCOMPARE(awaitTask(manager->saveBeforeQuit()), 0);
        QCOMPARE(readAll(file()), FileSessionStorage::formatLine(first) + FileSessionStorage::formatLine(second));
    }

    // Before the app closes, a session that holds answers is stopped and
    // saved as the stop button saves it; one already saved is not saved twice.
    void savingBeforeQuitting()
    {
        auto manager = makeManager();
        awaitTask(manager->prepareToPractice());
        const Session running = answerOne(*manager);
        QCOMPARE(awaitTask(manager->saveBeforeQuit()), 0);
        QCOMPARE(readAll(file()), FileSessionStorage::formatLine(running));
        QCOMPARE(awaitTask(manager->saveBeforeQuit()), 0);
        QVERIFY(awaitTask(manager->stopSession())); // the stop button's late effect
        QCOMPARE(readAll(file()), FileSessionStorage::formatLine(running));
    }

    void aWritePastTheFileSizeLimit()
    {
        // The limit lets the second session's line start but not finish.
        QProcess helper;
        helper.start(QStringLiteral(SESSION_APPEND_HELPER), {QStringLiteral("fsize"), m_documents});
        QVERIFY(helper.waitForFinished(60000));
        QCOMPARE(helper.exitCode(), 0);
        const QStringList stops = QString::fromUtf8(helper.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(stops.size(), 3);
        QCOMPARE(stops[0], QStringLiteral("stop 1: 1 sessions"));
        QCOMPARE(stops[1], QStringLiteral("stop 2: Could not write to %1: File too large. %2")
                               .arg(file(), localized("sessionKeptInMemory").arg(localized("sessionKeptNowhereElse"))));
        QCOMPARE(stops[2], QStringLiteral("stop 3: 3 sessions"));
        // Nothing of the cut-off line stayed behind; the kept session comes before the newer one.
        const QList<QByteArray> lines = readAll(file()).split('\n');
        QCOMPARE(lines.size(), 4);
        for (int i = 0; i < 3; ++i) {
            const auto session = FileSessionStorage::parseLine(QString::fromLatin1(lines[i]));
            QVERIFY(session);
            QCOMPARE(session->timestamp, 1000.0 * (i + 2));
        }
    }
};

LIRRA_TEST(KeptSessionsTest)
#include "kept_sessions_test.moc"
