// Runs a practice session through the real loop, effect handler, practice
// manager and session files in a temporary home, with the note player
// rendering offline, and saves what a user would have heard as a WAV file.
// Usage: record_session [output.wav] [questions]
// Prints, as its last line:
//   record_session audio_s=<x> wall_s=<y> speed_x=<z> wav=<path>
#include "core/app_loop.h"
#include "core/production_environment.h"
#include "model/localization.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

using namespace lirra;

namespace {

void spinUntil(const AppLoop &loop, const std::function<bool(const AppState &)> &condition)
{
    while (!condition(loop.state())) {
        if (loop.state().hasError)
            qFatal("the session failed: %s", qPrintable(loop.state().error->description));
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

} // namespace

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
    loop.send(actions::didLoad{});
    spinUntil(loop, [](const AppState &s) { return s.level.has_value(); });
    while (loop.state().currentTip)
        loop.send(actions::didDismissTip{});

    loop.send(actions::didPressStartStopLevelButton{});
    for (int i = 0; i < questions; ++i) {
        spinUntil(loop, [](const AppState &s) { return s.question && s.isInteractionEnabled; });
        const Question question = *loop.state().question;
        if (i % 2 == 0) {
            // A wrong key first: the neighbouring note of the level.
            const std::vector<Note> &notes = loop.state().level->notes;
            const Note wrong = question.answer == notes.front() ? notes.back() : notes.front();
            loop.send(actions::didPressNote{wrong});
            spinUntil(loop, [](const AppState &s) { return s.isInteractionEnabled; });
        }
        loop.send(actions::didPressNote{question.answer});
        spinUntil(loop, [&](const AppState &s) { return s.question && s.question->id != question.id; });
    }
    spinUntil(loop, [](const AppState &s) { return s.isInteractionEnabled; });
    loop.send(actions::didPressStartStopLevelButton{});
    spinUntil(loop, [](const AppState &s) { return !s.isPracticing && s.level && !s.level->sessions.empty(); });
    const double wallSeconds = double(wallClock.nsecsElapsed()) / 1e9;

    if (auto saved = player->saveRecording(output); !saved)
        qFatal("%s", qPrintable(saved.error().description));
    const double audioSeconds = double(player->recordedFrames()) / player->sampleRate();
    std::printf("questions=%d score=%lld/%lld\n", questions, static_cast<long long>(loop.state().correctIdentifications),
                static_cast<long long>(loop.state().questionsCount));
    std::printf("record_session audio_s=%.1f wall_s=%.3f speed_x=%.0f wav=%s\n", audioSeconds, wallSeconds,
                audioSeconds / wallSeconds, qPrintable(QFileInfo(output).absoluteFilePath()));
    return 0;
}
