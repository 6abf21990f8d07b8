// Writes sessions through the real storage, as another running app would.
//   append <documents> <level id> <count> <first timestamp>
//       appends `count` sessions, then exits.
//   forever <documents> <level id> <first timestamp>
//       appends until killed, printing each timestamp once its append has
//       returned.
//   fsize <documents>
//       runs the practice manager under a file size limit that the second
//       session's line crosses; prints one line per stop.
//   levels <documents> <tag> <rounds>
//       saves a level of its own named "<tag> <round>" each round, renames
//       it "<tag> <round> renamed", and deletes it again every third round.
#include "support/memory_preferences.h"

#include "model/localization.h"
#include "practice/cyclic_practice_manager.h"
#include "storage/file_session_storage.h"
#include "storage/saved_levels.h"
#include "storage/session_journal.h"

#include <QCoreApplication>
#include <QCoroTask>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

using namespace lirra;

namespace {

// Long lines make an interleaved write likely if writes were not whole.
Session longSession(double timestamp, int i)
{
    Session session{timestamp, {}};
    for (NoteName name : allNoteNames) {
        for (std::uint8_t octave = 0; octave < 20; ++octave)
            session.score[Note{name, octave}] = Score{i, octave};
    }
    return session;
}

int append(const FileSessionStorage &storage, qint64 level, double first, int count, bool report)
{
    for (int i = 0; count < 0 || i < count; ++i) {
        if (auto saved = storage.save(longSession(first + i, i), level); !saved) {
            std::fprintf(stderr, "%s\n", qPrintable(saved.error().description));
            return 1;
        }
        if (report) {
            std::printf("%.1f\n", first + i);
            std::fflush(stdout);
        }
    }
    return 0;
}

bool limitFileSize(rlim_t bytes)
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = std::min(bytes, limit.rlim_max);
    return setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

int stopUnderALimit(const QString &documents)
{
    std::signal(SIGXFSZ, SIG_IGN);
    auto storage = std::make_shared<FileSessionStorage>([documents]() -> Result<QString> { return documents; });
    CyclicPracticeManager::Collaborators with;
    with.storage = storage;
    with.preferences = std::make_shared<test::MemoryPreferences>();
    double clock = 1000;
    with.now = [&clock] { return clock += 1000; };
    CyclicPracticeManager manager(with);
    const auto level = QCoro::waitFor(manager.prepareToPractice());
    if (!level)
        return 1;
    const QString file = documents + QStringLiteral("/lirra_sessions/sessions_%1.txt").arg(level->id);
    for (int stop = 1; stop <= 3; ++stop) {
        QCoro::waitFor(manager.startSession());
        const auto question = QCoro::waitFor(manager.loadNextQuestion());
        QCoro::waitFor(manager.logRightAnswer(*question));
        if (stop == 2 && !limitFileSize(rlim_t(QFileInfo(file).size() + 5)))
            return 1;
        if (stop == 3 && !limitFileSize(RLIM_INFINITY))
            return 1;
        const auto stopped = QCoro::waitFor(manager.stopSession());
        if (stopped)
            std::printf("stop %d: %zu sessions\n", stop, stopped->sessions.size());
        else
            std::printf("stop %d: %s\n", stop, qPrintable(stopped.error().description));
    }
    return 0;
}

int changeLevels(const QString &documents, const QString &tag, int rounds)
{
    auto storage = std::make_shared<FileSessionStorage>([documents]() -> Result<QString> { return documents; });
    CyclicPracticeManager::Collaborators with;
    with.storage = storage;
    with.preferences = std::make_shared<test::MemoryPreferences>();
    with.savedLevels = std::make_shared<SavedLevelStore>([storage]() { return storage->sessionsFolder(); });
    CyclicPracticeManager manager(with);
    const auto first = QCoro::waitFor(manager.prepareToPractice());
    if (!first)
        return 1;
    for (int round = 0; round < rounds; ++round) {
        Level narrowing = *first;
        narrowing.isCustom = true;
        narrowing.notes.resize(2);
        const QString name = QStringLiteral("%1 %2").arg(tag).arg(round);
        const auto saved = QCoro::waitFor(manager.saveLevel(narrowing, name));
        const auto renamed = saved ? QCoro::waitFor(manager.renameLevel(saved->id, name + QStringLiteral(" renamed")))
                                   : saved;
        const auto deleted = renamed && round % 3 == 0 ? QCoro::waitFor(manager.deleteLevel(saved->id)) : renamed;
        if (!deleted) {
            std::fprintf(stderr, "%s\n", qPrintable(deleted.error().description));
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    installTranslations();
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2)
        return 2;
    const QString mode = args[0];
    const QString documents = args[1];
    const FileSessionStorage storage([documents]() -> Result<QString> { return documents; });
    if (mode == QLatin1String("append") && args.size() == 5)
        return append(storage, args[2].toLongLong(), args[4].toDouble(), args[3].toInt(), false);
    if (mode == QLatin1String("forever") && args.size() == 4)
        return append(storage, args[2].toLongLong(), args[3].toDouble(), -1, true);
    if (mode == QLatin1String("fsize"))
        return stopUnderALimit(documents);
    if (mode == QLatin1String("levels") && args.size() == 4)
        return changeLevels(documents, args[2], args[3].toInt());
    return 2;
}
