#pragma once

// The window's side of exporting every level's history: it asks where, and
// tells what the export came to. The export itself is an effect of the loop.

#include "core/app_state.h"

#include <QString>

#include <functional>

class QWidget;

namespace lirra {

// Where to write, or empty when the user cancelled: a JSON file, or a
// folder for the CSV files.
using AskExportPath = std::function<QString(QWidget *parent, ExportFormat format)>;
// Tells an export's outcome: whether it was written, and in words.
using ReportExport = std::function<void(QWidget *parent, bool written, const QString &text)>;

// A file dialog.
QString askExportPathWithDialog(QWidget *parent, ExportFormat format);
// A message box.
void reportExportWithMessageBox(QWidget *parent, bool written, const QString &text);

// What was written and where, and what could not be read; or why nothing
// was written.
QString exportText(const ExportOutcome &outcome);

} // namespace lirra
