#include "support/notes.h"
#include "support/test_registry.h"

#include "practice/file_session_storage.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace lirra;
using lirra::test::note;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The reader as first described: decode the whole file, split it at every
// line break, keep the last 100 non-empty lines.
std::vector<Session> referenceLoad(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes);
    static const QRegularExpression breaks(QStringLiteral("[\\x{000A}-\\x{000D}\\x{0085}\\x{2028}\\x{2029}]"));
    QStringList lines = text.split(breaks, Qt::SkipEmptyParts);
    if (lines.size() > 100)
        lines = lines.mid(lines.size() - 100);
    std::vector<Session> sessions;
    for (const QString &line : lines) {
        if (auto s = FileSessionStorage::parseLine(line))
            sessions.push_back(*s);
    }
    return sessions;
}

} // namespace

class FileSessionStorageTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_home;
    QString m_documents;

    FileSessionStorage storage() const
    {
        const QString documents = m_documents;
        return FileSessionStorage([documents]() -> Result<QString> { return documents; });
    }
    QString folder() const { return m_documents + QStringLiteral("/lirra_sessions"); }
    QString file(int id) const { return folder() + QStringLiteral("/sessions_%1.txt").arg(id); }

private slots:
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        m_documents = m_home->filePath(QStringLiteral("Documents"));
        QVERIFY(QDir().mkpath(m_documents));
    }

    void exampleLineRoundTrips()
    {
        const QByteArray line = "2.5;c:1:3:0,fsharp:1:0:1\n";
        const auto session = FileSessionStorage::parseLine(QString::fromLatin1(line.chopped(1)));
        QVERIFY(session);
        QCOMPARE(session->timestamp, 2.5);
        QCOMPARE(session->score.at(note(u"C1")), (Score{3, 0}));
        QCOMPARE(session->score.at(note(u"F#1")), (Score{0, 1}));
        QCOMPARE(FileSessionStorage::formatLine(*session), line);

        QVERIFY(storage().save(*session, 7));
        QCOMPARE(readAll(file(7)), line);
        const auto loaded = storage().load(7);
        QVERIFY(loaded);
        QCOMPARE(*loaded, std::vector<Session>{*session});
    }

    void writtenEntriesAreOrderedAndLowerCase()
    {
        Session session{3.0, {}};
        session.score[note(u"B1")] = {1, 0};
        session.score[note(u"C#2")] = {0, 2};
        session.score[note(u"C#1")] = {4, -1};
        session.score[note(u"A#1")] = {1, 1};
        QCOMPARE(FileSessionStorage::formatLine(session),
                 QByteArray("3.0;csharp:1:4:-1,csharp:2:0:2,asharp:1:1:1,b:1:1:0\n"));
    }

    void readerCases_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("loads");
        QTest::addColumn<double>("timestamp");
        QTest::addColumn<QString>("notes"); // the entries that load
        QTest::newRow("good") << "2.5;c:1:3:0,d:1:1:1" << true << 2.5 << "C1 D1";
        QTest::newRow("unreadable timestamp") << "abc;c:1:2:3" << true << 0.0 << "C1";
        QTest::newRow("nothing after the semicolon") << "1.0;" << false << 0.0 << "";
        QTest::newRow("no semicolon") << "1.0 c:1:2:3" << false << 0.0 << "";
        QTest::newRow("two semicolons") << "1;2;3" << false << 0.0 << "";
        QTest::newRow("unknown name") << "1.0;h:1:2:3,d:1:1:1" << true << 1.0 << "D1";
        QTest::newRow("octave above 255") << "1.0;c:256:1:1,d:1:1:1" << true << 1.0 << "D1";
        QTest::newRow("negative octave") << "1.0;c:-1:1:1,d:1:1:1" << true << 1.0 << "D1";
        QTest::newRow("count not a number") << "1.0;c:1:x:1,d:1:1:1" << true << 1.0 << "D1";
        QTest::newRow("count beyond 64 bits") << "1.0;c:1:9223372036854775808:1,d:1:1:1" << true << 1.0 << "D1";
        QTest::newRow("three fields") << "1.0;c:1:2,d:1:1:1" << true << 1.0 << "D1";
        QTest::newRow("five fields") << "1.0;c:1:2:3:4,d:1:1:1" << true << 1.0 << "D1";
        QTest::newRow("capitals") << "1.0;CSHARP:1:0:2,d:1:1:1" << true << 1.0 << "C#1 D1";
        QTest::newRow("flat alias") << "1.0;aflat:2:1:0,d:1:1:1" << true << 1.0 << "G#2 D1";
        QTest::newRow("every flat alias") << "1.0;dflat:1:1:0,eflat:1:1:0,gflat:1:1:0,bflat:1:1:0" << true << 1.0
                                          << "C#1 D#1 F#1 A#1";
        QTest::newRow("empty pieces dropped") << ";;4.0;;c::1:1:0,,d:1:1:1," << true << 4.0 << "C1 D1";
        QTest::newRow("only bad entries") << "1.0;h:1:2:3,c:1:2" << false << 0.0 << "";
        QTest::newRow("damaged last entry") << "1.0;c:1:2:3,d:1:" << true << 1.0 << "C1";
    }
    void readerCases()
    {
        QFETCH(QString, line);
        QFETCH(bool, loads);
        QFETCH(double, timestamp);
        QFETCH(QString, notes);
        const auto session = FileSessionStorage::parseLine(line);
        QCOMPARE(session.has_value(), loads);
        if (!session)
            return;
        QCOMPARE(session->timestamp, timestamp);
        std::vector<Note> loaded;
        for (const auto &[n, score] : session->score)
            loaded.push_back(n);
        const std::vector<Note> expected = lirra::test::notes(notes);
        QCOMPARE(loaded.size(), expected.size());
        for (const Note &n : expected)
            QVERIFY(session->score.contains(n));
    }

    void laterEntryWins()
    {
        const auto session = FileSessionStorage::parseLine(u"1.0;c:1:1:0,C:1:5:6");
        QVERIFY(session);
        QCOMPARE(session->score.at(note(u"C1")), (Score{5, 6}));
    }

    void firstSaveCreatesFolderAndFile()
    {
        QVERIFY(storage().save(Session{1.0, {}}, 3)); // no answers: nothing is created
        QVERIFY(!QFileInfo::exists(folder()));

        auto loaded = storage().load(3); // no file: empty, folder created, file not
        QVERIFY(loaded && loaded->empty());
        QVERIFY(QFileInfo(folder()).isDir());
        QVERIFY(!QFileInfo::exists(file(3)));

        Session session{5.0, {{note(u"E1"), Score{1, 0}}}};
        QVERIFY(storage().save(session, 3));
        QCOMPARE(readAll(file(3)), QByteArray("5.0;e:1:1:0\n"));
    }

    void keepsTheNewestHundred()
    {
        QByteArray bytes;
        for (int i = 1; i <= 150; ++i)
            bytes += QByteArray::number(i) + ".0;c:1:" + QByteArray::number(i) + ":0\r\n\n";
        QDir().mkpath(folder());
        writeAll(file(9), bytes);
        const auto loaded = storage().load(9);
        QVERIFY(loaded);
        QCOMPARE(loaded->size(), size_t(100));
        QCOMPARE(loaded->front().timestamp, 51.0);
        QCOMPARE(loaded->back().timestamp, 150.0);
    }

    void cutOffLineLosesNothing()
    {
        QDir().mkpath(folder());
        writeAll(file(4), "1.0;c:1:1:0\n2.0;c:1:3:0,d:1:0");
        QVERIFY(storage().save(Session{3.0, {{note(u"E1"), Score{0, 1}}}}, 4));
        QCOMPARE(readAll(file(4)), QByteArray("1.0;c:1:1:0\n2.0;c:1:3:0,d:1:0\n3.0;e:1:0:1\n"));
        const auto loaded = storage().load(4);
        QVERIFY(loaded);
        QCOMPARE(loaded->size(), size_t(3));
        QCOMPARE(loaded->at(1).score, (std::unordered_map<Note, Score>{{note(u"C1"), Score{3, 0}}}));
        QCOMPARE(loaded->at(2).timestamp, 3.0);
    }

    void invalidUtf8LineIsSkipped()
    {
        QDir().mkpath(folder());
        writeAll(file(5), "1.0;c:1:1:0\n2.0;c:1:\xff:0\n3.0;d:1:1:0 \xc3\n4.0;e:1:0:1\n");
        const auto loaded = storage().load(5);
        QVERIFY(loaded);
        QCOMPARE(loaded->size(), size_t(2));
        QCOMPARE(loaded->at(0).timestamp, 1.0);
        QCOMPARE(loaded->at(1).timestamp, 4.0);
    }

    void tailReaderMatchesWholeFileReader()
    {
        QRandomGenerator random(42);
        const QByteArray breaks[] = {"\n", "\r\n", "\r", "\v", "\f", "\xc2\x85", "\xe2\x80\xa8", "\xe2\x80\xa9", "\n\n"};
        const QByteArray fillers[] = {"", "x", "\xc3\xa9", "\xe2\x80\xa7", "\xe2\x82\xac\xe2\x80\xaa", ";;", "zz"};
        QDir().mkpath(folder());
        for (int round = 0; round < 90; ++round) {
            QByteArray bytes;
            const int lines = int(random.bounded(1, 400));
            // Long and medium lines push the last hundred across read chunks of
            // every size; short ones keep whole files small.
            const int shape = round % 3;
            for (int i = 0; i < lines; ++i) {
                bytes += QByteArray::number(i) + ".5;c:1:" + QByteArray::number(i) + ":0";
                const int extra = shape == 0   ? int(random.bounded(0, 2000))
                                  : shape == 1 ? int(random.bounded(40, 80))
                                               : int(random.bounded(0, 4));
                for (int k = 0; k < extra; ++k)
                    bytes += ",d:1:" + QByteArray::number(k) + ":1" + fillers[random.bounded(7)];
                // Sometimes the last line has no break at all.
                if (i + 1 < lines || random.bounded(2))
                    bytes += breaks[random.bounded(9)];
            }
            writeAll(file(11), bytes);
            const auto loaded = storage().load(11);
            QVERIFY(loaded);
            QVERIFY2(*loaded == referenceLoad(bytes), qPrintable(QStringLiteral("round %1").arg(round)));
        }
    }

    void veryLongLineAmongTheNewest()
    {
        QByteArray bytes = "0.5;c:1:1:0\n1.5;d:1:1:0";
        for (int i = 0; i < 200000; ++i)
            bytes += ",d:1:" + QByteArray::number(i) + ":1";
        bytes += '\n';
        for (int i = 0; i < 99; ++i)
            bytes += QByteArray::number(i + 2) + ".0;e:1:1:0\n";
        QDir().mkpath(folder());
        writeAll(file(13), bytes);
        const auto loaded = storage().load(13);
        QVERIFY(loaded);
        QCOMPARE(loaded->size(), size_t(100));
        QCOMPARE(loaded->front().timestamp, 1.5);
        QCOMPARE(loaded->front().score.at(note(u"D1")), (Score{199999, 1}));
    }

    void twoProcessesAppendWholeLines()
    {
        QProcess first, second;
        const QStringList a{m_documents, QStringLiteral("12"), QStringLiteral("300"), QStringLiteral("1000")};
        const QStringList b{m_documents, QStringLiteral("12"), QStringLiteral("300"), QStringLiteral("5000")};
        first.start(QStringLiteral(SESSION_APPEND_HELPER), a);
        second.start(QStringLiteral(SESSION_APPEND_HELPER), b);
        QVERIFY(first.waitForFinished(60000) && second.waitForFinished(60000));
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(second.exitCode(), 0);

        const QList<QByteArray> lines = readAll(file(12)).split('\n');
        QCOMPARE(lines.size(), 601); // 600 lines and the empty piece after the last line feed
        QVERIFY(lines.back().isEmpty());
        QSet<double> timestamps;
        for (qsizetype i = 0; i < 600; ++i) {
            const auto session = FileSessionStorage::parseLine(QString::fromLatin1(lines[i]));
            QVERIFY(session);
            QCOMPARE(session->score.size(), size_t(240));
            timestamps.insert(session->timestamp);
        }
        QCOMPARE(timestamps.size(), 600);
    }

    void failuresNameThePathAndTheReason_data()
    {
        QTest::addColumn<int>("obstacle"); // 0: file as folder, 1: file as documents, 2: folder as level file
        QTest::addColumn<bool>("saving");
        QTest::newRow("load, file where the folder goes") << 0 << false;
        QTest::newRow("save, file where the folder goes") << 0 << true;
        QTest::newRow("load, file where the documents go") << 1 << false;
        QTest::newRow("save, folder where the level file goes") << 2 << true;
        QTest::newRow("load, folder where the level file goes") << 2 << false;
    }
    void failuresNameThePathAndTheReason()
    {
        QFETCH(int, obstacle);
        QFETCH(bool, saving);
        QString path;
        if (obstacle == 0) {
            writeAll(folder(), "not a folder");
            path = folder();
        } else if (obstacle == 1) {
            QDir(m_documents).removeRecursively();
            writeAll(m_documents, "not a folder");
            path = m_documents + QStringLiteral("/lirra_sessions");
        } else {
            QDir().mkpath(file(2));
            path = file(2);
        }
        const Session session{1.0, {{note(u"C1"), Score{1, 0}}}};
        const QString description = saving ? storage().save(session, 2).error().description
                                           : storage().load(2).error().description;
        QVERIFY2(description.contains(path), qPrintable(description));
        QVERIFY2(description.contains(QLatin1String("exists")) || description.contains(QLatin1String("directory")),
                 qPrintable(description));
    }

    void documentsFolderOfTheUser()
    {
        const QByteArray home = qgetenv("HOME");
        const QByteArray config = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QFile::encodeName(m_home->filePath(QStringLiteral("fresh"))));
        qunsetenv("XDG_CONFIG_HOME");
        const auto documents = FileSessionStorage::standardDocumentsFolder();
        // A regular file where the documents folder belongs is reported.
        QFile::remove(*documents + QStringLiteral("/.keep"));
        QDir(*documents).removeRecursively();
        writeAll(*documents, "file");
        const auto blocked = FileSessionStorage::standardDocumentsFolder();
        qputenv("HOME", home);
        if (!config.isNull())
            qputenv("XDG_CONFIG_HOME", config);

        QVERIFY(documents);
        QVERIFY(documents->startsWith(m_home->filePath(QStringLiteral("fresh"))));
        QVERIFY(!blocked);
        QVERIFY(blocked.error().description.contains(*documents));
    }
};

LIRRA_TEST(FileSessionStorageTest)
#include "file_session_storage_test.moc"
