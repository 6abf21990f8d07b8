#pragma once

#include "storage/file_system.h"
#include "storage/history_export.h"

#include <QCoroTask>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

namespace lirra {

class FileWorker;

// Exports every level's history from the window: asks where, reads and
// writes away from the window's thread, and says how it went (what was
// written, what could not be read, or why nothing was written).
class HistoryExporter {
public:
    using SessionsFolder = std::function<Result<QString>()>;
    // Where to write, or empty when the user cancelled: a JSON file, or a
    // folder for the CSV files. A file dialog by default.
    using AskPath = std::function<QString(QWidget *parent, ExportFormat format)>;
    // Tells the outcome: a message box by default.
    using Report = std::function<void(QWidget *parent, bool ok, const QString &text)>;

    HistoryExporter(SessionsFolder sessionsFolder, std::shared_ptr<FileSystem> fs, AskPath askPath = {},
                    Report report = {});

    QCoro::Task<> run(QPointer<QWidget> parent, ExportFormat format);
    bool isRunning() const { return *m_running; }

private:
    SessionsFolder m_sessionsFolder;
    std::shared_ptr<FileSystem> m_fs;
    AskPath m_askPath;
    Report m_report;
    // Shared with a run under way, which may outlive the exporter.
    std::shared_ptr<bool> m_running = std::make_shared<bool>(false);
    // Its thread, made at the first export.
    std::shared_ptr<FileWorker> m_worker;
};

} // namespace lirra
