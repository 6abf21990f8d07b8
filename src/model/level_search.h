#pragma once

#include "localization.h"
#include "music.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <array>

namespace lirra {

// Finds levels by what the user types: "a minor", "f# chrom", "upper",
// "cis-moll", "la mineur", "f sharp minor", "e flat major", "f#m", "Bbm",
// "si bémol", "mi b mineur". Case and accents do not count; "#" and a "b"
// after a note's letter read as ♯ and ♭, and so do "sharp", "flat", "dièse",
// "bémol" and a lone "b" after a key's name; "m" and "min" after a key or
// alone mean minor, "maj" major. A word that names a key finds the levels of
// that key only; any other word finds the levels that have a word starting
// with it. Key names are taken in the app's language and in English, the
// words for mode, range and kind in every shipped language.
class LevelSearch {
public:
    explicit LevelSearch(const QString &language = currentLanguage());

    // Whether every word of the query finds the level; an empty query finds all.
    bool matches(const Level &level, const QString &query) const;
    // The same with the query's words, read once for a whole list of levels.
    bool matches(const Level &level, const QStringList &queryWords) const;
    // The query's words as they are compared.
    QStringList queryWords(const QString &query) const;
    // Lower case without accents; "#" as ♯.
    static QString folded(const QString &text);
    // How the query was read, for a search that found nothing: "F♯, minor".
    QString readAs(const QString &query) const;

private:
    QStringList wordsOf(const Level &level) const;
    bool isKeyName(const QString &word) const { return m_allKeyNames.contains(word); }
    // "eb" as "e♭", where "e" is a key's name and "eb" is not.
    QString withFlat(const QString &word) const;

    std::array<QStringList, 12> m_keyNames; // folded, by index of the key
    QSet<QString> m_allKeyNames;
    QStringList m_major;
    QStringList m_minor;
    std::array<QStringList, 3> m_ranges;
    std::array<QStringList, 2> m_natures; // diatonic, chromatic
    QStringList m_myLevels;
};

} // namespace lirra
