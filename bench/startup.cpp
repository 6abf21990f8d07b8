// Start-up of the real app against a bare Qt Widgets window: each is started
// in turn (offscreen), the app with its live output on whatever sound server
// the environment names, and timed from the start of the process to its
// first main-screen state (the log line of the first level) or, for the bare
// window, to its first paint. The bare window shows one line of text in its
// toolbar, as every window does in its title; the figure against a window
// without any text (which never loads a font) is printed too. The app starts
// as it does every day after the first: its tour already seen. The app's peak resident memory is read a
// second and a half after its first level has loaded, when its instrument
// has loaded too.
// Usage: startup [runs=7] [app=<dir of this program>/../src/lirra]
// Prints, as its last line:
//   startup app_ms=<a> bare_ms=<b> ratio=<a/b> textless_ms=<c> ratio_textless=<a/c> app_peak_rss_mb=<r>
#include "measures.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using lirra::bench::median;
using lirra::bench::peakRssMb;

namespace {

struct Start {
    double ms = 0;
    double rssMb = 0;
};

// Starts the program and waits for `line` on its standard error.
Start timeTo(const QString &program, const QStringList &arguments, const QByteArray &line, const QString &home,
             int settleMs = 0)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    process.setProcessEnvironment(environment);
    process.setReadChannel(QProcess::StandardError);
    QByteArray seen;
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    Start start;
    while (!seen.contains(line)) {
        if (!process.waitForReadyRead(20000))
            qFatal("%s never wrote %s; it wrote: %s", qPrintable(program), line.constData(), seen.constData());
        seen += process.readAllStandardError();
    }
    start.ms = double(clock.nsecsElapsed()) / 1e6;
    if (settleMs > 0) {
        process.waitForFinished(settleMs);
        start.rssMb = peakRssMb(QString::number(process.processId()));
    }
    process.kill();
    process.waitForFinished();
    return start;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const int runs = arguments.value(1, QStringLiteral("7")).toInt();
    const QString here = QCoreApplication::applicationDirPath();
    const QString app = arguments.value(2, here + QStringLiteral("/../src/lirra"));
    const QString bare = here + QStringLiteral("/bare_window");

    QTemporaryDir home;
    QDir().mkpath(home.filePath(QStringLiteral(".config/lirra")));
    QFile preferences(home.filePath(QStringLiteral(".config/lirra/lirra.json")));
    if (!preferences.open(QIODevice::WriteOnly) || preferences.write("{\"user.has.seen.onboarding\": true}\n") < 0)
        qFatal("cannot write the preferences");
    preferences.close();
    std::vector<double> appMs, bareMs, textlessMs, rss;
    timeTo(bare, {}, "painted", home.path()); // the libraries into the page cache
    timeTo(app, {}, "didLoadLevel", home.path());
    for (int i = 0; i < runs; ++i) {
        const Start a = timeTo(app, {}, "didLoadLevel", home.path(), 1500);
        const Start b = timeTo(bare, {}, "painted", home.path());
        const Start c = timeTo(bare, {QStringLiteral("--no-text")}, "painted", home.path());
        appMs.push_back(a.ms);
        rss.push_back(a.rssMb);
        bareMs.push_back(b.ms);
        textlessMs.push_back(c.ms);
        std::printf("run %d: app %.1f ms (%.1f MB), bare window %.1f ms, without text %.1f ms\n", i + 1, a.ms, a.rssMb,
                    b.ms, c.ms);
    }
    const double a = median(appMs);
    const double b = median(bareMs);
    const double c = median(textlessMs);
    std::printf("startup app_ms=%.1f bare_ms=%.1f ratio=%.2f textless_ms=%.1f ratio_textless=%.2f app_peak_rss_mb=%.1f\n",
                a, b, a / b, c, a / c, median(rss));
    return 0;
}
