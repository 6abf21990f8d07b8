#include "settings_preferences.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QIODevice>
#include <QTimer>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

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
    }
    return {};
}

namespace {

bool readJson(QIODevice &device, QSettings::SettingsMap &map)
{
    const QByteArray bytes = device.readAll();
    if (bytes.trimmed().isEmpty())
        return true;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QJsonValue value = it.value();
        if (value.isDouble()) {
            // JSON has one number kind; whole numbers are the integers we wrote.
            const double number = value.toDouble();
            const bool whole = std::isfinite(number) && std::floor(number) == number
                && std::fabs(number) <= 9007199254740992.0;
            map.insert(it.key(), whole ? QVariant(qint64(number)) : QVariant(number));
        } else {
            map.insert(it.key(), value.toVariant());
        }
    }
    return true;
}

bool writeJson(QIODevice &device, const QSettings::SettingsMap &map)
{
    QJsonObject object;
    for (auto it = map.begin(); it != map.end(); ++it)
        object.insert(it.key(), QJsonValue::fromVariant(it.value()));
    return device.write(QJsonDocument(object).toJson(QJsonDocument::Indented)) >= 0;
}

} // namespace

QSettings::Format SettingsPreferences::jsonFormat()
{
    static const QSettings::Format format = QSettings::registerFormat(QStringLiteral("json"), readJson, writeJson);
    return format;
}

std::shared_ptr<SettingsPreferences> SettingsPreferences::standard()
{
    return std::shared_ptr<SettingsPreferences>(new SettingsPreferences(std::make_unique<QSettings>(
        jsonFormat(), QSettings::UserScope, QStringLiteral("lirra"), QStringLiteral("lirra"))));
}

SettingsPreferences::SettingsPreferences(const QString &filePath)
    : SettingsPreferences(std::make_unique<QSettings>(filePath, jsonFormat()))
{
}

SettingsPreferences::SettingsPreferences(std::unique_ptr<QSettings> settings)
    : m_settings(std::move(settings))
    , m_context(std::make_unique<QObject>())
{
}

void SettingsPreferences::setFailureHandler(std::function<void(const Error &)> handler)
{
    m_onFailure = std::move(handler);
}

Result<void> SettingsPreferences::sync()
{
    m_settings->sync();
    if (m_settings->status() == QSettings::NoError)
        return {};
    const QString path = m_settings->fileName();
    const QString folder = QFileInfo(path).absolutePath();
    QString why = m_settings->status() == QSettings::FormatError ? QStringLiteral("its contents could not be written")
                                                                 : QStringLiteral("it could not be written");
    if (!QFileInfo(folder).isDir())
        why = QStringLiteral("its folder %1 could not be created").arg(folder);
    else if (!QFileInfo(folder).isWritable())
        why = QStringLiteral("its folder %1 cannot be written to").arg(folder);
    return failure(QStringLiteral("SettingsPreferences"), int(m_settings->status()),
                   QStringLiteral("Could not save the settings file %1: %2.").arg(path, why));
}

void SettingsPreferences::scheduleSync()
{
    if (m_syncScheduled || !QCoreApplication::instance())
        return;
    m_syncScheduled = true;
    QTimer::singleShot(0, m_context.get(), [this]() {
        m_syncScheduled = false;
        const Result<void> synced = sync();
        if (synced || m_failureReported)
            return;
        m_failureReported = true;
        if (m_onFailure)
            m_onFailure(synced.error());
    });
}

std::optional<std::int64_t> SettingsPreferences::integer(PreferenceKey key) const
{
    const QVariant value = m_settings->value(storedName(key));
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        return value.toLongLong();
    default:
        return std::nullopt;
    }
}

// The file is written on the next turn of the event loop (and at the latest
// when the store goes away), not while the caller waits: loading a level
// must not wait for a file to be locked, written and renamed.
void SettingsPreferences::setInteger(std::int64_t value, PreferenceKey key)
{
    m_settings->setValue(storedName(key), QVariant(qint64(value)));
    scheduleSync();
}

bool SettingsPreferences::boolean(PreferenceKey key) const
{
    return storedBoolean(key).value_or(false);
}

std::optional<bool> SettingsPreferences::storedBoolean(PreferenceKey key) const
{
    const QVariant value = m_settings->value(storedName(key));
    if (value.typeId() != QMetaType::Bool)
        return std::nullopt;
    return value.toBool();
}

void SettingsPreferences::setBool(bool value, PreferenceKey key)
{
    m_settings->setValue(storedName(key), QVariant(value));
    scheduleSync();
}

} // namespace lirra

namespace lirra {

std::optional<QString> SettingsPreferences::text(PreferenceKey key) const
{
    const QVariant value = m_settings->value(storedName(key));
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

void SettingsPreferences::setText(const QString &value, PreferenceKey key)
{
    m_settings->setValue(storedName(key), QVariant(value));
    scheduleSync();
}

} // namespace lirra
