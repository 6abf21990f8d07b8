#include "level_search.h"

#include "localization.h"

#include <QRegularExpression>

namespace lirra {

namespace {

// The words of a name or title: blanks, hyphens, dots, colons and commas
// part them.
QStringList wordsOfText(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[\\s\\-·:,]+"));
    return LevelSearch::folded(text).split(separators, Qt::SkipEmptyParts);
}

// The words of a text in every shipped language, folded; "%1" and "%k"
// (a key's place in a title format) dropped.
QStringList wordsIn(const char *key)
{
    QStringList words;
    for (const QString &language : shippedLanguages()) {
        QString text = localizedIn(language, key);
        text.remove(QStringLiteral("%1")).remove(QStringLiteral("%k"));
        for (const QString &word : wordsOfText(text)) {
            if (!words.contains(word))
                words << word;
        }
    }
    return words;
}

bool anyStartsWith(const QStringList &words, const QString &start)
{
    for (const QString &word : words) {
        if (word.startsWith(start))
            return true;
    }
    return false;
}

} // namespace

LevelSearch::LevelSearch(const QString &language)
{
    QStringList languages{language};
    if (language != QLatin1String("en"))
        languages << QStringLiteral("en");
    for (NoteName name : allNoteNames) {
        QStringList &names = m_keyNames[size_t(index(name))];
        for (const QString &each : languages) {
            for (const QString &spelling : localizedIn(each, nameKey(name)).split(QLatin1Char('/'))) {
                const QString word = folded(spelling.trimmed());
                if (!word.isEmpty() && !names.contains(word))
                    names << word;
            }
        }
        for (const QString &word : names)
            m_allKeyNames.insert(word);
    }
    m_major = wordsIn("levelTitle.major");
    m_minor = wordsIn("levelTitle.minor");
    m_ranges = {wordsIn("range.lowerHalf"), wordsIn("range.upperHalf"), wordsIn("range.wholeOctave")};
    m_natures = {wordsIn("nature.diatonic"), wordsIn("nature.chromatic")};
    m_myLevels = wordsIn("myLevels");
}

QString LevelSearch::folded(const QString &text)
{
    QString result;
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    result.reserve(decomposed.size());
    for (const QChar ch : decomposed) {
        if (ch.category() == QChar::Mark_NonSpacing)
            continue;
        result += ch == QLatin1Char('#') ? QChar(0x266F) : ch.toLower();
    }
    return result;
}

QStringList LevelSearch::queryWords(const QString &query) const
{
    static const QRegularExpression blanks(QStringLiteral("[\\s,\\-]+"));
    QStringList words = folded(query).split(blanks, Qt::SkipEmptyParts);
    for (QString &word : words) {
        // "eb", "sib": a flat written with the letter b, unless the word
        // is a key's name as it stands (German "b").
        if (word.size() >= 2 && word.endsWith(QLatin1Char('b')) && !m_allKeyNames.contains(word)
            && m_allKeyNames.contains(word.chopped(1)))
            word = word.chopped(1) + QChar(0x266D);
    }
    return words;
}

QStringList LevelSearch::wordsOf(const Level &level) const
{
    QStringList words = level.isMajor ? m_major : m_minor;
    if (level.isSaved()) {
        words << m_myLevels << wordsOfText(level.name);
    } else if (!level.isCustom) {
        words << m_ranges[size_t(level.range)];
    }
    words << m_natures[level.isChromatic ? 1 : 0];
    return words;
}

bool LevelSearch::matches(const Level &level, const QString &query) const
{
    return matches(level, queryWords(query));
}

bool LevelSearch::matches(const Level &level, const QStringList &wanted) const
{
    if (wanted.isEmpty())
        return true;
    const QStringList &keyNames = m_keyNames[size_t(index(level.key))];
    const QStringList words = wordsOf(level);
    for (const QString &word : wanted) {
        const bool found = m_allKeyNames.contains(word) ? keyNames.contains(word) : anyStartsWith(words, word);
        if (!found)
            return false;
    }
    return true;
}

} // namespace lirra
