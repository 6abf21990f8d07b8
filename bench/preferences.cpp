// How quickly the preferences open and an instrument changes. Times Ctrl+,
// to the first paint of the instrument list in the real app (the first time,
// which builds the dialog and lists the bank, and again after Escape), then
// how long the player takes to put each melodic instrument of the bank on
// its channels (the samples load then, on the caller's thread).
// Usage: preferences [--runs N]
// Prints, as its last line:
//   preferences first_open_ms=<a> reopen_ms_median=<b> instruments=<n> switch_ms_median=<c> switch_ms_max=<d>
#include "audio/midi_note_player.h"
#include "core/app_loop.h"
#include "core/production_environment.h"
#include "screens/app.h"
#include "screens/app_delegate.h"
#include "screens/preferences_dialog.h"

#include "first_paint.h"
#include "measures.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QListView>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>

using namespace lirra;
using lirra::bench::FirstPaint;
using lirra::bench::spinUntil;

namespace {

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const int runs = std::max(1, arguments.value(arguments.indexOf(QStringLiteral("--runs")) + 1).toInt());

    QTemporaryDir home;
    EnvironmentSetup setup = offlineSetup(home.path());
    setup.preferences->setBool(true, PreferenceKey::hasSeenOnboarding);
    InputSetup input;
    input.midi = false;
    AppDelegate app(setup, input);
    app.applicationDidFinishLaunching();
    if (!spinUntil([&] { return app.loop()->state().level.has_value(); }) || !QTest::qWaitForWindowActive(app.window()))
        qFatal("the app did not start");

    std::vector<double> reopen;
    double first = -1;
    for (int run = 0; run <= runs; ++run) {
        app.window()->activateWindow();
        static_cast<void>(QTest::qWaitForWindowActive(app.window()));
        FirstPaint painted([](QWidget *viewport) {
            auto *list = qobject_cast<QListView *>(viewport->parentWidget());
            return list && list->viewport() == viewport && qobject_cast<PreferencesDialog *>(list->window());
        });
        application.installEventFilter(&painted);
        painted.clock.start();
        QTest::keyClick(app.window(), Qt::Key_Comma, Qt::ControlModifier);
        if (!spinUntil([&] { return painted.ms >= 0; }, 10000))
            qFatal("the instrument list did not paint");
        application.removeEventFilter(&painted);
        (run == 0 ? first : reopen.emplace_back()) = painted.ms;
        std::printf("open %d: %.1f ms\n", run, painted.ms);
        PreferencesDialog *dialog = app.app()->builtPreferencesDialog();
        QTest::keyClick(dialog->instrumentFilter(), Qt::Key_Escape);
        spinUntil([&] { return !dialog->isVisible(); });
    }

    MIDINotePlayer::Options options;
    options.output = MIDINotePlayer::Output::offline;
    MIDINotePlayer player(options);
    bool ready = false;
    [](MIDINotePlayer &p, bool &done) -> QCoro::Task<> {
        co_await p.prepare();
        done = true;
    }(player, ready);
    spinUntil([&] { return ready; });
    std::vector<double> switches;
    Settings settings;
    for (const InstrumentChoice &choice : player.instruments()) {
        settings.instrument = choice.preset;
        QElapsedTimer clock;
        clock.start();
        player.apply(settings);
        switches.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("preferences first_open_ms=%.1f reopen_ms_median=%.1f instruments=%zu switch_ms_median=%.2f switch_ms_max=%.1f\n",
                first, bench::median(reopen), switches.size(), bench::median(switches),
                switches.empty() ? 0.0 : *std::max_element(switches.begin(), switches.end()));
    return 0;
}
