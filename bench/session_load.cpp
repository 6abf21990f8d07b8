// Times loading a level's history from a short and from a very long session
// file, from 200 MB of damage (random bytes, NULs, invalid UTF-8) followed by
// 150 sessions, from a sparse 1 GB file of NULs, from 64 MB of blank lines
// and from 150 sessions followed by 64 MB of damage, which the load reads
// through to the good lines before it (each of these three in a fresh
// process, with the peak memory the load added to it), and one append with
// its sync to disk. Prints, as its last line:
//   session_load ratio_1M_to_100=<x> small_ms=<a> large_ms=<b> damaged_200mb_ms=<c>
//     nul_1gb_ms=<d> nul_1gb_added_mb=<e> blank_64mb_ms=<f> blank_64mb_added_mb=<g>
//     damage_after_64mb_ms=<i> damage_after_64mb_added_mb=<j> append_ms=<h>
#include "storage/file_session_storage.h"

#include "measures.h"

#include <QCoreApplication>
#include <QProcess>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace lirra;

namespace {

void writeFile(const QString &path, int lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    Session session{1733472000.5, {}};
    for (NoteName name : {NoteName::c, NoteName::d, NoteName::e, NoteName::f})
        session.score[Note{name, 1}] = Score{7, 2};
    QByteArray block;
    for (int i = 0; i < lines; ++i) {
        session.timestamp += 60;
        block += FileSessionStorage::formatLine(session);
        if (block.size() > (1 << 20)) {
            file.write(block);
            block.clear();
        }
    }
    file.write(block);
}

// `megabytes` of random bytes and 150 whole lines, the damage first or last.
void writeDamagedFile(const QString &path, int megabytes, bool damageFirst)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    Session session{1733472000.5, {{Note{NoteName::g, 1}, Score{1, 1}}}};
    QByteArray lines = "\n";
    for (int i = 0; i < 150; ++i, session.timestamp += 60)
        lines += FileSessionStorage::formatLine(session);
    if (!damageFirst)
        file.write(lines);
    QByteArray block(1 << 20, Qt::Uninitialized);
    QRandomGenerator random(7);
    for (int i = 0; i < megabytes; ++i) {
        random.fillRange(reinterpret_cast<quint32 *>(block.data()), block.size() / 4);
        file.write(block);
    }
    if (damageFirst)
        file.write(lines);
}

double medianMs(const FileSessionStorage &storage, std::int64_t level, int runs)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const auto sessions = storage.load(level);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (!sessions || sessions->size() != 100)
            qFatal("unexpected load result");
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Median time of one append through the storage, over `count` sessions
// saved one after another to a level's file.
double appendMedianMs(const FileSessionStorage &storage, std::int64_t level, int count)
{
    std::vector<double> times;
    Session session{1733472000.5, {}};
    for (NoteName name : {NoteName::c, NoteName::d, NoteName::e, NoteName::f})
        session.score[Note{name, 1}] = Score{7, 2};
    for (int i = 0; i < count; ++i) {
        session.timestamp += 60;
        QElapsedTimer timer;
        timer.start();
        if (!storage.save(session, level))
            qFatal("an append failed");
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// In this process: loads the level once, prints "<ms> <added peak MB>".
int loadOnce(const QString &root, std::int64_t level)
{
    const FileSessionStorage storage([root]() -> Result<QString> { return root; });
    const double before = lirra::bench::statusMb("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    const auto sessions = storage.load(level);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (!sessions)
        qFatal("the load failed: %s", qPrintable(sessions.error().description));
    std::printf("%.3f %.2f\n", ms, lirra::bench::peakRssMb() - before);
    return 0;
}

// Median time and added peak memory of loading a level, each run in a fresh process.
std::pair<double, double> inFreshProcesses(const QString &root, std::int64_t level, int runs)
{
    std::vector<double> times, added;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--load"), root, QString::number(level)});
        if (!child.waitForFinished(60000) || child.exitCode() != 0)
            qFatal("a load in a child process failed");
        const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
        times.push_back(figures.value(0).toDouble());
        added.push_back(figures.value(1).toDouble());
    }
    return {lirra::bench::median(times), lirra::bench::median(added)};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--load")
        return loadOnce(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toLongLong());
    QTemporaryDir documents;
    const QString folder = documents.filePath(QStringLiteral("lirra_sessions"));
    QDir().mkpath(folder);
    writeFile(folder + QStringLiteral("/sessions_1.txt"), 100);
    writeFile(folder + QStringLiteral("/sessions_2.txt"), 1000000);
    writeDamagedFile(folder + QStringLiteral("/sessions_3.txt"), 200, true);
    writeDamagedFile(folder + QStringLiteral("/sessions_7.txt"), 64, false);
    {
        QFile sparse(folder + QStringLiteral("/sessions_5.txt"));
        if (!sparse.open(QIODevice::WriteOnly) || !sparse.resize(qint64(1) << 30))
            qFatal("cannot make the sparse file");
        QFile blank(folder + QStringLiteral("/sessions_6.txt"));
        if (!blank.open(QIODevice::WriteOnly))
            qFatal("cannot write the blank lines");
        const QByteArray block(1 << 20, '\n');
        for (int i = 0; i < 64; ++i)
            blank.write(block);
    }
    const QString root = documents.path();
    const FileSessionStorage storage([root]() -> Result<QString> { return root; });

    const int runs = 31;
    medianMs(storage, 1, 3); // warm the page cache and the code
    medianMs(storage, 2, 3);
    medianMs(storage, 3, 3);
    const double small = medianMs(storage, 1, runs);
    const double large = medianMs(storage, 2, runs);
    const double damaged = medianMs(storage, 3, runs);
    const auto [nulMs, nulMb] = inFreshProcesses(root, 5, 7);
    const auto [blankMs, blankMb] = inFreshProcesses(root, 6, 7);
    const auto [afterMs, afterMb] = inFreshProcesses(root, 7, 7);
    const double append = appendMedianMs(storage, 4, 200);
    std::printf("runs=%d file_bytes_large=%lld\n", runs,
                static_cast<long long>(QFileInfo(folder + QStringLiteral("/sessions_2.txt")).size()));
    std::printf("session_load ratio_1M_to_100=%.2f small_ms=%.3f large_ms=%.3f damaged_200mb_ms=%.3f nul_1gb_ms=%.3f "
                "nul_1gb_added_mb=%.2f blank_64mb_ms=%.3f blank_64mb_added_mb=%.2f damage_after_64mb_ms=%.3f "
                "damage_after_64mb_added_mb=%.2f append_ms=%.3f\n",
                large / small, small, large, damaged, nulMs, nulMb, blankMs, blankMb, afterMs, afterMb, append);
    return 0;
}
