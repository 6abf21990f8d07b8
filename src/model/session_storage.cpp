#include "session_storage.h"

namespace lirra {

QString HistoryFile::fileName() const
{
    if (!savedId.isNull())
        return QStringLiteral("my_%1.txt").arg(savedId.toString(QUuid::WithoutBraces));
    return QStringLiteral("sessions_%1.txt").arg(levelId);
}

} // namespace lirra
