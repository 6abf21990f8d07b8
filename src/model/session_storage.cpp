#include "session_storage.h"

namespace lirra {

QString HistoryFile::fileName() const
{
    const QString melodies = length > 1 ? QStringLiteral("_n%1").arg(length) : QString();
    if (!savedId.isNull())
        return QStringLiteral("my_%1%2.txt").arg(savedId.toString(QUuid::WithoutBraces), melodies);
    return QStringLiteral("sessions_%1%2.txt").arg(levelId).arg(melodies);
}

} // namespace lirra
