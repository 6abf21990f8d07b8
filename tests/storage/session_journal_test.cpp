#include "support/await.h"
#include "support/files.h"
#include "support/notes.h"
#include "support/test_registry.h"

#include "storage/session_journal.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace lirra;
using namespace lirra::test;

// The journal through real files: what it keeps is on disk, a replay moves
// it to the levels' files in order and exactly once, and damage in the
// journal never stops the rest.
class SessionJournalTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_home;

    QString documents() const { return m_home->filePath(QStringLiteral("Documents")); }
    QString data() const { return m_home->filePath(QStringLiteral("data")); }
    QString journalFile() const { return data() + QStringLiteral("/kept_sessions.txt"); }
    QString levelFile(int id) const { return documents() + QStringLiteral("/lirra_sessions/sessions_%1.txt").arg(id); }
    FileSessionStorage storage() const
    {
        return FileSessionStorage([d = documents()]() -> Result<QString> { return d; });
    }
    FileSessionJournal journal() const
    {
        return FileSessionJournal([d = data()]() -> Result<QString> { return d; }, storage());
    }
    static KeptSession kept(std::int64_t level, double timestamp, const char16_t *note = u"C1")
    {
        return KeptSession{level, Session{timestamp, {{lirra::test::note(note), Score{1, 2}}}}};
    }

private slots:
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        QDir().mkpath(documents());
    }

    void keepsOnDiskAndReplaysInOrder()
    {
        FileSessionJournal j = journal();
        QVERIFY(!QFileInfo::exists(data())); // nothing kept, no folder
        QVERIFY(awaitTask(j.replay()));
        QVERIFY(!QFileInfo::exists(data()));

        const std::vector<KeptSession> three{kept(3, 10.5), kept(5, 11.0, u"D1"), kept(3, 12.25, u"E1")};
        for (const KeptSession &k : three)
            QVERIFY(awaitTask(j.keep(k)));
        QCOMPARE(j.kept(), three);
        QCOMPARE(readAll(journalFile()), QByteArray("3 10.5;c:1:1:2\n5 11.0;d:1:1:2\n3 12.25;e:1:1:2\n"));
        // Another instance reads the same.
        QCOMPARE(*journal().read(), three);

        QVERIFY(awaitTask(j.replay()));
        QVERIFY(j.kept().empty());
        QVERIFY(!QFileInfo::exists(journalFile()));
        QCOMPARE(readAll(levelFile(3)), QByteArray("10.5;c:1:1:2\n12.25;e:1:1:2\n"));
        QCOMPARE(readAll(levelFile(5)), QByteArray("11.0;d:1:1:2\n"));

        // Melodies go to their length's file, never to the level's notes'.
        KeptSession melody = kept(3, 13.0, u"F1");
        melody.length = 3;
        QVERIFY(awaitTask(j.keep(melody)));
        QCOMPARE(readAll(journalFile()), QByteArray("3_n3 13.0;f:1:1:2\n"));
        QCOMPARE(*journal().read(), std::vector<KeptSession>{melody});
        QVERIFY(awaitTask(j.replay()));
        QCOMPARE(readAll(documents() + QStringLiteral("/lirra_sessions/sessions_3_n3.txt")), QByteArray("13.0;f:1:1:2\n"));
        QCOMPARE(readAll(levelFile(3)), QByteArray("10.5;c:1:1:2\n12.25;e:1:1:2\n"));

        // Chords likewise, single and in progressions, confusions apart.
        KeptSession chord = kept(3, 14.0, u"G1");
        chord.kind = QuestionKind::chord;
        chord.session.confusions[Confusion{Note{NoteName::g, 1}, Note{NoteName::f, 1}}] = 1;
        KeptSession progression = kept(3, 15.0, u"A1");
        progression.kind = QuestionKind::chord;
        progression.length = 4;
        QVERIFY(awaitTask(j.keep(chord)));
        QVERIFY(awaitTask(j.keep(progression)));
        QCOMPARE(readAll(journalFile()), QByteArray("chords_3 14.0;g:1:1:2\tg1>f1:1\nchords_3_n4 15.0;a:1:1:2\n"));
        QCOMPARE(*journal().read(), (std::vector<KeptSession>{chord, progression}));
        QVERIFY(awaitTask(j.replay()));
        const QString sessions = documents() + QStringLiteral("/lirra_sessions/");
        QCOMPARE(readAll(sessions + QStringLiteral("chords_3.txt")), QByteArray("14.0;g:1:1:2\n"));
        QCOMPARE(readAll(sessions + QStringLiteral("chord_confusions_3.txt")), QByteArray("14.0;g1>f1:1\n"));
        QCOMPARE(readAll(sessions + QStringLiteral("chords_3_n4.txt")), QByteArray("15.0;a:1:1:2\n"));
        QCOMPARE(readAll(levelFile(3)), QByteArray("10.5;c:1:1:2\n12.25;e:1:1:2\n"));
    }

    void aLevelThatFailsKeepsItsOwnAndTheOthersGoOn()
    {
        FileSessionJournal j = journal();
        for (const KeptSession &k : {kept(3, 1), kept(5, 2), kept(3, 3), kept(7, 4)})
            QVERIFY(awaitTask(j.keep(k)));
        QVERIFY(QDir().mkpath(levelFile(3))); // level 3's file cannot be written
        const Result<void> replayed = awaitTask(j.replay());
        QVERIFY(!replayed);
        QVERIFY2(replayed.error().description.contains(levelFile(3)), qPrintable(replayed.error().description));
        QCOMPARE(j.kept(), (std::vector<KeptSession>{kept(3, 1), kept(3, 3)}));
        QCOMPARE(*journal().read(), j.kept());
        QCOMPARE(readAll(levelFile(5)), QByteArray("2.0;c:1:1:2\n"));
        QCOMPARE(readAll(levelFile(7)), QByteArray("4.0;c:1:1:2\n"));

        QVERIFY(QDir().rmdir(levelFile(3)));
        QVERIFY(awaitTask(j.replay()));
        QCOMPARE(readAll(levelFile(3)), QByteArray("1.0;c:1:1:2\n3.0;c:1:1:2\n"));
    }

    // A replay that ended after adding a session but before the journal was
    // rewritten left it in both: the next one adds it no second time.
    void aReplayCutShortAddsNothingTwice()
    {
        QVERIFY(journal().append(kept(4, 1)));
        QVERIFY(journal().append(kept(4, 2)));
        QVERIFY(storage().save(kept(4, 1).session, 4));
        FileSessionJournal j = journal();
        QVERIFY(awaitTask(j.replay()));
        QCOMPARE(readAll(levelFile(4)), QByteArray("1.0;c:1:1:2\n2.0;c:1:1:2\n"));
        QVERIFY(!QFileInfo::exists(journalFile()));
    }

    void damagedJournals_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<double>>("kept"); // the timestamps read back
        QTest::newRow("empty") << QByteArray() << QList<double>{};
        static const char garbage[] = "hello\n\0\0\xff\xfe garbage;;\n";
        QTest::newRow("not a journal") << QByteArray(garbage, sizeof garbage - 1) << QList<double>{};
        QTest::newRow("lines without a level") << QByteArray("1.0;c:1:1:0\nx 2.0;c:1:1:0\n 3.0;c:1:1:0\n5 4.0;c:1:1:0\n")
                                               << QList<double>{4};
        QTest::newRow("a negative count") << QByteArray("5 1.0;c:1:-1:0\n5 2.0;c:1:1:0\n") << QList<double>{2};
        QTest::newRow("chords, of a saved level, in progressions")
            << QByteArray("chords_5 1.0;c:1:1:0\nchords_my_8c3f0c26-3f4a-4a53-9a4e-2f1b0a6c1d7e_n3 2.0;c:1:1:0\n")
            << QList<double>{1, 2};
        QTest::newRow("chords named wrong") << QByteArray("chords5 1.0;c:1:1:0\nchords_ 2.0;c:1:1:0\nchords_chords_5 3.0;c:1:1:0\n"
                                                           "5_chords 4.0;c:1:1:0\nchords_5_n9 5.0;c:1:1:0\n")
                                            << QList<double>{};
        QTest::newRow("melodies of 2 and 5") << QByteArray("5_n2 1.0;c:1:1:0\n5_n5 2.0;c:1:1:0\n") << QList<double>{1, 2};
        QTest::newRow("lengths that are none") << QByteArray("5_n1 1.0;c:1:1:0\n5_n6 2.0;c:1:1:0\n5_nx 3.0;c:1:1:0\n"
                                                              "5_n 4.0;c:1:1:0\n_n3 5.0;c:1:1:0\n5_n3 6.0;c:1:1:0\n")
                                               << QList<double>{6};
        QTest::newRow("a cut-off last line") << QByteArray("5 1.0;c:1:1:0\n5 2.0;c:1:") << QList<double>{1};
        QTest::newRow("the same session twice") << QByteArray("5 1.0;c:1:1:0\n5 1.0;c:1:1:0\n") << QList<double>{1};
        QByteArray many;
        QList<double> all;
        for (int i = 0; i < 1500; ++i) {
            many += "6 " + QByteArray::number(i) + ".5;c:1:1:0\n";
            all << i + 0.5;
        }
        QTest::newRow("1,500 sessions, every one replayed") << many << all;
        QTest::newRow("records apart only by NEL and PS")
            << QByteArray("6 1.5;c:1:1:0\xC2\x85" "6 2.5;c:1:1:0\xE2\x80\xA9" "6 3.5;c:1:1:0") << QList<double>{1.5, 2.5, 3.5};
    }
    void damagedJournals()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<double>, kept);
        QDir().mkpath(data());
        writeAll(journalFile(), bytes);
        const auto read = journal().read();
        QVERIFY(read);
        QList<double> timestamps;
        for (const KeptSession &k : *read)
            timestamps << k.session.timestamp;
        QCOMPARE(timestamps, kept);
        // A replay takes what is readable, every line of it, and leaves no
        // damage behind.
        FileSessionJournal j = journal();
        QVERIFY(awaitTask(j.replay()));
        QVERIFY(!QFileInfo::exists(journalFile()));
        qsizetype written = 0;
        for (const QString &name : QDir(documents() + QStringLiteral("/lirra_sessions")).entryList({"sessions_*.txt", "chords_*.txt"}))
            written += readAll(documents() + QStringLiteral("/lirra_sessions/") + name).count('\n');
        QCOMPARE(written, kept.size());
    }

    // Sessions of a level that does not exist (an id no level has, a saved
    // level deleted since) stay in the journal, named once, and never make
    // a file of their own; the others go to their files.
    void unknownLevelsStay()
    {
        const QUuid deleted = QUuid::createUuid();
        QDir().mkpath(data());
        writeAll(journalFile(), "-5 1.0;c:1:1:0\n7 2.0;d:1:1:0\nmy_" + deleted.toByteArray(QUuid::WithoutBraces)
                                    + " 3.0;e:1:1:0\n200 4.0;f:1:1:0\n");
        FileSessionJournal j = journal();
        QStringList told;
        j.setWarningHandler([&told](const QString &warning) { told << warning; });
        const KnownLevels builtIn = [](const HistoryFile &file) {
            return file.savedId.isNull() && file.levelId >= 1 && file.levelId <= 144;
        };
        QVERIFY(awaitTask(j.replay(builtIn)));
        QCOMPARE(readAll(levelFile(7)), QByteArray("2.0;d:1:1:0\n"));
        QCOMPARE(QDir(documents() + QStringLiteral("/lirra_sessions")).entryList(QDir::Files),
                 QStringList{QStringLiteral("sessions_7.txt")});
        QCOMPARE(j.kept().size(), size_t(3));
        QCOMPARE(readAll(journalFile()).count('\n'), 3);
        QCOMPARE(told.size(), 3);
        QVERIFY2(told.filter(QStringLiteral("sessions_-5.txt")).size() == 1, qPrintable(told.join('|')));
        // Again: nothing new is said, nothing is lost.
        QVERIFY(awaitTask(j.replay(builtIn)));
        QCOMPARE(told.size(), 3);
        QCOMPARE(readAll(journalFile()).count('\n'), 3);
    }

    // A rewrite of the journal cut short by the end of the process leaves
    // its new file beside it; it goes at the next replay.
    void aRewriteCutShortLeavesNothing()
    {
        QDir().mkpath(data());
        writeAll(journalFile() + QStringLiteral(".new"), "5 1.0;c:1:1:0\n");
        FileSessionJournal j = journal();
        QVERIFY(awaitTask(j.replay()));
        QVERIFY(!QFileInfo::exists(journalFile() + QStringLiteral(".new")));
    }

    void aJournalThatIsNoFile()
    {
        QDir().mkpath(data());
        QCOMPARE(::mkfifo(QFile::encodeName(journalFile()).constData(), 0644), 0);
        FileSessionJournal j = journal();
        const Result<void> kept = awaitTask(j.keep(SessionJournalTest::kept(1, 1)));
        QVERIFY(!kept);
        QCOMPARE(kept.error().description,
                 QStringLiteral("Could not write to %1: it is a named pipe (FIFO), not a file").arg(journalFile()));
        QVERIFY(!awaitTask(j.replay()));
        QVERIFY(j.kept().empty());
    }
};

LIRRA_TEST(SessionJournalTest)
#include "session_journal_test.moc"
