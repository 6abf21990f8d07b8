#pragma once

#include "practice/preferences.h"

#include <QSettings>

#include <functional>
#include <memory>

namespace lirra {

// Preferences kept by QSettings in a small JSON file, so that a stored value
// keeps its kind: an integer reads back as an integer, a Boolean as a Boolean,
// and anything else as neither.
class SettingsPreferences final : public Preferences {
public:
    // The user's own store (~/.config/lirra/lirra.json).
    static std::shared_ptr<SettingsPreferences> standard();
    // A store in the given file; tests use a temporary one.
    explicit SettingsPreferences(const QString &filePath);

    std::optional<std::int64_t> integer(PreferenceKey key) const override;
    void setInteger(std::int64_t value, PreferenceKey key) override;
    bool boolean(PreferenceKey key) const override;
    std::optional<bool> storedBoolean(PreferenceKey key) const override;
    void setBool(bool value, PreferenceKey key) override;
    std::optional<QString> text(PreferenceKey key) const override;
    void setText(const QString &value, PreferenceKey key) override;
    void setFailureHandler(std::function<void(const Error &)> handler) override;
    // Writes what has changed now; the failure, if the file could not be written.
    Result<void> sync();

    static QSettings::Format jsonFormat();

private:
    explicit SettingsPreferences(std::unique_ptr<QSettings> settings);

    // After a change, on the next turn of the event loop: the file is
    // written and a failure reported once.
    void scheduleSync();

    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<QObject> m_context; // ends the deferred sync with the store
    std::function<void(const Error &)> m_onFailure;
    bool m_syncScheduled = false;
    bool m_failureReported = false;
};

} // namespace lirra
