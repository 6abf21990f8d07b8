#include "support/fakes.h"
#include "support/files.h"
#include "support/sound_server.h"
#include "support/test_registry.h"

#include "storage/file_session_storage.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace lirra;
using namespace lirra::test;

namespace {

// An X server of the test's own, without a window manager.
class XServer {
public:
    XServer()
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (program.isEmpty())
            return;
        m_server.setStandardErrorFile(QProcess::nullDevice());
        m_server.start(program, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                 QStringLiteral("0"), QStringLiteral("1024x600x24"), QStringLiteral("-nolisten"),
                                 QStringLiteral("tcp")});
        if (m_server.waitForReadyRead(10000))
            m_display = QStringLiteral(":") + QString::fromLatin1(m_server.readLine().trimmed());
    }
    ~XServer()
    {
        m_server.terminate();
        m_server.waitForFinished(5000);
    }
    QString display() const { return m_display; }

private:
    QProcess m_server;
    QString m_display;
};

// The computer key that types a natural note or a black key in the lower
// octave, from the name the log gives it.
QString typingKey(const QString &name)
{
    static const QStringList order{QStringLiteral("C"), QStringLiteral("C♯"), QStringLiteral("D"), QStringLiteral("D♯"),
                                   QStringLiteral("E"), QStringLiteral("F"), QStringLiteral("F♯"), QStringLiteral("G"),
                                   QStringLiteral("G♯"), QStringLiteral("A"), QStringLiteral("A♯"), QStringLiteral("B")};
    static const QStringList keys = QStringLiteral("a w s e d f t g y h u j").split(u' ');
    const qsizetype at = order.indexOf(name.section(QStringLiteral(" / "), 0, 0));
    return at < 0 ? QString() : keys[at];
}

} // namespace

// The real program, on its own X server and sound server, practising from
// the computer keyboard, then ended by a signal mid-session: the session's
// answers are in its level's file.
class QuitSignalTest : public QObject {
    Q_OBJECT

private:
    QString m_xdotool;

    bool xdotool(const QString &display, const QStringList &arguments, QString *output = nullptr)
    {
        QProcess tool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), display);
        tool.setProcessEnvironment(environment);
        tool.start(m_xdotool, arguments);
        if (!tool.waitForFinished(20000) || tool.exitCode() != 0)
            return false;
        if (output)
            *output = QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
        return true;
    }

private slots:
    void initTestCase()
    {
        m_xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        if (m_xdotool.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
            QSKIP("needs Xvfb and xdotool (scripts/setup installs them)");
    }

    void aSignalKeepsTheSession_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void aSignalKeepsTheSession()
    {
        QFETCH(int, signal);
        XServer x;
        QVERIFY2(!x.display().isEmpty(), "Xvfb did not start");
        SoundServer sound;
        QVERIFY2(sound.isRunning(), "PulseAudio did not start");
        QTemporaryDir home;
        QDir().mkpath(home.filePath(QStringLiteral(".config/lirra")));
        writeAll(home.filePath(QStringLiteral(".config/lirra/lirra.json")), R"({"user.has.seen.onboarding": true})");

        QProcess app;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), x.display());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
        environment.remove(QStringLiteral("XDG_DATA_HOME"));
        environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        environment.insert(QStringLiteral("LIRRA_AUDIO_DRIVER"), QStringLiteral("pulseaudio"));
        // There is no session bus here. Qt's accessibility bridge asks for one
        // at the first label; a dead address answers at once, where libdbus
        // would otherwise autolaunch a bus through X, which can stall for
        // longer than this test waits when the machine is busy.
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                           QStringLiteral("unix:path=%1").arg(home.filePath(QStringLiteral("no-bus"))));
        // In the sanitizer build the program ends through the leak checker.
        // The D-Bus library that Qt's desktop integration opens keeps one
        // buffer for the life of the process; that one is not the app's.
        writeAll(home.filePath(QStringLiteral("leaks.supp")), "leak:libdbus-1.so\n");
        environment.insert(QStringLiteral("LSAN_OPTIONS"),
                           QStringLiteral("suppressions=%1").arg(home.filePath(QStringLiteral("leaks.supp"))));
        app.setProcessEnvironment(environment);
        app.setProcessChannelMode(QProcess::SeparateChannels);
        app.start(QStringLiteral(LIRRA_BINARY));
        QVERIFY(app.waitForStarted());
        QString log;
        const auto logShows = [&](const QString &line, int timeoutMs) {
            return spinUntil([&] {
                app.waitForReadyRead(20);
                log += QString::fromUtf8(app.readAllStandardError());
                return log.contains(line) || app.state() == QProcess::NotRunning;
            }, timeoutMs) && log.contains(line);
        };
        QVERIFY2(logShows(QStringLiteral("✅ didLoadLevel - 1 - C major"), 30000), qPrintable(log));

        QString window;
        QVERIFY(xdotool(x.display(), {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                                      QStringLiteral("--pid"), QString::number(app.processId()), QStringLiteral("--name"),
                                      QStringLiteral(".")}, &window));
        window = window.section(u'\n', 0, 0);
        QVERIFY(xdotool(x.display(), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window}));
        QVERIFY(xdotool(x.display(), {QStringLiteral("key"), QStringLiteral("space")}));
        QVERIFY2(logShows(QStringLiteral("🎶 didPlayCadence"), 30000), qPrintable(log));
        static const QRegularExpression asked(QStringLiteral("didLoadQuestion - [0-9A-F-]+ - ([^\\n]+)"));
        QString note;
        for (auto match = asked.globalMatch(log); match.hasNext();)
            note = match.next().captured(1).trimmed();
        QVERIFY2(!typingKey(note).isEmpty(), qPrintable(note));
        QVERIFY(xdotool(x.display(), {QStringLiteral("key"), typingKey(note)}));
        QVERIFY2(logShows(QStringLiteral("👏 didLogRightAnswer"), 30000), qPrintable(log));

        // The next cadence is playing; the session holds one right answer.
        QCOMPARE(::kill(pid_t(app.processId()), signal), 0);
        QVERIFY(app.waitForFinished(20000));
        log += QString::fromUtf8(app.readAllStandardError());
        QVERIFY2(app.exitStatus() == QProcess::NormalExit && app.exitCode() == 0,
                 qPrintable(QStringLiteral("status %1, code %2: ").arg(int(app.exitStatus())).arg(app.exitCode()) + log.right(3000)));
        const QList<QByteArray> lines =
            readAll(home.filePath(QStringLiteral("Documents/lirra_sessions/sessions_1.txt"))).split('\n');
        QCOMPARE(lines.size(), 2);
        const auto saved = FileSessionStorage::parseLine(QByteArrayView(lines.front()));
        QVERIFY(saved);
        QCOMPARE(saved->statistics().correctCount, 1);
    }

    // One Lirra per user: a second start brings the first to the front and
    // ends with 0; after the first is killed with SIGKILL, its socket left
    // behind, the next start runs.
    void aSecondStartHandsOver()
    {
        XServer x;
        QVERIFY2(!x.display().isEmpty(), "Xvfb did not start");
        QTemporaryDir home;
        QTemporaryDir runtime;
        QVERIFY(QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        QDir().mkpath(home.filePath(QStringLiteral(".config/lirra")));
        writeAll(home.filePath(QStringLiteral(".config/lirra/lirra.json")), R"({"user.has.seen.onboarding": true})");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), x.display());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
        environment.remove(QStringLiteral("XDG_DATA_HOME"));
        environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        // No sound is needed here: a driver that never starts answers at once.
        environment.insert(QStringLiteral("LIRRA_AUDIO_DRIVER"), QStringLiteral("file"));
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                           QStringLiteral("unix:path=%1").arg(home.filePath(QStringLiteral("no-bus"))));
        writeAll(home.filePath(QStringLiteral("leaks.supp")), "leak:libdbus-1.so\n");
        environment.insert(QStringLiteral("LSAN_OPTIONS"),
                           QStringLiteral("suppressions=%1").arg(home.filePath(QStringLiteral("leaks.supp"))));
        const auto startApp = [&](QProcess &app) {
            app.setProcessEnvironment(environment);
            app.start(QStringLiteral(LIRRA_BINARY));
            return app.waitForStarted();
        };
        const auto waitForLevel = [](QProcess &app, QString &log) {
            return spinUntil([&] {
                app.waitForReadyRead(20);
                log += QString::fromUtf8(app.readAllStandardError());
                return log.contains(QStringLiteral("didLoadLevel")) || app.state() == QProcess::NotRunning;
            }, 30000) && log.contains(QStringLiteral("didLoadLevel"));
        };

        QProcess first;
        QVERIFY(startApp(first));
        QString firstLog;
        QVERIFY2(waitForLevel(first, firstLog), qPrintable(firstLog));

        QProcess second;
        QVERIFY(startApp(second));
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(second.readAllStandardOutput()).trimmed(),
                 QStringLiteral("Lirra is already running; its window was brought to the front."));
        QVERIFY(!QString::fromUtf8(second.readAllStandardError()).contains(QStringLiteral("didLoad")));
        QCOMPARE(first.state(), QProcess::Running);

        // Killed with no chance to tidy up: the next start is not held back.
        first.kill();
        QVERIFY(first.waitForFinished(10000));
        QVERIFY(!QDir(runtime.path()).entryList({QStringLiteral("lirra-*.socket")}, QDir::System).isEmpty());
        QProcess third;
        QVERIFY(startApp(third));
        QString thirdLog;
        QVERIFY2(waitForLevel(third, thirdLog), qPrintable(thirdLog));
        third.kill();
        third.waitForFinished(10000);
    }
};

LIRRA_TEST(QuitSignalTest)
#include "quit_signal_test.moc"
