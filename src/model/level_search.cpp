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

// The mode a short word asks for, as no title spells it.
const QString majorWord = QStringLiteral("\u0001major");
const QString minorWord = QStringLiteral("\u0001minor");

const QStringList sharpWords{QStringLiteral("sharp"), QStringLiteral("diese"), QStringLiteral("\u266F")};
const QStringList flatWords{QStringLiteral("flat"), QStringLiteral("bemol"), QStringLiteral("b"), QStringLiteral("\u266D")};

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

QString LevelSearch::withFlat(const QString &word) const
{
    // "eb", "sib": a flat written with the letter b, unless the word is a
    // key's name as it stands (German "b").
    if (word.size() >= 2 && word.endsWith(QLatin1Char('b')) && !isKeyName(word) && isKeyName(word.chopped(1)))
        return word.chopped(1) + QChar(0x266D);
    return word;
}

QStringList LevelSearch::queryWords(const QString &query) const
{
    static const QRegularExpression blanks(QStringLiteral("[\\s,\\-]+"));
    QStringList words;
    for (QString word : folded(query).split(blanks, Qt::SkipEmptyParts)) {
        // An accidental as a word of its own, after a key's name without one:
        // "f sharp", "e flat", "si bémol", "mi b".
        if (!words.isEmpty() && isKeyName(words.back()) && !words.back().endsWith(QChar(0x266F))
            && !words.back().endsWith(QChar(0x266D))) {
            const bool sharp = sharpWords.contains(word);
            if (sharp || flatWords.contains(word)) {
                words.back() += sharp ? QChar(0x266F) : QChar(0x266D);
                continue;
            }
        }
        // The mode written short after the key: "f#m", "bbm", "cmaj", "amin".
        bool split = false;
        for (const QString &suffix : {QStringLiteral("maj"), QStringLiteral("min"), QStringLiteral("m")}) {
            const QString key = withFlat(word.chopped(std::min(word.size(), suffix.size())));
            if (word.size() > suffix.size() && word.endsWith(suffix) && !isKeyName(word) && isKeyName(key)) {
                words << key << (suffix == QLatin1String("maj") ? majorWord : minorWord);
                split = true;
                break;
            }
        }
        if (split)
            continue;
        word = withFlat(word);
        // The mode alone, short.
        if (word == QLatin1String("m") || word == QLatin1String("min"))
            word = minorWord;
        else if (word == QLatin1String("maj"))
            word = majorWord;
        words << word;
    }
    return words;
}

QString LevelSearch::readAs(const QString &query) const
{
    const auto modeName = [](const char *format) {
        return localized(format).remove(QStringLiteral("%k")).remove(QStringLiteral("%1")).remove(QLatin1Char('-')).trimmed();
    };
    QStringList read;
    for (const QString &word : queryWords(query)) {
        if (word == majorWord)
            read << modeName("levelTitle.major");
        else if (word == minorWord)
            read << modeName("levelTitle.minor");
        else if (isKeyName(word))
            read << word.left(1).toUpper() + word.mid(1);
        else
            read << word;
    }
    return read.join(QStringLiteral(", "));
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
        if (word == majorWord || word == minorWord) {
            if (level.isMajor != (word == majorWord))
                return false;
            continue;
        }
        const bool found = m_allKeyNames.contains(word) ? keyNames.contains(word) : anyStartsWith(words, word);
        if (!found)
            return false;
    }
    return true;
}

} // namespace lirra
