// How long the list of levels takes to open with a full history: the app
// (real window, loop, files) over a home whose sessions folder holds a
// 100-line history for each of the 144 built-in levels and for 100 saved
// levels. Times Ctrl+G to the end of the list's first paint, the first
// time (the histories on show read from disk) and again after Escape.
// Usage: level_chooser [--runs N]
// Prints, as its last line:
//   level_chooser first_open_ms=<a> reopen_ms_median=<b> histories_read=<c> levels=<d>
#include "core/app_loop.h"
#include "core/production_environment.h"
#include "model/generators.h"
#include "screens/app.h"
#include "screens/app_delegate.h"
#include "screens/level_chooser.h"
#include "storage/file_session_storage.h"
#include "storage/saved_levels.h"
#include "storage/settings_preferences.h"

#include "first_paint.h"
#include "measures.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <cstdio>

using namespace lirra;
using lirra::bench::FirstPaint;
using lirra::bench::spinUntil;

namespace {

QByteArray history(int seed)
{
    QByteArray lines;
    for (int i = 0; i < 100; ++i) {
        Session session{1.7e9 + seed * 1000.0 + i * 60.0, {}};
        session.score[Note{NoteName::c, 1}] = Score{(i + seed) % 7, i % 3};
        session.score[Note{NoteName::e, 1}] = Score{i % 5, (i + seed) % 4};
        lines += FileSessionStorage::formatLine(session);
    }
    return lines;
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const int runs = std::max(1, arguments.value(arguments.indexOf(QStringLiteral("--runs")) + 1).toInt());

    QTemporaryDir home;
    EnvironmentSetup setup = offlineSetup(home.path());
    setup.preferences->setBool(true, PreferenceKey::hasSeenOnboarding);
    const QString folder = home.filePath(QStringLiteral("Documents/lirra_sessions"));
    QDir().mkpath(folder);
    for (int id = 1; id <= 144; ++id)
        write(folder + QStringLiteral("/sessions_%1.txt").arg(id), history(id));
    std::vector<Level> saved;
    for (int i = 0; i < 100; ++i) {
        Level level = DiatonicLevelGenerator::makeLevel(0, allNoteNames[size_t(i % 12)], i % 2 == 0, false,
                                                        NoteRange::entireOctave);
        level.savedId = QUuid::createUuid();
        level.id = savedLevelId(level.savedId);
        level.name = QStringLiteral("Drill %1").arg(i + 1);
        level.notes.resize(3);
        write(folder + QLatin1Char('/') + HistoryFile::of(level).fileName(), history(1000 + i));
        saved.push_back(level);
    }
    write(folder + QStringLiteral("/my_levels.json"), SavedLevelStore::format(saved));

    InputSetup input;
    input.midi = false;
    AppDelegate app(setup, input);
    app.applicationDidFinishLaunching();
    if (!spinUntil([&] { return app.loop()->state().level.has_value(); }) || !QTest::qWaitForWindowActive(app.window()))
        qFatal("the app did not start");

    std::vector<double> reopen;
    double first = -1;
    int read = 0;
    int levels = 0;
    for (int run = 0; run <= runs; ++run) {
        spinUntil([&] { return QApplication::activeWindow() == app.window(); }, 5000);
        FirstPaint painted([](QWidget *viewport) {
            auto *tree = viewport->parentWidget() ? qobject_cast<QTreeView *>(viewport->parentWidget()) : nullptr;
            return tree && tree->viewport() == viewport;
        });
        // On the whole app: the first run builds the list.
        application.installEventFilter(&painted);
        painted.clock.start();
        QTest::keyClick(app.window(), Qt::Key_G, Qt::ControlModifier);
        if (!spinUntil([&] { return painted.ms >= 0; }, 10000))
            qFatal("the list did not paint");
        application.removeEventFilter(&painted);
        LevelChooser *chooser = app.app()->builtLevelChooser();
        read = chooser->model()->summariesRead();
        levels = chooser->model()->levelCount();
        if (run == 0)
            first = painted.ms;
        else
            reopen.push_back(painted.ms);
        std::printf("run %d: %.1f ms, %d histories read for the rows on show\n", run, painted.ms, read);
        QTest::keyClick(chooser->filterField(), Qt::Key_Escape);
        spinUntil([&] { return !chooser->isVisible(); });
    }
    std::printf("level_chooser first_open_ms=%.1f reopen_ms_median=%.1f histories_read=%d levels=%d\n", first,
                bench::median(reopen), read, levels);
    return 0;
}
