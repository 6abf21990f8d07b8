#include "support/await.h"
#include "support/file_layers.h"
#include "support/files.h"
#include "support/memory_preferences.h"
#include "support/test_registry.h"

#include "practice/cyclic_practice_manager.h"
#include "storage/file_session_storage.h"
#include "storage/saved_levels.h"
#include "storage/session_journal.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace lirra;
using namespace lirra::test;

// Each file call a stop makes fails in turn, in each way a disk can fail:
// the stop answers with an error or succeeds, the session is never lost
// (saved, or kept), no half record is left behind, and once the disk is
// well again everything reaches the file once, in order.
class FaultInjectionTest : public QObject {
    Q_OBJECT

private:
    struct Run {
        std::unique_ptr<QTemporaryDir> home;
        std::shared_ptr<FaultyFileSystem> fs;
        std::unique_ptr<CyclicPracticeManager> manager;
        double clock = 1000;

        QString levelFile() const { return home->filePath(QStringLiteral("Documents/lirra_sessions/sessions_1.txt")); }
        QString journalFile() const { return home->filePath(QStringLiteral("data/kept_sessions.txt")); }
        Session answerOne()
        {
            awaitTask(manager->startSession());
            return *awaitTask(manager->logRightAnswer(*awaitTask(manager->loadNextQuestion())));
        }
    };

    static std::unique_ptr<Run> prepare(const QByteArray &existing)
    {
        auto run = std::make_unique<Run>();
        run->home = std::make_unique<QTemporaryDir>();
        const QString documents = run->home->filePath(QStringLiteral("Documents"));
        const QString data = run->home->filePath(QStringLiteral("data"));
        QDir().mkpath(documents + QStringLiteral("/lirra_sessions"));
        if (!existing.isNull())
            writeAll(run->levelFile(), existing);
        run->fs = std::make_shared<FaultyFileSystem>();
        FileSessionStorage files([documents]() -> Result<QString> { return documents; }, run->fs);
        CyclicPracticeManager::Collaborators with;
        with.storage = std::make_shared<FileSessionStorage>(files);
        with.journal = std::make_shared<FileSessionJournal>([data]() -> Result<QString> { return data; }, files, run->fs);
        with.preferences = std::make_shared<MemoryPreferences>();
        Run *raw = run.get();
        with.now = [raw] { return raw->clock += 10; };
        run->manager = std::make_unique<CyclicPracticeManager>(with);
        awaitTask(run->manager->prepareToPractice());
        return run;
    }

private slots:
    void everyCallOfAStop_data()
    {
        QTest::addColumn<QByteArray>("existing"); // the level's file before, or none
        QTest::addColumn<int>("fault");            // FaultyFileSystem::Fault
        QTest::addColumn<int>("errorNumber");
        const QByteArray none;
        const QByteArray some("1.5;c:1:1:0\n");
        const QByteArray cutOff("1.5;c:1:1:0\n2.5;d:1");
        const int error = int(FaultyFileSystem::Fault::error);
        const int shortWrite = int(FaultyFileSystem::Fault::shortWrite);
        for (const auto &[file, name] : {std::pair{none, "a new file"}, std::pair{some, "a file"},
                                         std::pair{cutOff, "a file cut off"}}) {
            QTest::addRow("%s, EIO", name) << file << error << EIO;
            QTest::addRow("%s, ENOSPC", name) << file << error << ENOSPC;
            QTest::addRow("%s, EINTR", name) << file << error << EINTR;
            QTest::addRow("%s, a short write", name) << file << shortWrite << 0;
        }
    }
    void everyCallOfAStop()
    {
        QFETCH(QByteArray, existing);
        QFETCH(int, fault);
        QFETCH(int, errorNumber);
        int injected = 0;
        int errors = 0;
        for (int call = 0;; ++call) {
            std::unique_ptr<Run> run = prepare(existing);
            const Session first = run->answerOne();
            run->fs->calls.clear();
            run->fs->failAt = call;
            run->fs->fault = FaultyFileSystem::Fault(fault);
            run->fs->errorNumber = errorNumber;
            const Result<Level> stopped = awaitTask(run->manager->stopSession());
            const size_t callsMade = run->fs->calls.size();
            if (call >= int(callsMade))
                break; // every call of the stop has had its turn
            if (!run->fs->hit)
                continue; // a short write bends writes only
            ++injected;
            const QString where = QStringLiteral("call %1 (%2)").arg(call).arg(QLatin1String(run->fs->calls[size_t(call)]));

            // The file holds what it held, then at most the whole record.
            const QByteArray before = existing.isNull() ? QByteArray() : existing;
            const QByteArray separated = before.isEmpty() || before.endsWith('\n') ? before : before + '\n';
            const QByteArray after = readAll(run->levelFile());
            const QByteArray record = FileSessionStorage::formatLine(first);
            QVERIFY2(after == before || after == separated || after == separated + record, qPrintable(where));
            if (stopped) {
                QVERIFY2(after == separated + record, qPrintable(where));
            } else {
                ++errors;
                QVERIFY2(!stopped.error().description.isEmpty(), qPrintable(where));
                const bool inJournal = readAll(run->journalFile()).contains(record.chopped(1));
                const bool inMemory = !run->manager->sessionsKeptInMemory().empty();
                QVERIFY2(inJournal || inMemory, qPrintable(where + QStringLiteral(": the session is lost")));
            }

            // The disk is well again: the next stop writes both, once, in order.
            run->fs->failAt = -1;
            const Session second = run->answerOne();
            QVERIFY2(awaitTask(run->manager->stopSession()), qPrintable(where));
            QCOMPARE(readAll(run->levelFile()), separated + record + FileSessionStorage::formatLine(second));
            QVERIFY2(!QFileInfo::exists(run->journalFile()), qPrintable(where));
        }
        // A stop writes its record once; every other call can fail outright.
        QVERIFY(injected >= (fault == int(FaultyFileSystem::Fault::shortWrite) ? 1 : 10));
        qInfo("%d faults injected, %d answered with an error", injected, errors);
    }
};

LIRRA_TEST(FaultInjectionTest)
#include "fault_injection_test.moc"
