#include "note.h"

#include "localization.h"

namespace lirra {

namespace {

QString letter(NoteName name)
{
    switch (name) {
    case NoteName::c: return localized("C");
    case NoteName::d: return localized("D");
    case NoteName::e: return localized("E");
    case NoteName::f: return localized("F");
    case NoteName::g: return localized("G");
    case NoteName::a: return localized("A");
    case NoteName::b: return localized("B");
    default: return {};
    }
}

// First letter of each word upper case, the rest lower case.
QString capitalized(const QString &text)
{
    QString result = text.toLower();
    bool startOfWord = true;
    for (QChar &ch : result) {
        if (ch.isSpace()) {
            startOfWord = true;
        } else if (startOfWord) {
            ch = ch.toUpper();
            startOfWord = false;
        }
    }
    return result;
}

} // namespace

QString localizedName(NoteName name)
{
    if (!isBlackKey(name))
        return letter(name);
    return letter(transposed(name, -1)) + QStringLiteral("♯ / ") + letter(transposed(name, 1))
        + QStringLiteral("♭");
}

const QStringList &solfegeSyllables()
{
    static const QStringList syllables = [] {
        const auto one = [](const char *key) { return capitalized(localized(key)); };
        const auto two = [&](const char *raised, const char *lowered) {
            return one(raised) + QStringLiteral(" / ") + one(lowered);
        };
        return QStringList{
            one("do"), two("di", "ra"), one("re"), two("ri", "me"), one("mi"), one("fa"),
            two("fi", "se"), one("sol"), two("si", "le"), one("la"), two("li", "te"), one("ti"),
        };
    }();
    return syllables;
}

} // namespace lirra
