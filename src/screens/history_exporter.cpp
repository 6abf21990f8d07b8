#include "history_exporter.h"

#include "model/localization.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>

namespace lirra {

QString askExportPathWithDialog(QWidget *parent, ExportFormat format)
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (format == ExportFormat::json)
        return QFileDialog::getSaveFileName(parent, localized("export.asJson"), documents + QStringLiteral("/lirra.json"),
                                            localized("export.jsonFilter"));
    return QFileDialog::getExistingDirectory(parent, localized("export.asCsv"), documents);
}

void reportExportWithMessageBox(QWidget *parent, bool written, const QString &text)
{
    if (written)
        QMessageBox::information(parent, localized("export.title"), text);
    else
        QMessageBox::warning(parent, localized("export.title"), text);
}

QString exportText(const ExportOutcome &outcome)
{
    if (!outcome.failure.isEmpty())
        return localized("export.failed").arg(outcome.failure);
    QString text = localized("export.done")
                       .arg(counted((long long)outcome.sessions, "count.sessions"),
                            counted((long long)outcome.levels, "count.levels"), outcome.path);
    if (!outcome.skipped.isEmpty())
        text += QStringLiteral("\n\n") + localized("export.skipped") + QLatin1Char('\n')
            + outcome.skipped.join(QLatin1Char('\n'));
    return text;
}

} // namespace lirra
