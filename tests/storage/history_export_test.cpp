#include "support/test_registry.h"

#include "model/generators.h"
#include "storage/file_session_storage.h"
#include "storage/history_export.h"
#include "storage/saved_levels.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace lirra;

namespace {

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

Level savedThirds()
{
    Level level = DiatonicLevelGenerator::makeLevel(0, NoteName::d, false, false, NoteRange::entireOctave);
    level.savedId = QUuid::fromString(QStringLiteral("{6f1c7c1e-8f0a-4a38-9d53-2a4f3a1b2c3d}"));
    level.id = savedLevelId(level.savedId);
    level.name = QStringLiteral("Thirds, \"tight\"");
    level.notes = {Note{NoteName::d, 1}, Note{NoteName::f, 1}, Note{NoteName::a, 1}};
    return level;
}

} // namespace

// Every level's history out of the app: two built-in levels, a saved one, a
// damaged line and a pipe where a file belongs.
class HistoryExportTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_home;
    QString folder() const { return m_home.filePath(QStringLiteral("Documents/lirra_sessions")); }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(folder()));
        write(folder() + "/sessions_1.txt",
              "1733472000.25;e:1:3:1,c:1:2:0\nnot a session\n1733558400;d:1:1:1\n");
        write(folder() + "/confusions_1.txt", "1733472000.25;e1>dsharp1:1\nbroken\n");
        write(folder() + "/sessions_7.txt", "1733600000.5;g:1:4:0\n");
        // Chords on level 7: apart from its notes, confusions too.
        write(folder() + "/chords_7.txt", "1733650000;f:1:2:1\n");
        write(folder() + "/chord_confusions_7.txt", "1733650000;f1>d1:1\n");
        // Melodies of three on level 1: a history of their own.
        write(folder() + "/sessions_1_n3.txt", "1733480000;e:1:1:0,d:1:2:1\n");
        write(folder() + "/confusions_1_n3.txt", "1733480000;d1>e1:1\n");
        const Level thirds = savedThirds();
        write(folder() + "/my_levels.json", SavedLevelStore::format({thirds}));
        write(folder() + "/" + HistoryFile::of(thirds).fileName(), "1733700000;fsharp:1:0:2\n");
        QVERIFY(mkfifo(QFile::encodeName(folder() + "/sessions_9.txt").constData(), 0600) == 0);
    }

    void readsWhatCanBeRead()
    {
        const auto fs = FileSystem::posix();
        const HistoryExport history = readHistory(folder(), *fs);
        QCOMPARE(history.levels.size(), size_t(5)); // level 1's notes and melodies apart, level 7's notes and chords
        QCOMPARE(history.levelCount(), size_t(3));
        QCOMPARE(history.sessionCount(), size_t(6));
        QCOMPARE(history.skipped.size(), 3);
        QVERIFY(history.skipped.contains(QStringLiteral("sessions_1.txt: 1 damaged line skipped.")));
        QVERIFY(history.skipped.contains(QStringLiteral("confusions_1.txt: 1 damaged line skipped.")));
        QVERIFY2(history.skipped.filter(QStringLiteral("sessions_9.txt")).size() == 1, qPrintable(history.skipped.join('|')));
    }

    void json()
    {
        const auto fs = FileSystem::posix();
        const QJsonObject root = QJsonDocument::fromJson(historyJson(readHistory(folder(), *fs))).object();
        QCOMPARE(root.value("version").toInt(), 1);
        const QJsonArray sessions = root.value("sessions").toArray();
        QCOMPARE(sessions.size(), 6);
        const QJsonObject first = sessions[0].toObject();
        QCOMPARE(first.value("length").toInt(), 1);
        const QJsonObject melody = sessions[2].toObject();
        QCOMPARE(melody.value("level").toInteger(), 1);
        QCOMPARE(melody.value("length").toInt(), 3);
        QCOMPARE(melody.value("kind").toString(), QStringLiteral("note"));
        QCOMPARE(melody.value("title").toString(), QStringLiteral("C major · lower half · diatonic · melodies of 3"));
        QCOMPARE(melody.value("confusions").toArray(),
                 (QJsonArray{QJsonObject{{"asked", "d1"}, {"answered", "e1"}, {"count", 1}}}));
        QCOMPARE(first.value("level").toInteger(), 1);
        // Which of the key's six levels, by its heading.
        QCOMPARE(first.value("title").toString(), QStringLiteral("C major · lower half · diatonic"));
        QCOMPARE(first.value("timestamp").toDouble(), 1733472000.25);
        // The same moment in local time, ISO 8601 with its offset.
        const QDateTime time = QDateTime::fromString(first.value("time").toString(), Qt::ISODate);
        QCOMPARE(time.toMSecsSinceEpoch(), qint64(1733472000000));
        QCOMPARE(time.offsetFromUtc(), QDateTime::fromSecsSinceEpoch(1733472000).offsetFromUtc());
        QVERIFY(!first.contains("name"));
        const QJsonArray notes = first.value("notes").toArray();
        QCOMPARE(notes.size(), 2);
        QCOMPARE(notes[0].toObject(), (QJsonObject{{"note", "c"}, {"octave", 1}, {"correct", 2}, {"wrong", 0}}));
        QCOMPARE(notes[1].toObject(), (QJsonObject{{"note", "e"}, {"octave", 1}, {"correct", 3}, {"wrong", 1}}));
        QCOMPARE(first.value("confusions").toArray(),
                 (QJsonArray{QJsonObject{{"asked", "e1"}, {"answered", "dsharp1"}, {"count", 1}}}));
        QCOMPARE(sessions[1].toObject().value("confusions").toArray(), QJsonArray());
        QCOMPARE(sessions[1].toObject().value("timestamp").toDouble(), 1733558400.0);
        QCOMPARE(sessions[3].toObject().value("level").toInteger(), 7);
        const QJsonObject chords = sessions[4].toObject();
        QCOMPARE(chords.value("level").toInteger(), 7);
        QCOMPARE(chords.value("kind").toString(), QStringLiteral("chord"));
        QCOMPARE(chords.value("length").toInt(), 1);
        QCOMPARE(chords.value("title").toString(), QStringLiteral("C minor · lower half · diatonic · chords"));
        QCOMPARE(chords.value("notes").toArray()[0].toObject(),
                 (QJsonObject{{"note", "f"}, {"octave", 1}, {"correct", 2}, {"wrong", 1}}));
        QCOMPARE(chords.value("confusions").toArray(),
                 (QJsonArray{QJsonObject{{"asked", "f1"}, {"answered", "d1"}, {"count", 1}}}));
        const QJsonObject saved = sessions[5].toObject();
        QCOMPARE(saved.value("level").toInteger(), savedThirds().id);
        QCOMPARE(saved.value("name").toString(), savedThirds().name);
        QCOMPARE(saved.value("title").toString(), QStringLiteral("Thirds, \"tight\" · D minor · my level"));
        QCOMPARE(saved.value("notes").toArray()[0].toObject().value("note").toString(), FileSessionStorage::writtenName(NoteName::fSharp));
    }

    void csv()
    {
        const auto fs = FileSystem::posix();
        const HistoryExport history = readHistory(folder(), *fs);
        const QList<QByteArray> rows = sessionsCsv(history).split('\n');
        QCOMPARE(rows.size(), 1 + 8 + 1); // header, one per session and note, the last line break
        // The question length and kind last: the columns before stay where they were.
        QCOMPARE(rows[0], QByteArray("level,title,name,timestamp,note,octave,correct,wrong,time,length,kind"));
        const auto at = [](qint64 seconds) {
            const QDateTime local = QDateTime::fromSecsSinceEpoch(seconds);
            return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate).toLatin1();
        };
        QCOMPARE(rows[1], "1,C major · lower half · diatonic,,1733472000.25,c,1,2,0," + at(1733472000) + ",1,note");
        QCOMPARE(rows[4], "1,C major · lower half · diatonic · melodies of 3,,1733480000,d,1,2,1," + at(1733480000) + ",3,note");
        QCOMPARE(rows[6], "7,C minor · lower half · diatonic,,1733600000.5,g,1,4,0," + at(1733600000) + ",1,note");
        QCOMPARE(rows[7], "7,C minor · lower half · diatonic · chords,,1733650000,f,1,2,1," + at(1733650000) + ",1,chord");
        const QByteArray id = QByteArray::number(qint64(savedThirds().id));
        QCOMPARE(rows[8], id + ",\"Thirds, \"\"tight\"\" · D minor · my level\",\"Thirds, \"\"tight\"\"\",1733700000,"
                              + FileSessionStorage::writtenName(NoteName::fSharp).toUtf8() + ",1,0,2," + at(1733700000) + ",1,note");
        QCOMPARE(confusionsCsv(history), "level,title,name,timestamp,asked,answered,count,time,length,kind\n1,C major · lower "
                                         "half · diatonic,,1733472000.25,e1,dsharp1,1," + at(1733472000) + ",1,note\n"
                                         "1,C major · lower half · diatonic · melodies of 3,,1733480000,d1,e1,1,"
                                         + at(1733480000) + ",3,note\n"
                                         "7,C minor · lower half · diatonic · chords,,1733650000,f1,d1,1,"
                                         + at(1733650000) + ",1,chord\n");

        QTemporaryDir out;
        QVERIFY(exportCsv(history, out.filePath("new/folder"), *fs));
        QFile written(out.filePath("new/folder/sessions.csv"));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), sessionsCsv(history));
        QVERIFY(QFile::exists(out.filePath("new/folder/confusions.csv")));
        // Where the file cannot go, it says so and leaves nothing behind.
        write(out.filePath("blocker"), "x");
        const Result<void> blocked = exportJson(history, out.filePath("blocker/history.json"), *fs);
        QVERIFY(!blocked);
        QVERIFY(blocked.error().description.contains(out.filePath("blocker")));
    }

    QProcessEnvironment commandEnvironment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", m_home.path());
        environment.remove("XDG_CONFIG_HOME");
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        environment.insert("LANG", "C.UTF-8");
        return environment;
    }

    // Without a display, from the command line, over the user's home. The
    // pipe where level 9's file belongs is named, and the exit says the
    // export is not whole; the count printed is the count written.
    void commandLine()
    {
        QProcess lirra;
        lirra.setProcessEnvironment(commandEnvironment());
        const QString json = m_home.filePath("history.json");
        lirra.start(QStringLiteral(LIRRA_BINARY), {"--export-json", json});
        QVERIFY(lirra.waitForFinished(30000));
        const QString errors = QString::fromUtf8(lirra.readAllStandardError());
        QCOMPARE(lirra.exitCode(), 1);
        QVERIFY(errors.contains("sessions_1.txt: 1 damaged line skipped."));
        QVERIFY2(errors.contains("the export is not the whole history: sessions_9.txt could not be read"), qPrintable(errors));
        QCOMPARE(QString::fromUtf8(lirra.readAllStandardOutput()).trimmed(),
                 QStringLiteral("Exported 6 sessions of 3 levels to %1").arg(json));
        QFile file(json);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QJsonDocument::fromJson(file.readAll()).object().value("sessions").toArray().size(), 6);

        lirra.start(QStringLiteral(LIRRA_BINARY), {"--export-json", json, "--export-csv", m_home.path()});
        QVERIFY(lirra.waitForFinished(30000));
        QCOMPARE(lirra.exitCode(), 2);
    }

    // Where an export may be asked to go: a regular file (or a link to
    // one, which stays a link) is written whole; anything else is refused
    // by name, with nothing written over it and a failing exit.
    void destinations_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("said"); // on standard error
        QTest::newRow("a new file") << "new" << 1 << "";
        QTest::newRow("a link to a file elsewhere") << "link to a file" << 1 << "";
        QTest::newRow("a named pipe") << "fifo" << 1 << "it is a named pipe (FIFO), not a file";
        QTest::newRow("a device node") << "device" << 1 << "it is a device, not a file";
        QTest::newRow("a link to a named pipe") << "link to a fifo" << 1 << "it is a named pipe (FIFO), not a file";
        QTest::newRow("/dev/full") << "/dev/full" << 1 << "it is a device, not a file";
        QTest::newRow("a folder") << "folder" << 1 << "Is a directory";
        QTest::newRow("no file given") << "none" << 2 << "Missing value after '--export-json'";
        QTest::newRow("an empty file name") << "empty" << 2 << "--export-json needs a destination";
        QTest::newRow("a CSV folder that is a file") << "csv onto a file" << 1 << "a file stands where the folder belongs";
    }
    void destinations()
    {
        QFETCH(QString, kind);
        QFETCH(int, exit);
        QFETCH(QString, said);
        QTemporaryDir out;
        QString path = out.filePath("history.json");
        const QString elsewhere = out.filePath("synced/history.json");
        QStringList arguments{"--export-json", path};
        if (kind == "link to a file") {
            QVERIFY(QDir().mkpath(out.filePath("synced")));
            write(elsewhere, "old");
            QVERIFY(QFile::link(elsewhere, path));
        } else if (kind == "fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == "device") {
            // A device node needs root; a link to one stands in otherwise.
            if (::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
                QVERIFY(QFile::link(QStringLiteral("/dev/null"), path));
        } else if (kind == "link to a fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(out.filePath("pipe")).constData(), 0600), 0);
            QVERIFY(QFile::link(out.filePath("pipe"), path));
        } else if (kind == "/dev/full") {
            path = QStringLiteral("/dev/full");
            arguments = {"--export-json", path};
        } else if (kind == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else if (kind == "none") {
            arguments = {"--export-json"};
        } else if (kind == "empty") {
            arguments = {"--export-json", ""};
        } else if (kind == "csv onto a file") {
            write(path, "a file");
            arguments = {"--export-csv", path};
        }
        QFileInfo before(path);
        const bool wasSpecial = before.exists() && !before.isFile() && !before.isDir();
        QProcess lirra;
        lirra.setProcessEnvironment(commandEnvironment());
        lirra.start(QStringLiteral(LIRRA_BINARY), arguments);
        QVERIFY(lirra.waitForFinished(30000));
        const QString errors = QString::fromUtf8(lirra.readAllStandardError());
        // 1 for a written export too: level 9's pipe is never read.
        QCOMPARE(lirra.exitCode(), exit);
        QVERIFY2(errors.contains(said), qPrintable(errors));
        const QString output = QString::fromUtf8(lirra.readAllStandardOutput());
        if (!said.isEmpty()) {
            QVERIFY2(!output.contains("Exported"), qPrintable(output));
        } else {
            QVERIFY2(output.startsWith("Exported 6 sessions"), qPrintable(output));
            const QString written = kind == "new" ? path : elsewhere;
            QFile file(written);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(QJsonDocument::fromJson(file.readAll()).object().value("sessions").toArray().size(), 6);
            // A link stays a link, and its target is what changed.
            QCOMPARE(QFileInfo(path).isSymLink(), kind == "link to a file");
        }
        if (wasSpecial)
            QVERIFY(!QFileInfo(path).isFile() || QFileInfo(path).isSymLink());
        QVERIFY(!QFile::exists(path + ".new"));
    }

    // A history far larger than the screens read is exported whole.
    void aLargeHistoryIsWhole()
    {
        QTemporaryDir home;
        const QString sessions = home.filePath("Documents/lirra_sessions");
        QVERIFY(QDir().mkpath(sessions));
        QByteArray bytes;
        const int count = 450000;
        bytes.reserve(count * 40);
        for (int i = 0; i < count; ++i)
            bytes += QByteArray::number(1700000000 + i) + ";c:1:1:0,d:1:1:1,e:1:0:1,f:1:2:2,g:1:2:3\n";
        // Past the 16 MiB the screens read at most, and past 20 MiB.
        QVERIFY(bytes.size() > (20 << 20));
        write(sessions + "/sessions_2.txt", bytes);
        const auto fs = FileSystem::posix();
        const HistoryExport history = readHistory(sessions, *fs);
        QVERIFY(history.unreadable.isEmpty());
        QCOMPARE(history.sessionCount(), size_t(count));
        QCOMPARE(history.levels.front().sessions.front().timestamp, 1700000000.0);
        QCOMPARE(history.levels.front().sessions.back().timestamp, double(1700000000 + count - 1));
    }
};

LIRRA_TEST(HistoryExportTest)
#include "history_export_test.moc"
