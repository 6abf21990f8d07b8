#pragma once

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

namespace lirra::test {

// A PulseAudio server of this test's own, with one null sink and no sound
// card, reached through PULSE_SERVER while it runs.
class SoundServer {
public:
    SoundServer()
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (program.isEmpty() || !m_runtime.isValid())
            return;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        environment.insert(QStringLiteral("HOME"), m_runtime.path());
        m_server.setProcessEnvironment(environment);
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server.start(program, {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                                 QStringLiteral("--log-level=error"),
                                 QStringLiteral("--load=module-null-sink sink_name=nul"),
                                 QStringLiteral("--load=module-native-protocol-unix socket=%1").arg(socket())});
        QDeadlineTimer deadline(10000);
        while (!QFileInfo::exists(socket()) && !deadline.hasExpired() && m_server.state() != QProcess::NotRunning)
            QThread::msleep(10);
        if (QFileInfo::exists(socket()))
            qputenv("PULSE_SERVER", QFile::encodeName(QStringLiteral("unix:") + socket()));
    }
    ~SoundServer()
    {
        qunsetenv("PULSE_SERVER");
        m_server.terminate();
        m_server.waitForFinished(5000);
    }

    bool isRunning() const { return QFileInfo::exists(socket()); }

private:
    QString socket() const { return m_runtime.filePath(QStringLiteral("native")); }

    QTemporaryDir m_runtime;
    QProcess m_server;
};

} // namespace lirra::test
