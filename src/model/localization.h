#pragma once

#include <QString>
#include <QStringList>

namespace lirra {

// Looks a key up in the app's string table; a key without a text shows itself.
QString localized(const char *key);
QString localized(const QString &key);
QString localized(const QByteArray &key);

// The languages the app ships a string table for: "en", "de", "fr".
const QStringList &shippedLanguages();
// The one the app speaks: the locale's when it ships, else "en".
QString currentLanguage();
// A key's text in one shipped language, whatever the app speaks; the key
// itself when that language has no text for it.
QString localizedIn(const QString &language, const char *key);

// A count with its noun in the right number, from "<key>.one" and
// "<key>.other" ("1 session", "2 sessions"): one is 1, and in French 0 too.
QString counted(long long count, const char *key);

// Loads the string tables: English first, then the current locale's on top
// when one ships. Safe to call more than once.
void installTranslations();

} // namespace lirra
