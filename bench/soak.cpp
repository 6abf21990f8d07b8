// Long use: plays questions through the real loop, effect handler, practice
// manager, session files and preferences, with the note player rendering
// offline in virtual time (the audio is rendered but not kept). Answers wrong
// then right and right at once by turns, and stops and starts the session
// every 50 questions, checking each stop's score.
// Usage: soak [questions=10000]
// Prints, as its last line:
//   soak questions=<n> stops=<s> audio_h=<h> wall_s=<w> rss_q1000_mb=<a> rss_end_mb=<b> growth_pct=<g>
// Exits with 1 when a stop's score is wrong.
#include "loop_driver.h"
#include "measures.h"

#include "core/production_environment.h"
#include "model/localization.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <cstdio>

using namespace lirra;
using bench::peakRssMb;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    installTranslations();
    // Warnings and errors only: a line per action would be 100,000 lines.
    QLoggingCategory::setFilterRules(QStringLiteral("default.info=false"));
    const int questions = app.arguments().value(1, QStringLiteral("10000")).toInt();
    constexpr int perSession = 50;

    QTemporaryDir home;
    EnvironmentSetup setup = offlineSetup(home.path());
    setup.player.keepRecording = false;
    const AppEnvironment environment = makeEnvironment(setup);
    auto *player = static_cast<MIDINotePlayer *>(environment.notePlayer.get());
    AppLoop loop(environment, AppState{});
    bench::LoopDriver user(loop);

    QElapsedTimer wallClock;
    wallClock.start();
    user.start();
    double rssAt1000 = 0;
    int stops = 0;
    bool scoresRight = true;
    for (int q = 1; q <= questions; ++q) {
        if ((q - 1) % perSession == 0)
            user.startSession();
        user.answer(q % 2 == 1);
        if (q == 1000)
            rssAt1000 = peakRssMb();
        if (q % perSession == 0 || q == questions) {
            const Session stopped = user.stop();
            ++stops;
            std::int64_t right = 0, wrong = 0;
            for (const auto &[note, score] : stopped.score) {
                right += score.correct;
                wrong += score.wrong;
            }
            const int asked = (q - 1) % perSession + 1;
            if (wrong != (asked + 1) / 2 || right != asked / 2) {
                std::fprintf(stderr, "stop %d: %lld right, %lld wrong of %d\n", stops, static_cast<long long>(right),
                             static_cast<long long>(wrong), asked);
                scoresRight = false;
            }
        }
    }
    const double rssEnd = peakRssMb();
    const double wallSeconds = double(wallClock.nsecsElapsed()) / 1e9;
    const double audioHours = double(player->recordedFrames()) / player->sampleRate() / 3600.0;
    const double base = rssAt1000 > 0 ? rssAt1000 : rssEnd;
    std::printf("soak questions=%d stops=%d audio_h=%.2f wall_s=%.1f rss_q1000_mb=%.1f rss_end_mb=%.1f growth_pct=%.2f\n",
                questions, stops, audioHours, wallSeconds, rssAt1000, rssEnd, 100.0 * (rssEnd - base) / base);
    return scoresRight ? 0 : 1;
}
