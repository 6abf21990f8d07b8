#include "settings_preferences.h"

#include "storage/safe_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QTimer>

#include <cerrno>
#include <cmath>

namespace lirra {

const QString SettingsPreferences::readErrorDomain = preferencesReadErrorDomain();

namespace {

const QString writeDomain = QStringLiteral("SettingsPreferences");

// The file's values, when it holds a JSON object (or nothing at all).
std::optional<QJsonObject> parse(const QByteArray &bytes)
{
    if (bytes.trimmed().isEmpty())
        return QJsonObject{};
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

} // namespace

std::shared_ptr<SettingsPreferences> SettingsPreferences::standard()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return std::make_shared<SettingsPreferences>(QDir(config).filePath(QStringLiteral("lirra/lirra.json")));
}

SettingsPreferences::SettingsPreferences(const QString &filePath, std::shared_ptr<FileSystem> fs)
    : m_path(filePath)
    , m_fs(fs ? std::move(fs) : FileSystem::posix())
    , m_context(std::make_unique<QObject>())
{
    const Result<std::optional<QByteArray>> bytes = readSmallFile(*m_fs, readErrorDomain, m_path, largestFile);
    if (!bytes) {
        m_unreadable = bytes.error();
        return;
    }
    // A damaged file reads as no values; each is its default.
    if (*bytes)
        m_values = parse(**bytes).value_or(QJsonObject{});
    // A write cut short by the end of the process left its new file beside.
    if (const Result<QString> target = followLinks(*m_fs, writeDomain, m_path); target) {
        if (FolderLock::take(*m_fs, writeDomain, QFileInfo(*target).absolutePath(), 0))
            removeLeftover(*m_fs, *target);
    }
}

SettingsPreferences::~SettingsPreferences()
{
    // What a deferred write has not written yet.
    static_cast<void>(sync());
}

void SettingsPreferences::setFailureHandler(std::function<void(const Error &)> handler)
{
    m_onFailure = std::move(handler);
    // A file that could not be read is told of as soon as someone listens.
    if (m_unreadable && !m_failureReported && m_onFailure && QCoreApplication::instance()) {
        QTimer::singleShot(0, m_context.get(), [this]() {
            if (m_unreadable)
                report(*m_unreadable);
        });
    }
}

void SettingsPreferences::report(const Error &error)
{
    if (m_failureReported)
        return;
    m_failureReported = true;
    if (m_onFailure)
        m_onFailure(error);
}

Result<void> SettingsPreferences::write()
{
    const QString folder = QFileInfo(m_path).absolutePath();
    const auto failed = [this](const QString &why) {
        return failure(writeDomain, 1, QStringLiteral("Could not save the settings file %1: %2.").arg(m_path, why));
    };
    if (!ensureFolder(*m_fs, writeDomain, folder, true))
        return failed(QStringLiteral("its folder %1 could not be created").arg(folder));
    const Result<QString> target = followLinks(*m_fs, writeDomain, m_path);
    if (!target)
        return failed(target.error().description);
    const QString targetFolder = QFileInfo(*target).absolutePath();
    // From the read to the rename, no other copy of the app changes it.
    const Result<FolderLock> lock = FolderLock::take(*m_fs, writeDomain, targetFolder);
    if (!lock)
        return failed(lock.error().description);
    const Result<std::optional<QByteArray>> current = readSmallFile(*m_fs, writeDomain, *target, largestFile);
    if (!current)
        return failed(QStringLiteral("it could not be written"));
    QJsonObject values;
    if (*current) {
        const std::optional<QJsonObject> stored = parse(**current);
        if (!stored) {
            // Kept as it was, beside: a hand-edited file is not lost.
            const QString aside = QDir(targetFolder).filePath(QStringLiteral("lirra.damaged.json"));
            if (!replaceFile(*m_fs, writeDomain, targetFolder, aside, **current))
                return failed(QStringLiteral("its damaged contents could not be kept aside as %1").arg(aside));
        } else {
            values = *stored;
        }
    }
    for (const auto &[key, value] : m_changed)
        values.insert(key, value);
    const QByteArray bytes = QJsonDocument(values).toJson(QJsonDocument::Indented);
    if (Result<void> written = replaceFile(*m_fs, writeDomain, targetFolder, *target, bytes); !written) {
        if (!QFileInfo(targetFolder).isWritable())
            return failed(QStringLiteral("its folder %1 cannot be written to").arg(targetFolder));
        return failed(QStringLiteral("it could not be written"));
    }
    // What another copy of the app wrote is read now too.
    m_values = values;
    m_changed.clear();
    return {};
}

Result<void> SettingsPreferences::sync()
{
    if (m_unreadable)
        return std::unexpected(*m_unreadable);
    if (m_changed.empty())
        return {};
    return write();
}

void SettingsPreferences::scheduleSync()
{
    if (m_unreadable || m_syncScheduled || !QCoreApplication::instance())
        return;
    m_syncScheduled = true;
    QTimer::singleShot(0, m_context.get(), [this]() {
        m_syncScheduled = false;
        if (const Result<void> synced = sync(); !synced)
            report(synced.error());
    });
}

void SettingsPreferences::set(PreferenceKey key, QJsonValue value)
{
    const QString name = storedName(key);
    m_values.insert(name, value);
    m_changed[name] = std::move(value);
    // The file is written on the next turn of the event loop (and at the
    // latest when the store goes away), not while the caller waits: loading
    // a level must not wait for a file to be locked, written and renamed.
    scheduleSync();
}

std::optional<std::int64_t> SettingsPreferences::integer(PreferenceKey key) const
{
    const QJsonValue value = m_values.value(storedName(key));
    if (!value.isDouble())
        return std::nullopt;
    // JSON has one number kind; whole numbers are the integers we wrote.
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::floor(number) != number || std::fabs(number) > 9007199254740992.0)
        return std::nullopt;
    return std::int64_t(number);
}

void SettingsPreferences::setInteger(std::int64_t value, PreferenceKey key)
{
    set(key, QJsonValue(qint64(value)));
}

bool SettingsPreferences::boolean(PreferenceKey key) const
{
    return storedBoolean(key).value_or(false);
}

std::optional<bool> SettingsPreferences::storedBoolean(PreferenceKey key) const
{
    const QJsonValue value = m_values.value(storedName(key));
    if (!value.isBool())
        return std::nullopt;
    return value.toBool();
}

void SettingsPreferences::setBool(bool value, PreferenceKey key)
{
    set(key, QJsonValue(value));
}

std::optional<QString> SettingsPreferences::text(PreferenceKey key) const
{
    const QJsonValue value = m_values.value(storedName(key));
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

void SettingsPreferences::setText(const QString &value, PreferenceKey key)
{
    set(key, QJsonValue(value));
}

} // namespace lirra
