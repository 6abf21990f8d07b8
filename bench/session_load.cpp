// Times loading a level's history from a short and from a very long session
// file, and from 200 MB of damage (random bytes, NULs, invalid UTF-8) followed
// by 150 sessions. Prints, as its last line:
//   session_load ratio_1M_to_100=<x> small_ms=<a> large_ms=<b> damaged_200mb_ms=<c>
#include "practice/file_session_storage.h"

#include <QCoreApplication>
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

// 200 MB of random bytes, then 150 whole lines.
void writeDamagedFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    QByteArray block(1 << 20, Qt::Uninitialized);
    QRandomGenerator random(7);
    for (int i = 0; i < 200; ++i) {
        random.fillRange(reinterpret_cast<quint32 *>(block.data()), block.size() / 4);
        file.write(block);
    }
    Session session{1733472000.5, {{Note{NoteName::g, 1}, Score{1, 1}}}};
    QByteArray tail = "\n";
    for (int i = 0; i < 150; ++i, session.timestamp += 60)
        tail += FileSessionStorage::formatLine(session);
    file.write(tail);
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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir documents;
    const QString folder = documents.filePath(QStringLiteral("lirra_sessions"));
    QDir().mkpath(folder);
    writeFile(folder + QStringLiteral("/sessions_1.txt"), 100);
    writeFile(folder + QStringLiteral("/sessions_2.txt"), 1000000);
    writeDamagedFile(folder + QStringLiteral("/sessions_3.txt"));
    const QString root = documents.path();
    const FileSessionStorage storage([root]() -> Result<QString> { return root; });

    const int runs = 31;
    medianMs(storage, 1, 3); // warm the page cache and the code
    medianMs(storage, 2, 3);
    medianMs(storage, 3, 3);
    const double small = medianMs(storage, 1, runs);
    const double large = medianMs(storage, 2, runs);
    const double damaged = medianMs(storage, 3, runs);
    const double append = appendMedianMs(storage, 4, 200);
    std::printf("append_ms=%.3f\n", append);
    std::printf("runs=%d file_bytes_large=%lld\n", runs,
                static_cast<long long>(QFileInfo(folder + QStringLiteral("/sessions_2.txt")).size()));
    std::printf("session_load ratio_1M_to_100=%.2f small_ms=%.3f large_ms=%.3f damaged_200mb_ms=%.3f\n", large / small,
                small, large, damaged);
    return 0;
}
