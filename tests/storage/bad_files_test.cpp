#include "support/files.h"
#include "support/notes.h"
#include "support/sessions_folder.h"
#include "support/test_registry.h"

#include "support/await.h"

#include "model/generators.h"
#include "storage/file_session_storage.h"
#include "storage/saved_levels.h"
#include "storage/session_journal.h"
#include "storage/settings_preferences.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The most the process held at once since the last reset, beyond what it
// held then, in MiB: Linux keeps a resettable high-water mark of the
// resident memory.
class PeakMemory {
public:
    PeakMemory()
    {
        QFile reset(QStringLiteral("/proc/self/clear_refs"));
        m_works = reset.open(QIODevice::WriteOnly) && reset.write("5") == 1;
        m_start = field("VmRSS:");
    }
    bool works() const { return m_works; }
    double addedMiB() const { return double(field("VmHWM:") - m_start) / 1024.0; }

private:
    static qint64 field(const char *name)
    {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return 0;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith(name))
                return line.mid(qsizetype(std::strlen(name))).trimmed().split(' ').front().toLongLong();
        }
        return 0;
    }
    bool m_works = false;
    qint64 m_start = 0;
};

} // namespace

using namespace lirra;
using lirra::test::note;
using lirra::test::SessionsFolderFixture;
using lirra::test::readAll;
using lirra::test::writeAll;
using lirra::test::awaitTask;

// What a level's file can turn out to be, read and appended to through the
// real storage: every case answers at once, with the valid sessions or an
// error naming the file and what it is, and an append never lands anywhere
// but in a regular file.
class BadFilesTest : public QObject, private SessionsFolderFixture {
    Q_OBJECT

private:
    // Lays out the case at the level's file; false if this machine cannot.
    bool layOut(const QString &kind)
    {
        QDir().mkpath(folder());
        const QByteArray path = QFile::encodeName(file());
        if (kind == QLatin1String("sparse NULs")) {
            QFile f(file());
            return f.open(QIODevice::WriteOnly) && f.resize(qint64(1) << 30);
        }
        if (kind == QLatin1String("sparse NULs, then sessions")) {
            QFile f(file());
            return f.open(QIODevice::WriteOnly) && f.seek(qint64(1) << 30)
                && f.write("5.0;c:1:1:0\n6.0;d:1:0:1\n7.0;e:1:2:2\n") > 0;
        }
        if (kind == QLatin1String("blank lines")) {
            QFile f(file());
            if (!f.open(QIODevice::WriteOnly))
                return false;
            const QByteArray block(1 << 20, '\n');
            for (int i = 0; i < 64; ++i)
                f.write(block);
            return true;
        }
        if (kind == QLatin1String("named pipe"))
            return ::mkfifo(path.constData(), 0644) == 0;
        if (kind == QLatin1String("link to a named pipe")) {
            const QByteArray pipe = QFile::encodeName(m_home->filePath(QStringLiteral("pipe")));
            return ::mkfifo(pipe.constData(), 0644) == 0 && ::symlink(pipe.constData(), path.constData()) == 0;
        }
        if (kind == QLatin1String("link to /dev/zero"))
            return ::symlink("/dev/zero", path.constData()) == 0;
        if (kind == QLatin1String("folder"))
            return QDir().mkpath(file());
        if (kind == QLatin1String("link to a file")) {
            writeAll(m_home->filePath(QStringLiteral("elsewhere.txt")), "3.0;g:1:1:0\n");
            return QFile::link(m_home->filePath(QStringLiteral("elsewhere.txt")), file());
        }
        if (kind == QLatin1String("negative counts")) {
            writeAll(file(), "1.0;c:1:5:-3,d:1:2:1\n2.0;e:1:-1:0\n");
            return true;
        }
        if (kind == QLatin1String("huge counts")) {
            writeAll(file(), "1.0;c:1:9223372036854775807:9223372036854775807,d:1:9223372036854775807:0\n");
            return true;
        }
        if (kind == QLatin1String("junk after good lines")) {
            QFile f(file());
            if (!f.open(QIODevice::WriteOnly))
                return false;
            for (int i = 1; i <= 150; ++i)
                f.write(QByteArray::number(i) + ".0;c:1:1:0\n");
            const QByteArray junk((7 << 19), 'x'); // 3.5 MB, no line break
            for (int i = 0; i < 5; ++i)
                f.write(junk + '\n');
            return true;
        }
        if (kind == QLatin1String("records apart by LS only")) {
            // Past 4 MiB, the longest a line may be, with no line feed at all.
            QByteArray bytes;
            for (int i = 1; bytes.size() < (qsizetype(5) << 20); ++i)
                bytes += QByteArray::number(i) + ".0;c:1:1:0\xE2\x80\xA8";
            writeAll(file(), bytes);
            return true;
        }
        if (kind == QLatin1String("records apart by NEL only")) {
            QByteArray bytes;
            for (int i = 1; bytes.size() < (qsizetype(5) << 20); ++i)
                bytes += QByteArray::number(i) + ".0;c:1:1:0\xC2\x85";
            writeAll(file(), bytes);
            return true;
        }
        if (kind == QLatin1String("a line past the longest")) {
            QByteArray bytes = "1.0;c:1:1:0\n2.0;c:1:1:0";
            while (bytes.size() < (qsizetype(5) << 20))
                bytes += ",d:1:1:1";
            writeAll(file(), bytes + "\n3.0;e:1:1:0\n");
            return true;
        }
        return false;
    }

private slots:
    void init() { newHome(); }

    void eachCaseAnswersAtOnce_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("loads");    // the sessions' timestamps, or the error's words
        QTest::addColumn<QString>("appending"); // "appends", or the error's words
        QTest::newRow("1 GB of NULs, sparse") << "sparse NULs" << "" << "appends";
        QTest::newRow("1 GB of NULs, then sessions") << "sparse NULs, then sessions" << "5 6 7" << "appends";
        QTest::newRow("64 MB of blank lines") << "blank lines" << "" << "appends";
        QTest::newRow("a named pipe") << "named pipe" << "it is a named pipe (FIFO), not a file"
                                      << "it is a named pipe (FIFO), not a file";
        QTest::newRow("a link to a named pipe") << "link to a named pipe" << "it is a named pipe (FIFO), not a file"
                                                << "it is a named pipe (FIFO), not a file";
        QTest::newRow("a link to /dev/zero") << "link to /dev/zero" << "it is a device, not a file"
                                             << "it is a device, not a file";
        QTest::newRow("a folder") << "folder" << "Is a directory" << "Is a directory";
        QTest::newRow("a link to a regular file") << "link to a file" << "3" << "appends";
        QTest::newRow("negative counts") << "negative counts" << "1" << "appends";
        QTest::newRow("counts near 2^63") << "huge counts" << "1" << "appends";
        QTest::newRow("a line past the longest a record can be") << "a line past the longest" << "1 3" << "appends";
        QTest::newRow("junk after 150 good lines") << "junk after good lines" << "newest 51-150" << "appends";
        QTest::newRow("records apart by LS only, past 4 MiB") << "records apart by LS only" << "newest 100" << "appends";
        QTest::newRow("records apart by NEL only, past 4 MiB") << "records apart by NEL only" << "newest 100" << "appends";
    }
    void eachCaseAnswersAtOnce()
    {
        QFETCH(QString, kind);
        QFETCH(QString, loads);
        QFETCH(QString, appending);
        QVERIFY2(layOut(kind), qPrintable(kind));

        QElapsedTimer clock;
        clock.start();
        const auto loaded = storage().load(1);
        if (loads.startsWith(QLatin1String("newest"))) {
            // The newest 100 good sessions, in order, ending with the last one written.
            QVERIFY2(loaded, qPrintable(loaded ? QString() : loaded.error().description));
            QCOMPARE(loaded->size(), size_t(FileSessionStorage::keptLines));
            for (size_t i = 1; i < loaded->size(); ++i)
                QCOMPARE((*loaded)[i].timestamp, (*loaded)[i - 1].timestamp + 1);
            if (loads == QLatin1String("newest 51-150"))
                QCOMPARE(loaded->back().timestamp, 150.0);
        } else if (loads.isEmpty() || loads.front().isDigit()) {
            QVERIFY2(loaded, qPrintable(loaded ? QString() : loaded.error().description));
            QStringList timestamps;
            for (const Session &session : *loaded) {
                timestamps << QString::number(session.timestamp);
                for (const auto &[n, score] : session.score)
                    QVERIFY(score.correct >= 0 && score.wrong >= 0);
                const SessionStatistics stats = session.statistics();
                QVERIFY(stats.accuracy >= 0 && stats.accuracy <= 1);
            }
            QCOMPARE(timestamps.join(u' '), loads);
        } else {
            QVERIFY(!loaded);
            QCOMPARE(loaded.error().description, QStringLiteral("Could not read %1: %2").arg(file(), loads));
        }

        const Session session{9.0, {{note(u"G1"), Score{1, 0}}}};
        const auto saved = storage().save(session, 1);
        if (appending == QLatin1String("appends")) {
            QVERIFY2(saved, qPrintable(saved ? QString() : saved.error().description));
            QCOMPARE(storage().load(1)->back(), session);
        } else {
            QVERIFY(!saved);
            QCOMPARE(saved.error().description, QStringLiteral("Could not write to %1: %2").arg(file(), appending));
        }
        // Nothing here may wait on a reader, a writer or a device.
        QVERIFY2(clock.elapsed() < 20000, "a bad file held the caller up");
    }

    // The other files the app reads, each as what it may turn out to be:
    // read at once, in little memory, a file that is no file refused by name
    // and never written over, a damaged one read as far as it can be, and a
    // link to a file kept elsewhere followed both ways, the link kept.
    void theOtherFilesTheAppReads_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("kind");
        for (const char *which : {"settings", "my levels", "journal"}) {
            for (const char *kind : {"named pipe", "link to a device", "folder", "huge", "damaged", "link to a synced file"})
                QTest::addRow("%s: %s", which, kind) << QString::fromLatin1(which) << QString::fromLatin1(kind);
        }
    }
    void theOtherFilesTheAppReads()
    {
        QFETCH(QString, which);
        QFETCH(QString, kind);
        const QString settings = m_home->filePath(QStringLiteral("config/lirra.json"));
        const QString levels = folder() + QStringLiteral("/my_levels.json");
        const QString journalFile = m_home->filePath(QStringLiteral("data/kept_sessions.txt"));
        const QString path = which == QLatin1String("settings") ? settings
            : which == QLatin1String("my levels")              ? levels
                                                               : journalFile;
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        const QByteArray native = QFile::encodeName(path);
        const QByteArray intact = which == QLatin1String("settings") ? QByteArray("{\"practice.tempo\": 90}")
            : which == QLatin1String("my levels")
            ? SavedLevelStore::format({[] {
                  Level level = DiatonicLevelGenerator::makeLevel(0, NoteName::c, true, false, NoteRange::entireOctave);
                  level.savedId = QUuid::createUuid();
                  level.id = savedLevelId(level.savedId);
                  level.name = QStringLiteral("Thirds");
                  level.notes.resize(3);
                  return level;
              }()})
            : QByteArray("3 10.5;c:1:1:2\n");
        const QString synced = m_home->filePath(QStringLiteral("Sync/") + QFileInfo(path).fileName());
        if (kind == QLatin1String("named pipe")) {
            QCOMPARE(::mkfifo(native.constData(), 0644), 0);
        } else if (kind == QLatin1String("link to a device")) {
            QCOMPARE(::symlink("/dev/zero", native.constData()), 0);
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(path));
        } else if (kind == QLatin1String("huge")) {
            // 200 MB of settings; 15 MB of "{}" for the levels; 64 MB of
            // junk lines for the journal.
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            const QByteArray block = which == QLatin1String("my levels") ? QByteArray(1 << 20, '{').replace("{{", "{}")
                                                                         : QByteArray((1 << 20) - 1, 'x') + '\n';
            const int blocks = which == QLatin1String("settings") ? 200 : which == QLatin1String("my levels") ? 15 : 64;
            for (int i = 0; i < blocks; ++i)
                QCOMPARE(f.write(block), block.size());
        } else if (kind == QLatin1String("damaged")) {
            writeAll(path, intact.left(intact.size() / 2) + QByteArray("\0\xff\n", 3) + intact);
        } else {
            QVERIFY(QDir().mkpath(QFileInfo(synced).absolutePath()));
            writeAll(synced, intact);
            QCOMPARE(::symlink(QFile::encodeName(synced).constData(), native.constData()), 0);
        }
        const bool noFile = kind == QLatin1String("named pipe") || kind == QLatin1String("link to a device")
            || kind == QLatin1String("folder");
        struct stat before {};
        QCOMPARE(::lstat(native.constData(), &before), 0);

        PeakMemory memory;
        QElapsedTimer clock;
        clock.start();
        if (which == QLatin1String("settings")) {
            SettingsPreferences preferences(path);
            const bool unreadable = noFile || kind == QLatin1String("huge");
            QCOMPARE(preferences.readError().has_value(), unreadable);
            if (unreadable)
                QVERIFY2(preferences.readError()->description.contains(path), qPrintable(preferences.readError()->description));
            const bool readsTempo = kind == QLatin1String("link to a synced file");
            QCOMPARE(preferences.integer(PreferenceKey::tempo), readsTempo ? std::optional<std::int64_t>(90) : std::nullopt);
            preferences.setInteger(3, PreferenceKey::levelCursor);
            QCOMPARE(bool(preferences.sync()), !unreadable);
        } else if (which == QLatin1String("my levels")) {
            SavedLevelStore store([f = folder()]() -> Result<QString> { return f; });
            const Result<SavedLevelStore::Read> read = store.read();
            QCOMPARE(read.has_value(), !noFile);
            if (read)
                QCOMPARE(read->levels.size(), size_t(kind == QLatin1String("huge") ? 0 : 1));
            const auto added = store.updateNow([](std::vector<Level> all) -> Result<std::vector<Level>> {
                Level level = DiatonicLevelGenerator::makeLevel(0, NoteName::d, true, false, NoteRange::entireOctave);
                level.savedId = QUuid::createUuid();
                level.id = savedLevelId(level.savedId);
                level.name = QStringLiteral("New");
                all.push_back(level);
                return all;
            });
            QCOMPARE(added.has_value(), !noFile);
        } else {
            FileSessionJournal journal([d = QFileInfo(path).absolutePath()]() -> Result<QString> { return d; }, storage());
            const Result<void> replayed = awaitTask(journal.replay());
            QCOMPARE(replayed.has_value(), !noFile);
            if (noFile)
                QVERIFY2(replayed.error().description.contains(path), qPrintable(replayed.error().description));
            const bool kept = kind == QLatin1String("damaged") || kind == QLatin1String("link to a synced file");
            QCOMPARE(readAll(file(3)), kept ? QByteArray("10.5;c:1:1:2\n") : QByteArray());
        }
        QVERIFY2(clock.elapsed() < 10000, "a file held the app up");
        if (memory.works())
            QVERIFY2(memory.addedMiB() < 48, qPrintable(QStringLiteral("%1 MiB").arg(memory.addedMiB())));
        qInfo("%s, %s: %lld ms, %.1f MiB at most", qPrintable(which), qPrintable(kind), clock.elapsed(),
              memory.works() ? memory.addedMiB() : -1.0);

        // What is no file stays as it was; a link stays a link, its target
        // holding what was written.
        struct stat after {};
        // A journal whose every session was placed goes, and its damage with it.
        const bool gone = which == QLatin1String("journal") && (kind == QLatin1String("huge") || kind == QLatin1String("damaged"));
        QCOMPARE(::lstat(native.constData(), &after), gone ? -1 : 0);
        if (noFile || kind == QLatin1String("link to a synced file"))
            QCOMPARE(after.st_mode & S_IFMT, before.st_mode & S_IFMT);
        if (kind == QLatin1String("link to a synced file") && which != QLatin1String("journal"))
            QVERIFY(readAll(synced) != intact);
        QVERIFY(!QFile::exists(path + QStringLiteral(".new")));
    }

    // Without a home folder there is nowhere to keep practice: the error
    // says so and names the folder that would have been used, instead of
    // one at the root of the disk.
    void withoutAHomeFolder_data()
    {
        QTest::addColumn<QByteArray>("home");
        QTest::newRow("HOME unset") << QByteArray();
        QTest::newRow("HOME not absolute") << QByteArray("relative/home");
    }
    void withoutAHomeFolder()
    {
        QFETCH(QByteArray, home);
        const QByteArray saved = qgetenv("HOME");
        const QByteArray savedData = qgetenv("XDG_DATA_HOME");
        const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
        if (home.isEmpty())
            qunsetenv("HOME");
        else
            qputenv("HOME", home);
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_CONFIG_HOME");
        const Result<QString> documents = FileSessionStorage::standardDocumentsFolder();
        const Result<QString> data = FileSessionJournal::standardFolder();
        qputenv("HOME", saved);
        if (!savedData.isEmpty())
            qputenv("XDG_DATA_HOME", savedData);
        if (!savedConfig.isEmpty())
            qputenv("XDG_CONFIG_HOME", savedConfig);
        QVERIFY(!documents && !data);
        const QString state = home.isEmpty() ? QStringLiteral("not set") : QStringLiteral("\u201crelative/home\u201d");
        QVERIFY2(documents.error().description.startsWith(
                     QStringLiteral("There is no home folder to keep your practice in: the HOME environment variable is %1").arg(state)),
                 qPrintable(documents.error().description));
        QVERIFY2(!documents.error().description.contains(QLatin1String("//")), qPrintable(documents.error().description));
        QVERIFY2(data.error().description.contains(QLatin1String(".local/share")), qPrintable(data.error().description));
    }

    void unreadableFiles()
    {
        if (::geteuid() == 0)
            QSKIP("root reads files of mode 000; scripts/test runs this again as the user nobody");
        QDir().mkpath(folder());
        writeAll(file(), "1.0;c:1:1:0\n");
        QCOMPARE(::chmod(QFile::encodeName(file()).constData(), 0), 0);
        const auto loaded = storage().load(1);
        QVERIFY(!loaded);
        QCOMPARE(loaded.error().description, QStringLiteral("Could not read %1: Permission denied").arg(file()));
    }
};

LIRRA_TEST(BadFilesTest)
#include "bad_files_test.moc"
