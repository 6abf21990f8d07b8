#pragma once

#include "model/error.h"
#include "model/music.h"
#include "storage/file_system.h"

#include <QByteArray>
#include <QCoroTask>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace lirra {

// A level and every session its file holds, oldest first.
struct ExportedLevel {
    Level level;
    std::vector<Session> sessions;
};

// All the practice the sessions folder holds, as far as it can be read.
struct HistoryExport {
    std::vector<ExportedLevel> levels;
    // What could not be read, one sentence each ("sessions_3.txt: 1 damaged
    // line skipped."); a file that could not be read at all is named too.
    QStringList skipped;
    // The files among them that could not be read at all: the export is
    // not the whole history.
    QStringList unreadable;

    std::size_t sessionCount() const;
    // Levels with any history, each once whatever lengths it was practised at.
    std::size_t levelCount() const;
};

// Reads the history of every built-in level and of every saved level in the
// sessions folder, each file whole, every line of it. Never fails: what
// cannot be read is left out and said in `skipped`, and a file that could not
// be read at all is named in `unreadable` too.
HistoryExport readHistory(const QString &sessionsFolder, FileSystem &fs);

// {"version": 1, "sessions": [{"level": 1, "title": "C major", "timestamp": …,
//  "notes": [{"note": "e", "octave": 1, "correct": 3, "wrong": 1}],
//  "confusions": []}]}; a saved level's sessions carry its "name" too.
QByteArray historyJson(const HistoryExport &history);
// One row per session and note, and one per session and confusion, with
// a header row each.
QByteArray sessionsCsv(const HistoryExport &history);
QByteArray confusionsCsv(const HistoryExport &history);

// The JSON to a file, or "sessions.csv" and "confusions.csv" into a folder
// (made when missing); each file written whole or not at all.
Result<void> exportJson(const HistoryExport &history, const QString &path, FileSystem &fs);
Result<void> exportCsv(const HistoryExport &history, const QString &folder, FileSystem &fs);

class FileWorker;

// Exports every level's history away from the caller's thread, on a worker
// made at the first export.
class HistoryWriter {
public:
    using SessionsFolder = std::function<Result<QString>()>;
    HistoryWriter(SessionsFolder sessionsFolder, std::shared_ptr<FileSystem> fs);

    enum class Format { json, csv };
    // What an export wrote, and what it could not read (see `HistoryExport`).
    struct Written {
        std::size_t sessions = 0;
        std::size_t levels = 0;
        QStringList skipped;
    };
    // The JSON to the file `path`, or the CSV files into the folder `path`.
    QCoro::Task<Result<Written>> write(Format format, QString path);

private:
    SessionsFolder m_sessionsFolder;
    std::shared_ptr<FileSystem> m_fs;
    std::shared_ptr<FileWorker> m_worker;
};

} // namespace lirra
