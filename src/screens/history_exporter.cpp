#include "history_exporter.h"

#include "model/localization.h"
#include "storage/file_worker.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>

namespace lirra {

namespace {

QString askWithDialog(QWidget *parent, ExportFormat format)
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (format == ExportFormat::json)
        return QFileDialog::getSaveFileName(parent, localized("export.asJson"), documents + QStringLiteral("/lirra.json"),
                                            localized("export.jsonFilter"));
    return QFileDialog::getExistingDirectory(parent, localized("export.asCsv"), documents);
}

void reportWithMessageBox(QWidget *parent, bool ok, const QString &text)
{
    if (ok)
        QMessageBox::information(parent, localized("export.title"), text);
    else
        QMessageBox::warning(parent, localized("export.title"), text);
}

struct Outcome {
    bool ok = false;
    QString text;
};

} // namespace

HistoryExporter::HistoryExporter(SessionsFolder sessionsFolder, std::shared_ptr<FileSystem> fs, AskPath askPath, Report report)
    : m_sessionsFolder(std::move(sessionsFolder))
    , m_fs(std::move(fs))
    , m_askPath(askPath ? std::move(askPath) : AskPath(askWithDialog))
    , m_report(report ? std::move(report) : Report(reportWithMessageBox))
{
}

QCoro::Task<> HistoryExporter::run(QPointer<QWidget> parent, ExportFormat format)
{
    if (*m_running)
        co_return;
    const std::shared_ptr<bool> running = m_running;
    const Report report = m_report;
    const QString path = m_askPath(parent, format);
    if (path.isEmpty())
        co_return;
    const Result<QString> folder = m_sessionsFolder();
    if (!folder) {
        report(parent, false, localized("export.failed").arg(folder.error().description));
        co_return;
    }
    *running = true;
    // Reading every history may take a while; the window goes on meanwhile.
    if (!m_worker)
        m_worker = std::make_shared<FileWorker>();
    const std::shared_ptr<FileWorker> worker = m_worker;
    // A named function: GCC 12 can destroy a temporary in an awaited
    // expression twice.
    std::function<Outcome()> job = [folder = *folder, fs = m_fs, path, format]() {
        const HistoryExport history = readHistory(folder, *fs);
        const Result<void> written =
            format == ExportFormat::json ? exportJson(history, path, *fs) : exportCsv(history, path, *fs);
        if (!written)
            return Outcome{false, localized("export.failed").arg(written.error().description)};
        QString text = localized("export.done")
                           .arg(counted((long long)history.sessionCount(), "count.sessions"),
                                counted((long long)history.levels.size(), "count.levels"), path);
        if (!history.skipped.isEmpty())
            text += QStringLiteral("\n\n") + localized("export.skipped") + QLatin1Char('\n')
                + history.skipped.join(QLatin1Char('\n'));
        return Outcome{true, text};
    };
    Outcome outcome = co_await worker->run(std::move(job));
    *running = false;
    report(parent, outcome.ok, outcome.text);
}

} // namespace lirra
