#include "support/test_registry.h"

#include "model/logger.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTest>
#include <QThread>

#include <atomic>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

using namespace lirra;

namespace {

// Reads a pipe to its end on a thread of its own.
class PipeReader {
public:
    explicit PipeReader(int fd)
        : m_thread([this, fd] {
            char buffer[4096];
            for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
                m_text.append(buffer, got);
        })
    {
    }
    QByteArray finish()
    {
        m_thread.join();
        return m_text;
    }

private:
    QByteArray m_text;
    std::thread m_thread;
};

} // namespace

class LoggerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Qt's own handler, writing to standard error as in the app, even
        // where it would otherwise prefer the journal.
        qputenv("QT_FORCE_STDERR_LOGGING", "1");
    }

    // Standard error is a real pipe, read as it fills or only after every
    // line was handed in (a paused terminal, a pager that stopped reading).
    // Handing in never waits for it, every line comes out once, in order,
    // with the dropped ones counted where they were, and the logger writes
    // on once the way is clear.
    void aBlockedStandardErrorHoldsNoOneUp_data()
    {
        QTest::addColumn<bool>("readAsItGoes");
        QTest::newRow("read as it fills") << true;
        QTest::newRow("read only later") << false;
    }
    void aBlockedStandardErrorHoldsNoOneUp()
    {
        QFETCH(bool, readAsItGoes);
        int ends[2];
        QCOMPARE(::pipe2(ends, O_CLOEXEC), 0);
        const int savedError = ::dup(STDERR_FILENO);
        QVERIFY(savedError >= 0);
        ::dup2(ends[1], STDERR_FILENO);
        ::close(ends[1]);
        const QtMessageHandler testHandler = qInstallMessageHandler(nullptr);
        std::optional<PipeReader> reader;
        // Standard error back as it was, and what the pipe got, to its end.
        const auto stopRedirecting = [&] {
            qInstallMessageHandler(testHandler);
            ::dup2(savedError, STDERR_FILENO);
            ::close(savedError);
            if (!reader)
                reader.emplace(ends[0]);
            const QByteArray got = reader->finish();
            ::close(ends[0]);
            return got;
        };
        auto restore = qScopeGuard([&] { stopRedirecting(); });
        if (readAsItGoes)
            reader.emplace(ends[0]);

        // 12,000 lines of 100 bytes with their ends: 1.2 MB, far more than the pipe holds.
        constexpr int count = 12000;
        const QString padding(88, QLatin1Char('.'));
        {
            StandardErrorLogger logger;
            // Handed in from a thread of its own: a logger that waits for the
            // pipe is caught by the deadline instead of hanging the test.
            std::atomic<bool> handedIn = false;
            QElapsedTimer handingIn;
            handingIn.start();
            std::thread caller([&] {
                for (int i = 0; i < count; ++i)
                    logger.write(LogLevel::standard,
                                 QStringLiteral("line %1 %2").arg(i, 5, 10, QLatin1Char('0')).arg(padding));
                handedIn = true;
            });
            while (!handedIn && handingIn.elapsed() < 5000)
                QThread::msleep(5);
            const bool inTime = handedIn;
            if (!inTime && !reader)
                reader.emplace(ends[0]);
            caller.join();
            QVERIFY2(inTime, "the lines were not all handed in within 5 s: the logger waited for standard error");
            if (!readAsItGoes) {
                QVERIFY(!logger.flush(200));
                reader.emplace(ends[0]);
            }
            QVERIFY(logger.flush(20000));
            logger.write(LogLevel::warning, QStringLiteral("the last line"));
        }
        restore.dismiss();
        const QByteArray text = stopRedirecting();

        const QList<QByteArray> lines = text.trimmed().split('\n');
        QCOMPARE(lines.last(), QByteArray("the last line"));
        int next = 0;
        qint64 dropped = 0;
        for (const QByteArray &line : lines.mid(0, lines.size() - 1)) {
            if (line.startsWith("line ")) {
                const int number = line.mid(5, 5).toInt();
                QVERIFY2(number >= next, line.constData());
                dropped += number - next;
                next = number + 1;
                QCOMPARE(line.size(), 99);
                continue;
            }
            const QList<QByteArray> words = line.split(' ');
            QVERIFY2(line.contains("log lines were dropped here"), line.constData());
            // The count stands where the lines went missing.
            const qint64 said = words.value(1).toLongLong();
            QVERIFY(said > 0);
            dropped -= said;
        }
        dropped += count - next;
        QCOMPARE(dropped, 0);
        if (!readAsItGoes)
            QVERIFY2(lines.size() < count, "nothing was dropped, though the pipe was not read");
    }
};

LIRRA_TEST(LoggerTest)
#include "logger_test.moc"
