#pragma once

#include <QString>

namespace lirra {

// Looks a key up in the app's string table; a key without a text shows itself.
QString localized(const char *key);
QString localized(const QString &key);

// Loads the string tables: English first, then the current locale's on top
// when one ships. Safe to call more than once.
void installTranslations();

} // namespace lirra
