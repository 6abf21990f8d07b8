#include "session_storage.h"

#include "model/settings.h"

namespace lirra {

QString HistoryFile::fileName() const
{
    const QString melodies = length > 1 ? QStringLiteral("_n%1").arg(length) : QString();
    if (!savedId.isNull())
        return QStringLiteral("my_%1%2.txt").arg(savedId.toString(QUuid::WithoutBraces), melodies);
    return QStringLiteral("sessions_%1%2.txt").arg(levelId).arg(melodies);
}

std::vector<HistoryFile> HistoryFile::everyLength() const
{
    std::vector<HistoryFile> files;
    for (int each = 1; each <= Settings::maxMelodyLength; ++each)
        files.emplace_back(levelId, savedId, each);
    return files;
}

} // namespace lirra
