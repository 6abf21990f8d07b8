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
    // A black key's two names come whole from the string table: a language
    // may name a flat other than as its letter and a flat sign (in German,
    // B flat is "B" and B is "H").
    switch (name) {
    case NoteName::cSharp: return localized("cSharp");
    case NoteName::dSharp: return localized("dSharp");
    case NoteName::fSharp: return localized("fSharp");
    case NoteName::gSharp: return localized("gSharp");
    case NoteName::aSharp: return localized("aSharp");
    default: return letter(name);
    }
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
