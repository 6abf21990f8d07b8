// Arbitrary bytes as the preferences file, read through the real store,
// then one change: whatever was there, the store answers, keeps the tour
// flag it could read, and leaves a whole JSON object behind. The practice
// settings read from it are each in range, and a changed one reads back.
#include "practice/practice_settings.h"
#include "storage/settings_preferences.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace lirra;

namespace {

QTemporaryDir *folder = nullptr;
int runs = 0;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    folder = new QTemporaryDir;
    check(folder->isValid());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    // A new name each run, so that nothing of one run meets the next.
    const QString path = folder->filePath(QStringLiteral("lirra-%1.json").arg(++runs));
    QFile file(path);
    check(file.open(QIODevice::WriteOnly));
    check(file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    file.close();

    bool seen = false;
    std::int64_t next = 0;
    Settings changed;
    {
        SettingsPreferences preferences(path);
        const Settings settings = readSettings(preferences);
        check(settings.tempo >= Settings::minTempo && settings.tempo <= Settings::maxTempo);
        check(settings.cadenceEvery >= 0 && settings.cadenceEvery <= Settings::maxCadenceEvery);
        check(settings.questionBeats >= 1 && settings.questionBeats <= Settings::maxQuestionBeats);
        check(settings.questionEmphasis >= 0 && settings.questionEmphasis <= Settings::maxEmphasis);
        check(settings.volume >= 0 && settings.volume <= Settings::maxVolume);
        check(presetFromText(presetText(settings.instrument)) == settings.instrument);
        changed = settings;
        changed.tempo = settings.tempo == Settings::maxTempo ? Settings::minTempo : settings.tempo + 1;
        storeSettings(preferences, changed, settings);
        check(readSettings(preferences) == changed);
        const std::optional<std::int64_t> cursor = preferences.integer(PreferenceKey::levelCursor);
        seen = preferences.boolean(PreferenceKey::hasSeenOnboarding);
        next = cursor.value_or(-1) / 2 + 1;
        preferences.setInteger(next, PreferenceKey::levelCursor);
        check(preferences.integer(PreferenceKey::levelCursor) == next);
        check(preferences.boolean(PreferenceKey::hasSeenOnboarding) == seen);
    }

    QFile written(path);
    check(written.open(QIODevice::ReadOnly));
    // Far larger than settings can be: read as the defaults, and never
    // written over.
    if (qsizetype(size) > SettingsPreferences::largestFile) {
        check(written.readAll() == QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
        written.close();
        QFile::remove(path);
        return 0;
    }
    const QJsonDocument json = QJsonDocument::fromJson(written.readAll());
    written.close();
    QFile::remove(path);
    check(json.isObject());
    const QJsonObject object = json.object();
    check(object.value(storedName(PreferenceKey::levelCursor)).toInteger(next + 1) == next);
    check((object.value(storedName(PreferenceKey::hasSeenOnboarding)) == QJsonValue(true)) == seen);
    check(object.value(storedName(PreferenceKey::tempo)).toInteger() == changed.tempo);
    return 0;
}
