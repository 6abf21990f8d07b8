#include "logger.h"

#include <QLoggingCategory>

namespace lirra {

bool StandardErrorLogger::isEnabled(LogLevel level) const
{
    const QLoggingCategory *category = QLoggingCategory::defaultCategory();
    switch (level) {
    case LogLevel::standard: return category->isInfoEnabled();
    case LogLevel::warning: return category->isWarningEnabled();
    case LogLevel::error: return category->isCriticalEnabled();
    }
    return false;
}

void StandardErrorLogger::write(LogLevel level, const QString &line)
{
    switch (level) {
    case LogLevel::standard: qInfo("%s", qUtf8Printable(line)); break;
    case LogLevel::warning: qWarning("%s", qUtf8Printable(line)); break;
    case LogLevel::error: qCritical("%s", qUtf8Printable(line)); break;
    }
}

} // namespace lirra
