#include "session_storage.h"

#include "model/settings.h"

namespace lirra {

QString HistoryFile::fileName() const
{
    const QString melodies = length > 1 ? QStringLiteral("_n%1").arg(length) : QString();
    const QString chords = kind == QuestionKind::chord ? QStringLiteral("chords_") : QString();
    if (!savedId.isNull())
        return QStringLiteral("%1my_%2%3.txt").arg(chords, savedId.toString(QUuid::WithoutBraces), melodies);
    if (kind == QuestionKind::chord)
        return QStringLiteral("chords_%1%2.txt").arg(levelId).arg(melodies);
    return QStringLiteral("sessions_%1%2.txt").arg(levelId).arg(melodies);
}

std::vector<HistoryFile> HistoryFile::everyShape() const
{
    std::vector<HistoryFile> files;
    for (const QuestionKind each : {QuestionKind::note, QuestionKind::chord}) {
        for (int length = 1; length <= Settings::maxMelodyLength; ++length)
            files.emplace_back(levelId, savedId, length, each);
    }
    return files;
}

} // namespace lirra
