// Runs a practice session through the real loop, effect handler, practice
// manager and session files in a temporary home, with the note player
// rendering offline, and saves what a user would have heard as a WAV file.
// Usage: record_session [output.wav] [questions]
// Prints, as its last line:
//   record_session audio_s=<x> wall_s=<y> speed_x=<z> wav=<path>
#include "loop_driver.h"

#include "core/app_loop.h"
#include "core/production_environment.h"
#include "model/localization.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

using namespace lirra;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    installTranslations();
    const QStringList arguments = app.arguments();
    const QString output = arguments.value(1, QStringLiteral("record_session.wav"));
    const int questions = arguments.value(2, QStringLiteral("8")).toInt();

    QTemporaryDir home;
    const AppEnvironment environment = makeEnvironment(offlineSetup(home.path()));
    auto *player = static_cast<MIDINotePlayer *>(environment.notePlayer.get());
    AppLoop loop(environment, AppState{});

    QElapsedTimer wallClock;
    wallClock.start();
    bench::LoopDriver user(loop);
    user.start();
    user.startSession();
    for (int i = 0; i < questions; ++i)
        user.answer(i % 2 == 0);
    user.stop();
    const double wallSeconds = double(wallClock.nsecsElapsed()) / 1e9;

    if (auto saved = player->saveRecording(output); !saved)
        qFatal("%s", qPrintable(saved.error().description));
    const double audioSeconds = double(player->recordedFrames()) / player->sampleRate();
    std::printf("questions=%d score=%lld/%lld\n", questions, static_cast<long long>(loop.state().correctIdentifications),
                static_cast<long long>(loop.state().questionsCount));
    // The session's loudest sample, as a mixer's meter shows it.
    float peak = 0;
    for (float sample : player->recording())
        peak = std::max(peak, std::fabs(sample));
    const double peakDbfs = peak > 0 ? 20.0 * std::log10(double(peak)) : -INFINITY;
    std::printf("record_session audio_s=%.1f wall_s=%.3f speed_x=%.0f peak_dbfs=%.1f clipped=%s wav=%s\n", audioSeconds,
                wallSeconds, audioSeconds / wallSeconds, peakDbfs, peak >= 1.0f ? "yes" : "no",
                qPrintable(QFileInfo(output).absoluteFilePath()));
    return 0;
}
