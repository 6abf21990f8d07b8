#include "support/files.h"
#include "support/notes.h"
#include "support/sessions_folder.h"
#include "support/test_registry.h"

#include "storage/confusion_lines.h"
#include "storage/session_journal.h"

#include <QTest>

#include <sys/stat.h>

using namespace lirra;
using namespace lirra::test;

namespace {

Session withConfusions(double timestamp)
{
    Session session{timestamp, {{note(u"E1"), Score{3, 2}}, {note(u"C1"), Score{1, 1}}}};
    session.confusions[Confusion{note(u"E1"), note(u"D#1")}] = 2;
    session.confusions[Confusion{note(u"C1"), note(u"D1")}] = 1;
    return session;
}

QString confusionsFile(const QString &folder, int id)
{
    return folder + QStringLiteral("/confusions_%1.txt").arg(id);
}

} // namespace

// What each question was first taken for, kept beside the sessions: written
// with them, read back with them, and damage in its file skipped line by line.
class ConfusionsTest : public QObject, private SessionsFolderFixture {
    Q_OBJECT

private slots:
    void init() { newHome(); }

    void roundTrip()
    {
        const Session confused = withConfusions(1733472000.25);
        const Session clean{1733472100.5, {{note(u"G1"), Score{2, 0}}}};
        QVERIFY(storage().save(std::vector<Session>{confused, clean}, 7));
        // One line for the session that has any, in the documented form.
        QCOMPARE(readAll(confusionsFile(folder(), 7)), QByteArray("1733472000.25;c1>d1:1,e1>dsharp1:2\n"));
        const auto loaded = storage().load(7);
        QVERIFY(loaded);
        QCOMPARE(*loaded, (std::vector<Session>{confused, clean}));
        // The sessions file is as it ever was.
        QCOMPARE(readAll(file(7)), FileSessionStorage::formatLine(confused) + FileSessionStorage::formatLine(clean));
        QCOMPARE(FileSessionStorage::formatLine(confused), QByteArray("1733472000.25;c:1:1:1,e:1:3:2\n"));
    }

    // A folder from before confusions were kept loads as it did.
    void olderFolders()
    {
        QDir().mkpath(folder());
        writeAll(file(3), "1733472000.25;e:1:3:2\n1733472100.5;g:1:2:0\n");
        const auto loaded = storage().load(3);
        QVERIFY(loaded);
        QCOMPARE(loaded->size(), size_t(2));
        QVERIFY(loaded->front().confusions.empty() && loaded->back().confusions.empty());
        // The first session kept with confusions starts their file.
        QVERIFY(storage().save(withConfusions(1733480000.0), 3));
        QCOMPARE(storage().load(3)->back(), withConfusions(1733480000.0));
    }

    // Each damaged line or entry is skipped; the sessions load whatever the
    // confusions file holds.
    void damagedLines_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QByteArray>("read"); // the session's confusions, as entries
        const QByteArray good = "1733472000.25;e1>dsharp1:2\n";
        QTest::newRow("sound") << good << QByteArray("e1>dsharp1:2");
        QTest::newRow("garbage before") << QByteArray("%%%\n") + good << QByteArray("e1>dsharp1:2");
        QTest::newRow("no timestamp") << QByteArray(";e1>dsharp1:2\n") << QByteArray();
        QTest::newRow("timestamp of no session") << QByteArray("99.0;e1>dsharp1:2\n") << QByteArray();
        QTest::newRow("negative count") << QByteArray("1733472000.25;e1>dsharp1:-2,c1>d1:1\n") << QByteArray("c1>d1:1");
        QTest::newRow("zero count") << QByteArray("1733472000.25;e1>dsharp1:0\n") << QByteArray();
        QTest::newRow("count too large") << QByteArray("1733472000.25;e1>d1:99999999999999999999\n") << QByteArray();
        QTest::newRow("unknown note") << QByteArray("1733472000.25;h1>d1:1,e1>f1:3\n") << QByteArray("e1>f1:3");
        QTest::newRow("no octave") << QByteArray("1733472000.25;e>d1:1\n") << QByteArray();
        QTest::newRow("the same note") << QByteArray("1733472000.25;e1>e1:1\n") << QByteArray();
        QTest::newRow("no arrow") << QByteArray("1733472000.25;e1d1:1\n") << QByteArray();
        QTest::newRow("flat names read") << QByteArray("1733472000.25;e1>eflat1:1\n") << QByteArray("e1>dsharp1:1");
        QTest::newRow("invalid UTF-8") << QByteArray("1733472000.25;e1>d1:1\xff\xfe\n") << QByteArray();
        QTest::newRow("NULs where a line was") << QByteArray(4096, '\0') + good << QByteArray("e1>dsharp1:2");
        QTest::newRow("a huge line") << QByteArray(5 << 20, 'x') + '\n' + good << QByteArray("e1>dsharp1:2");
        QTest::newRow("written twice, the last counts")
            << QByteArray("1733472000.25;e1>dsharp1:1\n1733472000.250;e1>dsharp1:2\n") << QByteArray("e1>dsharp1:2");
        QTest::newRow("cut off mid-line") << QByteArray("1733472000.25;e1>dsharp1:2,c1>d") << QByteArray("e1>dsharp1:2");
    }
    void damagedLines()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QByteArray, read);
        QDir().mkpath(folder());
        writeAll(file(5), "1733472000.25;e:1:3:2\n");
        writeAll(confusionsFile(folder(), 5), contents);
        const auto loaded = storage().load(5);
        QVERIFY(loaded);
        QCOMPARE(loaded->size(), size_t(1));
        QCOMPARE(loaded->front().score.at(note(u"E1")), (Score{3, 2}));
        QCOMPARE(formatConfusions(loaded->front().confusions), read);
    }

    // A pipe or a folder where the confusions file belongs is an error that
    // names it, never a wait.
    void notAFile()
    {
        QDir().mkpath(folder());
        writeAll(file(5), "1733472000.25;e:1:3:2\n");
        QVERIFY(mkfifo(QFile::encodeName(confusionsFile(folder(), 5)).constData(), 0600) == 0);
        const auto loaded = storage().load(5);
        QVERIFY(!loaded);
        QVERIFY2(loaded.error().description.contains(confusionsFile(folder(), 5)), qPrintable(loaded.error().description));
        // Nor can a session be saved past it: it is kept instead, confusions and all.
        QVERIFY(!storage().save(withConfusions(1733480000.0), 5));
        QCOMPARE(readAll(file(5)), QByteArray("1733472000.25;e:1:3:2\n"));
    }

    // Sessions that wait in the journal keep their confusions; journal
    // lines from before them read as they did.
    void journalLines()
    {
        const KeptSession kept{7, withConfusions(1733472000.25), {}};
        const QByteArray line = FileSessionJournal::formatLine(kept);
        QCOMPARE(line, QByteArray("7 1733472000.25;c:1:1:1,e:1:3:2\tc1>d1:1,e1>dsharp1:2\n"));
        QCOMPARE(FileSessionJournal::parseLine(QByteArrayView(line).chopped(1)), std::optional(kept));
        const auto older = FileSessionJournal::parseLine("7 1733472000.25;c:1:1:1,e:1:3:2");
        QVERIFY(older && older->session.confusions.empty());
        QCOMPARE(older->session.score, kept.session.score);
        const KeptSession clean{7, Session{5.0, {{note(u"C1"), Score{1, 0}}}}, {}};
        QVERIFY(!FileSessionJournal::formatLine(clean).contains('\t'));
    }
};

LIRRA_TEST(ConfusionsTest)
#include "confusions_test.moc"
