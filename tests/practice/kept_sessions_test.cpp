#include "support/await.h"
#include "support/files.h"
#include "support/memory_preferences.h"
#include "support/test_registry.h"

#include "model/localization.h"
#include "practice/cyclic_practice_manager.h"
#include "practice/file_session_storage.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace lirra;
using namespace lirra::test;

// Real failures of the file layer, each taken away again before the next stop.
class KeptSessionsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_home;
    QString m_documents;

    QString folder() const { return m_documents + QStringLiteral("/lirra_sessions"); }
    QString file() const { return folder() + QStringLiteral("/sessions_1.txt"); }

private slots:
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        m_documents = m_home->filePath(QStringLiteral("Documents"));
        QDir().mkpath(m_documents);
    }

    void aFailedSaveIsKept_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<bool>("namesTheFolder"); // else the level's file
        QTest::addColumn<QString>("reason");
        QTest::newRow("the sessions folder is a file") << "folder is a file" << true << "File exists";
        QTest::newRow("the level's file is a folder") << "file is a folder" << false << "Is a directory";
        QTest::newRow("the folder cannot be written") << "read-only folder" << false << "Permission denied";
    }
    void aFailedSaveIsKept()
    {
        QFETCH(QString, obstacle);
        QFETCH(bool, namesTheFolder);
        QFETCH(QString, reason);
        if (obstacle == QLatin1String("read-only folder") && ::geteuid() == 0)
            QSKIP("root writes into read-only folders; scripts/test runs this row again as the user nobody");

        CyclicPracticeManager::Collaborators with;
        with.storage = std::make_shared<FileSessionStorage>([d = m_documents]() -> Result<QString> { return d; });
        with.preferences = std::make_shared<MemoryPreferences>();
        double clock = 0;
        with.now = [&clock] { return clock += 60; };
        CyclicPracticeManager manager(with);
        QCOMPARE(awaitTask(manager.prepareToPractice())->id, 1);
        const auto answerOne = [&manager]() {
            awaitTask(manager.startSession());
            return *awaitTask(manager.logRightAnswer(*awaitTask(manager.loadNextQuestion())));
        };

        if (obstacle == QLatin1String("folder is a file")) {
            QVERIFY(QDir(folder()).removeRecursively());
            writeAll(folder(), "in the way");
        } else if (obstacle == QLatin1String("file is a folder")) {
            QVERIFY(QDir().mkpath(file()));
        } else {
            QCOMPARE(::chmod(QFile::encodeName(folder()).constData(), 0555), 0);
        }
        const Session first = answerOne();
        const auto failed = awaitTask(manager.stopSession());
        QVERIFY(!failed);
        const QString why = failed.error().description;
        QVERIFY2(why.contains((namesTheFolder ? folder() : file()) + QStringLiteral(": ") + reason), qPrintable(why));
        QVERIFY2(why.endsWith(localized("sessionKept")), qPrintable(why));
        QVERIFY(!awaitTask(manager.stopSession())); // the same session, stopped again, is kept once

        if (obstacle == QLatin1String("folder is a file"))
            QVERIFY(QFile::remove(folder()));
        else if (obstacle == QLatin1String("file is a folder"))
            QVERIFY(QDir().rmdir(file()));
        else
            QCOMPARE(::chmod(QFile::encodeName(folder()).constData(), 0755), 0);
        // The kept session counts in the level's history before it reaches the file.
        QCOMPARE(awaitTask(manager.loadFirstLevel())->sessions, std::vector<Session>{first});
        // A stop without answers writes what was kept all the same.
        awaitTask(manager.startSession());
        QCOMPARE(awaitTask(manager.stopSession())->sessions, std::vector<Session>{first});
        QCOMPARE(readAll(file()), FileSessionStorage::formatLine(first));

        const Session second = answerOne();
        QCOMPARE(awaitTask(manager.stopSession())->sessions, (std::vector<Session>{first, second}));
        QCOMPARE(readAll(file()), FileSessionStorage::formatLine(first) + FileSessionStorage::formatLine(second));
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
        QCOMPARE(stops[1], QStringLiteral("stop 2: Could not write to %1: File too large %2").arg(file(), localized("sessionKept")));
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
