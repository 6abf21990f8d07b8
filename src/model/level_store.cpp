#include "level_store.h"

namespace lirra {

QString LevelStore::cleanName(const QString &text)
{
    const qsizetype limit = maxNameLength;
    QString name;
    for (const QChar ch : text)
        name += ch.category() == QChar::Other_Control || ch == QChar::LineSeparator ? QLatin1Char(' ') : ch;
    name = name.simplified();
    if (name.size() > limit)
        name = name.first(limit).trimmed();
    return name;
}

} // namespace lirra
