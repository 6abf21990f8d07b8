#include "practice_settings.h"

namespace lirra {

namespace {

int integerIn(const Preferences &preferences, PreferenceKey key, int low, int high, int fallback)
{
    const std::optional<std::int64_t> value = preferences.integer(key);
    return value && *value >= low && *value <= high ? int(*value) : fallback;
}

} // namespace

Settings readSettings(const Preferences &preferences)
{
    const Settings defaults;
    Settings settings;
    if (const std::optional<QString> text = preferences.text(PreferenceKey::instrument))
        settings.instrument = presetFromText(*text).value_or(defaults.instrument);
    settings.tempo = integerIn(preferences, PreferenceKey::tempo, Settings::minTempo, Settings::maxTempo, defaults.tempo);
    settings.cadenceEvery =
        integerIn(preferences, PreferenceKey::cadenceEvery, 0, Settings::maxCadenceEvery, defaults.cadenceEvery);
    settings.drone = preferences.boolean(PreferenceKey::drone);
    settings.questionBeats =
        integerIn(preferences, PreferenceKey::questionBeats, 1, Settings::maxQuestionBeats, defaults.questionBeats);
    settings.questionEmphasis =
        integerIn(preferences, PreferenceKey::questionEmphasis, 0, Settings::maxEmphasis, defaults.questionEmphasis);
    settings.volume = integerIn(preferences, PreferenceKey::volume, 0, Settings::maxVolume, defaults.volume);
    settings.speechPause =
        integerIn(preferences, PreferenceKey::speechPause, Settings::automaticPause, Settings::maxSpeechPause,
                  defaults.speechPause);
    if (const std::optional<QString> text = preferences.text(PreferenceKey::noteNames))
        settings.noteNames = namingFromText(*text).value_or(defaults.noteNames);
    if (const std::optional<QString> text = preferences.text(PreferenceKey::practiceMode))
        settings.mode = modeFromText(*text).value_or(defaults.mode);
    settings.contrast = preferences.storedBoolean(PreferenceKey::contrast).value_or(defaults.contrast);
    settings.melodyLength =
        integerIn(preferences, PreferenceKey::melodyLength, 1, Settings::maxMelodyLength, defaults.melodyLength);
    if (const std::optional<QString> text = preferences.text(PreferenceKey::melodyLeap))
        settings.melodyLeap = leapFromText(*text).value_or(defaults.melodyLeap);
    if (const std::optional<QString> text = preferences.text(PreferenceKey::questionKind))
        settings.questionKind = kindFromText(*text).value_or(defaults.questionKind);
    settings.chordsRepeat = preferences.storedBoolean(PreferenceKey::chordsRepeat).value_or(defaults.chordsRepeat);
    return settings;
}

void storeSettings(Preferences &preferences, const Settings &settings, const Settings &before)
{
    if (settings.instrument != before.instrument)
        preferences.setText(presetText(settings.instrument), PreferenceKey::instrument);
    const std::pair<int Settings::*, PreferenceKey> integers[] = {
        {&Settings::tempo, PreferenceKey::tempo},
        {&Settings::cadenceEvery, PreferenceKey::cadenceEvery},
        {&Settings::questionBeats, PreferenceKey::questionBeats},
        {&Settings::questionEmphasis, PreferenceKey::questionEmphasis},
        {&Settings::volume, PreferenceKey::volume},
        {&Settings::speechPause, PreferenceKey::speechPause},
        {&Settings::melodyLength, PreferenceKey::melodyLength},
    };
    for (const auto &[member, key] : integers) {
        if (settings.*member != before.*member)
            preferences.setInteger(settings.*member, key);
    }
    if (settings.drone != before.drone)
        preferences.setBool(settings.drone, PreferenceKey::drone);
    if (settings.noteNames != before.noteNames)
        preferences.setText(namingText(settings.noteNames), PreferenceKey::noteNames);
    if (settings.mode != before.mode)
        preferences.setText(modeText(settings.mode), PreferenceKey::practiceMode);
    if (settings.contrast != before.contrast)
        preferences.setBool(settings.contrast, PreferenceKey::contrast);
    if (settings.melodyLeap != before.melodyLeap)
        preferences.setText(leapText(settings.melodyLeap), PreferenceKey::melodyLeap);
    if (settings.questionKind != before.questionKind)
        preferences.setText(kindText(settings.questionKind), PreferenceKey::questionKind);
    if (settings.chordsRepeat != before.chordsRepeat)
        preferences.setBool(settings.chordsRepeat, PreferenceKey::chordsRepeat);
}

} // namespace lirra
