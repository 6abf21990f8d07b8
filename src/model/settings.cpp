#include "settings.h"

#include <QStringList>

#include <algorithm>

namespace lirra {

QString presetText(Preset preset)
{
    return QStringLiteral("%1:%2").arg(preset.bank).arg(preset.program);
}

std::optional<Preset> presetFromText(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 2)
        return std::nullopt;
    bool bankOk = false;
    bool programOk = false;
    // Digits only: no sign, no spaces, no "0x".
    const auto digits = [](const QString &part) {
        return !part.isEmpty() && part.size() <= 5
            && std::all_of(part.begin(), part.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
    };
    if (!digits(parts[0]) || !digits(parts[1]))
        return std::nullopt;
    const int bank = parts[0].toInt(&bankOk);
    const int program = parts[1].toInt(&programOk);
    if (!bankOk || !programOk || bank > 16383 || program > 127)
        return std::nullopt;
    return Preset{bank, program};
}

QString namingText(NoteNaming naming)
{
    switch (naming) {
    case NoteNaming::solfegeForKey: return QStringLiteral("solfegeForKey");
    case NoteNaming::lettersForKey: return QStringLiteral("lettersForKey");
    case NoteNaming::degrees: return QStringLiteral("degrees");
    case NoteNaming::solfege: break;
    }
    return QStringLiteral("solfege");
}

std::optional<NoteNaming> namingFromText(const QString &text)
{
    for (NoteNaming naming : {NoteNaming::solfege, NoteNaming::solfegeForKey, NoteNaming::lettersForKey, NoteNaming::degrees}) {
        if (text == namingText(naming))
            return naming;
    }
    return std::nullopt;
}

QString modeText(PracticeMode mode)
{
    return mode == PracticeMode::adaptive ? QStringLiteral("adaptive") : QStringLiteral("cycle");
}

std::optional<PracticeMode> modeFromText(const QString &text)
{
    for (PracticeMode mode : {PracticeMode::cycle, PracticeMode::adaptive}) {
        if (text == modeText(mode))
            return mode;
    }
    return std::nullopt;
}

QString leapText(MelodyLeap leap)
{
    switch (leap) {
    case MelodyLeap::steps: return QStringLiteral("steps");
    case MelodyLeap::third: return QStringLiteral("third");
    case MelodyLeap::fifth: return QStringLiteral("fifth");
    case MelodyLeap::any: break;
    }
    return QStringLiteral("any");
}

std::optional<MelodyLeap> leapFromText(const QString &text)
{
    for (MelodyLeap leap : {MelodyLeap::steps, MelodyLeap::third, MelodyLeap::fifth, MelodyLeap::any}) {
        if (text == leapText(leap))
            return leap;
    }
    return std::nullopt;
}

int leapSemitones(MelodyLeap leap)
{
    switch (leap) {
    case MelodyLeap::steps: return 2;
    case MelodyLeap::third: return 4;
    case MelodyLeap::fifth: return 7;
    case MelodyLeap::any: break;
    }
    return 127;
}

} // namespace lirra
