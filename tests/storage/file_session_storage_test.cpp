#include "support/files.h"
#include "support/notes.h"
#include "support/sessions_folder.h"
#include "support/test_registry.h"

#include "storage/file_session_storage.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace lirra;
using lirra::test::note;
using lirra::test::SessionsFolderFixture;
using lirra::test::readAll;
using lirra::test::writeAll;

namespace {

// The reader as first described: decode the whole file, split it at every
// line break, keep the last 100 non-empty lines.
std::vector<Session> wholeFileReader(const QByteArray &bytes)
{
    static const QRegularExpression breaks(QStringLiteral("[\\x{000A}-\\x{000D}\\x{0085}\\x{2028}\\x{2029}]"));
    const QStringList lines = QString::fromUtf8(bytes).split(breaks, Qt::SkipEmptyParts);
    // The newest hundred lines that are sessions, however many are not.
    std::vector<Session> sessions;
    for (const QString &line : lines) {
        if (auto s = FileSessionStorage::parseLine(line))
            sessions.push_back(*s);
    }
    sessions.erase(sessions.begin(), sessions.end() - std::min<std::ptrdiff_t>(std::ssize(sessions), 100));
    return sessions;
}

} // namespace

class FileSessionStorageTest : public QObject, private SessionsFolderFixture {
    Q_OBJECT

private:
    void store(int id, const QByteArray &bytes)
    {
        QDir().mkpath(folder());
        writeAll(file(id), bytes);
    }

private slots:
    void init() { newHome(); }

    void savingAndTheExampleLine()
    {
        QVERIFY(storage().save(Session{1.0, {}}, 7)); // no answers: nothing is created
        QVERIFY(!QFileInfo::exists(folder()));
        QVERIFY(storage().load(7)->empty());          // no file: the folder only
        QVERIFY(QFileInfo(folder()).isDir() && !QFileInfo::exists(file(7)));

        const auto example = FileSessionStorage::parseLine(u"2.5;c:1:3:0,fsharp:1:0:1");
        QVERIFY(example);
        QCOMPARE(example->score, (std::unordered_map<Note, Score>{{note(u"C1"), {3, 0}}, {note(u"F#1"), {0, 1}}}));
        QVERIFY(storage().save(*example, 7));
        QCOMPARE(readAll(file(7)), QByteArray("2.5;c:1:3:0,fsharp:1:0:1\n"));
        QCOMPARE(*storage().load(7), std::vector<Session>{*example});

        Session ordered{3.0, {{note(u"B1"), {1, 0}}, {note(u"C#2"), {0, 2}}, {note(u"C#1"), {4, -1}}}};
        QCOMPARE(FileSessionStorage::formatLine(ordered), QByteArray("3.0;csharp:1:4:-1,csharp:2:0:2,b:1:1:0\n"));
    }

    void readerCases_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<double>("timestamp"); // -1: the line is skipped
        QTest::addColumn<QString>("notes");     // the entries that load
        QTest::newRow("unreadable timestamp") << "abc;c:1:2:3" << 0.0 << "C1";
        QTest::newRow("nothing after the semicolon") << "1.0;" << -1.0 << "";
        QTest::newRow("no semicolon") << "1.0 c:1:2:3" << -1.0 << "";
        QTest::newRow("two semicolons") << "1;2;3" << -1.0 << "";
        QTest::newRow("unknown name") << "1.0;h:1:2:3,d:1:1:1" << 1.0 << "D1";
        QTest::newRow("octave above 255") << "1.0;c:256:1:1,d:1:1:1" << 1.0 << "D1";
        QTest::newRow("count not a number") << "1.0;c:1:x:1,d:1:1:1" << 1.0 << "D1";
        QTest::newRow("count beyond 64 bits") << "1.0;c:1:9223372036854775808:1,d:1:1:1" << 1.0 << "D1";
        QTest::newRow("three fields") << "1.0;c:1:2,d:1:1:1" << 1.0 << "D1";
        QTest::newRow("capitals") << "1.0;CSHARP:1:0:2,d:1:1:1" << 1.0 << "C#1 D1";
        QTest::newRow("flat aliases") << "1.0;aflat:2:1:0,dflat:1:1:0,bflat:1:1:0" << 1.0 << "G#2 C#1 A#1";
        QTest::newRow("empty pieces dropped") << ";;4.0;;c::1:1:0,,d:1:1:1," << 4.0 << "C1 D1";
        QTest::newRow("only bad entries") << "1.0;h:1:2:3,c:1:2" << -1.0 << "";
    }
    void readerCases()
    {
        QFETCH(QString, line);
        QFETCH(double, timestamp);
        QFETCH(QString, notes);
        const auto session = FileSessionStorage::parseLine(line);
        QCOMPARE(session.has_value(), timestamp >= 0);
        if (!session)
            return;
        QCOMPARE(session->timestamp, timestamp);
        std::unordered_map<Note, Score> loaded = session->score;
        for (const Note &n : lirra::test::notes(notes))
            QVERIFY(loaded.erase(n) == 1);
        QVERIFY(loaded.empty());
    }

    void keepsTheNewestHundredAndSkipsBrokenLines()
    {
        QByteArray bytes;
        for (int i = 1; i <= 150; ++i)
            bytes += QByteArray::number(i) + ".0;c:1:" + QByteArray::number(i) + ":0\r\n\n";
        bytes += "151.0;c:1:\xff:0\n152.0;d:1:1:0 \xc3\n"; // not UTF-8: skipped like malformed lines
        store(9, bytes);
        const auto loaded = storage().load(9);
        QVERIFY(loaded);
        // The broken lines take no room from good ones.
        QCOMPARE(loaded->size(), size_t(100));
        QCOMPARE(loaded->front().timestamp, 51.0);
        QCOMPARE(loaded->back().timestamp, 150.0);
    }

    void aCutOffLineLosesNothing()
    {
        store(4, "1.0;c:1:1:0\n2.0;c:1:3:0,d:1:0");
        QVERIFY(storage().save(Session{3.0, {{note(u"E1"), Score{0, 1}}}}, 4));
        QCOMPARE(readAll(file(4)), QByteArray("1.0;c:1:1:0\n2.0;c:1:3:0,d:1:0\n3.0;e:1:0:1\n"));
        const auto loaded = storage().load(4);
        QCOMPARE(loaded->size(), size_t(3));
        QCOMPARE(loaded->at(1).score, (std::unordered_map<Note, Score>{{note(u"C1"), Score{3, 0}}}));
    }

    // Damage a crash or a disk can leave: the valid lines around it load,
    // and the next append reads back after them.
    void damagedFilesLoadTheirValidLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<double>>("timestamps");
        QTest::newRow("NULs before a record") << QByteArray("1.0;c:1:1:0\n\0\0\0\0" "2.0;d:1:1:0\n", 28) << QList<double>{1, 2};
        QTest::newRow("NULs inside a record") << QByteArray("1.0;c:1:1:0,\0\0\0d:1:1:0\n3.0;e:1:0:1\n", 35) << QList<double>{1, 3};
        QTest::newRow("a NUL run after a crash") << QByteArray("1.0;c:1:1:0\n") + QByteArray(8192, '\0') << QList<double>{1};
        QTest::newRow("invalid UTF-8") << QByteArray("1.0;c:1:1:0\n\xc0\xaf\xff;d:1:1:0\n2.0;d:1:1:0\xed\xa0\x80\n4.0;e:1:1:0\n")
                                       << QList<double>{1, 4};
        QTest::newRow("a cut UTF-8 sequence at the end") << QByteArray("1.0;c:1:1:0\n2.0;d:1:1:0\xe2\x80") << QList<double>{1};
    }
    void damagedFilesLoadTheirValidLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<double>, timestamps);
        store(3, bytes);
        const auto loaded = storage().load(3);
        QVERIFY(loaded);
        QList<double> read;
        for (const Session &session : *loaded)
            read << session.timestamp;
        QCOMPARE(read, timestamps);
        QVERIFY(storage().save(Session{9.0, {{note(u"G1"), Score{1, 1}}}}, 3));
        QCOMPARE(storage().load(3)->back().timestamp, 9.0);
    }

    void readingFromTheEndMatchesReadingItAll()
    {
        QRandomGenerator random(42);
        const QByteArray breaks[] = {"\n", "\r\n", "\r", "\v", "\f", "\xc2\x85", "\xe2\x80\xa8", "\xe2\x80\xa9", "\n\n"};
        const QByteArray fillers[] = {"", "x", "\xc3\xa9", "\xe2\x80\xa7", ";;"};
        for (int round = 0; round < 60; ++round) {
            // Long and medium lines push the newest hundred across read chunks.
            const int extraEntries[] = {2000, 80, 4};
            QByteArray bytes;
            const int lines = int(random.bounded(1, 400));
            for (int i = 0; i < lines; ++i) {
                bytes += QByteArray::number(i) + ".5;c:1:" + QByteArray::number(i) + ":0";
                for (int k = int(random.bounded(extraEntries[round % 3])); k > 0; --k)
                    bytes += ",d:1:" + QByteArray::number(k) + ":1" + fillers[random.bounded(5)];
                if (i + 1 < lines || random.bounded(2))
                    bytes += breaks[random.bounded(9)];
            }
            store(11, bytes);
            QVERIFY2(*storage().load(11) == wholeFileReader(bytes), qPrintable(QStringLiteral("round %1").arg(round)));
        }
        // A line longer than any read is still read whole.
        QByteArray bytes = "0.5;c:1:1:0\n1.5;d:1:0";
        for (int i = 0; i < 200000; ++i)
            bytes += ",d:1:" + QByteArray::number(i) + ":1";
        for (int i = 0; i < 99; ++i)
            bytes += "\n" + QByteArray::number(i + 2) + ".0;e:1:1:0";
        store(13, bytes);
        QCOMPARE(storage().load(13)->front().score.at(note(u"D1")), (Score{199999, 1}));
    }

    void twoProcessesAppendWholeLines()
    {
        QProcess first, second;
        first.start(QStringLiteral(SESSION_APPEND_HELPER), {"append", m_documents, "12", "300", "1000"});
        second.start(QStringLiteral(SESSION_APPEND_HELPER), {"append", m_documents, "12", "300", "5000"});
        QVERIFY(first.waitForFinished(60000) && second.waitForFinished(60000));
        QCOMPARE(first.exitCode() + second.exitCode(), 0);
        const QList<QByteArray> lines = readAll(file(12)).split('\n');
        QCOMPARE(lines.size(), 601); // 600 lines, then the empty piece after the last line feed
        QSet<double> timestamps;
        for (qsizetype i = 0; i < 600; ++i) {
            const auto session = FileSessionStorage::parseLine(QString::fromLatin1(lines[i]));
            QVERIFY(session && session->score.size() == 240);
            timestamps.insert(session->timestamp);
        }
        QCOMPARE(timestamps.size(), 600);
    }

    // Writers appending in a loop are killed at random moments: every
    // append that returned is in the file in full, records never run
    // together, and the file still loads.
    void appendsSurviveKills_data()
    {
        QTest::addColumn<int>("writers");
        QTest::newRow("one app") << 1;
        QTest::newRow("three apps on one file") << 3;
    }
    void appendsSurviveKills()
    {
        QFETCH(int, writers);
        QRandomGenerator *random = QRandomGenerator::global();
        QSet<double> returned;
        int kills = 0;
        QDeadlineTimer deadline(120000);
        for (int run = 0; kills < 200 && !deadline.hasExpired(); ++run) {
            std::vector<std::unique_ptr<QProcess>> apps;
            for (int w = 0; w < writers; ++w) {
                apps.push_back(std::make_unique<QProcess>());
                const QString first = QString::number((run * writers + w) * 100000 + 1);
                apps.back()->start(QStringLiteral(SESSION_APPEND_HELPER), {"forever", m_documents, "21", first});
                QVERIFY(apps.back()->waitForStarted());
            }
            // One run in four is killed while it starts or writes its first line.
            QTest::qSleep(run % 4 == 0 ? int(random->bounded(3)) : int(random->bounded(10, 60)));
            for (auto &app : apps) {
                app->kill();
                QVERIFY(app->waitForFinished());
                ++kills;
                for (const QByteArray &line : app->readAllStandardOutput().split('\n')) {
                    if (!line.isEmpty())
                        returned.insert(line.toDouble());
                }
            }
        }
        QVERIFY2(kills >= 200, qPrintable(QStringLiteral("only %1 kills in time").arg(kills)));

        QSet<double> whole;
        int cutOff = 0;
        for (const QByteArray &line : readAll(file(21)).split('\n')) {
            if (line.isEmpty())
                continue;
            // A line cut off by a kill may end before its first ';' (a kill
            // stops a write at a page's end): one ';' at most.
            QVERIFY2(line.count(';') <= 1, "two records ran together");
            const auto session = FileSessionStorage::parseLine(QString::fromLatin1(line));
            if (session && session->score.size() == 240)
                whole.insert(session->timestamp);
            else
                ++cutOff;
        }
        for (double timestamp : std::as_const(returned))
            QVERIFY2(whole.contains(timestamp), qPrintable(QStringLiteral("%1 was saved, then lost").arg(timestamp)));
        QVERIFY(storage().load(21));
        qInfo("%d kills, %lld appends returned, %lld records whole, %d cut off", kills, qlonglong(returned.size()),
              qlonglong(whole.size()), cutOff);
    }

    void failuresNameThePathAndTheReason_data()
    {
        QTest::addColumn<int>("obstacle"); // 0: a file as the folder, 1: as the documents, 2: a folder as the level file
        QTest::addColumn<bool>("saving");
        QTest::newRow("load, file where the folder goes") << 0 << false;
        QTest::newRow("save, file where the folder goes") << 0 << true;
        QTest::newRow("load, file where the documents go") << 1 << false;
        QTest::newRow("save, folder where the level file goes") << 2 << true;
    }
    void failuresNameThePathAndTheReason()
    {
        QFETCH(int, obstacle);
        QFETCH(bool, saving);
        QString path = folder();
        if (obstacle == 0) {
            writeAll(folder(), "not a folder");
        } else if (obstacle == 1) {
            QDir(m_documents).removeRecursively();
            writeAll(m_documents, "not a folder");
        } else {
            QDir().mkpath(file(2));
            path = file(2);
        }
        const Session session{1.0, {{note(u"C1"), Score{1, 0}}}};
        const QString why = saving ? storage().save(session, 2).error().description : storage().load(2).error().description;
        QVERIFY2(why.contains(path) && (why.contains(QLatin1String("a file stands where the folder belongs")) || why.contains(QLatin1String("directory"))),
                 qPrintable(why));
    }
};

LIRRA_TEST(FileSessionStorageTest)
#include "file_session_storage_test.moc"
