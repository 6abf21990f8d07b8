#include "preferences.h"

namespace lirra {

QString storedName(PreferenceKey key)
{
    switch (key) {
    case PreferenceKey::hasSeenOnboarding: return QStringLiteral("user.has.seen.onboarding");
    case PreferenceKey::levelCursor: return QStringLiteral("practice.level.cursor");
    case PreferenceKey::savedLevel: return QStringLiteral("practice.level.saved");
    case PreferenceKey::instrument: return QStringLiteral("sound.instrument");
    case PreferenceKey::tempo: return QStringLiteral("practice.tempo");
    case PreferenceKey::cadenceEvery: return QStringLiteral("practice.cadence.every");
    case PreferenceKey::drone: return QStringLiteral("sound.drone");
    case PreferenceKey::questionBeats: return QStringLiteral("sound.questionNote.beats");
    case PreferenceKey::questionEmphasis: return QStringLiteral("sound.questionNote.emphasis");
    case PreferenceKey::volume: return QStringLiteral("sound.volume");
    case PreferenceKey::noteNames: return QStringLiteral("display.noteNames");
    case PreferenceKey::practiceMode: return QStringLiteral("practice.mode");
    case PreferenceKey::contrast: return QStringLiteral("practice.contrast");
    case PreferenceKey::speechPause: return QStringLiteral("practice.speechPause");
    case PreferenceKey::melodyLength: return QStringLiteral("practice.melody.length");
    case PreferenceKey::melodyLeap: return QStringLiteral("practice.melody.leap");
    case PreferenceKey::questionKind: return QStringLiteral("practice.question.kind");
    case PreferenceKey::chordsRepeat: return QStringLiteral("practice.chords.repeat");
    case PreferenceKey::keptAtQuit: return QStringLiteral("practice.level.keptAtQuit");
    }
    return {};
}

} // namespace lirra
