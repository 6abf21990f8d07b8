#include "note.h"

#include "localization.h"

namespace lirra {

namespace {

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

const char *nameKey(NoteName name)
{
    // A black key's two names come whole from the string table: a language
    // may name a flat other than as its letter and a flat sign (in German,
    // B flat is "B" and B is "H").
    switch (name) {
    case NoteName::c: return "C";
    case NoteName::cSharp: return "cSharp";
    case NoteName::d: return "D";
    case NoteName::dSharp: return "dSharp";
    case NoteName::e: return "E";
    case NoteName::f: return "F";
    case NoteName::fSharp: return "fSharp";
    case NoteName::g: return "G";
    case NoteName::gSharp: return "gSharp";
    case NoteName::a: return "A";
    case NoteName::aSharp: return "aSharp";
    case NoteName::b: break;
    }
    return "B";
}

QString localizedName(NoteName name)
{
    return localized(nameKey(name));
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
